#include "step/HostDocument.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>

namespace steploader {
namespace {

std::string componentId(int index) {
    return "component-" + std::to_string(index);
}

std::optional<std::string> appearanceId(const Design& design, int appearance) {
    if (appearance == kNoAppearance) return std::nullopt;
    return design.appearances[appearance].id;
}

host::Transform multiply(const host::Transform& a, const host::Transform& b) {
    host::Transform m{};
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            double sum = 0;
            for (int k = 0; k < 4; ++k) sum += a[4 * r + k] * b[4 * k + c];
            m[4 * r + c] = sum;
        }
    }
    return m;
}

// Bounds of every mesh node as placed in the assembly (hidden parts too).
struct Bounds {
    double low[3] = {std::numeric_limits<double>::max(), std::numeric_limits<double>::max(),
                     std::numeric_limits<double>::max()};
    double high[3] = {-std::numeric_limits<double>::max(), -std::numeric_limits<double>::max(),
                      -std::numeric_limits<double>::max()};
    bool empty() const { return low[0] > high[0]; }
};

Bounds modelBounds(const Design& design) {
    Bounds bounds;
    // Records from a codec are acyclic, but occurrences may still multiply:
    // the walk stops after a bounded number of placements.
    std::size_t placements = 0;
    constexpr std::size_t kMostPlacements = 1'000'000;
    std::function<void(int, const host::Transform&, int)> visit =
        [&](int index, const host::Transform& m, int depth) {
            if (depth > 64 || ++placements > kMostPlacements) return;
            const Component& component = design.components[index];
            for (const Body& body : component.bodies) {
                for (const Face& face : body.faces) {
                    const auto& p = face.mesh.coordinates;
                    for (std::size_t i = 0; i + 2 < p.size(); i += 3) {
                        for (int axis = 0; axis < 3; ++axis) {
                            const double v = m[4 * axis] * p[i] + m[4 * axis + 1] * p[i + 1] +
                                             m[4 * axis + 2] * p[i + 2] + m[4 * axis + 3];
                            bounds.low[axis] = std::min(bounds.low[axis], v);
                            bounds.high[axis] = std::max(bounds.high[axis], v);
                        }
                    }
                }
            }
            for (const Occurrence& o : component.occurrences) {
                visit(o.component, multiply(m, o.transform), depth + 1);
            }
        };
    visit(design.root, host::kIdentity, 0);
    return bounds;
}

host::CameraData fittedCamera(const Design& design) {
    host::CameraData camera;
    camera.type = adsk::core::PerspectiveCameraType;
    camera.up = {0, 0, 1};
    const Bounds bounds = modelBounds(design);
    if (bounds.empty()) return camera;
    double diagonal = 0;
    for (int axis = 0; axis < 3; ++axis) {
        camera.target[axis] = (bounds.low[axis] + bounds.high[axis]) / 2;
        diagonal += (bounds.high[axis] - bounds.low[axis]) * (bounds.high[axis] - bounds.low[axis]);
    }
    // At this distance the model's bounding sphere fills the view angle.
    const double distance = std::max(std::sqrt(diagonal), 1.0) * 1.1;
    const double direction[3] = {1 / std::sqrt(3.0), -1 / std::sqrt(3.0), 1 / std::sqrt(3.0)};
    for (int axis = 0; axis < 3; ++axis) {
        camera.eye[axis] = camera.target[axis] + distance * direction[axis];
    }
    return camera;
}

host::MeshData toHostMesh(Mesh& mesh) {
    return host::MeshData{std::move(mesh.coordinates), std::move(mesh.normals),
                          std::move(mesh.textureCoordinates), std::move(mesh.indices)};
}

// A body that would show no appearance unless an occurrence overrides it.
bool lacksAppearance(const Body& body) {
    if (body.appearance != kNoAppearance) return false;
    return std::any_of(body.faces.begin(), body.faces.end(),
                       [](const Face& f) { return f.appearance == kNoAppearance; });
}

bool lacksAppearance(const Component& component) {
    return std::any_of(component.bodies.begin(), component.bodies.end(),
                       [](const Body& b) { return lacksAppearance(b); });
}

}  // namespace

host::DocumentData toHostDocument(Design design) {
    host::DocumentData document;
    document.camera = fittedCamera(design);  // before the meshes move out
    document.name = design.documentName;
    document.modelingOrientation = adsk::core::ZUpModelingOrientation;
    host::DesignData& data = document.addDesign();
    data.units = design.units;

    for (const Appearance& appearance : design.appearances) {
        host::AppearanceData a;
        a.id = appearance.id;
        a.name = appearance.name;
        a.properties.push_back(host::colorProperty(kColourPropertyId, appearance.colour.red,
                                                   appearance.colour.green,
                                                   appearance.colour.blue));
        data.appearances.push_back(std::move(a));
    }

    bool defaultUsed = false;
    auto defaultAppearance = [&] {
        defaultUsed = true;
        return std::optional<std::string>(kDefaultAppearanceId);
    };
    std::vector<bool> needsDefault;
    for (const Component& component : design.components)
        needsDefault.push_back(lacksAppearance(component));

    for (std::size_t index = 0; index < design.components.size(); ++index) {
        Component& component = design.components[index];
        host::ComponentData c;
        c.id = componentId(static_cast<int>(index));
        c.name = component.name;
        c.physical = host::measuredPhysical();  // from the bodies' exact measures
        for (Body& body : component.bodies) {
            host::BodyData b;
            b.name = body.name;
            b.visible = body.visible;
            b.appearance = appearanceId(design, body.appearance);
            b.physical = host::BodyPhysicalData{body.area, body.volume, body.centre};
            if (static_cast<int>(index) == design.root && lacksAppearance(body))
                b.appearance = defaultAppearance();
            for (Face& face : body.faces) {
                host::FaceData f;
                f.appearance = appearanceId(design, face.appearance);
                if (!face.mesh.indices.empty()) f.meshes.push_back(toHostMesh(face.mesh));
                b.faces.push_back(std::move(f));
            }
            c.bodies.push_back(std::move(b));
        }
        for (const Occurrence& occurrence : component.occurrences) {
            host::OccurrenceData o;
            o.component = componentId(occurrence.component);
            o.visible = occurrence.visible;
            o.appearance = appearanceId(design, occurrence.appearance);
            if (!o.appearance && needsDefault[occurrence.component])
                o.appearance = defaultAppearance();
            o.transform = occurrence.transform;
            c.occurrences.push_back(std::move(o));
        }
        data.components.push_back(std::move(c));
    }
    if (defaultUsed) {
        host::AppearanceData a;
        a.id = kDefaultAppearanceId;
        a.name = kDefaultAppearanceName;
        a.properties.push_back(host::colorProperty(kColourPropertyId, 166, 166, 166));
        data.appearances.push_back(std::move(a));
    }
    data.root = componentId(design.root);
    return document;
}

}  // namespace steploader
