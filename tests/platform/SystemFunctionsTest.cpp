// The Windows functions as the add-in uses them, the same cases for the
// Windows API and for its POSIX stand-in: registry reads, library loading,
// process start, time and text.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#ifdef _WIN32
#include <io.h>
#endif

#include "platform/Platform.h"
#include "platform/Utf16.h"
#include "support/Files.h"
#include "support/Program.h"

using namespace platform;

namespace {

std::vector<uint8_t> bytesOf(const std::string& hex) {
    std::vector<uint8_t> bytes;
    for (size_t at = 0; at + 1 < hex.size(); at += 3)
        bytes.push_back(static_cast<uint8_t>(std::stoul(hex.substr(at, 2), nullptr, 16)));
    return bytes;
}

// A key of this test alone, in the registry the platform reads: on Windows
// the user's hive, elsewhere a hive file in a temporary folder.
class RegistryTable : public ::testing::Test {
  protected:
    ~RegistryTable() override { regDeleteTree(Hive::CurrentUser, root_); }

    std::wstring keyPath(const std::string& key) const { return root_ + L"\\" + utf8ToWide(key); }

    support::TempFolder temp_;
    support::ScopedEnv hives_{"QUORELL_REGISTRY_DIR", temp_.path().string()};
    std::wstring root_ = L"SOFTWARE\\Quorell Tests\\" + std::to_wstring(currentProcessId());
};

TEST_F(RegistryTable, ReadsFollowRegQueryValueEx) {
    for (const auto& row : support::readTable("platform/registry.tsv")) {
        SCOPED_TRACE(row[0] + " " + row[1] + " " + row[2]);
        ASSERT_GE(row.size(), 5u);
        if (row[0] == "set") {
            const std::vector<uint8_t> data = row[4].rfind("text:", 0) == 0
                                                  ? toUtf16Bytes(utf8ToWide(row[4].substr(5)))
                                                  : bytesOf(row[4].substr(4));
            ASSERT_EQ(regSetValue(Hive::CurrentUser, keyPath(row[1]), utf8ToWide(row[2]),
                                  static_cast<Dword>(std::stoul(row[3])), data.data(),
                                  static_cast<Dword>(data.size())),
                      kSuccess);
            continue;
        }
        RegKey key = nullptr;
        const long opened = regOpenKey(Hive::CurrentUser, keyPath(row[1]), &key);
        if (row[0] == "text") {
            const auto text = opened == kSuccess
                                  ? regQueryText(key, utf8ToWide(row[2]), std::stoul(row[3]))
                                  : std::nullopt;
            EXPECT_EQ(text ? wideToUtf8(*text) : "-", row[4]);
        } else {
            ASSERT_EQ(row.size(), 8u);
            long result = opened;
            Dword type = 0, size = row[3] == "null" ? 0 : std::stoul(row[3]);
            std::vector<uint8_t> buffer(size + 4, 0xee);
            if (opened == kSuccess)
                result = regQueryValue(key, utf8ToWide(row[2]), &type,
                                       row[3] == "null" ? nullptr : buffer.data(), &size);
            EXPECT_EQ(result, std::stol(row[4]));
            if (row[5] != "-") {
                EXPECT_EQ(size, std::stoul(row[5]));
            }
            if (row[6] != "-") {
                EXPECT_EQ(type, std::stoul(row[6]));
            }
            if (row[7] != "-") {
                buffer.resize(size);
                EXPECT_EQ(buffer, bytesOf(row[7]));
            }
        }
        EXPECT_EQ(key == nullptr, opened != kSuccess);
        if (key) {
            EXPECT_EQ(regCloseKey(key), kSuccess);
        }
    }
}

TEST(ModuleTest, LoadsLibrariesAndFindsTheirEntryPoints) {
    ModuleHandle module = loadLibrary(utf8ToWide(PROBE_MODULE));
    ASSERT_NE(module, nullptr);
    using Answer = int (*)();
    auto answer = reinterpret_cast<Answer>(getProcAddress(module, "probeAnswer"));
    ASSERT_NE(answer, nullptr);
    EXPECT_EQ(answer(), 42);
    EXPECT_EQ(getProcAddress(module, "noSuchEntry"), nullptr);
    EXPECT_TRUE(freeLibrary(module));

    support::TempFolder temp;
    EXPECT_EQ(loadLibrary(utf8ToWide((temp / "missing").string()) + kLibrarySuffix), nullptr);
    EXPECT_EQ(loadLibrary(L""), nullptr);
    EXPECT_EQ(getProcAddress(nullptr, "probeAnswer"), nullptr);
}

// The system handle behind a C stream, as a number for the probe's command line.
std::string osHandle(FILE* file) {
#ifdef _WIN32
    return std::to_string(static_cast<unsigned long long>(_get_osfhandle(_fileno(file))));
#else
    return std::to_string(::fileno(file));
#endif
}

// The report of a program started by the test, once it has written it.
std::string awaitReport(const std::filesystem::path& path) {
    for (int waited = 0; waited < 60000 && !std::filesystem::exists(path); waited += 20) sleepMs(20);
    return std::filesystem::exists(path) ? support::readFile(path) : "no report";
}

TEST(ProcessStartTest, AStartedProgramGetsNoneOfTheCallersFiles) {
    support::TempFolder temp;
    const std::string held = (temp / "held.txt").string();
    FILE* file = std::fopen(held.c_str(), "w");  // inheritable, as files are by default
    ASSERT_NE(file, nullptr);
    const std::string handle = osHandle(file);

    // The probe does see a file that a plain start hands over...
    const std::string plain = (temp / "plain-start").string();
    EXPECT_EQ(support::run({HANDLE_PROBE, handle, held, plain}).status, 0);
    EXPECT_EQ(awaitReport(plain), "inherited");
    // ...and none through createProcess.
    const std::string started = (temp / "created").string();
    ProcessHandle child = createProcess(
        utf8ToWide(HANDLE_PROBE), {utf8ToWide(handle), utf8ToWide(held), utf8ToWide(started)});
    ASSERT_NE(child, nullptr) << std::strerror(errno);
    EXPECT_NE(processIdOf(child), 0u);
    EXPECT_TRUE(closeHandle(child));
    EXPECT_EQ(awaitReport(started), "not inherited");
    std::fclose(file);

    errno = 0;
    EXPECT_EQ(createProcess(utf8ToWide((temp / "missing").string())), nullptr);
    EXPECT_EQ(errno, ENOENT);
    EXPECT_EQ(createProcess(L""), nullptr);
    EXPECT_FALSE(closeHandle(nullptr));
}

TEST(TimeTest, TimeOfDayPicturesAndTicks) {
    for (const auto& row : support::readTable("platform/time-of-day.tsv")) {
        SCOPED_TRACE(row[3]);
        ASSERT_EQ(row.size(), 7u);
        std::tm t{};
        t.tm_hour = std::stoi(row[0]), t.tm_min = std::stoi(row[1]), t.tm_sec = std::stoi(row[2]);
        char buffer[200] = {};
        EXPECT_EQ(formatTimeOfDay(t, row[3].c_str(), buffer, std::stoi(row[4])), std::stoi(row[5]));
        if (row[6] != "-") {
            EXPECT_EQ(std::string(buffer), row[6]);
        }
    }
    char now[16];
    EXPECT_EQ(formatTimeOfDay("HH':'mm':'ss", now, sizeof now), 9);

    // GetTickCount moves in steps of up to 16 ms.
    const Dword before = tickCount();
    sleepMs(100);
    EXPECT_GE(static_cast<Dword>(tickCount() - before), 84u);
}

TEST(TextTest, Utf8ToWideAndBack) {
    EXPECT_EQ(utf8ToWide("Quorell 12"), L"Quorell 12");
    EXPECT_EQ(utf8ToWide("\xc3\xa9\xe2\x82\xac\xf0\x9f\x98\x80"), L"\u00e9\u20ac\U0001F600");
    EXPECT_EQ(wideToUtf8(L"\u00e9\u20ac\U0001F600"), "\xc3\xa9\xe2\x82\xac\xf0\x9f\x98\x80");
    // Registry bytes: characters beyond the first plane travel as surrogate pairs.
    const std::vector<uint8_t> pair = toUtf16Bytes(L"\U0001F600");
    EXPECT_EQ(pair, (std::vector<uint8_t>{0x3d, 0xd8, 0x00, 0xde, 0, 0}));
    EXPECT_EQ(fromUtf16Bytes(pair.data(), pair.size()), L"\U0001F600");
    // Broken sequences: stray continuation, truncated.
    EXPECT_EQ(utf8ToWide("a\x80"
                         "b"),
              L"a\uFFFDb");
    EXPECT_EQ(utf8ToWide("\xe2\x82"), L"\uFFFD");
    EXPECT_EQ(utf8ToWide(std::string("a\0b", 3)), std::wstring(L"a\0b", 3));
}

}  // namespace
