// fusion-sim's add-ins folder: startup add-ins run around the session, every
// add-in folder it cannot load is named on standard error while the others load,
// and an add-in found twice runs once.
#include <gtest/gtest.h>

#include <fstream>

#include "support/Files.h"
#include "support/Program.h"

namespace fs = std::filesystem;

TEST(AddinsFolder, StartupAddinsRunOnceAndBadFoldersAreNamed) {
    support::TempFolder folder;
    const fs::path addins = folder / "AddIns";
    const std::string manifest = R"({"autodeskProduct": "Fusion360", "type": "addin",
        "author": "a", "description": {"": "d"}, "version": "1.0.0", "runOnStartup": )";
    // Folder name -> manifest text ("" for none) and its library: none, the fake
    // add-in, or the fake add-in with extra bytes after it (another library).
    const struct {
        const char* name;
        std::string manifest;
        int library;
    } layout[] = {
        {"Broken", "{\"type\": \"addin\",", 0},
        {"Idle", manifest + "false, \"id\": \"idle\"}", 1},
        {"Installed", manifest + "true, \"id\": \"given\"}", 3},
        {"NoLibrary", manifest + "true}", -1},
        {"NoManifest", "", 1},
        {"Plain", manifest + "true}", 1},
        {"Startup",
         manifest + "true, \"id\": \"x\", \"supportedOS\": \"windows|mac\", \"editEnabled\": true}",
         2},
        {"Twin", manifest + "true, \"id\": \"x\"}", 2},
        {"WrongKind", R"({"type": "script", "runOnStartup": true})", 1},
    };
    auto placeLibrary = [](const fs::path& to, int extraBytes) {
        fs::copy_file(FAKE_ADDIN, to);
        std::ofstream(to, std::ios::app) << std::string(size_t(extraBytes), '\0');
    };
    for (const auto& addin : layout) {
        fs::create_directories(addins / addin.name);
        if (!addin.manifest.empty())
            support::writeFile(addins / addin.name / (std::string(addin.name) + ".manifest"),
                               addin.manifest);
        if (addin.library > 0)
            placeLibrary(addins / addin.name / (std::string(addin.name) + ".so"), addin.library - 1);
    }
    // The add-in the steps run: a library with its manifest beside it.
    fs::create_directories(folder / "lib");
    placeLibrary(folder / "lib" / "libgiven.so", 0);
    support::writeFile(folder / "lib" / "given.manifest", manifest + "false, \"id\": \"given\"}");
    support::writeFile(folder / "session.txt", "run\nstop\n");
    const support::Outcome o =
        support::run({FUSION_SIM, "--script", (folder / "session.txt").string(), "--addins",
                      addins.string(), "--addin", (folder / "lib" / "libgiven.so").string()});
    EXPECT_EQ(o.status, 0) << o.err;
    // Startup runs first and stops last; Idle does not start.
    EXPECT_EQ(o.out, "fake: run\nfake: run\nfake: stop\nfake: stop\n");
    std::string err = support::replaceAll(o.err, addins.string(), "ADDINS");
    EXPECT_EQ(support::replaceAll(err, (folder / "lib").string(), "LIB"),
              support::readFile(support::dataPath("fusion-sim/addins-folder-errors.txt")));
}
