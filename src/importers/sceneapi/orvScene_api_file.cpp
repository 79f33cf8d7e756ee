#include "importers/sceneapi/orvScene_api_file.h"

#include <algorithm>
#include <clocale>
#include <cstdlib>
#include <cstring>

#include "importers/sceneapi/NumberText.h"
#include "importers/sceneapi/ValueKinds.h"
#include "importers/sceneapi/ValueText.h"
#include "importers/sceneapi/ParallelText.h"

namespace nt = orv::numtext;

namespace {

constexpr size_t kWorkBufferSize = 0x100000;
// Numeric array text is formatted in runs of about this many bytes.
constexpr size_t kRunBytes = 0x10000;
// Raw blocks at least this long go straight to the stream instead of the buffer.
constexpr size_t kDirectWrite = 0x10000;
// Largest text of one scalar value or array element (a "%16.16f" of a huge double).

const char kHexDigits[] = "0123456789abcdef";

char* hexBytes(char* out, const unsigned char* bytes, size_t length) {
    for (size_t i = 0; i < length; ++i) {
        *out++ = kHexDigits[bytes[i] >> 4];
        *out++ = kHexDigits[bytes[i] & 0xF];
    }
    return out;
}

void putLittleEndian32(unsigned char* out, uint32_t v) {
    out[0] = static_cast<unsigned char>(v);
    out[1] = static_cast<unsigned char>(v >> 8);
    out[2] = static_cast<unsigned char>(v >> 16);
    out[3] = static_cast<unsigned char>(v >> 24);
}

bool hostIsLittleEndian() {
    const uint32_t one = 1;
    unsigned char first;
    std::memcpy(&first, &one, 1);
    return first == 1;
}

}  // namespace

// Hands the buffered output of one operation to the stream when it ends.
struct OperationFlush {
    explicit OperationFlush(orvScene_api_file* w) : writer(w) {}
    ~OperationFlush();
    orvScene_api_file* writer;
};

orvScene_api_file::orvScene_api_file(FILE* stream, bool binaryArrays)
    : stream(stream),
      binaryArrays(binaryArrays),
      formatBuffer(kWorkBufferSize),
      out(kWorkBufferSize),
      textBuffers(std::make_unique<orv::ParallelTextBuffers>()) {
    if (const char* previous = std::setlocale(LC_NUMERIC, nullptr)) savedLocale = previous;
    std::setlocale(LC_NUMERIC, "C");
}

orvScene_api_file::~orvScene_api_file() {
    flushOut();
    if (!savedLocale.empty()) std::setlocale(LC_NUMERIC, savedLocale.c_str());
    for (TextChunk* chunk : allChunks) {
        if (!chunk) continue;
        std::free(chunk->data);
        delete chunk;
    }
}

// ---- work buffer -------------------------------------------------------------

void orvScene_api_file::flushOut() {
    if (used > 0 && stream) std::fwrite(out.data(), 1, used, stream);
    used = 0;
}

char* orvScene_api_file::reserve(size_t n) {
    if (used + n > out.size()) {
        // While capturing, the buffer holds the piece being built: grow instead.
        if (!capturing) flushOut();
        if (used + n > out.size()) out.resize(std::max(used + n, 2 * out.size()));
    }
    return out.data() + used;
}

void orvScene_api_file::endPiece(size_t start, bool binary) {
    if (!capturing) return;
    if (activeChunk) appendToChunk(activeChunk, out.data() + start, used - start, binary);
    used = start;
}

