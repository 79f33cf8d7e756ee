#pragma once

#include <vector>

#include <Core/Base.h>
#include <Fusion/BRep/BRepFace.h>

namespace adsk::fusion {
class BRepFace;
}  // namespace adsk::fusion

namespace adsk::fusion {

using adsk::core::Base;
using adsk::core::Ptr;

class BRepFaces : public Base {
    ADSK_HOST_CLASS("adsk::fusion::BRepFaces", Base)
  public:
    size_t count() const { return items_.size(); }
    Ptr<BRepFace> item(size_t index) const;

  private:
    BRepFaces() = default;
    std::vector<Ptr<BRepFace>> items_;
};

}  // namespace adsk::fusion
