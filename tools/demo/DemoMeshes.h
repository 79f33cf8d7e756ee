// Small generated meshes for the demonstration scene, with normals and uvs.
#pragma once

#include <memory>
#include <string>

#include "scene/TriangleObject.h"

namespace demo {

// An axis-aligned box centred on the origin; each face has its own four
// vertices so that normals and uvs are per face.
std::shared_ptr<orv::TriangleObject> makeBox(std::string name, float sx, float sy, float sz);

// A UV sphere centred on the origin with the given rings and segments (at least 2 and 3).
std::shared_ptr<orv::TriangleObject> makeSphere(std::string name, float radius, int rings,
                                                int segments);

}  // namespace demo
