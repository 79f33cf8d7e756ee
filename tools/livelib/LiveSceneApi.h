// The live orvScene_api: every call of a connected session travels to the
// renderer as one frame. Frames are collected in a buffer and sent in large
// writes; disconnect() sends the rest and waits until the renderer has taken
// the whole scene.
//
// A failed send breaks the session: the call that met it and every later call
// report failure (false, or nothing for operations without a result) until
// the next connect().
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "SceneFrames.h"
#include "SocketCalls.h"
#include "importers/sceneapi/orvScene_api.h"

namespace livelink {

class LiveSceneApi : public orvScene_api, private ChunkNumbering {
  public:
    LiveSceneApi();
    ~LiveSceneApi() override;
    LiveSceneApi(const LiveSceneApi&) = delete;
    LiveSceneApi& operator=(const LiveSceneApi&) = delete;

    // Bytes handed to the socket in the current (or last) session, hello included.
    uint64_t bytesSent() const { return bytesSent_; }
    const std::string& lastError() const { return lastError_; }
    bool connected() const { return fd_ >= 0 && !broken_; }

    void reservedA() override {}
    bool connect(const char* host, int32_t port, int32_t n) override;
    bool disconnect() override;
    bool linkQuery() override { return connected(); }
    bool beginGroup(const char* name, bool instance) override;
    void endGroup() override;
    bool beginObject(const char* name, bool instance) override;
    void endObject() override;
    bool beginGeometry(const char* name) override;
    void endGeometry() override;
    bool beginAnimation(const char* name, const char* kind) override;
    void endAnimation() override;
    bool beginLoad(const char* name) override;
    void endLoad() override;
    bool beginOptions() override;
    void endOptions() override;
    bool beginCamera(const char* name) override;
    void endCamera() override;
    bool beginImage() override;
    void endImage() override;
    bool beginOutput(const char* a, const char* b, const char* c) override;
    void endOutput() override;
    bool beginLight(const char* name) override;
    void endLight() override;
    bool beginAccel(const char* name) override;
    void endAccel() override;
    void transform(const double m[16]) override;
    void setTransform(const double m[16]) override;
    void scale(const double* x, const double* y, const double* z) override;
    void rotate(const double* x, const double* y, const double* z) override;
    void translate(const double* x, const double* y, const double* z) override;
    bool beginMatrix(const char* name) override;
    void endMatrix() override;
    bool beginMaterial(const char* name, bool instance) override;
    bool useMaterial(const char* name) override;
    void endMaterial() override;
    void bindShader(int32_t kind, const TextChunk* chunk) override;
    void bindShaderId(int32_t kind, int32_t shader) override;
    bool openShader(const char* name, const char* type) override;
    bool defineShader(const char* type, int32_t shader) override;
    void endShader() override;
    TextChunk* currentChunk() override { return activeChunk_; }
    void pushChunk() override;
    void popChunk() override;
    bool attribute(const char* name, ValueType type, const void* value) override;
    bool shaderInputId(const char* name, int32_t shader) override;
    bool shaderInput(const char* name, const TextChunk* chunk) override;
    bool beginList(const char* name) override;
    void endList() override;
    void listElement(ValueType type, const void* value) override;
    int32_t queryA() override { return 10; }
    int32_t queryB() override { return 10; }
    int32_t queryC() override { return 0; }
    void groupAttribute(const char* key, const char* value) override;
    void writeText(const char* format, ...) override;
    void setFlags(uint32_t flags) override;
    void version(int32_t v) override;
    void reservedB() override {}
    void progress(const char* name, float fraction) override;
    void icon(const uint8_t* bytes, int32_t length) override;
    void blob(const char* keyword, const uint8_t* bytes, int32_t length) override;
    void id(uint32_t value) override;
    void flags(uint32_t value) override;
    bool reservedC() override { return false; }
    bool render() override;
    void print(const char* text) override;
    void error(const char* text) override;

  private:
    uint32_t numberOf(const TextChunk* chunk) const override;

    // Frame building: start() opens a frame (false when the session is not
    // usable), finish() closes it and sends when the buffer is full.
    bool start(Op op);
    bool finish();
    bool simple(Op op);
    bool named(Op op, const char* name);
    bool flush();
    void clearBuffer();
    void fail(std::string why);
    void endSession();
    void resetChunks();

    Socket fd_ = kNoSocket;
    bool broken_ = false;
    uint32_t liveId_ = 0;
    uint64_t bytesSent_ = 0;
    std::string lastError_;
    std::vector<uint8_t> buffer_;
    FrameWriter frame_;

    // Chunks captured through this object (anonymous shaders), kept until it
    // is destroyed, as the file writer keeps its own. The renderer holds their
    // text; here a chunk of the running session stands for it by number.
    std::vector<std::unique_ptr<TextChunk>> chunks_;
    std::unordered_map<const TextChunk*, uint32_t> chunkNumbers_;
    TextChunk* activeChunk_ = nullptr;
    std::vector<TextChunk*> chunkStack_;
};

}  // namespace livelink
