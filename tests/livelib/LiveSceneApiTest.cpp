// The live scene object against an in-process receiver that replays every
// frame onto the file writer: the link must carry each call exactly.
#include <gtest/gtest.h>

#include <vector>

#include "support/EveryCallScene.h"
#include "TestReceiver.h"
#include "importers/sceneapi/orvScene_api_file.h"
#include "livelib/LiveSceneApi.h"
#include "support/MemoryWriter.h"
#include "support/Program.h"

namespace {

using testing_live::TestReceiver;

class LinkRoundTrip : public ::testing::TestWithParam<uint32_t> {};

// The receiver replays onto the file writer; the text must be the checked-in
// text of the call scene, so that a writer fault cannot pass on both sides.
TEST_P(LinkRoundTrip, EveryCallArrivesAsTheCheckedInText) {
    const uint32_t flags = GetParam();
    TestReceiver receiver;
    livelink::LiveSceneApi live;
    live.id(77);
    ASSERT_TRUE(live.connect("localhost", receiver.port(), 4)) << live.lastError();
    live.setFlags(flags);
    testscene::writeEveryCall(live);
    EXPECT_TRUE(live.linkQuery());
    EXPECT_TRUE(live.disconnect()) << live.lastError();
    receiver.wait();

    EXPECT_TRUE(receiver.finished);
    EXPECT_EQ(receiver.liveId, 77u);
    EXPECT_EQ(receiver.n, 4);
    EXPECT_GT(live.bytesSent(), 1000u);
    EXPECT_EQ(receiver.text, testscene::everyCallText(flags));
}

INSTANTIATE_TEST_SUITE_P(Flags, LinkRoundTrip, ::testing::ValuesIn(testscene::kEveryCallFlags));

TEST(LiveSceneApi, RefusesCallsWithoutAConnection) {
    livelink::LiveSceneApi live;
    EXPECT_FALSE(live.beginGroup("g", true));
    EXPECT_FALSE(live.render());
    EXPECT_FALSE(live.disconnect());
    EXPECT_FALSE(live.linkQuery());
    live.endGroup();  // nothing to do, nothing to crash

    {
        TestReceiver listening;  // a host other than this machine is refused, port or not
        EXPECT_FALSE(live.connect("example.com", listening.port(), 4));
    }
    EXPECT_FALSE(live.connect(nullptr, 4000, 4));
    EXPECT_FALSE(live.connect("127.0.0.1", support::freePort(), 1));
    EXPECT_FALSE(live.connect("127.0.0.1", 0, 1));
    EXPECT_FALSE(live.beginGroup("g", true));
    // The query slots answer as the file writer does.
    EXPECT_EQ(live.queryA(), 10);
    EXPECT_EQ(live.queryC(), 0);
}

TEST(LiveSceneApi, UnreadableValueFailsThatCallOnly) {
    auto before = [](orvScene_api& api) {
        api.beginGroup("g", true);
        const float f = 1.5f;
        api.attribute("f", vtFloat, &f);
    };
    auto after = [](orvScene_api& api) { api.endGroup(); };

    TestReceiver receiver;
    livelink::LiveSceneApi live;
    ASSERT_TRUE(live.connect("127.0.0.1", receiver.port(), 1));
    before(live);
    const ArrayRef missing{nullptr, 3};
    EXPECT_FALSE(live.attribute("bad", vtFloat3Array, &missing));
    EXPECT_FALSE(live.attribute("bad", vtFloat3, nullptr));
    live.listElement(vtInt, nullptr);
    after(live);
    EXPECT_TRUE(live.disconnect());
    receiver.wait();
    EXPECT_EQ(receiver.text, support::writerText([&](orvScene_api& api) {
                  before(api);
                  after(api);
              }));
}

TEST(LiveSceneApi, RendererLeavingTurnsLaterCallsIntoFailures) {
    TestReceiver receiver(TestReceiver::Mode::CloseAfterHello);
    livelink::LiveSceneApi live;
    ASSERT_TRUE(live.connect("localhost", receiver.port(), 4));
    receiver.wait();

    // Sends fail once the peer's reset arrives; no SIGPIPE may end this process.
    std::vector<float> block(1 << 18, 1.0f);
    const ArrayRef array{block.data(), int32_t(block.size())};
    bool failed = false;
    for (int i = 0; i < 400 && !failed; ++i) failed = !live.attribute("data", vtFloatArray, &array);
    EXPECT_TRUE(failed);
    EXPECT_FALSE(live.beginGroup("after", true));
    EXPECT_FALSE(live.linkQuery());
    EXPECT_FALSE(live.disconnect());
    EXPECT_FALSE(live.lastError().empty());

    // The same object connects to the next renderer.
    TestReceiver next;
    ASSERT_TRUE(live.connect("localhost", next.port(), 4));
    EXPECT_TRUE(live.disconnect());
}

TEST(LiveSceneApi, ChunkBookkeepingFollowsTheWriter) {
    TestReceiver receiver;
    livelink::LiveSceneApi live;
    ASSERT_TRUE(live.connect("localhost", receiver.port(), 4));
    EXPECT_EQ(live.currentChunk(), nullptr);
    live.pushChunk();
    live.openShader(nullptr, "outer");
    TextChunk* outer = live.currentChunk();
    ASSERT_NE(outer, nullptr);
    live.openShader(nullptr, "inner");
    TextChunk* inner = live.currentChunk();
    EXPECT_NE(inner, outer);
    live.endShader();
    EXPECT_EQ(live.currentChunk(), inner);  // a finished capture stays current
    live.endShader();
    live.popChunk();
    EXPECT_EQ(live.currentChunk(), nullptr);
    live.openShader("named", "plain");  // a named shader captures nothing
    EXPECT_EQ(live.currentChunk(), nullptr);
    live.endShader();
    EXPECT_TRUE(live.disconnect());
    receiver.wait();

    TestReceiver second;
    ASSERT_TRUE(live.connect("localhost", second.port(), 4));
    EXPECT_EQ(live.currentChunk(), nullptr);  // chunks belong to one session
    // A chunk of an earlier session stays readable and travels as plain bytes.
    EXPECT_EQ(outer->length, 0);
    live.bindShader(0, outer);
    EXPECT_TRUE(live.disconnect());
    second.wait();
    EXPECT_TRUE(second.finished);
}

}  // namespace