void orvScene_api_file::appendToChunk(TextChunk* chunk, const char* bytes, size_t length,
                                      bool binary) {
    const int64_t needed = int64_t{chunk->length} + 1 + static_cast<int64_t>(length);
    if (needed >= chunk->capacity) {
        const int64_t grown = static_cast<int64_t>(length) + 2 * (int64_t{chunk->capacity} + 256);
        const int64_t capacity = std::max(grown, needed + 1);
        if (capacity > INT32_MAX) return;  // a chunk stays below 2 GiB
        char* data = static_cast<char*>(std::realloc(chunk->data, static_cast<size_t>(capacity)));
        if (!data) return;
        chunk->data = data;
        chunk->capacity = static_cast<int32_t>(capacity);
    }
    if (length) std::memcpy(chunk->data + chunk->length, bytes, length);
    chunk->length += static_cast<int32_t>(length);
    chunk->data[chunk->length] = '\0';
    if (binary) chunk->binary = true;
}

int orvScene_api_file::indentWidth() const {
    if ((flagBits & kFlagNoIndent) || level <= 0) return 0;
    return level;
}

OperationFlush::~OperationFlush() {
    writer->closeStatement();
}

void orvScene_api_file::closeStatement() {
    flushOut();
}

// ---- output pieces -----------------------------------------------------------

void orvScene_api_file::piece(const char* text, size_t length) {
    if (capturing) length = std::min(length, kMaxPiece);
    const size_t start = used;
    char* p = reserve(length);
    std::memcpy(p, text, length);
    commit(p + length);
    endPiece(start, false);
}

void orvScene_api_file::indented(const char* text, size_t length) {
    length = std::min(length, kMaxPiece);
    const int width = indentWidth();
    const size_t start = used;
    char* p = reserve(static_cast<size_t>(width));
    std::memset(p, ' ', static_cast<size_t>(width));
    commit(p + width);
    const char* rest = text;
    const char* end = text + length;
    while (rest < end) {
        const char* lf =
            width ? static_cast<const char*>(std::memchr(rest, '\n', end - rest)) : nullptr;
        const char* lineEnd = lf ? lf + 1 : end;
        const size_t n = static_cast<size_t>(lineEnd - rest);
        p = reserve(n + static_cast<size_t>(width));
        std::memcpy(p, rest, n);
        p += n;
        rest = lineEnd;
        if (lf && rest < end) {
            std::memset(p, ' ', static_cast<size_t>(width));
            p += width;
        }
        commit(p);
    }
    endPiece(start, false);
}

void orvScene_api_file::indentedVFormat(const char* format, va_list args) {
    const int n = std::vsnprintf(formatBuffer.data(), formatBuffer.size(), format, args);
    if (n < 0) return;
    indented(formatBuffer.data(), std::min(static_cast<size_t>(n), kMaxPiece));
}

void orvScene_api_file::indentedFormat(const char* format, ...) {
    va_list args;
    va_start(args, format);
    indentedVFormat(format, args);
    va_end(args);
}

void orvScene_api_file::raw(const void* bytes, size_t length) {
    if (capturing) {
        if (activeChunk) appendToChunk(activeChunk, static_cast<const char*>(bytes), length, true);
        return;
    }
    if (length >= kDirectWrite) {
        flushOut();
        if (stream) std::fwrite(bytes, 1, length, stream);
        return;
    }
    char* p = reserve(length);
    std::memcpy(p, bytes, length);
    commit(p + length);
}

bool orvScene_api_file::hexNameForm(std::string_view name) {
    for (const char byte : name) {
        const auto c = static_cast<unsigned char>(byte);
        if (c == '\n' || c == '\r' || c == '"' || c >= 0x80) return true;
    }
    return false;
}

void orvScene_api_file::name(const char* text) {
    const int32_t saved = level;
    level = 0;
    nameAtLevel(text);
    level = saved;
}

