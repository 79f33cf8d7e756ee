// A scene file read into a PreviewScene.
#pragma once

#include <string>
#include <string_view>

#include "preview/PreviewScene.h"

namespace preview {

// Throws orv::bip::ReadError when the file cannot be read.
Scene readPreviewScene(const std::string& path);
// The scene text (already in memory); `path` names it and locates its textures.
Scene readPreviewScene(std::string_view text, const std::string& path);

}  // namespace preview
