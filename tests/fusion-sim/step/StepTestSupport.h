// Sample STEP files from the shared data folder, each loaded once per test
// program, and small measures over the loaded records.
#pragma once

#include <map>
#include <string>

#include "step/StepDesign.h"

namespace steptest {

// QUORELL_SHARED_DATA/step/<name>.
std::string samplePath(const std::string& name);

// The design of a sample file loaded through the child process with default
// options; loaded on first use and kept.
const steploader::Design& sample(const std::string& name);

// Body instances and face instances reached from the root through every
// occurrence (hidden ones included).
struct InstanceCounts {
    int bodies = 0;
    int faces = 0;
};
InstanceCounts countInstances(const steploader::Design& design);

int totalOccurrences(const steploader::Design& design);
int totalBodies(const steploader::Design& design);
int totalFaces(const steploader::Design& design);

// The first component with this name; fails the test when there is none.
const steploader::Component& component(const steploader::Design& design, const std::string& name);

// Signed volume enclosed by a mesh (divergence theorem), in its units cubed.
double enclosedVolume(const steploader::Mesh& mesh);

// A temporary folder removed at the end of the test program.
std::string temporaryFolder();

}  // namespace steptest
