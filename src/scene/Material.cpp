#include "scene/Material.h"

#include "importers/sceneapi/orvSceneapi_oo.h"

namespace orv {

namespace {
constexpr int32_t surfaceShader = 0;
constexpr uint32_t diffuseFlags = 4096;
}  // namespace

Material::Material(std::string name) : name(std::move(name)) {}

void Material::write(orvSceneapi_oo& oo) {
    orvScene_api* api = oo.api();
    if (defined) {
        api->useMaterial(name.c_str());
        return;
    }
    api->beginMaterial(name.c_str(), true);
    writeShader(oo);
    api->endMaterial();
}

void Material::define(orvSceneapi_oo& oo) {
    orvScene_api* api = oo.api();
    api->beginMaterial(name.c_str(), false);
    writeShader(oo);
    api->endMaterial();
    defined = true;
}

Diffuse::Diffuse(std::string name) : Material(std::move(name)) {}

void Diffuse::writeShader(orvSceneapi_oo& oo) {
    static constexpr float defaultVertexColor[3] = {0.8f, 0.8f, 0.8f};
    int32_t vertexColorShader = 0;
    if (vertexColor) {
        vertexColorShader = oo.beginShader("vertex_color");
        oo.setColor("default_color", defaultVertexColor);
        oo.endShader();
    }
    const int32_t id = oo.beginShader("orv_diffuse");
    oo.setColor("diffuse", color.data());
    if (vertexColor) oo.api()->shaderInputId("diffuse", vertexColorShader);
    oo.endShader();
    oo.api()->bindShaderId(surfaceShader, id);
    oo.flags(diffuseFlags);
}

FusionMaterial::FusionMaterial() : Material("Generic material") {}

void FusionMaterial::writeShader(orvSceneapi_oo& oo) {
    orvScene_api* api = oo.api();
    int32_t textureShader = 0;
    if (!texture.empty()) {
        static constexpr int32_t uvProjection = 4;
        static constexpr int32_t uvFlags = 44;
        textureShader = oo.beginShader("texture2_rgb");
        api->attribute("uv_projection", vtInt, &uvProjection);
        api->attribute("uv_flags", vtInt, &uvFlags);
        oo.setString("texture", texture);
        oo.endShader();
    }
    const int32_t id = oo.beginShader("orv_diffuse");
    api->attribute("diffuse", vtFloat3, color.data());
    if (!texture.empty()) api->shaderInputId("diffuse", textureShader);
    oo.endShader();
    api->bindShaderId(surfaceShader, id);
}

}  // namespace orv
