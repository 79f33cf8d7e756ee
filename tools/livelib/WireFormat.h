// The live link's wire format, shared by the live library (sender) and the
// renderer stand-in (receiver).
//
// A connection starts with a hello from the client and a hello reply from the
// renderer. After that every message is a frame:
//   u32 length (of what follows), u8 operation, payload (length - 1 bytes).
// Numbers are little-endian; names are u32 byte count (0xFFFFFFFF = null),
// the bytes and a terminating NUL; numeric arrays are raw blocks aligned to 8
// bytes from the start of the payload.
#pragma once

#include <cstddef>
#include <cstdint>

namespace livelink {

inline constexpr uint32_t kMagic = 0x4B4E4C51;  // "QLNK" read as little-endian
inline constexpr uint16_t kProtocolVersion = 1;

// Upper bound of one frame (operation byte and payload); a larger length
// marks a broken or hostile peer.
inline constexpr uint32_t kMaxFrameBytes = 256u << 20;
inline constexpr size_t kFrameHeaderBytes = 5;
inline constexpr uint32_t kNullString = 0xFFFFFFFFu;

enum class Channel : uint16_t { Scene = 1, Query = 2 };

enum class HelloStatus : uint16_t { Accepted = 0, UnsupportedVersion = 1, UnknownChannel = 2 };

// Client → renderer: magic, version, channel, live object id, connect's n.
inline constexpr size_t kHelloBytes = 16;
// Renderer → client: magic, version, status, renderer process id.
inline constexpr size_t kHelloReplyBytes = 12;

// Frame operations. The scene operations follow orvScene_api; those that
// answer locally in the live object (queries, reserved slots,
// currentChunk) never travel.
enum class Op : uint8_t {
    BeginGroup = 1,
    EndGroup,
    BeginObject,
    EndObject,
    BeginGeometry,
    EndGeometry,
    BeginAnimation,
    EndAnimation,
    BeginLoad,
    EndLoad,
    BeginOptions,
    EndOptions,
    BeginCamera,
    EndCamera,
    BeginImage,
    EndImage,
    BeginOutput,
    EndOutput,
    BeginLight,
    EndLight,
    BeginAccel,
    EndAccel,
    Transform,
    SetTransform,
    Scale,
    Rotate,
    Translate,
    BeginMatrix,
    EndMatrix,
    BeginMaterial,
    UseMaterial,
    EndMaterial,
    BindShader,
    BindShaderId,
    OpenShader,
    DefineShader,
    EndShader,
    PushChunk,
    PopChunk,
    Attribute,
    ShaderInputId,
    ShaderInput,
    BeginList,
    EndList,
    ListElement,
    GroupAttribute,
    WriteText,
    SetFlags,
    Version,
    Progress,
    Icon,
    Blob,
    Id,
    Flags,
    Render,
    Print,
    Error,
    LastSceneOp = Error,

    // Control frames.
    Finish = 100,       // client: the scene is complete
    Ack = 101,          // renderer: u8 status (0 = taken), u64 bytes received
    Describe = 110,     // client: ask for the scene description
    Description = 111,  // renderer: the XML text
};

inline bool isSceneOp(uint8_t op) {
    return op >= static_cast<uint8_t>(Op::BeginGroup) &&
           op <= static_cast<uint8_t>(Op::LastSceneOp);
}

// Name of an operation for log lines ("op 200" style text for unknown ones
// is built by the caller).
const char* opName(uint8_t op);

// Chunk references inside payloads: a tag byte, then the data of the form.
enum class ChunkTag : uint8_t {
    Null = 0,
    Captured = 1,  // u32 number of a chunk captured in this session (openShader with null name)
    Literal = 2,   // u8 binary flag, u32 length, the bytes and a NUL
};

// Value sizes come from the value kind table (importers/sceneapi/ValueKinds.h).

}  // namespace livelink
