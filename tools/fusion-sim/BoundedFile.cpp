#include "tools/fusion-sim/BoundedFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>

#include "platform/Platform.h"

namespace fusionsim {

namespace {

FILE* openForReading(const std::string& path) {
#ifdef _WIN32
    return ::_wfopen(platform::utf8ToWide(path).c_str(), L"rb");
#else
    return std::fopen(path.c_str(), "rb");
#endif
}

}  // namespace

std::string sizeText(size_t bytes) {
    if (bytes >= (size_t(1) << 20) && bytes % (size_t(1) << 20) == 0)
        return std::to_string(bytes >> 20) + " MiB";
    return std::to_string(bytes) + " bytes";
}

bool readBoundedFile(const std::string& path, size_t maxBytes, std::string* text,
                     std::string* cause) {
    std::error_code ec;
    if (std::filesystem::is_directory(platform::systemPath(path), ec)) {
        *cause = "is a folder, not a file";
        return false;
    }
    std::unique_ptr<FILE, int (*)(FILE*)> file(openForReading(path), &std::fclose);
    if (!file) {
        *cause = std::string("cannot read: ") + std::strerror(errno);
        return false;
    }
    text->clear();
    char buffer[1 << 16];
    for (;;) {
        const size_t n = std::fread(buffer, 1, sizeof buffer, file.get());
        if (n > maxBytes - std::min(maxBytes, text->size())) {
            *cause = "is larger than " + sizeText(maxBytes) + ", the most fusion-sim reads";
            text->clear();
            return false;
        }
        text->append(buffer, n);
        if (n < sizeof buffer) break;
    }
    if (std::ferror(file.get())) {
        *cause = std::string("cannot read: ") + std::strerror(errno);
        text->clear();
        return false;
    }
    return true;
}

}  // namespace fusionsim
