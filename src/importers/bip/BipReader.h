// Reads a .bip scene file and replays it as calls on any orvScene_api: the
// file writer (a round trip), the live object, or a scene builder. One parser,
// any target.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

class orvScene_api;

namespace orv::bip {

// What the reader accepts; everything beyond is refused with a ReadError.
inline constexpr size_t kMaxFileBytes = size_t{1} << 31;
inline constexpr size_t kMaxDepth = 1024;  // blocks open at once, shaders included

struct ReadOptions {
    // Call setFlags on the target so that its indentation and array form follow
    // what the file shows (a file writer then writes the same bytes back).
    bool mirrorLayout = true;
    // With mirrorLayout: force the array form instead of following the file.
    std::optional<bool> binaryArrays;
};

// "FILE:LINE:COLUMN: expected ..." or "FILE: byte N: ..." (inside binary data).
class ReadError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Replays the scene text; `fileName` names it in errors.
void readSceneText(std::string_view text, const std::string& fileName, orvScene_api& target,
                   const ReadOptions& options = {});

// Reads the whole file (at most kMaxFileBytes) and replays it.
void readSceneFile(const std::string& path, orvScene_api& target, const ReadOptions& options = {});

}  // namespace orv::bip
