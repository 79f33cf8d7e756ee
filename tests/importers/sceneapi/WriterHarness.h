// A file writer on a temporary stream, with the text written so far.
#pragma once

#include <cstdio>
#include <memory>
#include <string>

#include "importers/sceneapi/orvScene_api_file.h"

class WriterHarness {
  public:
    explicit WriterHarness(bool binaryArrays = false)
        : file(std::tmpfile()), writer(std::make_unique<orvScene_api_file>(file, binaryArrays)) {}
    ~WriterHarness() {
        writer.reset();
        std::fclose(file);
    }

    orvScene_api_file& api() { return *writer; }

    // Everything written to the stream so far.
    std::string text() {
        std::fflush(file);
        std::fseek(file, 0, SEEK_END);
        const long size = std::ftell(file);
        std::string content(static_cast<size_t>(size), '\0');
        std::rewind(file);
        const size_t got = std::fread(content.data(), 1, content.size(), file);
        content.resize(got);
        std::fseek(file, 0, SEEK_END);
        return content;
    }

    // The text written since the last call.
    std::string take() {
        std::string all = text();
        std::string fresh = all.substr(seen);
        seen = all.size();
        return fresh;
    }

    // Destroys the writer (flushing it) and returns the whole stream.
    std::string finish() {
        writer.reset();
        return text();
    }

  private:
    FILE* file;
    std::unique_ptr<orvScene_api_file> writer;
    size_t seen = 0;
};

inline std::string chunkString(const TextChunk* chunk) {
    return chunk && chunk->data ? std::string(chunk->data, static_cast<size_t>(chunk->length))
                                : std::string();
}
