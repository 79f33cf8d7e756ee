// A fresh host user interface and a stopped add-in around every test, with the
// registry and runtime folders pointed at empty temporary folders so that a
// renderer installed for the user is never found or started.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>

#include "addin/AddinModule.h"
#include "host/Session.h"

class AddinTest : public testing::Test {
  protected:
    void SetUp() override {
        stop(nullptr);
        host::resetApplication();
        dir = std::filesystem::temp_directory_path() /
              ("quorell-addin-" + std::to_string(::getpid()) + "-" +
               testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(dir);
        // Beside dir, which the tests expect to hold only what they wrote.
        for (auto& v : isolated) {
            if (const char* value = std::getenv(v.name)) v.saved = value;
            const std::filesystem::path folder = dir.string() + "-" + v.folder;
            std::filesystem::create_directories(folder);
            ::setenv(v.name, folder.c_str(), 1);
        }
    }
    void TearDown() override {
        stop(nullptr);
        host::resetApplication();
        for (auto& v : isolated) {
            if (v.saved)
                ::setenv(v.name, v.saved->c_str(), 1);
            else
                ::unsetenv(v.name);
            v.saved.reset();
            std::filesystem::remove_all(dir.string() + "-" + v.folder);
        }
        std::filesystem::remove_all(dir);
    }

    static std::string readFile(const std::filesystem::path& path) {
        std::ifstream in(path, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    // A one-body design in the given unit, named "Bracket v2" unless said otherwise.
    static host::DocumentData bracket(const std::string& units = "mm") {
        host::DocumentData doc;
        doc.name = "Bracket v2";
        doc.version = "v2";
        host::DesignData& design = doc.addDesign();
        design.units = units;
        host::ComponentData root;
        root.id = root.name = "Bracket";
        root.physical = host::PhysicalData{6, 1};
        host::BodyData plate;
        plate.name = "Plate";
        host::FaceData face;
        face.meshes.push_back({{1, 2, 3, 2, 2, 3, 1, 3, 3}, {}, {}, {0, 1, 2}});
        plate.faces.push_back(face);
        root.bodies.push_back(plate);
        design.components.push_back(root);
        return doc;
    }

    std::filesystem::path dir;

  private:
    struct IsolatedVariable {
        const char* name;
        const char* folder;
        std::optional<std::string> saved;  // the value before the test, if any
    };
    IsolatedVariable isolated[2] = {{"QUORELL_REGISTRY_DIR", "registry", std::nullopt},
                                    {"QUORELL_RUNTIME_DIR", "runtime", std::nullopt}};
};
