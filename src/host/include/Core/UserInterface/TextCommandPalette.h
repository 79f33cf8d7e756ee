#pragma once
// The "Text Commands" palette (id "TextCommands"), where add-ins write lines of text.

#include <string>

#include <Core/UserInterface/Palette.h>

namespace adsk::core {

class TextCommandPalette : public Palette {
    ADSK_HOST_CLASS("adsk::core::TextCommandPalette", Palette)
  public:
    // Appends the text as one line.
    bool writeText(const std::string& text);

  private:
    TextCommandPalette() : Palette("TextCommands", "Text Commands") {}
};

}  // namespace adsk::core
