// Recording received frames into a scene tree and merging updates, without
// processes or sockets: frames are built as the live object builds them.
#include <gtest/gtest.h>

#include <algorithm>

#include "ModelSets.h"
#include "livelib/FrameCodec.h"
#include "support/MemoryWriter.h"

namespace {

using livelink::Op;

// Turns calls into recorded frames (the subset the tests need).
class Frames {
  public:
    explicit Frames(uint32_t session, uint64_t maxBytes = renderer::kMaxSceneBytes)
        : recorder_(session, maxBytes) {}
    Frames& group(const char* name) {
        return add(Op::BeginGroup, [&](livelink::FrameWriter& w) {
            w.string(name);
            w.u8(1);
        });
    }
    Frames& end() {
        return add(Op::EndGroup, [](livelink::FrameWriter&) {});
    }
    Frames& flags(uint32_t value) {
        return add(Op::Flags, [&](livelink::FrameWriter& w) { w.u32(value); });
    }
    Frames& print(const char* text) {
        return add(Op::Print, [&](livelink::FrameWriter& w) { w.string(text); });
    }
    Frames& setFlags(uint32_t value) {
        return add(Op::SetFlags, [&](livelink::FrameWriter& w) { w.u32(value); });
    }
    renderer::SceneRecording take() {
        EXPECT_EQ(error_, "");
        return recorder_.take();
    }
    // Why the recorder refused a frame; later frames are not offered.
    const std::string& error() const { return error_; }

