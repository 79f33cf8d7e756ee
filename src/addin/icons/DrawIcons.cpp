// quorell-icons: draws the add-in's button icons (see --help). Each icon is a few
// shapes in unit coordinates, sampled 4 x 4 times per pixel for smooth edges.

#include <png.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <iostream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

using Rgba = std::array<double, 4>;  // straight alpha, 0..1

// Paints one point (x, y in 0..1, y down) over what lies below.
using Painter = std::function<Rgba(double x, double y, bool dark)>;

Rgba over(const Rgba& top, const Rgba& below) {
    const double a = top[3] + below[3] * (1 - top[3]);
    if (a <= 0) return {0, 0, 0, 0};
    Rgba out{};
    for (int c = 0; c < 3; ++c) out[c] = (top[c] * top[3] + below[c] * below[3] * (1 - top[3])) / a;
    out[3] = a;
    return out;
}

// A lit sphere: the render button.
Rgba renderIcon(double x, double y, bool dark) {
    Rgba pixel{0, 0, 0, 0};
    // Its shadow on the floor.
    const double sx = (x - 0.55) / 0.36, sy = (y - 0.86) / 0.08;
    if (sx * sx + sy * sy < 1) pixel = over({0, 0, 0, dark ? 0.45 : 0.25}, pixel);
    const double cx = (x - 0.5) / 0.38, cy = (y - 0.46) / 0.38;
    const double r2 = cx * cx + cy * cy;
    if (r2 < 1) {
        const double nz = std::sqrt(1 - r2);
        // Light from the upper left, towards the viewer.
        const double lx = -0.5, ly = -0.6, lz = 0.62;
        const double diffuse = std::max(0.0, cx * lx + cy * ly + nz * lz);
        const double highlight = std::pow(std::max(0.0, cx * lx + cy * ly + nz * lz), 24);
        const Rgba base = dark ? Rgba{0.45, 0.70, 1.0, 1} : Rgba{0.10, 0.40, 0.85, 1};
        Rgba lit{};
        for (int c = 0; c < 3; ++c)
            lit[c] = std::min(1.0, base[c] * (0.25 + 0.75 * diffuse) + highlight);
        lit[3] = 1;
        pixel = over(lit, pixel);
    }
    return pixel;
}

// A page with a folded corner and an arrow leaving it: the export button.
Rgba exportIcon(double x, double y, bool dark) {
    Rgba pixel{0, 0, 0, 0};
    const Rgba paper = dark ? Rgba{0.85, 0.85, 0.88, 1} : Rgba{1, 1, 1, 1};
    const Rgba edge = dark ? Rgba{0.95, 0.95, 0.97, 1} : Rgba{0.35, 0.35, 0.40, 1};
    const double left = 0.14, right = 0.70, top = 0.08, bottom = 0.92, fold = 0.18;
    const bool inPage = x > left && x < right && y > top && y < bottom && (x - (right - fold)) < (y - top);
    if (inPage) {
        const double border = 0.06;
        const bool onEdge = x < left + border || x > right - border || y < top + border ||
                            y > bottom - border || (x - (right - fold)) > (y - top) - border * 1.4;
        pixel = over(onEdge ? edge : paper, pixel);
        // Lines of text.
        for (double line = 0.38; line < 0.75; line += 0.14)
            if (!onEdge && y > line && y < line + 0.05 && x > left + 0.12 && x < right - 0.14)
                pixel = over({edge[0], edge[1], edge[2], 0.6}, pixel);
    }
    // The arrow: a shaft and a head pointing right.
    const Rgba green = dark ? Rgba{0.45, 0.90, 0.50, 1} : Rgba{0.10, 0.60, 0.20, 1};
    const bool shaft = x > 0.44 && x < 0.76 && y > 0.64 && y < 0.78;
    const bool head = x >= 0.70 && x < 0.96 && std::fabs(y - 0.71) < (0.96 - x) * 0.85;
    if (shaft || head) pixel = over(green, pixel);
    return pixel;
}

// libpng reports errors by longjmp: nothing here changes after the setjmp.
bool encode(FILE* file, int size, const std::vector<unsigned char>& rgba) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, png_uint_32(size), png_uint_32(size), 8, PNG_COLOR_TYPE_RGBA,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int row = 0; row < size; ++row)
        png_write_row(png, &rgba[size_t(row) * size_t(size) * 4]);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

bool writePng(const fs::path& path, int size, const Painter& paint, bool dark) {
    std::vector<unsigned char> rgba(size_t(size) * size_t(size) * 4);
    constexpr int kSamples = 4;
    for (int py = 0; py < size; ++py) {
        for (int px = 0; px < size; ++px) {
            double sum[4] = {0, 0, 0, 0};
            for (int sy = 0; sy < kSamples; ++sy) {
                for (int sx = 0; sx < kSamples; ++sx) {
                    const double x = (px + (sx + 0.5) / kSamples) / size;
                    const double y = (py + (sy + 0.5) / kSamples) / size;
                    const Rgba c = paint(x, y, dark);
                    for (int k = 0; k < 3; ++k) sum[k] += c[k] * c[3];
                    sum[3] += c[3];
                }
            }
            unsigned char* out = &rgba[(size_t(py) * size_t(size) + size_t(px)) * 4];
            const double alpha = sum[3] / (kSamples * kSamples);
            for (int k = 0; k < 3; ++k)
                out[k] = (unsigned char)std::lround(sum[3] > 0 ? 255 * sum[k] / sum[3] : 0);
            out[3] = (unsigned char)std::lround(255 * alpha);
        }
    }
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    const bool encoded = encode(file, size, rgba);
    return std::fclose(file) == 0 && encoded;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string first = argc > 1 ? argv[1] : "";
    if (argc != 2 || first == "--help" || first == "-h") {
        std::cout << "usage: quorell-icons FOLDER\n\n"
                     "Draws the add-in's button icons into FOLDER/render_command and\n"
                     "FOLDER/export_command: 16x16.png and 32x32.png, their @2x forms and\n"
                     "their -dark forms for the dark theme.\n";
        return argc == 2 ? 0 : 2;
    }
    if (first.starts_with("-")) {
        std::cerr << "quorell-icons: unknown option " << first << " (see --help)\n";
        return 2;
    }
    const fs::path folder = argv[1];
    const std::pair<const char*, Painter> icons[] = {{"render_command", renderIcon},
                                                     {"export_command", exportIcon}};
    for (const auto& [name, paint] : icons) {
        std::error_code error;
        fs::create_directories(folder / name, error);
        for (int size : {16, 32}) {
            for (bool dark : {false, true}) {
                for (int scale : {1, 2}) {
                    const std::string file = std::to_string(size) + "x" + std::to_string(size) +
                                             (dark ? "-dark" : "") + (scale == 2 ? "@2x" : "") +
                                             ".png";
                    if (!writePng(folder / name / file, size * scale, paint, dark)) {
                        std::cerr << "quorell-icons: cannot write " << (folder / name / file).string()
                                  << std::endl;
                        return 1;
                    }
                }
            }
        }
    }
    return 0;
}
