#include <Fusion/FusionAll.h>

#include "host/model/HostArray.h"
#include "host/model/ModelAccess.h"

namespace adsk::fusion {

using host::detail::hostText;
using host::detail::releaseArray;
using host::detail::shareArray;

TriangleMesh::~TriangleMesh() {
    releaseArray(coordinates_);
    releaseArray(normals_);
    releaseArray(uvs_);
    releaseArray(indices_);
}

float* TriangleMesh::nodeCoordinatesAsFloat_raw(size_t& count) const {
    count = coordinateCount_;
    return shareArray(coordinates_);
}

float* TriangleMesh::normalVectorsAsFloat_raw(size_t& count) const {
    count = normalCount_;
    return shareArray(normals_);
}

float* TriangleMesh::textureCoordinatesAsFloat_raw(size_t& count) const {
    count = uvCount_;
    return shareArray(uvs_);
}

int* TriangleMesh::nodeIndices_raw(size_t& count) const {
    count = indexCount_;
    return shareArray(indices_);
}

namespace {

double* widened(const float* values, size_t count) {
    if (!values || count == 0) return nullptr;
    double* array = host::detail::allocateArray<double>(count);
    for (size_t i = 0; i < count; ++i) array[i] = values[i];
    return array;
}

}  // namespace

double* TriangleMesh::nodeCoordinatesAsDouble_raw(size_t& count) const {
    count = coordinateCount_;
    return widened(coordinates_, count);
}

double* TriangleMesh::normalVectorsAsDouble_raw(size_t& count) const {
    count = normalCount_;
    return widened(normals_, count);
}

core::Point3D** TriangleMesh::nodeCoordinates_raw(size_t& count) const {
    count = coordinateCount_ / 3;
    if (count == 0) return nullptr;
    auto** points = host::detail::allocateArray<core::Point3D*>(count);
    for (size_t i = 0; i < count; ++i) {
        const float* c = coordinates_ + 3 * i;
        points[i] = core::Point3D::create(c[0], c[1], c[2]).detach();
    }
    return points;
}

std::vector<Ptr<core::Point3D>> TriangleMesh::nodeCoordinates() const {
    size_t n = 0;
    core::Point3D** points = nodeCoordinates_raw(n);
    std::vector<Ptr<core::Point3D>> result;
    result.reserve(n);
    for (size_t i = 0; i < n; ++i) result.emplace_back(points[i], true);
    if (points) core::DeallocateArrayInternal(points);
    return result;
}

Ptr<TriangleMesh> TriangleMeshList::item(size_t index) const {
    return index < items_.size() ? items_[index] : nullptr;
}

Ptr<TriangleMesh> TriangleMeshList::bestMesh() const {
    Ptr<TriangleMesh> best;
    for (const auto& m : items_)
        if (!best || m->triangleCount() > best->triangleCount()) best = m;
    return best;
}

Ptr<BRepBody> BRepFace::body() const {
    return Ptr<BRepBody>(body_, false);
}

Ptr<BRepFace> BRepFaces::item(size_t index) const {
    return index < items_.size() ? items_[index] : nullptr;
}

char* BRepBody::name_raw() const {
    return hostText(name_);
}

Ptr<MeshManager> BRepBody::meshManager() const {
    auto list = host::ModelAccess::make<TriangleMeshList>();
    auto& meshes = host::ModelAccess::items(*list);
    for (size_t f = 0; faces_ && f < faces_->count(); ++f) {
        Ptr<MeshManager> manager = faces_->item(f)->meshManager();
        Ptr<TriangleMeshList> faceMeshes = manager ? manager->displayMeshes() : nullptr;
        for (size_t m = 0; faceMeshes && m < faceMeshes->count(); ++m)
            meshes.push_back(faceMeshes->item(m));
    }
    return host::ModelAccess::makeMeshManager(list);
}

Ptr<Component> BRepBody::parentComponent() const {
    return Ptr<Component>(component_, false);
}

Ptr<BRepBody> BRepBodies::item(size_t index) const {
    return index < items_.size() ? items_[index] : nullptr;
}

Ptr<BRepBody> BRepBodies::itemByName(const std::string& name) const {
    for (const auto& b : items_)
        if (b->name() == name) return b;
    return nullptr;
}

char* Occurrence::name_raw() const {
    return hostText(name_);
}

Ptr<Occurrence> Occurrences::item(size_t index) const {
    return index < items_.size() ? items_[index] : nullptr;
}

Ptr<Occurrence> Occurrences::itemByName(const std::string& name) const {
    for (const auto& o : items_)
        if (o->name() == name) return o;
    return nullptr;
}

char* Component::name_raw() const {
    return hostText(name_);
}
char* Component::id_raw() const {
    return hostText(id_);
}

Ptr<Design> Component::parentDesign() const {
    return Ptr<Design>(design_, false);
}

Ptr<core::Document> Design::parentDocument() const {
    return Ptr<core::Document>(document_, false);
}

Ptr<Component> Components::item(size_t index) const {
    return index < items_.size() ? items_[index] : nullptr;
}

}  // namespace adsk::fusion
