// The renderer stand-in's installation: what `quorell-standin install` writes
// (registry keys, program folder, resource folder) and how a running
// instance finds its own settings again.
#pragma once

#include <string>

namespace renderer {

struct InstallOptions {
    std::string prefix;  // empty: ${XDG_DATA_HOME:-$HOME/.local/share}/quorell/Quorell <version>
    int version = 12;
    int minPort = 4000;
    int maxPort = 4010;
};

// Parses "4000-4010"; false for anything else or an empty range.
bool parsePortRange(const std::string& text, int* minPort, int* maxPort);

// Installs: <prefix>/bin holds quorell-standin and the live library (copied
// from beside this program), <prefix>/resources holds startup.hdr, and the
// current user's registry hive gets the keys under SOFTWARE\Vantor\.
// summary tells what was written.
bool install(const InstallOptions& options, std::string* summary, std::string* error);

struct InstalledSettings {
    bool found = false;  // an installation key was read
    int version = 12;
    int minPort = 4000;
    int maxPort = 4010;
    std::string resourceFolder;
};

// Reads the installation key of this program from the registry: the key
// whose "BinName" is this executable, else the one "QuorellVersion" names.
InstalledSettings readInstalledSettings();

// Path of the running executable.
std::string ownExecutable();

}  // namespace renderer
