// Installation discovery on real hive files: hive preference, the fallback
// from the active path to the version value to the scan, validation of the
// installation, port statuses and version parsing.
#include <gtest/gtest.h>

#include "livelink/InstallationFixture.h"
#include "livelink/InstallationRegistry.h"

using platform::Hive;
using platform::RegistryFile;
using platform::utf8ToWide;

namespace {

class InstallationRegistryTest : public InstallationFixture {
  protected:
    int32_t versionFound(int32_t minVersion, int32_t maxVersion) {
        auto found = installationRegistry().findInstallKey(minVersion, maxVersion);
        return found ? found->version : 0;
    }
    std::wstring binFolder(int32_t minVersion, int32_t maxVersion) {
        int32_t version = -7;
        std::wstring folder = installationRegistry().readBinFolder(minVersion, maxVersion, version);
        lastVersion = version;
        return folder;
    }
    int32_t lastVersion = 0;

    // readPortRange(5, 20) after saving the hive; low and high start at -9.
    int32_t portRange(const RegistryFile& hive) {
        save(hive);
        low = high = -9;
        return installationRegistry().readPortRange(5, 20, low, high);
    }
    int32_t low = -9, high = -9;
};

TEST_F(InstallationRegistryTest, HigherVersionWinsAcrossHivesAndTheCurrentUserWinsATie) {
    RegistryFile user(Hive::CurrentUser), machine(Hive::LocalMachine);
    addInstallation(user, "Quorell 12", makeInstallationFolder("user12"));
    addInstallation(machine, "Quorell 13", makeInstallationFolder("machine13"));
    addInstallation(machine, "Quorell 12", makeInstallationFolder("machine12"));
    save(user);
    save(machine);

    EXPECT_EQ(binFolder(12, 13), utf8ToWide(dir_ + "/machine13/bin"));
    EXPECT_EQ(lastVersion, 13);
    EXPECT_EQ(binFolder(12, 12), utf8ToWide(dir_ + "/user12/bin"));
    EXPECT_EQ(lastVersion, 12);
    EXPECT_EQ(installationRegistry().readResourceFolder(5, 20),
              utf8ToWide(dir_ + "/machine13/resources"));
    EXPECT_EQ(installationRegistry().readBinName(12, 13),
              utf8ToWide(dir_ + "/machine13/bin/quorell"));

    // Out of range everywhere: nothing, and the version is left alone.
    EXPECT_EQ(binFolder(14, 20), L"");
    EXPECT_EQ(lastVersion, -7);
    EXPECT_EQ(binFolder(13, 12), L"");
}

TEST_F(InstallationRegistryTest, ActivePathThenVersionValueThenScanFromTheTop) {
    RegistryFile user(Hive::CurrentUser);
    for (const char* v : {"10", "11", "12", "13"})
        addInstallation(user, std::string("Quorell ") + v, makeInstallationFolder(v));
    user.setString("SOFTWARE\\Vantor", "QuorellActivePath", "C:\\Programs\\Quorell 11\\");
    user.setString("SOFTWARE\\Vantor", "QuorellVersion", "Quorell 10");
    save(user);

    EXPECT_EQ(versionFound(5, 20), 11);   // the active path when in range
    EXPECT_EQ(versionFound(10, 10), 10);  // active path out of range: the version value
    EXPECT_EQ(versionFound(12, 20), 13);  // both out of range: scan from the highest down

    user.setString("SOFTWARE\\Vantor", "QuorellActivePath", "/opt/Quorell12");
    user.setString("SOFTWARE\\Vantor", "QuorellVersion", "Quorell 99");  // no such key
    save(user);
    EXPECT_EQ(versionFound(5, 20), 12);
    EXPECT_EQ(versionFound(10, 11), 11);

    // A version value without a number below 1 is not an installation.
    user.removeValue(L"SOFTWARE\\Vantor", L"QuorellActivePath");
    user.setString("SOFTWARE\\Vantor", "QuorellVersion", "Odd");
    addInstallation(user, "Odd", makeInstallationFolder("odd"));
    save(user);
    EXPECT_EQ(versionFound(0, 9), 0);
    EXPECT_EQ(versionFound(5, 12), 12);
}

TEST_F(InstallationRegistryTest, InvalidInstallationsAreNeverChosen) {
    RegistryFile user(Hive::CurrentUser);
    const std::string good = makeInstallationFolder("good");
    addInstallation(user, "Quorell 12", good);
    const std::string noExe = makeInstallationFolder("noexe");
    addInstallation(user, "Quorell 13", noExe);
    std::filesystem::remove(noExe + "/bin/quorell");
    const std::string fileAsResources = makeInstallationFolder("file");
    addInstallation(user, "Quorell 14", fileAsResources);
    user.setString("SOFTWARE\\Vantor\\Quorell 14", "ResourceFolder",
                   fileAsResources + "/bin/quorell");
    user.setString("SOFTWARE\\Vantor\\Quorell 15", "BinName", good + "/bin/quorell");  // no folder
    user.setString("SOFTWARE\\Vantor", "QuorellActivePath", noExe + "/Quorell13/");
    user.setString("SOFTWARE\\Vantor", "QuorellVersion", "Quorell 14");
    save(user);

    EXPECT_EQ(versionFound(12, 15), 12);
    EXPECT_EQ(binFolder(13, 15), L"");
}

TEST_F(InstallationRegistryTest, BackslashPathsInTheRegistryWork) {
    RegistryFile machine(Hive::LocalMachine);
    const std::string folder = makeInstallationFolder("win");
    std::string windowsForm = folder;
    for (char& c : windowsForm)
        if (c == '/') c = '\\';
    machine.setString("SOFTWARE\\Vantor\\Quorell 12", "BinName", windowsForm + "\\bin\\quorell");
    machine.setString("SOFTWARE\\Vantor\\Quorell 12", "ResourceFolder",
                      windowsForm + "\\resources\\");
    save(machine);
    EXPECT_EQ(versionFound(12, 13), 12);
}

TEST_F(InstallationRegistryTest, PortRangeStatuses) {
    RegistryFile user(Hive::CurrentUser);
    addInstallation(user, "Quorell 12", makeInstallationFolder("q"));
    const std::string key = "SOFTWARE\\Vantor\\Quorell 12";
    EXPECT_EQ(portRange(user), -2);
    EXPECT_EQ(low, -9);

    user.setDword(key, "LiveLinkPort", 4000);
    user.setDword(key, "LiveLinkMaxPort", 4010);
    EXPECT_EQ(portRange(user), 0);
    EXPECT_EQ(std::make_pair(low, high), std::make_pair(4000, 4010));

    // Texts too long for four bytes are read as texts.
    user.setString(key, "LiveLinkPort", "4000");
    user.setString(key, "LiveLinkMaxPort", "10000");
    EXPECT_EQ(portRange(user), 0);
    EXPECT_EQ(std::make_pair(low, high), std::make_pair(4000, 10000));

    // A number with a text maximum of two or more characters: -1, maximum untouched.
    user.setDword(key, "LiveLinkPort", 4100);
    user.setString(key, "LiveLinkMaxPort", "41");
    EXPECT_EQ(portRange(user), -1);
    EXPECT_EQ(std::make_pair(low, high), std::make_pair(4100, -9));

    // A one-character text fits four bytes and is taken as its bytes.
    user.setString(key, "LiveLinkMaxPort", "7");
    EXPECT_EQ(portRange(user), 0);
    EXPECT_EQ(high, static_cast<int32_t>(L'7'));

    user.setString(key, "LiveLinkPort", " 4200 ports");
    user.removeValue(L"SOFTWARE\\Vantor\\Quorell 12", L"LiveLinkMaxPort");
    EXPECT_EQ(portRange(user), -1);
    EXPECT_EQ(std::make_pair(low, high), std::make_pair(4200, -9));

    EXPECT_EQ(installationRegistry().readPortRange(13, 20, low, high), -3);
}

TEST_F(InstallationRegistryTest, ValuesLongerThanTheirBuffersReadAsEmpty) {
    RegistryFile user(Hive::CurrentUser);
    const std::string folder = makeInstallationFolder("long");
    addInstallation(user, "Quorell 12", folder);
    // 260 characters with the terminator fit 520 bytes; 261 do not.
    user.setString("SOFTWARE\\Vantor\\Quorell 12", "BinFolder", std::string(259, 'a'));
    save(user);
    EXPECT_EQ(binFolder(12, 12), std::wstring(259, L'a'));
    user.setString("SOFTWARE\\Vantor\\Quorell 12", "BinFolder", std::string(260, 'a'));
    save(user);
    EXPECT_EQ(binFolder(12, 12), L"");
    EXPECT_EQ(lastVersion, 12);
}

TEST(VersionFromPath, Forms) {
    for (const auto& row : support::readTable("livelink/version-from-path.tsv"))
        EXPECT_EQ(InstallationRegistry::versionFromPath(platform::utf8ToWide(row[0])),
                  std::stoi(row[1]))
            << row[0];
}

}  // namespace
