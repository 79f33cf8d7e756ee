#pragma once

#include <Core/Base.h>
#include <Core/Materials/Appearance.h>
#include <Fusion/BRep/BRepBody.h>
#include <Fusion/MeshData/MeshManager.h>

namespace adsk::core {
class Appearance;
}  // namespace adsk::core

namespace adsk::fusion {
class BRepBody;
class MeshManager;
}  // namespace adsk::fusion

namespace adsk::fusion {

using adsk::core::Base;
using adsk::core::Ptr;

class BRepFace : public Base {
    ADSK_HOST_CLASS("adsk::fusion::BRepFace", Base)
  public:
    // The face's own appearance; null when it shows its body's.
    Ptr<core::Appearance> appearance() const { return appearance_; }
    Ptr<MeshManager> meshManager() const { return meshManager_; }
    Ptr<BRepBody> body() const;

  private:
    BRepFace() = default;
    Ptr<core::Appearance> appearance_;
    Ptr<MeshManager> meshManager_;
    const BRepBody* body_ = nullptr;  // the body owns its faces
};

}  // namespace adsk::fusion
