// The scene camera; its block also carries the scene's environment shader.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "scene/LightNode.h"

namespace orv {

class LightCamera : public LightNode {
  public:
    static constexpr uint32_t perspective = 0;
    static constexpr uint32_t orthographic = 1;

    explicit LightCamera(std::string name);

    void write(orvSceneapi_oo& oo) override;
    void define(orvSceneapi_oo& oo) override;
    bool isDefined() const override;
    ~LightCamera() override = default;
    // Defines the "orv_envmap" environment shader and returns its number.
    virtual int32_t writeEnvironment(orvSceneapi_oo& oo);

    void setPosition(float x, float y, float z) { position = {x, y, z}; }
    void setDirection(float x, float y, float z) { direction = {x, y, z}; }
    void setUp(float x, float y, float z) { up = {x, y, z}; }
    // Degrees; selects the single-value field of view.
    void setFov(float degrees);
    // 0 perspective, 1 orthographic.
    void setProjection(uint32_t value) { projection = value; }

  private:
    std::string name;
    std::array<double, 3> position{0, 0, 0};
    std::array<double, 3> direction{0, 0, -1};
    std::array<double, 3> lookAt{0, 0, -1};
    std::array<double, 3> up{0, 1, 0};
    float fov = 60.0f;
    std::array<float, 4> fov4{0, 0, 0, 0};
    std::array<float, 4> window{0, 0, 0, 0};
    float nearClip = -1.0f;
    float farClip = -1.0f;
    std::vector<std::shared_ptr<LightNode>> nodes;
    bool hasTransform = false;
    bool hasLookAt = false;
    std::array<double, 16> transform{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    uint32_t projection = perspective;
    uint32_t fovMode = 0;
};

}  // namespace orv
