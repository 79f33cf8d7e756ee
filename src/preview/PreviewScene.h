// What a preview picture needs of a scene: triangle meshes with a diffuse
// colour, where they are placed in world space, the camera, and the import
// options that say how long a unit is and which way is up.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace preview {

// 4x4 in column-major order: element r + 4c is row r, column c.
using Matrix = std::array<double, 16>;
using Vec3 = std::array<double, 3>;

constexpr Matrix kIdentity = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

Matrix multiply(const Matrix& a, const Matrix& b);
Vec3 transformPoint(const Matrix& m, const Vec3& p);
Vec3 transformVector(const Matrix& m, const Vec3& v);

struct Mesh {
    std::vector<float> vertices;     // x y z per vertex, scene units
    std::vector<uint32_t> triangles;  // three vertex numbers per triangle, all in range
    std::vector<float> uvs;           // u v per vertex, or empty
};

// What a surface looks like.
struct Look {
    std::array<float, 3> colour{0.8f, 0.8f, 0.8f};
    std::string texture;  // image file of the diffuse colour, or empty
};

// One placement of a mesh, with its own material.
struct Instance {
    uint32_t mesh;
    Matrix toWorld;
    Look look;
};

struct Camera {
    bool present = false;
    bool orthographic = false;
    Vec3 position{0, 0, 0};
    Vec3 direction{0, 0, -1};
    Vec3 up{0, 1, 0};
    double fovDegrees = 60;
    std::array<double, 4> window{0, 0, 0, 0};  // orthographic view window
    bool hasLookAt = false;
    Vec3 lookAt{0, 0, -1};   // the point looked at, when given: it sets the direction
    Matrix placement = kIdentity;  // the camera's own transform
    std::string name;
};

struct Scene {
    std::vector<Mesh> meshes;
    std::vector<Instance> instances;
    std::vector<Camera> cameras;
    double meterScale = 1;  // scene units per metre
    int upVector = 0;       // 2: Z up; anything else: Y up
    // What the file held.
    size_t groups = 0, objects = 0, materials = 0;
    uint64_t triangles = 0;  // over every placement
    std::vector<std::string> problems;  // meshes left out, and why
};

// The matrix that takes scene units in the scene's up convention to metres with Y up.
Matrix sceneToMetresYUp(const Scene& scene);

// Bounding box of every placed triangle in metres, Y up; false when empty.
bool boundingBox(const Scene& scene, Vec3& low, Vec3& high);

}  // namespace preview
