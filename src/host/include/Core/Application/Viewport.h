#pragma once

#include <Core/Base.h>
#include <Core/Application/Camera.h>

namespace adsk::core {
class Camera;
}  // namespace adsk::core

namespace adsk::core {

class Viewport : public Base {
    ADSK_HOST_CLASS("adsk::core::Viewport", Base)
  public:
    // A copy of the viewport's camera.
    Ptr<Camera> camera() const;
    bool camera(const Ptr<Camera>& camera);
    int width() const { return 1280; }
    int height() const { return 720; }

  private:
    Viewport() = default;
};

}  // namespace adsk::core
