// What each value kind of orvScene_api (ValueType) carries: the type and
// number of its numbers, whether it is an array, its text form and its binary
// block tag. One table for every piece of code that writes, sends or reads
// values, so that a kind is described once.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "importers/sceneapi/orvScene_api.h"

namespace orv {

// What the value pointer (or, for arrays, ArrayRef::data) points to.
enum class Storage : uint8_t {
    Float,     // `count` floats per value or element
    Double,    // `count` doubles
    Int32,     // `count` int32
    Chars,     // the characters themselves (scalar) or const char* elements (array)
    CharsRef,  // a pointer to a const char* (scalar) or const char* elements (array)
    ChunkRef,  // a pointer to a TextChunk pointer
};

// How the file writer prints one value or array element.
enum class TextForm : uint8_t {
    Numbers,            // each number "%g" (integers "%d"), separated by blanks
    FloatOrMinusOne,    // "%g"; NaN or outside the float range: -1
    Fixed16,            // "%16.16f"
    Fixed16OrMinusOne,  // "%16.16f"; NaN or outside the float range: -1
    OnOff,              // "on" / "off"
    OneZero,            // "1" / "0"
    NarrowedMatrix,     // sixteen "%g" of the values narrowed to float
    MatrixRow,          // one indented line of sixteen "%g " (arrays of matrices)
    Name,               // the name form
    Chunk,              // the chunk's bytes
};

struct ValueKind {
    ValueType type;
    Storage storage;
    uint8_t count;  // numbers per value or element (numeric storages only)
    bool array;     // the value is an ArrayRef of such elements
    TextForm text;
    char binaryTag;  // tag of the binary block form ('c', 'f', 'r', 'i'), 0 for none

    constexpr bool numeric() const {
        return storage == Storage::Float || storage == Storage::Double || storage == Storage::Int32;
    }
    // Bytes of one value (scalar kinds) or one element (array kinds); 0 for
    // the kinds that carry no numbers (names and chunks).
    constexpr size_t bytes() const {
        switch (storage) {
            case Storage::Float:
            case Storage::Int32:
                return 4 * size_t{count};
            case Storage::Double:
                return 8 * size_t{count};
            default:
                return 0;
        }
    }
};

// Every kind the interface gives a meaning to. Any other code (8, 11, 12,
// 19-22, 0x2000, other 0x8000 codes, ...) carries nothing and writes nothing.
inline constexpr ValueKind kValueKinds[] = {
    {vtFloat3, Storage::Float, 3, false, TextForm::Numbers, 'c'},
    {vtFloat4, Storage::Float, 4, false, TextForm::Numbers, 0},
    {vtFloat, Storage::Float, 1, false, TextForm::FloatOrMinusOne, 'f'},
    {vtDouble, Storage::Double, 1, false, TextForm::Fixed16, 0},
    {vtDouble3, Storage::Double, 3, false, TextForm::Numbers, 0},
    {vtInt, Storage::Int32, 1, false, TextForm::Numbers, 'i'},
    {vtBool, Storage::Int32, 1, false, TextForm::OnOff, 0},
    {vtMatrix, Storage::Double, 16, false, TextForm::NarrowedMatrix, 0},
    {vtString, Storage::Chars, 0, false, TextForm::Name, 0},
    {vtStringRef, Storage::CharsRef, 0, false, TextForm::Name, 0},
    {vtFloat2, Storage::Float, 2, false, TextForm::Numbers, 0},
    {vtFloat4b, Storage::Float, 4, false, TextForm::Numbers, 0},
    {vtInt2, Storage::Int32, 2, false, TextForm::Numbers, 0},
    {vtInt3, Storage::Int32, 3, false, TextForm::Numbers, 0},
    {vtInt4, Storage::Int32, 4, false, TextForm::Numbers, 0},
    {vtShaderId, Storage::Int32, 1, false, TextForm::Numbers, 0},
    {vtChunk, Storage::ChunkRef, 0, false, TextForm::Chunk, 0},

    {vtFloat3Array, Storage::Float, 3, true, TextForm::Numbers, 'c'},
    {vtFloat4Array, Storage::Float, 4, true, TextForm::Numbers, 0},
    {vtFloatArray, Storage::Float, 1, true, TextForm::FloatOrMinusOne, 'f'},
    {vtDoubleArray, Storage::Double, 1, true, TextForm::Fixed16OrMinusOne, 'r'},
    {vtDouble3Array, Storage::Double, 3, true, TextForm::Numbers, 0},
    {vtIntArray, Storage::Int32, 1, true, TextForm::Numbers, 'i'},
    {vtBoolArray, Storage::Int32, 1, true, TextForm::OneZero, 0},
    {vtMatrixArray, Storage::Double, 16, true, TextForm::MatrixRow, 0},
    {vtStringArray, Storage::Chars, 0, true, TextForm::Name, 0},
    {vtStringRefArray, Storage::CharsRef, 0, true, TextForm::Name, 0},
    {vtShaderIdArray, Storage::Int32, 1, true, TextForm::Numbers, 'i'},
};

namespace detail {

// Index of every code below 0x20 and of every array code 0x8000-0x801F into
// kValueKinds, -1 where the code has no entry.
struct ValueKindIndex {
    std::array<int8_t, 0x20> scalar{};
    std::array<int8_t, 0x20> array{};
    int8_t chunk = -1;
};

constexpr ValueKindIndex makeValueKindIndex() {
    ValueKindIndex index;
    index.scalar.fill(-1);
    index.array.fill(-1);
    for (size_t i = 0; i < std::size(kValueKinds); ++i) {
        const int32_t code = kValueKinds[i].type;
        const auto at = static_cast<int8_t>(i);
        if (code == vtChunk)
            index.chunk = at;
        else if (code & vtArray)
            index.array[static_cast<size_t>(code & 0x1F)] = at;
        else
            index.scalar[static_cast<size_t>(code)] = at;
    }
    return index;
}

inline constexpr ValueKindIndex kValueKindIndex = makeValueKindIndex();

}  // namespace detail

// The facts of a kind code, or null for a code that carries nothing.
constexpr const ValueKind* findValueKind(int32_t code) {
    const auto& index = detail::kValueKindIndex;
    int8_t at = -1;
    if (code >= 0 && code < 0x20)
        at = index.scalar[static_cast<size_t>(code)];
    else if (code >= vtArray && code < vtArray + 0x20)
        at = index.array[static_cast<size_t>(code - vtArray)];
    else if (code == vtChunk)
        at = index.chunk;
    return at < 0 ? nullptr : &kValueKinds[at];
}

static_assert(findValueKind(vtFloat3Array)->bytes() == 12);
static_assert(findValueKind(vtMatrix)->bytes() == 128);
static_assert(findValueKind(8) == nullptr && findValueKind(0x8008) == nullptr);
static_assert(findValueKind(vtChunk)->storage == Storage::ChunkRef);

}  // namespace orv
