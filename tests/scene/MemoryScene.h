// A scene written into memory through the real file writer, with indentation
// and text arrays on as in an export; text() is what the nodes wrote after the
// wrapper's opening lines.
#pragma once

#include <string>
#include <vector>

#include "importers/sceneapi/orvScene_api_file.h"
#include "importers/sceneapi/orvSceneapi_oo.h"
#include "scene/LightFactory.h"
#include "support/MemoryWriter.h"

namespace orv::test {

// The file writer, also noting where each array value's data lives.
class ArrayWatchingWriter : public orvScene_api_file {
  public:
    using orvScene_api_file::orvScene_api_file;
    std::vector<const void*> arrayData;
    bool attribute(const char* name, ValueType type, const void* value) override {
        if (type & vtArray) arrayData.push_back(static_cast<const ArrayRef*>(value)->data);
        return orvScene_api_file::attribute(name, type, value);
    }
};

class MemoryScene : public LightFactory {
  public:
    MemoryScene() : writer(memory.stream(), false), oo(*this) {
        writer.setFlags(1);
        opening = memory.text().size();
    }
    orvScene_api* getSceneApi() override { return &writer; }
    void writeHeader(orvSceneapi_oo&) override {}
    void close() override {}

    std::string text() { return memory.text().substr(opening); }

  private:
    support::MemoryFile memory;
    size_t opening = 0;

  public:
    ArrayWatchingWriter writer;
    orvSceneapi_oo oo;
};

}  // namespace orv::test
