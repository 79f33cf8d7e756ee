// Surface materials written inside object blocks: a material block holding
// numbered shader definitions and the surface binding of one of them.
#pragma once

#include <array>
#include <string>

#include "scene/LightNode.h"

namespace adsk::core {
template <class T>
class Ptr;
class Appearance;
}  // namespace adsk::core

namespace orv {

class Material : public LightNode {
  public:
    explicit Material(std::string name);

    // Inline material block, or only a reference once the material is defined.
    void write(orvSceneapi_oo& oo) override;
    // A "#define" material block; later writes refer to it by name.
    void define(orvSceneapi_oo& oo) override;
    bool isDefined() const override { return defined; }
    ~Material() override = default;
    // Shader definitions and the shader binding inside the material block.
    virtual void writeShader(orvSceneapi_oo& oo) = 0;

    const std::string& getName() const { return name; }
    void setName(std::string value) { name = std::move(value); }

  private:
    bool defined = false;
    std::string name;
};

// A plain coloured diffuse material; every geometry starts with one named "default".
class Diffuse : public Material {
  public:
    explicit Diffuse(std::string name);

    void writeShader(orvSceneapi_oo& oo) override;

    const std::array<float, 3>& getColor() const { return color; }
    void setColor(float r, float g, float b) { color = {r, g, b}; }
    bool usesVertexColor() const { return vertexColor; }

  private:
    std::array<float, 3> color{0.75f, 0.5f, 0.5f};
    bool vertexColor = false;
};

// A material taken from a host appearance: a diffuse colour and an optional
// colour texture. The default form stands for "no appearance".
class FusionMaterial : public Material {
  public:
    FusionMaterial();
    // Filled from a host appearance (null: the default form). Defined with the
    // design converter, the only part of the add-in that reads appearances.
    explicit FusionMaterial(adsk::core::Ptr<adsk::core::Appearance> appearance);

    void writeShader(orvSceneapi_oo& oo) override;

    const std::array<float, 3>& getColor() const { return color; }
    void setColor(float r, float g, float b) { color = {r, g, b}; }
    const std::string& getTexture() const { return texture; }
    // Full path of the colour image; empty means untextured.
    void setTexture(std::string path) { texture = std::move(path); }

  private:
    std::array<float, 3> color{1.0f, 1.0f, 1.0f};
    std::string texture;
};

}  // namespace orv