  private:
    template <typename Fill>
    Frames& add(Op op, Fill fill) {
        std::vector<uint8_t> bytes;
        livelink::FrameWriter w(bytes);
        w.begin(op);
        fill(w);
        w.end();
        if (error_.empty())
            recorder_.add(bytes[4], std::vector<uint8_t>(bytes.begin() + 5, bytes.end()), &error_);
        return *this;
    }
    renderer::SceneRecorder recorder_;
    std::string error_;
};

std::string text(const renderer::SceneRecording& scene) {
    return support::writerText(
        [&](orvScene_api& writer) { renderer::replay(scene, writer); });
}

// A component with one occurrence of the same name twice, each holding a body.
renderer::SceneRecording design(uint32_t session, uint32_t componentFlags, bool bodies,
                                const char* tag) {
    Frames f(session);
    f.print(tag).group("Doc");
    for (int occurrence = 0; occurrence < 2; ++occurrence) {
        f.group("Part").flags(componentFlags);
        if (bodies) {
            const std::string body = std::string(tag) + " body " + std::to_string(occurrence);
            f.group(body.c_str()).flags(0x0400).group(body.c_str()).flags(0x10000).end().end();
        }
        f.end();
    }
    f.end();
    return f.take();
}

TEST(SceneRecorder, NamesTheSceneAfterItsFirstTopLevelGroup) {
    renderer::SceneRecording scene =
        Frames(1).print("x").group("Root").group("Inner").end().end().group("Second").end().take();
    EXPECT_TRUE(scene.hasRoot);
    EXPECT_EQ(scene.rootName, "Root");
    EXPECT_FALSE(Frames(1).print("only a print").take().hasRoot);
}

TEST(SceneRecorder, KeepsTheShapeOfUnbalancedScenesAndDropsOutputFlags) {
    renderer::SceneRecording scene =
        Frames(1).end().setFlags(2).group("open").group("inner").end().take();
    // Replayed as it came: an endGroup before any group, no endGroup for "open".
    const std::string written = text(scene);
    EXPECT_EQ(written.find("}\n"), 0u);
    EXPECT_EQ(std::count(written.begin(), written.end(), '}'), 2);
    EXPECT_EQ(written.find('\x01'),
              std::string::npos);  // no binary array tags: setFlags was dropped
}

TEST(ModelSets, UnchangedComponentsKeepTheirBodiesByPlace) {
    renderer::ModelSets sets;
    EXPECT_EQ(sets.store(design(sets.nextSession(), 0x8001, true, "old")), "Doc");
    const std::string first = text(*sets.find("Doc"));

    // Unchanged: each occurrence keeps its own body (same-named siblings by
    // order).
    sets.store(design(sets.nextSession(), 0x0001, false, "new"));
    const std::string kept = text(*sets.find("Doc"));
    EXPECT_NE(kept.find("old body 0"), std::string::npos);
    EXPECT_NE(kept.find("old body 1"), std::string::npos);
    EXPECT_LT(kept.find("old body 0"), kept.find("old body 1"));
    EXPECT_NE(kept.find("#print \"new\""),
              std::string::npos);  // top-level calls are replaced
    EXPECT_EQ(kept.find("#print \"old\""), std::string::npos);

    // Changed: the new bodies replace the old ones.
    sets.store(design(sets.nextSession(), 0x8001, true, "newer"));
    const std::string replaced = text(*sets.find("Doc"));
    EXPECT_EQ(replaced.find("old body"), std::string::npos);
    EXPECT_NE(replaced.find("newer body 1"), std::string::npos);
    EXPECT_EQ(sets.size(), 1u);
    EXPECT_NE(first, kept);
}

TEST(ModelSets, UnchangedComponentWithoutAPastKeepsNothing) {
    renderer::ModelSets sets;
    sets.store(design(sets.nextSession(), 0x0001, false, "fresh"));
    const std::string written = text(*sets.find("Doc"));
    EXPECT_EQ(written.find("body"), std::string::npos);
    EXPECT_NE(written.find("flags 1\n"), std::string::npos);
}

// depth groups nested in each other with these flags, the innermost holding a
// body group when withBody.
Frames& nested(Frames& f, size_t depth, uint32_t flags, bool withBody = true) {
    for (size_t level = 0; level < depth; ++level) f.group("Level").flags(flags);
    if (withBody) f.group("Body").flags(renderer::kFlagBody).end();
    for (size_t level = 0; level < depth; ++level) f.end();
    return f;
}

TEST(ModelSets, ScenesBeyondTheLimitsAreRefusedAndThoseWithinHandled) {
    renderer::ModelSets sets;
    const size_t deepest = renderer::kMaxGroupDepth - 1;  // the body group is one more
    for (bool update : {false, true}) {
        // The update's unchanged components come without bodies and keep those held.
        const uint32_t flags = renderer::kFlagComponent | (update ? 0 : renderer::kFlagChanged);
        Frames f(sets.nextSession());
        sets.store(nested(f, deepest, flags, !update).take());
    }
    const std::string body =
        "<group name=\"Level\" groups=\"" + std::to_string(renderer::kMaxGroupDepth) + "\"/>";
    EXPECT_NE(sets.descriptionXml().find(body), std::string::npos) << sets.descriptionXml();

    Frames deeper(sets.nextSession());
    EXPECT_EQ(nested(deeper, deepest + 1, renderer::kFlagComponent).error(),
              "groups nested deeper than 1024 levels, the most a scene may hold");
    Frames large(sets.nextSession(), 200);
    EXPECT_EQ(nested(large, 10, renderer::kFlagComponent).error(),
              "the scene is larger than 200 bytes, the most one transfer may carry");
}

TEST(ModelSets, SceneFileNamesStayInTheScenesFolder) {
    EXPECT_EQ(renderer::sceneFileName("Bracket"), "Bracket.bip");
    EXPECT_EQ(renderer::sceneFileName("a/b\\c"), "a_b_c.bip");
    EXPECT_EQ(renderer::sceneFileName(".."), "_...bip");
    EXPECT_EQ(renderer::sceneFileName(""), "_.bip");
    EXPECT_EQ(renderer::sceneFileName("line\nfeed"), "line_feed.bip");
}

TEST(ModelSets, DescriptionEscapesNames) {
    renderer::ModelSets sets;
    EXPECT_EQ(sets.descriptionXml().find("<modelset "), std::string::npos);
    Frames f(sets.nextSession());
    sets.store(f.group("A&B <\"x\">").end().take());
    EXPECT_NE(
        sets.descriptionXml().find("name=\"A&amp;B &lt;&quot;x&quot;&gt;\" modelset=\"active\""),
        std::string::npos);
}

}  // namespace
