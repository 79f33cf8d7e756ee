#pragma once
// The platform an add-in is built for, and how its entry points leave the library.

#if defined(_WIN32)
#define XI_WIN 1
#elif defined(__APPLE__)
#define XI_OSX 1
#else
#define XI_LINUX 1
#endif

// Marks run and stop (and nothing else) as exported from the add-in library.
#if defined(XI_WIN)
#define XI_EXPORT __declspec(dllexport)
#else
#define XI_EXPORT __attribute__((visibility("default")))
#endif
