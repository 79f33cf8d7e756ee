#pragma once
// Generators that make faces the way a B-rep body has them, with normals and
// texture coordinates. Lengths in cm.

#include <array>
#include <vector>

#include "host/DesignBuilder.h"

namespace host {

using Vec3 = std::array<double, 3>;

// Six planar faces: -x, +x, -y, +y, -z, +z.
std::vector<FaceData> makeBox(const Vec3& size, const Vec3& center = {0, 0, 0});

enum class Axis { X, Y, Z };

// Three faces: the side, the bottom cap, the top cap (along the axis).
// segments is raised to at least 3.
std::vector<FaceData> makeCylinder(double radius, double height, int segments,
                                   const Vec3& center = {0, 0, 0}, Axis axis = Axis::Z);

// One face. segments (around) at least 3, rings (pole to pole) at least 2.
std::vector<FaceData> makeSphere(double radius, int segments, int rings,
                                 const Vec3& center = {0, 0, 0});

}  // namespace host
