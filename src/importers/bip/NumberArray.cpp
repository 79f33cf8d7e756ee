#include "importers/bip/NumberArray.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <system_error>
#include <thread>
#include <vector>

#include "importers/bip/NumberRun.h"
#include "importers/sceneapi/ValueKinds.h"

namespace orv::bip {

namespace {

// Text from which an array is split over several threads.
constexpr size_t kParallelBytes = size_t{1} << 20;
constexpr unsigned kMaxThreads = 8;

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// What ends a number inside the body (']' ends the body itself).
bool endsNumber(char c) {
    return isBlank(c) || c == ',' || c == '\x01';
}

size_t countByte(const char* p, size_t size, char byte) {
    size_t count = 0, i = 0;
    constexpr uint64_t kOnes = 0x0101010101010101u, kLow7 = 0x7F7F7F7F7F7F7F7Fu;
    const uint64_t pattern = kOnes * static_cast<unsigned char>(byte);
    for (; i + 8 <= size; i += 8) {
        uint64_t word;
        std::memcpy(&word, p + i, 8);
        const uint64_t x = word ^ pattern;  // zero bytes where the byte is
        // High bit set exactly in the zero bytes, without carries between bytes.
        const uint64_t zero = ~(((x & kLow7) + kLow7) | x | kLow7);
        count += static_cast<size_t>(((zero >> 7) * kOnes) >> 56);  // adds up the bytes' 0/1
    }
    for (; i < size; ++i) count += p[i] == byte;
    return count;
}

enum class Store : uint8_t { Int, Float, Double };

Store storeOf(ValueType kind) {
    const ValueKind* facts = findValueKind(kind);
    return facts->storage == Storage::Int32 ? Store::Int
           : facts->storage == Storage::Float ? Store::Float
                                               : Store::Double;
}

// The "%d" text of an int32, as NumberFacts counts one.
bool readInt(const char* first, const char* last, int32_t& value) {
    const bool negative = *first == '-';
    const char* p = first + (negative ? 1 : 0);
    const auto digits = static_cast<size_t>(last - p);
    if (digits == 0 || digits > 10 || (negative && digits == 1 && *p == '0')) return false;
    int64_t magnitude = 0;
    for (; p < last; ++p) {
        const auto digit = static_cast<unsigned>(*p - '0');
        if (digit > 9) return false;
        magnitude = magnitude * 10 + digit;
    }
    const int64_t signedValue = negative ? -magnitude : magnitude;
    if (signedValue < INT32_MIN || signedValue > INT32_MAX) return false;
    value = static_cast<int32_t>(signedValue);
    return true;
}

constexpr double kExactPowers[23] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                     1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                     1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// Reads the plain decimal form the writer prints ("-12", "0.125", "1.5e+06")
// from `p` on, with at most fifteen significant digits and a power of ten a
// double holds exactly: the digits and the power are exact, so one
// multiplication or division rounds once, to the double from_chars gives.
// Returns where the number ends, or null for any other text (which is then
// left to from_chars). `integral`: no point and no exponent.
const char* readShortDecimal(const char* p, const char* last, double& value, bool& integral) {
    const bool negative = p < last && *p == '-';
    if (negative) ++p;
    uint64_t mantissa = 0;
    int significant = 0, scale = 0;
    const char* wholeStart = p;
    for (unsigned d; p < last && (d = static_cast<unsigned>(*p - '0')) <= 9; ++p) {
        significant += mantissa != 0 || d != 0;
        mantissa = mantissa * 10 + d;
    }
    if (p == wholeStart) return nullptr;
    integral = true;
    if (p < last && *p == '.') {
        const char* fractionStart = ++p;
        for (unsigned d; p < last && (d = static_cast<unsigned>(*p - '0')) <= 9; ++p) {
            significant += mantissa != 0 || d != 0;
            mantissa = mantissa * 10 + d;
            if (significant > 15) return nullptr;
        }
        if (p == fractionStart) return nullptr;
        scale = -static_cast<int>(p - fractionStart);
        integral = false;
    }
    // More digits than a uint64 holds may have wrapped: only the count is trusted.
    if (significant > 15) return nullptr;
    if (p < last && (*p == 'e' || *p == 'E')) {
        ++p;
        const bool negativeExponent = p < last && *p == '-';
        if (p < last && (*p == '-' || *p == '+')) ++p;
        const char* exponentStart = p;
        int exponent = 0;
        for (; p < last && static_cast<unsigned>(*p - '0') <= 9 && exponent < 1000; ++p)
            exponent = exponent * 10 + (*p - '0');
        if (p == exponentStart) return nullptr;
        scale += negativeExponent ? -exponent : exponent;
        integral = false;
    }
    if (scale < -22 || scale > 22) return nullptr;
    const auto magnitude = static_cast<double>(mantissa);
    const double scaled = scale >= 0 ? magnitude * kExactPowers[scale] : magnitude / kExactPowers[-scale];
    value = negative ? -scaled : scaled;
    return p;
}

// One piece of the body: whole elements, each followed by ',' except the
// last element of the last piece.
struct Piece {
    Piece(const char* begin, const char* end, bool last) : begin(begin), end(end), last(last) {}
    const char* begin;
    const char* end;
    bool last;
    size_t firstElement = 0;
    size_t elements = 0;  // what its commas announce
    NumberFacts facts;
    bool ok = false;
    bool notInt = false;  // some number has no int form
};

// One number of an int32 array from `p` on; null when it has no "%d" form.
const char* readIntNumber(const char* p, const char* end, int32_t& value, NumberFacts& facts) {
    const char* first = p;
    const bool negative = *p == '-';
    if (negative) ++p;
    const char* digits = p;
    int64_t magnitude = 0;
    for (unsigned d; p < end && (d = static_cast<unsigned>(*p - '0')) <= 9 && p - digits < 10; ++p)
        magnitude = magnitude * 10 + d;
    if (p == digits || (p < end && !endsNumber(*p))) return nullptr;
    if (negative && p - first == 2 && *digits == '0') return nullptr;  // "-0" is no "%d" text
    const int64_t signedValue = negative ? -magnitude : magnitude;
    if (signedValue < INT32_MIN || signedValue > INT32_MAX) return nullptr;
    value = static_cast<int32_t>(signedValue);
    facts.maxAbs = std::max(facts.maxAbs, static_cast<double>(magnitude));
    return p;
}

// One number of a float or double array from `p` on; null when it is none.
const char* readNumber(const char* p, const char* end, double& value, NumberFacts& facts) {
    const char* first = p;
    bool integral = false;
    const char* stop = readShortDecimal(p, end, value, integral);
    // Texts of sixteen decimals and more go the long way (NumberFacts::fixed16).
    if (stop && (stop == end || endsNumber(*stop)) && stop - first < 17) {
        const double magnitude = std::fabs(value);
        facts.maxAbs = std::max(facts.maxAbs, magnitude);
        if (facts.allInt) {
            const long digits = stop - first - (*first == '-' ? 1 : 0);
            facts.allInt = integral && digits <= 10 && !(digits == 1 && *first == '-' && first[1] == '0') &&
                           value >= -2147483648.0 && value <= 2147483647.0;
        }
        // Fifteen digits scaled by at most 10^22 stay inside the float range.
        return stop;
    }
    while (p < end && !endsNumber(*p)) ++p;
    if (p == first) return nullptr;
    const std::string_view token(first, static_cast<size_t>(p - first));
    if (!parseNumber(token, value)) return nullptr;
    facts.note(token, value);
    return p;
}

template <Store S>
void readPiece(Piece& piece, size_t perElement, void* storage) {
    const char* p = piece.begin;
    const char* const end = piece.end;
    size_t index = piece.firstElement * perElement;
    NumberFacts facts;
    for (size_t element = 0;; ++element) {
        if (element == piece.elements) return;  // more elements than commas
        for (size_t k = 0; k < perElement; ++k, ++index) {
            while (p < end && isBlank(*p)) ++p;
            if (p == end) return;
            if constexpr (S == Store::Int) {
                int32_t value;
                p = readIntNumber(p, end, value, facts);
                if (!p) {
                    piece.notInt = true;
                    return;
                }
                static_cast<int32_t*>(storage)[index] = value;
            } else {
                double value;
                p = readNumber(p, end, value, facts);
                if (!p) return;
                if constexpr (S == Store::Float)
                    static_cast<float*>(storage)[index] = narrowToFloat(value);
                else
                    static_cast<double*>(storage)[index] = value;
            }
        }
        while (p < end && isBlank(*p)) ++p;
        if (p == end) {
            if (!piece.last || element + 1 != piece.elements) return;
            break;
        }
        if (*p != ',') return;
        if (++p == end) {
            if (piece.last || element + 1 != piece.elements) return;
            break;
        }
    }
    piece.facts = facts;
    piece.ok = true;
}

// Runs job(i) for every i below count, on threads of their own where possible.
template <class Job>
void onThreads(size_t count, const Job& job) {
    std::vector<std::thread> workers;
    size_t started = 1;
    for (; started < count; ++started) {
        try {
            workers.emplace_back(job, started);
        } catch (const std::system_error&) {
            break;  // no more threads: this one does the rest
        }
    }
    job(0);
    for (size_t i = started; i < count; ++i) job(i);
    for (std::thread& worker : workers) worker.join();
}

// The body cut after commas into about equal pieces, one per thread.
std::vector<Piece> cut(std::string_view body) {
    const unsigned processors = std::max(1u, std::thread::hardware_concurrency());
    const size_t wanted =
        body.size() < kParallelBytes ? 1 : std::min<size_t>(processors, kMaxThreads);
    std::vector<Piece> pieces;
    const char* begin = body.data();
    const char* const end = begin + body.size();
    for (size_t i = 1; i < wanted; ++i) {
        const char* target = body.data() + body.size() / wanted * i;
        if (target < begin) continue;
        const auto* comma = static_cast<const char*>(std::memchr(target, ',', static_cast<size_t>(end - target)));
        if (!comma || comma + 1 == end) break;
        pieces.emplace_back(begin, comma + 1, false);
        begin = comma + 1;
    }
    pieces.emplace_back(begin, end, true);
    return pieces;
}

// Numbers in the first element; 0 when it has none.
size_t numbersPerElement(std::string_view body) {
    size_t count = 0, i = 0;
    for (;;) {
        while (i < body.size() && isBlank(body[i])) ++i;
        if (i == body.size() || body[i] == ',') return count;
        ++count;
        while (i < body.size() && !endsNumber(body[i])) ++i;
        if (i < body.size() && body[i] != ',' && !isBlank(body[i])) return 0;
    }
}

// The storage to try first: the known kind's, else what the first number looks like.
Store firstGuess(std::string_view body, size_t perElement, std::string_view name) {
    const ValueType known = knownKind(name);
    const ValueKind* facts = known ? findValueKind(known) : nullptr;
    if (facts && facts->array && facts->count == perElement) return storeOf(known);
    if (perElement == 16) return Store::Double;
    if (perElement != 1) return Store::Float;
    size_t i = 0;
    while (i < body.size() && isBlank(body[i])) ++i;
    size_t end = i;
    while (end < body.size() && !endsNumber(body[end])) ++end;
    int32_t value;
    return end > i && readInt(body.data() + i, body.data() + end, value) ? Store::Int : Store::Float;
}

}  // namespace

bool readNumberArray(std::string_view body, std::string_view name, NumberBuffers& buffers,
                     NumberArray& out) {
    const size_t perElement = numbersPerElement(body);
    if (perElement == 0 || perElement > 16) return false;
    std::vector<Piece> pieces = cut(body);
    onThreads(pieces.size(), [&](size_t i) {
        Piece& piece = pieces[i];
        piece.elements = countByte(piece.begin, static_cast<size_t>(piece.end - piece.begin), ',') +
                         (piece.last ? 1 : 0);
    });
    size_t elements = 0;
    for (Piece& piece : pieces) {
        piece.firstElement = elements;
        elements += piece.elements;
    }
    // Every number takes a character and a separator: more cannot be right.
    if (elements > INT32_MAX || elements > (body.size() + 1) / 2 / perElement) return false;
    const size_t numbers = elements * perElement;

    Store store = firstGuess(body, perElement, name);
    for (int attempt = 0; attempt < 3; ++attempt) {
        void* storage = store == Store::Int     ? static_cast<void*>(buffers.ints.get(numbers))
                        : store == Store::Float ? static_cast<void*>(buffers.floats.get(numbers))
                                                : static_cast<void*>(buffers.doubles.get(numbers));
        onThreads(pieces.size(), [&](size_t i) {
            Piece& piece = pieces[i];
            piece.ok = piece.notInt = false;
            if (store == Store::Int) readPiece<Store::Int>(piece, perElement, storage);
            if (store == Store::Float) readPiece<Store::Float>(piece, perElement, storage);
            if (store == Store::Double) readPiece<Store::Double>(piece, perElement, storage);
        });
        NumberFacts facts;
        bool ok = true, notInt = false;
        for (const Piece& piece : pieces) {
            ok = ok && piece.ok;
            notInt = notInt || piece.notInt;
            facts.merge(piece.facts);
        }
        if (notInt) {
            store = Store::Float;
            continue;
        }
        if (!ok) return false;
        const ValueType kind = arrayKind(facts, perElement, name);
        if (!kind || !findValueKind(kind)->numeric()) return false;
        if (storeOf(kind) != store) {
            store = storeOf(kind);
            continue;
        }
        out = {kind, static_cast<int32_t>(elements), storage};
        return true;
    }
    return false;
}

}  // namespace orv::bip
