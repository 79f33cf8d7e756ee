#include "importers/bip/BipReader.h"

#include <array>
#include <bit>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <vector>

#include "importers/bip/LargeBuffer.h"
#include "importers/bip/NumberArray.h"
#include "importers/bip/NumberRun.h"
#include "importers/sceneapi/ValueKinds.h"
#include "importers/sceneapi/orvScene_api.h"
#include "importers/sceneapi/orvScene_api_file.h"

namespace orv::bip {

namespace {

enum class Block : uint8_t {
    Group, Object, Geometry, Animation, Load, Options, Camera, Image,
    Output, Light, Accel, Matrix, Material, Shader, Captured,
};

constexpr const char* kBlockNames[] = {
    "group", "object", "geometry", "animation", "load",   "options", "camera",  "image",
    "output", "light", "accel",    "matrix",    "material", "shader", "captured shader",
};

// Where a captured (anonymous) shader goes once its closing brace is read.
enum class CaptureUse : uint8_t { Attribute, ShaderInput, Bind };

struct OpenBlock {
    Block kind;
    size_t at;  // offset of the statement that opened it
    CaptureUse use = CaptureUse::Attribute;
    bool plain = false;  // a plain-style attribute: its statement ends with the line
    int32_t bindKind = 0;
    std::string name;
    bool outerPlainStyle = false;  // the attribute style to go back to when it closes
};

// The form the file writer gives an attribute at a point of the file: plain
// (`name value`) or parameter (`"name" value,`). Each kind of block sets it
// inside and after itself as the writer's blocks do. Object, options, camera
// and image blocks are top blocks, of which the writer keeps the innermost.
enum class Style : uint8_t { Plain, Parameter, Unchanged, Outer };

struct StyleRule {
    Style inside, after;
    bool topBlock;
};

constexpr StyleRule kStyleRules[] = {
    {Style::Plain, Style::Outer, false},          // group
    {Style::Plain, Style::Outer, true},           // object
    {Style::Parameter, Style::Outer, false},      // geometry
    {Style::Parameter, Style::Outer, false},      // animation
    {Style::Unchanged, Style::Unchanged, false},  // load
    {Style::Plain, Style::Parameter, true},       // options
    {Style::Plain, Style::Parameter, true},       // camera
    {Style::Plain, Style::Parameter, true},       // image
    {Style::Parameter, Style::Plain, false},      // output
    {Style::Unchanged, Style::Unchanged, false},  // light
    {Style::Parameter, Style::Outer, false},      // accel
    {Style::Unchanged, Style::Unchanged, false},  // matrix
    {Style::Unchanged, Style::Unchanged, false},  // material
    {Style::Parameter, Style::Outer, false},      // shader
    {Style::Parameter, Style::Outer, false},      // captured shader
};
static_assert(std::size(kStyleRules) == std::size(kBlockNames));

struct AttributeStyle {
    bool plain = false;
    std::optional<Block> topBlock;

    // As a block opens; returns the style to go back to when it closes.
    bool open(Block kind) {
        const StyleRule& rule = kStyleRules[static_cast<int>(kind)];
        const bool outer = plain;
        if (rule.inside != Style::Unchanged) plain = rule.inside == Style::Plain;
        if (rule.topBlock) topBlock = kind;
        return outer;
    }

    void close(Block kind, bool outer) {
        const StyleRule& rule = kStyleRules[static_cast<int>(kind)];
        if (rule.after == Style::Outer) plain = outer;
        if (rule.after == Style::Plain || rule.after == Style::Parameter)
            plain = rule.after == Style::Plain;
        if (rule.topBlock) topBlock.reset();
    }
};

// Where a value ends: a parameter-style attribute at ',', a plain-style one
// with the line, a list element at ',' or ']' (or the collected binary block).
enum class End : uint8_t { Comma, Line, Element };

struct Value {
    ValueType kind{};
    NumberRun run;
    TypedNumbers typed;
    NumberBuffers buffers;
    std::string text;
    int32_t flag = 0;
    std::vector<std::string> names;
    std::vector<const char*> namePointers;
    ArrayRef array{};
    const void* data = nullptr;
    std::string capturedType;  // non-empty: the value opens a captured shader
};

constexpr uint32_t kIndentOff = orvScene_api_file::kFlagNoIndent;
constexpr uint32_t kBinary = orvScene_api_file::kFlagBinaryArrays;

// Characters that end a number or a word.
constexpr std::array<bool, 256> makeStops(const char* stops) {
    std::array<bool, 256> table{};
    for (const char* c = stops; *c; ++c) table[static_cast<unsigned char>(*c)] = true;
    return table;
}
constexpr auto kNumberStops = makeStops(" \t\r\n,]\x01");
constexpr auto kWordStops = makeStops(" \t\r\n");

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

uint32_t littleEndian32(const char* bytes) {
    uint32_t v;
    std::memcpy(&v, bytes, 4);
    if constexpr (std::endian::native == std::endian::big) v = __builtin_bswap32(v);
    return v;
}

// Copies little-endian elements of `width` bytes into host order.
void copyElements(void* to, const char* from, size_t count, size_t width) {
    if (count == 0) return;  // an empty array's buffer may be null, which memcpy must not see
    std::memcpy(to, from, count * width);
    if constexpr (std::endian::native == std::endian::big) {
        auto* bytes = static_cast<unsigned char*>(to);
        for (size_t i = 0; i < count; ++i)
            for (size_t k = 0; k < width / 2; ++k)
                std::swap(bytes[i * width + k], bytes[i * width + width - 1 - k]);
    }
}

class Parser {
  public:
    // `writable`, when given, is the text's own memory: binary arrays are then
    // moved into alignment where they lie instead of being copied.
    Parser(std::string_view text, char* writable, const std::string& file, orvScene_api& target,
           const ReadOptions& options)
        : s(text), writable(writable), n(text.size()), file(file), target(target), options(options) {}

