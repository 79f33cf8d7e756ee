// The picture of a received scene, rendered from its .bip file.
#pragma once

#include <string>

namespace renderer {

// Whether this build renders pictures (Embree was found).
bool picturesBuiltIn();

// Renders the scene file to the same path with the extension .png. Returns
// the log line: where the picture went and how long it took, or why not.
std::string renderScenePicture(const std::string& scenePath);

}  // namespace renderer
