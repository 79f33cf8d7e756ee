#pragma once
// Reading a whole input file whose size nobody promised: folders, endless
// devices and files beyond a size are refused instead of filling memory.

#include <cstddef>
#include <filesystem>
#include <string>

namespace fusionsim {

// The file's bytes in text, or false with the cause (without the file name)
// in cause: a folder, a file that cannot be read, or one larger than maxBytes.
bool readBoundedFile(const std::string& path, size_t maxBytes, std::string* text,
                     std::string* cause);

// "64 MiB" for a power-of-two size of whole MiB, else "N bytes".
std::string sizeText(size_t bytes);

}  // namespace fusionsim
