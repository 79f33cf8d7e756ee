// The writer's whole vocabulary: the call scene written with each flag set
// gives the checked-in text byte for byte (the default flags are 0x400001).
#include <gtest/gtest.h>

#include <vector>

#include "importers/sceneapi/ParallelText.h"
#include "support/EveryCallScene.h"
#include "support/Files.h"
#include "support/MemoryWriter.h"

TEST(WriterStatements, EveryCallGivesTheCheckedInTextForEachFlagSet) {
    for (uint32_t flags : testscene::kEveryCallFlags) {
        const std::string text = support::writerText([&](orvScene_api& api) {
            api.setFlags(flags);
            testscene::writeEveryCall(api);
        });
        EXPECT_EQ(text, testscene::everyCallText(flags)) << "flags " << flags;
    }
    EXPECT_EQ(support::writerText(testscene::writeEveryCall), testscene::everyCallText(0x400001));
}

// What the call scene cannot send: the file writer's own operation, a null name.
TEST(WriterStatements, ModifyCameraAndANullName) {
    support::MemoryWriter h;
    h.api().modifyCamera("cam");
    h.api().endCamera();
    h.api().beginGroup(nullptr, true);
    EXPECT_EQ(h.finish(), "#modify \ncamera \"cam\" {\n}\n\ngroup \"\" {\n");
}

// Arrays large enough to be formatted on several threads read exactly as
// when one thread formats them (indented, so that line breaks carry blanks).
TEST(WriterStatements, LargeArraysOnSeveralThreadsMatchOneThread) {
    std::vector<float> points(3 * 70001);
    std::vector<int32_t> indices(200003);
    for (size_t i = 0; i < points.size(); ++i) points[i] = float(i) * 0.37f - 5000.0f;
    for (size_t i = 0; i < indices.size(); ++i) indices[i] = int32_t(i * 7919 % 100000) - 50000;
    const auto write = [&](orvScene_api& api) {
        const ArrayRef pointArray{points.data(), int32_t(points.size() / 3)};
        const ArrayRef indexArray{indices.data(), int32_t(indices.size())};
        api.setFlags(1);
        api.beginObject("mesh", true);
        api.beginGeometry("triangles");
        api.attribute("points", vtFloat3Array, &pointArray);
        api.attribute("triangles", vtIntArray, &indexArray);
        api.endGeometry();
        api.endObject();
    };
    orv::setTextThreads(1);
    const std::string oneThread = support::writerText(write);
    orv::setTextThreads(3);
    const std::string threeThreads = support::writerText(write);
    orv::setTextThreads(0);
    EXPECT_EQ(threeThreads, oneThread);
}
