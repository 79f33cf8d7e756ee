#include "StepTestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>

#include "step/IsolatedLoad.h"

namespace steptest {

using namespace steploader;

std::string samplePath(const std::string& name) {
    const char* root = std::getenv("QUORELL_SHARED_DATA");
    return std::string(root ? root : "/work/shared/data") + "/step/" + name;
}

const Design& sample(const std::string& name) {
    static std::map<std::string, Design> loaded;
    auto found = loaded.find(name);
    if (found == loaded.end()) found = loaded.emplace(name, loadStepDesign(samplePath(name))).first;
    return found->second;
}

InstanceCounts countInstances(const Design& design) {
    InstanceCounts counts;
    std::function<void(int)> visit = [&](int index) {
        const Component& c = design.components[index];
        counts.bodies += static_cast<int>(c.bodies.size());
        for (const Body& b : c.bodies) counts.faces += static_cast<int>(b.faces.size());
        for (const Occurrence& o : c.occurrences) visit(o.component);
    };
    visit(design.root);
    return counts;
}

int totalOccurrences(const Design& design) {
    int n = 0;
    for (const Component& c : design.components) n += static_cast<int>(c.occurrences.size());
    return n;
}

int totalBodies(const Design& design) {
    int n = 0;
    for (const Component& c : design.components) n += static_cast<int>(c.bodies.size());
    return n;
}

int totalFaces(const Design& design) {
    int n = 0;
    for (const Component& c : design.components) {
        for (const Body& b : c.bodies) n += static_cast<int>(b.faces.size());
    }
    return n;
}

const Component& component(const Design& design, const std::string& name) {
    for (const Component& c : design.components) {
        if (c.name == name) return c;
    }
    ADD_FAILURE() << "no component named " << name;
    static const Component none;
    return none;
}

double enclosedVolume(const Mesh& mesh) {
    const auto& p = mesh.coordinates;
    double volume = 0;
    for (std::size_t t = 0; t + 2 < mesh.indices.size(); t += 3) {
        const float* a = &p[3 * mesh.indices[t]];
        const float* b = &p[3 * mesh.indices[t + 1]];
        const float* c = &p[3 * mesh.indices[t + 2]];
        volume += (double(a[0]) * (double(b[1]) * c[2] - double(b[2]) * c[1]) -
                   double(a[1]) * (double(b[0]) * c[2] - double(b[2]) * c[0]) +
                   double(a[2]) * (double(b[0]) * c[1] - double(b[1]) * c[0])) /
                  6.0;
    }
    return volume;
}

namespace {

struct TemporaryFolder {
    std::string path;
    TemporaryFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "steptest-XXXXXX").string();
        if (!::mkdtemp(pattern.data())) throw std::runtime_error("cannot make a temporary folder");
        path = pattern;
    }
    ~TemporaryFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
};

}  // namespace

std::string temporaryFolder() {
    static const TemporaryFolder folder;
    return folder.path;
}

}  // namespace steptest

// OpenCASCADE keeps registries (STEP writer controllers, editors, driver
// tables) in static singletons that it never frees; the writer used by the
// written-file tests fills them in this process.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libTKernel.so\nleak:libTKXSBase.so\nleak:libTKSTEP.so\nleak:libTKVCAF.so\n"
           "leak:libTKXDESTEP.so\nleak:libTKXCAF.so\n";
}
