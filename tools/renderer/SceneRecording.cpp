#include "SceneRecording.h"

#include "NullSceneApi.h"
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

SceneRecorder::SceneRecorder(uint32_t session)
    : session_(session), validator_(std::make_unique<NullSceneApi>()) {}

SceneRecorder::~SceneRecorder() = default;

bool SceneRecorder::add(uint8_t op, std::vector<uint8_t> payload, std::string* error) {
    if (!livelink::isSceneOp(op)) {
        if (error) *error = "unknown operation " + std::to_string(op);
        return false;
    }
    if (!livelink::replayFrame(op, payload.data(), payload.size(), session_, *validator_,
                               validatorChunks_, error))
        return false;

    // The renderer writes its files in its own format; the sender's output
    // flags do not belong to the scene.
    if (op == static_cast<uint8_t>(Op::SetFlags)) return true;

    std::vector<SceneItem>& items = open_.empty() ? scene_.items : open_.back()->items;
    if (op == static_cast<uint8_t>(Op::BeginGroup)) {
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

void replayItems(const std::vector<SceneItem>& items, orvScene_api& target,
                 livelink::ChunkMap& chunks) {
    for (const SceneItem& item : items) {
        if (item.group) {
            const GroupNode& g = *item.group;
            livelink::replayFrame(g.open.op, g.open.payload.data(), g.open.payload.size(),
                                  g.open.session, target, chunks, nullptr);
            replayItems(g.items, target, chunks);
            if (g.closed) target.endGroup();
        } else {
            const RecordedCall& c = item.call;
            livelink::replayFrame(c.op, c.payload.data(), c.payload.size(), c.session, target,
                                  chunks, nullptr);
        }
    }
}

}  // namespace

void replay(const SceneRecording& scene, orvScene_api& target) {
    livelink::ChunkMap chunks;
    replayItems(scene.items, target, chunks);
}

}  // namespace renderer
