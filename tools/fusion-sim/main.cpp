// fusion-sim: plays Fusion 360 for the add-in (see --help).

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>
#include <thread>

#include "tools/fusion-sim/AddinFolder.h"
#include "tools/fusion-sim/AddinLibrary.h"
#include "platform/Platform.h"
#include "tools/fusion-sim/BoundedFile.h"
#include "tools/fusion-sim/CommandLine.h"
#include "tools/fusion-sim/DesignLoader.h"
#include "tools/fusion-sim/Preview.h"
#include "tools/fusion-sim/Simulator.h"

using namespace fusionsim;

namespace {

// A session script is a short list of steps.
constexpr size_t kMaxScriptBytes = size_t(1) << 20;

std::vector<Step> readScript(const std::string& path) {
    std::string text, cause;
    if (!readBoundedFile(path, kMaxScriptBytes, &text, &cause))
        throw UsageError(cause.rfind("cannot read", 0) == 0 ? "cannot read the script " + path
                                                            : "the script " + path + " " + cause);
    const auto folder = std::filesystem::absolute(path).parent_path().string();
    return parseScript(text, path, folder);
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    std::vector<Step> steps;
    std::optional<host::DocumentData> design;
    try {
        options = parseCommandLine(platform::programArguments(argc, argv));
        setMeshSettings({options.deflection, options.angularDeflection});
        if (options.mode == Options::Help) {
            std::cout << usageText();
            return 0;
        }
        steps = options.mode == Options::Script ? readScript(options.script) : stepsFor(options);
        // A bad design file of a shortcut mode ends things before the add-in runs.
        // Its library loads meanwhile on another thread (a STEP design keeps
        // fusion-sim waiting for the reader program).
        std::jthread addinPreload;
        if (options.mode != Options::Script) {
            addinPreload =
                AddinLibrary::preload(options.addin.empty() ? AddinLibrary::defaultPath() : options.addin);
            design = loadDesign(options.design);
        }
    } catch (const UsageError& e) {
        std::cerr << "fusion-sim: " << e.what() << " (see fusion-sim --help)" << std::endl;
        return 2;
    } catch (const DesignError& e) {
        std::cerr << "fusion-sim: " << e.what() << std::endl;
        return 2;
    } catch (const std::exception& e) {  // out of memory while loading, for instance
        std::cerr << "fusion-sim: " << e.what() << std::endl;
        return 2;
    }

    try {
        const std::string given = options.addin.empty() ? AddinLibrary::defaultPath() : options.addin;
        // Every add-in that runs, with what names it in messages; the given one first.
        std::vector<std::pair<AddinIdentity, std::string>> running{
            {identifyAddin(given), given}};
        AddinLibrary addin(running.front().first.library.string());
        Simulator simulator(addin, std::cout, std::cerr);
        // Add-ins of the add-ins folder that start with the host; one that cannot be
        // loaded is reported and the others still run. An add-in already running
        // (the same manifest id, or the same library) is not started twice.
        std::vector<std::unique_ptr<AddinLibrary>> startup;
        const auto folder = options.addinsFolder.empty() ? defaultAddinsFolder()
                                                         : std::filesystem::path(options.addinsFolder);
        for (const AddinManifest& manifest : findAddins(folder, std::cerr)) {
            if (!manifest.runOnStartup) continue;
            const AddinIdentity identity{manifest.id, manifest.library};
            const std::string where = manifest.library.parent_path().string();
            auto same = std::find_if(running.begin(), running.end(),
                                     [&](const auto& r) { return sameAddin(r.first, identity); });
            if (same != running.end()) {
                std::cerr << "fusion-sim: " << where << " is the same add-in as " << same->second
                          << (identity.id.empty() || same->first.id.empty()
                                  ? std::string(" (the same library)")
                                  : " (id " + identity.id + ")")
                          << "; only " << same->second << " runs" << std::endl;
                continue;
            }
            try {
                startup.push_back(std::make_unique<AddinLibrary>(manifest.library.string()));
                simulator.addStartupAddin(manifest.name, *startup.back());
                running.emplace_back(identity, where);
            } catch (const std::exception& e) {
                std::cerr << "fusion-sim: " << e.what() << "; the add-in is not loaded" << std::endl;
            }
        }
        if (design) simulator.provide(options.design, std::move(*design));
        const int status = simulator.execute(steps);
        if (status != 0 || options.previewFile.empty()) return status;
        return renderPreview(options.exportFile, options.previewFile, std::cout, std::cerr);
    } catch (const DesignError& e) {
        std::cerr << "fusion-sim: " << e.what() << std::endl;
        return 2;
    } catch (const std::exception& e) {
        std::cerr << "fusion-sim: " << e.what() << std::endl;
        return 2;
    }
}
