// fusion-sim exports every design of tests/data/designs (or, for the sample
// designs, of examples/) and each file must be exactly its checked-in scene
// <name>.expected.bip. The banner's build time stamp and the design's folder
// (texture paths are absolute) are the only variable parts.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> result;
    std::stringstream in(text);
    for (std::string line; std::getline(in, line);) result.push_back(line);
    return result;
}

std::string replaceAll(std::string text, const std::string& from, const std::string& to) {
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
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
            EXPECT_EQ(actual[i], expected[i]) << "line " << i + 1;
    }
    // getline hides a missing final line feed.
    EXPECT_EQ(actualText.back(), '\n');
}

}  // namespace

TEST(ExportEndToEnd, EveryDesignMatchesItsCheckedInScene) {
    const fs::path designs = fs::path(TEST_DATA) / "designs";
    const fs::path output = fs::temp_directory_path() / ("quorell-e2e-" + std::to_string(::getpid()));
    fs::create_directories(output);
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
        const std::string command = "'" + std::string(FUSION_SIM) + "' --addin '" + ADDIN_LIBRARY +
                                    "' '" + design.string() + "' --export '" + bip.string() +
                                    "' 2>'" + (output / "stderr.txt").string() + "'";
        const int status = std::system(command.c_str());
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
            << readFile(output / "stderr.txt");
        EXPECT_EQ(readFile(output / "stderr.txt"), "");
        expectSameScene(readFile(bip), replaceAll(readFile(entry.path()), "@DESIGN_DIR@",
                                                  design.parent_path().string()));
        ++compared;
    }
    fs::remove_all(output);
    EXPECT_GE(compared, 2);
}
