// A temporary renderer installation (registry, program folder, resource
// folder) and a temporary current folder for the log and loader suites.
#pragma once

#include <unistd.h>

#include <filesystem>
#include <string>

#include "importers/sceneapi/log.h"
#include "importers/sceneapi/quorelllive_loader.h"
#include "livelink/InstallationFixture.h"
#include "support/Files.h"

using support::count;
using support::readFile;

class LoaderFixture : public InstallationFixture {
  protected:
    void SetUp() override {
        InstallationFixture::SetUp();
        char here[4096];
        ASSERT_NE(::getcwd(here, sizeof here), nullptr);
        oldCwd_ = here;
        cwd_ = dir_ + "/cwd";
        std::filesystem::create_directories(cwd_);
        ASSERT_EQ(::chdir(cwd_.c_str()), 0);
        Output2FILE::reset();
    }
    void TearDown() override {
        unloadLiveLibrary();
        Output2FILE::reset();
        EXPECT_EQ(::chdir(oldCwd_.c_str()), 0);
    }

    // Registers a valid installation of the given major version in the
    // current user's hive; returns its folder (bin/ and resources/ below).
    std::string install(int version) {
        const std::string folder = makeInstallationFolder("Quorell" + std::to_string(version));
        platform::RegistryFile user(platform::Hive::CurrentUser);
        user.load(platform::hiveFilePath(platform::Hive::CurrentUser));
        addInstallation(user, "Quorell " + std::to_string(version), folder);
        save(user);
        return folder;
    }

    // Copies a variant of the live library double ("normal", "null",
    // "no_entry") to folder/fileName.
    void placeDouble(const std::string& variant, const std::string& folder,
                     const std::string& fileName) {
        std::filesystem::copy_file(
            std::string(LIVE_DOUBLES_DIR) + "/" + variant + "/orvquorelllive6_64.so",
            folder + "/" + fileName, std::filesystem::copy_options::overwrite_existing);
    }

    std::string cwd_;

  private:
    std::string oldCwd_;
};
