// Embree's structures for a preview scene: one bottom-level scene per distinct
// mesh (built in parallel), every placement an instance of it in the top-level
// scene, with what the shader needs to know of each placement.
#pragma once

#include <embree3/rtcore.h>

#include <map>
#include <string>
#include <vector>

#include "preview/PngFile.h"
#include "preview/PreviewScene.h"

namespace preview {

struct Rgb {
    float r, g, b;
};

// A placed mesh as the shader sees it.
struct Placement {
    const Mesh* mesh = nullptr;
    Rgb colour{0.8f, 0.8f, 0.8f};
    const Image* texture = nullptr;
    float normal[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};  // column-major 3x3 taking object normals to world
};

class EmbreeScene {
  public:
    // Throws std::runtime_error when Embree cannot start or build.
    explicit EmbreeScene(const Scene& scene);
    ~EmbreeScene();
    EmbreeScene(const EmbreeScene&) = delete;
    EmbreeScene& operator=(const EmbreeScene&) = delete;

    RTCScene top = nullptr;
    std::vector<Placement> placements;  // by instance id in the top-level scene

  private:
    void buildMeshScenes(const Scene& scene, const std::vector<bool>& used);
    const Image* texture(const std::string& path);

    RTCDevice device = nullptr;
    std::vector<RTCScene> meshScenes;          // by mesh number; null for meshes not drawn
    std::vector<std::vector<float>> cleaned;   // vertices copied where they could not be shared
    std::map<std::string, Image> textures;
};

}  // namespace preview
