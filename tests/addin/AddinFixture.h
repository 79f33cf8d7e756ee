// A fresh host user interface and a stopped add-in around every test, with the
// registry and runtime folders pointed at empty temporary folders so that a
// renderer installed for the user is never found or started.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "addin/AddinModule.h"
#include "host/Session.h"
#include "support/Files.h"

using support::readFile;

class AddinTest : public testing::Test {
  protected:
    void SetUp() override {
        stop(nullptr);
        host::resetApplication();
    }
    void TearDown() override {
        stop(nullptr);
        host::resetApplication();
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

    support::TempFolder dir;  // holds only what a test writes

  private:
    support::TempFolder isolated_;
    support::ScopedEnv registry_{"QUORELL_REGISTRY_DIR", (isolated_ / "registry").string()};
    support::ScopedEnv runtime_{"QUORELL_RUNTIME_DIR", (isolated_ / "runtime").string()};
};
