// The renderer stand-in's installation: what `quorell-standin install` writes
// (registry keys, program folder, resource folder) and how a running
// instance finds its own settings again.
#pragma once

#include <string>

namespace renderer {

struct InstallOptions {
    // Empty: ${XDG_DATA_HOME:-$HOME/.local/share}/quorell/Quorell <version>, on
    // Windows %LOCALAPPDATA%\Programs\Quorell\Quorell <version>.
    std::string prefix;
    int version = 12;
    int minPort = 4000;
    int maxPort = 4010;
};

// Parses "4000-4010"; false for anything else or an empty range.
bool parsePortRange(const std::string& text, int* minPort, int* maxPort);

// Installs: <prefix>/bin holds quorell-standin and the live library (copied
// from beside this program), <prefix>/resources holds startup.hdr, and the
// current user's registry (on Windows HKEY_CURRENT_USER itself, elsewhere the
// user's hive file) gets the keys under SOFTWARE\Vantor\. summary tells what
// was written.
bool install(const InstallOptions& options, std::string* summary, std::string* error);

// Undoes install for the version: removes the installed files (folders only
// when empty, so received scenes stay) and the installation key, and the base
// key with its values when no other installation is left.
bool uninstall(int version, std::string* summary, std::string* error);

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
