// What the add-in requires of the renderer's live library: the exported entry
// point, the shared object it returns, and the query interface. The live
// library implements these classes; their virtual operation order is a binary
// contract.
#pragma once

#include <cstdint>

class orvScene_api;

// Lists the running renderer instances and describes an attached instance's scene.
class QueryApi {
public:
    // XML list of running instances (owned by the library), or null.
    virtual const char* listInstances() = 0;
    // True when the instance with that process id can now be queried.
    virtual bool attachInstance(int64_t processId) = 0;
    virtual void reservedQuery3() = 0;
    // Ends the attachment; called once after every successful attachInstance.
    virtual void detachInstance() = 0;
    virtual void reservedQuery5() = 0;
    virtual void reservedQuery6() = 0;
    // XML description of the attached instance's scene (owned by the library), or null.
    virtual const char* sceneDescription() = 0;

protected:
    ~QueryApi() = default;  // owned and destroyed by the library
};

// The object returned by the entry point; the add-in destroys it when it
// unloads the library.
class SharedHandle {
public:
    virtual ~SharedHandle() = default;
    // The live scene output object; owned by the library.
    virtual orvScene_api* sceneApi() = 0;
    // The query object; owned by the library.
    virtual QueryApi* queryApi() = 0;
};

// Signature of the exported entry point "quorell_live_initialize".
using QuorellLiveInitialize = SharedHandle* (*)();
inline constexpr const char* kQuorellLiveEntryPoint = "quorell_live_initialize";
