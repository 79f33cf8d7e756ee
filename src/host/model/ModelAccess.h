#pragma once
// The stand-in's own access to host objects: creating them and filling their
// private state. Not part of the interface an add-in sees.

#include <array>
#include <optional>
#include <string>
#include <utility>

#include "host/DesignBuilder.h"
#include <Core/CoreAll.h>
#include <Fusion/FusionAll.h>

namespace host {

class ModelAccess {
  public:
    template <class T, class... Args>
    static adsk::core::Ptr<T> make(Args&&... args) {
        return adsk::core::Ptr<T>(new T(std::forward<Args>(args)...));
    }

    // The item vector of a collection.
    static auto& items(adsk::core::Properties& c) { return c.items_; }
    static auto& items(adsk::core::Appearances& c) { return c.items_; }
    static auto& items(adsk::core::Products& c) { return c.items_; }
    static auto& items(adsk::core::CommandDefinitions& c) { return c.items_; }
    static auto& items(adsk::core::ToolbarControls& c) { return c.items_; }
    static auto& items(adsk::core::Toolbars& c) { return c.items_; }
    static auto& items(adsk::core::ToolbarPanels& c) { return c.items_; }
    static auto& items(adsk::core::Workspaces& c) { return c.items_; }
    static auto& items(adsk::fusion::TriangleMeshList& c) { return c.items_; }
    static auto& items(adsk::fusion::BRepFaces& c) { return c.items_; }
    static auto& items(adsk::fusion::BRepBodies& c) { return c.items_; }
    static auto& items(adsk::fusion::Occurrences& c) { return c.items_; }
    static auto& items(adsk::fusion::Components& c) { return c.items_; }
    static auto& items(adsk::fusion::OccurrenceList& c) { return c.items_; }
    static auto& items(adsk::core::Palettes& c) { return c.items_; }
    static double density(const adsk::fusion::Component& c) { return c.density_; }
    // A copy of native as the host shows it through context (a proxy).
    static adsk::core::Ptr<adsk::fusion::Occurrence> seenThrough(
        const adsk::core::Ptr<adsk::fusion::Occurrence>& native,
        const adsk::core::Ptr<adsk::fusion::Occurrence>& context) {
        auto proxy = make<adsk::fusion::Occurrence>();
        proxy->name_ = native->name_;
        proxy->component_ = native->component_;
        proxy->visible_ = native->visible_;
        proxy->appearance_ = native->appearance_;
        proxy->hasTransform_ = native->hasTransform_;
        proxy->transform_ = native->transform_;
        proxy->context_ = context;
        proxy->native_ = native->native_ ? native->native_ : native;
        return proxy;
    }

    static void setColor(adsk::core::ColorProperty& p, std::optional<std::array<short, 4>> c) {
        p.color_ = c;
    }
    static void setTexture(adsk::core::ColorProperty& p,
                           adsk::core::Ptr<adsk::core::AppearanceTexture> t) {
        p.texture_ = std::move(t);
    }
    static void setProperties(adsk::core::AppearanceTexture& t,
                              adsk::core::Ptr<adsk::core::Properties> p) {
        t.properties_ = std::move(p);
    }
    static void setValue(adsk::core::FilenameProperty& p, std::string v) {
        p.value_ = std::move(v);
    }
    static void setValue(adsk::core::FloatProperty& p, double v) { p.value_ = v; }
    static void setAppearance(adsk::core::Appearance& a, std::string id, std::string name,
                              adsk::core::Ptr<adsk::core::Properties> properties) {
        a.id_ = std::move(id);
        a.name_ = std::move(name);
        a.properties_ = std::move(properties);
    }

    static adsk::core::Ptr<adsk::core::Property> makePlainProperty(std::string id,
                                                                   std::string name) {
        return adsk::core::Ptr<adsk::core::Property>(
            new adsk::core::Property(std::move(id), std::move(name)));
    }
    static adsk::core::Ptr<adsk::core::Product> makeOtherProduct(std::string type);

