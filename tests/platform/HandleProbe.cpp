// Started by the process tests: tells whether a file the test holds open
// reached this program. Arguments: the test's handle (a descriptor on POSIX,
// a HANDLE value on Windows), the file's path, and the report file to write
// "inherited" or "not inherited" into.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#endif

namespace {

bool sameFile(unsigned long long handle, const char* path) {
#ifdef _WIN32
    BY_HANDLE_FILE_INFORMATION held{}, named{};
    if (!GetFileInformationByHandle(reinterpret_cast<HANDLE>(static_cast<uintptr_t>(handle)), &held))
        return false;
    HANDLE file = CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    const bool ok = GetFileInformationByHandle(file, &named);
    CloseHandle(file);
    return ok && held.dwVolumeSerialNumber == named.dwVolumeSerialNumber &&
           held.nFileIndexHigh == named.nFileIndexHigh && held.nFileIndexLow == named.nFileIndexLow;
#else
    struct stat held {}, named {};
    return ::fstat(static_cast<int>(handle), &held) == 0 && ::stat(path, &named) == 0 &&
           held.st_dev == named.st_dev && held.st_ino == named.st_ino;
#endif
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: handle-probe HANDLE FILE REPORT\n");
        return 2;
    }
    const bool inherited = sameFile(std::strtoull(argv[1], nullptr, 10), argv[2]);
    // Written under another name first, so the test never reads half a report.
    const std::string partial = std::string(argv[3]) + ".part";
    FILE* report = std::fopen(partial.c_str(), "wb");
    if (!report) return 1;
    std::fputs(inherited ? "inherited" : "not inherited", report);
    if (std::fclose(report) != 0) return 1;
    return std::rename(partial.c_str(), argv[3]) == 0 ? 0 : 1;
}
