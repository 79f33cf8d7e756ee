// quorell-scene info: what a scene holds.
#include <cstdio>
#include <string>

#include "Commands.h"
#include "importers/bip/BipReader.h"
#include "preview/SceneFile.h"

namespace scenetool {

namespace {

void printInfoUsage(std::FILE* out) {
    std::fputs(
        "Usage: quorell-scene info SCENE.bip\n"
        "Prints the counts of groups, objects, triangles (over every placement) and\n"
        "materials, the bounding box in metres (Y up), the units and up axis of the\n"
        "import options, and the cameras.\n"
        "\n"
        "Options:\n"
        "  -h, --help  show this help and exit\n",
        out);
}

void printVector(const char* label, const preview::Vec3& v) {
    std::printf(" %s %g %g %g", label, v[0], v[1], v[2]);
}

}  // namespace

int infoCommand(int argc, char** argv) {
    std::string input;
    for (int i = 0; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "-h" || arg == "--help") {
            printInfoUsage(stdout);
            return kExitOk;
        }
        if ((!arg.empty() && arg[0] == '-') || !input.empty()) {
            std::fprintf(stderr, "quorell-scene info: unexpected argument \"%s\" (see --help)\n", arg.c_str());
            return kExitUsage;
        }
        input = arg;
    }
    if (input.empty()) {
        std::fputs("quorell-scene info: no scene given (see --help)\n", stderr);
        return kExitUsage;
    }
    preview::Scene scene;
    try {
        scene = preview::readPreviewScene(input);
    } catch (const orv::bip::ReadError& error) {
        std::fprintf(stderr, "quorell-scene info: %s\n", error.what());
        return kExitFailed;
    }
    std::printf("groups: %zu\nobjects: %zu\ntriangles: %llu\nmaterials: %zu\n", scene.groups, scene.objects,
                static_cast<unsigned long long>(scene.triangles), scene.materials);
    std::printf("units per metre: %g\nup: %s\n", scene.meterScale, scene.upVector == 2 ? "Z" : "Y");
    preview::Vec3 low, high;
    if (preview::boundingBox(scene, low, high)) {
        std::printf("bounding box (m):");
        printVector("from", low);
        printVector("to", high);
        std::printf("\n");
    } else {
        std::printf("bounding box (m): empty\n");
    }
    if (scene.cameras.empty()) std::printf("camera: none\n");
    for (const auto& camera : scene.cameras) {
        std::printf("camera \"%s\": %s", camera.name.c_str(), camera.orthographic ? "orthographic" : "perspective");
        if (!camera.orthographic) std::printf(" fov %g", camera.fovDegrees);
        printVector("position", camera.position);
        printVector("direction", camera.direction);
        printVector("up", camera.up);
        std::printf("\n");
    }
    for (const auto& problem : scene.problems) std::printf("problem: %s\n", problem.c_str());
    return kExitOk;
}

}  // namespace scenetool
