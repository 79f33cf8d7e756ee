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
// Measured with writer_bench --threads-threshold (one float array, 2 cores, best
// of repetitions, machine at load average 16): a second thread adds a fixed
// 25-30 us (1,024 numbers: 11.6 us on one thread, 37 us on two; 8,192: 94 us
// against 122 us); 65,536 numbers take 1,044 us on one thread, so there the
// start is under 3% and an idle second core nearly halves the time. Under
// that load the second thread seldom found a core: two threads were 8% slower
// at 65,536 (1,129 us) in both runs, and above it the runs scattered (1,048,576
// numbers: 21-64 ms on two threads against 59-115 ms on one). On the same
// machine when quiet (two runs), two threads break even at 8,192 numbers
// (0.96-0.99 of one thread) and take 0.87-0.88 at 65,536 and 0.86-0.93 above:
// the text is handed on in order on the calling thread, so only the formatting
// halves. Below 65,536 the start weighs too much for what a busy machine may
// give back.
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

// Smallest array, in numbers, formatted on several threads (by default
// kParallelTextNumbers); for measuring where threads start to pay off.
void setParallelTextMinimum(int64_t numbers);

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