    void run() {
        if (options.mirrorLayout && options.binaryArrays) updateFlags();
        for (;;) {
            space();
            if (p >= n) break;
            statement();
        }
        if (!stack.empty()) {
            const OpenBlock& open = stack.back();
            fail(p, std::string("'}' closing the ") + kBlockNames[static_cast<int>(open.kind)] +
                        " block opened at " + place(open.at));
        }
    }

  private:
    // ---- errors --------------------------------------------------------------

    // Line and column of a text offset, counted over the bytes as they were
    // read (arrays moved into alignment counted where they lay).
    std::pair<size_t, size_t> lineAndColumn(size_t at) const {
        size_t line = 1, lineStart = 0, moved = 0;
        for (size_t i = 0; i < at && i < n; ++i) {
            while (moved < movedArrays.size() && movedArrays[moved].end <= i) ++moved;
            if (originalByte(i, moved) == '\n') {
                ++line;
                lineStart = i + 1;
            }
        }
        return {line, at - lineStart + 1};
    }

    std::string place(size_t at) const {
        const auto [line, column] = lineAndColumn(at);
        return "line " + std::to_string(line) + ", column " + std::to_string(column);
    }

    [[noreturn]] void fail(size_t at, const std::string& expected) const {
        const auto [line, column] = lineAndColumn(at);
        throw ReadError(file + ":" + std::to_string(line) + ":" + std::to_string(column) +
                        ": expected " + expected);
    }

    [[noreturn]] void failByte(size_t at, const std::string& what) const {
        throw ReadError(file + ": byte " + std::to_string(at) + ": expected " + what);
    }

    // ---- characters ----------------------------------------------------------

    int peek() const { return p < n ? static_cast<unsigned char>(s[p]) : -1; }
    bool at(std::string_view word) const { return s.substr(p, word.size()) == word; }
    void blanks() {
        while (p < n && (s[p] == ' ' || s[p] == '\t' || s[p] == '\r')) ++p;
    }
    void space() {
        while (p < n && (s[p] == ' ' || s[p] == '\t' || s[p] == '\r' || s[p] == '\n')) ++p;
    }
    bool lineEnd() {
        blanks();
        return p >= n || s[p] == '\n';
    }
    void expectLineEnd() {
        if (!lineEnd()) fail(p, "the end of the line");
    }
    void expect(char c, const char* what) {
        blanks();
        if (peek() != static_cast<unsigned char>(c)) fail(p, what);
        ++p;
    }
    std::string_view run(const std::array<bool, 256>& stops) {
        const size_t begin = p;
        while (p < n && !stops[static_cast<unsigned char>(s[p])]) ++p;
        return s.substr(begin, p - begin);
    }
    std::string_view word() {
        blanks();
        return run(kWordStops);
    }

    bool atName() const {
        return peek() == '"' || (at("xX") && p + 2 < n && hexDigit(s[p + 2]) >= 0);
    }

    // A name in its quoted or hexadecimal form.
    std::string name(const char* what = "a name") {
        blanks();
        const size_t begin = p;
        if (peek() == '"') {
            const size_t end = s.find_first_of("\"\n", p + 1);
            if (end == std::string_view::npos || s[end] != '"') fail(p, "a closing '\"' of the name");
            std::string text(s.substr(p + 1, end - p - 1));
            p = end + 1;
            return withoutNul(std::move(text), begin);
        }
        if (!atName()) fail(p, what);
        return withoutNul(hexBytes(p + 2, "a name in hexadecimal form with two digits per byte"), begin);
    }

    // Every text goes on as a C string, so a NUL byte inside one would cut it.
    std::string withoutNul(std::string text, size_t at) const {
        if (text.find('\0') != std::string::npos) fail(at, "text without NUL bytes");
        return text;
    }

    // The hexadecimal digits from `from` on, two per byte.
    std::string hexBytes(size_t from, const char* what) {
        size_t end = from;
        while (end < n && hexDigit(s[end]) >= 0) ++end;
        if ((end - from) % 2) fail(end, what);
        if ((end - from) / 2 > INT32_MAX) fail(from, "at most 2^31-1 bytes");
        std::string bytes((end - from) / 2, '\0');
        for (size_t i = 0; i < bytes.size(); ++i)
            bytes[i] = static_cast<char>(hexDigit(s[from + 2 * i]) * 16 + hexDigit(s[from + 2 * i + 1]));
        p = end;
        return bytes;
    }

