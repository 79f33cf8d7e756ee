// quorell-scene cat: the scene read and written back through the file writer.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "Commands.h"
#include "importers/bip/BipReader.h"
#include "importers/sceneapi/orvScene_api_file.h"

namespace scenetool {

namespace {

void printCatUsage(std::FILE* out) {
    std::fputs(
        "Usage: quorell-scene cat SCENE.bip [-o OUT.bip] [--binary]\n"
        "Reads the scene and writes it back through the scene file writer, to\n"
        "standard output or OUT.bip. Without --binary the layout follows the file\n"
        "(indentation, arrays as text or binary), so a file the writer made comes\n"
        "back byte for byte; --binary writes large numeric arrays in binary form.\n"
        "\n"
        "Options:\n"
        "  -o FILE     write to FILE instead of standard output\n"
        "  --binary    numeric arrays in binary form\n"
        "  -h, --help  show this help and exit\n",
        out);
}

}  // namespace

int catCommand(int argc, char** argv) {
    std::string input, output;
    bool binary = false;
    for (int i = 0; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "-h" || arg == "--help") {
            printCatUsage(stdout);
            return kExitOk;
        }
        if (arg == "--binary") {
            binary = true;
        } else if (arg == "-o") {
            if (i + 1 >= argc) {
                std::fputs("quorell-scene cat: -o needs a file name\n", stderr);
                return kExitUsage;
            }
            output = argv[++i];
        } else if (!arg.empty() && arg[0] == '-') {
            std::fprintf(stderr, "quorell-scene cat: unknown option \"%s\" (see --help)\n", arg.c_str());
            return kExitUsage;
        } else if (input.empty()) {
            input = arg;
        } else {
            std::fputs("quorell-scene cat: only one scene may be given (see --help)\n", stderr);
            return kExitUsage;
        }
    }
    if (input.empty()) {
        std::fputs("quorell-scene cat: no scene given (see --help)\n", stderr);
        return kExitUsage;
    }
    std::unique_ptr<FILE, int (*)(FILE*)> file(nullptr, &std::fclose);
    if (!output.empty()) {
        file.reset(std::fopen(output.c_str(), "wb"));
        if (!file) {
            std::fprintf(stderr, "quorell-scene cat: %s: cannot open: %s\n", output.c_str(),
                         std::strerror(errno));
            return kExitFailed;
        }
    }
    FILE* stream = file ? file.get() : stdout;
    try {
        orvScene_api_file writer(stream, binary);
        orv::bip::ReadOptions options;
        if (binary) options.binaryArrays = true;
        orv::bip::readSceneFile(input, writer, options);
    } catch (const orv::bip::ReadError& error) {
        std::fprintf(stderr, "quorell-scene cat: %s\n", error.what());
        return kExitFailed;
    }
    if (std::fflush(stream) != 0 || (file && std::fclose(file.release()) != 0)) {
        std::fprintf(stderr, "quorell-scene cat: %s: cannot write: %s\n",
                     output.empty() ? "standard output" : output.c_str(), std::strerror(errno));
        return kExitFailed;
    }
    return kExitOk;
}

}  // namespace scenetool
