#include "tools/fusion-sim/DesignLoader.h"

#include <algorithm>
#include <filesystem>

#include "tools/fusion-sim/DesignLimits.h"
#include "tools/fusion-sim/JsonDesignLoader.h"
#ifdef FUSION_SIM_WITH_STEP
#include "tools/fusion-sim/StepDesignLoader.h"
#endif

namespace fusionsim {

namespace {

// Places and causes quote the file's own names and texts, which may be of
// any length: a message keeps their first 300 bytes (whole UTF-8 characters).
std::string shortened(const std::string& text) {
    constexpr size_t kMost = 300;
    if (text.size() <= kMost) return text;
    size_t cut = kMost;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
    return text.substr(0, cut) + "...";
}

}  // namespace

DesignError::DesignError(const std::string& file, const std::string& place,
                         const std::string& cause)
    : std::runtime_error(file + ": " + (place.empty() ? "" : shortened(place) + ": ") +
                         shortened(cause)) {}

std::unique_ptr<DesignLoader> loaderFor(const std::string& path) {
    std::string extension = std::filesystem::path(path).extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    if (extension == ".json") return std::make_unique<JsonDesignLoader>();
    if (extension == ".step" || extension == ".stp") {
#ifdef FUSION_SIM_WITH_STEP
        return makeStepDesignLoader();
#elif defined(_WIN32)
        throw DesignError(path, "", "STEP files are read by the Linux build of fusion-sim only");
#else
        throw DesignError(path, "",
                          "STEP files need fusion-sim built with the STEP loader (OpenCASCADE)");
#endif
    }
    throw DesignError(
        path, "",
        "unknown kind of design file \"" + extension + "\" (expected .json, .step or .stp)");
}

namespace {
MeshSettings currentMeshSettings;
}

void setMeshSettings(const MeshSettings& settings) {
    currentMeshSettings = settings;
}

MeshSettings meshSettings() {
    return currentMeshSettings;
}

host::DocumentData loadDesign(const std::string& path) {
    host::DocumentData data = loaderFor(path)->load(path);
    try {
        host::validateDocument(data);
    } catch (const host::BuildError& e) {
        throw DesignError(path, e.path, e.cause);
    }
    checkDesignLimits(data, path);
    return data;
}

}  // namespace fusionsim
