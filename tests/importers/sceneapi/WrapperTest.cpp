// The object wrapper: construction sequence, banner, numbering and setters.
#include <gtest/gtest.h>

#include <array>
#include <ctime>
#include <stdexcept>
#include <vector>

#include "support/MemoryWriter.h"
#include "importers/sceneapi/orvSceneapi_oo.h"
#include "scene/LightFactory.h"
#include "scene/LightNode.h"

namespace {

// Hands out a writer on a temporary stream and marks where its header goes.
class StubFactory : public orv::LightFactory {
  public:
    explicit StubFactory(bool withWriter) : withWriter(withWriter) {}
    orvScene_api* getSceneApi() override { return withWriter ? &harness.api() : nullptr; }
    void writeHeader(orv::orvSceneapi_oo&) override {
        ++headers;
        harness.api().writeText("HEADER\n");
    }
    void close() override {}

    support::MemoryWriter harness;
    bool withWriter;
    int headers = 0;
};

class CountingNode : public orv::LightNode {
  public:
    void write(orv::orvSceneapi_oo& oo) override {
        ++writes;
        oo.nextId();
    }
    void define(orv::orvSceneapi_oo&) override {}
    bool isDefined() const override { return false; }
    int writes = 0;
};

}  // namespace

TEST(Wrapper, BannerCarriesAConsistentBuildTimestamp) {
    const std::string banner = orv::orvSceneapi_oo::banner();
    const std::string prefix = "Quorell SceneApi oo 12.0.0  (built ";
    ASSERT_EQ(banner.size(), prefix.size() + 24 + 1) << banner;
    ASSERT_EQ(banner.substr(0, prefix.size()), prefix);
    ASSERT_EQ(banner.back(), ')');
    // "Thu Nov  3 09:36:20 2022": a real date whose weekday matches, in exactly this form.
    const std::string stamp = banner.substr(prefix.size(), 24);
    std::tm parsed{};
    const char* end = ::strptime(stamp.c_str(), "%a %b %e %H:%M:%S %Y", &parsed);
    ASSERT_TRUE(end && *end == '\0') << stamp;
    std::tm normalized = parsed;
    ::timegm(&normalized);
    EXPECT_EQ(normalized.tm_mday, parsed.tm_mday) << stamp;
    EXPECT_EQ(normalized.tm_wday, parsed.tm_wday) << stamp;
    char again[32];
    ASSERT_EQ(std::strftime(again, sizeof again, "%a %b %e %H:%M:%S %Y", &parsed), 24u);
    EXPECT_EQ(stamp, again);
}

TEST(Wrapper, WithoutAnInterfaceObjectNothingIsWritten) {
    StubFactory factory(false);
    orv::orvSceneapi_oo oo(factory);
    EXPECT_EQ(oo.api(), nullptr);
    EXPECT_EQ(factory.headers, 0);
    EXPECT_EQ(factory.harness.take(), "");
}

TEST(Wrapper, ShadersAndIdsAreNumberedIndependently) {
    StubFactory factory(true);
    orv::orvSceneapi_oo oo(factory);
    factory.harness.take();
    EXPECT_EQ(oo.beginShader("vertex_color"), 1);
    oo.endShader();
    EXPECT_EQ(oo.nextId(), 1);
    EXPECT_EQ(oo.beginShader("orv_diffuse"), 2);
    oo.endShader();
    EXPECT_EQ(oo.nextId(), 2);
    EXPECT_EQ(
        factory.harness.take(),
        "#define shader 1 vertex_color {\n}\nid 1\n#define shader 2 orv_diffuse {\n}\nid 2\n");
    oo.attach(oo.api());
    EXPECT_EQ(oo.beginShader("s"), 1);
    EXPECT_EQ(oo.nextId(), 1);
    CountingNode node;
    oo.writeNode(node);
    EXPECT_EQ(node.writes, 1);
    EXPECT_EQ(factory.harness.take(), "#define shader 1 s {\nid 1\nid 2\n");
}

TEST(Wrapper, TransformsFlagsProgressAndErrors) {
    StubFactory factory(true);
    orv::orvSceneapi_oo oo(factory);
    factory.harness.take();
    const double m[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 5, 6, 7, 1};
    oo.transform(m);
    oo.transform(m, false);
    oo.transform(m, true);
    oo.flags(9);
    oo.progress("p", 1.0f);
    std::string text = "mesh has 3 indices";
    oo.error(std::move(text));
    EXPECT_TRUE(text.empty());
    EXPECT_EQ(factory.harness.take(),
              "transform 1 0 0 0 0 1 0 0 0 0 1 0 5 6 7 1\n"
              "transform 1 0 0 0 0 1 0 0 0 0 1 0 5 6 7 1\n"
              "set transform 1 0 0 0 0 1 0 0 0 0 1 0 5 6 7 1\n"
              "flags 9\nprogress \"p\" 1.000\n\n#error \"mesh has 3 indices\"\n");
    try {
        oo.setCString("n", "v");
        FAIL() << "setCString must throw";
    } catch (const std::invalid_argument& e) {
        EXPECT_STREQ(e.what(), "const char * are deprecated");
    }
}
