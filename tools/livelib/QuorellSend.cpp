// quorell-send: sends a sample scene to a running renderer through the live
// library, the way the add-in does: load the library, call its entry point,
// list the instances, pick one by its scene description, connect the live
// object and write the scene, then disconnect.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "importers/sceneapi/orvScene_api.h"
#include "importers/sceneapi/quorelllive_api.h"
#include "livelib/SampleScene.h"
#include "platform/Platform.h"

namespace {

const char* const kUsage =
    "Usage: quorell-send [options]\n"
    "Sends a sample scene to a running Quorell renderer through the live library.\n"
    "\n"
    "  --library PATH      live library to load (default: orvquorelllive6_64.so\n"
    "                      beside this program)\n"
    "  --list              print the instance list and exit\n"
    "  --describe PID      print the scene description of instance PID and exit\n"
    "  --pid PID           send to this instance (default: the one showing the\n"
    "                      scene, else the first)\n"
    "  --port PORT         connect to this port instead of asking the instances\n"
    "  --scene NAME        name of the root group / model set (default Sample)\n"
    "  --components N      component groups (default 3)\n"
    "  --triangles N       triangles per component (default 12)\n"
    "  --update            send an update: components unchanged, no bodies\n"
    "  --changed I         with --update: component I is sent changed\n"
    "  --variant N         shift the geometry (a changed design)\n"
    "  --help              show this text\n";

std::string besideProgram(const char* file) {
    std::string dir = platform::wideToUtf8(platform::currentProgramPath());
    const size_t slash = dir.find_last_of("/\\");
    if (slash == std::string::npos) return file;
    dir.erase(slash + 1);
    return dir + file;
}

bool parseInt(const char* text, long long* out) {
    if (!text || !*text) return false;
    char* end = nullptr;
    *out = std::strtoll(text, &end, 10);
    return *end == 0;
}

// Process id and port of the instances in the list, in order.
struct Candidate {
    long long pid = 0;
    long long port = 0;
};

long long numberIn(const std::string& xml, size_t from, size_t to, const char* tag) {
    const std::string open = std::string("<") + tag + ">";
    const size_t at = xml.find(open, from);
    if (at == std::string::npos || at >= to) return -1;
    return std::atoll(xml.c_str() + at + open.size());
}

std::vector<Candidate> candidates(const char* xml) {
    std::vector<Candidate> found;
    if (!xml) return found;
    const std::string text(xml);
    size_t at = 0;
    while ((at = text.find("<instance>", at)) != std::string::npos) {
        const size_t end = text.find("</instance>", at);
        if (end == std::string::npos) break;
        found.push_back(
            {numberIn(text, at, end, "process_id"), numberIn(text, at, end, "livelink_port")});
        at = end;
    }
    return found;
}

}  // namespace

int main(int argc, char** argv) {
    std::string library = besideProgram("orvquorelllive6_64.so");
    livelink::SampleSceneOptions scene;
    bool list = false;
    long long describePid = 0, pid = 0, port = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        long long number = 0;
        auto needNumber = [&]() {
            if (!parseInt(value, &number)) {
                std::fprintf(stderr, "quorell-send: %s needs a number\n", arg.c_str());
                std::exit(2);
            }
            ++i;
            return number;
        };
        if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        } else if (arg == "--library" && value) {
            library = value, ++i;
        } else if (arg == "--scene" && value) {
            scene.name = value, ++i;
        } else if (arg == "--list") {
            list = true;
        } else if (arg == "--describe") {
            describePid = needNumber();
        } else if (arg == "--pid") {
            pid = needNumber();
        } else if (arg == "--port") {
            port = needNumber();
        } else if (arg == "--components") {
            scene.components = int(needNumber());
        } else if (arg == "--triangles") {
            scene.trianglesPerComponent = int(needNumber());
        } else if (arg == "--update") {
            scene.update = true;
        } else if (arg == "--changed") {
            scene.changedComponent = int(needNumber());
        } else if (arg == "--variant") {
            scene.variant = int(needNumber());
        } else {
            std::fprintf(stderr, "quorell-send: unknown option '%s'\n%s", arg.c_str(), kUsage);
            return 2;
        }
    }

    platform::ModuleHandle module = platform::loadLibrary(platform::utf8ToWide(library));
    if (!module) {
        std::fprintf(stderr, "quorell-send: cannot load %s: %s\n", library.c_str(),
                     platform::libraryError().c_str());
        return 1;
    }
    auto initialize =
        reinterpret_cast<QuorellLiveInitialize>(platform::getProcAddress(module, kQuorellLiveEntryPoint));
    SharedHandle* shared = initialize ? initialize() : nullptr;
    if (!shared) {
        std::fprintf(stderr, "quorell-send: %s has no working entry point %s\n", library.c_str(),
                     kQuorellLiveEntryPoint);
        platform::freeLibrary(module);
        return 1;
    }
    QueryApi* query = shared->queryApi();
    int status = 0;

    if (list) {
        const char* xml = query->listInstances();
        std::fputs(xml ? xml : "", stdout);
    } else if (describePid != 0) {
        if (!query->attachInstance(describePid)) {
            std::fprintf(stderr, "quorell-send: cannot attach to instance %lld\n", describePid);
            status = 1;
        } else {
            const char* xml = query->sceneDescription();
            std::fputs(xml ? xml : "", stdout);
            status = xml ? 0 : 1;
            query->detachInstance();
        }
    } else {
        if (port == 0) {
            // Prefer the instance that already shows the scene, as the add-in does.
            const std::string marker = "name=\"" + scene.name + "\"";
            Candidate chosen;
            for (const Candidate& c : candidates(query->listInstances())) {
                if (pid != 0 && c.pid != pid) continue;
                if (!query->attachInstance(c.pid)) continue;
                const char* xml = query->sceneDescription();
                const bool showing = xml && std::strstr(xml, marker.c_str());
                query->detachInstance();
                if (chosen.pid == 0 || showing) chosen = c;
                if (showing) break;
            }
            port = chosen.port;
        }
        orvScene_api* api = shared->sceneApi();
        api->id(1);
        if (port <= 0 || !api->connect("localhost", int32_t(port), 4)) {
            std::fprintf(stderr, "quorell-send: no renderer instance to connect to\n");
            status = 1;
        } else {
            livelink::writeSampleScene(*api, scene);
            if (!api->disconnect()) {
                std::fprintf(stderr, "quorell-send: the renderer did not take the scene\n");
                status = 1;
            } else {
                std::printf("sent scene \"%s\" to port %lld\n", scene.name.c_str(), port);
            }
        }
    }
    delete shared;
    platform::freeLibrary(module);
    return status;
}
