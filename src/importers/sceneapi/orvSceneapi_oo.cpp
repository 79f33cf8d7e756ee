#include "importers/sceneapi/orvSceneapi_oo.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <stdexcept>

#include "scene/LightFactory.h"
#include "scene/LightNode.h"

namespace orv {

namespace {

constexpr int kApiMajor = 12;
constexpr int kApiMinor = 0;
constexpr int kApiPatch = 0;

// This file's build time in the form "Thu Nov  3 09:36:20 2022", from
// __DATE__ ("Nov  3 2022") and __TIME__ ("09:36:20"); the weekday is computed.
std::string buildTimestamp() {
    static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    static const char* const kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    const char* date = __DATE__;
    unsigned month = 1;
    for (unsigned m = 0; m < 12; ++m)
        if (std::strncmp(date, kMonths[m], 3) == 0) month = m + 1;
    const unsigned day = static_cast<unsigned>(std::atoi(date + 4));
    const int year = std::atoi(date + 7);
    const std::chrono::year_month_day ymd{std::chrono::year{year}, std::chrono::month{month},
                                          std::chrono::day{day}};
    const std::chrono::weekday weekday{std::chrono::sys_days{ymd}};
    char text[32];
    std::snprintf(text, sizeof text, "%s %.3s %2u %s %d", kDays[weekday.c_encoding()], date, day,
                  __TIME__, year);
    return text;
}

}  // namespace

orvSceneapi_oo::orvSceneapi_oo(LightFactory& factory) : factory(&factory) {
    attach(factory.getSceneApi());
    if (!target) return;
    factory.writeHeader(*this);
    target->print(banner().c_str());
    target->version(9);
}

std::string orvSceneapi_oo::banner() {
    return "Quorell SceneApi oo " + std::to_string(kApiMajor) + "." + std::to_string(kApiMinor) +
           "." + std::to_string(kApiPatch) + "  (built " + buildTimestamp() + ")";
}

orvSceneapi_oo::~orvSceneapi_oo() = default;

void orvSceneapi_oo::attach(orvScene_api* api) {
    target = api;
    shaderCounter = 0;
    idCounter = 0;
}

int32_t orvSceneapi_oo::nextId() {
    ++idCounter;
    target->id(static_cast<uint32_t>(idCounter));
    return idCounter;
}

void orvSceneapi_oo::writeNode(LightNode& node) {
    node.write(*this);
}

void orvSceneapi_oo::progress(const std::string& name, float fraction) {
    target->progress(name.c_str(), fraction);
}

bool orvSceneapi_oo::beginGroup(const std::string& name) {
    return target->beginGroup(name.c_str(), true);
}

void orvSceneapi_oo::endGroup() {
    target->endGroup();
}

int32_t orvSceneapi_oo::beginShader(const std::string& type) {
    ++shaderCounter;
    target->defineShader(type.c_str(), shaderCounter);
    return shaderCounter;
}

void orvSceneapi_oo::endShader() {
    target->endShader();
}

bool orvSceneapi_oo::setCString(const std::string&, const char*) {
    throw std::invalid_argument("const char * are deprecated");
}

bool orvSceneapi_oo::setString(const std::string& name, const std::string& value) {
    return target->attribute(name.c_str(), vtString, value.c_str());
}

bool orvSceneapi_oo::setColor(const std::string& name, const float* rgb) {
    return target->attribute(name.c_str(), vtFloat3, rgb);
}

bool orvSceneapi_oo::setVector(const std::string& name, const double* xyz) {
    return target->attribute(name.c_str(), vtDouble3, xyz);
}

bool orvSceneapi_oo::setDouble(const std::string& name, double value) {
    return target->attribute(name.c_str(), vtDouble, &value);
}

bool orvSceneapi_oo::setFloat(const std::string& name, float value) {
    return target->attribute(name.c_str(), vtFloat, &value);
}

bool orvSceneapi_oo::setInt(const std::string& name, int32_t value) {
    return target->attribute(name.c_str(), vtInt, &value);
}

bool orvSceneapi_oo::setBool(const std::string& name, bool value) {
    const int32_t flag = value ? 1 : 0;
    return target->attribute(name.c_str(), vtBool, &flag);
}

namespace {
template <class T>
ArrayRef arrayOf(const std::vector<T>& values, size_t elementsPerItem = 1) {
    return ArrayRef{values.data(), static_cast<int32_t>(values.size() / elementsPerItem)};
}
}  // namespace

bool orvSceneapi_oo::setMatrixArray(const std::string& name,
                                    const std::vector<std::array<double, 16>>& matrices) {
    const ArrayRef array = arrayOf(matrices);
    return target->attribute(name.c_str(), vtMatrixArray, &array);
}

bool orvSceneapi_oo::setIntArray(const std::string& name, const std::vector<int32_t>& values) {
    const ArrayRef array = arrayOf(values);
    return target->attribute(name.c_str(), vtIntArray, &array);
}

bool orvSceneapi_oo::setFloatArray(const std::string& name, const std::vector<float>& values) {
    const ArrayRef array = arrayOf(values);
    return target->attribute(name.c_str(), vtFloatArray, &array);
}

bool orvSceneapi_oo::setDoubleArray(const std::string& name, const std::vector<double>& values) {
    const ArrayRef array = arrayOf(values);
    return target->attribute(name.c_str(), vtDoubleArray, &array);
}

bool orvSceneapi_oo::setFloat3Array(const std::string& name, const std::vector<float>& xyz) {
    const ArrayRef array = arrayOf(xyz, 3);
    return target->attribute(name.c_str(), vtFloat3Array, &array);
}

void orvSceneapi_oo::transform(const double* m) {
    transform(m, false);
}

void orvSceneapi_oo::transform(const double* m, bool replace) {
    if (replace)
        target->setTransform(m);
    else
        target->transform(m);
}

void orvSceneapi_oo::flags(uint32_t value) {
    target->flags(value);
}

orvScene_api* orvSceneapi_oo::api() {
    return target;
}

void orvSceneapi_oo::error(std::string&& text) {
    target->error(text.c_str());
    std::string().swap(text);
}

}  // namespace orv
