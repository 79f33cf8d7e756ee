// The .bip reader against the file writer: every scene the project writes
// reads back to the same bytes, in text and in binary array form; every
// operation with every value kind survives the round trip; bad input is
// refused with the file, the place and what was expected.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "importers/bip/BipReader.h"
#include "importers/sceneapi/ValueKinds.h"
#include "support/Files.h"
#include "support/MemoryWriter.h"

namespace {

namespace fs = std::filesystem;

// The scene read into a file writer; `binary` forces the array form.
std::string replay(const std::string& text, std::optional<bool> binary = {}) {
    support::MemoryWriter writer;
    orv::bip::ReadOptions options;
    options.binaryArrays = binary;
    orv::bip::readSceneText(text, "scene.bip", writer.api(), options);
    return writer.finish();
}

// The same, read from a file: the reader then works in the file's own memory.
std::string replayFile(const std::string& text, const fs::path& path) {
    support::writeFile(path, text);
    support::MemoryWriter writer;
    orv::bip::readSceneFile(path.string(), writer.api());
    return writer.finish();
}

std::vector<fs::path> writtenScenes() {
    std::vector<fs::path> files;
    for (const char* folder : {"designs", "scene", "bip"})
        for (const auto& entry : fs::directory_iterator(support::dataPath(folder)))
            if (entry.path().extension() == ".bip") files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

TEST(BipReader, WrittenScenesReadBackToTheSameBytesInBothArrayForms) {
    const auto files = writtenScenes();
    ASSERT_GE(files.size(), 12u);
    support::TempFolder folder;
    for (const auto& file : files) {
        const std::string text = support::readFile(file);
        EXPECT_EQ(replay(text), text) << file;
        const std::string binary = replay(text, true);
        EXPECT_EQ(replay(binary), binary) << file << " with binary arrays";
        EXPECT_EQ(replayFile(binary, folder / "scene.bip"), binary) << file << " with binary arrays, from a file";
        EXPECT_EQ(replay(binary, false), text) << file << " back from binary arrays";
    }
}

// Every operation that writes something, every value kind as attribute (both
// styles), array and list element; `midway` runs at a few places deep in blocks.
void everyOperation(orvScene_api& api, const std::function<void()>& midway = [] {}) {
    const char* names[] = {"plain", "x\"y", "caf\xc3\xa9", ""};
    std::vector<float> floats;
    std::vector<double> doubles;
    std::vector<int32_t> ints;
    for (int i = 0; i < 160; ++i) {
        floats.push_back(static_cast<float>(i) * 0.37f - 20.5f);
        doubles.push_back(i * 1.0 / 3.0 - 7.0);
        ints.push_back(i * 977 - 30000);
    }
    auto valueOf = [&](const orv::ValueKind& kind, ArrayRef& array) -> const void* {
        const void* data = kind.storage == orv::Storage::Float    ? static_cast<const void*>(floats.data())
                           : kind.storage == orv::Storage::Double ? static_cast<const void*>(doubles.data())
                           : kind.storage == orv::Storage::Int32  ? static_cast<const void*>(ints.data())
                           : kind.array                           ? static_cast<const void*>(names)
                           : kind.storage == orv::Storage::Chars  ? static_cast<const void*>(names[1])
                                                                  : static_cast<const void*>(&names[2]);
        if (!kind.array) return data;
        array = {data, kind.storage == orv::Storage::Chars || kind.storage == orv::Storage::CharsRef ? 4 : 10};
        return &array;
    };
    api.version(9);
    api.print("a \"quoted\" 100% text");
    api.groupAttribute("process identifier", "x\ny");
    api.beginGroup("root", true);
    api.flags(32769);
    api.id(7);
    const double m[16] = {1, 0, 0, 0, 0, 0.5, 0, 0, 0, 0, 2, 0, 10.25, -3, 1e-07, 1};
    api.transform(m);
    api.setTransform(m);
    api.scale(&m[5], &m[10], &m[12]);
    api.rotate(&m[0], &m[13], &m[14]);
    api.translate(&m[12], &m[13], &m[14]);
    ArrayRef array{};
    for (const auto& kind : orv::kValueKinds)
        if (kind.storage != orv::Storage::ChunkRef) api.attribute("p", kind.type, valueOf(kind, array));
    api.beginGroup("definition", false);
    api.beginGeometry("g");
    midway();
    for (const auto& kind : orv::kValueKinds)
        if (kind.storage != orv::Storage::ChunkRef) api.attribute("q", kind.type, valueOf(kind, array));
    midway();
    api.beginList("l");
    for (const auto& kind : orv::kValueKinds)
        if (!kind.array && kind.storage != orv::Storage::ChunkRef) api.listElement(kind.type, valueOf(kind, array));
    for (int i = 0; i < 5; ++i) api.listElement(vtFloat3, floats.data() + i);
    api.endList();
    api.endGeometry();
    api.endGroup();
    api.beginObject("o", true);
    api.beginMaterial("m", false);
    api.defineShader("orv_diffuse", 1);
    api.attribute("diffuse", vtFloat3, floats.data());
    api.endShader();
    api.openShader("named", "orv_glossy");
    api.shaderInputId("in", 1);
    api.endShader();
    api.bindShaderId(0, 1);
    api.bindShaderId(9, 1);
    for (int use = 0; use < 3; ++use) {
        api.pushChunk();
        api.openShader(nullptr, "noise");
        api.attribute("octaves", vtInt, ints.data());
        api.endShader();
        TextChunk* chunk = api.currentChunk();
        api.popChunk();
        if (use == 0) api.bindShader(1, chunk);
        if (use == 1) api.shaderInput("bump", chunk);
        if (use == 2) api.attribute("pattern", static_cast<ValueType>(vtChunk), &chunk);
    }
    midway();
    api.endMaterial();
    midway();
    api.useMaterial("m");
    api.endObject();
    api.beginAnimation("spin", "linear");
    api.endAnimation();
    api.beginLoad("orvrtopt.so");
    api.endLoad();
    api.beginLight("sun");
    api.endLight();
    api.beginAccel("bvh");
    api.endAccel();
    api.beginMatrix("placement");
    api.transform(m);
    api.endMatrix();
    api.beginOutput("rgba", "png", "out.png");
    api.endOutput();
    const uint8_t bytes[] = {0, 1, 0x7f, 0x80, 0xff};
    api.icon(bytes, 5);
    api.blob("thumbnail", bytes, 3);
    api.progress("loading", 0.125f);
    api.error("an error with \"quotes\"");
    api.endGroup();
    api.beginOptions();
    api.attribute("samples", vtInt, ints.data());
    api.endOptions();
    api.beginCamera("cam");
    api.attribute("fov", vtFloat, floats.data());
    api.endCamera();
    api.beginCamera(nullptr);
    api.endCamera();
    api.beginImage();
    api.endImage();
    api.render();
}

TEST(BipReader, EveryOperationAndValueKindReadsBackInEveryLayout) {
    const uint32_t layouts[] = {0x400001u, 1u, 3u, 0x400003u};
    for (const uint32_t flags : layouts) {
        SCOPED_TRACE(flags);
        const std::string text = support::writerText([&](orvScene_api& api) {
            api.setFlags(flags);
            everyOperation(api);
        });
        EXPECT_EQ(replay(text), text);
    }
    // The layout switched in the middle of blocks, again and again.
    const std::string text = support::writerText([&](orvScene_api& api) {
        size_t next = 0;
        everyOperation(api, [&] { api.setFlags(layouts[next++ % 4]); });
    });
    EXPECT_EQ(replay(text), text);
}

std::string unescape(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            out += text[i];
        } else if (text[i + 1] == 'n') {
            out += '\n';
            ++i;
        } else if (text[i + 1] == 'x' && i + 3 < text.size()) {
            out += static_cast<char>(std::stoi(text.substr(i + 2, 2), nullptr, 16));
            i += 3;
        } else {
            out += text[++i];
        }
    }
    return out;
}

