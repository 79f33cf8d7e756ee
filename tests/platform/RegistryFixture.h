// A temporary folder holding the registry hives of one test, made current
// through QUORELL_REGISTRY_DIR.
#pragma once

#include <gtest/gtest.h>
#include <fstream>
#include <string>

#include "platform/RegistryFile.h"
#include "support/Files.h"

class RegistryFixture : public ::testing::Test {
  protected:
    // Writes a hive file from .reg text.
    void writeHive(platform::Hive hive, const std::string& text) {
        std::ofstream(platform::hiveFilePath(hive), std::ios::binary | std::ios::trunc) << text;
    }

    std::string path(const std::string& name) const { return dir_ + "/" + name; }

    support::TempFolder temp_;
    std::string dir_ = temp_.path().string();

  private:
    support::ScopedEnv registry_{"QUORELL_REGISTRY_DIR", dir_};
};