void orvScene_api_file::nameAtLevel(const char* text) {
    if (!text) text = "";
    const size_t length = std::strlen(text);
    const size_t start = used;
    if (hexNameForm({text, length})) {
        char* p = reserve(2 + 2 * length);
        *p++ = 'x';
        *p++ = 'X';
        commit(hexBytes(p, reinterpret_cast<const unsigned char*>(text), length));
        endPiece(start, true);
        return;
    }
    // An I piece of "\"%s\"": indentation, then the quoted name, cut like any piece.
    const int width = indentWidth();
    const size_t total = std::min(length + 2, kMaxPiece);
    char* p = reserve(static_cast<size_t>(width) + total);
    std::memset(p, ' ', static_cast<size_t>(width));
    p += width;
    *p++ = '"';
    const size_t body = std::min(length, total - 1);
    std::memcpy(p, text, body);
    p += body;
    if (body + 2 == total) *p++ = '"';
    commit(p);
    endPiece(start, false);
}

void orvScene_api_file::newlineIndent() {
    piece("\n", 1);
    indented("", 0);
}

void orvScene_api_file::chunkText(const TextChunk* chunk) {
    if (!chunk) return;
    if (chunk->binary) {
        if (chunk->data && chunk->length > 0) raw(chunk->data, static_cast<size_t>(chunk->length));
        return;
    }
    const size_t length = chunk->data && chunk->length > 0
                              ? strnlen(chunk->data, static_cast<size_t>(chunk->length))
                              : 0;
    indented(chunk->data ? chunk->data : "", length);
}

// The block's name, its opening brace, and one level deeper for its body.
void orvScene_api_file::openBody(const char* blockName) {
    name(blockName);
    piece(" {\n", 3);
    ++level;
}

// Blocks that keep their own statement style save the outer one for their end.
void orvScene_api_file::saveStyle(bool plain) {
    styleStack.push_back(style);
    style = plain;
}

void orvScene_api_file::blockEnd() {
    --level;
    indented("}\n", 2);
}

// ---- values ------------------------------------------------------------------

void orvScene_api_file::value(const orv::ValueKind& kind, const void* data) {
    if (kind.array) {
        const ArrayRef& array = *static_cast<const ArrayRef*>(data);
        const uint32_t count =
            array.data && array.count > 0 ? static_cast<uint32_t>(array.count) : 0;
        if (binaryArrays && kind.binaryTag)
            return binaryArray(kind.binaryTag, kind.count * count, array.data,
                               kind.bytes() * count);
        return textArray(kind, array);
    }
    switch (kind.storage) {
        case orv::Storage::Chars:
            return name(static_cast<const char*>(data));
        case orv::Storage::CharsRef: {
            const char* text = *static_cast<const char* const*>(data);
            const std::string copy = text ? text : "";
            return name(copy.c_str());
        }
        case orv::Storage::ChunkRef: {
            const int32_t saved = level;
            level = 2;
            chunkText(*static_cast<const TextChunk* const*>(data));
            level = saved;
            return;
        }
        default:
            break;
    }
    const size_t start = used;
    char* p = reserve(orv::maxValueText());
    commit(orv::valueText(p, kind, data));
    endPiece(start, false);
}

void orvScene_api_file::binaryArray(char tag, uint32_t count, const void* data, size_t bytes) {
    piece("[ ", 2);
    unsigned char header[8] = {0x01, 0x02, 0x03, static_cast<unsigned char>(tag)};
    putLittleEndian32(header + 4, count);
    raw(header, sizeof header);
    if (bytes) {
        if (hostIsLittleEndian()) {
            raw(data, bytes);
        } else {
            // Element-wise byte swap into the buffer (elements of 4 or 8 bytes).
            const size_t width = tag == 'r' ? 8 : 4;
            const auto* src = static_cast<const unsigned char*>(data);
            std::vector<unsigned char> swapped(bytes);
            for (size_t i = 0; i < bytes; i += width)
                for (size_t k = 0; k < width; ++k) swapped[i + k] = src[i + width - 1 - k];
            raw(swapped.data(), bytes);
        }
    }
    piece("] ", 2);
}

bool orvScene_api_file::numericTextInParallel(const orv::ValueKind& kind, const void* data,
                                              int32_t count, int width) {
    return orv::parallelElementsText(kind, data, count, width, *textBuffers,
                                     [this](const char* text, size_t n) {
                                         flushOut();
                                         if (stream) std::fwrite(text, 1, n, stream);
                                     });
}

