#include "preview/EmbreeScene.h"

#include <tbb/parallel_for.h>

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace preview {

namespace {

// Embree reads vertex buffers 16 bytes at a time, so a shared vertex array
// needs one float of room behind its last vertex; it also needs finite numbers.
bool shareable(const std::vector<float>& vertices) {
    return vertices.capacity() > vertices.size() &&
           std::all_of(vertices.begin(), vertices.end(), [](float v) { return std::isfinite(v); });
}

}  // namespace

EmbreeScene::EmbreeScene(const Scene& scene) {
    device = rtcNewDevice(nullptr);
    if (!device) throw std::runtime_error("Embree could not start (rtcNewDevice failed)");
    top = rtcNewScene(device);
    std::vector<bool> used(scene.meshes.size(), false);
    for (const auto& instance : scene.instances)
        if (instance.mesh < scene.meshes.size() && !scene.meshes[instance.mesh].triangles.empty())
            used[instance.mesh] = true;
    buildMeshScenes(scene, used);

    const Matrix toMetres = sceneToMetresYUp(scene);
    for (const auto& instance : scene.instances) {
        if (instance.mesh >= meshScenes.size() || !meshScenes[instance.mesh]) continue;
        const Matrix toWorld = multiply(toMetres, instance.toWorld);
        Placement placement;
        placement.mesh = &scene.meshes[instance.mesh];
        placement.colour = {instance.look.colour[0], instance.look.colour[1], instance.look.colour[2]};
        placement.texture = texture(instance.look.texture);
        // Normals go through the cofactor matrix (the inverse transpose up to scale).
        auto a = [&](int r, int c) { return toWorld[r + 4 * c]; };
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 3; ++c) {
                const int r1 = (r + 1) % 3, r2 = (r + 2) % 3, c1 = (c + 1) % 3, c2 = (c + 2) % 3;
                placement.normal[r + 3 * c] = static_cast<float>(a(r1, c1) * a(r2, c2) - a(r1, c2) * a(r2, c1));
            }
        float m[12];
        for (int c = 0; c < 4; ++c)
            for (int r = 0; r < 3; ++r) {
                const double v = toWorld[r + 4 * c];
                m[3 * c + r] = std::isfinite(v) ? static_cast<float>(v) : 0.0f;
            }
        RTCGeometry geometry = rtcNewGeometry(device, RTC_GEOMETRY_TYPE_INSTANCE);
        rtcSetGeometryInstancedScene(geometry, meshScenes[instance.mesh]);
        rtcSetGeometryTransform(geometry, 0, RTC_FORMAT_FLOAT3X4_COLUMN_MAJOR, m);
        rtcCommitGeometry(geometry);
        const unsigned id = rtcAttachGeometry(top, geometry);
        rtcReleaseGeometry(geometry);
        if (placements.size() <= id) placements.resize(id + 1);
        placements[id] = placement;
    }
    rtcCommitScene(top);
    if (rtcGetDeviceError(device) != RTC_ERROR_NONE) throw std::runtime_error("Embree could not build the scene");
}

EmbreeScene::~EmbreeScene() {
    for (RTCScene s : meshScenes)
        if (s) rtcReleaseScene(s);
    if (top) rtcReleaseScene(top);
    rtcReleaseDevice(device);
}

void EmbreeScene::buildMeshScenes(const Scene& scene, const std::vector<bool>& used) {
    meshScenes.assign(scene.meshes.size(), nullptr);
    cleaned.resize(scene.meshes.size());
    // Each mesh's scene is committed on its own task; Embree's builder runs
    // inside the same TBB arena, so large meshes still build in parallel.
    tbb::parallel_for(size_t{0}, scene.meshes.size(), [&](size_t i) {
        if (!used[i]) return;
        const Mesh& mesh = scene.meshes[i];
        RTCGeometry geometry = rtcNewGeometry(device, RTC_GEOMETRY_TYPE_TRIANGLE);
        const size_t vertices = mesh.vertices.size() / 3;
        if (shareable(mesh.vertices)) {
            rtcSetSharedGeometryBuffer(geometry, RTC_BUFFER_TYPE_VERTEX, 0, RTC_FORMAT_FLOAT3, mesh.vertices.data(), 0,
                                       3 * sizeof(float), vertices);
        } else {
            std::vector<float>& copy = cleaned[i];
            copy.resize(3 * vertices + 1);
            for (size_t k = 0; k < 3 * vertices; ++k)
                copy[k] = std::isfinite(mesh.vertices[k]) ? mesh.vertices[k] : 0.0f;
            rtcSetSharedGeometryBuffer(geometry, RTC_BUFFER_TYPE_VERTEX, 0, RTC_FORMAT_FLOAT3, copy.data(), 0,
                                       3 * sizeof(float), vertices);
        }
        rtcSetSharedGeometryBuffer(geometry, RTC_BUFFER_TYPE_INDEX, 0, RTC_FORMAT_UINT3, mesh.triangles.data(), 0,
                                   3 * sizeof(uint32_t), mesh.triangles.size() / 3);
        rtcCommitGeometry(geometry);
        RTCScene own = rtcNewScene(device);
        rtcAttachGeometry(own, geometry);
        rtcReleaseGeometry(geometry);
        rtcCommitScene(own);
        meshScenes[i] = own;
    });
}

const Image* EmbreeScene::texture(const std::string& path) {
    if (path.empty()) return nullptr;
    auto found = textures.find(path);
    if (found == textures.end()) {
        Image image;
        std::string reason;
        if (!readPng(path, image, reason)) image = Image{};
        found = textures.emplace(path, std::move(image)).first;
    }
    return found->second.width > 0 ? &found->second : nullptr;
}

}  // namespace preview
