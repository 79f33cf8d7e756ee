// Texts longer than the work buffers, and the numeric locale.
#include <gtest/gtest.h>

#include <clocale>
#include <string>

#include "support/MemoryWriter.h"

namespace {

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
