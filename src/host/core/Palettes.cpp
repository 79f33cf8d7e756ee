#include <Core/UserInterface/Palettes.h>
#include <Core/UserInterface/TextCommandPalette.h>

#include "host/model/AppState.h"
#include "host/model/HostArray.h"

namespace adsk::core {

using host::detail::hostText;

char* Palette::id_raw() const {
    return hostText(id_);
}
char* Palette::name_raw() const {
    return hostText(name_);
}

bool TextCommandPalette::writeText(const std::string& text) {
    const auto& sink = host::detail::appState().textPaletteSink;
    if (sink) sink(text);
    return true;
}

Ptr<Palette> Palettes::item(size_t index) const {
    return index < items_.size() ? items_[index] : nullptr;
}

Ptr<Palette> Palettes::itemById(const std::string& id) const {
    for (const auto& p : items_)
        if (p->id() == id) return p;
    return nullptr;
}

}  // namespace adsk::core
