// The POSIX side of the Windows functions: Windows path forms, detached
// processes, the overlong UTF-8 forms it refuses.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "platform/Platform.h"

using namespace platform;
#include "support/Files.h"

namespace {

// The path with backslashes, as Windows callers hand it over.
std::wstring windowsForm(const std::string& path) {
    std::wstring wide = utf8ToWide(path);
    for (wchar_t& c : wide)
        if (c == L'/') c = L'\\';
    return wide;
}

class TempFolder : public ::testing::Test {
  protected:
    support::TempFolder temp_;
    std::string dir_ = temp_.path().string();
};

using FilesTest = TempFolder;
using ProcessTest = TempFolder;

TEST_F(FilesTest, BackslashPathsOpenFilesAndReportDirectories) {
    std::filesystem::create_directories(dir_ + "/sub dir");
    std::ofstream(dir_ + "/sub dir/\xc3\xa9t\xc3\xa9.txt") << "hello";

    FILE* file = openFile(windowsForm(dir_) + L"\\sub dir\\\u00e9t\u00e9.txt", "rb");
    ASSERT_NE(file, nullptr);
    char buffer[8] = {};
    EXPECT_EQ(std::fread(buffer, 1, sizeof buffer, file), 5u);
    std::fclose(file);
    EXPECT_EQ(openFile(windowsForm(dir_) + L"\\missing.txt", "rb"), nullptr);

    const auto folder = fileStatus(windowsForm(dir_) + L"\\sub dir\\");
    ASSERT_TRUE(folder.has_value());
    EXPECT_TRUE(folder->directory);
    const auto plain = fileStatus(windowsForm(dir_) + L"\\sub dir\\\u00e9t\u00e9.txt");
    ASSERT_TRUE(plain.has_value());
    EXPECT_FALSE(plain->directory);
    EXPECT_EQ(plain->size, 5u);
    EXPECT_FALSE(fileStatus(L"").has_value());
}

TEST_F(ProcessTest, StartsADetachedChildWithTheCallersEnvironmentAndFolder) {
    const std::string fifo = dir_ + "/report";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string script = dir_ + "/child.sh";
    std::ofstream(script)
        << "#!/bin/sh\n{ pwd; echo \"$QUORELL_PROCESS_TEST\"; echo $PPID; echo $$; }"
           " > '"
        << fifo << "'\n";
    ::chmod(script.c_str(), 0700);
    ::setenv("QUORELL_PROCESS_TEST", "inherited value", 1);
    char here[4096];
    ASSERT_NE(::getcwd(here, sizeof here), nullptr);
    std::filesystem::create_directories(dir_ + "/cwd");
    ASSERT_EQ(::chdir((dir_ + "/cwd").c_str()), 0);

    ProcessHandle child = createProcess(windowsForm(script));
    EXPECT_EQ(::chdir(here), 0);
    ::unsetenv("QUORELL_PROCESS_TEST");
    ASSERT_NE(child, nullptr) << std::strerror(errno);
    const uint32_t pid = processIdOf(child);
    EXPECT_TRUE(closeHandle(child));  // the child runs on regardless

    std::ifstream report(fifo);  // blocks until the child writes
    std::string cwd, value, parent, self;
    std::getline(report, cwd);
    std::getline(report, value);
    std::getline(report, parent);
    std::getline(report, self);
    EXPECT_EQ(std::filesystem::canonical(cwd), std::filesystem::canonical(dir_ + "/cwd"));
    EXPECT_EQ(value, "inherited value");
    EXPECT_NE(parent, std::to_string(currentProcessId()));  // not our child: no zombie
    EXPECT_EQ(self, std::to_string(pid));
}

TEST_F(ProcessTest, ProgramsThatCannotStartGiveNoHandle) {
    errno = 0;
    EXPECT_EQ(createProcess(utf8ToWide(dir_ + "/missing")), nullptr);
    EXPECT_EQ(errno, ENOENT);
    const std::string notExecutable = dir_ + "/plain.txt";
    std::ofstream(notExecutable) << "text";
    errno = 0;
    EXPECT_EQ(createProcess(utf8ToWide(notExecutable)), nullptr);
    EXPECT_EQ(errno, EACCES);
    EXPECT_EQ(currentProcessId(), static_cast<uint32_t>(::getpid()));
}

TEST(TextTest, OverlongAndSurrogateFormsAreReplaced) {
    EXPECT_EQ(utf8ToWide("\xc0\xaf"), L"\uFFFD");
    EXPECT_EQ(utf8ToWide("\xed\xa0\x80"), L"\uFFFD");
}

}  // namespace
