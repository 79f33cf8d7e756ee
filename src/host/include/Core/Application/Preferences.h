#pragma once

#include <Core/Base.h>
#include <Core/Application/GeneralPreferences.h>

namespace adsk::core {
class GeneralPreferences;
}  // namespace adsk::core

namespace adsk::core {

class Preferences : public Base {
    ADSK_HOST_CLASS("adsk::core::Preferences", Base)
  public:
    Ptr<GeneralPreferences> generalPreferences() const;

  private:
    Preferences() = default;
};

}  // namespace adsk::core
