#pragma once

#include <vector>

#include <Core/Base.h>
#include <Core/Geometry/Point3D.h>

namespace adsk::core {
class Point3D;
}  // namespace adsk::core

namespace adsk::fusion {

using adsk::core::Base;
using adsk::core::Ptr;

// A display mesh. The arrays are shared host arrays: handing one out costs no copy
// in the host; the inline wrappers copy it once into a std::vector.
class TriangleMesh : public Base {
    ADSK_HOST_CLASS("adsk::fusion::TriangleMesh", Base)
  public:
    int nodeCount() const { return int(coordinateCount_ / 3); }
    int triangleCount() const { return int(indexCount_ / 3); }

    // x, y, z per node.
    std::vector<float> nodeCoordinatesAsFloat() const {
        size_t n = 0;
        float* a = nodeCoordinatesAsFloat_raw(n);
        return core::detail::takeArray(a, n);
    }
    std::vector<double> nodeCoordinatesAsDouble() const {
        size_t n = 0;
        double* a = nodeCoordinatesAsDouble_raw(n);
        return core::detail::takeArray(a, n);
    }
    std::vector<Ptr<core::Point3D>> nodeCoordinates() const;
    // One x, y, z per node.
    std::vector<float> normalVectorsAsFloat() const {
        size_t n = 0;
        float* a = normalVectorsAsFloat_raw(n);
        return core::detail::takeArray(a, n);
    }
    std::vector<double> normalVectorsAsDouble() const {
        size_t n = 0;
        double* a = normalVectorsAsDouble_raw(n);
        return core::detail::takeArray(a, n);
    }
    // u, v per node.
    std::vector<float> textureCoordinatesAsFloat() const {
        size_t n = 0;
        float* a = textureCoordinatesAsFloat_raw(n);
        return core::detail::takeArray(a, n);
    }
    // Three node numbers per triangle.
    std::vector<int> nodeIndices() const {
        size_t n = 0;
        int* a = nodeIndices_raw(n);
        return core::detail::takeArray(a, n);
    }

    float* nodeCoordinatesAsFloat_raw(size_t& count) const;
    double* nodeCoordinatesAsDouble_raw(size_t& count) const;
    core::Point3D** nodeCoordinates_raw(size_t& count) const;
    float* normalVectorsAsFloat_raw(size_t& count) const;
    double* normalVectorsAsDouble_raw(size_t& count) const;
    float* textureCoordinatesAsFloat_raw(size_t& count) const;
    int* nodeIndices_raw(size_t& count) const;

  private:
    TriangleMesh() = default;
    ~TriangleMesh() override;
    // Host arrays, each holding one reference.
    float* coordinates_ = nullptr;
    size_t coordinateCount_ = 0;
    float* normals_ = nullptr;
    size_t normalCount_ = 0;
    float* uvs_ = nullptr;
    size_t uvCount_ = 0;
    int* indices_ = nullptr;
    size_t indexCount_ = 0;
};

}  // namespace adsk::fusion
