#pragma once
// Host-allocated arrays: a small header with a reference count and the element
// count sits in front of the elements. Handing an array out adds a reference;
// DeallocateArrayInternal drops one. So a mesh array kept by the model reaches the
// add-in's std::vector with a single copy.

#include <cstddef>
#include <cstring>
#include <string>
#include <vector>

namespace host::detail {

void* allocateArrayBytes(size_t bytes, size_t count);
void addArrayReference(const void* array);
void releaseArray(const void* array);

template <class T>
T* allocateArray(size_t count) {
    return static_cast<T*>(allocateArrayBytes(count * sizeof(T), count));
}

// A host array holding a copy of the values; null for none.
template <class T>
T* arrayFrom(const std::vector<T>& values) {
    if (values.empty()) return nullptr;
    T* array = allocateArray<T>(values.size());
    std::memcpy(array, values.data(), values.size() * sizeof(T));
    return array;
}

// Another reference to a host array, for handing it out.
template <class T>
T* shareArray(T* array) {
    if (array) addArrayReference(array);
    return array;
}

// Host text for the inline text wrappers.
char* hostText(const std::string& text);

}  // namespace host::detail
