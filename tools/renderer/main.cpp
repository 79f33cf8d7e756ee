// quorell-standin: the Quorell renderer stand-in. Installs itself like the
// renderer's installer, or runs as a renderer instance that takes scenes over
// the live link.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "Installation.h"
#include "RendererServer.h"
#include "ScenePicture.h"
#include "livelib/InstanceRecords.h"
#include "platform/Platform.h"

namespace {

const char* const kUsage =
    "Usage:\n"
    "  quorell-standin install [--prefix DIR] [--version N] [--ports MIN-MAX]\n"
    "      Copies the program and the live library into DIR/bin, creates the\n"
    "      resource folder DIR/resources with startup.hdr and writes the\n"
    "      installation keys into the current user's registry hive.\n"
    "      Defaults: ${XDG_DATA_HOME:-~/.local/share}/quorell/Quorell N (on\n"
    "      Windows %LOCALAPPDATA%\\Programs\\Quorell\\Quorell N, keys in\n"
    "      HKEY_CURRENT_USER), N = 12, ports 4000-4010.\n"
    "  quorell-standin uninstall [--version N]\n"
    "      Removes what install wrote for version N (default 12); folders that\n"
    "      still hold received scenes stay.\n"
    "  quorell-standin [--ports MIN-MAX] [--version N] [--resources DIR]\n"
    "                  [--idle-exit SECONDS] [--no-pictures]\n"
    "      Runs a renderer instance: listens on the first free port of the\n"
    "      range on 127.0.0.1, publishes its instance record and takes scenes\n"
    "      until SIGTERM or SIGINT (Ctrl+C on Windows), or until SECONDS pass\n"
    "      without a connection.\n"
    "      Settings not given come from the registry installation of this\n"
    "      program. Received model sets are written to DIR/scenes/<name>.bip\n"
    "      and rendered to DIR/scenes/<name>.png on a thread of their own, so\n"
    "      the live link keeps answering (the render time goes to the log; on\n"
    "      stopping, pictures still queued are drawn first); --no-pictures\n"
    "      leaves that out.\n"
    "  quorell-standin --help\n";

bool number(const char* text, int* out) {
    if (!text || !*text) return false;
    char* end = nullptr;
    const long v = std::strtol(text, &end, 10);
    if (*end != 0 || v < 0 || v > 1000000) return false;
    *out = static_cast<int>(v);
    return true;
}

int fail(const std::string& text, int status = 1) {
    std::fprintf(stderr, "quorell-standin: %s\n", text.c_str());
    return status;
}

int runInstall(int argc, char** argv) {
    renderer::InstallOptions options;
    for (int i = 2; i < argc; ++i) {
        const std::string arg = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        if (arg == "--help") {
            std::fputs(kUsage, stdout);
            return 0;
        } else if (arg == "--prefix" && value) {
            options.prefix = value, ++i;
        } else if (arg == "--version" && number(value, &options.version) && options.version > 0) {
            ++i;
        } else if (arg == "--ports" && value &&
                   renderer::parsePortRange(value, &options.minPort, &options.maxPort)) {
            ++i;
        } else {
            return fail("install: bad or incomplete option '" + arg + "'\n" + kUsage, 2);
        }
    }
    std::string summary, error;
    if (!renderer::install(options, &summary, &error)) return fail("install failed: " + error);
    std::fputs(summary.c_str(), stdout);
    return 0;
}

int runUninstall(int argc, char** argv) {
    int version = 12;
    for (int i = 2; i < argc; ++i) {
        const std::string arg = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        if (arg == "--help") {
            std::fputs(kUsage, stdout);
            return 0;
        } else if (arg == "--version" && number(value, &version) && version > 0) {
            ++i;
        } else {
            return fail("uninstall: bad or incomplete option '" + arg + "'\n" + kUsage, 2);
        }
    }
    std::string summary, error;
    if (!renderer::uninstall(version, &summary, &error)) return fail("uninstall failed: " + error);
    std::fputs(summary.c_str(), stdout);
    return 0;
}

int runInstance(int argc, char** argv) {
    const renderer::InstalledSettings installed = renderer::readInstalledSettings();
    renderer::ServerOptions options;
    options.versionMajor = installed.version;
    options.minPort = installed.minPort;
    options.maxPort = installed.maxPort;
    options.resourceFolder = installed.resourceFolder;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        } else if (arg == "--ports" && value &&
                   renderer::parsePortRange(value, &options.minPort, &options.maxPort)) {
            ++i;
        } else if (arg == "--version" && number(value, &options.versionMajor) &&
                   options.versionMajor > 0) {
            ++i;
        } else if (arg == "--resources" && value) {
            options.resourceFolder = value, ++i;
        } else if (arg == "--idle-exit" && number(value, &options.idleExitSeconds)) {
            ++i;
        } else if (arg == "--no-pictures") {
            options.pictures = false;
        } else {
            return fail("bad or incomplete option '" + arg + "'\n" + kUsage, 2);
        }
    }
    if (options.pictures && !renderer::picturesBuiltIn())
        renderer::logLine("pictures are not built in: received scenes are written as .bip files only");
    if (options.resourceFolder.empty())
        renderer::logLine(
            "no resource folder installed or given; received scenes are not written to files");

    renderer::RendererServer server(options);
    std::string error;
    if (!server.listen(&error)) return fail(error);

    livelink::InstanceRecord record;
    record.processId = platform::currentProcessId();
    record.versionMajor = options.versionMajor;
    record.versionMinor = 0;
    record.livelinkPort = server.port();
    record.startTime = livelink::processStartTime(record.processId);
    if (!livelink::publishInstance(record, &error))
        return fail("cannot publish the instance record: " + error);
    renderer::logLine("Quorell " + std::to_string(options.versionMajor) + " stand-in, process " +
                      std::to_string(record.processId) +
                      ", live link on 127.0.0.1:" + std::to_string(server.port()));
    const int status = server.run();
    livelink::withdrawInstance(record.processId);
    return status;
}

}  // namespace

int main(int systemArgc, char** systemArgv) {
    // UTF-8 arguments on every system (folders with any name).
    std::vector<std::string> texts = platform::programArguments(systemArgc, systemArgv);
    std::vector<char*> arguments{systemArgc > 0 ? systemArgv[0] : nullptr};
    for (std::string& t : texts) arguments.push_back(t.data());
    const int argc = static_cast<int>(arguments.size());
    char** argv = arguments.data();
    if (argc > 1 && std::strcmp(argv[1], "install") == 0) return runInstall(argc, argv);
    if (argc > 1 && std::strcmp(argv[1], "uninstall") == 0) return runUninstall(argc, argv);
    return runInstance(argc, argv);
}
