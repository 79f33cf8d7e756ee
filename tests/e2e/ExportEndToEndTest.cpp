// fusion-sim exports every design of tests/data/designs (or, for the sample
// designs, of examples/) and each file must be exactly its checked-in scene
// <name>.expected.bip. The banner's build time stamp and the design's folder
// (texture paths are absolute) are the only variable parts.
#include <gtest/gtest.h>

#include <regex>
#include <sstream>

#include "support/Files.h"
#include "support/Program.h"

namespace fs = std::filesystem;
using support::readFile;

namespace {

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> result;
    std::stringstream in(text);
    for (std::string line; std::getline(in, line);) result.push_back(line);
    return result;
}

// Texture paths are absolute paths of the system the design was opened on:
// on Windows with a drive and backslashes.
std::string systemPath(const std::string& line) {
#ifdef _WIN32
    const std::string key = "\"texture\" \"";
    const size_t from = line.find(key);
    const size_t to = line.rfind('"');
    if (from == std::string::npos || to <= from + key.size()) return line;
    const fs::path path =
        support::pathFromUtf8(line.substr(from + key.size(), to - from - key.size()));
    return line.substr(0, from + key.size()) + support::utf8(fs::absolute(path).make_preferred()) +
           line.substr(to);
#else
    return line;
#endif
}

void expectSameScene(const std::string& actualText, const std::string& expectedText) {
    const auto actual = lines(actualText);
    const auto expected = lines(expectedText);
    ASSERT_EQ(actual.size(), expected.size());
    const std::regex banner(
        R"re(#print "Quorell SceneApi oo 12\.0\.0  \(built (Mon|Tue|Wed|Thu|Fri|Sat|Sun) )re"
        R"re((Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec) [ 123]\d \d\d:\d\d:\d\d \d{4}\)")re");
    for (size_t i = 0; i < expected.size(); ++i) {
        if (expected[i].find("@BUILD_TIME@") != std::string::npos)
            EXPECT_TRUE(std::regex_match(actual[i], banner)) << "line " << i + 1 << ": " << actual[i];
        else
            EXPECT_EQ(actual[i], systemPath(expected[i])) << "line " << i + 1;
    }
    // getline hides a missing final line feed.
    EXPECT_EQ(actualText.back(), '\n');
}

}  // namespace

TEST(ExportEndToEnd, EveryDesignMatchesItsCheckedInScene) {
    const fs::path designs = support::dataPath("designs");
    const support::TempFolder output;
    int compared = 0;
    for (const auto& entry : fs::directory_iterator(designs)) {
        const std::string file = entry.path().filename().string();
        const size_t suffix = file.rfind(".expected.bip");
        if (suffix == std::string::npos) continue;
        const std::string name = file.substr(0, suffix);
        SCOPED_TRACE(name);
        fs::path design = designs / (name + ".json");
        if (!fs::exists(design)) design = fs::path(EXAMPLES_DIR) / (name + ".json");
        design = fs::canonical(design);
        const fs::path bip = output / (name + ".bip");
        const support::Outcome o = support::run(
            {FUSION_SIM, "--addin", ADDIN_LIBRARY, design.string(), "--export", bip.string()});
        ASSERT_EQ(o.status, 0) << o.err;
        EXPECT_EQ(o.err, "");
        expectSameScene(readFile(bip), support::replaceAll(readFile(entry.path()), "@DESIGN_DIR@",
                                                           design.parent_path().string()));
        ++compared;
    }
    EXPECT_GE(compared, 3);
}

// Texts with characters beyond ASCII are written as xX and their UTF-8 bytes
// in hexadecimal; here they become quoted texts again.
std::string quotedTexts(const std::string& scene) {
    const std::regex hex("xX([0-9a-f]+)");
    std::string out;
    auto from = scene.cbegin();
    for (std::sregex_iterator it(scene.begin(), scene.end(), hex), end; it != end; ++it) {
        out.append(from, (*it)[0].first);
        std::string bytes;
        const std::string digits = (*it)[1].str();
        for (size_t i = 0; i + 1 < digits.size(); i += 2)
            bytes.push_back(static_cast<char>(std::stoi(digits.substr(i, 2), nullptr, 16)));
        out += '"' + bytes + '"';
        from = (*it)[0].second;
    }
    return out.append(from, scene.cend());
}

// Designs and exports in folders named with any characters: the same scene.
TEST(ExportEndToEnd, FoldersWithAnyNameGiveTheSameScene) {
    const fs::path examples = fs::canonical(EXAMPLES_DIR);
    const std::string expected = readFile(support::dataPath("designs/desk-lamp.expected.bip"));
    const support::TempFolder root;
    for (const auto& row : support::readTable("e2e/folder-names.tsv")) {
        SCOPED_TRACE(row[0]);
        const fs::path folder = root.path() / support::pathFromUtf8(row[0]);
        fs::create_directories(folder / "textures");
        fs::copy_file(examples / "desk-lamp.json", folder / "desk-lamp.json");
        fs::copy_file(examples / "textures" / "oak.png", folder / "textures" / "oak.png");
        const fs::path bip = folder / "exported" / "desk-lamp.bip";
        fs::create_directories(bip.parent_path());
        const support::Outcome o = support::run({FUSION_SIM, "--addin", ADDIN_LIBRARY,
                                                 support::utf8(folder / "desk-lamp.json"),
                                                 "--export", support::utf8(bip)});
        ASSERT_EQ(o.status, 0) << o.err;
        expectSameScene(quotedTexts(readFile(bip)),
                        support::replaceAll(expected, "@DESIGN_DIR@", support::utf8(folder)));
    }
}

#ifndef _WIN32
// A file the system cannot finish (a full disk) must not pass for an export.
TEST(ExportEndToEnd, AFullDiskFailsTheExport) {
    const std::string design = fs::canonical(fs::path(EXAMPLES_DIR) / "desk-lamp.json").string();
    const support::Outcome o =
        support::run({FUSION_SIM, "--addin", ADDIN_LIBRARY, design, "--export", "/dev/full"});
    EXPECT_EQ(o.status, 1);
    EXPECT_NE(o.err.find("closing file: No space left on device"), std::string::npos) << o.err;
}
#endif
