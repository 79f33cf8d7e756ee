// Names, number forms, arrays and lists, in text and in binary form.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "support/MemoryWriter.h"

namespace {

std::string attributeText(ValueType type, const void* value, bool binary = false) {
    support::MemoryWriter h(binary);
    h.api().attribute("v", type, value);
    return h.finish();
}

template <class T>
std::string arrayText(ValueType type, const std::vector<T>& values, int32_t count,
                      bool binary = false) {
    const ArrayRef array{values.data(), count};
    return attributeText(type, &array, binary);
}

std::string bytes(std::initializer_list<int> values) {
    std::string s;
    for (int v : values) s += static_cast<char>(v);
    return s;
}

template <class T>
std::string rawBytes(const std::vector<T>& values) {
    return std::string(reinterpret_cast<const char*>(values.data()), values.size() * sizeof(T));
}

const float kNaN = std::numeric_limits<float>::quiet_NaN();
const float kInf = std::numeric_limits<float>::infinity();

}  // namespace

TEST(WriterNames, QuotedHexadecimalAndEmpty) {
    support::MemoryWriter h;
    h.api().groupAttribute("abc", "");
    EXPECT_EQ(h.take(), "attribute \"abc\" \"\"\n");
    h.api().groupAttribute("a\"b", "\xc3\xa9");
    EXPECT_EQ(h.take(), "attribute xX612262 xXc3a9\n");
    h.api().groupAttribute("l\nf", "c\rr");
    EXPECT_EQ(h.take(), "attribute xX6c0a66 xX630d72\n");
    h.api().beginGroup(nullptr, true);
    EXPECT_EQ(h.take(), "\ngroup \"\" {\n");
}

TEST(WriterNames, HexadecimalNameIsNeverIndented) {
    support::MemoryWriter h;
    h.api().setFlags(1);
    h.api().beginLoad("x");
    h.take();
    const int32_t one = 1;
    h.api().attribute("\xff", vtInt, &one);
    h.api().attribute("q", vtInt, &one);
    EXPECT_EQ(h.take(), "xXff 1,\n \"q\" 1,\n");
}

TEST(WriterNames, StringValuesUseTheNameForm) {
    const char* text = "orv\"x";
    EXPECT_EQ(attributeText(vtString, "plain"), "\"v\" \"plain\",\n");
    EXPECT_EQ(attributeText(vtStringRef, &text), "\"v\" xX6f72762278,\n");
}

TEST(WriterNumbers, FloatForms) {
    const float grey[4] = {0.8f, 0.5f, 1e-5f, 123456.0f};
    EXPECT_EQ(attributeText(vtFloat3, grey), "\"v\" 0.8 0.5 1e-05,\n");
    EXPECT_EQ(attributeText(vtFloat4, grey), "\"v\" 0.8 0.5 1e-05 123456,\n");
    EXPECT_EQ(attributeText(vtFloat4b, grey), "\"v\" 0.8 0.5 1e-05 123456,\n");
    EXPECT_EQ(attributeText(vtFloat2, grey), "\"v\" 0.8 0.5,\n");
    const float big = 1234567.0f, small = 0.00001f;
    EXPECT_EQ(attributeText(vtFloat, &big), "\"v\" 1.23457e+06,\n");
    EXPECT_EQ(attributeText(vtFloat, &small), "\"v\" 1e-05,\n");
    // NaN and infinities become -1 in kind 3 only.
    EXPECT_EQ(attributeText(vtFloat, &kNaN), "\"v\" -1,\n");
    EXPECT_EQ(attributeText(vtFloat, &kInf), "\"v\" -1,\n");
    const float largest = std::numeric_limits<float>::max();
    EXPECT_EQ(attributeText(vtFloat, &largest), "\"v\" 3.40282e+38,\n");
    const float odd[3] = {kNaN, kInf, -0.0f};
    EXPECT_EQ(attributeText(vtFloat3, odd), "\"v\" nan inf -0,\n");
}

