// quorell-scene render: a preview picture of a scene.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>

#include "Commands.h"
#include "importers/bip/BipReader.h"
#include "preview/SceneFile.h"
#ifdef QUORELL_HAVE_PREVIEW
#include "preview/PreviewRenderer.h"
#endif

namespace scenetool {

namespace {

void printRenderUsage(std::FILE* out) {
    std::fputs(
        "Usage: quorell-scene render SCENE.bip [-o IMAGE.png] [--size WxH] [--samples N] [--view NAME]\n"
        "Renders a preview picture of the scene: diffuse colours and textures, a head\n"
        "light and ambient occlusion over a neutral ground.\n"
        "\n"
        "Options:\n"
        "  -o FILE       the picture, by default SCENE with the extension .png\n"
        "  --size WxH    picture size in pixels (default 960x540)\n"
        "  --samples N   samples per pixel, 1 to 256 (default 4)\n"
        "  --view NAME   a camera of the scene by name, or iso, front, back, left,\n"
        "                right, top (views fitting the scene); by default the\n"
        "                scene's first camera, else iso\n"
        "  -h, --help    show this help and exit\n",
        out);
}

bool parsePositive(const std::string& text, int& value) {
    char* end = nullptr;
    const long v = std::strtol(text.c_str(), &end, 10);
    if (end == text.c_str() || *end != '\0' || v < 1 || v > 16384) return false;
    value = static_cast<int>(v);
    return true;
}

}  // namespace

int renderCommand(int argc, char** argv) {
    std::string input, output, view;
    int width = 960, height = 540, samples = 4;
    for (int i = 0; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "-h" || arg == "--help") {
            printRenderUsage(stdout);
            return kExitOk;
        }
        const bool takesValue = arg == "-o" || arg == "--size" || arg == "--samples" || arg == "--view";
        if (takesValue && i + 1 >= argc) {
            std::fprintf(stderr, "quorell-scene render: %s needs a value (see --help)\n", arg.c_str());
            return kExitUsage;
        }
        if (arg == "-o") {
            output = argv[++i];
        } else if (arg == "--size") {
            const std::string size = argv[++i];
            const size_t x = size.find('x');
            if (x == std::string::npos || !parsePositive(size.substr(0, x), width) ||
                !parsePositive(size.substr(x + 1), height)) {
                std::fprintf(stderr, "quorell-scene render: --size takes WxH, 1 to 16384 each (got \"%s\")\n",
                             size.c_str());
                return kExitUsage;
            }
        } else if (arg == "--samples") {
            if (!parsePositive(argv[++i], samples) || samples > 256) {
                std::fputs("quorell-scene render: --samples takes 1 to 256\n", stderr);
                return kExitUsage;
            }
        } else if (arg == "--view") {
            view = argv[++i];
        } else if ((!arg.empty() && arg[0] == '-') || !input.empty()) {
            std::fprintf(stderr, "quorell-scene render: unexpected argument \"%s\" (see --help)\n", arg.c_str());
            return kExitUsage;
        } else {
            input = arg;
        }
    }
    if (input.empty()) {
        std::fputs("quorell-scene render: no scene given (see --help)\n", stderr);
        return kExitUsage;
    }
#ifdef QUORELL_HAVE_PREVIEW
    if (output.empty()) output = std::filesystem::path(input).replace_extension(".png").string();
    try {
        const preview::Scene scene = preview::readPreviewScene(input);
        preview::RenderTimes times;
        const preview::Image image = preview::render(scene, {width, height, samples, view}, &times);
        preview::writePng(output, image);
        std::printf("%s: %dx%d, %d samples, build %.3f s, trace %.3f s\n", output.c_str(), width, height, samples,
                    times.buildSeconds, times.traceSeconds);
    } catch (const std::invalid_argument& error) {
        std::fprintf(stderr, "quorell-scene render: %s\n", error.what());
        return kExitUsage;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "quorell-scene render: %s\n", error.what());
        return kExitFailed;
    }
    return kExitOk;
#else
    std::fputs("quorell-scene render: pictures are not built in (Embree was not found when this program was built)\n",
               stderr);
    return kExitFailed;
#endif
}

}  // namespace scenetool
