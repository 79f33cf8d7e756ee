#pragma once

#include <Core/Base.h>
#include <Core/CoreTypeDefs.h>

namespace adsk::core {

class GeneralPreferences : public Base {
    ADSK_HOST_CLASS("adsk::core::GeneralPreferences", Base)
  public:
    DefaultModelingOrientations defaultModelingOrientation() const;
    bool defaultModelingOrientation(DefaultModelingOrientations orientation);

  private:
    GeneralPreferences() = default;
};

}  // namespace adsk::core
