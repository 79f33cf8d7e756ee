// The text form of numeric values and numeric arrays, as the scene file writer
// prints them, into caller-provided memory.
#pragma once

#include <cstddef>
#include <cstdint>

namespace orv {

struct ValueKind;

// Most characters one scalar value or array element can take.
size_t maxValueText();

// One scalar value or one numeric array element; returns the end.
char* valueText(char* out, const ValueKind& kind, const void* data);

// Most characters elementsText writes per element at indentation `width`.
size_t maxElementText(const ValueKind& kind, int width);

// Elements [first, last) of a numeric array of `count`: each one followed by
// ',' (' ' after the last), and after every eighth from the ninth on a line
// break indented by `width` blanks. Returns the end.
char* elementsText(char* out, const ValueKind& kind, const void* data, int32_t first,
                   int32_t last, int32_t count, int width);

}  // namespace orv
