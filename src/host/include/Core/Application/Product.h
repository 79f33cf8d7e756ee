#pragma once

#include <string>

#include <Core/Base.h>
#include <Core/Application/UnitsManager.h>

namespace adsk::core {
class UnitsManager;
}  // namespace adsk::core

namespace adsk::core {

class Product : public Base {
    ADSK_HOST_CLASS("adsk::core::Product", Base)
  public:
    std::string productType() const { return detail::takeText(productType_raw()); }
    Ptr<UnitsManager> unitsManager() const { return unitsManager_; }

    char* productType_raw() const;

  protected:
    explicit Product(std::string type) : type_(std::move(type)) {}
    Ptr<UnitsManager> unitsManager_;

  private:
    std::string type_;
};

}  // namespace adsk::core
