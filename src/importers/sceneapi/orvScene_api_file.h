// The .bip file implementation of the scene output interface: turns every call
// into text of the scene language (or, for large numeric arrays, into tagged
// binary blocks) on a standard I/O stream.
//
// Output is assembled in a work buffer and handed to the stream with fwrite at
// the end of every operation (and whenever the buffer fills), so the stream is
// up to date between calls. While an anonymous shader is captured, each output
// piece is appended to the current TextChunk instead.
#pragma once

#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "importers/sceneapi/orvScene_api.h"

namespace orv {
struct ValueKind;
class ParallelTextBuffers;
}

class orvScene_api_file : public orvScene_api {
  public:
    // Default flags: indentation off (bit 22), binary arrays as given.
    static constexpr uint32_t kDefaultFlags = 0x400001;
    static constexpr uint32_t kFlagBinaryArrays = 0x2;
    static constexpr uint32_t kFlagNoIndent = 0x400000;
    // Longest text of one formatted piece; longer text is cut.
    static constexpr size_t kMaxPiece = 0xFFFFF;
    // Whether a name is written in its hexadecimal form (never indented)
    // rather than quoted.
    static bool hexNameForm(std::string_view name);

    // Sets LC_NUMERIC to "C" for the writer's lifetime. The stream is not owned.
    orvScene_api_file(FILE* stream, bool binaryArrays);
    ~orvScene_api_file() override;
    orvScene_api_file(const orvScene_api_file&) = delete;
    orvScene_api_file& operator=(const orvScene_api_file&) = delete;

    void reservedA() override;
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
    TextChunk* currentChunk() override;
    void pushChunk() override;
    void popChunk() override;
    bool attribute(const char* name, ValueType type, const void* value) override;
    bool shaderInputId(const char* name, int32_t shader) override;
    bool shaderInput(const char* name, const TextChunk* chunk) override;
    bool beginList(const char* name) override;
    void endList() override;
    void listElement(ValueType type, const void* value) override;
    int32_t queryA() override;
    int32_t queryB() override;
    int32_t queryC() override;
    void groupAttribute(const char* key, const char* value) override;
    void writeText(const char* format, ...) override;
    void setFlags(uint32_t flags) override;
    void version(int32_t v) override;
    void reservedB() override;
    void progress(const char* name, float fraction) override;
    void icon(const uint8_t* bytes, int32_t length) override;
    void blob(const char* keyword, const uint8_t* bytes, int32_t length) override;
    void id(uint32_t value) override;
    void flags(uint32_t value) override;
    bool reservedC() override;
    bool render() override;
    void print(const char* text) override;
    void error(const char* text) override;

    // "#modify " followed by exactly what beginCamera writes.
    bool modifyCamera(const char* name);

  private:
    friend struct OperationFlush;

    // Output pieces.
    void piece(const char* text, size_t length);     // P
    void indented(const char* text, size_t length);  // I
    void indentedFormat(const char* format, ...);    // I, printf-style
    void indentedVFormat(const char* format, va_list args);
    void raw(const void* bytes, size_t length);                // R
    void name(const char* text);                               // N (level 0)
    void nameAtLevel(const char* text);                        // N+
    void newlineIndent();                                      // P "\n", then I ""
    void chunkText(const TextChunk* chunk);                    // R or I "%s"
    void value(const orv::ValueKind& kind, const void* data);  // V
    void textArray(const orv::ValueKind& kind, const ArrayRef& array);
    bool numericTextInParallel(const orv::ValueKind& kind, const void* data, int32_t count,
                               int width);
    void binaryArray(char tag, uint32_t count, const void* data, size_t bytes);
    void openBody(const char* blockName);  // N name, P " {\n", level +1
    void saveStyle(bool plain);
    void blockEnd();  // level -1, I "}\n"
    void openTopBlock(int32_t kind);
    void closeTopBlock(int32_t kind);
    void closeStatement();

    // Work buffer handling.
    char* reserve(size_t n);
    void commit(char* end) { used = static_cast<size_t>(end - out.data()); }
    void endPiece(size_t start, bool binary);
    void flushOut();
    int indentWidth() const;
    void appendToChunk(TextChunk* chunk, const char* bytes, size_t length, bool binary);

    FILE* stream;
    bool binaryArrays;
    uint32_t flagBits = kDefaultFlags;
    int32_t level = 0;
    bool capturing = false;
    TextChunk* activeChunk = nullptr;
    // The open top-level block: none, options, camera, image, or an object.
    enum : int32_t { kTopNone = 0, kTopOptions = 1, kTopCamera = 2, kTopImage = 3, kTopObject = 4 };
    int32_t topBlock = kTopNone;
    bool style = false;  // true: plain style
    int32_t listCount = 0;
    std::vector<uint32_t> collected;
    size_t collectedCount = 0;
    char collectedTag = 0;
    std::vector<bool> styleStack;  // statement style outside each open block
    // What an open shader definition replaced, given back by its end.
    struct ShaderScope {
        bool capturing;
        bool style;
        bool anonymous;  // captured into a chunk, its text starting at level 0
        int32_t level;
    };
    std::vector<ShaderScope> shaderStack;
    std::vector<TextChunk*> chunkStack;  // pushChunk / popChunk
    std::vector<TextChunk*> allChunks{nullptr};
    // The work buffers are written before they are read, so they are not
    // zero-filled: a small scene touches only the pages it uses.
    template <typename T>
    struct NoFillAllocator : std::allocator<T> {
        template <typename U>
        struct rebind {
            using other = NoFillAllocator<U>;
        };
        template <typename U>
        void construct(U* p) noexcept {
            ::new (static_cast<void*>(p)) U;
        }
    };
    std::vector<char, NoFillAllocator<char>> formatBuffer;
    std::vector<char, NoFillAllocator<char>> out;  // output of the current operation, also the indenting buffer
    size_t used = 0;
    std::unique_ptr<orv::ParallelTextBuffers> textBuffers;  // of large text arrays
    std::string savedLocale;
};
