#include "tools/fusion-sim/Preview.h"

#include <filesystem>
#include <ostream>

#include "platform/Platform.h"

namespace fusionsim {

int renderPreview(const std::string& scene, const std::string& picture, std::ostream& out, std::ostream& err) {
#ifdef FUSION_SIM_PREVIEW_MODULE
    // The renderer is the library beside this program (PreviewModule.cpp).
    const std::filesystem::path self(platform::currentProgramPath());
    const std::filesystem::path module =
        self.parent_path() / platform::libraryFileName(L"fusion-sim-preview");
    platform::ModuleHandle library = platform::loadLibrary(module.wstring());
    using Render = int (*)(const std::string&, const std::string&, std::ostream&, std::ostream&);
    const auto render = reinterpret_cast<Render>(
        library ? platform::getProcAddress(library, "fusionSimRenderPreview") : nullptr);
    if (!render) {
        err << "fusion-sim: preview: cannot load the picture renderer: "
            << (library ? module.string() + " does not export fusionSimRenderPreview"
                        : platform::libraryError())
            << "\n";
        return 2;
    }
    return render(scene, picture, out, err);  // the library stays loaded until the end
#else
    (void)scene;
    (void)picture;
    (void)out;
    err << "fusion-sim: preview: pictures are not built in (Embree was not found when fusion-sim was built)\n";
    return 2;
#endif
}

}  // namespace fusionsim
