// A scene that uses every operation of orvScene_api with awkward values:
// hex-form names, NaN, empty and long arrays, string arrays, lists, captured
// anonymous shaders and chunks the caller built itself. Written onto the file
// writer directly and through the live link, it must give the same bytes.
#pragma once

class orvScene_api;

namespace testscene {

// Starts with a root group named "Every Call" (the renderer's model set name)
// and never calls setFlags.
void writeEveryCall(orvScene_api& api);

}  // namespace testscene
