#include "convert/DesignConverter.h"

#include <algorithm>
#include <charconv>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "convert/ConversionFailure.h"
#include "convert/DocumentKey.h"
#include "scene/Material.h"
#include "scene/OrvGroup.h"
#include "scene/TriangleObject.h"

using adsk::core::Appearance;
using adsk::core::Ptr;

namespace {

// The appearance a face shows: its own, else the one its body resolved.
Ptr<Appearance> effectiveAppearance(const Ptr<adsk::fusion::BRepFace>& face,
                                    const Ptr<Appearance>& bodyAppearance) {
    Ptr<Appearance> own = face->appearance();
    return own ? own : bodyAppearance;
}

// The body's own appearance replaces the override handed down by the occurrence.
Ptr<Appearance> bodyAppearanceOf(const Ptr<adsk::fusion::BRepBody>& body,
                                 const Ptr<Appearance>& appearanceOverride) {
    Ptr<Appearance> own = body->appearance();
    return own ? own : appearanceOverride;
}

// Keeps the mesh's first vertex in the body's mark when it has one. Reads
// the host's coordinate array in place: the copying accessor would copy the
// whole array of every body on every click for three floats.
void firstVertex(const Ptr<adsk::fusion::TriangleMesh>& mesh, BodyMark& mark) {
    std::size_t count = 0;
    float* coordinates = mesh->nodeCoordinatesAsFloat_raw(count);
    if (!coordinates) return;
    if (count >= 3) {
        std::copy(coordinates, coordinates + 3, mark.firstVertex.begin());
        mark.hasFirstVertex = true;
    }
    adsk::core::DeallocateArrayInternal(coordinates);
}

}  // namespace

DesignConverter::DesignConverter(Ptr<adsk::core::Application> app,
                                 Ptr<adsk::core::UserInterface> ui)
    : application(std::move(app)), userInterface(std::move(ui)) {}

DesignConverter::~DesignConverter() = default;

std::shared_ptr<orv::OrvGroup> DesignConverter::convertDocument(
    Ptr<adsk::core::Document> document) {
    required(document);
    auto root = std::make_shared<orv::OrvGroup>(documentKey(document->name()));
    if (Ptr<adsk::core::Products> products = document->products()) {
        const std::size_t count = products->count();
        for (std::size_t i = 0; i < count; ++i) {
            Ptr<adsk::core::Product> product = products->item(i);
            if (!product) continue;
            Ptr<adsk::fusion::Design> design = product;
            if (!design) continue;
            root->addChild(convertComponent(design->rootComponent(), nullptr, true));
        }
    }
    previousSignatures = currentSignatures;
    return root;
}

std::shared_ptr<orv::OrvGroup> DesignConverter::convertComponent(
    Ptr<adsk::fusion::Component> component, Ptr<Appearance> appearanceOverride, bool visible) {
    required(component);
    const std::string key = component->name();
    // Each nested occurrence is one level of this recursion and of the scene's groups.
    struct NestingLevel {
        explicit NestingLevel(int& counter) : depth(counter) { ++depth; }
        ~NestingLevel() { --depth; }
        int& depth;
    } level(nesting);
    if (nesting > kMaxNesting)
        throw std::runtime_error("the design nests components more than " +
                                 std::to_string(kMaxNesting) + " levels deep (at component \"" +
                                 key + "\")");
    auto group = std::make_shared<orv::OrvGroup>(key);
    group->setFlags(groupflags::componentUnchanged);

    ComponentSignature signature = makeSignature(component, appearanceOverride, visible);
    const auto previous = previousSignatures.find(key);
    const bool changed =
        previous == previousSignatures.end() || signaturesDiffer(signature, previous->second);
    group->setFlags(changed ? groupflags::componentChanged : groupflags::componentUnchanged);
    currentSignatures[key] = std::move(signature);

    if (!visible) return group;

    Ptr<adsk::fusion::Occurrences> occurrences = required(component->occurrences());
    const std::size_t occurrenceCount = occurrences->count();
    for (std::size_t i = 0; i < occurrenceCount; ++i) {
        Ptr<adsk::fusion::Occurrence> occurrence = required(occurrences->item(i));
        Ptr<adsk::fusion::Component> child = required(occurrence->component());
        // Only the occurrence's own override applies; an enclosing one is not passed down.
        auto childGroup =
            convertComponent(child, occurrence->appearance(), occurrence->isVisible());

        Ptr<adsk::core::Matrix3D> transform = required(occurrence->transform());
        double m[16];
        for (int column = 0; column < 4; ++column) {
            for (int row = 0; row < 4; ++row) m[row + 4 * column] = transform->getCell(row, column);
        }
        const double scale = unitsPerCentimetre;
        m[12] *= scale;
        m[13] *= scale;
        m[14] *= scale;
        childGroup->setTransform(m);
        group->addChild(childGroup);
    }

    // An unchanged component keeps what the renderer received before: no bodies.
    if (changed) {
        Ptr<adsk::fusion::BRepBodies> bodies = required(component->bRepBodies());
        const std::size_t bodyCount = bodies->count();
        for (std::size_t i = 0; i < bodyCount; ++i) {
            Ptr<adsk::fusion::BRepBody> body = required(bodies->item(i));
            group->addChild(convertBody(body, appearanceOverride, body->isVisible()));
        }
    }
    return group;
}

