// A received scene kept as a tree of recorded calls: every group is a node
// holding the calls and sub-groups that stood between its beginGroup and
// endGroup; everything else is a recorded call. The calls keep their wire
// payloads, so replaying one decodes it again onto any orvScene_api.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "importers/sceneapi/orvScene_api.h"
#include "livelib/SceneFrames.h"

namespace renderer {

struct RecordedCall {
    uint8_t op = 0;
    uint32_t session = 0;  // the transfer it came with (chunk numbers are per transfer)
    std::vector<uint8_t> payload;
};

struct GroupNode;

// One entry of a group (or of the scene's top level): a call or a group.
struct SceneItem {
    RecordedCall call;
    std::unique_ptr<GroupNode> group;
};

struct GroupNode {
    RecordedCall open;  // the beginGroup call
    std::string name;
    bool closed = false;            // endGroup arrived
    std::optional<uint32_t> flags;  // the first flags call directly inside
    std::vector<SceneItem> items;
};

struct SceneRecording {
    std::vector<SceneItem> items;
    // The first group opened at top level; names the model set.
    std::string rootName;
    bool hasRoot = false;
};

// Builds a recording from the frames of one transfer. Every frame is fully
// decoded before it is kept, so a recording holds only well-formed calls.
class SceneRecorder {
  public:
    explicit SceneRecorder(uint32_t session);
    ~SceneRecorder();

    // False, with the fault in error, for a frame that does not decode.
    bool add(uint8_t op, std::vector<uint8_t> payload, std::string* error);
    SceneRecording take();

  private:
    uint32_t session_;
    SceneRecording scene_;
    std::vector<GroupNode*> open_;  // groups not yet closed, innermost last
    std::unique_ptr<orvScene_api> validator_;
    livelink::ChunkMap validatorChunks_;
};

// Plays the recording onto target, in the order the calls arrived.
void replay(const SceneRecording& scene, orvScene_api& target);

}  // namespace renderer
