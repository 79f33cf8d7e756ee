// Scripted stand-ins for the live library's query interface and live scene
// object, recording what the connection asks of them.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <map>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "importers/sceneapi/orvScene_api_file.h"
#include "importers/sceneapi/quorelllive_api.h"

namespace fake {

// Answers listInstances with the next scripted text (the last one repeats) and
// sceneDescription with the text scripted for the attached process.
class ScriptedQuery : public QueryApi {
  public:
    std::vector<std::optional<std::string>> lists;
    std::map<int64_t, std::optional<std::string>> scenes;  // attachable processes
    int listCalls = 0;
    std::vector<int64_t> attached;
    int detachCalls = 0;

    const char* listInstances() override {
        ++listCalls;
        if (lists.empty()) return nullptr;
        const size_t i = std::min(static_cast<size_t>(listCalls - 1), lists.size() - 1);
        return lists[i] ? lists[i]->c_str() : nullptr;
    }
    bool attachInstance(int64_t processId) override {
        if (!scenes.count(processId)) return false;
        attached.push_back(processId);
        current = processId;
        return true;
    }
    void reservedQuery3() override {}
    void detachInstance() override { ++detachCalls; }
    void reservedQuery5() override {}
    void reservedQuery6() override {}
    const char* sceneDescription() override {
        const auto& text = scenes.at(current);
        return text ? text->c_str() : nullptr;
    }

  private:
    int64_t current = 0;
};

// Holds the stream the recording object's writer discards its output into;
// a base of its own so that it outlives the writer.
struct DiscardStream {
    FILE* stream = std::fopen("/dev/null", "w");
    ~DiscardStream() { std::fclose(stream); }
};

// A live scene object recording id, connect and disconnect; the other calls go
// to a file writer whose output is discarded.
class RecordingLiveApi : private DiscardStream, public orvScene_api_file {
  public:
    using Attempt = std::tuple<std::string, int32_t, int32_t>;
    std::vector<Attempt> attempts;
    std::vector<int32_t> acceptedPorts;  // connect succeeds on these
    std::vector<uint32_t> ids;
    int disconnects = 0;

    RecordingLiveApi() : orvScene_api_file(DiscardStream::stream, false) {}
    bool connect(const char* host, int32_t port, int32_t n) override {
        attempts.emplace_back(host, port, n);
        return std::find(acceptedPorts.begin(), acceptedPorts.end(), port) != acceptedPorts.end();
    }
    bool disconnect() override {
        ++disconnects;
        return true;
    }
    void id(uint32_t value) override { ids.push_back(value); }
};

}  // namespace fake
