// PNG pictures through libpng's simplified interface.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace preview {

struct Image {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;  // row by row from the top, 3 bytes a pixel
};

// Throws std::runtime_error naming the file and libpng's reason.
void writePng(const std::string& path, const Image& image);

// Reads a PNG as RGB; false (and the reason) when it cannot, or when it is
// larger than 8192 x 8192.
bool readPng(const std::string& path, Image& image, std::string& reason);

}  // namespace preview
