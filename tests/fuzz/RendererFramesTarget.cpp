#include <cstdio>
#include <string>
#include <vector>

#include "FuzzTargets.h"
#include "ModelSets.h"
#include "importers/sceneapi/orvScene_api_file.h"
#include "livelib/FrameCodec.h"

namespace {

// The input as the renderer's reader cuts it: frames of a 4-byte length
// (operation included), the operation byte, the payload.
std::vector<std::pair<uint8_t, std::vector<uint8_t>>> frames(const uint8_t* data, size_t size) {
    std::vector<std::pair<uint8_t, std::vector<uint8_t>>> out;
    size_t at = 0;
    while (size - at >= 5) {
        const uint32_t length = livelink::getU32(data + at);
        if (length == 0 || length > size - at - 4) break;
        out.emplace_back(data[at + 4], std::vector<uint8_t>(data + at + 5, data + at + 4 + length));
        at += 4 + length;
    }
    return out;
}

// One transfer; false when the renderer would have ended the connection.
bool record(renderer::ModelSets& sets,
            const std::vector<std::pair<uint8_t, std::vector<uint8_t>>>& input,
            renderer::SceneRecording* scene) {
    // A small total keeps every run quick and reaches the limit's refusal.
    renderer::SceneRecorder recorder(sets.nextSession(), 1u << 20);
    for (const auto& [op, payload] : input) {
        std::string error;
        if (!recorder.add(op, payload, &error)) {
            fuzzCheck(!error.empty(), "a refused frame says why");
            return false;
        }
    }
    *scene = recorder.take();
    return true;
}

}  // namespace

int fuzzRendererFrames(const uint8_t* data, size_t size) {
    const auto input = frames(data, size);
    renderer::ModelSets sets;
    for (int transfer = 0; transfer < 2; ++transfer) {
        renderer::SceneRecording scene;
        if (!record(sets, input, &scene)) return 0;
        const std::string name = sets.store(std::move(scene));
        if (name.empty()) return 0;
        const renderer::SceneRecording* kept = sets.find(name);
        fuzzCheck(kept != nullptr, "a stored scene is found by its name");
        FILE* sink = std::fopen("/dev/null", "wb");
        {
            orvScene_api_file writer(sink, false);
            renderer::writeSceneHeader(writer);
            writer.setFlags(1);
            renderer::replay(*kept, writer);
        }
        std::fclose(sink);
    }
    fuzzCheck(sets.descriptionXml().rfind("<scene>", 0) == 0, "the description is a scene");
    return 0;
}
