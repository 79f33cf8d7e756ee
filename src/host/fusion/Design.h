#pragma once
// The design product: components, occurrences, B-rep bodies and faces, their
// display meshes and physical properties. Lengths in cm, areas cm², volumes cm³.

#include <array>
#include <string>
#include <vector>

#include "host/core/Appearance.h"
#include "host/core/Base.h"
#include "host/core/Document.h"
#include "host/core/Enums.h"
#include "host/core/Geometry.h"

namespace adsk::fusion {

using adsk::core::Base;
using adsk::core::Ptr;

class BRepBody;
class Component;
class Design;

class PhysicalProperties : public Base {
    ADSK_HOST_CLASS("adsk::fusion::PhysicalProperties", Base)
  public:
    double area() const { return area_; }
    double volume() const { return volume_; }
    // kg and kg/cm³.
    double mass() const { return volume_ * density_; }
    double density() const { return density_; }
    CalculationAccuracy accuracy() const { return accuracy_; }

  private:
    PhysicalProperties(double area, double volume, double density, CalculationAccuracy accuracy)
        : area_(area), volume_(volume), density_(density), accuracy_(accuracy) {}
    double area_;
    double volume_;
    double density_;
    CalculationAccuracy accuracy_;
};

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

class TriangleMeshList : public Base {
    ADSK_HOST_CLASS("adsk::fusion::TriangleMeshList", Base)
  public:
    size_t count() const { return items_.size(); }
    Ptr<TriangleMesh> item(size_t index) const;
    // The finest mesh (most triangles, first on ties); null when there is none.
    Ptr<TriangleMesh> bestMesh() const;

  private:
    TriangleMeshList() = default;
    std::vector<Ptr<TriangleMesh>> items_;
};

class MeshManager : public Base {
    ADSK_HOST_CLASS("adsk::fusion::MeshManager", Base)
  public:
    // The meshes the host keeps for drawing; no new tessellation is made.
    Ptr<TriangleMeshList> displayMeshes() const { return meshes_; }

  private:
    MeshManager() = default;
    Ptr<TriangleMeshList> meshes_;
};

class BRepFace : public Base {
    ADSK_HOST_CLASS("adsk::fusion::BRepFace", Base)
  public:
    // The face's own appearance; null when it shows its body's.
    Ptr<core::Appearance> appearance() const { return appearance_; }
    Ptr<MeshManager> meshManager() const { return meshManager_; }
    Ptr<BRepBody> body() const;

  private:
    BRepFace() = default;
    Ptr<core::Appearance> appearance_;
    Ptr<MeshManager> meshManager_;
    const BRepBody* body_ = nullptr;  // the body owns its faces
};

class BRepFaces : public Base {
    ADSK_HOST_CLASS("adsk::fusion::BRepFaces", Base)
  public:
    size_t count() const { return items_.size(); }
    Ptr<BRepFace> item(size_t index) const;

  private:
    BRepFaces() = default;
    std::vector<Ptr<BRepFace>> items_;
};

class BRepBody : public Base {
    ADSK_HOST_CLASS("adsk::fusion::BRepBody", Base)
  public:
    std::string name() const { return core::detail::takeText(name_raw()); }
    bool name(const std::string& text) {
        name_ = text;
        return true;
    }
    bool isVisible() const { return visible_; }
    bool isLightBulbOn() const { return visible_; }
    bool isLightBulbOn(bool on) {
        visible_ = on;
        return true;
    }
    Ptr<core::Appearance> appearance() const { return appearance_; }
    Ptr<BRepFaces> faces() const { return faces_; }
    // All faces' display meshes, in face order.
    Ptr<MeshManager> meshManager() const;
    Ptr<Component> parentComponent() const;

    char* name_raw() const;

  private:
    BRepBody() = default;
    std::string name_;
    bool visible_ = true;
    Ptr<core::Appearance> appearance_;
    Ptr<BRepFaces> faces_;
    const Component* component_ = nullptr;  // the component owns its bodies
};

class BRepBodies : public Base {
    ADSK_HOST_CLASS("adsk::fusion::BRepBodies", Base)
  public:
    size_t count() const { return items_.size(); }
    Ptr<BRepBody> item(size_t index) const;
    Ptr<BRepBody> itemByName(const std::string& name) const;

