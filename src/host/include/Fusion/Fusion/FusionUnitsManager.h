#pragma once

#include <string>

#include <Core/Base.h>
#include <Core/Application/UnitsManager.h>

namespace adsk::core {
class UnitsManager;
}  // namespace adsk::core

namespace adsk::fusion {

using adsk::core::Base;
using adsk::core::Ptr;

class FusionUnitsManager : public core::UnitsManager {
    ADSK_HOST_CLASS("adsk::fusion::FusionUnitsManager", core::UnitsManager)
  private:
    explicit FusionUnitsManager(std::string lengthUnits) : UnitsManager(std::move(lengthUnits)) {}
};

}  // namespace adsk::fusion
