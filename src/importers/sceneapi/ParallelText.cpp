#include "importers/sceneapi/ParallelText.h"

#include <algorithm>
#include <atomic>
#include <system_error>
#include <thread>
#include <vector>

#include "importers/sceneapi/ValueKinds.h"
#include "importers/sceneapi/ValueText.h"

namespace orv {

namespace {

// Elements per thread and round: small enough that the text buffers stay a
// few megabytes, large enough that starting threads costs little.
constexpr int32_t kSliceElements = 1 << 14;
constexpr unsigned kMaxThreads = 8;

std::atomic<unsigned> chosenThreads{0};
std::atomic<int64_t> parallelMinimum{kParallelTextNumbers};

}  // namespace

char* ParallelTextBuffers::get(unsigned thread, size_t size) {
    if (thread >= buffers_.size()) {
        buffers_.resize(thread + 1);
        sizes_.resize(thread + 1, 0);
    }
    if (sizes_[thread] < size) {
        buffers_[thread].reset();  // the old one goes before the new one comes
        buffers_[thread].reset(new char[size]);
        sizes_[thread] = size;
    }
    return buffers_[thread].get();
}

void setParallelTextMinimum(int64_t numbers) {
    parallelMinimum = numbers;
}

void setTextThreads(unsigned threads) {
    chosenThreads = threads;
}

bool parallelElementsText(const ValueKind& kind, const void* data, int32_t count, int width,
                          ParallelTextBuffers& buffers,
                          const std::function<void(const char*, size_t)>& sink) {
    // Small arrays, the most of a scene, return before the processor count is
    // asked for: glibc reads it from /sys on every call.
    if (!data || int64_t{count} * kind.count < parallelMinimum.load(std::memory_order_relaxed))
        return false;
    static const unsigned processors = std::thread::hardware_concurrency();
    const unsigned chosen = chosenThreads;
    const unsigned threads = std::min(chosen ? chosen : processors, kMaxThreads);
    if (threads < 2) return false;
    const size_t bound = maxElementText(kind, width);
    const auto slice = static_cast<int64_t>(
        std::min<size_t>(kSliceElements, (size_t(count) + threads - 1) / threads));
    std::vector<char*> text(threads);
    for (unsigned t = 0; t < threads; ++t) text[t] = buffers.get(t, bound * static_cast<size_t>(slice));
    std::vector<size_t> lengths(threads);
    std::vector<std::thread> workers;
    for (int32_t round = 0; round < count;) {
        const int32_t roundEnd =
            static_cast<int32_t>(std::min<int64_t>(count, round + int64_t{threads} * slice));
        auto format = [&](unsigned t) {
            const int64_t first = std::min<int64_t>(roundEnd, round + int64_t{t} * slice);
            const int64_t last = std::min<int64_t>(roundEnd, first + slice);
            char* begin = text[t];
            lengths[t] = static_cast<size_t>(
                elementsText(begin, kind, data, static_cast<int32_t>(first),
                             static_cast<int32_t>(last), count, width) -
                begin);
        };
        workers.clear();
        unsigned started = 1;
        for (; started < threads; ++started) {
            try {
                workers.emplace_back(format, started);
            } catch (const std::system_error&) {
                break;  // no more threads: this one formats the rest
            }
        }
        format(0);
        for (unsigned t = started; t < threads; ++t) format(t);
        for (std::thread& w : workers) w.join();
        for (unsigned t = 0; t < threads; ++t)
            if (lengths[t]) sink(text[t], lengths[t]);
        round = roundEnd;
    }
    return true;
}

}  // namespace orv
