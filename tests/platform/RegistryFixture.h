// A temporary folder holding the registry hives of one test, made current
// through QUORELL_REGISTRY_DIR.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/RegistryFile.h"

class RegistryFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/quorell-registry-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        dir_ = pattern;
        const char* old = std::getenv("QUORELL_REGISTRY_DIR");
        if (old != nullptr) oldDir_ = old, hadDir_ = true;
        ::setenv("QUORELL_REGISTRY_DIR", dir_.c_str(), 1);
    }
    void TearDown() override {
        if (hadDir_) {
            ::setenv("QUORELL_REGISTRY_DIR", oldDir_.c_str(), 1);
        } else {
            ::unsetenv("QUORELL_REGISTRY_DIR");
        }
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }

    // Writes a hive file from .reg text.
    void writeHive(platform::Hive hive, const std::string& text) {
        std::ofstream(platform::hiveFilePath(hive), std::ios::binary | std::ios::trunc) << text;
    }

    std::string path(const std::string& name) const { return dir_ + "/" + name; }

    std::string dir_;

  private:
    std::string oldDir_;
    bool hadDir_ = false;
};
