// Abstract scene factory: hands the wrapper the output object to write into,
// writes what precedes the scene, and closes the target at the end.
#pragma once

class orvScene_api;

namespace orv {

class orvSceneapi_oo;

class LightFactory {
public:
    virtual ~LightFactory() = default;
    // The object to write into, or null when none could be made.
    virtual orvScene_api* getSceneApi() = 0;
    // Called once, right after the wrapper attached the object.
    virtual void writeHeader(orvSceneapi_oo& oo) = 0;
    // Releases the object and the target; getSceneApi must not be used afterwards.
    virtual void close() = 0;
};

}  // namespace orv
