#include "SceneRecording.h"

#include "importers/sceneapi/NullSceneApi.h"
#include "livelib/FrameCodec.h"

namespace renderer {

using livelink::Op;

namespace {

std::string groupName(const std::vector<uint8_t>& payload) {
    livelink::PayloadReader in(payload.data(), payload.size());
    const char* name = in.string();
    return name ? name : "";
}

uint32_t flagValue(const std::vector<uint8_t>& payload) {
    livelink::PayloadReader in(payload.data(), payload.size());
    return in.u32();
}

}  // namespace

SceneRecording& SceneRecording::operator=(SceneRecording&& other) {
    if (this != &other) {
        SceneRecording old(std::move(*this));
        items = std::move(other.items);
        rootName = std::move(other.rootName);
        hasRoot = other.hasRoot;
    }
    return *this;
}

SceneRecording::~SceneRecording() {
    // Every group's items are moved out before the group dies, so destroying
    // a group never reaches a group inside it.
    std::vector<std::vector<SceneItem>> pending;
    pending.push_back(std::move(items));
    while (!pending.empty()) {
        std::vector<SceneItem> level = std::move(pending.back());
        pending.pop_back();
        for (SceneItem& item : level)
            if (item.group && !item.group->items.empty())
                pending.push_back(std::move(item.group->items));
    }
}

SceneRecorder::SceneRecorder(uint32_t session, uint64_t maxBytes)
    : session_(session), maxBytes_(maxBytes), validator_(std::make_unique<orv::NullSceneApi>()) {}

SceneRecorder::~SceneRecorder() = default;

bool SceneRecorder::add(uint8_t op, std::vector<uint8_t> payload, std::string* error) {
    if (!livelink::isSceneOp(op)) {
        if (error) *error = "unknown operation " + std::to_string(op);
        return false;
    }
    const bool opensGroup = op == static_cast<uint8_t>(Op::BeginGroup);
    if (opensGroup && open_.size() >= kMaxGroupDepth) {
        if (error)
            *error = "groups nested deeper than " + std::to_string(kMaxGroupDepth) +
                     " levels, the most a scene may hold";
        return false;
    }
    bytes_ += payload.size() + 1 + open_.size();
    if (bytes_ > maxBytes_) {
        if (error)
            *error = "the scene is larger than " + std::to_string(maxBytes_) +
                     " bytes, the most one transfer may carry";
        return false;
    }
    if (!livelink::replayFrame(op, payload.data(), payload.size(), session_, *validator_,
                               validatorChunks_, error))
        return false;

    // The renderer writes its files in its own format; the sender's output
    // flags do not belong to the scene.
    if (op == static_cast<uint8_t>(Op::SetFlags)) return true;

    std::vector<SceneItem>& items = open_.empty() ? scene_.items : open_.back()->items;
    if (opensGroup) {
        auto group = std::make_unique<GroupNode>();
        group->name = groupName(payload);
        group->open = RecordedCall{op, session_, std::move(payload)};
        if (open_.empty() && !scene_.hasRoot) {
            scene_.hasRoot = true;
            scene_.rootName = group->name;
        }
        open_.push_back(group.get());
        items.push_back(SceneItem{{}, std::move(group)});
        return true;
    }
    if (op == static_cast<uint8_t>(Op::EndGroup) && !open_.empty()) {
        open_.back()->closed = true;
        open_.pop_back();
        return true;
    }
    if (op == static_cast<uint8_t>(Op::Flags) && !open_.empty() && !open_.back()->flags)
        open_.back()->flags = flagValue(payload);
    items.push_back(SceneItem{RecordedCall{op, session_, std::move(payload)}, nullptr});
    return true;
}

SceneRecording SceneRecorder::take() {
    open_.clear();
    validatorChunks_.clear();
    return std::move(scene_);
}

namespace {

void replayCall(const RecordedCall& c, orvScene_api& target, livelink::ChunkMap& chunks) {
    livelink::replayFrame(c.op, c.payload.data(), c.payload.size(), c.session, target, chunks,
                          nullptr);
}

}  // namespace

void replay(const SceneRecording& scene, orvScene_api& target) {
    livelink::ChunkMap chunks;
    // One entry per open group: its items, the next one to play, and the
    // group itself (null for the top level).
    struct Level {
        const std::vector<SceneItem>* items;
        size_t next;
        const GroupNode* group;
    };
    std::vector<Level> levels{{&scene.items, 0, nullptr}};
    while (!levels.empty()) {
        Level& level = levels.back();
        if (level.next == level.items->size()) {
            if (level.group && level.group->closed) target.endGroup();
            levels.pop_back();
            continue;
        }
        const SceneItem& item = (*level.items)[level.next++];
        if (!item.group) {
            replayCall(item.call, target, chunks);
            continue;
        }
        replayCall(item.group->open, target, chunks);
        levels.push_back({&item.group->items, 0, item.group.get()});
    }
}

}  // namespace renderer