    template <typename T>
    bool integer(T& value) {
        blanks();
        const size_t begin = p;
        const std::string_view token = run(kNumberStops);
        const auto [end, error] = std::from_chars(token.data(), token.data() + token.size(), value);
        if (token.empty() || error != std::errc{} || end != token.data() + token.size()) {
            p = begin;
            return false;
        }
        return true;
    }

    template <typename T>
    T expectInteger(const char* what) {
        T value{};
        if (!integer(value)) fail(p, what);
        return value;
    }

    // `count` numbers up to the end of the line.
    void numbers(size_t count, double* out) {
        scratch.clear();
        for (size_t i = 0; i < count; ++i) {
            blanks();
            const size_t begin = p;
            if (!scratch.add(run(kNumberStops))) fail(begin, "a number");
        }
        expectLineEnd();
        std::copy(scratch.values.begin(), scratch.values.end(), out);
    }

    // ---- layout mirrored onto the target ---------------------------------------

    void updateFlags() {
        if (!options.mirrorLayout) return;
        const bool binary = options.binaryArrays.value_or(binaryState == 1);
        const uint32_t flags = 1u | (indentState == 1 ? 0u : kIndentOff) | (binary ? kBinary : 0u);
        if (flags == sentFlags) return;
        sentFlags = flags;
        target.setFlags(flags);
    }

    void sawArrayForm(bool binary) {
        if (binaryState == static_cast<int>(binary)) return;
        binaryState = binary;
        updateFlags();
    }

    // A line `depth` blocks deep starts after the indentation when it is on,
    // unless a name in hexadecimal form leads it. The writer may be switched
    // between the two anywhere, so every such line tells which one wrote it;
    // its leading name is looked at only when it would change the setting.
    void sawIndentation(size_t at, size_t depth) {
        if (depth == 0 || capturedDepth > 0) return;
        const int indented = at > 0 && s[at - 1] != '\n';
        if (indented == indentState || ledByHexName(at)) return;
        indentState = indented;
        updateFlags();
    }

    // A statement led by a name in hexadecimal form, or by one the writer will
    // give that form (an attribute or shader input name, bare where attributes
    // are quoted), is written unindented whatever the flags say.
    bool ledByHexName(size_t at) const {
        if (s.substr(at, 2) == "xX") return true;
        size_t end = at;
        if (s[at] == '"') {
            end = s.find_first_of("\"\n", at + 1);
            if (end == std::string_view::npos) return false;
            ++at;
        } else if (!style.plain) {
            while (end < n && !kWordStops[static_cast<unsigned char>(s[end])]) ++end;
        }
        return orvScene_api_file::hexNameForm(s.substr(at, end - at));
    }

    // ---- blocks --------------------------------------------------------------

    void checkDepth(size_t at) const {
        if (stack.size() >= kMaxDepth)
            fail(at, "blocks nested at most " + std::to_string(kMaxDepth) + " deep");
    }

    void open(Block kind, size_t at) {
        checkDepth(at);
        stack.push_back({kind, at, CaptureUse::Attribute, false, 0, {}, style.open(kind)});
    }

    // The writer opens options, camera and image blocks only where no top
    // block is open, and the end of one with an object opened inside it would
    // write no brace.
    void checkTopBlock(size_t at, Block kind) const {
        if (!style.topBlock) return;
        const bool object = kind == Block::Object;
        if (object && *style.topBlock == Block::Object) return;
        fail(at, std::string("a statement other than ") + kBlockNames[static_cast<int>(kind)] +
                     (object ? " (it cannot stand inside an options, camera or image block)"
                             : " (it cannot stand inside an object, options, camera or image "
                               "block)"));
    }

    void openBody(Block kind, size_t at) {
        expect('{', "'{'");
        open(kind, at);
    }

    void openCaptured(size_t at, const std::string& type, CaptureUse use, const std::string& name,
                      bool plain, int32_t bindKind) {
        checkDepth(at);
        target.pushChunk();
        target.openShader(nullptr, type.c_str());
        stack.push_back(
            {Block::Captured, at, use, plain, bindKind, name, style.open(Block::Captured)});
        ++capturedDepth;
    }

    void close() {
        if (stack.empty()) fail(p, "a statement ('}' closes no open block)");
        ++p;
        const OpenBlock block = std::move(stack.back());
        stack.pop_back();
        style.close(block.kind, block.outerPlainStyle);
        switch (block.kind) {
            case Block::Group: return target.endGroup();
            case Block::Object: return target.endObject();
            case Block::Geometry: return target.endGeometry();
            case Block::Animation: return target.endAnimation();
            case Block::Load: return target.endLoad();
            case Block::Options: return target.endOptions();
            case Block::Camera: return target.endCamera();
            case Block::Image: return target.endImage();
            case Block::Output: return target.endOutput();
            case Block::Light: return target.endLight();
            case Block::Accel: return target.endAccel();
            case Block::Matrix: return target.endMatrix();
            case Block::Material: return target.endMaterial();
            case Block::Shader: return target.endShader();
            case Block::Captured: break;
        }
        --capturedDepth;
        target.endShader();
        TextChunk* chunk = target.currentChunk();
        target.popChunk();
        switch (block.use) {
            case CaptureUse::Attribute:
                if (block.plain)
                    expectLineEnd();
                else
                    expect(',', "',' after the captured shader");
                target.attribute(block.name.c_str(), static_cast<ValueType>(vtChunk), &chunk);
                break;
            case CaptureUse::ShaderInput:
                expect(',', "',' after the captured shader");
                target.shaderInput(block.name.c_str(), chunk);
                break;
            case CaptureUse::Bind:
                expectLineEnd();
                target.bindShader(block.bindKind, chunk);
                break;
        }
    }

