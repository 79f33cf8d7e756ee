// The scene output interface. Everything that leaves the add-in as a scene goes
// through one object of this class: the .bip file writer (orvScene_api_file) or
// the live object handed out by the renderer's live library.
//
// The live library implements the same class, so the order of the virtual
// operations, their argument types and the value-kind codes are a binary
// contract. Never reorder, insert or remove an operation.
#pragma once

#include <cstdint>

// Kind of the value passed to attribute() and listElement(). Scalar codes;
// the array form of a kind is the code with bit 0x8000 set and the value then
// points to an ArrayRef.
enum ValueType : int32_t {
    vtFloat3 = 1,        // 3 x float
    vtFloat4 = 2,        // 4 x float
    vtFloat = 3,         // float
    vtDouble = 4,        // double
    vtDouble3 = 5,       // 3 x double
    vtInt = 6,           // int32
    vtBool = 7,          // int32 used as boolean
    vtMatrix = 9,        // 16 x double
    vtString = 10,       // the const char* itself
    vtStringRef = 13,    // pointer to a const char*
    vtFloat2 = 14,       // 2 x float
    vtFloat4b = 15,      // 4 x float
    vtInt2 = 16,         // 2 x int32
    vtInt3 = 17,         // 3 x int32
    vtInt4 = 18,         // 4 x int32
    vtShaderId = 23,     // int32 shader number
    vtChunk = 0x10000,   // pointer to a TextChunk pointer

    vtArray = 0x8000,    // bit marking an array of the scalar kind
    vtFloat3Array = 0x8001,
    vtFloat4Array = 0x8002,
    vtFloatArray = 0x8003,
    vtDoubleArray = 0x8004,
    vtDouble3Array = 0x8005,
    vtIntArray = 0x8006,
    vtBoolArray = 0x8007,
    vtMatrixArray = 0x8009,
    vtStringArray = 0x800A,
    vtStringRefArray = 0x800D,
    vtShaderIdArray = 0x8017,
};

// An array value: the first element, then the element count.
struct ArrayRef {
    const void* data;
    int32_t count;
};

// Captured shader text (or bytes), owned by the file writer.
struct TextChunk {
    char* data = nullptr;
    int32_t length = 0;
    int32_t capacity = -1;
    bool binary = false;  // set once bytes of an explicit length were appended
};

class orvScene_api {
public:
    virtual ~orvScene_api() = default;
    virtual void reservedA() = 0;
    virtual bool connect(const char* host, int32_t port, int32_t n);
    virtual bool disconnect();
    virtual bool linkQuery();
    virtual bool beginGroup(const char* name, bool instance) = 0;
    virtual void endGroup() = 0;
    virtual bool beginObject(const char* name, bool instance) = 0;
    virtual void endObject() = 0;
    virtual bool beginGeometry(const char* name) = 0;
    virtual void endGeometry() = 0;
    virtual bool beginAnimation(const char* name, const char* kind) = 0;
    virtual void endAnimation() = 0;
    virtual bool beginLoad(const char* name) = 0;
    virtual void endLoad() = 0;
    virtual bool beginOptions() = 0;
    virtual void endOptions() = 0;
    virtual bool beginCamera(const char* name) = 0;
    virtual void endCamera() = 0;
    virtual bool beginImage() = 0;
    virtual void endImage() = 0;
    virtual bool beginOutput(const char* a, const char* b, const char* c) = 0;
    virtual void endOutput() = 0;
    virtual bool beginLight(const char* name) = 0;
    virtual void endLight() = 0;
    virtual bool beginAccel(const char* name) = 0;
    virtual void endAccel() = 0;
    virtual void transform(const double m[16]) = 0;
    virtual void setTransform(const double m[16]) = 0;
    virtual void scale(const double* x, const double* y, const double* z) = 0;
    virtual void rotate(const double* x, const double* y, const double* z) = 0;
    virtual void translate(const double* x, const double* y, const double* z) = 0;
    virtual bool beginMatrix(const char* name) = 0;
    virtual void endMatrix() = 0;
    virtual bool beginMaterial(const char* name, bool instance) = 0;
    virtual bool useMaterial(const char* name) = 0;
    virtual void endMaterial() = 0;
    virtual void bindShader(int32_t kind, const TextChunk* chunk) = 0;
    virtual void bindShaderId(int32_t kind, int32_t shader) = 0;
    virtual bool openShader(const char* name, const char* type) = 0;
    virtual bool defineShader(const char* type, int32_t shader) = 0;
    virtual void endShader() = 0;
    virtual TextChunk* currentChunk() = 0;
    virtual void pushChunk() = 0;
    virtual void popChunk() = 0;
    virtual bool attribute(const char* name, ValueType type, const void* value) = 0;
    virtual bool shaderInputId(const char* name, int32_t shader) = 0;
    virtual bool shaderInput(const char* name, const TextChunk* chunk) = 0;
    virtual bool beginList(const char* name) = 0;
    virtual void endList() = 0;
    virtual void listElement(ValueType type, const void* value) = 0;
    virtual int32_t queryA() = 0;
    virtual int32_t queryB() = 0;
    virtual int32_t queryC() = 0;
    virtual void groupAttribute(const char* key, const char* value) = 0;
    virtual void writeText(const char* format, ...) = 0;
    virtual void setFlags(uint32_t flags) = 0;
    virtual void version(int32_t v) = 0;
    virtual void reservedB() = 0;
    virtual void progress(const char* name, float fraction) = 0;
    virtual void icon(const uint8_t* bytes, int32_t length) = 0;
    virtual void blob(const char* keyword, const uint8_t* bytes, int32_t length) = 0;
    virtual void id(uint32_t value) = 0;
    virtual void flags(uint32_t value) = 0;
    virtual bool reservedC() = 0;
    virtual bool render() = 0;
    virtual void print(const char* text) = 0;
    virtual void error(const char* text) = 0;
};

// Only a live implementation connects; the others answer false.
inline bool orvScene_api::connect(const char*, int32_t, int32_t) { return false; }
inline bool orvScene_api::disconnect() { return false; }
inline bool orvScene_api::linkQuery() { return false; }
