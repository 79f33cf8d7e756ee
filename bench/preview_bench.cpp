// The synthetic one-million-triangle design: its export (fusion-sim), then
// reading the scene, building Embree's structures and tracing a 1280x720
// picture with 4 samples per pixel, side by side in one run. The goal, a
// picture in under one second, covers building and tracing (the medians of
// repeated renders); reading the file is measured beside it.
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "SummaryLine.h"
#include "SyntheticDesign.h"
#include "preview/PreviewRenderer.h"
#include "preview/SceneFile.h"

namespace fs = std::filesystem;

namespace {

double seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

// CPU time of every thread of this process.
double cpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

struct Medians {
    double build, trace, total, cpu;
};

Medians renderRepeatedly(const preview::Scene& scene, int repeats, const std::string& picture) {
    std::vector<double> build, trace, total, cpu;
    preview::Image image;
    for (int i = 0; i < repeats; ++i) {
        preview::RenderTimes times;
        const double cpuStart = cpuSeconds();
        image = preview::render(scene, {1280, 720, 4, ""}, &times);
        cpu.push_back(cpuSeconds() - cpuStart);
        build.push_back(times.buildSeconds);
        trace.push_back(times.traceSeconds);
        total.push_back(times.buildSeconds + times.traceSeconds);
    }
    if (!picture.empty()) preview::writePng(picture, image);
    return {median(build), median(trace), median(total), median(cpu)};
}

std::string loadAverage() {
    std::ifstream in("/proc/loadavg");
    std::string a, b, c;
    in >> a >> b >> c;
    return in ? a + " " + b + " " + c : "unknown";
}

void printUsage() {
    std::printf(
        "Usage: preview_bench [--repeats N] [PICTURE.png]\n"
        "Exports the synthetic design (250 parts, about one million triangles) with\n"
        "fusion-sim, reads the scene, renders it N times (default 5) at 1280x720 with\n"
        "4 samples per pixel and prints the time of each step, the renders' medians\n"
        "(goal: building Embree's structures and tracing in under one second), and\n"
        "the CPU time they took beside the load average.\n");
}

}  // namespace

int main(int argc, char** argv) {
    int repeats = 5;
    std::string picture;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            printUsage();
            return 0;
        }
        if (arg == "--repeats" && i + 1 < argc) {
            repeats = std::atoi(argv[++i]);
            if (repeats < 1 || repeats > 100) {
                std::fprintf(stderr, "preview_bench: --repeats takes 1 to 100\n");
                return 2;
            }
        } else if (!arg.empty() && arg[0] != '-' && picture.empty()) {
            picture = arg;
        } else {
            std::fprintf(stderr, "preview_bench: unexpected argument \"%s\" (see --help)\n", arg.c_str());
            return 2;
        }
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
        fs::remove_all(folder);
        return 1;
    }
    const double exportTime = seconds(exportStart);

    const auto readStart = std::chrono::steady_clock::now();
    const preview::Scene preview = preview::readPreviewScene(scene.string());
    const double readTime = seconds(readStart);

    const Medians shared = renderRepeatedly(preview, repeats, picture);
    // The same picture when no two placements share a mesh (as in a design
    // whose parts are all different): one bottom-level structure each.
    preview::Scene distinct = preview;
    distinct.meshes.clear();
    for (auto& instance : distinct.instances) {
        preview::Mesh mesh;
        const preview::Mesh& from = preview.meshes[instance.mesh];
        mesh.vertices.reserve(from.vertices.size() + 1);  // room for sharing with Embree
        mesh.vertices = from.vertices;
        mesh.triangles = from.triangles;
        instance.mesh = static_cast<uint32_t>(distinct.meshes.size());
        distinct.meshes.push_back(std::move(mesh));
    }
    const Medians unshared = renderRepeatedly(distinct, repeats, "");

    std::printf("triangles: %llu in %zu placements of %zu distinct meshes, %.1f MB scene\n",
                static_cast<unsigned long long>(preview.triangles), preview.instances.size(), preview.meshes.size(),
                fs::file_size(scene) / 1e6);
    std::printf("%-44s %9.3f s\n", "export (fusion-sim --export)", exportTime);
    std::printf("%-44s %9.3f s\n", "read the scene (reader + builder)", readTime);
    std::printf("medians of %d renders:%22s %9s\n", repeats, "as read", "unshared");
    std::printf("%-44s %9.3f s %9.3f s\n", "  build Embree's structures", shared.build, unshared.build);
    std::printf("%-44s %9.3f s %9.3f s\n", "  trace 1280x720, 4 samples per pixel", shared.trace, unshared.trace);
    std::printf("%-44s %9.3f s %9.3f s (goal < 1 s)\n", "  picture (build + trace)", shared.total, unshared.total);
    std::printf("%-44s %9.3f s %9.3f s (on 2 idle cores the wall time is about half)\n",
                "  CPU time of the picture, all threads", shared.cpu, unshared.cpu);
    std::printf("load average after: %s\n", loadAverage().c_str());
    summaryLine("preview: picture of 1M triangles (build + trace), s", shared.total, "<", 1);
    summaryLine("preview: the same, no mesh shared, s", unshared.total, "<", 1);
    // What the picture would take on the two cores alone: its CPU time over two.
    summaryLine("preview: picture CPU time / 2 cores, s", shared.cpu / 2, "<", 1);
    fs::remove_all(folder);
    return 0;
}
