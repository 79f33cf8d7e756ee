#pragma once
// Plain records that describe a document, and the builder that turns them into
// host objects. Lengths in cm. Appearance and component references are ids.

#include <array>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include <Core/CoreAll.h>
#include <Core/CoreTypeDefs.h>
#include <Fusion/FusionTypeDefs.h>

namespace host {

struct MeshData {
    std::vector<float> coordinates{};         // x, y, z per node
    std::vector<float> normals{};             // one per node, or empty
    std::vector<float> textureCoordinates{};  // u, v per node, or empty
    std::vector<int> indices{};               // three per triangle
};

enum class PropertyKind { Color, Filename, Float, Other };

struct PropertyData {
    PropertyKind kind = PropertyKind::Other;
    std::string id{};
    std::string name{};                             // default: the id
    std::optional<std::array<int, 4>> color{};      // Color: red, green, blue, opacity; none when a
                                                    // texture drives it
    bool hasTexture = false;                        // Color: a connected texture ...
    std::vector<PropertyData> textureProperties{};  // ... with these properties
    std::string filename{};                         // Filename
    double number = 0;                              // Float
};

PropertyData colorProperty(std::string id, int red, int green, int blue, int opacity = 255);
// A colour driven by a texture whose only property is the image file.
PropertyData texturedColorProperty(std::string id, std::string imagePath);
PropertyData filenameProperty(std::string id, std::string path);
PropertyData floatProperty(std::string id, double value);
PropertyData plainProperty(std::string id);

struct AppearanceData {
    std::string id{};
    std::string name{};
    std::vector<PropertyData> properties{};
};

struct FaceData {
    std::optional<std::string> appearance{};
    std::vector<MeshData> meshes{};
    bool hasMeshManager = true;  // false: the face reports no mesh manager
};

// A body's exact physical properties, when the design brings them (STEP
// designs measure the B-rep); without them the host measures the display
// meshes.
struct BodyPhysicalData {
    double area = 0;                  // cm²
    double volume = 0;                // cm³
    std::array<double, 3> centre{};  // of mass, cm, in the component's space
};

struct BodyData {
    std::string name{};
    bool visible = true;
    std::optional<std::string> appearance{};
    std::vector<FaceData> faces{};
    std::optional<BodyPhysicalData> physical{};
};

// Row-major, translation in the last column.
using Transform = std::array<double, 16>;
constexpr Transform kIdentity{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
Transform translation(double x, double y, double z);

struct OccurrenceData {
    std::string component{};  // a component id
    bool visible = true;
    std::optional<std::string> appearance{};         // the override
    std::optional<Transform> transform = kIdentity;  // none: the host reports no transform
};

// What a saved design recorded of a component's area and volume (its bodies
// and every occurrence below it); the centre of mass is always measured.
struct PhysicalData {
    double area = 0;    // cm²
    double volume = 0;  // cm³
    bool fromBodies = false;  // nothing recorded: area and volume measured too
};
inline PhysicalData measuredPhysical() {
    return PhysicalData{.fromBodies = true};
}

struct ComponentData {
    std::string id{};  // default: the name
    std::string name{};
    std::optional<PhysicalData> physical{};  // none: the host reports none
    std::vector<BodyData> bodies{};
    std::vector<OccurrenceData> occurrences{};
};

struct DesignData {
    std::string units = "cm";
    std::vector<AppearanceData> appearances{};
    std::vector<ComponentData> components{};
    std::string root{};  // a component id; default: the first component
};

struct ProductData {
    std::optional<DesignData> design{};  // none: a product that is not a design
    std::string productType{};           // for other products
};

struct CameraData {
    adsk::core::CameraTypes type = adsk::core::PerspectiveCameraType;
    std::array<double, 3> eye{40, 30, 40};
    std::array<double, 3> target{0, 0, 0};
    std::array<double, 3> up{0, 1, 0};
    double perspectiveAngle = 0.5;
};

struct DocumentData {
    std::string name = "Untitled";
    bool saved = true;
    std::string version{};  // empty for a never-saved document
    std::string creationId{};  // empty: the host makes one, as Fusion 360 does for every document
    adsk::core::DefaultModelingOrientations modelingOrientation =
        adsk::core::YUpModelingOrientation;
    CameraData camera{};
    std::vector<ProductData> products{};

    // Adds a design product and gives it for filling.
    DesignData& addDesign();
};

// A reference that names no appearance or component, a repeated id, or an
// occurrence cycle. path is relative to the design, e.g.
// "components[2].occurrences[0].component"; product is the product's index.
class BuildError : public std::runtime_error {
  public:
    BuildError(size_t product, std::string path, std::string cause);

    size_t product;
    std::string path;
    std::string cause;
};

// Checks every reference of every design; throws BuildError at the first bad one.
void validateDocument(const DocumentData& data);

// Makes the host objects of a document; throws BuildError and makes nothing on a
// bad reference. The document is not opened (see host/Session.h).
adsk::core::Ptr<adsk::core::Document> buildDocument(const DocumentData& data);
// The same, emptying the mesh records as it goes (less memory for large designs).
adsk::core::Ptr<adsk::core::Document> buildDocument(DocumentData&& data);

}  // namespace host
