#pragma once

#include <string>
#include <vector>

#include <Core/Base.h>
#include <Core/UserInterface/Workspace.h>

namespace adsk::core {
class Workspace;
}  // namespace adsk::core

namespace adsk::core {

class Workspaces : public Base {
    ADSK_HOST_CLASS("adsk::core::Workspaces", Base)
  public:
    size_t count() const { return items_.size(); }
    Ptr<Workspace> item(size_t index) const;
    Ptr<Workspace> itemById(const std::string& id) const;

  private:
    Workspaces() = default;
    std::vector<Ptr<Workspace>> items_;
};

}  // namespace adsk::core
