// Anonymous shader capture, chunk growth, long texts and the numeric locale.
#include <gtest/gtest.h>

#include <clocale>
#include <cstring>
#include <string>

#include "support/MemoryWriter.h"

namespace {

std::string chunkString(const TextChunk* chunk) {
    return chunk && chunk->data ? std::string(chunk->data, static_cast<size_t>(chunk->length))
                                : std::string();
}

// pushChunk, openShader(null), body, endShader, currentChunk, popChunk.
template <class Body>
TextChunk* capture(orvScene_api& w, const char* type, Body body) {
    w.pushChunk();
    w.openShader(nullptr, type);
    body();
    w.endShader();
    TextChunk* chunk = w.currentChunk();
    w.popChunk();
    return chunk;
}

void openLevels(orvScene_api& w, int levels) {
    for (int i = 0; i < levels; ++i) w.beginLoad("l");
}

}  // namespace

TEST(WriterChunks, AnonymousShaderStartsAtLevelZero) {
    support::MemoryWriter h;
    orvScene_api& w = h.api();
    w.setFlags(1);
    openLevels(w, 3);
    h.take();
    const int32_t five = 5;
    TextChunk* chunk = capture(w, "t", [&] { w.attribute("a", vtInt, &five); });
    EXPECT_EQ(h.take(), "");  // nothing reached the stream
    ASSERT_NE(chunk, nullptr);
    EXPECT_EQ(chunkString(chunk), "\"t\" {\n \"a\" 5,\n}");
    EXPECT_FALSE(chunk->binary);
    EXPECT_EQ(w.currentChunk(), nullptr);
    w.bindShader(0, chunk);
    EXPECT_EQ(h.take(), "   surface    \"t\" {\n    \"a\" 5,\n   }   \n");
    w.bindShader(1, nullptr);
    EXPECT_EQ(h.take(), "");
    w.setFlags(0x400000);
    w.bindShader(3, chunk);
    w.bindShader(9, chunk);
    EXPECT_EQ(h.take(),
              "reflection map \"t\" {\n \"a\" 5,\n}\n"
              "// assuming surface shader\nsurface \"t\" {\n \"a\" 5,\n}\n");
}

TEST(WriterChunks, NestedCaptureAndShaderInput) {
    for (bool indent : {true, false}) {
        support::MemoryWriter h;
        orvScene_api& w = h.api();
        if (indent) w.setFlags(1);
        openLevels(w, 2);
        h.take();
        const float half = 0.5f;
        TextChunk* inner = nullptr;
        TextChunk* outer = capture(w, "outer", [&] {
            inner = capture(w, "inner", [&] { w.attribute("k", vtFloat, &half); });
            w.shaderInput("in", inner);
        });
        EXPECT_EQ(h.take(), "");
        if (indent) {
            EXPECT_EQ(chunkString(inner), "\"inner\" {\n \"k\" 0.5,\n}");
            EXPECT_EQ(chunkString(outer),
                      "\"outer\" {\n \"in\" !  \"inner\" {\n  \"k\" 0.5,\n } ,\n}");
        } else {
            EXPECT_EQ(chunkString(inner), "\"inner\" {\n\"k\" 0.5,\n}");
            EXPECT_EQ(chunkString(outer), "\"outer\" {\n\"in\" ! \"inner\" {\n\"k\" 0.5,\n},\n}");
        }
        // Back at the stream, at the level from before the capture.
        w.id(1);
        EXPECT_EQ(h.take(), indent ? "  id 1\n" : "id 1\n");
    }
}

TEST(WriterChunks, NamedShaderInsideCaptureGoesToTheStream) {
    support::MemoryWriter h;
    orvScene_api& w = h.api();
    TextChunk* chunk = capture(w, "c", [&] {
        w.defineShader("d", 4);
        w.endShader();
        w.shaderInputId("x", 4);
    });
    EXPECT_EQ(h.take(), "#define shader 4 d {\n}\n");
    EXPECT_EQ(chunkString(chunk), "\"c\" {\n\"x\" ! 4,\n}");
}

TEST(WriterChunks, ChunkAsValueIsWrittenAtLevelTwo) {
    support::MemoryWriter h;
    orvScene_api& w = h.api();
    w.setFlags(1);
    TextChunk* chunk = capture(w, "c", [&] { w.writeText("a\n"); });
    const TextChunk* pointer = chunk;
    w.attribute("v", vtChunk, &pointer);
    EXPECT_EQ(h.take(), "\"v\"   \"c\" {\n   a\n  },\n");
}

