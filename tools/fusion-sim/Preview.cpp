#include "tools/fusion-sim/Preview.h"

#include <ostream>

#ifdef QUORELL_HAVE_PREVIEW
#include "preview/PreviewRenderer.h"
#include "preview/SceneFile.h"
#endif

namespace fusionsim {

int renderPreview(const std::string& scene, const std::string& picture, std::ostream& out, std::ostream& err) {
#ifdef QUORELL_HAVE_PREVIEW
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
#else
    (void)scene;
    (void)picture;
    (void)out;
    err << "fusion-sim: preview: pictures are not built in (Embree was not found when fusion-sim was built)\n";
    return 2;
#endif
}

}  // namespace fusionsim
