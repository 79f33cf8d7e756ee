// Exact bytes of the statements, with indentation on and off, and the rules for
// top-level blocks and statement styles.
#include <gtest/gtest.h>

#include "support/MemoryWriter.h"

namespace {

const double kIdentity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

// One of every kind of statement, nested the way a scene nests them.
void writeSampleScene(orvScene_api& w) {
    const int32_t on = 1, four = 4, three = 3;
    const double half = 0.5, two = 2, zero = 0, ninety = 90, x = 1.5, y = -2;
    const uint8_t iconBytes[] = {0x00, 0xff};
    const uint8_t blobBytes[] = {0xab};
    w.version(9);
    w.beginLoad("orvrtopt.so");
    w.attribute("import_mode", vtBool, &on);
    w.endLoad();
    w.beginOptions();
    w.attribute("samples", vtInt, &four);
    w.endOptions();
    w.beginCamera(nullptr);
    w.attribute("fov", vtDouble, &half);
    w.endCamera();
    static_cast<orvScene_api_file&>(w).modifyCamera("cam");
    w.endCamera();
    w.beginImage();
    w.endImage();
    w.beginGroup("root", true);
    w.groupAttribute("k", "v");
    w.transform(kIdentity);
    w.setTransform(kIdentity);
    w.scale(&two, &two, &two);
    w.rotate(&zero, &ninety, &zero);
    w.translate(&x, &y, &zero);
    w.beginObject("o", true);
    w.id(7);
    w.flags(3);
    w.beginGeometry("triangles");
    w.attribute("n", vtInt, &three);
    w.endGeometry();
    w.useMaterial("m");
    w.endObject();
    w.beginObject("d", false);
    w.endObject();
    w.beginMaterial("m", false);
    w.bindShaderId(0, 2);
    w.bindShaderId(7, 1);
    w.endMaterial();
    w.beginMaterial("inst", true);
    w.endMaterial();
    w.beginAnimation("a", "linear");
    w.endAnimation();
    w.beginAccel("bvh");
    w.endAccel();
    w.beginLight("l");
    w.endLight();
    w.beginMatrix("mx");
    w.endMatrix();
    w.beginOutput("a", "b", "c");
    w.attribute("x", vtInt, &on);
    w.endOutput();
    w.defineShader("orv_diffuse", 1);
    w.shaderInputId("in", 2);
    w.endShader();
    w.openShader("named", "type");
    w.endShader();
    w.progress("p", 0.25f);
    w.icon(iconBytes, 2);
    w.blob("thumb", blobBytes, 1);
    w.print("50% done");
    w.error("bad");
    w.endGroup();
    w.render();
}

}  // namespace

TEST(WriterStatements, EveryStatementIndented) {
    support::MemoryWriter h;
    h.api().setFlags(1);
    writeSampleScene(h.api());
    EXPECT_EQ(h.finish(),
              "version 9\n\nload \"orvrtopt.so\" {\n \"import_mode\" on,\n}\n"
              "\noptions {\n samples 4\n}\n"
              "\ncamera {\n fov 0.5000000000000000\n}\n#modify \ncamera \"cam\" {\n}\n"
              "\nimage {\n}\n"
              "\ngroup \"root\" {\n attribute \"k\" \"v\"\n"
              " transform 1 0 0 0 0 1 0 0 0 0 1 0 0 0 0 1\n"
              " set transform 1 0 0 0 0 1 0 0 0 0 1 0 0 0 0 1\n"
              " scale 2 2 2\n rotate 0 90 0\n translate 1.5 -2 0\n"
              " object \"o\" {\n  id 7\n  flags 3\n"
              "  geometry \"triangles\" {\n   \"n\" 3,\n  }\n"
              "  material \"m\"\n }\n"
              " #define object \"d\" {\n }\n"
              " \n #define  material \"m\" {\n  surface 2\n"
              "  // assuming surface shader\n  surface 1\n }\n"
              " material \"inst\" {\n }\n"
              " animation \"a\"  \"linear\" {\n }\n"
              " \n accel \"bvh\" {\n }\n"
              "\n light \"l\" {\n }\n"
              " #define matrix \"mx\" {\n }\n"
              " output \"a\" \"b\" \"c\" {\n  \"x\" 1,\n }\n"
              " #define shader 1 orv_diffuse {\n  \"in\" ! 2,\n }\n"
              " #define shader \"named\" \"type\" {\n }\n"
              " progress \"p\" 0.250\n\n icon bX00ff \n thumb bXab \n"
              " #print \" 50% done\"\n #error \" bad\"\n}\n"
              "\nrender\n");
}

