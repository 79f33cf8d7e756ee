# Cross build for 64-bit Windows with MinGW-w64 (the posix-threads compilers,
# so that std::thread and std::mutex work). ctest runs the programs under Wine.
#   cmake -S . -B build-win -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(QUORELL_MINGW x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${QUORELL_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QUORELL_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${QUORELL_MINGW}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${QUORELL_MINGW})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Wine's 64-bit loader, quiet, without the .NET and browser installers.
find_program(QUORELL_WINE64 NAMES wine64 PATHS /usr/lib/wine NO_DEFAULT_PATH)
if(NOT QUORELL_WINE64)
  find_program(QUORELL_WINE64 NAMES wine64 wine)
endif()
if(QUORELL_WINE64)
  set(CMAKE_CROSSCOMPILING_EMULATOR
    env WINEDEBUG=-all "WINEDLLOVERRIDES=mscoree,mshtml=" ${QUORELL_WINE64})
endif()
