// A scene that uses every operation of orvScene_api with awkward values, played
// from the call script tests/data/writer/every-call.calls. Its text for each
// flag set is checked in beside it; the live link and the renderer must deliver
// the same bytes.
#pragma once

#include <cstdint>
#include <string>

class orvScene_api;

namespace testscene {

// Starts with a root group named "Every Call" (the renderer's model set name)
// and never calls setFlags.
void writeEveryCall(orvScene_api& api);

// The flag sets with a checked-in text, and that text.
inline constexpr uint32_t kEveryCallFlags[] = {1u, 2u, 0x400001u};
std::string everyCallText(uint32_t flags);

}  // namespace testscene
