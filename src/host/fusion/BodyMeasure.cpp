// Physical properties of a body, measured on its display meshes.
#include <Fusion/FusionAll.h>

#include <cmath>

#include "host/model/ModelAccess.h"

namespace adsk::fusion {

namespace {

struct Measure {
    double area = 0;
    double volume = 0;       // signed, by the divergence theorem (closed meshes)
    double moment[3] = {};   // volume-weighted centroids of the tetrahedra
    double surface[3] = {};  // area-weighted centroids of the triangles
};

// The mesh's own arrays, read in place (a copy of a large mesh costs more than
// the sums).
struct SharedArrays {
    size_t coordinateCount = 0, indexCount = 0;
    float* coordinates;
    int* indices;
    explicit SharedArrays(const TriangleMesh& mesh)
        : coordinates(mesh.nodeCoordinatesAsFloat_raw(coordinateCount)),
          indices(mesh.nodeIndices_raw(indexCount)) {}
    ~SharedArrays() {
        if (coordinates) core::DeallocateArrayInternal(coordinates);
        if (indices) core::DeallocateArrayInternal(indices);
    }
    SharedArrays(const SharedArrays&) = delete;
    SharedArrays& operator=(const SharedArrays&) = delete;
};

void addMesh(const TriangleMesh& mesh, Measure& m) {
    const SharedArrays arrays(mesh);
    const float* c = arrays.coordinates;
    const int* indices = arrays.indices;
    const size_t nodes = c ? arrays.coordinateCount / 3 : 0;
    for (size_t t = 0; indices && t + 2 < arrays.indexCount; t += 3) {
        const int i[3] = {indices[t], indices[t + 1], indices[t + 2]};
        if (i[0] < 0 || i[1] < 0 || i[2] < 0 || size_t(i[0]) >= nodes || size_t(i[1]) >= nodes ||
            size_t(i[2]) >= nodes)
            continue;
        const float* pa = &c[3 * size_t(i[0])];
        const float* pb = &c[3 * size_t(i[1])];
        const float* pd = &c[3 * size_t(i[2])];
        const double a[3] = {pa[0], pa[1], pa[2]};
        const double b[3] = {pb[0], pb[1], pb[2]};
        const double d[3] = {pd[0], pd[1], pd[2]};
        const double e1[3] = {b[0] - a[0], b[1] - a[1], b[2] - a[2]};
        const double e2[3] = {d[0] - a[0], d[1] - a[1], d[2] - a[2]};
        const double n[3] = {e1[1] * e2[2] - e1[2] * e2[1], e1[2] * e2[0] - e1[0] * e2[2],
                             e1[0] * e2[1] - e1[1] * e2[0]};
        const double area = 0.5 * std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
        const double volume = (a[0] * (b[1] * d[2] - b[2] * d[1]) -
                               a[1] * (b[0] * d[2] - b[2] * d[0]) +
                               a[2] * (b[0] * d[1] - b[1] * d[0])) /
                              6.0;
        m.area += area;
        m.volume += volume;
        for (int k = 0; k < 3; ++k) {
            m.moment[k] += volume * (a[k] + b[k] + d[k]) / 4.0;
            m.surface[k] += area * (a[k] + b[k] + d[k]) / 3.0;
        }
    }
}

}  // namespace

Ptr<PhysicalProperties> BRepBody::getPhysicalProperties(CalculationAccuracy accuracy) const {
    const double density = component_ ? host::ModelAccess::density(*component_) : 0.00785;
    if (measured_)
        return host::ModelAccess::make<PhysicalProperties>(area_, volume_, density, accuracy,
                                                           centre_);
    Measure m;
    for (size_t f = 0; faces_ && f < faces_->count(); ++f) {
        Ptr<MeshManager> manager = faces_->item(f)->meshManager();
        Ptr<TriangleMeshList> meshes = manager ? manager->displayMeshes() : nullptr;
        if (Ptr<TriangleMesh> best = meshes ? meshes->bestMesh() : nullptr) addMesh(*best, m);
    }
    // An open surface has no volume: its centre is the centre of its area.
    std::array<double, 3> centre{0, 0, 0};
    const bool solid = std::fabs(m.volume) > 1e-12;
    for (int k = 0; k < 3; ++k) {
        if (solid) centre[size_t(k)] = m.moment[k] / m.volume;
        else if (m.area > 0) centre[size_t(k)] = m.surface[k] / m.area;
    }
    return host::ModelAccess::make<PhysicalProperties>(m.area, std::fabs(m.volume), density,
                                                       accuracy, centre);
}

}  // namespace adsk::fusion
