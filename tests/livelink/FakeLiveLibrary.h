// Scripted stand-ins for the live library's query interface and live scene
// object, recording what the connection asks of them.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "importers/sceneapi/orvScene_api.h"
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

// A live scene object that only records id, connect and disconnect.
class RecordingLiveApi : public orvScene_api {
  public:
    using Attempt = std::tuple<std::string, int32_t, int32_t>;
    std::vector<Attempt> attempts;
    std::vector<int32_t> acceptedPorts;  // connect succeeds on these
    std::vector<uint32_t> ids;
    int disconnects = 0;

    bool connect(const char* host, int32_t port, int32_t n) override {
        attempts.emplace_back(host, port, n);
        for (int32_t p : acceptedPorts)
            if (p == port) return true;
        return false;
    }
    bool disconnect() override {
        ++disconnects;
        return true;
    }
    void id(uint32_t value) override { ids.push_back(value); }

    void reservedA() override {}
    bool beginGroup(const char*, bool) override { return true; }
    void endGroup() override {}
    bool beginObject(const char*, bool) override { return true; }
    void endObject() override {}
    bool beginGeometry(const char*) override { return true; }
    void endGeometry() override {}
    bool beginAnimation(const char*, const char*) override { return true; }
    void endAnimation() override {}
    bool beginLoad(const char*) override { return true; }
    void endLoad() override {}
    bool beginOptions() override { return true; }
    void endOptions() override {}
    bool beginCamera(const char*) override { return true; }
    void endCamera() override {}
    bool beginImage() override { return true; }
    void endImage() override {}
    bool beginOutput(const char*, const char*, const char*) override { return true; }
    void endOutput() override {}
    bool beginLight(const char*) override { return true; }
    void endLight() override {}
    bool beginAccel(const char*) override { return true; }
    void endAccel() override {}
    void transform(const double*) override {}
    void setTransform(const double*) override {}
    void scale(const double*, const double*, const double*) override {}
    void rotate(const double*, const double*, const double*) override {}
    void translate(const double*, const double*, const double*) override {}
    bool beginMatrix(const char*) override { return true; }
    void endMatrix() override {}
    bool beginMaterial(const char*, bool) override { return true; }
    bool useMaterial(const char*) override { return true; }
    void endMaterial() override {}
    void bindShader(int32_t, const TextChunk*) override {}
    void bindShaderId(int32_t, int32_t) override {}
    bool openShader(const char*, const char*) override { return true; }
    bool defineShader(const char*, int32_t) override { return true; }
    void endShader() override {}
    TextChunk* currentChunk() override { return nullptr; }
    void pushChunk() override {}
    void popChunk() override {}
    bool attribute(const char*, ValueType, const void*) override { return true; }
    bool shaderInputId(const char*, int32_t) override { return true; }
    bool shaderInput(const char*, const TextChunk*) override { return true; }
    bool beginList(const char*) override { return true; }
    void endList() override {}
    void listElement(ValueType, const void*) override {}
    int32_t queryA() override { return 0; }
    int32_t queryB() override { return 0; }
    int32_t queryC() override { return 0; }
    void groupAttribute(const char*, const char*) override {}
    void writeText(const char*, ...) override {}
    void setFlags(uint32_t) override {}
    void version(int32_t) override {}
    void reservedB() override {}
    void progress(const char*, float) override {}
    void icon(const uint8_t*, int32_t) override {}
    void blob(const char*, const uint8_t*, int32_t) override {}
    void flags(uint32_t) override {}
    bool reservedC() override { return false; }
    bool render() override { return false; }
    void print(const char*) override {}
    void error(const char*) override {}
};

}  // namespace fake
