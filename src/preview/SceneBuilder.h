// An orvScene_api target that collects a PreviewScene: the group tree resolved
// to world transforms, triangle objects (defined once and placed by id, or
// inline) with their material's diffuse colour and texture, the cameras and
// the import options.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "importers/sceneapi/NullSceneApi.h"
#include "preview/MeshIndex.h"
#include "preview/PreviewScene.h"

namespace preview {

class SceneBuilder : public orv::NullSceneApi {
  public:
    // Texture file names are taken relative to this folder when not absolute.
    explicit SceneBuilder(std::string sceneFolder = ".");

    Scene take() { return std::move(scene); }

    bool beginGroup(const char* name, bool instance) override;
    void endGroup() override;
    bool beginObject(const char* name, bool instance) override;
    void endObject() override;
    bool beginGeometry(const char* name) override;
    void endGeometry() override;
    bool beginLoad(const char* name) override;
    void endLoad() override;
    bool beginCamera(const char* name) override;
    void endCamera() override;
    bool beginMaterial(const char* name, bool instance) override;
    bool useMaterial(const char* name) override;
    void endMaterial() override;
    void bindShaderId(int32_t kind, int32_t shader) override;
    bool openShader(const char* name, const char* type) override;
    bool defineShader(const char* type, int32_t shader) override;
    void endShader() override;
    bool attribute(const char* name, ValueType type, const void* value) override;
    bool shaderInputId(const char* name, int32_t shader) override;
    void transform(const double m[16]) override;
    void setTransform(const double m[16]) override;
    void id(uint32_t value) override;

  private:
    enum class Context { Group, Object, Geometry, Load, Camera, Material, Shader };
    struct Shader {
        std::string type;
        std::array<float, 3> diffuse{0.8f, 0.8f, 0.8f};
        std::string texture;
        int32_t diffuseInput = 0;  // shader number of a texture, 0 for none
    };
    struct PendingObject {
        bool definition = false;
        uint32_t id = 0;
        bool hasMesh = false;
        Mesh mesh;
        int64_t placedId = -1;  // geometry "instance": the defined object it shows
        Matrix local = kIdentity;
        Look look;
    };

    void push(Context context) { contexts.push_back(context); }
    void pop();
    Look lookOf(int32_t surfaceShader) const;
    void geometryAttribute(const std::string& name, ValueType type, const void* value);
    void finishObject();

    std::string folder;
    Scene scene;
    std::vector<Context> contexts;
    std::vector<Matrix> groupWorlds{kIdentity};  // world transform of each open group
    std::vector<Matrix> groupLocals{kIdentity};
    std::vector<PendingObject> objects;           // open objects
    std::map<int32_t, Shader> shaders;
    std::vector<int32_t> openShaders;  // numbers of open shader definitions (-1: unnumbered)
    std::map<std::string, Look> materials;
    struct OpenMaterial {
        std::string name;
        bool definition = false;
        int32_t surface = 0;
    };
    std::vector<OpenMaterial> openMaterials;
    std::map<uint32_t, uint32_t> meshById;
    MeshIndex distinctMeshes;
    bool inCamera = false;
};

}  // namespace preview
