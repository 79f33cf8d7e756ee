// The object every scene node writes through. Wraps one orvScene_api from a
// scene factory, takes std::string and typed values, and numbers the shader
// definitions and objects of one scene.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "importers/sceneapi/orvScene_api.h"

namespace orv {

class LightFactory;
class LightNode;

class orvSceneapi_oo {
public:
    // Attaches the factory's object; when there is one, has the factory write its
    // header, then writes the banner and the scene language version.
    explicit orvSceneapi_oo(LightFactory& factory);
    orvSceneapi_oo(const orvSceneapi_oo&) = delete;
    orvSceneapi_oo& operator=(const orvSceneapi_oo&) = delete;

    virtual ~orvSceneapi_oo();
    virtual void attach(orvScene_api* api);
    virtual int32_t nextId();
    virtual void writeNode(LightNode& node);
    virtual void progress(const std::string& name, float fraction);
    virtual bool beginGroup(const std::string& name);
    virtual void endGroup();
    virtual int32_t beginShader(const std::string& type);
    virtual void endShader();
    // Always throws std::invalid_argument: pass std::string values instead.
    virtual bool setCString(const std::string& name, const char* value);
    virtual bool setString(const std::string& name, const std::string& value);
    virtual bool setColor(const std::string& name, const float* rgb);
    virtual bool setVector(const std::string& name, const double* xyz);
    virtual bool setDouble(const std::string& name, double value);
    virtual bool setFloat(const std::string& name, float value);
    virtual bool setInt(const std::string& name, int32_t value);
    virtual bool setBool(const std::string& name, bool value);
    virtual bool setMatrixArray(const std::string& name,
                                const std::vector<std::array<double, 16>>& matrices);
    virtual bool setIntArray(const std::string& name, const std::vector<int32_t>& values);
    virtual bool setFloatArray(const std::string& name, const std::vector<float>& values);
    virtual bool setDoubleArray(const std::string& name, const std::vector<double>& values);
    // xyz holds the triples one after the other; the count passed on is size() / 3.
    virtual bool setFloat3Array(const std::string& name, const std::vector<float>& xyz);
    virtual void transform(const double* m);
    virtual void transform(const double* m, bool replace);
    virtual void flags(uint32_t value);
    virtual orvScene_api* api();

    // Writes an "#error" statement with the text, then releases the text.
    void error(std::string&& text);

    // "Quorell SceneApi oo 12.0.0  (built Thu Nov  3 09:36:20 2022)"
    static std::string banner();

private:
    orvScene_api* target = nullptr;
    LightFactory* factory = nullptr;
    int32_t shaderCounter = 0;
    int32_t idCounter = 0;
};

}  // namespace orv
