#include "host/model/HostArray.h"

#include <new>

#include <Core/CoreAll.h>

namespace host::detail {
namespace {

struct alignas(16) ArrayHeader {
    int references;
    size_t count;
};

ArrayHeader* headerOf(const void* array) {
    return const_cast<ArrayHeader*>(reinterpret_cast<const ArrayHeader*>(array) - 1);
}

}  // namespace

void* allocateArrayBytes(size_t bytes, size_t count) {
    auto* header = static_cast<ArrayHeader*>(::operator new(sizeof(ArrayHeader) + bytes));
    header->references = 1;
    header->count = count;
    return header + 1;
}

void addArrayReference(const void* array) {
    ++headerOf(array)->references;
}

void releaseArray(const void* array) {
    if (!array) return;
    ArrayHeader* header = headerOf(array);
    if (--header->references == 0) ::operator delete(header);
}

char* hostText(const std::string& text) {
    char* array = allocateArray<char>(text.size() + 1);
    std::memcpy(array, text.c_str(), text.size() + 1);
    return array;
}

}  // namespace host::detail

namespace adsk::core {

void DeallocateArrayInternal(char* array) {
    host::detail::releaseArray(array);
}
void DeallocateArrayInternal(int* array) {
    host::detail::releaseArray(array);
}
void DeallocateArrayInternal(float* array) {
    host::detail::releaseArray(array);
}
void DeallocateArrayInternal(double* array) {
    host::detail::releaseArray(array);
}
// The points themselves belong to the caller, who took them over one by one.
void DeallocateArrayInternal(Point3D** array) {
    host::detail::releaseArray(array);
}
// Likewise the texts.
void DeallocateArrayInternal(char** array) {
    host::detail::releaseArray(array);
}

}  // namespace adsk::core