    // ---- values --------------------------------------------------------------

    bool stopsValue(End end) {
        blanks();
        if (p >= n) return true;
        const char c = s[p];
        if (c == '\n') return true;
        if (end == End::Comma) return c == ',';
        if (end == End::Element) return c == ',' || c == ']' || c == '\x01';
        return false;
    }

    // Parses one value into v; false when it opens a captured shader (its type
    // in v.capturedType, the '{' consumed).
    bool value(std::string_view attributeName, End end, Value& v) {
        const size_t before = p;
        blanks();
        const size_t start = p;
        v.capturedType.clear();
        if (peek() == '[') {
            array(attributeName, v);
            return true;
        }
        if (atName()) {
            v.text = name();
            blanks();
            if (peek() == '{') {
                ++p;
                v.capturedType = std::move(v.text);
                return false;
            }
            v.kind = vtString;
            v.data = v.text.c_str();
            return true;
        }
        if (at("on") || at("off")) {
            const std::string_view token = run(kNumberStops);
            if ((token == "on" || token == "off") && stopsValue(end)) {
                v.flag = token == "on";
                v.kind = vtBool;
                v.data = &v.flag;
                return true;
            }
            p = start;
        }
        v.run.clear();
        while (!stopsValue(end)) {
            const size_t begin = p;
            if (!v.run.add(run(kNumberStops))) fail(begin, "a value (a number, a name, on, off or '[')");
            if (v.run.values.size() > 16) fail(begin, "at most 16 numbers in one value");
        }
        if (v.run.values.empty()) fail(p, "a value");
        // "%16.16f" pads short texts (nan, inf) to sixteen characters.
        if (end != End::Element && start - before > 1 && v.run.values.size() == 1) v.run.facts.fixed16 = true;
        v.kind = scalarKind(v.run, attributeName);
        if (!v.kind) fail(start, "a value of 1, 2, 3, 4 or 16 numbers");
        v.data = v.typed.fill(v.run, v.kind);
        return true;
    }

    void array(std::string_view attributeName, Value& v) {
        const size_t start = p;
        ++p;  // '['
        if (peek() != ' ') fail(p, "' ' after '['");
        ++p;
        if (at("\x01\x02\x03")) return binaryArray(v);
        if (numberArray(attributeName, v)) return;
        v.run.clear();
        v.names.clear();
        size_t elements = 0, perElement = 0, inElement = 0;
        bool names = false;
        for (;;) {
            space();
            if (p >= n) fail(p, "']' closing the array opened at " + place(start));
            const char c = s[p];
            if (c == ']' || c == ',') {
                if (inElement == 0 && (c == ',' || elements > 0)) fail(p, "an array element");
                if (inElement > 0) {
                    if (!names && elements > 0 && inElement != perElement)
                        fail(p, std::to_string(perElement) +
                                    (perElement == 1 ? " number" : " numbers") + " in every element");
                    perElement = inElement;
                    ++elements;
                    inElement = 0;
                }
                ++p;
                if (c == ']') break;
                continue;
            }
            if (atName()) {
                if (inElement > 0 || (elements > 0 && !names)) fail(p, "',' or ']'");
                names = true;
                v.names.push_back(name());
                inElement = 1;
                continue;
            }
            if (names) fail(p, "',' or ']'");
            const size_t begin = p;
            if (!v.run.add(run(kNumberStops))) fail(begin, "a number or ']'");
            ++inElement;
        }
        if (p >= n || s[p] != ' ') fail(p, "' ' after ']'");
        ++p;
        if (elements > INT32_MAX) fail(start, "at most 2^31-1 elements");
        if (names) {
            v.namePointers.clear();
            for (const auto& text : v.names) v.namePointers.push_back(text.c_str());
            v.kind = vtStringArray;
            v.array = {v.namePointers.data(), static_cast<int32_t>(elements)};
        } else if (elements == 0) {
            const ValueType known = arrayKind(v.run.facts, 0, attributeName);
            v.kind = known ? known : vtStringArray;
            v.array = {nullptr, 0};
        } else {
            v.kind = arrayKind(v.run.facts, perElement, attributeName);
            if (!v.kind) fail(start, "an array of 1, 3, 4 or 16 numbers per element");
            v.array = {v.typed.fill(v.run, v.kind), static_cast<int32_t>(elements)};
        }
        if (const ValueKind* kind = findValueKind(v.kind); kind && kind->binaryTag) sawArrayForm(false);
        v.data = &v.array;
    }

    // The common case, numbers only, read straight into their storage.
    bool numberArray(std::string_view attributeName, Value& v) {
        const size_t close = s.find(']', p);
        if (close == std::string_view::npos || close + 1 >= n || s[close + 1] != ' ') return false;
        NumberArray numbers;
        if (!readNumberArray(s.substr(p, close - p), attributeName, v.buffers, numbers)) return false;
        p = close + 2;
        v.kind = numbers.kind;
        v.array = {numbers.data, numbers.elements};
        v.data = &v.array;
        if (findValueKind(v.kind)->binaryTag) sawArrayForm(false);
        return true;
    }

