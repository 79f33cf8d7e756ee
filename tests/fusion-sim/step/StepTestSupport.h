// STEP files for the loader's tests: an assembly the tests write themselves
// with OpenCASCADE's writer, and the sample files of the shared data folder,
// which are an extra check that is skipped when they are absent.
#pragma once

#include <gtest/gtest.h>

#include <TopoDS_Shape.hxx>

#include <array>
#include <functional>
#include <string>

#include "step/StepDesign.h"

namespace steptest {

// A temporary folder removed at the end of the test program.
std::string temporaryFolder();

// The assembly written by OpenCASCADE's STEP writer (once per program), in inches:
//   top ── pair_1 (pair) ── left (block), right (block, instance colour 255 204 0,
//      │                    turned a quarter about z at (4, 0, 0) in)
//      ├── spare (block, hidden, at (0, 10, 0) in)
//      └── base (plate, at (0, 0, -1) in)
// block: a 1 × 2 × 3 in box, part colour 255 0 0, first instance at (1, 2, 3) in.
// plate: a 4 × 4 × 0.5 in box with part colour 0 255 0 and its first face 0 0 255,
// and a free shell of one 1 × 1 in square face. (OpenCASCADE 7.6's writer
// crashes on a hidden instance of a sub-assembly whose parts have colours.)
const std::string& writtenAssemblyPath();
// The written assembly loaded through the child process with default options.
const steploader::Design& writtenAssembly();

// A STEP file in the temporary folder holding the shape `make` builds, in
// millimetres, written by OpenCASCADE's plain writer.
std::string writtenShapePath(const std::string& name, const std::function<TopoDS_Shape()>& make);

// QUORELL_SHARED_DATA/step/<name>; whether that folder is there.
std::string samplePath(const std::string& name);
bool haveSamples();
// A sample file's design, loaded on first use and kept.
const steploader::Design& sample(const std::string& name);

// Tests of the sample files: skipped when the samples are absent.
class SampleTest : public testing::Test {
  protected:
    void SetUp() override {
        if (!haveSamples()) GTEST_SKIP() << samplePath("") << " is absent";
    }
};

// The first component with this name; fails the test when there is none.
const steploader::Component& component(const steploader::Design& design, const std::string& name);

// A component's physical properties as the host reports them from the design
// (its bodies and every occurrence below it): cm², cm³, cm. An empty name: the root.
struct PhysicalTotals {
    double area = 0;
    double volume = 0;
    std::array<double, 3> centre{};
};
PhysicalTotals physicalTotals(const steploader::Design& design, const std::string& name = "");

int totalFaces(const steploader::Design& design);

// Signed volume enclosed by a mesh (divergence theorem), in its units cubed.
double enclosedVolume(const steploader::Mesh& mesh);

// Display-mesh invariants of every face: consistent arrays, indices in range,
// unit normals that agree with the winding, closed solids enclosing their
// B-rep volume (those of at least `minimumVolume` cm³).
void expectWellMeshed(const steploader::Design& design, double minimumVolume = 0);

}  // namespace steptest
