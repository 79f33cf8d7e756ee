#pragma once

#include <string>

#include <Core/Base.h>

namespace adsk::core {

class UnitsManager : public Base {
    ADSK_HOST_CLASS("adsk::core::UnitsManager", Base)
  public:
    // "mm", "cm", "m", "in", "ft" or whatever the design reports.
    std::string defaultLengthUnits() const { return detail::takeText(defaultLengthUnits_raw()); }
    std::string internalUnits() const { return "cm"; }

    char* defaultLengthUnits_raw() const;

  protected:
    explicit UnitsManager(std::string lengthUnits) : lengthUnits_(std::move(lengthUnits)) {}

  private:
    std::string lengthUnits_;
};

}  // namespace adsk::core
