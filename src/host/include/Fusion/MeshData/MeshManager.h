#pragma once

#include <Core/Base.h>
#include <Fusion/MeshData/TriangleMeshList.h>

namespace adsk::fusion {
class TriangleMeshList;
}  // namespace adsk::fusion

namespace adsk::fusion {

using adsk::core::Base;
using adsk::core::Ptr;

class MeshManager : public Base {
    ADSK_HOST_CLASS("adsk::fusion::MeshManager", Base)
  public:
    // The meshes the host keeps for drawing; no new tessellation is made.
    Ptr<TriangleMeshList> displayMeshes() const { return meshes_; }

  private:
    MeshManager() = default;
    Ptr<TriangleMeshList> meshes_;
};

}  // namespace adsk::fusion
