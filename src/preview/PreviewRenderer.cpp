#include "preview/PreviewRenderer.h"

#include <embree3/rtcore.h>
#include <tbb/blocked_range2d.h>
#include <tbb/parallel_for.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <map>
#include <memory>
#include <stdexcept>

#include "preview/ViewSetup.h"

namespace preview {

namespace {

using Clock = std::chrono::steady_clock;

struct Rgb {
    float r, g, b;
};

// A placed mesh as the shader sees it.
struct Placement {
    const Mesh* mesh;
    Rgb colour;
    const Image* texture;
    double normal[9];  // column-major 3x3 taking object normals to world (instances only)
};

// Small deterministic random numbers per pixel and sample.
struct Random {
    uint32_t state;
    float next() {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return static_cast<float>(state >> 8) * (1.0f / 16777216.0f);
    }
};

class EmbreeScene {
  public:
    EmbreeScene(const Scene& scene) {
        device = rtcNewDevice(nullptr);
        if (!device) throw std::runtime_error("Embree could not start (rtcNewDevice failed)");
        top = rtcNewScene(device);
        build(scene);
        rtcCommitScene(top);
        if (rtcGetDeviceError(device) != RTC_ERROR_NONE)
            throw std::runtime_error("Embree could not build the scene");
    }
    ~EmbreeScene() {
        for (RTCScene s : meshScenes) rtcReleaseScene(s);
        rtcReleaseScene(top);
        rtcReleaseDevice(device);
    }
    EmbreeScene(const EmbreeScene&) = delete;
    EmbreeScene& operator=(const EmbreeScene&) = delete;

    RTCScene top;
    std::vector<Placement> placements;  // by top-level geometry id
    std::map<std::string, Image> textures;

  private:
    RTCGeometry triangles(const Mesh& mesh, const Matrix* toWorld) {
        RTCGeometry geometry = rtcNewGeometry(device, RTC_GEOMETRY_TYPE_TRIANGLE);
        const size_t vertices = mesh.vertices.size() / 3;
        auto* v = static_cast<float*>(rtcSetNewGeometryBuffer(geometry, RTC_BUFFER_TYPE_VERTEX, 0,
                                                              RTC_FORMAT_FLOAT3, 3 * sizeof(float), vertices));
        for (size_t i = 0; i < vertices; ++i) {
            Vec3 p{mesh.vertices[3 * i], mesh.vertices[3 * i + 1], mesh.vertices[3 * i + 2]};
            if (toWorld) p = transformPoint(*toWorld, p);
            for (int k = 0; k < 3; ++k) v[3 * i + k] = std::isfinite(p[k]) ? static_cast<float>(p[k]) : 0.0f;
        }
        auto* index = static_cast<uint32_t*>(rtcSetNewGeometryBuffer(
            geometry, RTC_BUFFER_TYPE_INDEX, 0, RTC_FORMAT_UINT3, 3 * sizeof(uint32_t), mesh.triangles.size() / 3));
        std::memcpy(index, mesh.triangles.data(), mesh.triangles.size() * sizeof(uint32_t));
        rtcCommitGeometry(geometry);
        return geometry;
    }