    // "[ " tag, count, little-endian data, "] ".
    void binaryArray(Value& v) {
        const size_t tagAt = p;
        if (n - p < 8) failByte(tagAt, "an array tag and count, found the end of the file");
        const char letter = s[p + 3];
        const uint32_t count = littleEndian32(s.data() + p + 4);
        const size_t width = letter == 'r' ? 8 : 4;
        if (letter != 'c' && letter != 'f' && letter != 'r' && letter != 'i')
            failByte(p + 3, "an array tag c, f, r or i");
        if (letter == 'c' && count % 3) failByte(p + 4, "a count of floats that is a multiple of 3");
        if (count > INT32_MAX) failByte(p + 4, "a count below 2^31");
        p += 8;
        if (count > (n - p) / width)
            failByte(p, std::to_string(count) + " elements of " + std::to_string(width) +
                            " bytes, found only " + std::to_string(n - p) + " bytes");
        const ValueType kind = letter == 'r' ? vtDoubleArray : letter == 'i' ? vtIntArray
                               : letter == 'c'                 ? vtFloat3Array
                                                               : vtFloatArray;
        v.kind = kind;
        v.array = {alignedData(p, count, width, kind, v.buffers), static_cast<int32_t>(letter == 'c' ? count / 3 : count)};
        p += count * width;
        if (!at("] ")) failByte(p, "\"] \" after the array data");
        p += 2;
        v.data = &v.array;
        sawArrayForm(true);
    }

    // The `count` little-endian elements of `width` bytes at `at` where the
    // target may read them as numbers: in place when aligned, else moved back
    // over the array's tag in the file's own memory, else copied.
    const void* alignedData(size_t at, size_t count, size_t width, ValueType kind, NumberBuffers& buffers) {
        const char* data = s.data() + at;
        const size_t bytes = count * width;
        if constexpr (std::endian::native == std::endian::little) {
            const size_t shift = reinterpret_cast<uintptr_t>(data) % width;
            if (shift == 0) return data;
            if (writable) {  // the tag and count before the data are read already
                MovedArray moved{at - shift, at + bytes, shift, {}};
                std::memcpy(moved.tagBytes, data - shift, shift);
                char* to = writable + at - shift;
                std::memmove(to, data, bytes);
                movedArrays.push_back(moved);
                return to;
            }
        }
        if (width == 8) {
            double* to = buffers.doubles.get(count);
            copyElements(to, data, count, 8);
            return to;
        }
        if (kind == vtIntArray) {
            int32_t* to = buffers.ints.get(count);
            copyElements(to, data, count, 4);
            return to;
        }
        float* to = buffers.floats.get(count);
        copyElements(to, data, count, 4);
        return to;
    }

    // What the text held at offset i before arrays were moved; `moved` is the
    // first moved array not ending before i.
    char originalByte(size_t i, size_t moved) const {
        if (moved == movedArrays.size() || i < movedArrays[moved].begin) return s[i];
        const MovedArray& array = movedArrays[moved];
        return i < array.begin + array.shift ? array.tagBytes[i - array.begin] : s[i - array.shift];
    }

    // ---- statements ----------------------------------------------------------

