#pragma once

#include <string>
#include <vector>

#include <Core/Base.h>
#include <Core/UserInterface/Toolbar.h>

namespace adsk::core {
class Toolbar;
}  // namespace adsk::core

namespace adsk::core {

class Toolbars : public Base {
    ADSK_HOST_CLASS("adsk::core::Toolbars", Base)
  public:
    size_t count() const { return items_.size(); }
    Ptr<Toolbar> item(size_t index) const;
    Ptr<Toolbar> itemById(const std::string& id) const;

  private:
    Toolbars() = default;
    std::vector<Ptr<Toolbar>> items_;
};

}  // namespace adsk::core