    const Image* texture(const std::string& path) {
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

    void build(const Scene& scene) {
        const Matrix toMetres = sceneToMetresYUp(scene);
        std::vector<uint32_t> uses(scene.meshes.size(), 0);
        for (const auto& instance : scene.instances) ++uses[instance.mesh];
        std::vector<RTCScene> shared(scene.meshes.size(), nullptr);
        for (const auto& instance : scene.instances) {
            const Mesh& mesh = scene.meshes[instance.mesh];
            if (mesh.triangles.empty()) continue;
            const Matrix toWorld = multiply(toMetres, instance.toWorld);
            Placement placement{&mesh, {instance.look.colour[0], instance.look.colour[1], instance.look.colour[2]},
                                texture(instance.look.texture), {1, 0, 0, 0, 1, 0, 0, 0, 1}};
            RTCGeometry geometry;
            if (uses[instance.mesh] == 1) {
                geometry = triangles(mesh, &toWorld);
            } else {
                if (!shared[instance.mesh]) {
                    shared[instance.mesh] = rtcNewScene(device);
                    RTCGeometry own = triangles(mesh, nullptr);
                    rtcAttachGeometry(shared[instance.mesh], own);
                    rtcReleaseGeometry(own);
                    rtcCommitScene(shared[instance.mesh]);
                    meshScenes.push_back(shared[instance.mesh]);
                }
                geometry = rtcNewGeometry(device, RTC_GEOMETRY_TYPE_INSTANCE);
                rtcSetGeometryInstancedScene(geometry, shared[instance.mesh]);
                float m[12];
                for (int c = 0; c < 4; ++c)
                    for (int r = 0; r < 3; ++r) m[3 * c + r] = static_cast<float>(toWorld[r + 4 * c]);
                rtcSetGeometryTransform(geometry, 0, RTC_FORMAT_FLOAT3X4_COLUMN_MAJOR, m);
                rtcCommitGeometry(geometry);
                // Normals go through the cofactor matrix (the inverse transpose up to scale).
                auto a = [&](int r, int c) { return toWorld[r + 4 * c]; };
                for (int r = 0; r < 3; ++r)
                    for (int c = 0; c < 3; ++c) {
                        const int r1 = (r + 1) % 3, r2 = (r + 2) % 3, c1 = (c + 1) % 3, c2 = (c + 2) % 3;
                        placement.normal[r + 3 * c] = a(r1, c1) * a(r2, c2) - a(r1, c2) * a(r2, c1);
                    }
            }
            const unsigned id = rtcAttachGeometry(top, geometry);
            rtcReleaseGeometry(geometry);
            if (placements.size() <= id) placements.resize(id + 1);
            placements[id] = placement;
        }
    }

    RTCDevice device;
    std::vector<RTCScene> meshScenes;
};

Vec3 normalised(Vec3 v) {
    const double l = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    return l > 0 ? Vec3{v[0] / l, v[1] / l, v[2] / l} : Vec3{0, 1, 0};
}

float dot(const Vec3& a, const Vec3& b) {
    return static_cast<float>(a[0] * b[0] + a[1] * b[1] + a[2] * b[2]);
}

class Tracer {
  public:
    Tracer(const EmbreeScene& embree, const View& view, const Vec3& low, const Vec3& high, int samples)
        : embree(embree), view(view), samples(samples) {
        groundY = low[1];
        centre = {(low[0] + high[0]) / 2, low[1], (low[2] + high[2]) / 2};
        radius = std::max(std::sqrt((high[0] - low[0]) * (high[0] - low[0]) + (high[1] - low[1]) * (high[1] - low[1]) +
                                    (high[2] - low[2]) * (high[2] - low[2])) / 2,
                          1e-6);
        occlusionDistance = static_cast<float>(radius * 0.2);
        // A few occlusion rays per pixel at least, so that few samples stay smooth.
        occlusionRays = samples >= 8 ? 1 : samples >= 4 ? 2 : 4;
    }

    Rgb pixel(int x, int y, int width, int height) const {
        Random random{static_cast<uint32_t>((y * 9781 + x * 6271) ^ 0x9E3779B9u) | 1u};
        Rgb sum{0, 0, 0};
        const int side = static_cast<int>(std::ceil(std::sqrt(static_cast<double>(samples))));
        for (int s = 0; s < samples; ++s) {
            // Stratified over a side x side grid inside the pixel.
            const double jx = ((s % side) + random.next()) / side, jy = ((s / side) + random.next()) / side;
            const double px = (2 * (x + jx) / width - 1) * width / height, py = 1 - 2 * (y + jy) / height;
            Vec3 origin = view.eye, direction;
            if (view.orthographic) {
                for (int k = 0; k < 3; ++k)
                    origin[k] += (view.right[k] * px + view.up[k] * py) * view.halfHeight;
                direction = view.forward;
            } else {
                for (int k = 0; k < 3; ++k)
                    direction[k] = view.forward[k] + (view.right[k] * px + view.up[k] * py) * view.tanHalfFov;
                direction = normalised(direction);
            }
            const Rgb c = shade(origin, direction, random);
            sum.r += c.r;
            sum.g += c.g;
            sum.b += c.b;
        }
        return {sum.r / samples, sum.g / samples, sum.b / samples};
    }

