// A scene written into memory through the real file writer, with indentation
// and text arrays on as in an export; text() is what the nodes wrote after the
// wrapper's opening lines.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "importers/sceneapi/orvScene_api_file.h"
#include "importers/sceneapi/orvSceneapi_oo.h"
#include "scene/LightFactory.h"

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
    MemoryScene() : stream(open_memstream(&buffer, &size)), writer(stream, false), oo(*this) {
        writer.setFlags(1);
        std::fflush(stream);
        opening = size;
    }
    ~MemoryScene() override {
        std::fclose(stream);
        std::free(buffer);
    }
    orvScene_api* getSceneApi() override { return &writer; }
    void writeHeader(orvSceneapi_oo&) override {}
    void close() override {}

    std::string text() {
        std::fflush(stream);
        return std::string(buffer + opening, size - opening);
    }

  private:
    char* buffer = nullptr;
    size_t size = 0;
    size_t opening = 0;
    FILE* stream;

  public:
    ArrayWatchingWriter writer;
    orvSceneapi_oo oo;
};

}  // namespace orv::test
