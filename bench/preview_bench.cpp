// The synthetic one-million-triangle design: its export (fusion-sim), then
// reading the scene, building Embree's structures and tracing a 1280x720
// picture with 4 samples per pixel, side by side in one run.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

#include "SyntheticDesign.h"
#include "preview/PreviewRenderer.h"
#include "preview/SceneFile.h"

namespace fs = std::filesystem;

namespace {

double seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

std::string loadAverage() {
    std::ifstream in("/proc/loadavg");
    std::string a, b, c;
    in >> a >> b >> c;
    return in ? a + " " + b + " " + c : "unknown";
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::printf(
            "Usage: preview_bench [PICTURE.png]\n"
            "Exports the synthetic design (250 parts, about one million triangles) with\n"
            "fusion-sim, reads the scene, renders it at 1280x720 with 4 samples per pixel\n"
            "and prints the time of each step (goal: the picture in under one second).\n");
        return 0;
    }
    const fs::path folder = fs::temp_directory_path() / ("preview_bench_" + std::to_string(::getpid()));
    fs::create_directories(folder);
    const fs::path design = folder / "synthetic.json", scene = folder / "synthetic.bip";
    std::ofstream(design) << makeDesign(250).dump();
    std::printf("load average before: %s\n", loadAverage().c_str());

    const auto exportStart = std::chrono::steady_clock::now();
    const std::string command = std::string(FUSION_SIM_PATH) + " '" + design.string() + "' --export '" +
                                scene.string() + "' > /dev/null";
    if (std::system(command.c_str()) != 0) {
        std::fprintf(stderr, "preview_bench: the export failed: %s\n", command.c_str());
        return 1;
    }
    const double exportTime = seconds(exportStart);

    const auto readStart = std::chrono::steady_clock::now();
    const preview::Scene preview = preview::readPreviewScene(scene.string());
    const double readTime = seconds(readStart);
    preview::RenderTimes times;
    const preview::Image image = preview::render(preview, {1280, 720, 4, ""}, &times);
    if (argc > 1) preview::writePng(argv[1], image);

    std::printf("triangles: %llu in %zu placements, %.1f MB scene\n",
                static_cast<unsigned long long>(preview.triangles), preview.instances.size(),
                fs::file_size(scene) / 1e6);
    std::printf("%-40s %9.3f s\n", "export (fusion-sim --export)", exportTime);
    std::printf("%-40s %9.3f s\n", "read the scene (reader + builder)", readTime);
    std::printf("%-40s %9.3f s\n", "build Embree's structures", times.buildSeconds);
    std::printf("%-40s %9.3f s\n", "trace 1280x720, 4 samples per pixel", times.traceSeconds);
    std::printf("%-40s %9.3f s (goal < 1 s)\n", "picture (build + trace)", times.buildSeconds + times.traceSeconds);
    std::printf("load average after: %s\n", loadAverage().c_str());
    fs::remove_all(folder);
    return 0;
}