void orvScene_api_file::textArray(const orv::ValueKind& kind, const ArrayRef& array) {
    piece("[ ", 2);
    const int32_t count = array.data ? array.count : 0;
    if (kind.text == orv::TextForm::MatrixRow) {
        const auto* m = static_cast<const double*>(array.data);
        for (int32_t i = 0; i < count; ++i, m += 16) {
            indented("", 0);
            const size_t start = used;
            char* p = reserve(16 * (nt::kMaxGeneral + 1) + 2);
            for (int k = 0; k < 16; ++k) {
                p = nt::general(p, m[k]);
                *p++ = ' ';
            }
            commit(p);
            endPiece(start, false);
            if (i < count - 1)
                piece(",\n", 2);
            else
                piece("\n", 1);
        }
        piece("] ", 2);
        return;
    }
    if (kind.text == orv::TextForm::Name) {
        const auto* names = static_cast<const char* const*>(array.data);
        for (int32_t i = 0; i < count; ++i) {
            name(names[i]);
            piece(i < count - 1 ? "," : " ", 1);
            if (i >= 1 && i % 8 == 0) indented("", 0);
            piece("\n", 1);
        }
        piece("] ", 2);
        return;
    }

    // Numeric arrays: elements formatted straight into the work buffer, a run
    // at a time; large ones on several threads.
    const int width = indentWidth();
    if (!capturing && numericTextInParallel(kind, array.data, count, width)) {
        piece("] ", 2);
        return;
    }
    const size_t bound = orv::maxElementText(kind, width);
    const auto run = static_cast<int32_t>(std::max<size_t>(1, kRunBytes / bound));
    for (int32_t first = 0; first < count; first += std::min(run, count - first)) {
        const int32_t last = first + std::min(run, count - first);
        const size_t start = used;
        char* p = reserve(bound * static_cast<size_t>(last - first));
        commit(orv::elementsText(p, kind, array.data, first, last, count, width));
        endPiece(start, false);
    }
    piece("] ", 2);
}

// ---- statements --------------------------------------------------------------

void orvScene_api_file::reservedA() {}

bool orvScene_api_file::beginGroup(const char* n, bool instance) {
    OperationFlush flush(this);
    piece("\n", 1);
    if (!instance) indented("#define ", 8);
    indented("group ", 6);
    openBody(n);
    saveStyle(true);
    return true;
}

void orvScene_api_file::endGroup() {
    OperationFlush flush(this);
    blockEnd();
    if (!styleStack.empty()) {
        style = styleStack.back();
        styleStack.pop_back();
    }
}

bool orvScene_api_file::beginObject(const char* n, bool instance) {
    OperationFlush flush(this);
    if (instance)
        indented("object ", 7);
    else
        indented("#define object ", 15);
    openBody(n);
    saveStyle(true);
    topBlock = kTopObject;
    return true;
}

void orvScene_api_file::endObject() {
    endGroup();
    topBlock = kTopNone;
}

bool orvScene_api_file::beginGeometry(const char* n) {
    OperationFlush flush(this);
    indented("geometry ", 9);
    openBody(n);
    saveStyle(false);
    return true;
}

void orvScene_api_file::endGeometry() {
    endGroup();
}

bool orvScene_api_file::beginAnimation(const char* n, const char* kind) {
    OperationFlush flush(this);
    indented("animation ", 10);
    name(n);
    indented(" ", 1);
    openBody(kind);
    saveStyle(false);
    return true;
}

void orvScene_api_file::endAnimation() {
    endGroup();
}

bool orvScene_api_file::beginLoad(const char* n) {
    OperationFlush flush(this);
    indented("load ", 5);
    openBody(n);
    return true;
}

void orvScene_api_file::endLoad() {
    OperationFlush flush(this);
    blockEnd();
}

