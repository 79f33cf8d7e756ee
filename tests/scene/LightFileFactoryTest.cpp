// The .bip file factory: header lines, targets ("-", UTF-8 paths), failures.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>

#include "importers/sceneapi/orvSceneapi_oo.h"
#include "scene/LightFileFactory.h"
#include "support/Files.h"

namespace fs = std::filesystem;

namespace {

using support::readFile;

std::string bannerLines() {
    return "#print \"" + orv::orvSceneapi_oo::banner() + "\"\nversion 9\n\n";
}

std::string header(const std::string& idLine) {
    return "//---vantor:dal:7---\n//---import:dal:1---\n" + idLine +
           "// This is a Quorell scene file\n\n";
}

// Runs `body` with standard error captured; returns what was written there.
template <class Body>
std::string captureStandardError(Body body) {
    ::testing::internal::CaptureStderr();
    body();
    return ::testing::internal::GetCapturedStderr();
}

class LightFileFactoryTest : public ::testing::Test {
  protected:
    // Writes the header and the wrapper's opening lines with the given scene number.
    std::string writeScene(int32_t sceneNumber) {
        const fs::path path = folder / "scene.bip";
        {
            orv::LightFileFactory factory(path.string());
            factory.setSceneNumber(sceneNumber);
            orv::orvSceneapi_oo oo(factory);
            oo.api()->setFlags(1);
            oo.beginGroup("g");
            oo.endGroup();
        }
        return readFile(path);
    }

    support::TempFolder temp;
    const fs::path folder = temp.path();
};

}  // namespace

TEST_F(LightFileFactoryTest, HeaderLinesWithTheIdOfTheSceneNumberThenBannerAndVersion) {
    // The id is (number + 1) * 1234567 wrapped around 32 bits, masked to 31 bits.
    const std::pair<int32_t, const char*> rows[] = {
        {0, "1"},  {1, "2469134"},   {2000, "322884919"}, {5000, "1879102271"},
        {-1, "0"}, {0x7fffffff, "0"}};
    for (const auto& [number, id] : rows)
        EXPECT_EQ(writeScene(number), header("//---id:" + std::string(id) + "---\n") +
                                          bannerLines() + "\ngroup \"g\" {\n}\n")
            << number;
}

TEST_F(LightFileFactoryTest, WriterStartsWithBinaryArrays) {
    const fs::path path = folder / "binary.bip";
    {
        orv::LightFileFactory factory(path.string());
        const int32_t values[2] = {1, 2};
        const ArrayRef array{values, 2};
        factory.getSceneApi()->attribute("a", vtIntArray, &array);
    }
    const std::string expected = std::string("\"a\" [ \x01\x02\x03i\x02\0\0\0", 14) +
                                 std::string("\x01\0\0\0\x02\0\0\0", 8) + "] ,\n";
    EXPECT_EQ(readFile(path), expected);
}

TEST_F(LightFileFactoryTest, NonAsciiPathOpensTheFileOfThatName) {
    const std::string name = "sz\xc3\xa8ne \xe2\x82\xac \xe6\x97\xa5\xe6\x9c\xac.bip";
    {
        orv::LightFileFactory factory((folder / name).string());
        orv::orvSceneapi_oo oo(factory);
    }
    const fs::path expected = folder / fs::u8path(name);
    ASSERT_TRUE(fs::exists(expected));
    EXPECT_EQ(readFile(expected), header("//---id:1---\n") + bannerLines());
}

TEST_F(LightFileFactoryTest, MissingFolderThrowsAfterPrintingTheSystemError) {
    const std::string path = (folder / "missing" / "scene.bip").string();
    std::string message;
    const std::string printed = captureStandardError([&] {
        try {
            orv::LightFileFactory factory(path);
        } catch (const std::runtime_error& e) {
            message = e.what();
        }
    });
    EXPECT_EQ(message, "could not open file: \"" + path + "\"");
    EXPECT_EQ(printed, "opening file: No such file or directory\n");
}

TEST_F(LightFileFactoryTest, CloseThenDestroyClosesOnce) {
    const fs::path path = folder / "closed.bip";
    {
        orv::LightFileFactory factory(path.string());
        orv::orvSceneapi_oo oo(factory);
        factory.close();
        EXPECT_EQ(factory.getSceneApi(), nullptr);
        EXPECT_NO_THROW(factory.close());
    }
    EXPECT_EQ(readFile(path), header("//---id:1---\n") + bannerLines());
}

TEST_F(LightFileFactoryTest, DashWritesToStandardOutputAndMovesOtherOutputToStandardError) {
    // In a child process, so that the test runner's own descriptors stay as they are.
    const fs::path out = folder / "stdout.txt";
    const fs::path err = folder / "stderr.txt";
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        FILE* o = std::fopen(out.c_str(), "wb");
        FILE* e = std::fopen(err.c_str(), "wb");
        dup2(fileno(o), 1);
        dup2(fileno(e), 2);
        {
            orv::LightFileFactory factory("-");
            orv::orvSceneapi_oo oo(factory);
            std::printf("chatter\n");
            std::fflush(stdout);
            oo.beginGroup("g");
            oo.endGroup();
        }
        std::printf("after\n");
        std::fflush(stdout);
        _exit(0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(readFile(out), header("//---id:1---\n") + bannerLines() + "\ngroup \"g\" {\n}\n");
    EXPECT_EQ(readFile(err), "chatter\nafter\n");
}
