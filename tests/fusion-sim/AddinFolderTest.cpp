// fusion-sim's add-ins folder: startup add-ins run around the session, and every
// add-in folder it cannot load is named on standard error while the others load.
#include <gtest/gtest.h>

#include "support/Files.h"
#include "support/Program.h"

namespace fs = std::filesystem;

TEST(AddinsFolder, StartupAddinsRunAndBadFoldersAreNamed) {
    support::TempFolder folder;
    const fs::path addins = folder / "AddIns";
    const std::string manifest = R"({"autodeskProduct": "Fusion360", "type": "addin", "id": "x",
        "author": "a", "description": {"": "d"}, "version": "1.0.0", "runOnStartup": )";
    // Folder name -> manifest text ("" for none) and whether its library is there.
    const struct {
        const char* name;
        std::string manifest;
        bool library;
    } layout[] = {
        {"Broken", "{\"type\": \"addin\",", true},
        {"Idle", manifest + "false}", true},
        {"NoLibrary", manifest + "true}", false},
        {"NoManifest", "", true},
        {"Startup", manifest + "true, \"supportedOS\": \"windows|mac\", \"editEnabled\": true}", true},
        {"WrongKind", R"({"type": "script", "runOnStartup": true})", true},
    };
    for (const auto& addin : layout) {
        fs::create_directories(addins / addin.name);
        if (!addin.manifest.empty())
            support::writeFile(addins / addin.name / (std::string(addin.name) + ".manifest"),
                               addin.manifest);
        if (addin.library)
            fs::copy_file(FAKE_ADDIN, addins / addin.name / (std::string(addin.name) + ".so"));
    }
    support::writeFile(folder / "session.txt", "run\nstop\n");
    const support::Outcome o =
        support::run({FUSION_SIM, "--script", (folder / "session.txt").string(), "--addins",
                      addins.string(), "--addin", (addins / "Idle").string()});
    EXPECT_EQ(o.status, 0) << o.err;
    // The startup add-in runs first and stops last; Idle runs only when the script says.
    EXPECT_EQ(o.out, "fake: run\nfake: run\nfake: stop\nfake: stop\n");
    EXPECT_EQ(support::replaceAll(o.err, addins.string(), "ADDINS"),
              support::readFile(support::dataPath("fusion-sim/addins-folder-errors.txt")));
}