// Options, camera and image blocks stand only at the top: they cannot open
// inside each other or inside an object, and each end closes only its own kind.
void orvScene_api_file::openTopBlock(int32_t kind) {
    style = true;
    topBlock = kind;
    ++level;
}

void orvScene_api_file::closeTopBlock(int32_t kind) {
    OperationFlush flush(this);
    if (topBlock == kind) blockEnd();
    style = false;
    topBlock = kTopNone;
}

bool orvScene_api_file::beginOptions() {
    if (topBlock != kTopNone) return false;
    OperationFlush flush(this);
    capturing = false;
    indented("\noptions {\n", 11);
    openTopBlock(kTopOptions);
    return true;
}

void orvScene_api_file::endOptions() { closeTopBlock(kTopOptions); }

bool orvScene_api_file::beginCamera(const char* n) {
    if (topBlock != kTopNone) return false;
    OperationFlush flush(this);
    capturing = false;
    if (n) {
        indented("\ncamera ", 8);
        name(n);
        piece(" {\n", 3);
    } else {
        indented("\ncamera {\n", 10);
    }
    openTopBlock(kTopCamera);
    return true;
}

void orvScene_api_file::endCamera() { closeTopBlock(kTopCamera); }

bool orvScene_api_file::modifyCamera(const char* n) {
    {
        OperationFlush flush(this);
        indented("#modify ", 8);
    }
    return beginCamera(n);
}

bool orvScene_api_file::beginImage() {
    if (topBlock != kTopNone) return false;
    OperationFlush flush(this);
    capturing = false;
    indented("\nimage {\n", 9);
    openTopBlock(kTopImage);
    return true;
}

void orvScene_api_file::endImage() { closeTopBlock(kTopImage); }

bool orvScene_api_file::beginOutput(const char* a, const char* b, const char* c) {
    OperationFlush flush(this);
    style = false;
    indented("output ", 7);
    name(a);
    piece(" ", 1);
    name(b);
    piece(" ", 1);
    name(c);
    piece(" {\n", 3);
    ++level;
    return true;
}

void orvScene_api_file::endOutput() {
    OperationFlush flush(this);
    blockEnd();
    style = true;
}

bool orvScene_api_file::beginLight(const char* n) {
    OperationFlush flush(this);
    piece("\n", 1);
    indented("light ", 6);
    openBody(n);
    return true;
}

void orvScene_api_file::endLight() {
    endLoad();
}

bool orvScene_api_file::beginAccel(const char* n) {
    OperationFlush flush(this);
    indented("\naccel ", 7);
    openBody(n);
    saveStyle(false);
    return true;
}

void orvScene_api_file::endAccel() {
    endGroup();
}

void orvScene_api_file::transform(const double m[16]) {
    if (!m) return;
    OperationFlush flush(this);
    char text[16 * (nt::kMaxGeneral + 1) + 16] = "transform ";
    char* p = orv::valueText(text + 10, *orv::findValueKind(vtMatrix), m);
    *p++ = '\n';
    indented(text, static_cast<size_t>(p - text));
}

void orvScene_api_file::setTransform(const double m[16]) {
    if (!m) return;
    OperationFlush flush(this);
    char text[16 * (nt::kMaxGeneral + 1) + 16] = "set transform ";
    char* p = orv::valueText(text + 14, *orv::findValueKind(vtMatrix), m);
    *p++ = '\n';
    indented(text, static_cast<size_t>(p - text));
}

namespace {
// "<word> %g %g %g\n" with three doubles; a missing one counts as 0.
size_t threeDoubles(char* text, const char* word, const double* x, const double* y,
                    const double* z) {
    const size_t w = std::strlen(word);
    std::memcpy(text, word, w);
    char* p = text + w;
    for (const double* v : {x, y, z}) {
        *p++ = ' ';
        p = nt::general(p, v ? *v : 0.0);
    }
    *p++ = '\n';
    return static_cast<size_t>(p - text);
}
}  // namespace