ComponentSignature DesignConverter::makeSignature(Ptr<adsk::fusion::Component> component,
                                                  Ptr<Appearance> appearanceOverride,
                                                  bool visible) {
    required(component);
    ComponentSignature signature;
    signature.visible = visible;

    Ptr<adsk::fusion::PhysicalProperties> physical = required(component->physicalProperties());
    signature.area = physical->area();
    signature.volume = physical->volume();

    Ptr<adsk::fusion::BRepBodies> bodies = required(component->bRepBodies());
    const std::size_t bodyCount = bodies->count();
    std::vector<std::pair<std::string, int>> facesPerAppearance;
    for (std::size_t i = 0; i < bodyCount; ++i) {
        Ptr<adsk::fusion::BRepBody> body = required(bodies->item(i));
        const Ptr<Appearance> bodyAppearance = bodyAppearanceOf(body, appearanceOverride);
        Ptr<adsk::fusion::BRepFaces> faces = required(body->faces());
        const std::size_t faceCount = faces->count();

        facesPerAppearance.clear();
        for (std::size_t f = 0; f < faceCount; ++f) {
            Ptr<adsk::fusion::BRepFace> face = required(faces->item(f));
            Ptr<Appearance> appearance = effectiveAppearance(face, bodyAppearance);
            if (!appearance) continue;
            const std::string id = appearance->id();
            auto entry = facesPerAppearance.begin();
            while (entry != facesPerAppearance.end() && entry->first != id) ++entry;
            if (entry == facesPerAppearance.end()) {
                facesPerAppearance.emplace_back(id, 1);
            } else {
                ++entry->second;
            }
        }
        for (const auto& [id, count] : facesPerAppearance) {
            char digits[16];
            char* end = std::to_chars(digits, digits + sizeof digits, count).ptr;
            signature.appearanceSummary.append(digits, end);
            signature.appearanceSummary += 'x';
            signature.appearanceSummary += id;
            signature.appearanceSummary += ' ';
        }

        BodyMark& mark = signature.bodies.emplace_back();
        mark.name = body->name();
        mark.visible = body->isVisible();

        if (faceCount > 0) {
            Ptr<adsk::fusion::BRepFace> first = required(faces->item(0));
            Ptr<adsk::fusion::MeshManager> meshManager = first->meshManager();
            Ptr<adsk::fusion::TriangleMeshList> meshes =
                meshManager ? meshManager->displayMeshes() : nullptr;
            if (meshes && meshes->count() > 0) {
                if (Ptr<adsk::fusion::TriangleMesh> mesh = meshes->item(0))
                    firstVertex(mesh, mark);
            }
        }
    }

    Ptr<adsk::fusion::Occurrences> occurrences = required(component->occurrences());
    const std::size_t occurrenceCount = occurrences->count();
    for (std::size_t i = 0; i < occurrenceCount; ++i) {
        Ptr<adsk::fusion::Occurrence> occurrence = required(occurrences->item(i));
        Ptr<adsk::fusion::Component> child = required(occurrence->component());
        signature.childComponents.push_back(child->name());
    }
    settleSignature(signature);
    return signature;
}

