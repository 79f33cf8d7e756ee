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
    SceneRecording() = default;
    SceneRecording(SceneRecording&&) = default;
    SceneRecording& operator=(SceneRecording&&);
    // Takes the tree apart level by level, so no depth of nesting recurses.
    ~SceneRecording();

    std::vector<SceneItem> items;
    // The first group opened at top level; names the model set.
    std::string rootName;
    bool hasRoot = false;
};

// What one transfer may ask the renderer to hold: groups nested this deep
// (the .bip file indents one blank per level) and this many bytes in all,
// counting every call's payload plus its nesting.
inline constexpr size_t kMaxGroupDepth = 1024;
inline constexpr uint64_t kMaxSceneBytes = uint64_t(512) << 20;

// Builds a recording from the frames of one transfer. Every frame is fully
// decoded before it is kept, so a recording holds only well-formed calls.
class SceneRecorder {
  public:
    explicit SceneRecorder(uint32_t session, uint64_t maxBytes = kMaxSceneBytes);
    ~SceneRecorder();

    // False, with the fault in error, for a frame that does not decode or
    // that goes beyond one of the limits above.
    bool add(uint8_t op, std::vector<uint8_t> payload, std::string* error);
    SceneRecording take();

  private:
    uint32_t session_;
    uint64_t maxBytes_;
    uint64_t bytes_ = 0;
    SceneRecording scene_;
    std::vector<GroupNode*> open_;  // groups not yet closed, innermost last
    std::unique_ptr<orvScene_api> validator_;
    livelink::ChunkMap validatorChunks_;
};

// Plays the recording onto target, in the order the calls arrived.
void replay(const SceneRecording& scene, orvScene_api& target);

}  // namespace renderer
