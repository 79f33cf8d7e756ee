// Encoding of orvScene_api values into frames, and the replay of a scene
// frame as the call it stands for on any orvScene_api.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <utility>

#include "FrameCodec.h"
#include "importers/sceneapi/orvScene_api.h"

namespace livelink {

// Tells the encoder which chunks were captured in the running session.
class ChunkNumbering {
  public:
    virtual ~ChunkNumbering() = default;
    // The chunk's number in this session, or 0 when it is not one of them.
    virtual uint32_t numberOf(const TextChunk* chunk) const = 0;
};

// Writes a chunk reference: null, a captured chunk's number, or the bytes of
// a chunk the sender did not capture through the live object.
void encodeChunk(FrameWriter& out, const TextChunk* chunk, const ChunkNumbering& numbering);

// Writes the kind and the value of attribute()/listElement(). False (and
// nothing sensible written) when the value pointer cannot be read for that kind.
bool encodeValue(FrameWriter& out, int32_t type, const void* value,
                 const ChunkNumbering& numbering);

// The target's chunks created while replaying, by (session, number), so that
// later references of the same session find them.
using ChunkMap = std::map<std::pair<uint32_t, uint32_t>, TextChunk*>;

// Decodes a scene frame completely and then makes the one call it stands
// for on target. A malformed payload makes no call, returns false and
// describes the fault in error.
bool replayFrame(uint8_t op, const uint8_t* payload, size_t size, uint32_t session,
                 orvScene_api& target, ChunkMap& chunks, std::string* error);

}  // namespace livelink
