// quorell-scene: reads Quorell .bip scene files. "cat" writes a scene back
// through the file writer, "info" describes it, "render" makes a picture.
#include <cstdio>
#include <cstring>
#include <string>

#include "Commands.h"

namespace {

void printUsage(std::FILE* out) {
    std::fputs(
        "Usage: quorell-scene COMMAND [ARGUMENTS]\n"
        "Reads Quorell .bip scene files.\n"
        "\n"
        "Commands:\n"
        "  cat SCENE.bip [-o OUT.bip] [--binary]   read and write back through the file writer\n"
        "  info SCENE.bip                          counts, bounding box in metres, camera\n"
        "  render SCENE.bip [-o IMAGE.png] [--size WxH] [--samples N] [--view NAME]\n"
        "                                          render a preview picture\n"
        "\n"
        "quorell-scene COMMAND --help describes a command.\n"
        "Exit status: 0 done, 1 the scene could not be read or written, 2 bad arguments.\n",
        out);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        printUsage(stderr);
        return scenetool::kExitUsage;
    }
    const std::string command = argv[1];
    if (command == "-h" || command == "--help") {
        printUsage(stdout);
        return scenetool::kExitOk;
    }
    if (command == "cat") return scenetool::catCommand(argc - 2, argv + 2);
    if (command == "info") return scenetool::infoCommand(argc - 2, argv + 2);
    if (command == "render") return scenetool::renderCommand(argc - 2, argv + 2);
    std::fprintf(stderr, "quorell-scene: unknown command \"%s\" (see --help)\n", command.c_str());
    return scenetool::kExitUsage;
}
