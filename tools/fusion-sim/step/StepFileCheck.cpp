#include "step/StepFileCheck.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "step/StepDesign.h"

namespace steploader {

void checkStepFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw LoadError(path + ": cannot open: " + std::strerror(errno));
    std::error_code error;
    if (std::filesystem::is_directory(path, error)) throw LoadError(path + ": is a directory");

    std::string head(256, '\0');
    in.read(head.data(), static_cast<std::streamsize>(head.size()));
    head.resize(static_cast<std::size_t>(in.gcount()));
    const std::size_t start = head.find_first_not_of(" \t\r\n");
    if (start == std::string::npos || head.compare(start, 13, "ISO-10303-21;") != 0) {
        throw LoadError(path + ": not a STEP file (no ISO-10303-21 header)");
    }

    in.clear();
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    const std::streamoff tailSize = std::min<std::streamoff>(size, 4096);
    std::string tail(static_cast<std::size_t>(tailSize), '\0');
    in.seekg(size - tailSize);
    in.read(tail.data(), tailSize);
    if (tail.find("END-ISO-10303-21") == std::string::npos) {
        throw LoadError(path + ": truncated STEP file (no END-ISO-10303-21 trailer)");
    }
}

}  // namespace steploader