  private:
    Rgb shade(const Vec3& origin, const Vec3& direction, Random& random) const {
        RTCIntersectContext context;
        rtcInitIntersectContext(&context);
        RTCRayHit hit{};
        hit.ray.org_x = static_cast<float>(origin[0]);
        hit.ray.org_y = static_cast<float>(origin[1]);
        hit.ray.org_z = static_cast<float>(origin[2]);
        hit.ray.dir_x = static_cast<float>(direction[0]);
        hit.ray.dir_y = static_cast<float>(direction[1]);
        hit.ray.dir_z = static_cast<float>(direction[2]);
        hit.ray.tnear = 0;
        hit.ray.tfar = INFINITY;
        hit.ray.mask = 0xFFFFFFFFu;
        hit.hit.geomID = RTC_INVALID_GEOMETRY_ID;
        hit.hit.instID[0] = RTC_INVALID_GEOMETRY_ID;
        rtcIntersect1(embree.top, &context, &hit);
        // The ground plane under the scene.
        float groundT = INFINITY;
        if (direction[1] < -1e-6) groundT = static_cast<float>((groundY - origin[1]) / direction[1]);
        if (groundT <= 0) groundT = INFINITY;
        if (hit.hit.geomID == RTC_INVALID_GEOMETRY_ID && !std::isfinite(groundT)) return sky(direction);
        const bool onGround = hit.hit.geomID == RTC_INVALID_GEOMETRY_ID || groundT < hit.ray.tfar;
        const float t = onGround ? groundT : hit.ray.tfar;
        const Vec3 point = {origin[0] + direction[0] * t, origin[1] + direction[1] * t, origin[2] + direction[2] * t};
        Vec3 normal;
        Rgb albedo;
        if (onGround) {
            normal = {0, 1, 0};
            albedo = {0.72f, 0.72f, 0.70f};
        } else {
            const unsigned id = hit.hit.instID[0] != RTC_INVALID_GEOMETRY_ID ? hit.hit.instID[0] : hit.hit.geomID;
            const Placement& placement = embree.placements[id];
            normal = {hit.hit.Ng_x, hit.hit.Ng_y, hit.hit.Ng_z};
            if (hit.hit.instID[0] != RTC_INVALID_GEOMETRY_ID) {
                const double* m = placement.normal;
                normal = {m[0] * normal[0] + m[3] * normal[1] + m[6] * normal[2],
                          m[1] * normal[0] + m[4] * normal[1] + m[7] * normal[2],
                          m[2] * normal[0] + m[5] * normal[1] + m[8] * normal[2]};
            }
            normal = normalised(normal);
            if (dot(normal, direction) > 0) normal = {-normal[0], -normal[1], -normal[2]};
            albedo = surfaceColour(placement, hit.hit.primID, hit.hit.u, hit.hit.v);
        }
        const float headLight = std::max(0.0f, -dot(normal, direction));
        float open = 0;
        for (int i = 0; i < occlusionRays; ++i) open += openness(point, normal, random);
        open /= static_cast<float>(occlusionRays);
        float light = (0.28f + 0.72f * headLight) * (0.5f + 0.5f * open);
        if (onGround) {
            // The ground fades into the background away from the scene.
            const double dx = point[0] - centre[0], dz = point[2] - centre[2];
            const float fade = static_cast<float>(std::min(1.0, std::sqrt(dx * dx + dz * dz) / (radius * 6)));
            light = 0.35f + 0.65f * open;
            const Rgb background = sky(direction);
            const Rgb ground = {albedo.r * light, albedo.g * light, albedo.b * light};
            return {ground.r + (background.r - ground.r) * fade, ground.g + (background.g - ground.g) * fade,
                    ground.b + (background.b - ground.b) * fade};
        }
        return {albedo.r * light, albedo.g * light, albedo.b * light};
    }

    Rgb surfaceColour(const Placement& placement, unsigned primitive, float u, float v) const {
        const Image* texture = placement.texture;
        const Mesh& mesh = *placement.mesh;
        if (!texture || mesh.uvs.empty()) return placement.colour;
        const uint32_t* corner = &mesh.triangles[3 * primitive];
        double tu = 0, tv = 0;
        const float weights[3] = {1 - u - v, u, v};
        for (int k = 0; k < 3; ++k) {
            tu += weights[k] * mesh.uvs[2 * corner[k]];
            tv += weights[k] * mesh.uvs[2 * corner[k] + 1];
        }
        tu -= std::floor(tu);
        tv -= std::floor(tv);
        const int px = std::min(texture->width - 1, static_cast<int>(tu * texture->width));
        const int py = std::min(texture->height - 1, static_cast<int>((1 - tv) * texture->height));
        const uint8_t* rgb = &texture->rgb[3 * (static_cast<size_t>(py) * texture->width + px)];
        auto linear = [](uint8_t c) { return std::pow(c / 255.0f, 2.2f); };
        return {linear(rgb[0]), linear(rgb[1]), linear(rgb[2])};
    }

