#pragma once
// The palettes of the user interface.

#include <string>
#include <vector>

#include <Core/Base.h>
#include <Core/UserInterface/Palette.h>

namespace adsk::core {

class Palettes : public Base {
    ADSK_HOST_CLASS("adsk::core::Palettes", Base)
  public:
    size_t count() const { return items_.size(); }
    Ptr<Palette> item(size_t index) const;
    // Null when no palette has that id.
    Ptr<Palette> itemById(const std::string& id) const;

  private:
    Palettes() = default;
    std::vector<Ptr<Palette>> items_;
};

}  // namespace adsk::core
