#include "importers/bip/LargeBuffer.h"

#include <cstdint>
#include <new>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace orv::bip {

namespace {

// glibc's largest threshold for mapping an allocation on its own.
constexpr size_t kMappedFrom = size_t{32} << 20;
constexpr size_t kHugePage = size_t{2} << 20;

#if defined(__linux__)
// Maps whole huge pages on a huge-page boundary; null when the system refuses.
char* mapHuge(size_t bytes, size_t& mapped) {
    const size_t size = (bytes + kHugePage - 1) / kHugePage * kHugePage;
    void* area = mmap(nullptr, size + kHugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (area == MAP_FAILED) return nullptr;
    const auto start = reinterpret_cast<uintptr_t>(area);
    const uintptr_t aligned = (start + kHugePage - 1) / kHugePage * kHugePage;
    if (aligned > start) munmap(area, aligned - start);
    const uintptr_t tail = start + size + kHugePage - (aligned + size);
    if (tail > 0) munmap(reinterpret_cast<void*>(aligned + size), tail);
    madvise(reinterpret_cast<void*>(aligned), size, MADV_HUGEPAGE);  // only advice: may be off
    mapped = size;
    return reinterpret_cast<char*>(aligned);
}
#endif

}  // namespace

char* LargeBuffer::reserve(size_t bytes) {
    if (bytes <= capacity_ && data_) return data_;
    release();
#if defined(__linux__)
    if (bytes >= kMappedFrom) data_ = mapHuge(bytes, mapped_);
#endif
    if (!data_) data_ = new char[bytes ? bytes : 1];
    capacity_ = bytes;
    return data_;
}

void LargeBuffer::release() {
#if defined(__linux__)
    if (mapped_) munmap(data_, mapped_);
#endif
    if (!mapped_) delete[] data_;
    data_ = nullptr;
    capacity_ = 0;
    mapped_ = 0;
}

}  // namespace orv::bip
