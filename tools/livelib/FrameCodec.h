// Building and reading frames of the live link (see WireFormat.h).
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "WireFormat.h"

namespace livelink {

// Appends frames to a byte buffer. begin() reserves the header, end() fills
// in the length; the values go in between.
class FrameWriter {
  public:
    explicit FrameWriter(std::vector<uint8_t>& out) : out_(out) {}

    void begin(Op op);
    // Returns the frame's size, header included.
    size_t end();
    // Drops the frame begun last.
    void abandon() {
        out_.resize(frameStart_);
        blocks_.resize(frameFirstBlock_);
    }

    // From now on raw() does not copy blocks of at least `minimum` bytes (0:
    // copy everything): it notes where each belongs in the byte stream, and
    // whoever sends the buffer sends them from the caller's memory, which must
    // stay valid until then. Saves copying large arrays before a send.
    void referLargeBlocks(size_t minimum) { referMinimum_ = minimum; }
    // A block left out of the buffer: it goes before the buffer's byte `at`.
    struct Block {
        size_t at;
        const void* data;
        size_t size;
    };
    const std::vector<Block>& blocks() const { return blocks_; }
    // To be called with the buffer's clear().
    void clearBlocks() {
        blocks_.clear();
        frameFirstBlock_ = 0;
        frameBlockBytes_ = 0;
    }

    void u8(uint8_t v) { out_.push_back(v); }
    void u32(uint32_t v) { raw(&v, 4); }
    void i32(int32_t v) { raw(&v, 4); }
    void u64(uint64_t v) { raw(&v, 8); }
    void f32(float v) { raw(&v, 4); }
    void f64(double v) { raw(&v, 8); }
    void raw(const void* data, size_t size);
    // A name; null stays distinguishable from "".
    void string(const char* text);
    void string(std::string_view text);
    // Zero bytes up to the next multiple of 8 from the payload start.
    void align8();

  private:
    std::vector<uint8_t>& out_;
    size_t frameStart_ = 0;
    size_t referMinimum_ = 0;
    std::vector<Block> blocks_;
    size_t frameFirstBlock_ = 0;  // the first block of the frame begun last
    size_t frameBlockBytes_ = 0;  // its blocks' bytes
};

// Reads one payload. Every read checks the bounds; after the first failure
// ok() is false and reads return zeros.
class PayloadReader {
  public:
    PayloadReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    bool ok() const { return ok_; }
    bool atEnd() const { return pos_ == size_; }
    const char* failure() const { return failure_; }

    uint8_t u8();
    uint32_t u32();
    int32_t i32() { return static_cast<int32_t>(u32()); }
    uint64_t u64();
    float f32();
    double f64();
    // A name, as a pointer into the payload (null for a null name).
    const char* string(uint32_t* length = nullptr);
    // count bytes at the next multiple of 8; null on failure.
    const uint8_t* alignedBlock(size_t count);
    const uint8_t* bytes(size_t count);

    void fail(const char* why) {
        if (ok_) failure_ = why;
        ok_ = false;
    }

  private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
    bool ok_ = true;
    const char* failure_ = "";
};

// Little-endian helpers for the fixed headers.
inline void putU16(uint8_t* p, uint16_t v) {
    std::memcpy(p, &v, 2);
}
inline void putU32(uint8_t* p, uint32_t v) {
    std::memcpy(p, &v, 4);
}
inline uint16_t getU16(const uint8_t* p) {
    uint16_t v;
    std::memcpy(&v, p, 2);
    return v;
}
inline uint32_t getU32(const uint8_t* p) {
    uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}

}  // namespace livelink