TEST(WriterNumbers, DoubleAndIntegerForms) {
    const double d = 0.1, nan = std::nan("");
    EXPECT_EQ(attributeText(vtDouble, &d), "\"v\" 0.1000000000000000,\n");
    EXPECT_EQ(attributeText(vtDouble, &nan), "\"v\"              nan,\n");
    const double v3[3] = {1e-50, 2.5, -1234567.0};
    EXPECT_EQ(attributeText(vtDouble3, v3), "\"v\" 1e-50 2.5 -1.23457e+06,\n");
    const int32_t ints[4] = {-2147483647 - 1, 0, 7, 2147483647};
    EXPECT_EQ(attributeText(vtInt, ints), "\"v\" -2147483648,\n");
    EXPECT_EQ(attributeText(vtShaderId, ints + 2), "\"v\" 7,\n");
    EXPECT_EQ(attributeText(vtInt2, ints), "\"v\" -2147483648 0,\n");
    EXPECT_EQ(attributeText(vtInt3, ints), "\"v\" -2147483648 0 7,\n");
    EXPECT_EQ(attributeText(vtInt4, ints), "\"v\" -2147483648 0 7 2147483647,\n");
    const int32_t two = 2, zero = 0;
    EXPECT_EQ(attributeText(vtBool, &two), "\"v\" on,\n");
    EXPECT_EQ(attributeText(vtBool, &zero), "\"v\" off,\n");
}

TEST(WriterNumbers, MatricesNarrowedOnlyInScalarAndTransformForms) {
    double m[16] = {};
    m[0] = 1e-50;
    m[5] = 1e50;
    m[15] = 0.1;
    EXPECT_EQ(attributeText(vtMatrix, m), "\"v\" 0 0 0 0 0 inf 0 0 0 0 0 0 0 0 0 0.1,\n");
    support::MemoryWriter h;
    h.api().transform(m);
    h.api().setTransform(m);
    EXPECT_EQ(h.take(),
              "transform 0 0 0 0 0 inf 0 0 0 0 0 0 0 0 0 0.1\n"
              "set transform 0 0 0 0 0 inf 0 0 0 0 0 0 0 0 0 0.1\n");
    const double x = 1e-50, y = 1e50, z = -0.0;
    h.api().translate(&x, &y, &z);
    EXPECT_EQ(h.take(), "translate 1e-50 1e+50 -0\n");
    std::vector<std::array<double, 16>> two(2);
    two[0].fill(0);
    two[0][0] = 1e-50;
    two[1].fill(2);
    EXPECT_EQ(arrayText(vtMatrixArray, two, 2),
              "\"v\" [ 1e-50 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 ,\n"
              "2 2 2 2 2 2 2 2 2 2 2 2 2 2 2 2 \n] ,\n");
    EXPECT_EQ(arrayText(vtMatrixArray, two, 0), "\"v\" [ ] ,\n");
}

TEST(WriterNumbers, UnknownKindsWriteNothing) {
    const int32_t value = 1;
    for (int32_t kind : {0, 8, 11, 12, 19, 22, 0x2000, 0x8008, 0x8010}) {
        support::MemoryWriter h;
        EXPECT_TRUE(h.api().attribute("v", static_cast<ValueType>(kind), &value));
        EXPECT_EQ(h.finish(), "") << kind;
    }
}

TEST(WriterArrays, LineBreakingOfNumericArrays) {
    std::vector<float> values(17);
    for (int i = 0; i < 17; ++i) values[i] = static_cast<float>(i);
    EXPECT_EQ(arrayText(vtFloatArray, values, 17),
              "\"v\" [ 0,1,2,3,4,5,6,7,8,\n9,10,11,12,13,14,15,16 \n] ,\n");
    EXPECT_EQ(arrayText(vtFloatArray, values, 9), "\"v\" [ 0,1,2,3,4,5,6,7,8 \n] ,\n");
    EXPECT_EQ(arrayText(vtFloatArray, values, 2), "\"v\" [ 0,1 ] ,\n");
    EXPECT_EQ(arrayText(vtFloatArray, values, 0), "\"v\" [ ] ,\n");
    EXPECT_EQ(arrayText(vtFloatArray, values, -3), "\"v\" [ ] ,\n");
    EXPECT_EQ(arrayText(vtFloat3Array, values, 3), "\"v\" [ 0 1 2,3 4 5,6 7 8 ] ,\n");

    support::MemoryWriter h;
    h.api().setFlags(1);
    h.api().beginLoad("m");
    h.take();
    const ArrayRef array{values.data(), 17};
    h.api().attribute("f", vtFloatArray, &array);
    EXPECT_EQ(h.take(), " \"f\" [ 0,1,2,3,4,5,6,7,8,\n 9,10,11,12,13,14,15,16 \n ] ,\n");
}

