#include "preview/SceneFile.h"

#include <filesystem>

#include "importers/bip/BipReader.h"
#include "preview/SceneBuilder.h"

namespace preview {

namespace {

std::string folderOf(const std::string& path) {
    const auto parent = std::filesystem::path(path).parent_path();
    return parent.empty() ? "." : parent.string();
}

orv::bip::ReadOptions noLayout() {
    orv::bip::ReadOptions options;
    options.mirrorLayout = false;
    return options;
}

}  // namespace

Scene readPreviewScene(const std::string& path) {
    SceneBuilder builder(folderOf(path));
    orv::bip::readSceneFile(path, builder, noLayout());
    return builder.take();
}

Scene readPreviewScene(std::string_view text, const std::string& path) {
    SceneBuilder builder(folderOf(path));
    orv::bip::readSceneText(text, path, builder, noLayout());
    return builder.take();
}

}  // namespace preview
