// Large numeric arrays formatted on several threads, their text kept in order.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace orv {

struct ValueKind;

// Numbers in an array from which formatting on several threads pays off.
inline constexpr int64_t kParallelTextNumbers = 1 << 16;

// The formatting threads' text buffers, kept from one array to the next.
class ParallelTextBuffers {
  public:
    // Room for `size` bytes for thread `thread`; earlier contents are gone.
    char* get(unsigned thread, size_t size);

  private:
    std::vector<std::unique_ptr<char[]>> buffers_;
    std::vector<size_t> sizes_;
};

// Threads that format one large array: 0 (the default) uses every processor,
// 1 formats on the calling thread only. For the whole process.
void setTextThreads(unsigned threads);

// Writes the elements of a numeric array as elementsText does, on every
// processor, handing the text to `sink` in order, block by block. Does
// nothing and returns false for arrays below kParallelTextNumbers numbers or
// with one thread to use.
bool parallelElementsText(const ValueKind& kind, const void* data, int32_t count, int width,
                          ParallelTextBuffers& buffers,
                          const std::function<void(const char*, size_t)>& sink);

}  // namespace orv
