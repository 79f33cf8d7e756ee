#include "support/MemoryWriter.h"

#include <cstdlib>

namespace support {

MemoryFile::MemoryFile() : stream_(::open_memstream(&buffer_, &size_)) {}

MemoryFile::~MemoryFile() {
    std::fclose(stream_);
    std::free(buffer_);
}

std::string MemoryFile::text() {
    std::fflush(stream_);
    return std::string(buffer_, size_);
}

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
