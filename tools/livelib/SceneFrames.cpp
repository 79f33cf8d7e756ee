#include "SceneFrames.h"

#include <cstring>
#include <iterator>
#include <vector>

#include "importers/sceneapi/ValueKinds.h"

namespace livelink {

namespace {

// Bytes of a scalar kind's value (array false) or of one element of an array
// kind (array true); 0 for kinds that carry no numbers or are unknown.
size_t numberBytes(const orv::ValueKind* kind, bool array) {
    return kind && kind->array == array ? kind->bytes() : 0;
}

bool isStringArray(const orv::ValueKind* kind) {
    return kind && kind->array && !kind->numeric();
}

}  // namespace

void encodeChunk(FrameWriter& out, const TextChunk* chunk, const ChunkNumbering& numbering) {
    if (!chunk) {
        out.u8(static_cast<uint8_t>(ChunkTag::Null));
        return;
    }
    if (uint32_t number = numbering.numberOf(chunk)) {
        out.u8(static_cast<uint8_t>(ChunkTag::Captured));
        out.u32(number);
        return;
    }
    const uint32_t length =
        chunk->data && chunk->length > 0 ? static_cast<uint32_t>(chunk->length) : 0;
    out.u8(static_cast<uint8_t>(ChunkTag::Literal));
    out.u8(chunk->binary ? 1 : 0);
    out.u32(length);
    out.raw(chunk->data, length);
    out.u8(0);
}

bool encodeValue(FrameWriter& out, int32_t type, const void* value,
                 const ChunkNumbering& numbering) {
    out.i32(type);
    const orv::ValueKind* kind = orv::findValueKind(type);
    if (type == vtString) {
        out.string(static_cast<const char*>(value));
        return true;
    }
    if (!value) {
        // Only kinds without data may come without a value.
        return numberBytes(kind, false) == 0 && type != vtStringRef && type != vtChunk &&
               !(type & vtArray);
    }
    if (type == vtStringRef) {
        out.string(*static_cast<const char* const*>(value));
        return true;
    }
    if (type == vtChunk) {
        encodeChunk(out, *static_cast<const TextChunk* const*>(value), numbering);
        return true;
    }
    if (size_t bytes = numberBytes(kind, false)) {
        out.raw(value, bytes);
        return true;
    }
    if (!(type & vtArray)) return true;  // a kind without data

    const auto* array = static_cast<const ArrayRef*>(value);
    const int32_t count = array->count;
    const size_t elements = count > 0 ? static_cast<size_t>(count) : 0;
    if (elements > 0 && !array->data) return false;
    if (isStringArray(kind)) {
        out.i32(count);
        const auto* strings = static_cast<const char* const*>(array->data);
        for (size_t i = 0; i < elements; ++i) out.string(strings[i]);
        return true;
    }
    const size_t element = numberBytes(kind, true);
    if (element == 0) return true;  // an array kind that carries nothing
    if (elements > (kMaxFrameBytes - 64) / element) return false;
    out.i32(count);
    out.align8();
    out.raw(array->data, elements * element);
    return true;
}

namespace {

// One attribute/listElement value decoded from a payload, in the memory
// layout the interface expects.
struct DecodedValue {
    int32_t type = 0;
    const void* pointer = nullptr;