    void statement() {
        const size_t start = p;
        if (s[p] == '}') {
            sawIndentation(start, stack.empty() ? 0 : stack.size() - 1);
            return close();
        }
        sawIndentation(start, stack.size());
        if (at("//")) return comment();
        if (atName()) return parameterStatement(start);
        // The writer puts only inputs into a captured shader's text; anything
        // else there would be written elsewhere and not read back the same.
        if (!stack.empty() && stack.back().kind == Block::Captured)
            fail(start, "an input of the captured shader opened at " + place(stack.back().at) +
                            " (a quoted name) or '}'");
        const std::string_view keyword = run(kWordStops);
        if (keyword.find('\0') != std::string_view::npos) fail(start, "a statement without NUL bytes");
        if (keyword == "#print" || keyword == "#error") return directive(keyword == "#print");
        if (keyword == "#define") return definition(start);
        if (keyword == "#modify") {
            if (word() != "camera") fail(p, "camera after #modify");
            return camera(start, true);
        }
        if (keyword == "group" || keyword == "object") {
            if (keyword == "object") checkTopBlock(start, Block::Object);
            const std::string text = name();
            expect('{', "'{'");
            if (keyword == "group")
                target.beginGroup(text.c_str(), true);
            else
                target.beginObject(text.c_str(), true);
            return open(keyword == "group" ? Block::Group : Block::Object, start);
        }
        if (keyword == "geometry" || keyword == "load" || keyword == "light" || keyword == "accel") {
            const std::string text = name();
            expect('{', "'{'");
            if (keyword == "geometry") {
                target.beginGeometry(text.c_str());
                return open(Block::Geometry, start);
            }
            if (keyword == "load") {
                target.beginLoad(text.c_str());
                return open(Block::Load, start);
            }
            if (keyword == "light") {
                target.beginLight(text.c_str());
                return open(Block::Light, start);
            }
            target.beginAccel(text.c_str());
            return open(Block::Accel, start);
        }
        if (keyword == "animation") {
            const std::string text = name(), kind = name();
            expect('{', "'{'");
            target.beginAnimation(text.c_str(), kind.c_str());
            return open(Block::Animation, start);
        }
        if (keyword == "output") {
            const std::string a = name(), b = name(), c = name();
            expect('{', "'{'");
            target.beginOutput(a.c_str(), b.c_str(), c.c_str());
            return open(Block::Output, start);
        }
        if (keyword == "options" || keyword == "image") {
            checkTopBlock(start, keyword == "options" ? Block::Options : Block::Image);
            expect('{', "'{'");
            if (keyword == "options") {
                target.beginOptions();
                return open(Block::Options, start);
            }
            target.beginImage();
            return open(Block::Image, start);
        }
        if (keyword == "camera") return camera(start, false);
        if (keyword == "material") {
            const std::string text = name();
            blanks();
            if (peek() == '{') {
                ++p;
                target.beginMaterial(text.c_str(), true);
                return open(Block::Material, start);
            }
            expectLineEnd();
            target.useMaterial(text.c_str());
            return;
        }
        if (keyword == "transform" || keyword == "set") {
            if (keyword == "set" && word() != "transform") fail(p, "transform after set");
            double m[16];
            numbers(16, m);
            if (keyword == "set")
                target.setTransform(m);
            else
                target.transform(m);
            return;
        }
        if (keyword == "scale" || keyword == "rotate" || keyword == "translate") {
            double v[3];
            numbers(3, v);
            if (keyword == "scale") target.scale(&v[0], &v[1], &v[2]);
            if (keyword == "rotate") target.rotate(&v[0], &v[1], &v[2]);
            if (keyword == "translate") target.translate(&v[0], &v[1], &v[2]);
            return;
        }
        if (keyword == "surface" || keyword == "shadow" || keyword == "volume")
            return bind(start, keyword, keyword == "surface" ? 0 : keyword == "shadow" ? 1 : 2);
        if (keyword == "reflection") {
            const size_t afterKeyword = p;
            if (word() == "map") return bind(start, "reflection map", 3);
            p = afterKeyword;
            return plainAttribute(start, keyword);
        }
        if (keyword == "attribute") {
            const std::string key = name(), text = name();
            expectLineEnd();
            return target.groupAttribute(key.c_str(), text.c_str());
        }
        if (keyword == "flags" || keyword == "id") {
            uint32_t value = 0;
            const size_t afterKeyword = p;
            if (!integer(value) || !lineEnd()) {
                p = afterKeyword;
                return plainAttribute(start, keyword);
            }
            if (keyword == "flags")
                target.flags(value);
            else
                target.id(value);
            return;
        }
        if (keyword == "version") {
            const auto v = expectInteger<int32_t>("a version number");
            expectLineEnd();
            return target.version(v);
        }
        if (keyword == "progress") {
            const std::string text = name();
            double fraction[1];
            numbers(1, fraction);
            return target.progress(text.c_str(), static_cast<float>(fraction[0]));
        }
        if (keyword == "render") {
            expectLineEnd();
            target.render();
            return;
        }
        blanks();
        if (at("bX")) {
            const std::string bytes = hexBytes(p + 2, "bytes in hexadecimal form, two digits each");
            expectLineEnd();
            const auto* data = reinterpret_cast<const uint8_t*>(bytes.data());
            const auto length = static_cast<int32_t>(bytes.size());
            if (keyword == "icon")
                target.icon(data, length);
            else
                target.blob(std::string(keyword).c_str(), data, length);
            return;
        }
        if (keyword.empty()) fail(start, "a statement");
        plainAttribute(start, keyword);
    }

    // A comment line (and the empty lines after it that no statement writes).
    void comment() {
        size_t end = s.find('\n', p);
        end = end == std::string_view::npos ? n : end + 1;
        // Empty lines as the writer writes them inside a block: nothing but
        // the indentation. They are handed on bare; the writer indents again.
        size_t emptyLines = 0, next = end, lastEmpty = end;
        for (;;) {
            size_t q = next;
            while (q < n && s[q] == ' ') ++q;
            if (q >= n || s[q] != '\n') break;
            lastEmpty = next;
            next = q + 1;
            ++emptyLines;
        }
        size_t word = next;
        while (word < n && s[word] == ' ') ++word;
        // These statements write an empty line before themselves.
        const std::string_view following = s.substr(word, s.find_first_of(" \n", word) - word);
        const bool opensWithEmptyLine = following == "group" || following == "camera" ||
                                        following == "options" || following == "image" ||
                                        following == "light" || following == "accel" ||
                                        following == "render" || following == "#define";
        if (opensWithEmptyLine && emptyLines > 0) {
            --emptyLines;
            next = lastEmpty;
        }
        std::string text = withoutNul(std::string(s.substr(p, end - p)), p);
        text.append(emptyLines, '\n');
        p = next;
        target.writeText("%s", text.c_str());
    }

