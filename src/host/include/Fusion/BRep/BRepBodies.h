#pragma once

#include <string>
#include <vector>

#include <Core/Base.h>
#include <Fusion/BRep/BRepBody.h>

namespace adsk::fusion {
class BRepBody;
}  // namespace adsk::fusion

namespace adsk::fusion {

using adsk::core::Base;
using adsk::core::Ptr;

class BRepBodies : public Base {
    ADSK_HOST_CLASS("adsk::fusion::BRepBodies", Base)
  public:
    size_t count() const { return items_.size(); }
    Ptr<BRepBody> item(size_t index) const;
    Ptr<BRepBody> itemByName(const std::string& name) const;

  private:
    BRepBodies() = default;
    std::vector<Ptr<BRepBody>> items_;
};

}  // namespace adsk::fusion
