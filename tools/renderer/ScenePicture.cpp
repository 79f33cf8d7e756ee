#include "ScenePicture.h"

#include <chrono>
#include <cstdio>
#include <exception>
#include <filesystem>

#ifdef QUORELL_HAVE_PREVIEW
#include "preview/PreviewRenderer.h"
#include "preview/SceneFile.h"
#endif

namespace renderer {

bool picturesBuiltIn() {
#ifdef QUORELL_HAVE_PREVIEW
    return true;
#else
    return false;
#endif
}

std::string renderScenePicture(const std::string& scenePath) {
    const std::string picture = std::filesystem::path(scenePath).replace_extension(".png").string();
#ifdef QUORELL_HAVE_PREVIEW
    try {
        const auto started = std::chrono::steady_clock::now();
        preview::RenderTimes times;
        const preview::Image image = preview::render(preview::readPreviewScene(scenePath), {}, &times);
        preview::writePng(picture, image);
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        char line[160];
        std::snprintf(line, sizeof line, " in %.3f s (build %.3f s, trace %.3f s)", seconds, times.buildSeconds,
                      times.traceSeconds);
        return "picture " + picture + line;
    } catch (const std::exception& e) {
        return "no picture of " + scenePath + ": " + e.what();
    }
#else
    return "no picture of " + scenePath + ": pictures are not built in";
#endif
}

}  // namespace renderer
