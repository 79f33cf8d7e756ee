#pragma once

#include <string>
#include <vector>

#include <Core/Base.h>
#include <Core/Materials/Appearance.h>

namespace adsk::core {
class Appearance;
}  // namespace adsk::core

namespace adsk::core {

class Appearances : public Base {
    ADSK_HOST_CLASS("adsk::core::Appearances", Base)
  public:
    size_t count() const { return items_.size(); }
    Ptr<Appearance> item(size_t index) const;
    Ptr<Appearance> itemById(const std::string& id) const;
    Ptr<Appearance> itemByName(const std::string& name) const;

  private:
    Appearances() = default;
    std::vector<Ptr<Appearance>> items_;
};

}  // namespace adsk::core
