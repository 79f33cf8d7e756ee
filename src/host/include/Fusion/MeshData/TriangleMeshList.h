#pragma once

#include <vector>

#include <Core/Base.h>
#include <Fusion/MeshData/TriangleMesh.h>

namespace adsk::fusion {
class TriangleMesh;
}  // namespace adsk::fusion

namespace adsk::fusion {

using adsk::core::Base;
using adsk::core::Ptr;

class TriangleMeshList : public Base {
    ADSK_HOST_CLASS("adsk::fusion::TriangleMeshList", Base)
  public:
    size_t count() const { return items_.size(); }
    Ptr<TriangleMesh> item(size_t index) const;
    // The finest mesh (most triangles, first on ties); null when there is none.
    Ptr<TriangleMesh> bestMesh() const;

  private:
    TriangleMeshList() = default;
    std::vector<Ptr<TriangleMesh>> items_;
};

}  // namespace adsk::fusion
