#include "host/MeshSums.h"

#include <cmath>

namespace host {

void addTriangles(const float* coordinates, size_t coordinateCount, const int* indices,
                  size_t indexCount, MeshSums& sums) {
    const size_t nodes = coordinates ? coordinateCount / 3 : 0;
    for (size_t t = 0; indices && t + 2 < indexCount; t += 3) {
        const int i[3] = {indices[t], indices[t + 1], indices[t + 2]};
        if (i[0] < 0 || i[1] < 0 || i[2] < 0 || size_t(i[0]) >= nodes || size_t(i[1]) >= nodes ||
            size_t(i[2]) >= nodes)
            continue;
        const float* pa = &coordinates[3 * size_t(i[0])];
        const float* pb = &coordinates[3 * size_t(i[1])];
        const float* pd = &coordinates[3 * size_t(i[2])];
        const double a[3] = {pa[0], pa[1], pa[2]};
        const double b[3] = {pb[0], pb[1], pb[2]};
        const double d[3] = {pd[0], pd[1], pd[2]};
        const double e1[3] = {b[0] - a[0], b[1] - a[1], b[2] - a[2]};
        const double e2[3] = {d[0] - a[0], d[1] - a[1], d[2] - a[2]};
        const double n[3] = {e1[1] * e2[2] - e1[2] * e2[1], e1[2] * e2[0] - e1[0] * e2[2],
                             e1[0] * e2[1] - e1[1] * e2[0]};
        const double area = 0.5 * std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
        // The signed tetrahedron between the triangle and the origin.
        const double volume = (a[0] * (b[1] * d[2] - b[2] * d[1]) -
                               a[1] * (b[0] * d[2] - b[2] * d[0]) +
                               a[2] * (b[0] * d[1] - b[1] * d[0])) /
                              6.0;
        sums.area += area;
        sums.volume += volume;
        for (size_t k = 0; k < 3; ++k) {
            sums.volumeMoment[k] += volume * (a[k] + b[k] + d[k]) / 4.0;
            sums.areaMoment[k] += area * (a[k] + b[k] + d[k]) / 3.0;
        }
    }
}

}  // namespace host
