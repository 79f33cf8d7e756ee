#include "importers/bip/NumberRun.h"

#include <charconv>
#include <cmath>
#include <limits>

#include "importers/sceneapi/ValueKinds.h"

namespace orv::bip {

namespace {

// The kinds the renderer's vocabulary writes these attributes with.
struct KnownName {
    std::string_view name;
    ValueType kind;
};
constexpr KnownName kKnownNames[] = {
    {"vertices", vtFloat3Array},   {"normals", vtFloat3Array},   {"vcolors", vtFloat3Array},
    {"uv_tex", vtFloatArray},      {"triangles", vtIntArray},    {"triangles_uv", vtIntArray},
    {"triangles_norm", vtIntArray}, {"diffuse", vtFloat3},       {"meter_scale", vtFloat},
    {"fov", vtFloat},              {"clipping", vtFloat2},       {"window", vtFloat4b},
    {"fov4", vtFloat4b},           {"position", vtDouble3},      {"direction", vtDouble3},
    {"up", vtDouble3},             {"target", vtDouble3},
};

// Whether the known kind prints the run with the same characters.
bool fits(const NumberFacts& run, ValueType kind, size_t perElement) {
    const ValueKind* facts = findValueKind(kind);
    if (!facts || facts->count != perElement) return false;
    if (facts->storage == Storage::Int32) return run.allInt;
    // "%g" prints integers below one million as "%d" does.
    const bool sameAsGeneral = !run.fixed16 && (!run.allInt || run.maxAbs < 1e6);
    if (facts->storage == Storage::Float) return sameAsGeneral && !run.needDouble;
    return sameAsGeneral && facts->text == TextForm::Numbers;
}

}  // namespace

ValueType knownKind(std::string_view name) {
    for (const auto& known : kKnownNames)
        if (known.name == name) return known.kind;
    return ValueType{0};
}

bool parseNumber(std::string_view token, double& value) {
    const char* first = token.data();
    const char* last = first + token.size();
    const auto [end, error] = std::from_chars(first, last, value);
    if (error == std::errc{} && end == last) return true;
    // Out of the double range: from_chars refuses; the text is still a number.
    if (error != std::errc::result_out_of_range || end != last) return false;
    value = token.front() == '-' ? -HUGE_VAL : HUGE_VAL;
    return true;
}

void NumberFacts::note(std::string_view token, double value) {
    const double magnitude = std::fabs(value);
    if (magnitude > maxAbs) maxAbs = magnitude;
    if (allInt) {
        size_t digits = token.front() == '-' ? 1 : 0;
        bool integral = token.size() > digits && token.size() - digits <= 10 && token != "-0";
        for (size_t i = digits; integral && i < token.size(); ++i)
            integral = token[i] >= '0' && token[i] <= '9';
        allInt = integral && value >= -2147483648.0 && value <= 2147483647.0;
    }
    if (std::isfinite(value) && value != 0 &&
        (magnitude > std::numeric_limits<float>::max() ||
         magnitude < std::numeric_limits<float>::min()))
        needDouble = true;
    // Sixteen digits after a point need at least seventeen characters.
    if (token.size() >= 17) {
        const size_t dot = token.find('.');
        if (dot != std::string_view::npos && token.size() - dot - 1 == 16) fixed16 = true;
    }
}

void NumberFacts::merge(const NumberFacts& other) {
    allInt = allInt && other.allInt;
    needDouble = needDouble || other.needDouble;
    fixed16 = fixed16 || other.fixed16;
    if (other.maxAbs > maxAbs) maxAbs = other.maxAbs;
}

void NumberRun::clear() {
    values.clear();
    facts = {};
}

bool NumberRun::add(std::string_view token) {
    double value = 0;
    if (!parseNumber(token, value)) return false;
    values.push_back(value);
    facts.note(token, value);
    return true;
}

float narrowToFloat(double value) {
    constexpr double kLargest = std::numeric_limits<float>::max();
    return value > kLargest ? HUGE_VALF : value < -kLargest ? -HUGE_VALF : static_cast<float>(value);
}

ValueType scalarKind(const NumberRun& numbers, std::string_view name) {
    const size_t n = numbers.values.size();
    const NumberFacts& run = numbers.facts;
    const ValueType known = knownKind(name);
    if (known && !(known & vtArray) && fits(run, known, n)) return known;
    switch (n) {
        case 1:
            return run.fixed16 ? vtDouble : run.allInt ? vtInt : vtFloat;
        case 2:
            return run.allInt ? vtInt2 : vtFloat2;
        case 3:
            return run.allInt ? vtInt3 : run.needDouble ? vtDouble3 : vtFloat3;
        case 4:
            return run.allInt ? vtInt4 : vtFloat4;
        case 16:
            return vtMatrix;
        default:
            return ValueType{0};
    }
}

ValueType arrayKind(const NumberFacts& run, size_t perElement, std::string_view name) {
    const ValueType known = knownKind(name);
    if (known && (known & vtArray) && fits(run, known, perElement)) return known;
    switch (perElement) {
        case 1:
            return run.fixed16 ? vtDoubleArray : run.allInt ? vtIntArray : vtFloatArray;
        case 3:
            return run.needDouble ? vtDouble3Array : vtFloat3Array;
        case 4:
            return vtFloat4Array;
        case 16:
            return vtMatrixArray;
        default:
            return ValueType{0};
    }
}

const void* TypedNumbers::fill(const NumberRun& run, ValueType kind) {
    const ValueKind* facts = findValueKind(kind);
    const auto& v = run.values;
    if (facts && facts->storage == Storage::Float) {
        floats.resize(v.size());
        for (size_t i = 0; i < v.size(); ++i) floats[i] = narrowToFloat(v[i]);
        return floats.data();
    }
    if (facts && facts->storage == Storage::Int32) {
        ints.resize(v.size());
        for (size_t i = 0; i < v.size(); ++i) ints[i] = static_cast<int32_t>(v[i]);
        return ints.data();
    }
    doubles.assign(v.begin(), v.end());
    return doubles.data();
}

}  // namespace orv::bip
