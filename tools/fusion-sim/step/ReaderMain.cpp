// fusion-sim-step-reader: reads one STEP file through OpenCASCADE and writes
// its design records in the binary design format to standard output. fusion-sim
// starts it for every STEP file, so that fusion-sim itself does not load
// OpenCASCADE and a crash on a malformed file ends only this program.
#include <fcntl.h>
#include <unistd.h>

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "step/LoaderProcess.h"
#include "step/StepReader.h"

namespace {

constexpr const char* kUsage =
    "usage: fusion-sim-step-reader [options] [--] FILE\n"
    "Reads the STEP file FILE through OpenCASCADE and writes its design in the\n"
    "binary design format to standard output. A refused file is reported as one\n"
    "line on standard error and ends the program with status 2. A file that is\n"
    "not read within 600 seconds ends the program with SIGALRM. Each body with\n"
    "faces left without triangles is named on standard error, with their count.\n"
    "Lengths in the design are centimetres whatever the file's unit.\n"
    "\n"
    "options:\n"
    "  --deflection CM            largest distance of a display mesh from the\n"
    "                             surface; 0 (default): relative to the model\n"
    "  --relative-deflection R    the deflection as a part of the model's diagonal\n"
    "                             when --deflection is 0 (default 0.001)\n"
    "  --angular-deflection RAD   largest angle between neighbouring mesh normals\n"
    "                             (default 0.5)\n"
    "  --help                     show this text\n";

[[noreturn]] void refuse(const std::string& message) {
    std::fprintf(stderr, "fusion-sim-step-reader: %s\n", message.c_str());
    std::exit(steploader::kRefusedStatus);
}

double number(std::string_view option, const char* text, bool zeroAllowed) {
    double value = 0;
    const std::string_view digits(text);
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (error != std::errc() || end != digits.data() + digits.size() || !(value >= 0) ||
        (!zeroAllowed && value == 0)) {
        refuse(std::string(option) + " needs a " + (zeroAllowed ? "non-negative" : "positive") +
               " number, not " + text);
    }
    return value;
}

}  // namespace

int main(int argc, char** argv) {
    steploader::Options options;
    std::string path;
    bool optionsEnd = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument(argv[i]);
        if (!optionsEnd && argument == "--help") {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (!optionsEnd && argument == "--") {
            optionsEnd = true;
        } else if (!optionsEnd &&
                   (argument == "--deflection" || argument == "--relative-deflection" ||
                    argument == "--angular-deflection")) {
            if (i + 1 == argc) refuse(std::string(argument) + " needs a number");
            const char* text = argv[++i];
            if (argument == "--deflection") options.deflection = number(argument, text, true);
            if (argument == "--relative-deflection")
                options.relativeDeflection = number(argument, text, false);
            if (argument == "--angular-deflection")
                options.angularDeflection = number(argument, text, false);
        } else if (!optionsEnd && argument.size() > 1 && argument[0] == '-') {
            refuse("unknown option " + std::string(argument) + " (see --help)");
        } else if (path.empty()) {
            path = argument;
        } else {
            refuse("one file only (see --help)");
        }
    }
    if (path.empty()) refuse("no file given (see --help)");

    // Standard output carries the design; OpenCASCADE's progress reports and
    // warnings, written there too, go nowhere.
    const int designFd = ::dup(STDOUT_FILENO);
    if (designFd < 0) refuse("cannot keep standard output");
    const int devNull = ::open("/dev/null", O_WRONLY);
    if (devNull >= 0) {
        ::dup2(devNull, STDOUT_FILENO);
        ::close(devNull);
    }
    ::alarm(steploader::kReadTimeLimitSeconds);
    const int status = steploader::sendDesign(
        designFd, STDERR_FILENO, path, [&] { return steploader::readStepDesign(path, options); });
    ::close(designFd);
    // End at once, as the forked loader does: the message stays the last line
    // on standard error (exit handlers, sanitizer summaries included, would
    // follow it), and OpenCASCADE's never-freed singletons need no teardown.
    // After a design, standard error is closed first: with both of its pipes
    // at their end, fusion-sim goes on while this process is torn down.
    std::fflush(nullptr);
    if (status == 0) ::close(STDERR_FILENO);
    ::_exit(status);
}
