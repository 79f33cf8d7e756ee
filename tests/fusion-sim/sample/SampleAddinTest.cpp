// The sample add-in in fusion-sim: what it writes to the text palette for each
// design of the table, compared with the expected text.
#include <gtest/gtest.h>

#include <cstdlib>

#include "support/Files.h"
#include "support/Program.h"

namespace fs = std::filesystem;

TEST(SampleAddin, WritesTheAssemblyAnswersAndPropertiesOfEachDesign) {
    const auto cases = support::readTable("fusion-sim/sample-addin.tsv");
    ASSERT_FALSE(cases.empty());
    for (const auto& row : cases) {
        ASSERT_EQ(row.size(), 3u);
        SCOPED_TRACE(row[0]);
        fs::path design = fs::path(QUORELL_SOURCE_DIR) / row[0];
        if (row[0].rfind("shared/", 0) == 0) {
            const char* shared = std::getenv("QUORELL_SHARED_DATA");
            design = fs::path(shared ? shared : "") / row[0].substr(7);
            if (!shared || !fs::exists(design)) continue;  // the sample files are not here
        }
        support::TempFolder folder;
        std::string script = "open " + design.string() + "\n";
        script += row[1] == "-" ? "dialog cancel\n" : "dialog open " + row[1] + "\n";
        script += "run\n";
        support::writeFile(folder / "session.txt", script);
        support::RunOptions options;
        options.folder = folder.path();
        const support::Outcome o = support::run(
            {FUSION_SIM, "--script", (folder / "session.txt").string(), "--addin", SAMPLE_ADDIN},
            options);
        EXPECT_EQ(o.status, 0) << o.err;
        EXPECT_EQ(o.out, support::readFile(support::dataPath("fusion-sim/sample-addin/" + row[2])));
    }
}
