// Loads the renderer's live library from the installation's program folder
// (or the current folder), obtains its shared object through the entry point
// "quorell_live_initialize" and hands out its query and live scene interfaces.
// At most one library is loaded at a time; unloadLiveLibrary releases it.
#pragma once

#include <cstdint>
#include <string>

#include "importers/sceneapi/quorelllive_api.h"
#include "platform/Platform.h"

class orvScene_api;

struct LiveLibrary {
    SharedHandle* shared = nullptr;           // returned by the entry point
    platform::ModuleHandle module = nullptr;  // the loaded library
};

// "orvquorelllive6_" for major versions from 6 on, "orvquorelllive" before;
// the file name adds "32.so" or "64.so".
std::wstring liveLibraryStem(int32_t version);

// Loads the library of the installation in [minVersion, maxVersion] into lib.
// True when the entry point returned a shared object; a library without one
// stays loaded in lib for the caller to release.
bool loadLiveLibrary(LiveLibrary& lib, int32_t minVersion, int32_t maxVersion);

// Destroys the shared object, frees the library and forgets it.
void unloadLiveLibrary();

// The interfaces of the loaded library, loading it first when none is. The
// version range only matters for that first load. Null when it fails.
QueryApi* orv_get_query_api(int32_t minVersion, int32_t maxVersion);
orvScene_api* orv_get_scene_api(int32_t minVersion, int32_t maxVersion);