    void directive(bool isPrint) {
        blanks();
        if (peek() != '"') fail(p, "'\"' opening the text");
        ++p;
        size_t end = s.find("\"\n", p);
        if (end == std::string_view::npos) {
            if (n == 0 || s[n - 1] != '"' || n - 1 < p) fail(n, "'\"' closing the text");
            end = n - 1;
        }
        std::string text = withoutNul(std::string(s.substr(p, end - p)), p);
        p = end + 1;
        // The writer indents the text as a piece of its own.
        const size_t level = indentState == 1 && capturedDepth == 0 ? stack.size() : 0;
        if (level > 0 && text.size() >= level && text.find_first_not_of(' ') >= level) text.erase(0, level);
        if (isPrint)
            target.print(text.c_str());
        else
            target.error(text.c_str());
    }

    void definition(size_t start) {
        const std::string_view what = word();
        if (what == "group" || what == "object" || what == "material" || what == "matrix") {
            const std::string text = name();
            expect('{', "'{'");
            if (what == "group") {
                target.beginGroup(text.c_str(), false);
                return open(Block::Group, start);
            }
            if (what == "object") {
                checkTopBlock(start, Block::Object);
                target.beginObject(text.c_str(), false);
                return open(Block::Object, start);
            }
            if (what == "material") {
                target.beginMaterial(text.c_str(), false);
                return open(Block::Material, start);
            }
            target.beginMatrix(text.c_str());
            return open(Block::Matrix, start);
        }
        if (what != "shader") fail(p, "group, object, material, matrix or shader after #define");
        blanks();
        if (atName()) {
            const std::string text = name(), type = name("a shader type");
            expect('{', "'{'");
            checkDepth(start);
            target.openShader(text.c_str(), type.c_str());
            return open(Block::Shader, start);
        }
        const auto number = expectInteger<int32_t>("a shader number or name");
        // The type is written unquoted: everything up to the " {" ending the line.
        blanks();
        size_t end = s.find('\n', p);
        if (end == std::string_view::npos) end = n;
        size_t last = end;
        while (last > p && (s[last - 1] == ' ' || s[last - 1] == '\r')) --last;
        if (last == p || s[last - 1] != '{') fail(last, "'{' ending the shader definition");
        size_t typeEnd = last - 1;
        if (typeEnd > p && s[typeEnd - 1] == ' ') --typeEnd;
        const std::string type = withoutNul(std::string(s.substr(p, typeEnd - p)), p);
        p = last;
        checkDepth(start);
        target.defineShader(type.c_str(), number);
        open(Block::Shader, start);
    }

    void camera(size_t start, bool modify) {
        checkTopBlock(start, Block::Camera);
        blanks();
        std::string text;
        const bool named = peek() != '{';
        if (named) text = name("a camera name or '{'");
        expect('{', "'{'");
        const char* cameraName = named ? text.c_str() : nullptr;
        auto* writer = modify ? dynamic_cast<orvScene_api_file*>(&target) : nullptr;
        checkDepth(start);
        if (writer)
            writer->modifyCamera(cameraName);
        else
            target.beginCamera(cameraName);
        open(Block::Camera, start);
    }

    // surface / shadow / volume / reflection map: a shader number or a captured shader.
    void bind(size_t start, std::string_view keyword, int32_t kind) {
        blanks();
        if (atName()) {
            const std::string type = name();
            expect('{', "'{' opening the captured shader");
            return openCaptured(start, type, CaptureUse::Bind, "", false, kind);
        }
        const size_t afterKeyword = p;
        int32_t shader = 0;
        if (integer(shader) && lineEnd()) return target.bindShaderId(kind, shader);
        p = afterKeyword;
        plainAttribute(start, keyword);
    }

    // name value (plain style: the statement ends with the line).
    void plainAttribute(size_t start, std::string_view attributeName) {
        const std::string text(attributeName);
        if (!value(text, End::Line, current))
            return openCaptured(start, current.capturedType, CaptureUse::Attribute, text, true, 0);
        expectLineEnd();
        target.attribute(text.c_str(), current.kind, current.data);
    }

    // "name" value, | "name" ! shader, | "name" [ list ],
    void parameterStatement(size_t start) {
        const std::string text = name();
        blanks();
        if (peek() == '[' && p + 1 < n && s[p + 1] == '\n') {
            p += 2;
            return list(text, start);
        }
        if (peek() == '!') {
            ++p;
            blanks();
            if (atName()) {
                const std::string type = name();
                expect('{', "'{' opening the captured shader");
                return openCaptured(start, type, CaptureUse::ShaderInput, text, false, 0);
            }
            const auto shader = expectInteger<int32_t>("a shader number or a captured shader");
            expect(',', "','");
            target.shaderInputId(text.c_str(), shader);
            return;
        }
        // An attribute: where the writer writes them plain, a quoted name could
        // hold what a bare one cannot (a blank, a keyword) and not read back.
        if (style.plain)
            fail(start, "an attribute in plain form here (name value, no quotes or comma)");
        if (!value(text, End::Comma, current))
            return openCaptured(start, current.capturedType, CaptureUse::Attribute, text, false, 0);
        expect(',', "','");
        target.attribute(text.c_str(), current.kind, current.data);
    }

