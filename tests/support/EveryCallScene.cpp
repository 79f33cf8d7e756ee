#include "EveryCallScene.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <vector>

#include "importers/sceneapi/orvScene_api.h"
#include "support/Files.h"

namespace testscene {

std::string everyCallText(uint32_t flags) {
    return support::readFile(support::dataPath("writer/every-call-" + std::to_string(flags) + ".bip"));
}

namespace {

// Value forms at their edges, and kinds that write nothing.
void writeEdgeValues(orvScene_api& api) {
    const float inf = std::numeric_limits<float>::infinity(), nan = std::nanf("");
    const float big = 1234567.0f, largest = std::numeric_limits<float>::max();
    const float odd[3] = {nan, inf, -0.0f};
    const double dnan = std::nan(""), d3[3] = {1e-50, 2.5, -1234567.0};
    const int32_t ints[4] = {-2147483647 - 1, 0, 7, 2147483647}, off = 0;
    double m[16] = {};
    m[0] = 1e-50;
    m[5] = 1e50;
    m[15] = 0.1;
    api.beginGeometry("edges");
    api.attribute("\xff", vtInt, ints + 2);  // a hexadecimal name is never indented
    api.attribute("big", vtFloat, &big);
    api.attribute("inf", vtFloat, &inf);
    api.attribute("largest", vtFloat, &largest);
    api.attribute("odd", vtFloat3, odd);
    api.attribute("dnan", vtDouble, &dnan);
    api.attribute("d3", vtDouble3, d3);
    api.attribute("i4", vtInt4, ints);
    api.attribute("off", vtBool, &off);
    api.attribute("m", vtMatrix, m);
    api.transform(m);
    const double minusZero = -0.0;
    api.translate(&d3[0], &m[5], &minusZero);
    const std::vector<float> floats = {nan, -inf, 0.25f, 1e-5f};
    const std::vector<double> doubles = {0.5, dnan, 3.4028234663852886e38, 3.4e38, 1e300};
    const std::vector<int32_t> bools = {2, 0};
    std::vector<double> matrices(32, 2.0);
    matrices[0] = 1e-50;
    const char* names[] = {"n0", "n1", "n2", "n3", "n4", "n5", "n6", "n7", "x\"", "n9"};
    const ArrayRef floatArray{floats.data(), 4}, float4Array{floats.data(), 1},
        doubleArray{doubles.data(), 4}, double3Array{doubles.data(), 1}, boolArray{bools.data(), 2},
        matrixArray{matrices.data(), 2}, noMatrix{matrices.data(), 0}, nameArray{names, 10};
    api.attribute("floats", vtFloatArray, &floatArray);
    api.attribute("float4s", vtFloat4Array, &float4Array);
    api.attribute("doubles", vtDoubleArray, &doubleArray);
    api.attribute("double3s", vtDouble3Array, &double3Array);
    api.attribute("bools", vtBoolArray, &boolArray);
    api.attribute("matrices", vtMatrixArray, &matrixArray);
    api.attribute("noMatrix", vtMatrixArray, &noMatrix);
    api.attribute("names", vtStringArray, &nameArray);
    for (int32_t kind : {0, 8, 11, 12, 19, 22, 0x2000, 0x8008, 0x8010})
        api.attribute("nothing", static_cast<ValueType>(kind), &floatArray);
    api.endGeometry();
}

}  // namespace

void writeEveryCall(orvScene_api& api) {
    api.reservedA();
    api.print("banner with 100% and \"quotes\"");
    api.version(-1);
    api.groupAttribute("process identifier", "Fusion 360 test, 0x10");
    api.groupAttribute("l\nf", "c\rr");
    api.groupAttribute("abc", "");
    const float top[3] = {0.8f, 0.8f, 0.8f};
    api.attribute("top level", vtFloat3, top);  // parameter style outside any block

    api.beginGroup("Every Call", true);
    api.flags(0x8001);
    const double m[16] = {1, 0, 0, 0, 0, 0.5, 0, 0, 0, 0, 2, 0, 10.25, -3, 1e-7, 1};
    api.transform(m);
    api.setTransform(m);
    const double x = 1.5, y = -2, z = 1e10;
    const int32_t on = 2;
    api.scale(&x, &y, &z);
    api.rotate(&x, &x, &y);
    api.translate(&z, &y, &x);

    api.beginGroup("a\"b", false);  // hex name form, a definition
    api.beginGroup("h\xC3\xA9llo", true);
    api.endGroup();
    api.endGroup();
    api.beginLoad("orvrtopt.so");
    api.attribute("import_mode", vtBool, &on);
    api.beginLoad("inner");
    api.writeText("two\nlines\n\nand a gap\n");
    api.endLoad();
    api.endLoad();

    // Every scalar kind, including ones that write nothing.
    const float f3[3] = {0.8f, 0.8f, 0.8f}, f4[4] = {1, 2, 3, 4}, f2[2] = {0.5f, 0.25f};
    const float nanValue = std::numeric_limits<float>::quiet_NaN(), tiny = 0.00001f;
    const double d = 3.14159265358979, d3[3] = {1, 2, 3};
    const int32_t i = -42, i2[2] = {1, 2}, i3[3] = {1, 2, 3}, i4[4] = {4, 3, 2, 1},
                  shader = 7;
    double matrix[16];
    for (int k = 0; k < 16; ++k) matrix[k] = k * 0.5;
    const char* text = "text\nwith line feed";
    api.beginGeometry("triangles");
    api.attribute("f3", vtFloat3, f3);
    api.attribute("f4", vtFloat4, f4);
    api.attribute("f4b", vtFloat4b, f4);
    api.attribute("nan", vtFloat, &nanValue);
    api.attribute("tiny", vtFloat, &tiny);
    api.attribute("d", vtDouble, &d);
    api.attribute("d3", vtDouble3, d3);
    api.attribute("i", vtInt, &i);
    api.attribute("b", vtBool, &on);
    api.attribute("m", vtMatrix, matrix);
    api.attribute("s", vtString, "plain");
    api.attribute("sr", vtStringRef, &text);
    api.attribute("f2", vtFloat2, f2);
    api.attribute("i2", vtInt2, i2);
    api.attribute("i3", vtInt3, i3);
    api.attribute("i4", vtInt4, i4);
    api.attribute("sid", vtShaderId, &shader);
    api.attribute("unknown", static_cast<ValueType>(8), &i);
    // Plain style in the group: a name with a line feed keeps the indentation.
    api.endGeometry();
    api.attribute("line\nfeed", vtInt, &i);
    api.beginGeometry("arrays");

    // Arrays: empty, long enough to wrap lines, and every element kind.
    std::vector<float> floats(17);
    for (size_t k = 0; k < floats.size(); ++k) floats[k] = float(k) / 3.0f;
    floats[3] = nanValue;
    std::vector<double> doubles = {1.0 / 3.0, 2.5, std::numeric_limits<double>::infinity()};
    std::vector<int32_t> ints(20);
    for (size_t k = 0; k < ints.size(); ++k) ints[k] = int32_t(k * k) - 7;
    std::vector<int32_t> bools = {2, 0, 1};
    std::vector<double> matrices(32, 0.25);
    const char* strings[] = {"one", "t\"wo", "three"};
    const ArrayRef empty{ints.data(), 0};
    const ArrayRef floatArray{floats.data(), int32_t(floats.size())};
    const ArrayRef triples{floats.data(), 5};
    const ArrayRef quads{floats.data(), 4};
    const ArrayRef doubleArray{doubles.data(), int32_t(doubles.size())};
    const ArrayRef double3Array{doubles.data(), 1};
    const ArrayRef intArray{ints.data(), int32_t(ints.size())};
    const ArrayRef boolArray{bools.data(), int32_t(bools.size())};
    const ArrayRef matrixArray{matrices.data(), 2};
    const ArrayRef stringArray{strings, 3};
    const ArrayRef negative{ints.data(), -3};
    api.attribute("empty", vtIntArray, &empty);
    api.attribute("negative", vtFloatArray, &negative);
    api.attribute("floats", vtFloatArray, &floatArray);
    api.attribute("triples", vtFloat3Array, &triples);
    api.attribute("quads", vtFloat4Array, &quads);
    api.attribute("doubles", vtDoubleArray, &doubleArray);
    api.attribute("double3s", vtDouble3Array, &double3Array);
    api.attribute("ints", vtIntArray, &intArray);
    api.attribute("shaders", vtShaderIdArray, &intArray);
    api.attribute("bools", vtBoolArray, &boolArray);
    api.attribute("matrices", vtMatrixArray, &matrixArray);
    api.attribute("strings", vtStringArray, &stringArray);
    api.attribute("stringRefs", vtStringRefArray, &stringArray);
    api.attribute("oddArray", static_cast<ValueType>(0x8008), &intArray);
    api.endGeometry();
    writeEdgeValues(api);

    api.beginList("points");
    for (int k = 0; k < 5; ++k) api.listElement(vtFloat3, f3);
    api.listElement(vtInt, &i);
    api.listElement(vtString, "name");
    api.endList();
    api.beginList("numbers");
    for (int k = 0; k < 7; ++k) api.listElement(vtFloat, &floats[size_t(k)]);
    api.endList();
    api.beginList("mixed");  // the triple rule looks at the element being added
    api.listElement(vtDouble, &d);
    api.listElement(vtFloat3, f3);
    api.listElement(vtFloat3, f3);
    api.listElement(vtString, "s");
    api.endList();
    api.beginList("empty");
    api.endList();

    // Shaders by number, named, and captured anonymously.
    api.defineShader("vertex_color", 1);
    api.attribute("scale", vtFloat, &tiny);
    api.endShader();
    api.defineShader("orv_diffuse", 2);
    api.shaderInputId("diffuse", 1);
    api.endShader();
    api.openShader("named shader", "orv_glossy");
    api.attribute("roughness", vtFloat, &f2[0]);
    api.endShader();
    api.attribute("afterShader", vtFloat, &f2[0]);  // the group's plain style is back

    api.pushChunk();
    api.openShader(nullptr, "noise");
    api.attribute("octaves", vtInt, &i);
    api.pushChunk();
    api.openShader(nullptr, "inner");
    api.attribute("depth", vtFloat, &tiny);
    api.endShader();
    TextChunk* inner = api.currentChunk();
    api.popChunk();
    api.shaderInput("in", inner);
    api.defineShader("named inside a capture", 3);  // goes to the stream
    api.endShader();
    api.shaderInputId("numbered", 3);
    api.endShader();
    TextChunk* noise = api.currentChunk();
    api.popChunk();
    api.pushChunk();
    api.openShader(nullptr, "\xe9");  // a hexadecimal type makes the chunk binary
    api.endShader();
    TextChunk* binaryChunk = api.currentChunk();
    api.popChunk();

    api.beginObject("object 1", true);
    api.beginMaterial("wood", false);
    api.bindShaderId(0, 2);
    api.bindShaderId(9, 2);
    api.bindShader(1, noise);
    api.bindShader(7, noise);
    api.bindShader(0, nullptr);
    api.bindShader(3, binaryChunk);
    api.endMaterial();
    api.useMaterial("wood");
    api.beginMaterial("inline", true);
    api.shaderInput("bump", noise);
    api.attribute("pattern", vtChunk, &noise);
    char own[] = "caller text {\n \"k\" 1,\n}";
    TextChunk callerChunk;
    callerChunk.data = own;
    callerChunk.length = int32_t(std::strlen(own));
    const TextChunk* callerPointer = &callerChunk;
    api.bindShader(2, &callerChunk);
    api.attribute("callerChunk", vtChunk, &callerPointer);
    api.endMaterial();
    api.beginCamera("inside object");  // refused while an object is open
    api.endCamera();
    api.beginImage();  // endCamera cleared the open block, so an image opens here
    api.endImage();
    api.endObject();

    api.beginAnimation("spin", "linear");
    api.attribute("time", vtFloat, &f2[1]);
    api.endAnimation();
    api.beginLight("sun");
    api.attribute("color", vtFloat3, f3);
    api.endLight();
    api.beginAccel("bvh");
    api.endAccel();
    api.beginMatrix("placement");
    api.transform(m);
    api.endMatrix();
    api.beginOutput("rgba", "png", "out.png");
    api.attribute("gamma", vtFloat, &f2[0]);
    api.endOutput();
    api.attribute("afterOutput", vtInt, &i);  // plain style after an output block
    const uint8_t bytes[5] = {0, 1, 0x7f, 0x80, 0xff};
    api.icon(bytes, 5);
    api.blob("thumbnail", bytes, 3);
    api.blob("none", nullptr, 0);
    api.id(12);
    api.progress("loading", 0.125f);
    api.writeText("free text %d %s %.2f\n", 42, "words", 2.5);
    api.error("error with 50% done");
    api.endGroup();

    api.beginOptions();
    api.attribute("samples", vtInt, &i);
    api.endOptions();
    api.beginCamera(nullptr);
    api.attribute("fov", vtFloat, &f2[0]);
    api.endCamera();
    api.beginImage();
    api.attribute("size", vtInt2, i2);
    api.endImage();
    api.reservedB();
    api.render();
}

}  // namespace testscene
