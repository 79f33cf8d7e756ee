// The numbers of one value or array as the scene text shows them, and the value
// kind they are read as. Text does not name its kind, so the kind is the one
// whose text form gives back the same characters; for the renderer's own
// attribute names (vertices, triangles, ...) the kind they are written with.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "importers/sceneapi/orvScene_api.h"

namespace orv::bip {

// One number token: false when it is not a number. Values beyond the double
// range read as infinities (the text is still a number).
bool parseNumber(std::string_view token, double& value);

// What the texts of a run of numbers tell about the kinds that print them so.
struct NumberFacts {
    bool allInt = true;       // every number an int32 in "%d" form
    bool needDouble = false;  // some number does not survive as a float
    bool fixed16 = false;     // written with sixteen decimals ("%16.16f")
    double maxAbs = 0;

    // Takes in one number and its text.
    void note(std::string_view token, double value);
    void merge(const NumberFacts& other);
};

struct NumberRun {
    std::vector<double> values;
    NumberFacts facts;

    void clear();
    // False when the token is not a number.
    bool add(std::string_view token);
};

// Kind of one value of run.values.size() numbers; 0 when no kind has that many.
ValueType scalarKind(const NumberRun& run, std::string_view name);
// Kind of an array of `perElement` numbers per element; 0 when none fits.
ValueType arrayKind(const NumberFacts& facts, size_t perElement, std::string_view name);
// The kind the renderer's vocabulary writes an attribute with, 0 for other names.
ValueType knownKind(std::string_view name);

// The run's numbers in the storage of a numeric kind.
struct TypedNumbers {
    std::vector<float> floats;
    std::vector<double> doubles;
    std::vector<int32_t> ints;
    // Converts and returns the data pointer for the kind.
    const void* fill(const NumberRun& run, ValueType kind);
};

// A number in float storage: beyond the float range an infinity, not UB.
float narrowToFloat(double value);

}  // namespace orv::bip
