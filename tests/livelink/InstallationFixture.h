// Builds renderer installations on disk (an executable file and a resource
// folder) and their registry keys in a temporary registry.
#pragma once

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/RegistryFile.h"
#include "platform/RegistryFixture.h"

class InstallationFixture : public RegistryFixture {
  protected:
    // A valid installation's folder (program, resource folder) below the
    // temporary folder; returns its path.
    std::string makeInstallationFolder(const std::string& name) {
        const std::string folder = dir_ + "/" + name;
        std::filesystem::create_directories(folder + "/bin");
        std::filesystem::create_directories(folder + "/resources");
        std::ofstream(folder + "/bin/quorell") << "#!/bin/sh\n";
        return folder;
    }

    // Writes the installation key "SOFTWARE\Vantor\<keyName>" with valid
    // values for a folder made by makeInstallationFolder.
    void addInstallation(platform::RegistryFile& hive, const std::string& keyName,
                         const std::string& folder) {
        const std::string key = "SOFTWARE\\Vantor\\" + keyName;
        hive.setString(key, "BinName", folder + "/bin/quorell");
        hive.setString(key, "BinFolder", folder + "/bin");
        hive.setString(key, "ResourceFolder", folder + "/resources");
    }

    void save(const platform::RegistryFile& hive) {
        std::string error;
        ASSERT_TRUE(hive.save(platform::hiveFilePath(hive.hive()), &error)) << error;
    }
};