void orvScene_api_file::scale(const double* x, const double* y, const double* z) {
    OperationFlush flush(this);
    char text[128];
    indented(text, threeDoubles(text, "scale", x, y, z));
}

void orvScene_api_file::rotate(const double* x, const double* y, const double* z) {
    OperationFlush flush(this);
    char text[128];
    indented(text, threeDoubles(text, "rotate", x, y, z));
}

void orvScene_api_file::translate(const double* x, const double* y, const double* z) {
    OperationFlush flush(this);
    char text[128];
    indented(text, threeDoubles(text, "translate", x, y, z));
}

bool orvScene_api_file::beginMatrix(const char* n) {
    OperationFlush flush(this);
    indented("#define matrix ", 15);
    openBody(n);
    return true;
}

void orvScene_api_file::endMatrix() {
    endLoad();
}

bool orvScene_api_file::beginMaterial(const char* n, bool instance) {
    OperationFlush flush(this);
    if (!instance) indented("\n#define ", 9);
    indented("material ", 9);
    openBody(n);
    return true;
}

bool orvScene_api_file::useMaterial(const char* n) {
    OperationFlush flush(this);
    indented("material ", 9);
    name(n);
    piece("\n", 1);
    return true;
}

void orvScene_api_file::endMaterial() {
    endLoad();
}

namespace {
// bindShader/bindShaderId kinds 0-3; any other kind is not known.
const char* shaderKindWord(int32_t kind) {
    static const char* const kWords[] = {"surface", "shadow", "volume", "reflection map"};
    return kind >= 0 && kind < 4 ? kWords[kind] : nullptr;
}
}  // namespace

void orvScene_api_file::bindShader(int32_t kind, const TextChunk* chunk) {
    if (!chunk) return;
    OperationFlush flush(this);
    const char* word = shaderKindWord(kind);
    if (!word) {
        indented("// assuming surface shader\n", 27);
        word = "surface";
    }
    std::string text = word;
    text += ' ';
    indented(text.data(), text.size());
    chunkText(chunk);
    indented("\n", 1);
}

void orvScene_api_file::bindShaderId(int32_t kind, int32_t shader) {
    OperationFlush flush(this);
    const char* word = shaderKindWord(kind);
    if (!word) {
        indented("// assuming surface shader\n", 27);
        word = "surface";
    }
    indented(word, std::strlen(word));
    char text[16] = " ";
    char* p = nt::integer(text + 1, shader);
    *p++ = '\n';
    piece(text, static_cast<size_t>(p - text));
}

bool orvScene_api_file::openShader(const char* n, const char* type) {
    OperationFlush flush(this);
    shaderStack.push_back({capturing, style, n == nullptr, level});
    style = false;
    if (n) {
        capturing = false;
        indented("#define shader ", 15);
        name(n);
        piece(" ", 1);
        name(type);
        piece(" {\n", 3);
    } else {
        // Anonymous: build the shader text into a new chunk, starting at level 0.
        flushOut();
        auto* chunk = new TextChunk;
        allChunks.push_back(chunk);
        activeChunk = chunk;
        capturing = true;
        level = 0;
        name(type);
        piece(" {\n", 3);
    }
    ++level;
    return true;
}

bool orvScene_api_file::defineShader(const char* type, int32_t shader) {
    OperationFlush flush(this);
    shaderStack.push_back({capturing, style, false, level});
    style = false;
    capturing = false;
    indentedFormat("#define shader %d %s {\n", shader, type ? type : "");
    ++level;
    return true;
}

// The captured chunk stays current after its end, so that the caller can
// bind it.
void orvScene_api_file::endShader() {
    OperationFlush flush(this);
    --level;
    indented(capturing ? "}" : "}\n", capturing ? 1 : 2);
    if (shaderStack.empty()) return;  // an end without an open shader only closes the brace
    const ShaderScope outer = shaderStack.back();
    shaderStack.pop_back();
    if (outer.anonymous) level = outer.level;
    style = outer.style;
    flushOut();
    capturing = outer.capturing;
}

