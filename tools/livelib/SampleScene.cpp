#include "SampleScene.h"

#include <vector>

#include "importers/sceneapi/orvScene_api.h"

namespace livelink {

namespace {

constexpr uint32_t kComponentChanged = 0x8001;
constexpr uint32_t kComponentUnchanged = 0x0001;
constexpr uint32_t kBodyWithSubGroups = 0x0400;
constexpr uint32_t kAppearanceGroup = 0x10000;

void option(orvScene_api& api, const char* name, bool on) {
    const int32_t value = on ? 1 : 0;
    api.attribute(name, vtBool, &value);
}

// A strip of triangles: n triangles over n + 2 vertices.
SampleMesh makeMesh(int triangles, float offset) {
    SampleMesh mesh;
    const int vertexCount = triangles + 2;
    mesh.vertices.reserve(size_t(vertexCount) * 3);
    mesh.normals.reserve(size_t(vertexCount) * 3);
    for (int v = 0; v < vertexCount; ++v) {
        mesh.vertices.insert(mesh.vertices.end(),
                             {float(v / 2) * 0.5f + offset, float(v % 2) * 0.25f, offset * 0.1f});
        mesh.normals.insert(mesh.normals.end(), {0.0f, 0.0f, 1.0f});
    }
    mesh.indices.reserve(size_t(triangles) * 3);
    for (int t = 0; t < triangles; ++t) {
        if (t % 2 == 0)
            mesh.indices.insert(mesh.indices.end(), {t, t + 1, t + 2});
        else
            mesh.indices.insert(mesh.indices.end(), {t + 1, t, t + 2});
    }
    return mesh;
}

float meshOffset(const SampleSceneOptions& o, int component) {
    return float(o.variant) + float(component);
}

void writeMesh(orvScene_api& api, const std::string& body, const SampleMesh& mesh, int shader) {
    api.beginObject(body.c_str(), true);
    api.beginGeometry("triangles");
    const auto vertexCount = int32_t(mesh.vertices.size() / 3);
    const ArrayRef vertexArray{mesh.vertices.data(), vertexCount};
    const ArrayRef normalArray{mesh.normals.data(), vertexCount};
    const ArrayRef indexArray{mesh.indices.data(), int32_t(mesh.indices.size())};
    api.attribute("vertices", vtFloat3Array, &vertexArray);
    api.attribute("normals", vtFloat3Array, &normalArray);
    api.attribute("triangles", vtIntArray, &indexArray);
    api.endGeometry();
    api.beginMaterial(body.c_str(), true);
    api.bindShaderId(0, shader);
    api.endMaterial();
    api.endObject();
}

}  // namespace

std::vector<SampleMesh> makeSampleMeshes(const SampleSceneOptions& o) {
    std::vector<SampleMesh> meshes;
    for (int c = 0; c < o.components; ++c)
        meshes.push_back(makeMesh(o.trianglesPerComponent, meshOffset(o, c)));
    return meshes;
}

void writeSampleScene(orvScene_api& api, const SampleSceneOptions& o,
                      const std::vector<SampleMesh>* meshes) {
    api.print("Quorell SceneApi oo 12.0.0  (built Sun Dec  6 03:00:00 2026)");
    api.version(9);
    api.groupAttribute("process identifier", ("Fusion 360 " + o.name + ", 0x4d2").c_str());

    api.beginLoad("orvrtopt.so");
    option(api, "import_mode", true);
    option(api, "import_merge_groups", true);
    option(api, "import_merge_objects", true);
    const int32_t up = 2;
    api.attribute("import_up_vector", vtInt, &up);
    const float meterScale = 100.0f;
    api.attribute("meter_scale", vtFloat, &meterScale);
    option(api, "import_keep_original", false);
    option(api, "import_center_geometry", false);
    option(api, "import_snap_to_ground", false);
    option(api, "import_adjust_camera", !o.update);
    option(api, "import_adjust_environment", !o.update);
    api.attribute("import_use_camera", vtString, "Active Camera");
    option(api, "ext", true);
    api.endLoad();

    api.beginCamera("Active Camera");
    const double eye[3] = {10.0, -20.0, 15.5}, target[3] = {0, 0, 0};
    api.attribute("position", vtDouble3, eye);
    api.attribute("target", vtDouble3, target);
    const float fov = 0.6f;
    api.attribute("fov", vtFloat, &fov);
    api.endCamera();

    api.beginGroup(o.name.c_str(), true);
    int shader = 0;
    for (int c = 0; c < o.components; ++c) {
        const bool changed = !o.update || c == o.changedComponent;
        const std::string component =
            "Component" + std::to_string(c % 2);  // names repeat, as occurrences do
        api.beginGroup(component.c_str(), true);
        api.flags(changed ? kComponentChanged : kComponentUnchanged);
        double m[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, double(c) * 3.0, 0.5, 0, 1};
        api.transform(m);
        if (changed) {
            const std::string body = "Body " + std::to_string(c);
            const float rgb[3] = {0.2f * float(c % 5), 0.5f, 0.8f};
            api.beginGroup(body.c_str(), true);
            api.flags(kBodyWithSubGroups);
            api.beginGroup(body.c_str(), true);
            api.flags(kAppearanceGroup);
            api.defineShader("orv_diffuse", ++shader);
            api.attribute("diffuse", vtFloat3, rgb);
            api.endShader();
            if (meshes && size_t(c) < meshes->size())
                writeMesh(api, body, (*meshes)[size_t(c)], shader);
            else
                writeMesh(api, body, makeMesh(o.trianglesPerComponent, meshOffset(o, c)), shader);
            api.endGroup();
            api.endGroup();
        }
        api.endGroup();
    }
    api.endGroup();
}

}  // namespace livelink
