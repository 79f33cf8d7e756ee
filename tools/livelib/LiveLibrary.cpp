// Entry point of the live library orvquorelllive6_64.so.
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

extern "C" __attribute__((visibility("default"))) SharedHandle* quorell_live_initialize() {
    return new (std::nothrow) LiveSharedHandle();
}
