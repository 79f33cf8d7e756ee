#include <time.h>

#include <cerrno>
#include <string>

#include "platform/Platform.h"

namespace platform {

void sleepMs(Dword milliseconds) {
    struct timespec rest {
        static_cast<time_t>(milliseconds / 1000), static_cast<long>(milliseconds % 1000) * 1000000L
    };
    while (::nanosleep(&rest, &rest) == -1 && errno == EINTR) {
    }
}

Dword tickCount() {
    struct timespec now {};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    const uint64_t ms = static_cast<uint64_t>(now.tv_sec) * 1000u + now.tv_nsec / 1000000;
    return static_cast<Dword>(ms);  // wraps like GetTickCount
}

int formatTimeOfDay(const std::tm& time, const char* picture, char* buffer, int bufferSize) {
    if (picture == nullptr || buffer == nullptr || bufferSize <= 0) return 0;
    std::string out;
    auto twoDigits = [&out](int n, bool pad) {
        if (pad || n >= 10) out.push_back(static_cast<char>('0' + n / 10));
        out.push_back(static_cast<char>('0' + n % 10));
    };
    for (const char* p = picture; *p != '\0';) {
        const char c = *p;
        if (c == '\'') {  // quoted literal; '' inside stands for one quote
            ++p;
            while (*p != '\0') {
                if (*p == '\'' && p[1] == '\'') {
                    out.push_back('\'');
                    p += 2;
                } else if (*p == '\'') {
                    ++p;
                    break;
                } else {
                    out.push_back(*p++);
                }
            }
            continue;
        }
        int run = 0;
        while (p[run] == c) ++run;
        const bool pad = run >= 2;
        switch (c) {
            case 'H':
                twoDigits(time.tm_hour, pad);
                break;
            case 'h':
                twoDigits(time.tm_hour % 12 == 0 ? 12 : time.tm_hour % 12, pad);
                break;
            case 'm':
                twoDigits(time.tm_min, pad);
                break;
            case 's':
                twoDigits(time.tm_sec, pad);
                break;
            case 't':
                out.push_back(time.tm_hour < 12 ? 'A' : 'P');
                if (pad) out.push_back('M');
                break;
            default:
                out.append(static_cast<size_t>(run), c);
                break;
        }
        p += run;
    }
    if (out.size() + 1 > static_cast<size_t>(bufferSize)) return 0;
    out.copy(buffer, out.size());
    buffer[out.size()] = '\0';
    return static_cast<int>(out.size() + 1);
}

int formatTimeOfDay(const char* picture, char* buffer, int bufferSize) {
    const time_t now = ::time(nullptr);
    std::tm local{};
    if (::localtime_r(&now, &local) == nullptr) return 0;
    return formatTimeOfDay(local, picture, buffer, bufferSize);
}

}  // namespace platform
