// The newcomer's command: fusion-sim exports the sample desk lamp, and the file
// must be exactly the checked-in scene. The banner's build time stamp and the
// folder of the examples (texture paths are absolute) are the only variable parts.
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

// Runs fusion-sim with the arguments; the exit status, standard error in `errors`.
int runFusionSim(const std::vector<std::string>& arguments, const fs::path& errors) {
    std::string command = "'" + std::string(FUSION_SIM) + "' --addin '" + ADDIN_LIBRARY + "'";
    for (const auto& a : arguments) command += " '" + a + "'";
    command += " 2>'" + errors.string() + "'";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class ExportEndToEnd : public testing::Test {
  protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("quorell-e2e-" + std::to_string(::getpid()));
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }
    fs::path dir;
};

}  // namespace

TEST_F(ExportEndToEnd, DeskLampMatchesTheCheckedInScene) {
    const fs::path examples = fs::canonical(EXAMPLES_DIR);
    const fs::path output = dir / "desk-lamp.bip";
    ASSERT_EQ(runFusionSim({(examples / "desk-lamp.json").string(), "--export", output.string()},
                           dir / "stderr.txt"),
              0)
        << readFile(dir / "stderr.txt");
    EXPECT_EQ(readFile(dir / "stderr.txt"), "");

    const auto actual = lines(readFile(output));
    const auto expected =
        lines(replaceAll(readFile(EXPECTED_SCENE), "@EXAMPLES@", examples.string()));
    ASSERT_EQ(actual.size(), expected.size());
    const std::regex banner(
        R"re(#print "Quorell SceneApi oo 12\.0\.0  \(built (Mon|Tue|Wed|Thu|Fri|Sat|Sun) )re"
        R"re((Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec) [ 123]\d \d\d:\d\d:\d\d \d{4}\)")re");
    for (size_t i = 0; i < expected.size(); ++i) {
        if (expected[i].find("@BUILD_TIME@") != std::string::npos) {
            EXPECT_TRUE(std::regex_match(actual[i], banner))
                << "line " << i + 1 << ": " << actual[i];
        } else {
            EXPECT_EQ(actual[i], expected[i]) << "line " << i + 1;
        }
    }
    // getline hides a missing final line feed.
    EXPECT_EQ(readFile(output).back(), '\n');
}

TEST_F(ExportEndToEnd, UnwritableTargetIsReportedAndWritesNothing) {
    const fs::path examples = fs::canonical(EXAMPLES_DIR);
    const fs::path output = dir / "no-such-folder" / "lamp.bip";
    EXPECT_EQ(runFusionSim({(examples / "desk-lamp.json").string(), "--export", output.string()},
                           dir / "stderr.txt"),
              1);
    const std::string errors = readFile(dir / "stderr.txt");
    EXPECT_NE(errors.find("error: could not open file: \"" + output.string() + "\""),
              std::string::npos)
        << errors;
    EXPECT_FALSE(fs::exists(output));
}
