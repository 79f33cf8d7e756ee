// An orvScene_api that does nothing: the target when a frame is only checked.
#pragma once

#include "importers/sceneapi/orvScene_api.h"

namespace orv {

class NullSceneApi : public orvScene_api {
  public:
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
    int32_t queryA() override { return 10; }
    int32_t queryB() override { return 10; }
    int32_t queryC() override { return 0; }
    void groupAttribute(const char*, const char*) override {}
    void writeText(const char*, ...) override {}
    void setFlags(uint32_t) override {}
    void version(int32_t) override {}
    void reservedB() override {}
    void progress(const char*, float) override {}
    void icon(const uint8_t*, int32_t) override {}
    void blob(const char*, const uint8_t*, int32_t) override {}
    void id(uint32_t) override {}
    void flags(uint32_t) override {}
    bool reservedC() override { return false; }
    bool render() override { return true; }
    void print(const char*) override {}
    void error(const char*) override {}
};

}  // namespace orv
