// Memory for a whole scene file or a large array, never filled with zeros
// first. From the size at which the C library maps fresh pages for every
// allocation (and returns them on release), the pages are asked for as huge
// pages where the system offers them: touching fresh memory 4 KiB at a time
// costs more than reading the file into it.
#pragma once

#include <cstddef>

namespace orv::bip {

class LargeBuffer {
  public:
    LargeBuffer() = default;
    LargeBuffer(const LargeBuffer&) = delete;
    LargeBuffer& operator=(const LargeBuffer&) = delete;
    ~LargeBuffer() { release(); }

    // Room for `bytes` bytes, aligned for any number type; what it held before
    // is kept only when it was already as large.
    char* reserve(size_t bytes);
    char* data() const { return data_; }

  private:
    void release();

    char* data_ = nullptr;
    size_t capacity_ = 0;
    size_t mapped_ = 0;  // bytes mapped by this buffer itself, 0 for the C library's
};

}  // namespace orv::bip
