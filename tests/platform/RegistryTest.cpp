// The registry stand-in: .reg hive files read through regOpenKey /
// regQueryValue with the buffer rules of RegQueryValueExW.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <random>

#include "platform/Platform.h"
#include "platform/RegistryFile.h"
#include "platform/RegistryFixture.h"

using namespace platform;
namespace fs = std::filesystem;

namespace {

const std::string kHive = support::readFile(support::dataPath("registry/hive.reg"));

class RegistryTest : public RegistryFixture {};

TEST_F(RegistryTest, ReadsTextsNumbersAndHexFormsWithTheirTypes) {
    writeHive(Hive::CurrentUser, kHive);
    RegKey key = nullptr;
    ASSERT_EQ(regOpenKey(Hive::CurrentUser, L"software\\VANTOR\\Quorell 12", &key), kSuccess);

    EXPECT_EQ(regQueryText(key, L"BinName", 2048).value(),
              L"C:\\Program Files\\Quorell 12\\quorell.exe");
    EXPECT_EQ(regQueryText(key, L"", 2048).value(), L"default");

    Dword type = 0;
    uint32_t port = 0;
    Dword size = 4;
    ASSERT_EQ(regQueryValue(key, L"LiveLinkPort", &type, &port, &size), kSuccess);
    EXPECT_EQ(type, kRegDword);
    EXPECT_EQ(port, 4000u);

    uint8_t bytes[16];
    size = sizeof bytes;
    ASSERT_EQ(regQueryValue(key, L"Expand", &type, bytes, &size), kSuccess);
    EXPECT_EQ(type, kRegExpandSz);
    EXPECT_EQ(size, 8u);
    size = sizeof bytes;
    ASSERT_EQ(regQueryValue(key, L"blob", &type, bytes, &size), kSuccess);
    EXPECT_EQ(type, kRegBinary);
    ASSERT_EQ(size, 3u);
    EXPECT_EQ(bytes[2], 3);
    EXPECT_EQ(regCloseKey(key), kSuccess);
}

TEST_F(RegistryTest, BufferSizesFollowRegQueryValueEx) {
    writeHive(Hive::CurrentUser, kHive);
    RegKey key = nullptr;
    ASSERT_EQ(regOpenKey(Hive::CurrentUser, L"SOFTWARE\\Vantor\\Quorell 12\\", &key), kSuccess);

    // "42" is stored as 6 bytes (two UTF-16 units and the terminator).
    uint8_t buffer[8] = {};
    Dword size = 4;
    EXPECT_EQ(regQueryValue(key, L"Two", nullptr, buffer, &size), kMoreData);
    EXPECT_EQ(size, 6u);
    EXPECT_FALSE(regQueryText(key, L"Two", 5).has_value());
    EXPECT_EQ(regQueryText(key, L"Two", 6).value(), L"42");

    // A one-character text fits 4 bytes: its UTF-16 bytes, read as a number.
    uint32_t number = 0;
    size = 4;
    ASSERT_EQ(regQueryValue(key, L"One", nullptr, &number, &size), kSuccess);
    EXPECT_EQ(number, static_cast<uint32_t>(L'7'));

    // A null buffer asks for the size.
    size = 0;
    EXPECT_EQ(regQueryValue(key, L"BinName", nullptr, nullptr, &size), kSuccess);
    EXPECT_EQ(size, 2u * (std::wcslen(L"C:\\Program Files\\Quorell 12\\quorell.exe") + 1));

    EXPECT_EQ(regQueryValue(key, L"Missing", nullptr, buffer, &size), kFileNotFound);
    regCloseKey(key);
}

TEST_F(RegistryTest, KeysExistWithTheirParentsAndOnlyInTheirHive) {
    writeHive(Hive::CurrentUser, kHive);
    RegKey key = nullptr;
    EXPECT_EQ(regOpenKey(Hive::CurrentUser, L"SOFTWARE\\Vantor\\", &key), kSuccess);
    RegKey child = nullptr;
    EXPECT_EQ(regOpenKey(key, L"Quorell 12", &child), kSuccess);
    regCloseKey(child);
    regCloseKey(key);
    EXPECT_EQ(regOpenKey(Hive::CurrentUser, L"SOFTWARE\\Vantor\\Quorell 13", &key), kFileNotFound);
    EXPECT_EQ(key, nullptr);
    // No HKEY_LOCAL_MACHINE file: an empty hive.
    EXPECT_EQ(regOpenKey(Hive::LocalMachine, L"SOFTWARE\\Vantor", &key), kFileNotFound);
    EXPECT_EQ(regQueryText(nullptr, L"BinName", 2048), std::nullopt);
}

TEST_F(RegistryTest, MalformedFilesAreEmptyHivesNamedOnceOnStandardError) {
    for (const auto& entry : fs::directory_iterator(support::dataPath("registry/malformed"))) {
        SCOPED_TRACE(entry.path().filename().string());
        writeHive(Hive::CurrentUser, support::readFile(entry.path()));
        RegKey key = nullptr;
        ::testing::internal::CaptureStderr();
        EXPECT_EQ(regOpenKey(Hive::CurrentUser, L"SOFTWARE\\Vantor", &key), kFileNotFound);
        EXPECT_EQ(regOpenKey(Hive::CurrentUser, L"SOFTWARE", &key), kFileNotFound);
        const std::string err = ::testing::internal::GetCapturedStderr();
        const std::string file = hiveFilePath(Hive::CurrentUser);
        EXPECT_NE(err.find(file + ": line "), std::string::npos) << err;
        // Named once, although the hive was read twice.
        EXPECT_EQ(err.find(file, err.find(file) + 1), std::string::npos) << err;
    }
}

TEST(RegistryParseTest, DamagedFilesNeverCrashAndFailAsAWhole) {
    // Random damage to a valid hive: every result is either a parsed hive or
    // an empty one with an error naming the file and a line.
    std::mt19937 random(5);
    const std::string valid = kHive;
    const std::string alphabet = "[]\"\\=@:,-;\n\r hexdword()0123456789abcfHKEY_\xff\xc3";
    int failures = 0;
    for (int round = 0; round < 3000; ++round) {
        std::string text = valid;
        const int edits = 1 + static_cast<int>(random() % 4);
        for (int e = 0; e < edits; ++e) {
            const size_t at = random() % (text.size() + 1);
            const char c = alphabet[random() % alphabet.size()];
            switch (random() % 3) {
                case 0:
                    text.insert(at, 1, c);
                    break;
                case 1:
                    if (at < text.size()) text.erase(at, 1);
                    break;
                default:
                    if (at < text.size()) text[at] = c;
                    break;
            }
        }
        RegistryFile hive(Hive::CurrentUser);
        std::string error;
        if (!hive.parse(text, "damaged.reg", &error)) {
            ++failures;
            EXPECT_EQ(error.rfind("damaged.reg: line ", 0), 0u) << error;
            EXPECT_FALSE(hive.hasKey(L"SOFTWARE"));
        }
    }
    EXPECT_GT(failures, 0);
}

TEST_F(RegistryTest, HiveFilesMoveWithTheEnvironment) {
    EXPECT_EQ(hiveFilePath(Hive::CurrentUser), dir_ + "/HKEY_CURRENT_USER.reg");
    EXPECT_EQ(hiveFilePath(Hive::LocalMachine), dir_ + "/HKEY_LOCAL_MACHINE.reg");
    support::ScopedEnv noDir("QUORELL_REGISTRY_DIR", std::nullopt);
    {
        support::ScopedEnv config("XDG_CONFIG_HOME", "/cfg");
        EXPECT_EQ(hiveFilePath(Hive::CurrentUser), "/cfg/quorell/registry/HKEY_CURRENT_USER.reg");
    }
    support::ScopedEnv noConfig("XDG_CONFIG_HOME", std::nullopt);
    const char* home = std::getenv("HOME");
    EXPECT_EQ(hiveFilePath(Hive::CurrentUser),
              std::string(home ? home : "") + "/.config/quorell/registry/HKEY_CURRENT_USER.reg");
    EXPECT_EQ(hiveFilePath(Hive::LocalMachine), "/etc/quorell/registry/HKEY_LOCAL_MACHINE.reg");
}

TEST_F(RegistryTest, WrittenHivesReadBackThroughTheRegistryFunctions) {
    RegistryFile hive(Hive::LocalMachine);
    hive.setString("SOFTWARE\\Vantor\\Quorell 13", "BinName", "/opt/q \"13\"\\bin/é");
    hive.setDword(L"SOFTWARE\\Vantor\\Quorell 13", L"LiveLinkPort", 0xfa0);
    hive.setValue(L"SOFTWARE\\Vantor", L"Raw", RegistryValue{kRegMultiSz, {0x41, 0, 0, 0, 0, 0}});
    const std::string file = hiveFilePath(Hive::LocalMachine);
    std::string error;
    ASSERT_TRUE(hive.save(file, &error)) << error;
    EXPECT_NE(hive.text().find("\"LiveLinkPort\"=dword:00000fa0"), std::string::npos);
    EXPECT_NE(hive.text().find("\"Raw\"=hex(7):41,00,00,00,00,00"), std::string::npos);

    RegKey key = nullptr;
    ASSERT_EQ(regOpenKey(Hive::LocalMachine, L"SOFTWARE\\Vantor\\Quorell 13", &key), kSuccess);
    EXPECT_EQ(regQueryText(key, L"BinName", 520).value(), L"/opt/q \"13\"\\bin/\u00e9");
    regCloseKey(key);

    // Loading and saving again changes nothing; later settings replace values.
    RegistryFile again(Hive::LocalMachine);
    ASSERT_TRUE(again.load(file, &error)) << error;
    EXPECT_EQ(again.text(), hive.text());
    again.setDword("software\\vantor\\quorell 13", "livelinkport", 4001);
    ASSERT_EQ(again.value(L"SOFTWARE\\Vantor\\Quorell 13", L"LiveLinkPort")->data[0], 0xa1);

    RegistryFile missing(Hive::CurrentUser);
    EXPECT_FALSE(missing.load(path("none.reg"), &error));
    EXPECT_NE(error.find("none.reg"), std::string::npos);
}

TEST_F(RegistryTest, ReadsUtf16FilesAsRegeditExportsThem) {
    const std::string text =
        "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\SOFTWARE\\Vantor]\r\n"
        "\"QuorellVersion\"=\"Quorell 12\"\r\n";
    std::string utf16 = "\xff\xfe";
    for (char c : text) utf16 += std::string{c, '\0'};
    writeHive(Hive::CurrentUser, utf16);
    RegKey key = nullptr;
    ASSERT_EQ(regOpenKey(Hive::CurrentUser, L"SOFTWARE\\Vantor", &key), kSuccess);
    EXPECT_EQ(regQueryText(key, L"QuorellVersion", 2048).value(), L"Quorell 12");
    regCloseKey(key);
}

}  // namespace
