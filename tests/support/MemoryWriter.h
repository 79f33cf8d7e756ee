// The .bip file writer writing into memory.
#pragma once

#include <cstdio>
#include <functional>
#include <memory>
#include <string>

#include "importers/sceneapi/orvScene_api_file.h"

namespace support {

// A stream in memory; a writer of any kind may write into stream().
class MemoryFile {
  public:
    MemoryFile();
    ~MemoryFile();
    MemoryFile(const MemoryFile&) = delete;
    MemoryFile& operator=(const MemoryFile&) = delete;
    FILE* stream() const { return stream_; }
    std::string text();  // everything so far
    std::string take();  // what came since the last take

  private:
    char* buffer_ = nullptr;
    size_t size_ = 0;
    size_t seen_ = 0;
    FILE* stream_;
};

// A file writer on a memory file.
class MemoryWriter : public MemoryFile {
  public:
    explicit MemoryWriter(bool binaryArrays = false)
        : writer_(std::make_unique<orvScene_api_file>(stream(), binaryArrays)) {}
    orvScene_api_file& api() { return *writer_; }
    // Ends the writer (it writes what it still holds) and returns all it wrote.
    std::string finish() {
        writer_.reset();
        return text();
    }

  private:
    std::unique_ptr<orvScene_api_file> writer_;
};

// What the file writer makes of the calls.
std::string writerText(const std::function<void(orvScene_api&)>& calls, bool binaryArrays = false);

}  // namespace support
