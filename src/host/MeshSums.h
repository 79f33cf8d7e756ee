// Area, volume and their first moments of triangle meshes: what a body's
// physical properties are measured from when the design brings none.
#pragma once

#include <array>
#include <cstddef>

namespace host {

struct MeshSums {
    double area = 0;
    double volume = 0;                      // signed, by the divergence theorem (closed meshes)
    std::array<double, 3> volumeMoment{};  // volume-weighted centroids of the tetrahedra
    std::array<double, 3> areaMoment{};    // area-weighted centroids of the triangles
};

// Adds the triangles of one mesh (x, y, z per node; three node indices per
// triangle). Triangles naming a node that is not there are skipped.
void addTriangles(const float* coordinates, size_t coordinateCount, const int* indices,
                  size_t indexCount, MeshSums& sums);

}  // namespace host