TEST(WriterStatements, EveryStatementWithDefaultFlags) {
    support::MemoryWriter h;
    writeSampleScene(h.api());
    EXPECT_EQ(h.finish(),
              "version 9\n\nload \"orvrtopt.so\" {\n\"import_mode\" on,\n}\n"
              "\noptions {\nsamples 4\n}\n"
              "\ncamera {\nfov 0.5000000000000000\n}\n#modify \ncamera \"cam\" {\n}\n"
              "\nimage {\n}\n"
              "\ngroup \"root\" {\nattribute \"k\" \"v\"\n"
              "transform 1 0 0 0 0 1 0 0 0 0 1 0 0 0 0 1\n"
              "set transform 1 0 0 0 0 1 0 0 0 0 1 0 0 0 0 1\n"
              "scale 2 2 2\nrotate 0 90 0\ntranslate 1.5 -2 0\n"
              "object \"o\" {\nid 7\nflags 3\n"
              "geometry \"triangles\" {\n\"n\" 3,\n}\n"
              "material \"m\"\n}\n"
              "#define object \"d\" {\n}\n"
              "\n#define material \"m\" {\nsurface 2\n// assuming surface shader\nsurface 1\n}\n"
              "material \"inst\" {\n}\n"
              "animation \"a\" \"linear\" {\n}\n"
              "\naccel \"bvh\" {\n}\n"
              "\nlight \"l\" {\n}\n"
              "#define matrix \"mx\" {\n}\n"
              "output \"a\" \"b\" \"c\" {\n\"x\" 1,\n}\n"
              "#define shader 1 orv_diffuse {\n\"in\" ! 2,\n}\n"
              "#define shader \"named\" \"type\" {\n}\n"
              "progress \"p\" 0.250\n\nicon bX00ff\nthumb bXab\n"
              "#print \"50% done\"\n#error \"bad\"\n}\n"
              "\nrender\n");
}

TEST(WriterStatements, GroupInstanceAndDefinitionAtLevels) {
    support::MemoryWriter h;
    h.api().beginGroup("g", true);
    EXPECT_EQ(h.take(), "\ngroup \"g\" {\n");
    h.api().setFlags(1);
    h.api().beginGroup("d", false);
    EXPECT_EQ(h.take(), "\n #define  group \"d\" {\n");
    h.api().id(1);
    EXPECT_EQ(h.take(), "  id 1\n");
    h.api().endGroup();
    h.api().endGroup();
    EXPECT_EQ(h.take(), " }\n}\n");
}

TEST(WriterStatements, AttributeStyleFollowsTheBlock) {
    support::MemoryWriter h;
    const float grey[3] = {0.8f, 0.8f, 0.8f};
    h.api().attribute("diffuse", vtFloat3, grey);
    EXPECT_EQ(h.take(), "\"diffuse\" 0.8 0.8 0.8,\n");
    h.api().beginGroup("g", true);
    h.take();
    h.api().attribute("diffuse", vtFloat3, grey);
    EXPECT_EQ(h.take(), "diffuse 0.8 0.8 0.8\n");
    h.api().defineShader("s", 1);
    h.take();
    h.api().attribute("diffuse", vtFloat3, grey);
    EXPECT_EQ(h.take(), "\"diffuse\" 0.8 0.8 0.8,\n");
    h.api().endShader();
    h.take();
    h.api().attribute("diffuse", vtFloat3, grey);  // the group's plain style is back
    EXPECT_EQ(h.take(), "diffuse 0.8 0.8 0.8\n");
}

TEST(WriterStatements, TopLevelBlocksDoNotNest) {
    support::MemoryWriter h;
    orvScene_api& w = h.api();
    w.beginObject("o", true);
    h.take();
    EXPECT_FALSE(w.beginCamera("c"));
    EXPECT_FALSE(w.beginOptions());
    EXPECT_FALSE(w.beginImage());
    w.endCamera();
    EXPECT_EQ(h.take(), "");
    // endCamera reset the top block, so an image may now open inside the object.
    EXPECT_TRUE(w.beginImage());
    EXPECT_EQ(h.take(), "\nimage {\n");
    EXPECT_FALSE(w.beginOptions());
    w.endOptions();  // not its own block: nothing written, but the block is reset
    EXPECT_EQ(h.take(), "");
    const int32_t two = 2;
    w.attribute("x", vtInt, &two);  // parameter style after the reset
    EXPECT_EQ(h.take(), "\"x\" 2,\n");
    EXPECT_TRUE(w.beginOptions());
    w.endOptions();
    EXPECT_EQ(h.take(), "\noptions {\n}\n");
}

TEST(WriterStatements, TopLevelBlockInsideLevelKeepsIndentRules) {
    support::MemoryWriter h;
    h.api().setFlags(1);
    h.api().beginLoad("m");
    h.take();
    h.api().beginOptions();
    EXPECT_EQ(h.take(), " \n options {\n");
    h.api().endOptions();
    EXPECT_EQ(h.take(), " }\n");
}

TEST(WriterStatements, VersionAndInterfaceAnswers) {
    support::MemoryWriter h;
    h.api().version(-1);
    EXPECT_EQ(h.take(), "version 20\n\n");
    EXPECT_FALSE(h.api().connect("localhost", 1, 2));
    EXPECT_FALSE(h.api().disconnect());
    EXPECT_FALSE(h.api().linkQuery());
    EXPECT_FALSE(h.api().reservedC());
    EXPECT_EQ(h.api().queryA(), 10);
    EXPECT_EQ(h.api().queryB(), 10);
    EXPECT_EQ(h.api().queryC(), 0);
    h.api().reservedA();
    h.api().reservedB();
    EXPECT_EQ(h.take(), "");
}

TEST(WriterStatements, PrintAndWriteTextKeepPercentSigns) {
    support::MemoryWriter h;
    h.api().print("100%s %d");
    h.api().error("%n");
    h.api().writeText("%d%%|%s\n", 5, "x");
    EXPECT_EQ(h.finish(), "#print \"100%s %d\"\n#error \"%n\"\n5%|x\n");
}

TEST(WriterStatements, MultiLineTextIsIndentedAfterEachLineFeed) {
    support::MemoryWriter h;
    h.api().setFlags(1);
    h.api().beginLoad("a");
    h.api().beginLoad("b");
    h.take();
    h.api().writeText("x\ny\n\nz\n");
    EXPECT_EQ(h.take(), "  x\n  y\n  \n  z\n");
}
