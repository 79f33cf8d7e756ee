// The sample add-in in fusion-sim: what it writes to the text palette for each
// design of the table, and what its progress dialog draws, compared with the
// expected texts.
#include <gtest/gtest.h>

#include <cstdlib>

#include "support/Files.h"
#include "support/Program.h"

namespace fs = std::filesystem;

TEST(SampleAddin, WritesTheAssemblyAnswersAndPropertiesOfEachDesign) {
    const auto cases = support::readTable("fusion-sim/sample-addin.tsv");
    ASSERT_FALSE(cases.empty());
    for (const auto& row : cases) {
        ASSERT_EQ(row.size(), 5u);
        SCOPED_TRACE(row[0]);
        fs::path design = fs::path(QUORELL_SOURCE_DIR) / row[0];
        if (row[0].rfind("shared/", 0) == 0) {
            const char* shared = std::getenv("QUORELL_SHARED_DATA");
            design = fs::path(shared ? shared : "") / row[0].substr(7);
            if (!shared || !fs::exists(design)) continue;  // the sample files are not here
        }
        support::TempFolder folder;
        std::string script = "open " + design.string() + "\n";
        for (const std::string& answer : {row[1], row[2]})
            script += answer == "-" ? "dialog cancel\n" : "dialog open " + answer + "\n";
        script += "run\n";
        support::writeFile(folder / "session.txt", script);
        support::RunOptions options;
        options.folder = folder.path();
        const std::vector<std::string> command = {
            FUSION_SIM, "--script", (folder / "session.txt").string(), "--addin", SAMPLE_ADDIN};
        const support::Outcome o = support::run(command, options);
        EXPECT_EQ(o.status, 0) << o.err;
        EXPECT_EQ(o.err, "");  // no progress bar where nobody watches
        EXPECT_EQ(o.out, support::readFile(support::dataPath("fusion-sim/sample-addin/" + row[3])));
        if (row[4] == "-") continue;
        options.errorsOnTerminal = true;
        const support::Outcome watched = support::run(command, options);
        EXPECT_EQ(watched.out, o.out);
        // Returns and the erase-line sequence shown as text, a line per redraw.
        const std::string drawn =
            support::replaceAll(support::replaceAll(watched.err, "\033[K", "\\e[K"), "\r", "\\r\n");
        EXPECT_EQ(drawn, support::readFile(support::dataPath("fusion-sim/sample-addin/" + row[4])));
    }
}