  private:
    BRepBodies() = default;
    std::vector<Ptr<BRepBody>> items_;
};

class Occurrence : public Base {
    ADSK_HOST_CLASS("adsk::fusion::Occurrence", Base)
  public:
    // "Component:1" style.
    std::string name() const { return core::detail::takeText(name_raw()); }
    Ptr<Component> component() const { return component_; }
    bool isVisible() const { return visible_; }
    bool isLightBulbOn() const { return visible_; }
    bool isLightBulbOn(bool on) {
        visible_ = on;
        return true;
    }
    // The appearance override; null when there is none.
    Ptr<core::Appearance> appearance() const { return appearance_; }
    // A copy of the placement in the parent (row-major, translation in column 3).
    Ptr<core::Matrix3D> transform() const;
    Ptr<core::Matrix3D> transform2() const { return transform(); }

    char* name_raw() const;

  private:
    Occurrence() = default;
    std::string name_;
    Ptr<Component> component_;
    bool visible_ = true;
    Ptr<core::Appearance> appearance_;
    bool hasTransform_ = true;
    std::array<double, 16> transform_{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
};

class Occurrences : public Base {
    ADSK_HOST_CLASS("adsk::fusion::Occurrences", Base)
  public:
    size_t count() const { return items_.size(); }
    Ptr<Occurrence> item(size_t index) const;
    Ptr<Occurrence> itemByName(const std::string& name) const;

  private:
    Occurrences() = default;
    std::vector<Ptr<Occurrence>> items_;
};

class Component : public Base {
    ADSK_HOST_CLASS("adsk::fusion::Component", Base)
  public:
    std::string name() const { return core::detail::takeText(name_raw()); }
    bool name(const std::string& text) {
        name_ = text;
        return true;
    }
    std::string id() const { return core::detail::takeText(id_raw()); }
    Ptr<Occurrences> occurrences() const { return occurrences_; }
    Ptr<BRepBodies> bRepBodies() const { return bodies_; }
    // Null when the host has no physical properties for the component.
    Ptr<PhysicalProperties> getPhysicalProperties(
        CalculationAccuracy accuracy = LowCalculationAccuracy) const;
    Ptr<PhysicalProperties> physicalProperties() const { return getPhysicalProperties(); }
    Ptr<Design> parentDesign() const;

    char* name_raw() const;
    char* id_raw() const;

  private:
    Component() = default;
    std::string id_;
    std::string name_;
    Ptr<Occurrences> occurrences_;
    Ptr<BRepBodies> bodies_;
    bool hasPhysical_ = false;
    double area_ = 0;
    double volume_ = 0;
    double density_ = 0.00785;        // kg/cm³
    const Design* design_ = nullptr;  // the design owns its components
};

class Components : public Base {
    ADSK_HOST_CLASS("adsk::fusion::Components", Base)
  public:
    size_t count() const { return items_.size(); }
    Ptr<Component> item(size_t index) const;

  private:
    Components() = default;
    std::vector<Ptr<Component>> items_;
};

class FusionUnitsManager : public core::UnitsManager {
    ADSK_HOST_CLASS("adsk::fusion::FusionUnitsManager", core::UnitsManager)
  private:
    explicit FusionUnitsManager(std::string lengthUnits) : UnitsManager(std::move(lengthUnits)) {}
};

class Design : public core::Product {
    ADSK_HOST_CLASS("adsk::fusion::Design", core::Product)
  public:
    Ptr<Component> rootComponent() const { return root_; }
    Ptr<Components> allComponents() const { return components_; }
    Ptr<core::Appearances> appearances() const { return appearances_; }
    Ptr<FusionUnitsManager> fusionUnitsManager() const { return unitsManager(); }

  private:
    Design() : Product("DesignProductType") {}
    Ptr<Component> root_;
    Ptr<Components> components_;
    Ptr<core::Appearances> appearances_;
};

}  // namespace adsk::fusion
