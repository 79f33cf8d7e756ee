// The query interface of the live library: lists the running renderer
// instances from their instance records and asks an attached instance for
// its scene description over a query connection.
#pragma once

#include <cstdint>
#include <string>

#include "SocketCalls.h"
#include "importers/sceneapi/quorelllive_api.h"

namespace livelink {

class LiveQueryApi : public QueryApi {
  public:
    LiveQueryApi() = default;
    ~LiveQueryApi();
    LiveQueryApi(const LiveQueryApi&) = delete;
    LiveQueryApi& operator=(const LiveQueryApi&) = delete;

    const char* listInstances() override;
    bool attachInstance(int64_t processId) override;
    void reservedQuery3() override {}
    void detachInstance() override;
    void reservedQuery5() override {}
    void reservedQuery6() override {}
    const char* sceneDescription() override;

    const std::string& lastError() const { return lastError_; }

  private:
    Socket fd_ = kNoSocket;
    std::string instances_;
    std::string description_;
    std::string lastError_;
};

}  // namespace livelink
