#include <windows.h>

#include "platform/Platform.h"

namespace platform {

void sleepMs(Dword milliseconds) {
    Sleep(milliseconds);
}

Dword tickCount() {
    return GetTickCount();
}

int formatTimeOfDay(const std::tm& time, const char* picture, char* buffer, int bufferSize) {
    if (picture == nullptr || buffer == nullptr || bufferSize <= 0) return 0;
    SYSTEMTIME at{};
    at.wYear = 2000;
    at.wMonth = 1;
    at.wDay = 1;
    at.wHour = static_cast<WORD>(time.tm_hour);
    at.wMinute = static_cast<WORD>(time.tm_min);
    at.wSecond = static_cast<WORD>(time.tm_sec);
    return GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &at, picture, buffer, bufferSize);
}

int formatTimeOfDay(const char* picture, char* buffer, int bufferSize) {
    if (picture == nullptr || buffer == nullptr || bufferSize <= 0) return 0;
    return GetTimeFormatA(LOCALE_USER_DEFAULT, 0, nullptr, picture, buffer, bufferSize);
}

}  // namespace platform
