// Finds meshes equal in every vertex, corner and texture coordinate, so that
// a scene keeps one copy of each distinct mesh.
#pragma once

#include <cstdint>
#include <unordered_map>
#include <vector>

#include "preview/PreviewScene.h"

namespace preview {

class MeshIndex {
  public:
    // The number of a mesh equal to `mesh` in `meshes`, or of `mesh` itself,
    // appended to `meshes`.
    uint32_t add(std::vector<Mesh>& meshes, Mesh&& mesh);

  private:
    std::unordered_multimap<uint64_t, uint32_t> byHash;
};

}  // namespace preview
