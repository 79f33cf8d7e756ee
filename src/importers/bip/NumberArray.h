// Numeric arrays of scene text read straight into the storage of their kind,
// large ones on several threads. Only well-formed arrays are taken; anything
// else is left to the number-by-number reading, which also names the fault.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "importers/bip/LargeBuffer.h"
#include "importers/sceneapi/orvScene_api.h"

namespace orv::bip {

// Room for numbers kept from one array to the next.
template <class T>
class NumberBuffer {
  public:
    // `count` is bounded by the file's size, so the product cannot overflow.
    T* get(size_t count) { return reinterpret_cast<T*>(buffer_.reserve(count * sizeof(T))); }

  private:
    LargeBuffer buffer_;
};

struct NumberBuffers {
    NumberBuffer<float> floats;
    NumberBuffer<double> doubles;
    NumberBuffer<int32_t> ints;
};

struct NumberArray {
    ValueType kind{};
    int32_t elements = 0;
    const void* data = nullptr;  // in one of the buffers
};

// `body` is the text between "[ " and the array's ']'; `name` the attribute's.
// False when the body is not a non-empty list of elements of equally many
// numbers that some array kind holds.
bool readNumberArray(std::string_view body, std::string_view name, NumberBuffers& buffers,
                     NumberArray& out);

}  // namespace orv::bip
