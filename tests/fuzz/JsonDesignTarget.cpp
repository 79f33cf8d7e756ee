#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "FuzzTargets.h"
#include "addin/ExportFlow.h"
#include "convert/DesignConverter.h"
#include "host/Session.h"
#include "tools/fusion-sim/DesignLimits.h"
#include "tools/fusion-sim/DesignLoader.h"
#include "tools/fusion-sim/JsonDesignLoader.h"

namespace {

// Exporting a design near the limits takes seconds; the fuzzer's time goes
// to the many small ones.
constexpr uint64_t kMostTrianglesExported = 100'000;

uint64_t triangles(const host::DocumentData& document) {
    uint64_t n = 0;
    for (const host::ProductData& p : document.products)
        if (p.design)
            for (const host::ComponentData& c : p.design->components)
                for (const host::BodyData& b : c.bodies) n += fusionsim::triangleCount(b);
    return n;
}

}  // namespace

int fuzzJsonDesign(const uint8_t* data, size_t size) {
    host::DocumentData document;
    try {
        document = fusionsim::JsonDesignLoader().loadText(
            std::string(reinterpret_cast<const char*>(data), size), "fuzz.json",
            "/nonexistent-fuzz-folder");
    } catch (const fusionsim::DesignError& e) {
        fuzzCheck(std::string(e.what()).rfind("fuzz.json: ", 0) == 0, "a refusal names the file");
        fuzzCheck(std::string(e.what()).size() < 4096, "a refusal stays short");
        return 0;
    }
    if (triangles(document) > kMostTrianglesExported) return 0;

    // A design that loads exports.
    static const std::string target = (std::filesystem::temp_directory_path() /
                                       ("quorell-fuzz-" + std::to_string(::getpid()) + ".bip"))
                                          .string();
    host::resetApplication();
    auto app = adsk::core::Application::get();
    bool exported = true;
    try {
        DesignConverter converter(app, app->userInterface());
        host::answerNextFileDialog(target);
        exportDocument(converter, host::openDocument(std::move(document)));
    } catch (const std::exception&) {
        // The add-in raises for a design it cannot convert (no root component,
        // say); the host reports it. Anything else would end the run here.
        exported = false;
    }
    std::error_code ec;
    if (exported)
        fuzzCheck(std::filesystem::file_size(target, ec) > 0 && !ec,
                  "an exported design has a file");
    std::filesystem::remove(target, ec);
    host::resetApplication();
    return 0;
}
