#include "SceneFrames.h"

#include <cstring>
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

}  // namespace

bool replayFrame(uint8_t op, const uint8_t* payload, size_t size, uint32_t session,
                 orvScene_api& target, ChunkMap& chunks, std::string* error) {
    PayloadReader in(payload, size);
    auto done = [&]() {
        if (in.ok() && !in.atEnd()) in.fail("bytes after the arguments");
        if (!in.ok() && error) *error = std::string(opName(op)) + ": " + in.failure();
        return in.ok();
    };
    auto nameArg = [&]() { return nonNull(in.string()); };
    auto three = [&](double* xyz) {
        for (int i = 0; i < 3; ++i) xyz[i] = in.f64();
    };

    switch (static_cast<Op>(op)) {
        case Op::BeginGroup:
        case Op::BeginObject:
        case Op::BeginMaterial: {
            const char* name = nameArg();
            const bool instance = in.u8() != 0;
            if (!done()) return false;
            if (op == static_cast<uint8_t>(Op::BeginGroup))
                target.beginGroup(name, instance);
            else if (op == static_cast<uint8_t>(Op::BeginObject))
                target.beginObject(name, instance);
            else
                target.beginMaterial(name, instance);
            return true;
        }
        case Op::BeginGeometry:
        case Op::BeginLoad:
        case Op::BeginLight:
        case Op::BeginAccel:
        case Op::BeginMatrix:
        case Op::UseMaterial:
        case Op::BeginList: {
            const char* name = nameArg();
            if (!done()) return false;
            switch (static_cast<Op>(op)) {
                case Op::BeginGeometry:
                    target.beginGeometry(name);
                    break;
                case Op::BeginLoad:
                    target.beginLoad(name);
                    break;
                case Op::BeginLight:
                    target.beginLight(name);
                    break;
                case Op::BeginAccel:
                    target.beginAccel(name);
                    break;
                case Op::BeginMatrix:
                    target.beginMatrix(name);
                    break;
                case Op::UseMaterial:
                    target.useMaterial(name);
                    break;
                default:
                    target.beginList(name);
                    break;
            }
            return true;
        }
        case Op::BeginCamera: {
            const char* name = in.string();
            if (!done()) return false;
            target.beginCamera(name);
            return true;
        }
        case Op::BeginAnimation: {
            const char* name = nameArg();
            const char* kind = nameArg();
            if (!done()) return false;
            target.beginAnimation(name, kind);
            return true;
        }
        case Op::BeginOutput: {
            const char* a = nameArg();
            const char* b = nameArg();
            const char* c = nameArg();
            if (!done()) return false;
            target.beginOutput(a, b, c);
            return true;
        }
        case Op::EndGroup:
        case Op::EndObject:
        case Op::EndGeometry:
        case Op::EndAnimation:
        case Op::EndLoad:
        case Op::BeginOptions:
        case Op::EndOptions:
        case Op::EndCamera:
        case Op::BeginImage:
        case Op::EndImage:
        case Op::EndOutput:
        case Op::EndLight:
        case Op::EndAccel:
        case Op::EndMatrix:
        case Op::EndMaterial:
        case Op::EndShader:
        case Op::PushChunk:
        case Op::PopChunk:
        case Op::EndList:
        case Op::Render: {
            if (!done()) return false;
            switch (static_cast<Op>(op)) {
                case Op::EndGroup:
                    target.endGroup();
                    break;
                case Op::EndObject:
                    target.endObject();
                    break;
                case Op::EndGeometry:
                    target.endGeometry();
                    break;
                case Op::EndAnimation:
                    target.endAnimation();
                    break;
                case Op::EndLoad:
                    target.endLoad();
                    break;
                case Op::BeginOptions:
                    target.beginOptions();
                    break;
                case Op::EndOptions:
                    target.endOptions();
                    break;
                case Op::EndCamera:
                    target.endCamera();
                    break;
                case Op::BeginImage:
                    target.beginImage();
                    break;
                case Op::EndImage:
                    target.endImage();
                    break;
                case Op::EndOutput:
                    target.endOutput();
                    break;
                case Op::EndLight:
                    target.endLight();
                    break;
                case Op::EndAccel:
                    target.endAccel();
                    break;
                case Op::EndMatrix:
                    target.endMatrix();
                    break;
                case Op::EndMaterial:
                    target.endMaterial();
                    break;
                case Op::EndShader:
                    target.endShader();
                    break;
                case Op::PushChunk:
                    target.pushChunk();
                    break;
                case Op::PopChunk:
                    target.popChunk();
                    break;
                case Op::EndList:
                    target.endList();
                    break;
                default:
                    target.render();
                    break;
            }
            return true;
        }
        case Op::Transform:
        case Op::SetTransform: {
            double m[16];
            for (double& x : m) x = in.f64();
            if (!done()) return false;
            if (op == static_cast<uint8_t>(Op::Transform))
                target.transform(m);
            else
                target.setTransform(m);
            return true;
        }
        case Op::Scale:
        case Op::Rotate:
        case Op::Translate: {
            double xyz[3];
            three(xyz);
            if (!done()) return false;
            if (op == static_cast<uint8_t>(Op::Scale))
                target.scale(&xyz[0], &xyz[1], &xyz[2]);
            else if (op == static_cast<uint8_t>(Op::Rotate))
                target.rotate(&xyz[0], &xyz[1], &xyz[2]);
            else
                target.translate(&xyz[0], &xyz[1], &xyz[2]);
            return true;
        }
        case Op::BindShader: {
            const int32_t kind = in.i32();
            TextChunk literal;
            const TextChunk* chunk = decodeChunk(in, session, chunks, literal);
            if (!done()) return false;
            target.bindShader(kind, chunk);
            return true;
        }
        case Op::ShaderInput: {
            const char* name = nameArg();
            TextChunk literal;
            const TextChunk* chunk = decodeChunk(in, session, chunks, literal);
            if (!done()) return false;
            target.shaderInput(name, chunk);
            return true;
        }
        case Op::BindShaderId: {
            const int32_t kind = in.i32();
            const int32_t shader = in.i32();
            if (!done()) return false;
            target.bindShaderId(kind, shader);
            return true;
        }
        case Op::OpenShader: {
            const char* name = in.string();
            const char* type = nameArg();
            const uint32_t number = in.u32();
            if (!done()) return false;
            target.openShader(name, type);
            if (!name) chunks[{session, number}] = target.currentChunk();
            return true;
        }
        case Op::DefineShader: {
            const char* type = nameArg();
            const int32_t shader = in.i32();
            if (!done()) return false;
            target.defineShader(type, shader);
            return true;
        }
        case Op::Attribute: {
            const char* name = nameArg();
            DecodedValue value;
            decodeValue(in, session, chunks, value);
            if (!done()) return false;
            target.attribute(name, static_cast<ValueType>(value.type), value.pointer);
            return true;
        }
        case Op::ListElement: {
            DecodedValue value;
            decodeValue(in, session, chunks, value);
            if (!done()) return false;
            target.listElement(static_cast<ValueType>(value.type), value.pointer);
            return true;
        }
        case Op::ShaderInputId: {
            const char* name = nameArg();
            const int32_t shader = in.i32();
            if (!done()) return false;
            target.shaderInputId(name, shader);
            return true;
        }
        case Op::GroupAttribute: {
            const char* key = nameArg();
            const char* value = nameArg();
            if (!done()) return false;
            target.groupAttribute(key, value);
            return true;
        }
        case Op::WriteText:
        case Op::Print:
        case Op::Error: {
            const char* text = nameArg();
            if (!done()) return false;
            if (op == static_cast<uint8_t>(Op::WriteText))
                target.writeText("%s", text);
            else if (op == static_cast<uint8_t>(Op::Print))
                target.print(text);
            else
                target.error(text);
            return true;
        }
        case Op::SetFlags:
        case Op::Id:
        case Op::Flags:
        case Op::Version: {
            const uint32_t value = in.u32();
            if (!done()) return false;
            switch (static_cast<Op>(op)) {
                case Op::SetFlags:
                    target.setFlags(value);
                    break;
                case Op::Id:
                    target.id(value);
                    break;
                case Op::Flags:
                    target.flags(value);
                    break;
                default:
                    target.version(static_cast<int32_t>(value));
                    break;
            }
            return true;
        }
        case Op::Progress: {
            const char* name = nameArg();
            const float fraction = in.f32();
            if (!done()) return false;
            target.progress(name, fraction);
            return true;
        }
        case Op::Icon:
        case Op::Blob: {
            const char* keyword = op == static_cast<uint8_t>(Op::Blob) ? nameArg() : nullptr;
            const uint32_t length = in.u32();
            if (in.ok() && length > kMaxFrameBytes) in.fail("byte block larger than a frame");
            const uint8_t* bytes = in.bytes(length);
            if (!done()) return false;
            if (keyword)
                target.blob(keyword, bytes, static_cast<int32_t>(length));
            else
                target.icon(bytes, static_cast<int32_t>(length));
            return true;
        }
        default:
            break;
    }
    if (error) *error = "unknown operation " + std::to_string(op);
    return false;
}

}  // namespace livelink
