// Test double of the renderer's live library, built in three variants:
// LIVE_DOUBLE_NORMAL exports an entry point returning a shared object,
// LIVE_DOUBLE_NULL one returning null, LIVE_DOUBLE_NO_ENTRY none at all.
#include "importers/sceneapi/quorelllive_api.h"

namespace {

class DoubleQuery : public QueryApi {
  public:
    const char* listInstances() override { return "<instances/>"; }
    bool attachInstance(int64_t) override { return false; }
    void reservedQuery3() override {}
    void detachInstance() override {}
    void reservedQuery5() override {}
    void reservedQuery6() override {}
    const char* sceneDescription() override { return nullptr; }
};

// The loader only hands the live object on; a distinct address stands for it.
alignas(16) unsigned char sceneObjectStandIn[16];

class DoubleHandle : public SharedHandle {
  public:
    orvScene_api* sceneApi() override {
        return reinterpret_cast<orvScene_api*>(sceneObjectStandIn);
    }
    QueryApi* queryApi() override { return &query_; }

  private:
    DoubleQuery query_;
};

}  // namespace

#if defined(LIVE_DOUBLE_NORMAL)
extern "C" __attribute__((visibility("default"))) SharedHandle* quorell_live_initialize() {
    return new DoubleHandle();
}
#elif defined(LIVE_DOUBLE_NULL)
extern "C" __attribute__((visibility("default"))) SharedHandle* quorell_live_initialize() {
    return nullptr;
}
#else
// No entry point; a different export keeps the library non-empty.
extern "C" __attribute__((visibility("default"))) int quorell_live_version() {
    return 6;
}
#endif
