#include "host/model/ModelAccess.h"

#include "host/model/AppState.h"

namespace host {

using namespace adsk::core;
using namespace adsk::fusion;

Ptr<Product> ModelAccess::makeOtherProduct(std::string type) {
    Ptr<Product> product(new Product(std::move(type)));
    product->unitsManager_ = make<UnitsManager>("cm");
    return product;
}

void ModelAccess::setDocument(Document& d, std::string name, bool saved, std::string version,
                              std::string creationId, Ptr<Products> products) {
    d.name_ = std::move(name);
    d.saved_ = saved;
    d.version_ = saved ? std::move(version) : std::string();
    d.creationId_ = std::move(creationId);
    d.products_ = std::move(products);
    for (size_t i = 0; d.products_ && i < d.products_->count(); ++i)
        if (auto design = d.products_->item(i)->cast<adsk::fusion::Design>())
            design->document_ = &d;
    d.dataFile_ = nullptr;
    if (saved) {
        Ptr<DataFile> file = make<DataFile>();
        file->name_ = d.name_;
        file->id_ = d.creationId_;
        // "v3" -> 3
        int number = 0;
        for (char c : d.version_)
            if (c >= '0' && c <= '9') number = number * 10 + (c - '0');
        file->versionNumber_ = number;
        d.dataFile_ = file;
    }
}

void ModelAccess::setDesign(Design& d, std::string units, Ptr<Component> root,
                            Ptr<Components> components, Ptr<Appearances> appearances) {
    d.unitsManager_ = make<FusionUnitsManager>(std::move(units));
    d.root_ = std::move(root);
    d.components_ = std::move(components);
    d.appearances_ = std::move(appearances);
}

void ModelAccess::setComponent(Component& c, std::string id, std::string name,
                               const Design* design) {
    c.id_ = std::move(id);
    c.name_ = std::move(name);
    c.design_ = design;
}

void ModelAccess::setOccurrence(Occurrence& o, std::string name, Ptr<Component> component,
                                bool visible, Ptr<Appearance> appearance,
                                const std::optional<std::array<double, 16>>& transform) {
    o.name_ = std::move(name);
    o.component_ = std::move(component);
    o.visible_ = visible;
    o.appearance_ = std::move(appearance);
    o.hasTransform_ = transform.has_value();
    if (transform) o.transform_ = *transform;
}

void ModelAccess::setBody(BRepBody& b, std::string name, bool visible, Ptr<Appearance> appearance,
                          Ptr<BRepFaces> faces, const Component* component) {
    b.name_ = std::move(name);
    b.visible_ = visible;
    b.appearance_ = std::move(appearance);
    b.faces_ = std::move(faces);
    b.component_ = component;
}

Ptr<MeshManager> ModelAccess::makeMeshManager(Ptr<TriangleMeshList> meshes) {
    Ptr<MeshManager> manager = make<MeshManager>();
    manager->meshes_ = std::move(meshes);
    return manager;
}

Ptr<TriangleMesh> ModelAccess::makeMesh(float* coordinates, size_t coordinateCount, float* normals,
                                        size_t normalCount, float* uvs, size_t uvCount,
                                        int* indices, size_t indexCount) {
    Ptr<TriangleMesh> mesh = make<TriangleMesh>();
    mesh->coordinates_ = coordinates;
    mesh->coordinateCount_ = coordinates ? coordinateCount : 0;
    mesh->normals_ = normals;
    mesh->normalCount_ = normals ? normalCount : 0;
    mesh->uvs_ = uvs;
    mesh->uvCount_ = uvs ? uvCount : 0;
    mesh->indices_ = indices;
    mesh->indexCount_ = indices ? indexCount : 0;
    return mesh;
}

void ModelAccess::runCommand(const CommandDefinition& definition) {
    const auto& live = detail::liveHandlers();
    Ptr<Command> command = make<Command>(&definition);

    Ptr<CommandCreatedEvent> created = definition.created_;
    auto createdArgs = make<CommandCreatedEventArgs>(Ptr<Event>(created), command);
    // A copy: handlers may add or remove handlers while they run.
    const auto createdHandlers = created->handlers_;
    for (CommandCreatedEventHandler* handler : createdHandlers)
        if (live.count(handler)) handler->notify(createdArgs);

    Ptr<CommandEvent> execute = command->execute_;
    auto executeArgs = make<CommandEventArgs>(Ptr<Event>(execute), command);
    const auto executeHandlers = execute->handlers_;
    for (CommandEventHandler* handler : executeHandlers)
        if (live.count(handler)) handler->notify(executeArgs);
}

Ptr<CommandDefinition> ModelAccess::definitionOf(const ToolbarControl& control) {
    Ptr<CommandControl> command = control.cast<CommandControl>();
    return command ? command->commandDefinition() : nullptr;
}

void ModelAccess::setCamera(Camera& c, const CameraData& data) {
    c.type_ = data.type;
    for (int i = 0; i < 3; ++i) {
        c.eye_[i] = data.eye[i];
        c.target_[i] = data.target[i];
        c.up_[i] = data.up[i];
    }
    c.angle_ = data.perspectiveAngle;
}

}  // namespace host
