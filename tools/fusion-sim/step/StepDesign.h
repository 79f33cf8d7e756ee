// A design read from a STEP file, as plain records: what the host model needs
// and nothing of OpenCASCADE. The reader fills it in a child process, the codec
// carries it to the parent, and the host filler turns it into host objects.
#pragma once

#include <array>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace steploader {

// Index into Design::appearances, or none.
inline constexpr int kNoAppearance = -1;

struct Colour {
    std::uint8_t red = 255;
    std::uint8_t green = 255;
    std::uint8_t blue = 255;
    bool operator==(const Colour&) const = default;
};

struct Appearance {
    std::string id;
    std::string name;
    Colour colour;
};

// One display mesh in centimetres; normals one per node, texture coordinates
// (surface parameters) two per node, three indices per triangle.
struct Mesh {
    std::vector<float> coordinates;
    std::vector<float> normals;
    std::vector<float> textureCoordinates;
    std::vector<int> indices;
};

struct Face {
    int appearance = kNoAppearance;
    Mesh mesh;  // empty when the face could not be meshed
};

struct Body {
    std::string name;
    bool visible = true;
    bool solid = false;  // a closed solid (rather than a free shell or free faces)
    int appearance = kNoAppearance;
    double area = 0.0;    // cm², from the B-rep
    double volume = 0.0;  // cm³, from the B-rep; 0 unless solid
    std::array<double, 3> centre{};  // of mass, cm, from the B-rep (of the surface unless solid)
    std::vector<Face> faces;
};

using Transform = std::array<double, 16>;  // row-major, translation in column 3, cm

inline constexpr Transform kIdentity = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

struct Occurrence {
    std::string name;
    int component = 0;  // index into Design::components
    bool visible = true;
    int appearance = kNoAppearance;  // the occurrence's appearance override
    Transform transform = kIdentity;
};

struct Component {
    std::string name;
    std::vector<Body> bodies;
    std::vector<Occurrence> occurrences;
};

// Seconds spent in each stage of a load.
struct Timings {
    double read = 0.0;       // parsing the STEP file
    double transfer = 0.0;   // building the XCAF document
    double mesh = 0.0;       // BRepMesh on every distinct part
    double convert = 0.0;    // XCAF document to these records
    double loaderCpu = 0.0;  // processor time of the loading process (user + system)
};

struct Design {
    std::string documentName;
    std::string units = "mm";  // the file's length unit as the host names it
    std::vector<Appearance> appearances;
    std::vector<Component> components;
    int root = 0;
    Timings timings;
};

// Tessellation settings. A deflection of 0 means relative to the model's size.
struct Options {
    double deflection = 0.0;  // cm; 0: relativeDeflection × bounding-box diagonal
    double relativeDeflection = 0.001;
    double angularDeflection = 0.5;  // radians
};

// A file that cannot be loaded; the message names the file and the cause.
class LoadError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

}  // namespace steploader
