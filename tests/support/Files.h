// Files and folders for tests: whole-file reading and writing, counting and
// replacing text, a temporary folder removed at the end, the data folder, and
// an environment variable set for one scope.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace support {

namespace fs = std::filesystem;

std::string readFile(const fs::path& path);
void writeFile(const fs::path& path, const std::string& text);
size_t count(const std::string& text, const std::string& part);
std::string replaceAll(std::string text, const std::string& from, const std::string& to);

// Paths from and to UTF-8 texts (program arguments, scripts, scene files),
// never through the ANSI code page on Windows.
inline fs::path pathFromUtf8(const std::string& text) {
    return fs::path(std::u8string(text.begin(), text.end()));
}
inline std::string utf8(const fs::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

// A file under tests/data of the source tree.
fs::path dataPath(const std::string& relative);
// The rows of a tab-separated file under tests/data; blank lines and lines
// starting with # are left out.
std::vector<std::vector<std::string>> readTable(const std::string& relative);

// A fresh folder under the system's temporary folder, removed with its contents.
class TempFolder {
  public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const fs::path& path() const { return path_; }
    fs::path operator/(const std::string& name) const { return path_ / name; }

  private:
    fs::path path_;
};

// Sets (or, with no value, removes) a variable; the old state comes back at the end.
class ScopedEnv {
  public:
    ScopedEnv(std::string name, const std::optional<std::string>& value);
    ~ScopedEnv();
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

  private:
    std::string name_;
    std::optional<std::string> old_;
};

}  // namespace support
