// The writer's whole vocabulary: the call scene written with each flag set
// gives the checked-in text byte for byte (the default flags are 0x400001).
#include <gtest/gtest.h>

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
