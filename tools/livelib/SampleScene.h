// A design-shaped scene written through any orvScene_api, as the add-in
// writes one: banner, version, process identifier, import options, camera,
// then a root group holding one group per component with its bodies'
// triangle meshes. Used by the send driver, the tests and the benchmark.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class orvScene_api;

namespace livelink {

struct SampleSceneOptions {
    std::string name = "Sample";  // root group, and so the renderer's model set
    int components = 3;
    int trianglesPerComponent = 12;
    // An update: every component is flagged unchanged and sent without its
    // bodies, except changedComponent (when >= 0), which is sent anew.
    bool update = false;
    int changedComponent = -1;
    // Shifts every vertex, so bodies of different variants differ.
    int variant = 0;
};

// The triangle mesh of one component's body.
struct SampleMesh {
    std::vector<float> vertices, normals;
    std::vector<int32_t> indices;
};

// Every component's mesh, made beforehand, so that a benchmark can time
// writing the scene without making its meshes.
std::vector<SampleMesh> makeSampleMeshes(const SampleSceneOptions& options);

// With `meshes` (from makeSampleMeshes for the same options) the meshes are
// taken from there instead of being made.
void writeSampleScene(orvScene_api& api, const SampleSceneOptions& options,
                      const std::vector<SampleMesh>* meshes = nullptr);

}  // namespace livelink
