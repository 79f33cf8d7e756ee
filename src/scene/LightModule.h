// Renderer modules the scene asks to load, with their options.
#pragma once

#include <cstdint>
#include <string>

#include "scene/LightNode.h"

namespace orv {

// A "load" block naming a renderer module; the options come from writeOptions.
class LightModule : public LightNode {
  public:
    explicit LightModule(std::string name);

    void write(orvSceneapi_oo& oo) override;
    void define(orvSceneapi_oo& oo) override;
    bool isDefined() const override;
    ~LightModule() override = default;
    virtual void writeOptions(orvSceneapi_oo& oo) = 0;

    const std::string& getName() const { return name; }

  private:
    std::string name;
};

// The renderer's import step ("orvrtopt.so") with the import options of a command.
class DefaultRTModule : public LightModule {
  public:
    DefaultRTModule();

    void writeOptions(orvSceneapi_oo& oo) override;

    void setUpVector(uint32_t value) { upVector = value; }
    void setMeterScale(float value) { meterScale = value; }
    void setKeepOriginal(bool value) { keepOriginal = value; }
    void setCenterGeometry(bool value) { centerGeometry = value; }
    void setSnapToGround(bool value) { snapToGround = value; }
    void setAdjustCamera(bool value) { adjustCamera = value; }
    void setAdjustEnvironment(bool value) { adjustEnvironment = value; }
    // An empty name leaves "import_use_camera" out.
    void setUseCamera(std::string name) { useCamera = std::move(name); }

  private:
    bool mode = true;
    bool mergeGroups = true;
    bool mergeObjects = true;
    uint32_t upVector = 0;
    float meterScale = 1.0f;
    bool keepOriginal = false;
    bool centerGeometry = true;
    bool snapToGround = false;
    bool adjustCamera = true;
    bool adjustEnvironment = true;
    std::string useCamera;
    bool ext = true;
};

}  // namespace orv