TextChunk* orvScene_api_file::currentChunk() {
    return activeChunk;
}

void orvScene_api_file::pushChunk() {
    chunkStack.push_back(activeChunk);
}

void orvScene_api_file::popChunk() {
    if (chunkStack.empty()) return;
    activeChunk = chunkStack.back();
    chunkStack.pop_back();
}

bool orvScene_api_file::attribute(const char* n, ValueType type, const void* data) {
    const orv::ValueKind* kind = orv::findValueKind(type);
    if (!kind || !data) return true;
    OperationFlush flush(this);
    if (style) {
        const char* text = n ? n : "";
        const size_t length = std::strlen(text);
        // I "%s ": the name, a blank, cut like any piece.
        if (length < kMaxPiece && !std::memchr(text, '\n', length)) {
            const int width = indentWidth();
            const size_t start = used;
            char* p = reserve(static_cast<size_t>(width) + length + 1);
            std::memset(p, ' ', static_cast<size_t>(width));
            p += width;
            std::memcpy(p, text, length);
            p += length;
            *p++ = ' ';
            commit(p);
            endPiece(start, false);
        } else {
            indentedFormat("%s ", text);
        }
        value(*kind, data);
        piece("\n", 1);
    } else {
        nameAtLevel(n);
        piece(" ", 1);
        value(*kind, data);
        piece(",\n", 2);
    }
    return true;
}

bool orvScene_api_file::shaderInputId(const char* n, int32_t shader) {
    OperationFlush flush(this);
    nameAtLevel(n);
    char text[24] = " ! ";
    char* p = nt::integer(text + 3, shader);
    *p++ = ',';
    *p++ = '\n';
    piece(text, static_cast<size_t>(p - text));
    return true;
}

bool orvScene_api_file::shaderInput(const char* n, const TextChunk* chunk) {
    OperationFlush flush(this);
    nameAtLevel(n);
    piece(" ! ", 3);
    chunkText(chunk);
    indented(",\n", 2);
    return true;
}

bool orvScene_api_file::beginList(const char* n) {
    OperationFlush flush(this);
    listCount = 0;
    collectedCount = 0;
    nameAtLevel(n);
    piece(" [\n", 3);
    ++level;
    indented("", 0);
    return true;
}

void orvScene_api_file::endList() {
    OperationFlush flush(this);
    if (collectedCount > 0 && (collectedTag == 'c' || collectedTag == 'f' || collectedTag == 'i')) {
        unsigned char header[8] = {0x01, 0x02, 0x03, static_cast<unsigned char>(collectedTag)};
        putLittleEndian32(header + 4, static_cast<uint32_t>(collectedCount));
        raw(header, sizeof header);
        if (hostIsLittleEndian()) {
            raw(collected.data(), 4 * collectedCount);
        } else {
            for (size_t i = 0; i < collectedCount; ++i) {
                unsigned char word[4];
                putLittleEndian32(word, collected[i]);
                raw(word, 4);
            }
        }
    }
    collectedCount = 0;
    piece(" ],\n", 4);
    --level;
}

void orvScene_api_file::listElement(ValueType type, const void* data) {
    if (!data) return;
    const orv::ValueKind* kind = orv::findValueKind(type);
    if (!kind) return;
    if (binaryArrays && !kind->array && kind->binaryTag) {
        const size_t words = kind->count;
        if (collectedCount + words > collected.size())
            collected.resize(collected.size() + collectedCount + collected.size() + 65536);
        std::memcpy(collected.data() + collectedCount, data, 4 * words);
        collectedCount += words;
        collectedTag = kind->binaryTag;
        return;
    }
    OperationFlush flush(this);
    if (listCount > 0) {
        if ((type == vtFloat3 && listCount % 2 == 0) || listCount % 6 == 0) {
            piece(",\n", 2);
            indented("", 0);
        } else {
            piece(", ", 2);
        }
    }
    value(*kind, data);
    ++listCount;
}