TEST(WriterArrays, ElementForms) {
    const std::vector<float> f = {kNaN, -kInf, 0.25f, 1e-5f};
    EXPECT_EQ(arrayText(vtFloatArray, f, 4), "\"v\" [ -1,-1,0.25,1e-05 ] ,\n");
    EXPECT_EQ(arrayText(vtFloat4Array, f, 1), "\"v\" [ nan -inf 0.25 1e-05 ] ,\n");
    const std::vector<double> d = {0.5, std::nan(""), 3.4028234663852886e38, 3.4e38, 1e300};
    EXPECT_EQ(arrayText(vtDoubleArray, d, 4),
              "\"v\" [ 0.5000000000000000,-1.0000000000000000,-1.0000000000000000,"
              "339999999999999996123846586046231871488.0000000000000000 ] ,\n");
    EXPECT_EQ(arrayText(vtDouble3Array, d, 1), "\"v\" [ 0.5 nan 3.40282e+38 ] ,\n");
    const std::vector<int32_t> n = {2, 0, -5};
    EXPECT_EQ(arrayText(vtBoolArray, n, 2), "\"v\" [ 1,0 ] ,\n");
    EXPECT_EQ(arrayText(vtIntArray, n, 3), "\"v\" [ 2,0,-5 ] ,\n");
    EXPECT_EQ(arrayText(vtShaderIdArray, n, 3), "\"v\" [ 2,0,-5 ] ,\n");
}

TEST(WriterArrays, StringArraysBreakAfterEveryElement) {
    std::vector<const char*> names = {"n0", "n1", "n2", "n3", "n4", "n5", "n6", "n7", "x\"", "n9"};
    support::MemoryWriter h;
    h.api().setFlags(1);
    h.api().beginLoad("m");
    h.take();
    const ArrayRef array{names.data(), 9};
    h.api().attribute("s", vtStringArray, &array);
    EXPECT_EQ(h.take(),
              " \"s\" [ \"n0\",\n\"n1\",\n\"n2\",\n\"n3\",\n\"n4\",\n\"n5\",\n\"n6\",\n\"n7\",\n"
              "xX7822  \n] ,\n");
    EXPECT_EQ(arrayText(vtStringRefArray, names, 0), "\"v\" [ ] ,\n");
}

TEST(WriterArrays, BinaryArraysByteForByte) {
    const std::vector<float> f = {1.5f, -2.0f, 0.25f, 3.0f, 4.0f, 5.0f};
    EXPECT_EQ(arrayText(vtFloat3Array, f, 2, true),
              "\"v\" [ " + bytes({1, 2, 3, 'c', 6, 0, 0, 0}) + rawBytes(f) + "] ,\n");
    EXPECT_EQ(arrayText(vtFloatArray, f, 6, true),
              "\"v\" [ " + bytes({1, 2, 3, 'f', 6, 0, 0, 0}) + rawBytes(f) + "] ,\n");
    const std::vector<double> d = {0.1, std::nan("")};
    EXPECT_EQ(arrayText(vtDoubleArray, d, 2, true),
              "\"v\" [ " + bytes({1, 2, 3, 'r', 2, 0, 0, 0}) + rawBytes(d) + "] ,\n");
    std::vector<int32_t> n(300);
    for (int i = 0; i < 300; ++i) n[i] = i * 1000 - 7;
    EXPECT_EQ(arrayText(vtIntArray, n, 300, true),
              "\"v\" [ " + bytes({1, 2, 3, 'i', 44, 1, 0, 0}) + rawBytes(n) + "] ,\n");
    EXPECT_EQ(arrayText(vtShaderIdArray, n, 0, true),
              "\"v\" [ " + bytes({1, 2, 3, 'i', 0, 0, 0, 0}) + "] ,\n");
    // Other array kinds stay text in binary mode.
    EXPECT_EQ(arrayText(vtBoolArray, n, 2, true), "\"v\" [ 1,1 ] ,\n");
}

