// Small designs for the converter tests, built through the host stand-in.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "convert/DesignConverter.h"
#include "host/DesignBuilder.h"
#include "scene/OrvGroup.h"

namespace fixtures {

// One triangle whose first vertex is `first`, with normals and uvs.
inline host::MeshData triangle(std::vector<float> first = {0, 0, 0}) {
    host::MeshData mesh;
    mesh.coordinates = {first[0], first[1], first[2], 1, 0, 0, 0, 1, 0};
    mesh.normals = {0, 0, 1, 0, 0, 1, 0, 0, 1};
    mesh.textureCoordinates = {0, 0, 1, 0, 0, 1};
    mesh.indices = {0, 1, 2};
    return mesh;
}

inline host::FaceData face(std::optional<std::string> appearance = std::nullopt,
                           std::vector<float> first = {0, 0, 0}) {
    host::FaceData f;
    f.appearance = std::move(appearance);
    f.meshes.push_back(triangle(std::move(first)));
    return f;
}

inline host::BodyData body(std::string name, std::optional<std::string> appearance,
                           std::vector<host::FaceData> faces) {
    host::BodyData b;
    b.name = std::move(name);
    b.appearance = std::move(appearance);
    b.faces = std::move(faces);
    return b;
}

inline host::AppearanceData appearance(std::string id, int red = 128) {
    return {id, "Appearance " + id, {host::colorProperty("opaque_albedo", red, 0, 0)}};
}

inline host::ComponentData component(std::string name, std::vector<host::BodyData> bodies = {},
                                     std::vector<host::OccurrenceData> occurrences = {}) {
    host::ComponentData c;
    c.id = name;
    c.name = std::move(name);
    c.physical = host::PhysicalData{10.0, 2.0};
    c.bodies = std::move(bodies);
    c.occurrences = std::move(occurrences);
    return c;
}

inline host::OccurrenceData occurrence(std::string component, bool visible = true,
                                       std::optional<std::string> override = std::nullopt) {
    host::OccurrenceData o;
    o.component = std::move(component);
    o.visible = visible;
    o.appearance = std::move(override);
    return o;
}

// A document named `name` with one design holding these components (the first is the root).
inline host::DocumentData document(std::vector<host::ComponentData> components,
                                   std::vector<host::AppearanceData> appearances = {},
                                   std::string name = "Fixture v1") {
    host::DocumentData d;
    d.name = std::move(name);
    d.version = "v1";
    host::DesignData& design = d.addDesign();
    design.components = std::move(components);
    design.appearances = std::move(appearances);
    return d;
}

inline std::unique_ptr<DesignConverter> makeConverter(float unitsPerCentimetre = 1.0f) {
    auto converter = std::make_unique<DesignConverter>(nullptr, nullptr);
    converter->unitsPerCentimetre = unitsPerCentimetre;
    converter->unitsPerMetre = unitsPerCentimetre * 100.0f;
    return converter;
}

// The design's root component of a built document.
inline adsk::core::Ptr<adsk::fusion::Component> rootOf(
    const adsk::core::Ptr<adsk::core::Document>& doc) {
    adsk::core::Ptr<adsk::fusion::Design> design = doc->products()->item(0);
    return design->rootComponent();
}

inline std::shared_ptr<orv::OrvGroup> group(const std::shared_ptr<orv::LightNode>& node) {
    return std::dynamic_pointer_cast<orv::OrvGroup>(node);
}

// Names of a group's child groups, in order.
inline std::vector<std::string> childNames(const orv::OrvGroup& g) {
    std::vector<std::string> names;
    for (const auto& child : g.getChildren()) names.push_back(group(child)->getName());
    return names;
}

}  // namespace fixtures
