#include "FrameCodec.h"

#include <bit>

static_assert(std::endian::native == std::endian::little, "the wire format is little-endian");

namespace livelink {

void FrameWriter::begin(Op op) {
    frameStart_ = out_.size();
    frameFirstBlock_ = blocks_.size();
    frameBlockBytes_ = 0;
    out_.resize(frameStart_ + kFrameHeaderBytes);
    out_[frameStart_ + 4] = static_cast<uint8_t>(op);
}

size_t FrameWriter::end() {
    const size_t size = out_.size() - frameStart_ + frameBlockBytes_;
    putU32(out_.data() + frameStart_, static_cast<uint32_t>(size - 4));
    return size;
}

void FrameWriter::raw(const void* data, size_t size) {
    if (size == 0) return;
    if (referMinimum_ && size >= referMinimum_) {
        blocks_.push_back({out_.size(), data, size});
        frameBlockBytes_ += size;
        return;
    }
    const size_t at = out_.size();
    out_.resize(at + size);
    std::memcpy(out_.data() + at, data, size);
}

void FrameWriter::string(const char* text) {
    if (!text) {
        u32(kNullString);
        return;
    }
    string(std::string_view(text));
}

void FrameWriter::string(std::string_view text) {
    u32(static_cast<uint32_t>(text.size()));
    raw(text.data(), text.size());
    u8(0);
}

void FrameWriter::align8() {
    const size_t payloadOffset = out_.size() - frameStart_ - kFrameHeaderBytes + frameBlockBytes_;
    const size_t pad = (8 - payloadOffset % 8) % 8;
    out_.resize(out_.size() + pad, 0);
}

const uint8_t* PayloadReader::bytes(size_t count) {
    if (!ok_) return nullptr;
    if (count > size_ - pos_) {
        fail("payload ends early");
        return nullptr;
    }
    const uint8_t* p = data_ + pos_;
    pos_ += count;
    return p;
}

uint8_t PayloadReader::u8() {
    const uint8_t* p = bytes(1);
    return p ? *p : 0;
}

uint32_t PayloadReader::u32() {
    const uint8_t* p = bytes(4);
    return p ? getU32(p) : 0;
}

uint64_t PayloadReader::u64() {
    uint64_t v = 0;
    if (const uint8_t* p = bytes(8)) std::memcpy(&v, p, 8);
    return v;
}

float PayloadReader::f32() {
    float v = 0;
    if (const uint8_t* p = bytes(4)) std::memcpy(&v, p, 4);
    return v;
}

double PayloadReader::f64() {
    double v = 0;
    if (const uint8_t* p = bytes(8)) std::memcpy(&v, p, 8);
    return v;
}

const char* PayloadReader::string(uint32_t* length) {
    const uint32_t n = u32();
    if (length) *length = 0;
    if (!ok_ || n == kNullString) return nullptr;
    const uint8_t* p = bytes(size_t(n) + 1);
    if (!p) return nullptr;
    if (p[n] != 0) {
        fail("name without terminator");
        return nullptr;
    }
    if (length) *length = n;
    return reinterpret_cast<const char*>(p);
}

const uint8_t* PayloadReader::alignedBlock(size_t count) {
    const size_t pad = (8 - pos_ % 8) % 8;
    if (!bytes(pad)) return nullptr;
    if (count == 0) return data_ + pos_;
    return bytes(count);
}

const char* opName(uint8_t op) {
    static const char* const names[] = {
        "beginGroup",     "endGroup",       "beginObject",  "endObject",    "beginGeometry",
        "endGeometry",    "beginAnimation", "endAnimation", "beginLoad",    "endLoad",
        "beginOptions",   "endOptions",     "beginCamera",  "endCamera",    "beginImage",
        "endImage",       "beginOutput",    "endOutput",    "beginLight",   "endLight",
        "beginAccel",     "endAccel",       "transform",    "setTransform", "scale",
        "rotate",         "translate",      "beginMatrix",  "endMatrix",    "beginMaterial",
        "useMaterial",    "endMaterial",    "bindShader",   "bindShaderId", "openShader",
        "defineShader",   "endShader",      "pushChunk",    "popChunk",     "attribute",
        "shaderInputId",  "shaderInput",    "beginList",    "endList",      "listElement",
        "groupAttribute", "writeText",      "setFlags",     "version",      "progress",
        "icon",           "blob",           "id",           "flags",        "render",
        "print",          "error"};
    static_assert(sizeof(names) / sizeof(names[0]) == static_cast<size_t>(Op::LastSceneOp));
    if (isSceneOp(op)) return names[op - 1];
    switch (static_cast<Op>(op)) {
        case Op::Finish:
            return "finish";
        case Op::Ack:
            return "ack";
        case Op::Describe:
            return "describe";
        case Op::Description:
            return "description";
        default:
            return "unknown";
    }
}

}  // namespace livelink