TEST(WriterArrays, SetFlagsSwitchesBinaryArrays) {
    const std::vector<int32_t> n = {1, 2};
    const ArrayRef array{n.data(), 2};
    support::MemoryWriter h(true);
    h.api().setFlags(1);
    h.api().attribute("a", vtIntArray, &array);
    EXPECT_EQ(h.take(), "\"a\" [ 1,2 ] ,\n");
    h.api().setFlags(0x400003);
    h.api().attribute("a", vtIntArray, &array);
    EXPECT_EQ(h.take(), "\"a\" [ " + bytes({1, 2, 3, 'i', 2, 0, 0, 0}) + rawBytes(n) + "] ,\n");
}

TEST(WriterLists, TextListsBreakTwoTriplesOrSixValuesPerLine) {
    support::MemoryWriter h;
    h.api().setFlags(1);
    h.api().beginList("l");
    for (int i = 1; i <= 5; ++i) {
        const float p[3] = {float(i), float(i), float(i)};
        h.api().listElement(vtFloat3, p);
    }
    h.api().endList();
    EXPECT_EQ(h.take(), "\"l\" [\n 1 1 1, 2 2 2,\n 3 3 3, 4 4 4,\n 5 5 5 ],\n");
    h.api().beginList("n");
    for (int32_t i = 0; i < 7; ++i) h.api().listElement(vtInt, &i);
    h.api().endList();
    EXPECT_EQ(h.take(), "\"n\" [\n 0, 1, 2, 3, 4, 5,\n 6 ],\n");
    // Mixed kinds: the triple rule looks at the element being added.
    h.api().beginList("m");
    const float p[3] = {0, 0, 0};
    const double d = 1;
    h.api().listElement(vtDouble, &d);
    h.api().listElement(vtFloat3, p);
    h.api().listElement(vtFloat3, p);
    h.api().listElement(vtString, "s");
    h.api().endList();
    EXPECT_EQ(h.take(), "\"m\" [\n 1.0000000000000000, 0 0 0,\n 0 0 0, \"s\" ],\n");
}

TEST(WriterLists, BinaryListsCollectWords) {
    support::MemoryWriter h(true);
    h.api().beginList("l");
    const float p[3] = {1, 2, 3};
    h.api().listElement(vtFloat3, p);
    h.api().listElement(vtFloat3, p);
    const double d = 0.5;
    h.api().listElement(vtDouble, &d);  // not collected: written as text
    h.api().endList();
    const std::vector<float> words = {1, 2, 3, 1, 2, 3};
    EXPECT_EQ(h.take(), "\"l\" [\n0.5000000000000000" + bytes({1, 2, 3, 'c', 6, 0, 0, 0}) +
                            rawBytes(words) + " ],\n");
    // The collected count starts again with every list; many elements grow the store.
    h.api().beginList("i");
    std::vector<int32_t> ints(100000);
    for (int32_t i = 0; i < 100000; ++i) {
        ints[i] = i;
        h.api().listElement(vtInt, &ints[i]);
    }
    h.api().endList();
    EXPECT_EQ(h.take(),
              "\"i\" [\n" + bytes({1, 2, 3, 'i', 0xa0, 0x86, 1, 0}) + rawBytes(ints) + " ],\n");
    h.api().beginList("e");
    h.api().endList();
    EXPECT_EQ(h.take(), "\"e\" [\n ],\n");
}
