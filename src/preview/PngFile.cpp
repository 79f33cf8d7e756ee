#include "preview/PngFile.h"

#include <png.h>

#include <stdexcept>

namespace preview {

void writePng(const std::string& path, const Image& image) {
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    png.width = static_cast<png_uint_32>(image.width);
    png.height = static_cast<png_uint_32>(image.height);
    png.format = PNG_FORMAT_RGB;
    if (!png_image_write_to_file(&png, path.c_str(), 0, image.rgb.data(), 0, nullptr))
        throw std::runtime_error(path + ": cannot write the picture: " + png.message);
}

bool readPng(const std::string& path, Image& image, std::string& reason) {
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&png, path.c_str())) {
        reason = png.message;
        return false;
    }
    if (png.width == 0 || png.height == 0 || png.width > 8192 || png.height > 8192) {
        png_image_free(&png);
        reason = "larger than 8192 x 8192 pixels";
        return false;
    }
    png.format = PNG_FORMAT_RGB;
    image.width = static_cast<int>(png.width);
    image.height = static_cast<int>(png.height);
    image.rgb.resize(PNG_IMAGE_SIZE(png));
    if (!png_image_finish_read(&png, nullptr, image.rgb.data(), 0, nullptr)) {
        reason = png.message;
        return false;
    }
    return true;
}

}  // namespace preview
