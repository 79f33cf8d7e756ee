#include "host/DesignBuilder.h"

#include <cmath>
#include <cstdio>
#include <map>
#include <random>
#include <set>

#include "host/model/HostArray.h"
#include "host/model/ModelAccess.h"

namespace host {

using namespace adsk::core;
using namespace adsk::fusion;

BuildError::BuildError(size_t product, std::string path, std::string cause)
    : std::runtime_error(path + ": " + cause),
      product(product),
      path(std::move(path)),
      cause(std::move(cause)) {}

PropertyData colorProperty(std::string id, int red, int green, int blue, int opacity) {
    PropertyData p;
    p.kind = PropertyKind::Color;
    p.id = std::move(id);
    p.color = std::array<int, 4>{red, green, blue, opacity};
    return p;
}

PropertyData texturedColorProperty(std::string id, std::string imagePath) {
    PropertyData p;
    p.kind = PropertyKind::Color;
    p.id = std::move(id);
    p.hasTexture = true;
    p.textureProperties.push_back(filenameProperty("unifiedbitmap_Bitmap", std::move(imagePath)));
    return p;
}

PropertyData filenameProperty(std::string id, std::string path) {
    PropertyData p;
    p.kind = PropertyKind::Filename;
    p.id = std::move(id);
    p.filename = std::move(path);
    return p;
}

PropertyData floatProperty(std::string id, double value) {
    PropertyData p;
    p.kind = PropertyKind::Float;
    p.id = std::move(id);
    p.number = value;
    return p;
}

PropertyData plainProperty(std::string id) {
    PropertyData p;
    p.id = std::move(id);
    return p;
}

Transform translation(double x, double y, double z) {
    Transform t = kIdentity;
    t[3] = x;
    t[7] = y;
    t[11] = z;
    return t;
}

DesignData& DocumentData::addDesign() {
    products.push_back(ProductData{DesignData{}, ""});
    return *products.back().design;
}

namespace {

std::string componentId(const ComponentData& c) {
    return c.id.empty() ? c.name : c.id;
}

std::string indexed(const std::string& field, size_t i) {
    return field + "[" + std::to_string(i) + "]";
}

// Checks every reference of one design before anything is made.
void validate(size_t product, const DesignData& design) {
    std::set<std::string> appearances;
    for (size_t i = 0; i < design.appearances.size(); ++i) {
        if (!appearances.insert(design.appearances[i].id).second)
            throw BuildError(product, indexed("appearances", i) + ".id",
                             "appearance id \"" + design.appearances[i].id + "\" is used twice");
    }
    auto checkAppearance = [&](const std::optional<std::string>& id, const std::string& path) {
        if (id && !appearances.count(*id))
            throw BuildError(product, path, "unknown appearance id \"" + *id + "\"");
    };

    std::map<std::string, size_t> components;
    for (size_t i = 0; i < design.components.size(); ++i) {
        const std::string id = componentId(design.components[i]);
        if (!components.emplace(id, i).second)
            throw BuildError(product, indexed("components", i) + ".id",
                             "component id \"" + id + "\" is used twice");
    }
    for (size_t i = 0; i < design.components.size(); ++i) {
        const ComponentData& c = design.components[i];
        const std::string at = indexed("components", i);
        for (size_t b = 0; b < c.bodies.size(); ++b) {
            const BodyData& body = c.bodies[b];
            const std::string bodyAt = at + "." + indexed("bodies", b);
            checkAppearance(body.appearance, bodyAt + ".appearance");
            for (size_t f = 0; f < body.faces.size(); ++f)
                checkAppearance(body.faces[f].appearance,
                                bodyAt + "." + indexed("faces", f) + ".appearance");
        }
        for (size_t o = 0; o < c.occurrences.size(); ++o) {
            const OccurrenceData& occurrence = c.occurrences[o];
            const std::string occurrenceAt = at + "." + indexed("occurrences", o);
            if (!components.count(occurrence.component))
                throw BuildError(product, occurrenceAt + ".component",
                                 "unknown component id \"" + occurrence.component + "\"");
            checkAppearance(occurrence.appearance, occurrenceAt + ".appearance");
        }
    }
    if (!design.root.empty() && !components.count(design.root))
        throw BuildError(product, "root", "unknown component id \"" + design.root + "\"");

    // Occurrence cycles: depth-first search with colours, on an explicit stack so
    // that deep assemblies cannot exhaust the call stack.
    std::vector<int> colour(design.components.size(), 0);  // 0 new, 1 on path, 2 done
    struct Frame {
        size_t component;
        size_t next;  // the next occurrence to follow
    };
    std::vector<Frame> path;
    for (size_t start = 0; start < design.components.size(); ++start) {
        if (colour[start] != 0) continue;
        colour[start] = 1;
        path.push_back({start, 0});
        while (!path.empty()) {
            Frame& top = path.back();
            const ComponentData& c = design.components[top.component];
            if (top.next == c.occurrences.size()) {
                colour[top.component] = 2;
                path.pop_back();
                continue;
            }
            const size_t o = top.next++;
            const size_t child = components.at(c.occurrences[o].component);
            if (colour[child] == 1)
                throw BuildError(product,
                                 indexed("components", top.component) + "." +
                                     indexed("occurrences", o) + ".component",
                                 "occurrence of \"" + c.occurrences[o].component +
                                     "\" makes a cycle of occurrences");
            if (colour[child] == 0) {
                colour[child] = 1;
                path.push_back({child, 0});
            }
        }
    }
}

Ptr<Properties> makeProperties(const std::vector<PropertyData>& list);

Ptr<Property> makeProperty(const PropertyData& data) {
    const std::string name = data.name.empty() ? data.id : data.name;
    switch (data.kind) {
        case PropertyKind::Color: {
            auto p = ModelAccess::make<ColorProperty>(data.id, name);
            if (data.color) {
                const auto& c = *data.color;
                ModelAccess::setColor(
                    *p, std::array<short, 4>{short(c[0]), short(c[1]), short(c[2]), short(c[3])});
            }
            if (data.hasTexture) {
                auto texture = ModelAccess::make<AppearanceTexture>();
                ModelAccess::setProperties(*texture, makeProperties(data.textureProperties));
                ModelAccess::setTexture(*p, texture);
            }
            return p;
        }
        case PropertyKind::Filename: {
            auto p = ModelAccess::make<FilenameProperty>(data.id, name);
            ModelAccess::setValue(*p, data.filename);
            return p;
        }
        case PropertyKind::Float: {
            auto p = ModelAccess::make<FloatProperty>(data.id, name);
            ModelAccess::setValue(*p, data.number);
            return p;
        }
        case PropertyKind::Other:
            break;
    }
    return ModelAccess::makePlainProperty(data.id, name);
}

Ptr<Properties> makeProperties(const std::vector<PropertyData>& list) {
    auto properties = ModelAccess::make<Properties>();
    auto& items = ModelAccess::items(*properties);
    items.reserve(list.size());
    for (const PropertyData& p : list) items.push_back(makeProperty(p));
    return properties;
}

// With release, the mesh's vectors are emptied once copied, so that a large
// design is held twice only one mesh at a time.
Ptr<TriangleMesh> makeMesh(const MeshData& m, bool release) {
    Ptr<TriangleMesh> mesh = ModelAccess::makeMesh(
        detail::arrayFrom(m.coordinates), m.coordinates.size(), detail::arrayFrom(m.normals),
        m.normals.size(), detail::arrayFrom(m.textureCoordinates), m.textureCoordinates.size(),
        detail::arrayFrom(m.indices), m.indices.size());
    if (release) {
        MeshData& owned = const_cast<MeshData&>(m);  // the caller handed the records over
        owned = MeshData{};
    }
    return mesh;
}

Ptr<Design> makeDesign(const DesignData& data, bool release) {
    auto design = ModelAccess::make<Design>();

    std::map<std::string, Ptr<Appearance>> appearanceById;
    auto appearances = ModelAccess::make<Appearances>();
    for (const AppearanceData& a : data.appearances) {
        auto appearance = ModelAccess::make<Appearance>();
        ModelAccess::setAppearance(*appearance, a.id, a.name, makeProperties(a.properties));
        ModelAccess::items(*appearances).push_back(appearance);
        appearanceById[a.id] = appearance;
    }
    auto appearanceOf = [&](const std::optional<std::string>& id) -> Ptr<Appearance> {
        return id ? appearanceById.at(*id) : nullptr;
    };

    std::map<std::string, Ptr<Component>> componentById;
    auto components = ModelAccess::make<Components>();
    for (const ComponentData& c : data.components) {
        auto component = ModelAccess::make<Component>();
        ModelAccess::setComponent(*component, componentId(c), c.name, design.get());
        if (c.physical) ModelAccess::setPhysical(*component, *c.physical);
        ModelAccess::items(*components).push_back(component);
        componentById[componentId(c)] = component;
    }

    std::map<std::string, int> occurrenceNumbers;  // per component name, as "Arm:2"
    for (const ComponentData& c : data.components) {
        const Ptr<Component>& component = componentById.at(componentId(c));

        auto bodies = ModelAccess::make<BRepBodies>();
        for (const BodyData& b : c.bodies) {
            auto body = ModelAccess::make<BRepBody>();
            auto faces = ModelAccess::make<BRepFaces>();
            for (const FaceData& f : b.faces) {
                auto face = ModelAccess::make<BRepFace>();
                Ptr<MeshManager> manager;
                if (f.hasMeshManager) {
                    auto meshes = ModelAccess::make<TriangleMeshList>();
                    for (const MeshData& m : f.meshes)
                        ModelAccess::items(*meshes).push_back(makeMesh(m, release));
                    manager = ModelAccess::makeMeshManager(meshes);
                }
                ModelAccess::setFace(*face, appearanceOf(f.appearance), manager, body.get());
                ModelAccess::items(*faces).push_back(face);
            }
            ModelAccess::setBody(*body, b.name, b.visible, appearanceOf(b.appearance), faces,
                                 component.get());
            if (b.physical)
                ModelAccess::setBodyPhysical(*body, b.physical->area, b.physical->volume,
                                             b.physical->centre);
            ModelAccess::items(*bodies).push_back(body);
        }

        auto occurrences = ModelAccess::make<Occurrences>();
        for (const OccurrenceData& o : c.occurrences) {
            const Ptr<Component>& child = componentById.at(o.component);
            auto occurrence = ModelAccess::make<Occurrence>();
            const std::string childName = child->name();
            const int number = ++occurrenceNumbers[childName];
            ModelAccess::setOccurrence(*occurrence, childName + ":" + std::to_string(number), child,
                                       o.visible, appearanceOf(o.appearance), o.transform);
            ModelAccess::items(*occurrences).push_back(occurrence);
        }
        ModelAccess::setCollections(*component, occurrences, bodies);
    }

    Ptr<Component> root;
    if (!data.root.empty())
        root = componentById.at(data.root);
    else if (!data.components.empty())
        root = componentById.at(componentId(data.components.front()));
    ModelAccess::setDesign(*design, data.units, root, components, appearances);
    return design;
}

}  // namespace

void validateDocument(const DocumentData& data) {
    for (size_t i = 0; i < data.products.size(); ++i)
        if (data.products[i].design) validate(i, *data.products[i].design);
}

namespace {

// Every document of the real host carries a creation id from the moment it
// exists; one in the form of a random UUID stands in for it.
std::string newCreationId() {
    static std::mt19937_64 random{std::random_device{}()};
    const uint64_t high = random(), low = random();
    char text[40];
    std::snprintf(text, sizeof text, "%08x-%04x-4%03x-%04x-%012llx",
                  static_cast<unsigned>(high >> 32), static_cast<unsigned>(high >> 16 & 0xffff),
                  static_cast<unsigned>(high & 0xfff),
                  static_cast<unsigned>(0x8000 | (low >> 48 & 0x3fff)),
                  static_cast<unsigned long long>(low & 0xffffffffffffULL));
    return text;
}

Ptr<Document> build(const DocumentData& data, bool release) {
    validateDocument(data);

    auto products = ModelAccess::make<Products>();
    for (const ProductData& p : data.products) {
        if (p.design)
            ModelAccess::items(*products).push_back(makeDesign(*p.design, release));
        else
            ModelAccess::items(*products).push_back(ModelAccess::makeOtherProduct(p.productType));
    }
    auto document = ModelAccess::make<Document>();
    ModelAccess::setDocument(*document, data.name, data.saved, data.version,
                             data.creationId.empty() ? newCreationId() : data.creationId,
                             products);
    return document;
}

}  // namespace

Ptr<Document> buildDocument(const DocumentData& data) {
    return build(data, false);
}

Ptr<Document> buildDocument(DocumentData&& data) {
    return build(data, true);
}

}  // namespace host