int32_t orvScene_api_file::queryA() {
    return 10;
}
int32_t orvScene_api_file::queryB() {
    return 10;
}
int32_t orvScene_api_file::queryC() {
    return 0;
}

void orvScene_api_file::groupAttribute(const char* key, const char* v) {
    OperationFlush flush(this);
    indented("attribute ", 10);
    name(key);
    piece(" ", 1);
    name(v);
    piece("\n", 1);
}

void orvScene_api_file::writeText(const char* format, ...) {
    if (!format) return;
    OperationFlush flush(this);
    va_list args;
    va_start(args, format);
    indentedVFormat(format, args);
    va_end(args);
}

void orvScene_api_file::setFlags(uint32_t value) {
    flagBits = value;
    binaryArrays = (value & kFlagBinaryArrays) != 0;
}

void orvScene_api_file::version(int32_t v) {
    OperationFlush flush(this);
    char text[32] = "version ";
    char* p = nt::integer(text + 8, v == -1 ? 20 : v);
    *p++ = '\n';
    *p++ = '\n';
    indented(text, static_cast<size_t>(p - text));
}

void orvScene_api_file::reservedB() {}

void orvScene_api_file::progress(const char* n, float fraction) {
    OperationFlush flush(this);
    indented("progress ", 9);
    name(n);
    char text[64];
    const int length = std::snprintf(text, sizeof text, " %.3f\n\n", static_cast<double>(fraction));
    piece(text, static_cast<size_t>(std::clamp(length, 0, int(sizeof text) - 1)));
}

void orvScene_api_file::icon(const uint8_t* bytes, int32_t length) {
    OperationFlush flush(this);
    indented("icon ", 5);
    const size_t n = bytes && length > 0 ? static_cast<size_t>(length) : 0;
    std::vector<char> text(2 + 2 * n);
    text[0] = 'b';
    text[1] = 'X';
    hexBytes(text.data() + 2, bytes, n);
    raw(text.data(), text.size());
    indented("\n", 1);
}

void orvScene_api_file::blob(const char* keyword, const uint8_t* bytes, int32_t length) {
    OperationFlush flush(this);
    indentedFormat("%s ", keyword ? keyword : "");
    const size_t n = bytes && length > 0 ? static_cast<size_t>(length) : 0;
    std::vector<char> text(2 + 2 * n);
    text[0] = 'b';
    text[1] = 'X';
    hexBytes(text.data() + 2, bytes, n);
    raw(text.data(), text.size());
    indented("\n", 1);
}

void orvScene_api_file::id(uint32_t value) {
    OperationFlush flush(this);
    char text[24] = "id ";
    char* p = nt::unsignedInt(text + 3, value);
    *p++ = '\n';
    indented(text, static_cast<size_t>(p - text));
}

void orvScene_api_file::flags(uint32_t value) {
    OperationFlush flush(this);
    char text[24] = "flags ";
    char* p = nt::unsignedInt(text + 6, value);
    *p++ = '\n';
    indented(text, static_cast<size_t>(p - text));
}

bool orvScene_api_file::reservedC() {
    return false;
}

bool orvScene_api_file::render() {
    OperationFlush flush(this);
    indented("\nrender\n", 8);
    return true;
}

void orvScene_api_file::print(const char* text) {
    OperationFlush flush(this);
    indented("#print \"", 8);
    indented(text ? text : "", text ? std::strlen(text) : 0);
    piece("\"\n", 2);
}

void orvScene_api_file::error(const char* text) {
    OperationFlush flush(this);
    indented("#error \"", 8);
    indented(text ? text : "", text ? std::strlen(text) : 0);
    piece("\"\n", 2);
}
