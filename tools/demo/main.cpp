// quorell-demo: writes a demonstration scene to a .bip file, through the same
// file factory and wrapper as the export, so the scene text can be inspected.
#include <cstdio>
#include <cstring>
#include <exception>
#include <string>

#include "DemoScene.h"
#include "importers/sceneapi/orvSceneapi_oo.h"
#include "scene/LightFileFactory.h"

namespace {

constexpr int exitOk = 0;
constexpr int exitFailed = 1;
constexpr int exitUsage = 2;

void printUsage(std::FILE* out) {
    std::fputs(
        "Usage: quorell-demo [FILE]\n"
        "Writes a demonstration Quorell scene (import options, a group tree with\n"
        "transforms, meshes with normals and uvs, diffuse and appearance materials,\n"
        "a camera with its environment) to FILE, by default demo.bip.\n"
        "FILE \"-\" writes the scene to standard output.\n"
        "\n"
        "Options:\n"
        "  -h, --help  show this help and exit\n"
        "\n"
        "Exit status: 0 written, 1 the file could not be written, 2 bad arguments.\n",
        out);
}

int writeDemo(const std::string& path) {
    orv::LightFileFactory factory(path);
    orv::orvSceneapi_oo oo(factory);
    if (oo.api() == nullptr) {
        std::fprintf(stderr, "quorell-demo: no scene writer for \"%s\"\n", path.c_str());
        return exitFailed;
    }
    // Indented text with text arrays, as the export writes it.
    oo.api()->setFlags(1);

    auto module = demo::makeModule();
    auto camera = demo::makeCamera();
    module->setUseCamera("Active Camera");
    oo.writeNode(*module);
    oo.writeNode(*camera);
    auto root = demo::makeScene();
    oo.writeNode(*root);
    factory.close();
    return exitOk;
}

}  // namespace

int main(int argc, char** argv) {
    std::string path = "demo.bip";
    bool havePath = false;
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (std::strcmp(arg, "-h") == 0 || std::strcmp(arg, "--help") == 0) {
            printUsage(stdout);
            return exitOk;
        }
        if (arg[0] == '-' && arg[1] != '\0') {
            std::fprintf(stderr, "quorell-demo: unknown option \"%s\" (see --help)\n", arg);
            return exitUsage;
        }
        if (havePath) {
            std::fprintf(stderr, "quorell-demo: only one output file may be given (see --help)\n");
            return exitUsage;
        }
        if (arg[0] == '\0') {
            std::fprintf(stderr, "quorell-demo: the output file name is empty\n");
            return exitUsage;
        }
        path = arg;
        havePath = true;
    }

    try {
        const int status = writeDemo(path);
        if (status == exitOk && path != "-")
            std::printf("quorell-demo: wrote \"%s\"\n", path.c_str());
        return status;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "quorell-demo: %s\n", e.what());
        return exitFailed;
    }
}