std::shared_ptr<orv::OrvGroup> DesignConverter::convertBody(Ptr<adsk::fusion::BRepBody> body,
                                                            Ptr<Appearance> appearanceOverride,
                                                            bool visible) {
    required(body);
    const Ptr<Appearance> bodyAppearance = bodyAppearanceOf(body, appearanceOverride);
    const std::string name = body->name();
    auto group = std::make_shared<orv::OrvGroup>(name);
    group->setFlags(groupflags::emptyBody);
    if (!visible) return group;

    struct FaceSet {
        Ptr<Appearance> appearance;
        std::vector<Ptr<adsk::fusion::BRepFace>> faces;
    };
    // Ordered by appearance id, byte by byte (a prefix sorts first).
    std::map<std::string, FaceSet> byAppearance;
    // A face that resolves to no appearance has no id to sort by: it may only stand alone.
    FaceSet withoutAppearance;

    Ptr<adsk::fusion::BRepFaces> faces = required(body->faces());
    const std::size_t faceCount = faces->count();
    for (std::size_t i = 0; i < faceCount; ++i) {
        Ptr<adsk::fusion::BRepFace> face = required(faces->item(i));
        Ptr<Appearance> appearance = effectiveAppearance(face, bodyAppearance);
        if (!withoutAppearance.faces.empty()) conversionFailure();
        if (!appearance) {
            if (!byAppearance.empty()) conversionFailure();
            withoutAppearance.faces.push_back(std::move(face));
            continue;
        }
        FaceSet& set = byAppearance[appearance->id()];
        if (!set.appearance) set.appearance = appearance;
        set.faces.push_back(std::move(face));
    }

    auto addFaceSet = [&](const FaceSet& set) {
        auto subGroup = group->addGroup(name);
        group->setFlags(groupflags::bodyWithAppearances);
        auto material = std::make_shared<orv::FusionMaterial>(set.appearance);
        for (const auto& face : set.faces) {
            Ptr<adsk::fusion::MeshManager> meshManager = required(face->meshManager());
            Ptr<adsk::fusion::TriangleMeshList> meshes = required(meshManager->displayMeshes());
            const std::size_t meshCount = meshes->count();
            for (std::size_t j = 0; j < meshCount; ++j) {
                auto node = convertMesh(meshes->item(j));
                node->setName(name);
                node->setMaterial(material);
                subGroup->addNode(node);
            }
            subGroup->setFlags(groupflags::appearanceGroup);
        }
    };
    if (!withoutAppearance.faces.empty()) addFaceSet(withoutAppearance);
    for (const auto& entry : byAppearance) addFaceSet(entry.second);
    return group;
}

std::shared_ptr<orv::TriangleObject> DesignConverter::convertMesh(
    Ptr<adsk::fusion::TriangleMesh> mesh) {
    auto node = std::make_shared<orv::TriangleObject>("");
    required(mesh);
    // Each array is copied once from the host and then handed over without a copy.
    std::vector<float> coordinates = mesh->nodeCoordinatesAsFloat();
    std::vector<float> normals = mesh->normalVectorsAsFloat();
    std::vector<float> uvs = mesh->textureCoordinatesAsFloat();
    const float scale = unitsPerCentimetre;
    for (float& value : coordinates) value *= scale;

    const std::size_t coordinateCount = coordinates.size();
    node->setVertices(std::move(coordinates));
    if (normals.size() == coordinateCount) node->setNormals(std::move(normals));
    if (uvs.size() == coordinateCount / 3 * 2) node->setUvs(std::move(uvs));
    node->setTriangles(mesh->nodeIndices());
    return node;
}
