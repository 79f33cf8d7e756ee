// Entry point of the live library orvquorelllive6_64.so (a DLL on Windows).
#include <new>

#include "LiveQueryApi.h"
#include "LiveSceneApi.h"
#include "importers/sceneapi/quorelllive_api.h"

namespace {

class LiveSharedHandle : public SharedHandle {
  public:
    orvScene_api* sceneApi() override { return &scene_; }
    QueryApi* queryApi() override { return &query_; }

  private:
    livelink::LiveSceneApi scene_;
    livelink::LiveQueryApi query_;
};

}  // namespace

#ifdef _WIN32
#define QUORELL_LIVE_EXPORT __declspec(dllexport)
#else
#define QUORELL_LIVE_EXPORT __attribute__((visibility("default")))
#endif

extern "C" QUORELL_LIVE_EXPORT SharedHandle* quorell_live_initialize() {
    return new (std::nothrow) LiveSharedHandle();
}