    alignas(8) uint8_t scalar[128] = {};
    const char* text = nullptr;
    const TextChunk* chunk = nullptr;
    TextChunk literal;
    ArrayRef array{nullptr, 0};
    std::vector<const char*> strings;
    std::vector<uint64_t> copy;  // numeric arrays whose block is misaligned in memory
};

const TextChunk* decodeChunk(PayloadReader& in, uint32_t session, const ChunkMap& chunks,
                             TextChunk& literal) {
    switch (static_cast<ChunkTag>(in.u8())) {
        case ChunkTag::Null:
            return nullptr;
        case ChunkTag::Captured: {
            const uint32_t number = in.u32();
            auto it = chunks.find({session, number});
            return it == chunks.end() ? nullptr : it->second;
        }
        case ChunkTag::Literal: {
            const bool binary = in.u8() != 0;
            const uint32_t length = in.u32();
            if (!in.ok()) return nullptr;
            if (length >= kMaxFrameBytes) {
                in.fail("chunk longer than a frame");
                return nullptr;
            }
            const uint8_t* bytes = in.bytes(size_t(length) + 1);
            if (!bytes) return nullptr;
            if (bytes[length] != 0) {
                in.fail("chunk without terminator");
                return nullptr;
            }
            literal.data = const_cast<char*>(reinterpret_cast<const char*>(bytes));
            literal.length = static_cast<int32_t>(length);
            literal.capacity = static_cast<int32_t>(length) + 1;
            literal.binary = binary;
            return &literal;
        }
    }
    in.fail("unknown chunk reference");
    return nullptr;
}

void decodeValue(PayloadReader& in, uint32_t session, const ChunkMap& chunks, DecodedValue& v) {
    v.type = in.i32();
    const int32_t type = v.type;
    if (!in.ok()) return;
    if (type == vtString) {
        v.text = in.string();
        v.pointer = v.text ? v.text : "";
        return;
    }
    if (type == vtStringRef) {
        v.text = in.string();
        if (!v.text) v.text = "";
        v.pointer = &v.text;
        return;
    }
    if (type == vtChunk) {
        v.chunk = decodeChunk(in, session, chunks, v.literal);
        v.pointer = &v.chunk;
        return;
    }
    const orv::ValueKind* kind = orv::findValueKind(type);
    v.pointer = v.scalar;  // kinds without data still get readable memory
    if (size_t bytes = numberBytes(kind, false)) {
        if (const uint8_t* p = in.bytes(bytes)) std::memcpy(v.scalar, p, bytes);
        return;
    }
    if (!(type & vtArray)) return;

    const bool strings = isStringArray(kind);
    const size_t element = numberBytes(kind, true);
    if (!strings && element == 0) {
        v.pointer = &v.array;
        return;
    }
    const int32_t count = in.i32();
    if (!in.ok()) return;
    const size_t elements = count > 0 ? static_cast<size_t>(count) : 0;
    v.array.count = count;
    v.pointer = &v.array;
    if (strings) {
        v.strings.reserve(std::min<size_t>(elements, 1u << 16));
        for (size_t i = 0; i < elements && in.ok(); ++i) {
            const char* s = in.string();
            v.strings.push_back(s ? s : "");
        }
        v.array.data = v.strings.data();
        return;
    }
    if (elements > kMaxFrameBytes / element) {
        in.fail("array larger than a frame");
        return;
    }
    const uint8_t* block = in.alignedBlock(elements * element);
    if (!block) return;
    if (reinterpret_cast<uintptr_t>(block) % 8 != 0) {
        v.copy.resize((elements * element + 7) / 8);
        std::memcpy(v.copy.data(), block, elements * element);
        block = reinterpret_cast<const uint8_t*>(v.copy.data());
    }
    v.array.data = block;
}

// Names the interface never takes as null (only beginCamera and openShader do).
const char* nonNull(const char* s) {
    return s ? s : "";
}

// One frame being replayed: the decoders read their arguments from `in`,
// check that the payload held exactly those (done) and then make the call.
struct Replay {
    uint8_t op;
    PayloadReader in;
    uint32_t session;
    orvScene_api& target;
    ChunkMap& chunks;
    std::string* error;

