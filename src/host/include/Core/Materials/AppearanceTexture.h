#pragma once

#include <Core/Base.h>
#include <Core/Materials/Properties.h>

namespace adsk::core {
class Properties;
}  // namespace adsk::core

namespace adsk::core {

class AppearanceTexture : public Base {
    ADSK_HOST_CLASS("adsk::core::AppearanceTexture", Base)
  public:
    Ptr<Properties> properties() const { return properties_; }

  private:
    AppearanceTexture() = default;
    Ptr<Properties> properties_;
};

}  // namespace adsk::core
