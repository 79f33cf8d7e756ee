// A scene output that records every call as one line of text, so tests can
// compare call sequences without depending on the file writer's formatting.
#pragma once

#include <cstdarg>
#include <cstdio>
#include <string>
#include <vector>

#include "importers/sceneapi/orvScene_api.h"
#include "scene/LightFactory.h"

namespace orv::test {

class RecordingSceneApi : public orvScene_api {
  public:
    std::vector<std::string> calls;
    // Data pointer of the last array value, to check arrays arrive uncopied.
    std::vector<const void*> arrayData;

    void reservedA() override { add("reservedA"); }
    bool beginGroup(const char* name, bool instance) override {
        return add("beginGroup " + str(name) + (instance ? "" : " define"));
    }
    void endGroup() override { add("endGroup"); }
    bool beginObject(const char* name, bool instance) override {
        return add("beginObject " + str(name) + (instance ? "" : " define"));
    }
    void endObject() override { add("endObject"); }
    bool beginGeometry(const char* name) override { return add("beginGeometry " + str(name)); }
    void endGeometry() override { add("endGeometry"); }
    bool beginAnimation(const char* name, const char* kind) override {
        return add("beginAnimation " + str(name) + " " + str(kind));
    }
    void endAnimation() override { add("endAnimation"); }
    bool beginLoad(const char* name) override { return add("beginLoad " + str(name)); }
    void endLoad() override { add("endLoad"); }
    bool beginOptions() override { return add("beginOptions"); }
    void endOptions() override { add("endOptions"); }
    bool beginCamera(const char* name) override { return add("beginCamera " + str(name)); }
    void endCamera() override { add("endCamera"); }
    bool beginImage() override { return add("beginImage"); }
    void endImage() override { add("endImage"); }
    bool beginOutput(const char* a, const char* b, const char* c) override {
        return add("beginOutput " + str(a) + " " + str(b) + " " + str(c));
    }
    void endOutput() override { add("endOutput"); }
    bool beginLight(const char* name) override { return add("beginLight " + str(name)); }
    void endLight() override { add("endLight"); }
    bool beginAccel(const char* name) override { return add("beginAccel " + str(name)); }
    void endAccel() override { add("endAccel"); }
    void transform(const double m[16]) override { add("transform" + doubles(m, 16)); }
    void setTransform(const double m[16]) override { add("setTransform" + doubles(m, 16)); }
    void scale(const double*, const double*, const double*) override { add("scale"); }
    void rotate(const double*, const double*, const double*) override { add("rotate"); }
    void translate(const double*, const double*, const double*) override { add("translate"); }
    bool beginMatrix(const char* name) override { return add("beginMatrix " + str(name)); }
    void endMatrix() override { add("endMatrix"); }
    bool beginMaterial(const char* name, bool instance) override {
        return add("beginMaterial " + str(name) + (instance ? "" : " define"));
    }
    bool useMaterial(const char* name) override { return add("useMaterial " + str(name)); }
    void endMaterial() override { add("endMaterial"); }
    void bindShader(int32_t kind, const TextChunk*) override {
        add("bindShader " + std::to_string(kind));
    }
    void bindShaderId(int32_t kind, int32_t shader) override {
        add("bindShaderId " + std::to_string(kind) + " " + std::to_string(shader));
    }
    bool openShader(const char* name, const char* type) override {
        return add("openShader " + str(name) + " " + str(type));
    }
    bool defineShader(const char* type, int32_t shader) override {
        return add("defineShader " + std::to_string(shader) + " " + str(type));
    }
    void endShader() override { add("endShader"); }
    TextChunk* currentChunk() override { return nullptr; }
    void pushChunk() override { add("pushChunk"); }
    void popChunk() override { add("popChunk"); }
    bool attribute(const char* name, ValueType type, const void* value) override {
        return add(str(name) + value_text(type, value));
    }
    bool shaderInputId(const char* name, int32_t shader) override {
        return add(str(name) + " ! " + std::to_string(shader));
    }
    bool shaderInput(const char* name, const TextChunk*) override {
        return add(str(name) + " ! chunk");
    }
    bool beginList(const char* name) override { return add("beginList " + str(name)); }
    void endList() override { add("endList"); }
    void listElement(ValueType type, const void* value) override {
        add("listElement" + value_text(type, value));
    }
    int32_t queryA() override { return 10; }
    int32_t queryB() override { return 10; }
    int32_t queryC() override { return 0; }
    void groupAttribute(const char* key, const char* value) override {
        add("groupAttribute " + str(key) + " " + str(value));
    }
    void writeText(const char* format, ...) override {
        char buffer[4096];
        va_list args;
        va_start(args, format);
        std::vsnprintf(buffer, sizeof buffer, format, args);
        va_end(args);
        add("writeText " + std::string(buffer));
    }
    void setFlags(uint32_t value) override { add("setFlags " + std::to_string(value)); }
    void version(int32_t v) override { add("version " + std::to_string(v)); }
    void reservedB() override { add("reservedB"); }
    void progress(const char* name, float fraction) override {
        add("progress " + str(name) + " " + num(fraction));
    }
    void icon(const uint8_t*, int32_t length) override { add("icon " + std::to_string(length)); }
    void blob(const char* keyword, const uint8_t*, int32_t length) override {
        add("blob " + str(keyword) + " " + std::to_string(length));
    }
    void id(uint32_t value) override { add("id " + std::to_string(value)); }
    void flags(uint32_t value) override { add("flags " + std::to_string(value)); }
    bool reservedC() override { return false; }
    bool render() override { return add("render"); }
    void print(const char* text) override { add("print " + str(text)); }
    void error(const char* text) override { add("error " + str(text)); }