TEST(WriterChunks, HexadecimalNameMakesTheChunkBinary) {
    support::MemoryWriter h;
    orvScene_api& w = h.api();
    w.setFlags(1);
    w.beginLoad("l");
    h.take();
    TextChunk* chunk = capture(w, "\xe9", [] {});
    EXPECT_TRUE(chunk->binary);
    EXPECT_EQ(chunkString(chunk), "xXe9 {\n}");
    w.bindShader(0, chunk);  // binary chunks are copied byte for byte, not indented
    EXPECT_EQ(h.take(), " surface xXe9 {\n} \n");
}

TEST(WriterChunks, GrowthFollowsTheSizingRule) {
    support::MemoryWriter h;
    orvScene_api& w = h.api();
    w.pushChunk();
    w.openShader(nullptr, "t");
    TextChunk* chunk = w.currentChunk();
    // "\"t\"" (3 bytes) into an empty chunk of capacity -1, then " {\n".
    EXPECT_EQ(chunk->capacity, 3 + 2 * (-1 + 256));
    EXPECT_EQ(chunk->length, 6);
    const std::string text(600, 'x');
    w.writeText("%s", text.c_str());
    EXPECT_EQ(chunk->length, 606);
    EXPECT_EQ(chunk->capacity, 600 + 2 * (513 + 256));
    EXPECT_EQ(chunk->data[chunk->length], '\0');
    w.writeText("%s", std::string(2138 - 606 - 2, 'y').c_str());  // fits exactly
    EXPECT_EQ(chunk->capacity, 2138);
    w.writeText("z");  // length + 1 + 1 reaches the capacity
    EXPECT_EQ(chunk->capacity, 1 + 2 * (2138 + 256));
    EXPECT_EQ(chunk->length, 2137);
    w.endShader();
    w.popChunk();
}

TEST(WriterLongText, CutAtTheWorkBufferLength) {
    const std::string huge(0x180000, 'a');
    support::MemoryWriter h;
    h.api().writeText("%s", huge.c_str());
    EXPECT_EQ(h.take(), std::string(0xFFFFF, 'a'));
    h.api().print(huge.c_str());
    EXPECT_EQ(h.take(), "#print \"" + std::string(0xFFFFF, 'a') + "\"\n");
    // A quoted name is one piece with its quotes: the closing quote is cut off.
    h.api().groupAttribute(huge.c_str(), "v");
    EXPECT_EQ(h.take(), "attribute \"" + std::string(0xFFFFE, 'a') + " \"v\"\n");
}

TEST(WriterLongText, IndentationOfManyLineFeedsDoesNotOverflow) {
    const std::string lines(0x200000, '\n');
    support::MemoryWriter h;
    h.api().setFlags(1);
    openLevels(h.api(), 40);
    h.take();
    h.api().writeText("%s", lines.c_str());
    const std::string out = h.take();
    const size_t n = 0xFFFFF;  // line feeds kept; all but the last are followed by 40 blanks
    ASSERT_EQ(out.size(), 40 + n + 40 * (n - 1));
    EXPECT_EQ(out.substr(0, 42), std::string(40, ' ') + "\n" + " ");
    EXPECT_EQ(out.substr(out.size() - 42), "\n" + std::string(40, ' ') + "\n");
}

TEST(WriterLongText, CapturedTextIsCutToo) {
    const std::string huge(0x100100, 'b');
    support::MemoryWriter h;
    orvScene_api& w = h.api();
    TextChunk* chunk = capture(w, "t", [&] { w.writeText("%s", huge.c_str()); });
    EXPECT_EQ(chunk->length, 6 + 0xFFFFF + 1);
    const TextChunk* pointer = chunk;
    w.attribute("v", vtChunk, &pointer);  // the chunk's text is itself cut when written back
    EXPECT_EQ(h.take().size(), 4 + 0xFFFFF + 2);
}

TEST(WriterLocale, NumbersUseAPointAndTheLocaleIsRestored) {
    const char* commaLocale = nullptr;
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "de_DE", "fr_FR.UTF-8", "fr_FR"}) {
        if (std::setlocale(LC_NUMERIC, name)) {
            commaLocale = name;
            break;
        }
    }
    if (!commaLocale) GTEST_SKIP() << "no locale with a decimal comma on this machine";
    const std::string before = std::setlocale(LC_NUMERIC, nullptr);
    {
        support::MemoryWriter h;
        const double d = 0.5;
        const float f = 1.25f;
        h.api().attribute("d", vtDouble, &d);
        h.api().attribute("f", vtFloat, &f);
        h.api().progress("p", 0.5f);
        h.api().writeText("%g\n", 2.5);
        EXPECT_EQ(h.finish(),
                  "\"d\" 0.5000000000000000,\n\"f\" 1.25,\nprogress \"p\" 0.500\n\n2.5\n");
    }
    EXPECT_EQ(before, std::setlocale(LC_NUMERIC, nullptr));
    std::setlocale(LC_NUMERIC, "C");
}
