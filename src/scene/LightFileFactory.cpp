#include "scene/LightFileFactory.h"

#include <cstdarg>
#include <stdexcept>

#include "importers/sceneapi/orvScene_api_file.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace orv {

namespace {

#ifdef _WIN32
int duplicateDescriptor(int fd) {
    return _dup(fd);
}
int redirectDescriptor(int from, int to) {
    return _dup2(from, to);
}
FILE* openDescriptor(int fd, const char* mode) {
    return _fdopen(fd, mode);
}
void closeDescriptor(int fd) {
    _close(fd);
}
bool setBinaryMode(FILE* f) {
    return _setmode(_fileno(f), _O_BINARY) != -1;
}
#else
int duplicateDescriptor(int fd) {
    return dup(fd);
}
int redirectDescriptor(int from, int to) {
    return dup2(from, to);
}
FILE* openDescriptor(int fd, const char* mode) {
    return fdopen(fd, mode);
}
void closeDescriptor(int fd) {
    ::close(fd);
}
// POSIX streams make no difference between text and binary.
bool setBinaryMode(FILE*) {
    return true;
}
#endif

// The scene goes to the standard output as it was; anything else printed to
// standard output from now on goes to standard error.
FILE* openStandardOutput() {
    const int fd = duplicateDescriptor(1);
    if (fd < 0) return nullptr;
    FILE* stream = openDescriptor(fd, "wb");
    if (!stream) {
        closeDescriptor(fd);
        return nullptr;
    }
    std::fflush(stdout);
    if (redirectDescriptor(2, 1) < 0) std::perror("duplicating stderr to stdout");
    if (!setBinaryMode(stream)) std::perror("setting binary mode on file");
    return stream;
}

}  // namespace

FILE* openUtf8Path(const std::string& path, const char* mode) {
#ifdef _WIN32
    const int n = MultiByteToWideChar(CP_UTF8, 0, path.c_str(), -1, nullptr, 0);
    if (n <= 0) return nullptr;
    std::wstring wide(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, path.c_str(), -1, wide.data(), n);
    std::wstring wideMode(mode, mode + std::char_traits<char>::length(mode));
    return _wfopen(wide.c_str(), wideMode.c_str());
#else
    // POSIX file names are bytes: the UTF-8 bytes name the file.
    return std::fopen(path.c_str(), mode);
#endif
}

LightFileFactory::LightFileFactory(std::string path) {
    file = path == "-" ? openStandardOutput() : openUtf8Path(path, "wb+");
    if (!file) {
        std::perror("opening file");
        throw std::runtime_error("could not open file: \"" + path + "\"");
    }
    writer = new orvScene_api_file(file, true);
}

LightFileFactory::~LightFileFactory() {
    release();
}

orvScene_api* LightFileFactory::getSceneApi() {
    return writer;
}

void LightFileFactory::writeHeader(orvSceneapi_oo&) {
    writeFormatted("//---vantor:dal:7---\n");
    writeFormatted("//---import:dal:1---\n");
    if (sceneNumber == 0) {
        writeFormatted("//---id:1---\n");
    } else {
        // 32-bit wrap-around, kept non-negative.
        const uint32_t product = (static_cast<uint32_t>(sceneNumber) + 1u) * 1234567u;
        writeFormatted("//---id:%d---\n", static_cast<int32_t>(product & 0x7fffffffu));
    }
    writeFormatted("// This is a Quorell scene file\n\n");
}

void LightFileFactory::close() {
    if (!release()) throw std::runtime_error("could not close file");
}

bool LightFileFactory::release() {
    delete writer;
    writer = nullptr;
    if (!file) return true;
    const int result = std::fclose(file);
    file = nullptr;
    if (result != 0) {
        std::perror("closing file");
        return false;
    }
    return true;
}

void LightFileFactory::writeFormatted(const char* format, ...) {
    if (!writer) return;
    char text[4096];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    writer->writeText("%s", text);
}

}  // namespace orv