    static void setDocument(adsk::core::Document& d, std::string name, bool saved,
                            std::string version, std::string creationId,
                            adsk::core::Ptr<adsk::core::Products> products);

    static void setDesign(adsk::fusion::Design& d, std::string units,
                          adsk::core::Ptr<adsk::fusion::Component> root,
                          adsk::core::Ptr<adsk::fusion::Components> components,
                          adsk::core::Ptr<adsk::core::Appearances> appearances);

    static void setComponent(adsk::fusion::Component& c, std::string id, std::string name,
                             const adsk::fusion::Design* design);
    static void setPhysical(adsk::fusion::Component& c, const PhysicalData& recorded) {
        c.hasPhysical_ = true;
        c.recordedPhysical_ = !recorded.fromBodies;
        c.area_ = recorded.area;
        c.volume_ = recorded.volume;
    }
    // The placement of an occurrence in its parent; null when the host has none.
    static const std::array<double, 16>* placement(const adsk::fusion::Occurrence& o) {
        return o.hasTransform_ ? &o.transform_ : nullptr;
    }
    static void setCollections(adsk::fusion::Component& c,
                               adsk::core::Ptr<adsk::fusion::Occurrences> occurrences,
                               adsk::core::Ptr<adsk::fusion::BRepBodies> bodies) {
        c.occurrences_ = std::move(occurrences);
        c.bodies_ = std::move(bodies);
    }
    static void setOccurrence(adsk::fusion::Occurrence& o, std::string name,
                              adsk::core::Ptr<adsk::fusion::Component> component, bool visible,
                              adsk::core::Ptr<adsk::core::Appearance> appearance,
                              const std::optional<std::array<double, 16>>& transform);
    static void setBody(adsk::fusion::BRepBody& b, std::string name, bool visible,
                        adsk::core::Ptr<adsk::core::Appearance> appearance,
                        adsk::core::Ptr<adsk::fusion::BRepFaces> faces,
                        const adsk::fusion::Component* component);
    static void setBodyPhysical(adsk::fusion::BRepBody& b, double area, double volume,
                                const std::array<double, 3>& centre) {
        b.measured_ = true;
        b.area_ = area;
        b.volume_ = volume;
        b.centre_ = centre;
    }
    static void setFace(adsk::fusion::BRepFace& f, adsk::core::Ptr<adsk::core::Appearance> a,
                        adsk::core::Ptr<adsk::fusion::MeshManager> meshManager,
                        const adsk::fusion::BRepBody* body) {
        f.appearance_ = std::move(a);
        f.meshManager_ = std::move(meshManager);
        f.body_ = body;
    }
    static adsk::core::Ptr<adsk::fusion::MeshManager> makeMeshManager(
        adsk::core::Ptr<adsk::fusion::TriangleMeshList> meshes);
    // Takes over the host arrays (one reference each).
    static adsk::core::Ptr<adsk::fusion::TriangleMesh> makeMesh(float* coordinates,
                                                                size_t coordinateCount,
                                                                float* normals, size_t normalCount,
                                                                float* uvs, size_t uvCount,
                                                                int* indices, size_t indexCount);

    // Commands: a click on a definition.
    static void runCommand(const adsk::core::CommandDefinition& definition);
    static adsk::core::Ptr<adsk::core::CommandDefinition> definitionOf(
        const adsk::core::ToolbarControl& control);
    static void setControls(adsk::core::Toolbar& t,
                            adsk::core::Ptr<adsk::core::ToolbarControls> c) {
        t.controls_ = std::move(c);
    }
    static void setControls(adsk::core::ToolbarPanel& p,
                            adsk::core::Ptr<adsk::core::ToolbarControls> c) {
        p.controls_ = std::move(c);
    }
    static void setPanels(adsk::core::Workspace& w, adsk::core::Ptr<adsk::core::ToolbarPanels> p) {
        w.panels_ = std::move(p);
    }
    static adsk::core::FileDialog::Settings settings(const adsk::core::FileDialog& d) {
        return d.settings_;
    }
    static void setCamera(adsk::core::Camera& c, const host::CameraData& data);
};

}  // namespace host
