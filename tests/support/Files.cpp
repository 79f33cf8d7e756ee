#include "support/Files.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <random>
#include <stdexcept>

#ifdef _WIN32
#include <process.h>
#else
#include <unistd.h>
#endif

namespace support {

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void writeFile(const fs::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

size_t count(const std::string& text, const std::string& part) {
    size_t n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
    return n;
}

std::string replaceAll(std::string text, const std::string& from, const std::string& to) {
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

fs::path dataPath(const std::string& relative) {
    return fs::path(QUORELL_TEST_DATA) / relative;
}

std::vector<std::vector<std::string>> readTable(const std::string& relative) {
    std::vector<std::vector<std::string>> rows;
    std::istringstream in(readFile(dataPath(relative)));
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#') continue;
        std::vector<std::string>& row = rows.emplace_back();
        for (size_t from = 0;;) {
            const size_t tab = line.find('\t', from);
            row.push_back(line.substr(from, tab - from));
            if (tab == std::string::npos) break;
            from = tab + 1;
        }
    }
    return rows;
}

namespace {

#ifdef _WIN32
void setVariable(const std::string& name, const std::string* value) {
    ::_putenv_s(name.c_str(), value ? value->c_str() : "");
}
#else
void setVariable(const std::string& name, const std::string* value) {
    if (value)
        ::setenv(name.c_str(), value->c_str(), 1);
    else
        ::unsetenv(name.c_str());
}
#endif

}  // namespace

TempFolder::TempFolder() {
    // A name nobody else holds: create_directory fails when it exists.
    static std::mt19937_64 random(std::random_device{}() ^ static_cast<uint64_t>(::getpid()));
    for (int attempt = 0; attempt < 100; ++attempt) {
        fs::path candidate = fs::temp_directory_path() / ("quorell-test-" + std::to_string(random()));
        std::error_code ec;
        if (fs::create_directory(candidate, ec)) {
            path_ = std::move(candidate);
            return;
        }
    }
    throw std::runtime_error("cannot make a temporary folder");
}

TempFolder::~TempFolder() {
    std::error_code ec;
    fs::remove_all(path_, ec);
}

ScopedEnv::ScopedEnv(std::string name, const std::optional<std::string>& value)
    : name_(std::move(name)) {
    if (const char* old = std::getenv(name_.c_str())) old_ = old;
    setVariable(name_, value ? &*value : nullptr);
}

ScopedEnv::~ScopedEnv() {
    setVariable(name_, old_ ? &*old_ : nullptr);
}

}  // namespace support
