#include "preview/PreviewRenderer.h"

#include <tbb/blocked_range2d.h>
#include <tbb/parallel_for.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <stdexcept>

#include "preview/EmbreeScene.h"
#include "preview/ViewSetup.h"

namespace preview {

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kTile = 16;          // pixels each way of one tile
constexpr int kSmoothing = 2;      // pixels each way over which occlusion is smoothed
constexpr float kPi = 3.14159265f;

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

struct Vec3f {
    float x, y, z;
};

Vec3f operator*(const Vec3f& a, float s) { return {a.x * s, a.y * s, a.z * s}; }
Vec3f operator+(const Vec3f& a, const Vec3f& b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
Rgb operator*(const Rgb& a, float s) { return {a.r * s, a.g * s, a.b * s}; }
Rgb operator+(const Rgb& a, const Rgb& b) { return {a.r + b.r, a.g + b.g, a.b + b.b}; }
float dot(const Vec3f& a, const Vec3f& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
Vec3f cross(const Vec3f& a, const Vec3f& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
Vec3f normalised(const Vec3f& v) {
    const float l = std::sqrt(dot(v, v));
    return l > 0 ? v * (1 / l) : Vec3f{0, 1, 0};
}
Vec3f toFloat(const Vec3& v) {
    return {static_cast<float>(v[0]), static_cast<float>(v[1]), static_cast<float>(v[2])};
}

// What the primary ray of one sample found.
struct SurfacePoint {
    Rgb albedo;
    float headLight;
    float fade;  // ground only: how far it has faded into the background
    bool onGround;
    bool sky;  // nothing was hit
};

// A pixel before its ambient occlusion is known: its colour is lit + shadowed
// x open, averaged over its samples, where open is the share of the sky that
// its surface sees. That share is measured with a few rays a pixel and then
// smoothed over neighbouring pixels of the tile that show the same surface
// (kept within the tile, so no picture-sized buffer is needed).
struct PixelTerms {
    Rgb lit;
    Rgb shadowed;
    float depth;  // of the first sample; infinity for the sky
    Vec3f normal;  // of the first sample
};

// Linear light to the picture's gamma 2.2, through a table fine enough that
// no byte differs from the exact curve by more than one.
uint8_t encode(float linear) {
    static const std::array<uint8_t, 4097> table = [] {
        std::array<uint8_t, 4097> t{};
        for (size_t i = 0; i < t.size(); ++i)
            t[i] = static_cast<uint8_t>(std::lround(std::pow(i / 4096.0, 1 / 2.2) * 255.0));
        return t;
    }();
    return table[static_cast<size_t>(std::clamp(linear, 0.0f, 1.0f) * 4096.0f + 0.5f)];
}

// How much pixel q's occlusion counts for pixel p: only neighbours on the
// same surface (depth within 3%, normals nearly parallel) count.
float similarity(const PixelTerms& p, float inverseDepth, const PixelTerms& q) {
    const float alike = dot(p.normal, q.normal);
    const float apart = std::fabs(q.depth - p.depth) * inverseDepth;
    if (alike < 0.9f || !(apart < 0.03f)) return 0;
    return (1 - apart * (1 / 0.03f)) * (alike - 0.9f);
}

// Smooths the occlusion of row y of a width x height block along x or along
// y into `out`: a weighted mean over kSmoothing pixels each way.
void smoothRow(const PixelTerms* terms, const float* open, int width, int height, int y, bool alongY, float* out) {
    const ptrdiff_t step = alongY ? width : 1;
    const int last = (alongY ? height : width) - 1;
    for (int x = 0; x < width; ++x) {
        const size_t at = static_cast<size_t>(y) * width + x;
        const int centre = alongY ? y : x, from = std::max(0, centre - kSmoothing),
                  to = std::min(last, centre + kSmoothing);
        const float* first = open + at + (from - centre) * step;
        bool uniform = true;
        for (int k = 1; k <= to - from && uniform; ++k) uniform = first[k * step] == first[0];
        const PixelTerms& p = terms[at];
        if (uniform || !std::isfinite(p.depth)) {
            out[at] = open[at];
            continue;
        }
        const float inverseDepth = 1 / p.depth;
        float sum = 0, weights = 0;
        for (int k = 0; k <= to - from; ++k) {
            const float w = similarity(p, inverseDepth, terms[at + (from - centre + k) * step]);
            sum += first[k * step] * w;
            weights += w;
        }
        out[at] = weights > 0 ? sum / weights : open[at];
    }
}

// Traces a picture tile by tile: the first sample of every pixel of a tile
// goes to Embree as one coherent stream, then the occlusion rays from where
// they landed as another; the further samples only where the first ones
// found an edge.
class Tracer {
  public:
    Tracer(const EmbreeScene& embree, const View& view, const Vec3& low, const Vec3& high, int samples)
        : embree(embree), view(view), samples(samples) {
        groundY = static_cast<float>(low[1]);
        centre = {static_cast<float>((low[0] + high[0]) / 2), groundY, static_cast<float>((low[2] + high[2]) / 2)};
        const double dx = high[0] - low[0], dy = high[1] - low[1], dz = high[2] - low[2];
        radius = static_cast<float>(std::max(std::sqrt(dx * dx + dy * dy + dz * dz) / 2, 1e-6));
        occlusionDistance = radius * 0.2f;
        // Ground points farther than this from the scene's footprint see the whole sky.
        reachLow = {static_cast<float>(low[0]) - occlusionDistance, 0, static_cast<float>(low[2]) - occlusionDistance};
        reachHigh = {static_cast<float>(high[0]) + occlusionDistance, 0, static_cast<float>(high[2]) + occlusionDistance};
        eye = toFloat(view.eye);
        forward = toFloat(view.forward);
        right = toFloat(view.right);
        up = toFloat(view.up);
        // Ambient occlusion rays a pixel, before smoothing: more samples buy
        // smoother shading too.
        occlusionRays = std::max(2, samples / 2);
        occlusionSide = static_cast<int>(std::ceil(std::sqrt(static_cast<double>(occlusionRays))));
    }

    void tile(int x0, int y0, int x1, int y1, Image& image) const {
        const int width = image.width, height = image.height;
        const int columns = x1 - x0, count = columns * (y1 - y0);
        RTCRayHit primary[kTile * kTile];
        RTCRay occlusion[kTile * kTile];
        SurfacePoint points[kTile * kTile];
        Random random[kTile * kTile];
        float openRays[kTile * kTile];
        PixelTerms terms[kTile * kTile];
        float open[kTile * kTile], smoothed[kTile * kTile];
        for (int i = 0; i < count; ++i) {
            const int x = x0 + i % columns, y = y0 + i / columns;
            random[i] = {static_cast<uint32_t>((y * 9781 + x * 6271) ^ 0x9E3779B9u) | 1u};
            openRays[i] = 0;
            terms[i] = PixelTerms{{0, 0, 0}, {0, 0, 0}, INFINITY, {0, 1, 0}};
        }
        const int side = static_cast<int>(std::ceil(std::sqrt(static_cast<double>(samples))));
        RTCIntersectContext coherent;
        rtcInitIntersectContext(&coherent);
        coherent.flags = RTC_INTERSECT_CONTEXT_FLAG_COHERENT;
        RTCIntersectContext incoherent;
        rtcInitIntersectContext(&incoherent);
        // The first sample of every pixel, and the pixel's occlusion rays from
        // where it landed.
        auto trace = [&](int s, const int* which, int n) {
            for (int k = 0; k < n; ++k) {
                const int i = which[k], x = x0 + i % columns, y = y0 + i / columns;
                // Stratified over a side x side grid inside the pixel.
                const float jx = ((s % side) + random[i].next()) / side, jy = ((s / side) + random[i].next()) / side;
                const float px = (2 * (x + jx) / width - 1) * width / height, py = 1 - 2 * (y + jy) / height;
                primaryRay(px, py, primary[k]);
            }
            rtcIntersect1M(embree.top, &coherent, primary, static_cast<unsigned>(n), sizeof(RTCRayHit));
            for (int k = 0; k < n; ++k) {
                points[k] = surface(primary[k]);
                addSample(primary[k], points[k], s == 0, terms[which[k]]);
            }
        };
        int all[kTile * kTile];
        for (int i = 0; i < count; ++i) all[i] = i;
        trace(0, all, count);
        int seen[kTile * kTile];  // what the first sample hit: a placement, -1 ground, -2 sky
        bool textured[kTile * kTile];
        for (int i = 0; i < count; ++i) {
            const bool object = !points[i].sky && !points[i].onGround;
            seen[i] = points[i].sky ? -2 : !object ? -1 : static_cast<int>(primary[i].hit.instID[0]);
            textured[i] = object && embree.placements[primary[i].hit.instID[0]].texture;
        }
        for (int r = 0; r < occlusionRays; ++r) {
            for (int i = 0; i < count; ++i) occlusionRay(primary[i], points[i], r, random[i], occlusion[i]);
            rtcOccluded1M(embree.top, &incoherent, occlusion, static_cast<unsigned>(count), sizeof(RTCRay));
            // Embree sets tfar to -inf where the ray hits something.
            for (int i = 0; i < count; ++i) openRays[i] += occlusion[i].tfar < 0 ? 0.0f : 1.0f;
        }
        // The other samples go only where they can change the pixel: along
        // edges between different things (pixels at the tile's border count as
        // such, their neighbours being unknown here) and on textures.
        const int rows = y1 - y0;
        int refine[kTile * kTile], refined = 0;
        for (int i = 0; i < count; ++i) {
            const int x = i % columns, y = i / columns;
            bool edge = textured[i] || x == 0 || y == 0 || x == columns - 1 || y == rows - 1;
            for (int v = std::max(0, y - 1); v <= std::min(rows - 1, y + 1) && !edge; ++v)
                for (int u = std::max(0, x - 1); u <= std::min(columns - 1, x + 1) && !edge; ++u)
                    edge = seen[v * columns + u] != seen[i];
            if (edge) refine[refined++] = i;
        }
        for (int s = 1; s < samples; ++s) trace(s, refine, refined);
        for (int i = 0; i < count; ++i) open[i] = openRays[i] / static_cast<float>(occlusionRays);
        for (int k = 0, next = 0; k < count; ++k) {
            const bool more = next < refined && refine[next] == k;
            next += more;
            const float scale = more ? 1.0f / static_cast<float>(samples) : 1.0f;
            terms[k].lit = terms[k].lit * scale;
            terms[k].shadowed = terms[k].shadowed * scale;
        }
        for (int y = 0; y < rows; ++y) smoothRow(terms, open, columns, rows, y, false, smoothed);
        for (int y = 0; y < rows; ++y) smoothRow(terms, smoothed, columns, rows, y, true, open);
        for (int i = 0; i < count; ++i) {
            const Rgb c = terms[i].lit + terms[i].shadowed * open[i];
            uint8_t* out = &image.rgb[3 * (static_cast<size_t>(y0 + i / columns) * width + x0 + i % columns)];
            out[0] = encode(c.r);
            out[1] = encode(c.g);
            out[2] = encode(c.b);
        }
    }

  private:
    void primaryRay(float px, float py, RTCRayHit& hit) const {
        Vec3f origin = eye, direction;
        if (view.orthographic) {
            const float h = static_cast<float>(view.halfHeight);
            origin = origin + right * (px * h) + up * (py * h);
            direction = forward;
        } else {
            const float t = static_cast<float>(view.tanHalfFov);
            direction = normalised(forward + right * (px * t) + up * (py * t));
        }
        hit.ray.org_x = origin.x;
        hit.ray.org_y = origin.y;
        hit.ray.org_z = origin.z;
        hit.ray.dir_x = direction.x;
        hit.ray.dir_y = direction.y;
        hit.ray.dir_z = direction.z;
        hit.ray.tnear = 0;
        hit.ray.tfar = INFINITY;
        hit.ray.time = 0;
        hit.ray.mask = 0xFFFFFFFFu;
        hit.ray.id = 0;
        hit.ray.flags = 0;
        hit.hit.geomID = RTC_INVALID_GEOMETRY_ID;
        hit.hit.instID[0] = RTC_INVALID_GEOMETRY_ID;
    }

    static Vec3f origin(const RTCRay& ray) { return {ray.org_x, ray.org_y, ray.org_z}; }
    static Vec3f direction(const RTCRay& ray) { return {ray.dir_x, ray.dir_y, ray.dir_z}; }

    // The ground plane under the scene: distance along the ray, or infinity.
    float groundDistance(const RTCRay& ray) const {
        if (ray.dir_y >= -1e-6f) return INFINITY;
        const float t = (groundY - ray.org_y) / ray.dir_y;
        return t > 0 ? t : INFINITY;
    }

    SurfacePoint surface(RTCRayHit& hit) const {
        SurfacePoint point{};
        const float groundT = groundDistance(hit.ray);
        const bool hitScene = hit.hit.geomID != RTC_INVALID_GEOMETRY_ID;
        if (!hitScene && !std::isfinite(groundT)) {
            point.sky = true;
            return point;
        }
        point.onGround = !hitScene || groundT < hit.ray.tfar;
        const Vec3f d = direction(hit.ray);
        Vec3f normal;
        if (point.onGround) {
            hit.ray.tfar = groundT;
            normal = {0, 1, 0};
            point.albedo = {0.72f, 0.72f, 0.70f};
            const Vec3f at = origin(hit.ray) + d * groundT;
            const float dx = at.x - centre.x, dz = at.z - centre.z;
            point.fade = std::min(1.0f, std::sqrt(dx * dx + dz * dz) / (radius * 6));
        } else {
            const Placement& placement = embree.placements[hit.hit.instID[0]];
            const float* m = placement.normal;
            const Vec3f n = {hit.hit.Ng_x, hit.hit.Ng_y, hit.hit.Ng_z};
            normal = normalised({m[0] * n.x + m[3] * n.y + m[6] * n.z, m[1] * n.x + m[4] * n.y + m[7] * n.z,
                                 m[2] * n.x + m[5] * n.y + m[8] * n.z});
            if (dot(normal, d) > 0) normal = normal * -1.0f;
            point.albedo = surfaceColour(placement, hit.hit.primID, hit.hit.u, hit.hit.v);
        }
        // The shading normal rides along in the hit record's geometric normal.
        hit.hit.Ng_x = normal.x;
        hit.hit.Ng_y = normal.y;
        hit.hit.Ng_z = normal.z;
        point.headLight = std::max(0.0f, -dot(normal, d));
        return point;
    }

    // Adds one sample's colour, split into the part that ambient occlusion
    // leaves and the part it can take away.
    void addSample(const RTCRayHit& hit, const SurfacePoint& point, bool first, PixelTerms& terms) const {
        if (first && !point.sky) {
            terms.depth = hit.ray.tfar;
            terms.normal = {hit.hit.Ng_x, hit.hit.Ng_y, hit.hit.Ng_z};
        }
        const Vec3f d = direction(hit.ray);
        const Rgb& a = point.albedo;
        if (point.sky) {
            terms.lit = terms.lit + sky(d);
        } else if (point.onGround) {
            // ground x (0.35 + 0.65 open), fading into the background away from the scene
            const float keep = 1 - point.fade;
            terms.lit = terms.lit + a * (0.35f * keep) + sky(d) * point.fade;
            terms.shadowed = terms.shadowed + a * (0.65f * keep);
        } else {
            // albedo x (0.28 + 0.72 head light) x (0.5 + 0.5 open)
            const Rgb half = a * (0.5f * (0.28f + 0.72f * point.headLight));
            terms.lit = terms.lit + half;
            terms.shadowed = terms.shadowed + half;
        }
    }

    // One cosine-weighted ray into the hemisphere above the point, from cell
    // `stratum` of an occlusionSide x occlusionSide grid. A ray that cannot hit anything is not traced
    // (tnear beyond tfar) and counts as open.
    void occlusionRay(const RTCRayHit& hit, const SurfacePoint& point, int stratum, Random& random,
                      RTCRay& ray) const {
        ray.org_x = ray.org_y = ray.org_z = 0;
        ray.dir_x = ray.dir_y = 0;
        ray.dir_z = 1;
        ray.tnear = 1;
        ray.tfar = 0;
        ray.mask = 0xFFFFFFFFu;
        ray.time = 0;
        ray.id = 0;
        ray.flags = 0;
        if (point.sky) return;
        const Vec3f at = origin(hit.ray) + direction(hit.ray) * hit.ray.tfar;
        if (point.onGround && (at.x < reachLow.x || at.x > reachHigh.x || at.z < reachLow.z || at.z > reachHigh.z))
            return;
        const Vec3f normal = {hit.hit.Ng_x, hit.hit.Ng_y, hit.hit.Ng_z};
        const int cell = stratum % (occlusionSide * occlusionSide);
        const float u1 = ((cell % occlusionSide) + random.next()) / occlusionSide,
                    u2 = ((cell / occlusionSide) + random.next()) / occlusionSide;
        const float r = std::sqrt(u1), phi = 2 * kPi * u2;
        const Vec3f helper = std::fabs(normal.x) > 0.5f ? Vec3f{0, 1, 0} : Vec3f{1, 0, 0};
        const Vec3f tangent = normalised(cross(helper, normal));
        const Vec3f bitangent = cross(normal, tangent);
        const Vec3f d = tangent * (r * std::cos(phi)) + bitangent * (r * std::sin(phi)) +
                        normal * std::sqrt(std::max(0.0f, 1 - u1));
        const Vec3f o = at + normal * (radius * 1e-4f);
        ray.org_x = o.x;
        ray.org_y = o.y;
        ray.org_z = o.z;
        ray.dir_x = d.x;
        ray.dir_y = d.y;
        ray.dir_z = d.z;
        ray.tnear = 0;
        ray.tfar = occlusionDistance;
    }

    static Rgb surfaceColour(const Placement& placement, unsigned primitive, float u, float v) {
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
        // A coordinate that is not a number reads the first texel.
        tu = std::isfinite(tu) ? tu - std::floor(tu) : 0;
        tv = std::isfinite(tv) ? tv - std::floor(tv) : 0;
        const int px = std::clamp(static_cast<int>(tu * texture->width), 0, texture->width - 1);
        const int py = std::clamp(static_cast<int>((1 - tv) * texture->height), 0, texture->height - 1);
        const uint8_t* rgb = &texture->rgb[3 * (static_cast<size_t>(py) * texture->width + px)];
        auto linear = [](uint8_t c) { return std::pow(c / 255.0f, 2.2f); };
        return {linear(rgb[0]), linear(rgb[1]), linear(rgb[2])};
    }

    static Rgb sky(const Vec3f& direction) {
        const float t = 0.5f + 0.5f * direction.y;
        return {0.80f + 0.10f * t, 0.82f + 0.10f * t, 0.85f + 0.10f * t};
    }

    const EmbreeScene& embree;
    const View& view;
    int samples;
    float groundY;
    Vec3f centre;
    float radius;
    float occlusionDistance;
    Vec3f reachLow, reachHigh;  // x and z of the footprint
    Vec3f eye, forward, right, up;
    int occlusionRays, occlusionSide;
};

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
    const int width = settings.width, height = settings.height;
    Image image;
    image.width = width;
    image.height = height;
    image.rgb.resize(3 * static_cast<size_t>(width) * height);
    tbb::parallel_for(tbb::blocked_range2d<int>(0, height, kTile, 0, width, kTile),
                      [&](const tbb::blocked_range2d<int>& range) {
                          for (int y = range.rows().begin(); y < range.rows().end(); y += kTile)
                              for (int x = range.cols().begin(); x < range.cols().end(); x += kTile)
                                  tracer.tile(x, y, std::min(x + kTile, range.cols().end()),
                                              std::min(y + kTile, range.rows().end()), image);
                      });
    const auto traced = Clock::now();
    if (times) {
        times->buildSeconds = std::chrono::duration<double>(built - started).count();
        times->traceSeconds = std::chrono::duration<double>(traced - built).count();
    }
    return image;
}

}  // namespace preview
