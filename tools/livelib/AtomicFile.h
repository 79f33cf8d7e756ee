// Writing a file that others read at any moment (instance records, scene
// files): the content goes to a temporary file beside it, which is renamed
// into place once complete, so a reader sees the old file or the whole new one.
#pragma once

#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>

namespace livelink {

// File names are UTF-8 texts; these turn them into paths the system takes
// and back (on Windows through UTF-16, never through the ANSI code page).
std::filesystem::path systemPath(const std::string& path);
std::string utf8Path(const std::filesystem::path& path);

// Creates the folder when needed; write fills the open temporary file and
// returns false when it failed. False, with error naming the file and the
// cause, when anything failed; the temporary file is then removed.
bool writeFileAtomically(const std::string& path, const std::function<bool(FILE*)>& write,
                         std::string* error);

}  // namespace livelink