    bool done() {
        if (in.ok() && !in.atEnd()) in.fail("bytes after the arguments");
        if (!in.ok() && error) *error = std::string(opName(op)) + ": " + in.failure();
        return in.ok();
    }
    const char* name() { return nonNull(in.string()); }
    const TextChunk* chunk(TextChunk& literal) { return decodeChunk(in, session, chunks, literal); }
};

// Decoders, one per argument list; Member is the orvScene_api operation called.
template <auto Member>
bool noArguments(Replay& r) {
    if (!r.done()) return false;
    (r.target.*Member)();
    return true;
}

template <auto Member>
bool oneName(Replay& r) {
    const char* name = r.name();
    if (!r.done()) return false;
    (r.target.*Member)(name);
    return true;
}

template <auto Member>
bool twoNames(Replay& r) {
    const char* first = r.name();
    const char* second = r.name();
    if (!r.done()) return false;
    (r.target.*Member)(first, second);
    return true;
}

template <auto Member>
bool nameAndInstance(Replay& r) {
    const char* name = r.name();
    const bool instance = r.in.u8() != 0;
    if (!r.done()) return false;
    (r.target.*Member)(name, instance);
    return true;
}

template <auto Member>
bool nameAndInt(Replay& r) {
    const char* name = r.name();
    const int32_t number = r.in.i32();
    if (!r.done()) return false;
    (r.target.*Member)(name, number);
    return true;
}

template <auto Member>
bool twoInts(Replay& r) {
    const int32_t first = r.in.i32();
    const int32_t second = r.in.i32();
    if (!r.done()) return false;
    (r.target.*Member)(first, second);
    return true;
}

template <auto Member>
bool matrix(Replay& r) {
    double m[16];
    for (double& x : m) x = r.in.f64();
    if (!r.done()) return false;
    (r.target.*Member)(m);
    return true;
}

template <auto Member>
bool threeDoubles(Replay& r) {
    double xyz[3];
    for (double& x : xyz) x = r.in.f64();
    if (!r.done()) return false;
    (r.target.*Member)(&xyz[0], &xyz[1], &xyz[2]);
    return true;
}

template <auto Member>
bool unsignedNumber(Replay& r) {
    const uint32_t value = r.in.u32();
    if (!r.done()) return false;
    (r.target.*Member)(value);
    return true;
}

bool beginCamera(Replay& r) {
    const char* name = r.in.string();  // null stays null
    if (!r.done()) return false;
    r.target.beginCamera(name);
    return true;
}

bool beginOutput(Replay& r) {
    const char* a = r.name();
    const char* b = r.name();
    const char* c = r.name();
    if (!r.done()) return false;
    r.target.beginOutput(a, b, c);
    return true;
}

bool bindShader(Replay& r) {
    const int32_t kind = r.in.i32();
    TextChunk literal;
    const TextChunk* chunk = r.chunk(literal);
    if (!r.done()) return false;
    r.target.bindShader(kind, chunk);
    return true;
}

bool shaderInput(Replay& r) {
    const char* name = r.name();
    TextChunk literal;
    const TextChunk* chunk = r.chunk(literal);
    if (!r.done()) return false;
    r.target.shaderInput(name, chunk);
    return true;
}

// An anonymous shader's chunk is remembered under the sender's number.
bool openShader(Replay& r) {
    const char* name = r.in.string();
    const char* type = r.name();
    const uint32_t number = r.in.u32();
    if (!r.done()) return false;
    r.target.openShader(name, type);
    if (!name) r.chunks[{r.session, number}] = r.target.currentChunk();
    return true;
}

bool attribute(Replay& r) {
    const char* name = r.name();
    DecodedValue value;
    decodeValue(r.in, r.session, r.chunks, value);
    if (!r.done()) return false;
    r.target.attribute(name, static_cast<ValueType>(value.type), value.pointer);
    return true;
}

bool listElement(Replay& r) {
    DecodedValue value;
    decodeValue(r.in, r.session, r.chunks, value);
    if (!r.done()) return false;
    r.target.listElement(static_cast<ValueType>(value.type), value.pointer);
    return true;
}

bool writeText(Replay& r) {
    const char* text = r.name();
    if (!r.done()) return false;
    r.target.writeText("%s", text);
    return true;
}

bool version(Replay& r) {
    const uint32_t value = r.in.u32();
    if (!r.done()) return false;
    r.target.version(static_cast<int32_t>(value));
    return true;
}

bool progress(Replay& r) {
    const char* name = r.name();
    const float fraction = r.in.f32();
    if (!r.done()) return false;
    r.target.progress(name, fraction);
    return true;
}

// The byte block of icon and blob: u32 length, the bytes.
const uint8_t* byteBlock(Replay& r, uint32_t& length) {
    length = r.in.u32();
    if (r.in.ok() && length > kMaxFrameBytes) r.in.fail("byte block larger than a frame");
    return r.in.bytes(length);
}

bool icon(Replay& r) {
    uint32_t length = 0;
    const uint8_t* bytes = byteBlock(r, length);
    if (!r.done()) return false;
    r.target.icon(bytes, static_cast<int32_t>(length));
    return true;
}

bool blob(Replay& r) {
    const char* keyword = r.name();
    uint32_t length = 0;
    const uint8_t* bytes = byteBlock(r, length);
    if (!r.done()) return false;
    r.target.blob(keyword, bytes, static_cast<int32_t>(length));
    return true;
}

using Api = orvScene_api;
using Replayer = bool (*)(Replay&);

// Every scene operation in the order of Op, with its decoder and the call.
constexpr std::pair<Op, Replayer> kReplayers[] = {
    {Op::BeginGroup, nameAndInstance<&Api::beginGroup>},
    {Op::EndGroup, noArguments<&Api::endGroup>},
    {Op::BeginObject, nameAndInstance<&Api::beginObject>},
    {Op::EndObject, noArguments<&Api::endObject>},
    {Op::BeginGeometry, oneName<&Api::beginGeometry>},
    {Op::EndGeometry, noArguments<&Api::endGeometry>},
    {Op::BeginAnimation, twoNames<&Api::beginAnimation>},
    {Op::EndAnimation, noArguments<&Api::endAnimation>},
    {Op::BeginLoad, oneName<&Api::beginLoad>},
    {Op::EndLoad, noArguments<&Api::endLoad>},
    {Op::BeginOptions, noArguments<&Api::beginOptions>},
    {Op::EndOptions, noArguments<&Api::endOptions>},
    {Op::BeginCamera, beginCamera},
    {Op::EndCamera, noArguments<&Api::endCamera>},
    {Op::BeginImage, noArguments<&Api::beginImage>},
    {Op::EndImage, noArguments<&Api::endImage>},
    {Op::BeginOutput, beginOutput},
    {Op::EndOutput, noArguments<&Api::endOutput>},
    {Op::BeginLight, oneName<&Api::beginLight>},
    {Op::EndLight, noArguments<&Api::endLight>},
    {Op::BeginAccel, oneName<&Api::beginAccel>},
    {Op::EndAccel, noArguments<&Api::endAccel>},
    {Op::Transform, matrix<&Api::transform>},
    {Op::SetTransform, matrix<&Api::setTransform>},
    {Op::Scale, threeDoubles<&Api::scale>},
    {Op::Rotate, threeDoubles<&Api::rotate>},
    {Op::Translate, threeDoubles<&Api::translate>},
    {Op::BeginMatrix, oneName<&Api::beginMatrix>},
    {Op::EndMatrix, noArguments<&Api::endMatrix>},
    {Op::BeginMaterial, nameAndInstance<&Api::beginMaterial>},
    {Op::UseMaterial, oneName<&Api::useMaterial>},
    {Op::EndMaterial, noArguments<&Api::endMaterial>},
    {Op::BindShader, bindShader},
    {Op::BindShaderId, twoInts<&Api::bindShaderId>},
    {Op::OpenShader, openShader},
    {Op::DefineShader, nameAndInt<&Api::defineShader>},
    {Op::EndShader, noArguments<&Api::endShader>},
    {Op::PushChunk, noArguments<&Api::pushChunk>},
    {Op::PopChunk, noArguments<&Api::popChunk>},
    {Op::Attribute, attribute},
    {Op::ShaderInputId, nameAndInt<&Api::shaderInputId>},
    {Op::ShaderInput, shaderInput},
    {Op::BeginList, oneName<&Api::beginList>},
    {Op::EndList, noArguments<&Api::endList>},
    {Op::ListElement, listElement},
    {Op::GroupAttribute, twoNames<&Api::groupAttribute>},
    {Op::WriteText, writeText},
    {Op::SetFlags, unsignedNumber<&Api::setFlags>},
    {Op::Version, version},
    {Op::Progress, progress},
    {Op::Icon, icon},
    {Op::Blob, blob},
    {Op::Id, unsignedNumber<&Api::id>},
    {Op::Flags, unsignedNumber<&Api::flags>},
    {Op::Render, noArguments<&Api::render>},
    {Op::Print, oneName<&Api::print>},
    {Op::Error, oneName<&Api::error>},
};

constexpr bool inOperationOrder() {
    if (std::size(kReplayers) != static_cast<size_t>(Op::LastSceneOp)) return false;
    for (size_t i = 0; i < std::size(kReplayers); ++i)
        if (static_cast<size_t>(kReplayers[i].first) != i + 1) return false;
    return true;
}
static_assert(inOperationOrder(), "one replayer per scene operation, in the order of Op");

}  // namespace

bool replayFrame(uint8_t op, const uint8_t* payload, size_t size, uint32_t session,
                 orvScene_api& target, ChunkMap& chunks, std::string* error) {
    if (!isSceneOp(op)) {
        if (error) *error = "unknown operation " + std::to_string(op);
        return false;
    }
    Replay replay{op, PayloadReader(payload, size), session, target, chunks, error};
    return kReplayers[op - 1].second(replay);
}

}  // namespace livelink
