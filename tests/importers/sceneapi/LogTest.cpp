// The line log: prefix, level filter, the 20 MiB restart, the elapsed
// fraction of the time stamp, and where the file is (or is not) opened.
#include <gtest/gtest.h>

#include <regex>

#include "importers/sceneapi/LoaderFixture.h"

namespace {

class LogTest : public LoaderFixture {
  protected:
    std::string logPath() const { return dir_ + "/Quorell12/resources/sceneapi.log"; }
};

// The first stamp of a process, in a freshly started one ("threadsafe" runs
// the statement in a new execution of this program).
TEST(LogFirstStamp, ShowsZeroMillisecondsEvenWhenTheClockMovedOn) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            std::fputs(NowTime(platform::tickCount() - 5).c_str(), stderr);
            std::exit(0);
        },
        ::testing::ExitedWithCode(0), "\\.000$");
}

TEST_F(LogTest, LinePrefixShowsFileNameLineTimeAndLevel) {
    install(12);
    ASSERT_NE(Output2FILE::logFile(), nullptr);  // log sites open the file before a line
    {
        FILELog().start(logWARNING, "C:\\work\\src\\quorelllive_loader.cpp", 42)
            << "NO shared handle";
    }
    { FILELog().start(logDEBUG4, "/src/importers/sceneapi/log.cpp", 7) << "x=" << 5; }
    { FILELog().start(logERROR, "plain.cpp", 1) << ""; }
    const std::string text = readFile(logPath());
    const std::regex expected(
        "quorelllive_loader\\.cpp:42 - \\d\\d:\\d\\d:\\d\\d\\.\\d{3} WARNING:  NO shared handle\n"
        "log\\.cpp:7 - \\d\\d:\\d\\d:\\d\\d\\.\\d{3} DEBUG4:  x=5\n"
        "plain\\.cpp:1 - \\d\\d:\\d\\d:\\d\\d\\.\\d{3} ERROR:  \n");
    EXPECT_TRUE(std::regex_match(text, expected)) << text;
}

TEST_F(LogTest, LevelsAboveTheReportingLevelAreNotWritten) {
    install(12);
    int evaluated = 0;
    FILE_LOG(logNONE) << "never" << ++evaluated;
    FILE_LOG(logDEBUG4) << "debug4";
    FILE_LOG(logERROR) << "error";
    EXPECT_EQ(evaluated, 0);
    const std::string text = readFile(logPath());
    EXPECT_EQ(count(text, "\n"), 2u) << text;
    EXPECT_EQ(count(text, "never"), 0u);
    EXPECT_NE(text.find("DEBUG4:  debug4\n"), std::string::npos);
    EXPECT_NE(text.find("ERROR:  error\n"), std::string::npos);
}

TEST_F(LogTest, TwentyMebibyteLogIsStartedAgainOneByteLessIsAppended) {
    install(12);
    const std::regex oneLine("LogTest\\.cpp:\\d+ - [^\n]* INFO:  (appended|restarted)\n");
    std::ofstream(logPath()).close();
    std::filesystem::resize_file(logPath(), 0x1400000 - 1);
    FILE_LOG(logINFO) << "appended";
    Output2FILE::reset();
    std::string text = readFile(logPath());
    ASSERT_GT(text.size(), 0x1400000u - 1);
    EXPECT_TRUE(std::regex_match(text.substr(0x1400000 - 1), oneLine));

    std::filesystem::resize_file(logPath(), 0x1400000);
    FILE_LOG(logINFO) << "restarted";
    text = readFile(logPath());
    EXPECT_TRUE(std::regex_match(text, oneLine)) << text.size();
    EXPECT_NE(text.find("restarted"), std::string::npos);
}

TEST_F(LogTest, FractionIsTheElapsedMillisecondsSinceTheFirstStamp) {
    const platform::Dword now = platform::tickCount();
    const std::string first = NowTime(now);
    const std::string later = NowTime(now + 1500);
    const std::regex form("\\d\\d:\\d\\d:\\d\\d\\.(\\d{3})");
    std::smatch a, b;
    ASSERT_TRUE(std::regex_match(first, a, form)) << first;
    ASSERT_TRUE(std::regex_match(later, b, form)) << later;
    EXPECT_EQ((std::stoi(b[1]) - std::stoi(a[1]) + 1000) % 1000, 500);
    EXPECT_TRUE(std::regex_match(NowTime(), form));
}

TEST_F(LogTest, NoResourceFolderMeansNoLog) {
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(Output2FILE::logFile(), nullptr);
    FILE_LOG(logERROR) << "lost";
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");

    // An installation outside 5..20 gives no resource folder either.
    install(21);
    EXPECT_EQ(Output2FILE::logFile(), nullptr);
    EXPECT_FALSE(std::filesystem::exists(dir_ + "/Quorell21/resources/sceneapi.log"));
}

TEST_F(LogTest, UnopenableLogIsReportedAndRetriedAtTheNextSite) {
    install(12);
    std::filesystem::create_directories(logPath());  // a folder where the file should be
    ::testing::internal::CaptureStderr();
    FILE_LOG(logINFO) << "first";
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "could not open log file:\nopening log: Is a directory\n");

    std::filesystem::remove(logPath());
    FILE_LOG(logINFO) << "second";
    const std::string text = readFile(logPath());
    EXPECT_EQ(count(text, "\n"), 1u);
    EXPECT_NE(text.find("INFO:  second\n"), std::string::npos);
}

}  // namespace