TEST(BipReader, RefusesBadInputNamingThePlaceAndWhatWasExpected) {
    auto cases = support::readTable("bip/bad-input.tsv");
    // Nesting one level deeper than the limit.
    std::string deep;
    for (size_t i = 0; i <= orv::bip::kMaxDepth; ++i) deep += "group \"g\" {\n";
    cases.push_back({deep, "bad.bip:1025:1: expected blocks nested at most 1024 deep"});
    ASSERT_GE(cases.size(), 10u);
    support::TempFolder folder;
    const fs::path file = folder / "bad.bip";
    for (const auto& row : cases) {
        ASSERT_EQ(row.size(), 2u);
        support::writeFile(file, unescape(row[0]));
        for (const bool fromFile : {false, true}) {
            support::MemoryWriter writer;
            try {
                if (fromFile)
                    orv::bip::readSceneFile(file.string(), writer.api());
                else
                    orv::bip::readSceneText(unescape(row[0]), "bad.bip", writer.api());
                ADD_FAILURE() << "accepted: " << row[0];
            } catch (const orv::bip::ReadError& error) {
                const std::string expected = fromFile ? file.string() + row[1].substr(7) : row[1];
                EXPECT_EQ(error.what(), expected) << row[0];
            }
        }
    }
}

// Arrays large enough to be read in pieces on several threads read back to
// the same bytes, and a fault in a late piece is named where it is.
TEST(BipReader, LargeArraysReadBackAndTheirFaultsAreFound) {
    std::vector<float> points;
    std::vector<int32_t> indices;
    for (int i = 0; i < 300000; ++i) {
        points.push_back(static_cast<float>(i % 977) * 0.173f - 40.0f);
        indices.push_back(i * 7 % 300000 - (i % 5 == 0 ? 150000 : 0));
    }
    const std::string text = support::writerText([&](orvScene_api& api) {
        api.setFlags(1);
        api.beginGeometry("g");
        const ArrayRef vertices{points.data(), static_cast<int32_t>(points.size() / 3)};
        const ArrayRef triangles{indices.data(), static_cast<int32_t>(indices.size())};
        const ArrayRef values{points.data(), static_cast<int32_t>(points.size())};
        api.attribute("vertices", vtFloat3Array, &vertices);
        api.attribute("triangles", vtIntArray, &triangles);
        api.attribute("samples", vtFloatArray, &values);
        api.endGeometry();
    });
    ASSERT_GT(text.size(), size_t{4} << 20);
    EXPECT_EQ(replay(text), text);
    const std::string binary = replay(text, true);
    support::TempFolder folder;
    EXPECT_EQ(replayFile(binary, folder / "large.bip"), binary);

    // An element of the vertices with a fourth number, far into the array.
    std::string bad = text;
    const size_t at = bad.find(',', bad.find("\"triangles\"") - 200000);
    bad.insert(at, " 5");
    const auto line = std::count(bad.begin(), bad.begin() + static_cast<long>(at), '\n') + 1;
    const size_t column = at - bad.rfind('\n', at) + 2;
    try {
        replay(bad);
        ADD_FAILURE() << "accepted an element of four numbers";
    } catch (const orv::bip::ReadError& error) {
        EXPECT_EQ(error.what(), "scene.bip:" + std::to_string(line) + ":" + std::to_string(column) +
                                    ": expected 3 numbers in every element");
    }
}

}  // namespace
