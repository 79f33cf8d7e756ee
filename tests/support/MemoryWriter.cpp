#include "support/MemoryWriter.h"

#include <cstdlib>

namespace support {

#ifdef _WIN32
// No memory streams on Windows: a temporary file, deleted when closed, read back.
MemoryFile::MemoryFile() : stream_(std::tmpfile()) {}

MemoryFile::~MemoryFile() {
    std::fclose(stream_);
}

std::string MemoryFile::text() {
    std::fflush(stream_);
    const long end = std::ftell(stream_);
    std::string all(end > 0 ? static_cast<size_t>(end) : 0, '\0');
    std::fseek(stream_, 0, SEEK_SET);
    all.resize(std::fread(all.data(), 1, all.size(), stream_));
    std::fseek(stream_, 0, SEEK_END);
    return all;
}
#else
MemoryFile::MemoryFile() : stream_(::open_memstream(&buffer_, &size_)) {}

MemoryFile::~MemoryFile() {
    std::fclose(stream_);
    std::free(buffer_);
}

std::string MemoryFile::text() {
    std::fflush(stream_);
    return std::string(buffer_, size_);
}
#endif

std::string MemoryFile::take() {
    const std::string all = text();
    const size_t from = seen_;
    seen_ = all.size();
    return all.substr(from);
}

std::string writerText(const std::function<void(orvScene_api&)>& calls, bool binaryArrays) {
    MemoryWriter writer(binaryArrays);
    calls(writer.api());
    return writer.finish();
}

}  // namespace support
