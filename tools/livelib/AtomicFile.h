// Writing a file that others read at any moment (instance records, scene
// files): the content goes to a temporary file beside it, which is renamed
// into place once complete, so a reader sees the old file or the whole new one.
#pragma once

#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>

namespace livelink {

// Creates the folder when needed; write fills the open temporary file and
// returns false when it failed. False, with error naming the file and the
// cause, when anything failed; the temporary file is then removed.
bool writeFileAtomically(const std::string& path, const std::function<bool(FILE*)>& write,
                         std::string* error);

}  // namespace livelink
