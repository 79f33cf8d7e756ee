// The picture half of fusion-sim --preview, built as a library of its own:
// Embree, its thread pool and libpng load only when a picture is asked for,
// instead of at every start of fusion-sim (they cost a STEP export its start).
#include <exception>
#include <ostream>
#include <string>

#include "preview/PreviewRenderer.h"
#include "preview/SceneFile.h"

extern "C" __attribute__((visibility("default"))) int fusionSimRenderPreview(
    const std::string& scene, const std::string& picture, std::ostream& out, std::ostream& err) {
    try {
        preview::RenderTimes times;
        const preview::Image image = preview::render(preview::readPreviewScene(scene), {}, &times);
        preview::writePng(picture, image);
        out << "preview: " << picture << " (" << image.width << "x" << image.height << ", build "
            << times.buildSeconds << " s, trace " << times.traceSeconds << " s)\n";
        return 0;
    } catch (const std::exception& e) {
        err << "fusion-sim: preview: " << e.what() << "\n";
        return 1;
    }
}