    // The share of the hemisphere above the point that sees the sky (one ray).
    float openness(const Vec3& point, const Vec3& normal, Random& random) const {
        const float u1 = random.next(), u2 = random.next();
        const float r = std::sqrt(u1), phi = 6.2831853f * u2;
        const Vec3 helper = std::fabs(normal[0]) > 0.5 ? Vec3{0, 1, 0} : Vec3{1, 0, 0};
        const Vec3 tangent = normalised({helper[1] * normal[2] - helper[2] * normal[1],
                                         helper[2] * normal[0] - helper[0] * normal[2],
                                         helper[0] * normal[1] - helper[1] * normal[0]});
        const Vec3 bitangent = {normal[1] * tangent[2] - normal[2] * tangent[1],
                                normal[2] * tangent[0] - normal[0] * tangent[2],
                                normal[0] * tangent[1] - normal[1] * tangent[0]};
        const float a = r * std::cos(phi), b = r * std::sin(phi), c = std::sqrt(std::max(0.0f, 1 - u1));
        RTCIntersectContext context;
        rtcInitIntersectContext(&context);
        RTCRay ray{};
        const float offset = static_cast<float>(radius * 1e-4);
        ray.org_x = static_cast<float>(point[0] + normal[0] * offset);
        ray.org_y = static_cast<float>(point[1] + normal[1] * offset);
        ray.org_z = static_cast<float>(point[2] + normal[2] * offset);
        ray.dir_x = static_cast<float>(tangent[0] * a + bitangent[0] * b + normal[0] * c);
        ray.dir_y = static_cast<float>(tangent[1] * a + bitangent[1] * b + normal[1] * c);
        ray.dir_z = static_cast<float>(tangent[2] * a + bitangent[2] * b + normal[2] * c);
        ray.tnear = 0;
        ray.tfar = occlusionDistance;
        ray.mask = 0xFFFFFFFFu;
        rtcOccluded1(embree.top, &context, &ray);
        return ray.tfar < 0 ? 0.0f : 1.0f;  // Embree sets tfar to -inf on a hit
    }

    static Rgb sky(const Vec3& direction) {
        const float t = static_cast<float>(0.5 + 0.5 * direction[1]);
        return {0.80f + 0.10f * t, 0.82f + 0.10f * t, 0.85f + 0.10f * t};
    }

    const EmbreeScene& embree;
    const View& view;
    int samples;
    double groundY;
    Vec3 centre;
    double radius;
    float occlusionDistance;
    int occlusionRays;
};

uint8_t encode(float linear) {
    const float c = std::pow(std::clamp(linear, 0.0f, 1.0f), 1.0f / 2.2f);
    return static_cast<uint8_t>(std::lround(c * 255.0f));
}

}  // namespace

Image render(const Scene& scene, const RenderSettings& settings, RenderTimes* times) {
    if (settings.width < 1 || settings.height < 1 || settings.width > 16384 || settings.height > 16384)
        throw std::invalid_argument("picture size must be 1 to 16384 pixels each way");
    if (settings.samples < 1 || settings.samples > 256)
        throw std::invalid_argument("samples must be 1 to 256");
    const View view = chooseView(scene, settings.view, static_cast<double>(settings.width) / settings.height);
    Vec3 low{-1, -1, -1}, high{1, 1, 1};
    boundingBox(scene, low, high);
    const auto started = Clock::now();
    const EmbreeScene embree(scene);
    const auto built = Clock::now();
    const Tracer tracer(embree, view, low, high, settings.samples);
    Image image;
    image.width = settings.width;
    image.height = settings.height;
    image.rgb.resize(3 * static_cast<size_t>(image.width) * image.height);
    tbb::parallel_for(tbb::blocked_range2d<int>(0, image.height, 16, 0, image.width, 16),
                      [&](const tbb::blocked_range2d<int>& tile) {
                          for (int y = tile.rows().begin(); y < tile.rows().end(); ++y)
                              for (int x = tile.cols().begin(); x < tile.cols().end(); ++x) {
                                  const Rgb c = tracer.pixel(x, y, image.width, image.height);
                                  uint8_t* out = &image.rgb[3 * (static_cast<size_t>(y) * image.width + x)];
                                  out[0] = encode(c.r);
                                  out[1] = encode(c.g);
                                  out[2] = encode(c.b);
                              }
                      });
    const auto traced = Clock::now();
    if (times) {
        times->buildSeconds = std::chrono::duration<double>(built - started).count();
        times->traceSeconds = std::chrono::duration<double>(traced - built).count();
    }
    return image;
}

}  // namespace preview