    // The calls recorded from the first one that starts with prefix on.
    std::vector<std::string> from(const std::string& prefix) const {
        for (std::size_t i = 0; i < calls.size(); ++i)
            if (calls[i].rfind(prefix, 0) == 0) return {calls.begin() + i, calls.end()};
        return {};
    }

  private:
    bool add(std::string call) {
        calls.push_back(std::move(call));
        return true;
    }
    static std::string str(const char* text) { return text ? text : "<null>"; }
    static std::string num(double v) {
        char buffer[64];
        std::snprintf(buffer, sizeof buffer, "%g", v);
        return buffer;
    }
    static std::string doubles(const double* v, int n) {
        std::string out;
        for (int i = 0; i < n; ++i) out += " " + num(v[i]);
        return out;
    }
    template <typename T>
    static std::string many(const void* value, int n) {
        const T* v = static_cast<const T*>(value);
        std::string out;
        for (int i = 0; i < n; ++i) out += " " + num(static_cast<double>(v[i]));
        return out;
    }
    std::string value_text(ValueType type, const void* value) {
        switch (type) {
            case vtFloat3:
                return " f3" + many<float>(value, 3);
            case vtFloat4:
            case vtFloat4b:
                return " f4" + many<float>(value, 4);
            case vtFloat:
                return " f" + many<float>(value, 1);
            case vtDouble:
                return " d" + many<double>(value, 1);
            case vtDouble3:
                return " d3" + many<double>(value, 3);
            case vtInt:
                return " i" + many<int32_t>(value, 1);
            case vtShaderId:
                return " shader" + many<int32_t>(value, 1);
            case vtBool:
                return *static_cast<const int32_t*>(value) ? " on" : " off";
            case vtString:
                return " s " + str(static_cast<const char*>(value));
            case vtFloat2:
                return " f2" + many<float>(value, 2);
            default:
                break;
        }
        if (type & vtArray) {
            const auto* ref = static_cast<const ArrayRef*>(value);
            arrayData.push_back(ref->data);
            const int n = ref->count;
            switch (type) {
                case vtFloat3Array:
                    return " f3[" + std::to_string(n) + "]" + many<float>(ref->data, 3 * n);
                case vtFloatArray:
                    return " f[" + std::to_string(n) + "]" + many<float>(ref->data, n);
                case vtIntArray:
                    return " i[" + std::to_string(n) + "]" + many<int32_t>(ref->data, n);
                default:
                    return " array " + std::to_string(type) + "[" + std::to_string(n) + "]";
            }
        }
        return " kind " + std::to_string(type);
    }
};

// A factory handing out one recorder and writing no header.
class RecordingFactory : public LightFactory {
  public:
    RecordingSceneApi recorder;
    orvScene_api* getSceneApi() override { return &recorder; }
    void writeHeader(orvSceneapi_oo&) override {}
    void close() override {}
};

}  // namespace orv::test