    void list(const std::string& listName, size_t start) {
        target.beginList(listName.c_str());
        bool separated = true, lineBreak = false;
        size_t written = 0;  // text elements so far: the writer breaks lines by this count
        for (;;) {
            space();
            if (p >= n) fail(p, "']' closing the list opened at " + place(start));
            if (s[p] == ']') {
                ++p;
                expect(',', "',' after the list");
                break;
            }
            if (at("\x01\x02\x03")) {
                binaryListElements();
                separated = false;
                continue;
            }
            if (s[p] == ',') {
                if (separated) fail(p, "a list element");
                ++p;
                blanks();
                lineBreak = peek() == '\n';
                separated = true;
                continue;
            }
            if (!separated) fail(p, "',' or ']'");
            const size_t begin = p;
            if (!value("", End::Element, current))
                fail(begin, "a list element (a captured shader cannot be one)");
            // Three floats break the line after every second element, other kinds
            // after every sixth: the break tells which of the two was written.
            if (current.run.values.size() == 3 && written % 6 != 0 && written % 2 == 0 &&
                (current.kind == vtFloat3 || current.kind == vtInt3)) {
                current.kind = lineBreak ? vtFloat3 : vtDouble3;
                current.data = current.typed.fill(current.run, current.kind);
            }
            if (current.kind == vtFloat3 || current.kind == vtFloat || current.kind == vtInt)
                sawArrayForm(false);
            target.listElement(current.kind, current.data);
            ++written;
            separated = false;
        }
        target.endList();
    }

    // The elements a list collected in binary form: tag, count of words, words.
    // The tag is that of the last element collected; the words before it may
    // come from elements of other kinds, so they are handed on one by one
    // unless they all make triples.
    void binaryListElements() {
        if (n - p < 8) failByte(p, "a list tag and count, found the end of the file");
        const char letter = s[p + 3];
        const uint32_t words = littleEndian32(s.data() + p + 4);
        if (letter != 'c' && letter != 'f' && letter != 'i') failByte(p + 3, "a list tag c, f or i");
        const size_t last = letter == 'c' ? 3 : 1;
        if (words < last) failByte(p + 4, "a count of at least " + std::to_string(last) + " words");
        p += 8;
        if (words > (n - p) / 4)
            failByte(p, std::to_string(words) + " words of 4 bytes, found only " +
                            std::to_string(n - p) + " bytes");
        sawArrayForm(true);
        const bool triples = letter == 'c' && words % 3 == 0;
        const ValueType single = letter == 'i' ? vtInt : vtFloat;
        uint32_t element[3];
        size_t i = 0;
        for (; i + last < words; i += triples ? 3 : 1) {
            copyElements(element, s.data() + p + 4 * i, triples ? 3 : 1, 4);
            target.listElement(triples ? vtFloat3 : single, element);
        }
        copyElements(element, s.data() + p + 4 * i, last, 4);
        target.listElement(letter == 'c' ? vtFloat3 : single, element);
        p += size_t{words} * 4;
    }

    std::string_view s;
    char* writable;
    size_t n;
    size_t p = 0;
    const std::string& file;
    orvScene_api& target;
    ReadOptions options;
    std::vector<OpenBlock> stack;
    AttributeStyle style;
    size_t capturedDepth = 0;
    int indentState = -1;  // unknown, off, on
    int binaryState = -1;
    uint32_t sentFlags = 0xFFFFFFFFu;
    NumberRun scratch;
    Value current;
    // Binary arrays moved `shift` bytes back over their tag: [begin, end).
    struct MovedArray {
        size_t begin, end, shift;
        char tagBytes[8];
    };
    std::vector<MovedArray> movedArrays;
};

}  // namespace

void readSceneText(std::string_view text, const std::string& fileName, orvScene_api& target,
                   const ReadOptions& options) {
    if (text.size() > kMaxFileBytes)
        throw ReadError(fileName + ": larger than " + std::to_string(kMaxFileBytes) + " bytes");
    Parser(text, nullptr, fileName, target, options).run();
}

void readSceneFile(const std::string& path, orvScene_api& target, const ReadOptions& options) {
    std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
    if (!file) throw ReadError(path + ": cannot open: " + std::strerror(errno));
    const std::string tooLarge = path + ": larger than " + std::to_string(kMaxFileBytes) + " bytes";
    // One read of the announced size; a file that grows meanwhile is read in pieces.
    size_t announced = 0;
    if (std::fseek(file.get(), 0, SEEK_END) == 0) {
        const long size = std::ftell(file.get());
        if (size > 0 && static_cast<unsigned long>(size) > kMaxFileBytes) throw ReadError(tooLarge);
        if (size > 0) announced = static_cast<size_t>(size);
        std::rewind(file.get());
    }
    LargeBuffer text, grown;
    char* data = text.reserve(announced);
    size_t size = std::fread(data, 1, announced, file.get());
    std::string more;
    char piece[1 << 16];
    for (size_t got; (got = std::fread(piece, 1, sizeof piece, file.get())) > 0;) {
        if (size + more.size() + got > kMaxFileBytes) throw ReadError(tooLarge);
        more.append(piece, got);
    }
    if (std::ferror(file.get())) throw ReadError(path + ": cannot read: " + std::strerror(errno));
    if (!more.empty()) {
        char* whole = grown.reserve(size + more.size());
        std::memcpy(whole, data, size);
        std::memcpy(whole + size, more.data(), more.size());
        data = whole;
        size += more.size();
    }
    Parser(std::string_view(data, size), data, path, target, options).run();
}

}  // namespace orv::bip
