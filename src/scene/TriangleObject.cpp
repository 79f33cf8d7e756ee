#include "scene/TriangleObject.h"

#include "importers/sceneapi/orvSceneapi_oo.h"
#include "scene/Material.h"

namespace orv {

LightGeometry::LightGeometry(std::string name) : name(std::move(name)) {}

LightGeometry::~LightGeometry() = default;

void LightGeometry::setMaterial(std::shared_ptr<Material> value) {
    material = std::move(value);
}

std::shared_ptr<Material> LightGeometry::getMaterial() const {
    return material;
}

void LightGeometry::setName(const std::string& value) {
    name = value;
}

std::string LightGeometry::getName() const {
    return name;
}

void LightGeometry::markDefined(int64_t objectIdValue) {
    defined = true;
    id = objectIdValue;
}

TriangleObject::TriangleObject(std::string name) : LightGeometry(std::move(name)) {
    material = std::make_shared<Diffuse>("default");
}

namespace {
template <typename T>
void replace(std::vector<T>& target, const T* data, std::size_t count) {
    if (data == nullptr) count = 0;
    target.assign(data, data + count);
}
}  // namespace

void TriangleObject::setVertices(const float* data, std::size_t count) {
    replace(vertices, data, count);
}

void TriangleObject::setTriangles(const int32_t* data, std::size_t count) {
    replace(triangles, data, count);
}

void TriangleObject::setUvs(const float* data, std::size_t count) {
    replace(uvs, data, count);
}

void TriangleObject::setNormals(const float* data, std::size_t count) {
    replace(normals, data, count);
}

bool TriangleObject::validate() {
    if (isDefined()) return true;
    // Counts are element counts, not vertex or triangle counts; these texts are
    // what the renderer user sees in the scene, keep them as they are.
    std::string found;
    if (!normals.empty() && normalIndices.empty() && normals.size() != vertices.size())
        found += "Number of normals does not equal number of vertices";
    if (!normals.empty() && !normalIndices.empty() && normalIndices.size() != triangles.size())
        found += "Normals count does not match number of triangles " +
                 std::to_string(normalIndices.size()) + " vs " + std::to_string(triangles.size());
    if (normals.empty() && !normalIndices.empty()) found += "No normals defined for index";
    if (!uvs.empty() && !uvIndices.empty() && uvIndices.size() != triangles.size())
        found += "UV index count does not match triangle count";
    if (!uvs.empty() && uvIndices.empty() && 2 * vertices.size() != 3 * uvs.size())
        found += "Number of uvs(" + std::to_string(uvs.size()) + ")  does not match vertex count(" +
                 std::to_string(vertices.size()) + ")";
    if (uvs.empty() && !uvIndices.empty()) found += "No uvs defined for index";
    if (!vertexColors.empty() && vertexColors.size() != vertices.size())
        found += "VetexColor count does not match number of vertices";
    if (triangles.empty()) found += "No triangles defined";
    message = std::move(found);
    return !triangles.empty();
}

void TriangleObject::write(orvSceneapi_oo& oo) {
    if (validate()) {
        orvScene_api* api = oo.api();
        api->beginObject(name.c_str(), true);
        oo.flags(flags);
        writeBody(oo);
        if (material) material->write(oo);
        api->endObject();
    }
    if (!message.empty()) oo.error(std::string(message));
}

void TriangleObject::define(orvSceneapi_oo& oo) {
    orvScene_api* api = oo.api();
    api->beginObject(name.c_str(), false);
    const int32_t newId = oo.nextId();
    oo.flags(flags);
    writeBody(oo);
    api->endObject();
    // The definition holds the data now; instances only refer to its id.
    vertices.clear();
    triangles.clear();
    uvs.clear();
    uvIndices.clear();
    normals.clear();
    normalIndices.clear();
    vertexColors.clear();
    markDefined(newId);
}

void TriangleObject::writeBody(orvSceneapi_oo& oo) {
    orvScene_api* api = oo.api();
    if (isDefined()) {
        api->beginGeometry("instance");
        oo.setInt("id", static_cast<int32_t>(objectId()));
        api->endGeometry();
        return;
    }
    // The arrays go to the writer by reference: a large mesh is never copied here.
    api->beginGeometry("triangles");
    oo.setFloat3Array("vertices", vertices);
    oo.setIntArray("triangles", triangles);
    if (!uvIndices.empty()) oo.setIntArray("triangles_uv", uvIndices);
    if (!uvs.empty()) oo.setFloatArray("uv_tex", uvs);
    if (!normalIndices.empty()) oo.setIntArray("triangles_norm", normalIndices);
    if (!normals.empty()) oo.setFloat3Array("normals", normals);
    if (!vertexColors.empty()) oo.setFloat3Array("vcolors", vertexColors);
    api->endGeometry();
}

}  // namespace orv
