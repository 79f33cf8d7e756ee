// Physical properties of a body, measured on its display meshes.
#include <Fusion/FusionAll.h>

#include <cmath>

#include "host/MeshSums.h"
#include "host/model/ModelAccess.h"

namespace adsk::fusion {

namespace {

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

void addMesh(const TriangleMesh& mesh, host::MeshSums& sums) {
    const SharedArrays arrays(mesh);
    host::addTriangles(arrays.coordinates, arrays.coordinateCount, arrays.indices,
                       arrays.indexCount, sums);
}

}  // namespace

Ptr<PhysicalProperties> BRepBody::getPhysicalProperties(CalculationAccuracy accuracy) const {
    const double density = component_ ? host::ModelAccess::density(*component_) : 0.00785;
    if (measured_)
        return host::ModelAccess::make<PhysicalProperties>(area_, volume_, density, accuracy,
                                                           centre_);
    host::MeshSums m;
    for (size_t f = 0; faces_ && f < faces_->count(); ++f) {
        Ptr<MeshManager> manager = faces_->item(f)->meshManager();
        Ptr<TriangleMeshList> meshes = manager ? manager->displayMeshes() : nullptr;
        if (Ptr<TriangleMesh> best = meshes ? meshes->bestMesh() : nullptr) addMesh(*best, m);
    }
    // An open surface has no volume: its centre is the centre of its area.
    std::array<double, 3> centre{0, 0, 0};
    const bool solid = std::fabs(m.volume) > 1e-12;
    for (int k = 0; k < 3; ++k) {
        if (solid) centre[size_t(k)] = m.volumeMoment[size_t(k)] / m.volume;
        else if (m.area > 0) centre[size_t(k)] = m.areaMoment[size_t(k)] / m.area;
    }
    return host::ModelAccess::make<PhysicalProperties>(m.area, std::fabs(m.volume), density,
                                                       accuracy, centre);
}

}  // namespace adsk::fusion
