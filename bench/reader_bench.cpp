// Reads a one-million-triangle scene with the .bip reader and compares, in one
// run: reading the text file against writing it with the file writer, and
// reading the binary-array file against fread of the same bytes. The two
// sides of each comparison take turns, round by round, so that a change in
// the machine's load meets both; the medians are compared.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <unistd.h>

#include "SummaryLine.h"
#include "importers/bip/BipReader.h"
#include "importers/sceneapi/NullSceneApi.h"
#include "importers/sceneapi/orvScene_api_file.h"

namespace fs = std::filesystem;

namespace {

constexpr int kRounds = 7;

// A grid of (n+1)^2 vertices with normals and uvs: 2 n^2 triangles.
struct Mesh {
    std::vector<float> vertices, normals, uvs;
    std::vector<int32_t> triangles;
};

Mesh makeMesh(int n) {
    Mesh mesh;
    for (int j = 0; j <= n; ++j)
        for (int i = 0; i <= n; ++i) {
            const float x = i * 0.37f, y = j * 0.29f, z = std::sin(x * 0.1f) * std::cos(y * 0.1f) * 12.5f;
            mesh.vertices.insert(mesh.vertices.end(), {x, y, z});
            mesh.normals.insert(mesh.normals.end(), {0.1234f, -0.5678f, 0.8141f});
            mesh.uvs.insert(mesh.uvs.end(), {static_cast<float>(i) / n, static_cast<float>(j) / n});
        }
    for (int j = 0; j < n; ++j)
        for (int i = 0; i < n; ++i) {
            const int a = j * (n + 1) + i, b = a + 1, c = a + n + 1, d = c + 1;
            mesh.triangles.insert(mesh.triangles.end(), {a, b, d, a, d, c});
        }
    return mesh;
}

void writeScene(const Mesh& mesh, const std::string& path, bool binary) {
    FILE* f = std::fopen(path.c_str(), "wb");
    {
        orvScene_api_file api(f, binary);
        api.setFlags(binary ? 3 : 1);
        api.beginGroup("bench", true);
        api.beginObject("mesh", true);
        api.beginGeometry("triangles");
        const ArrayRef vertices{mesh.vertices.data(), static_cast<int32_t>(mesh.vertices.size() / 3)};
        const ArrayRef triangles{mesh.triangles.data(), static_cast<int32_t>(mesh.triangles.size())};
        const ArrayRef uvs{mesh.uvs.data(), static_cast<int32_t>(mesh.uvs.size())};
        const ArrayRef normals{mesh.normals.data(), static_cast<int32_t>(mesh.normals.size() / 3)};
        api.attribute("vertices", vtFloat3Array, &vertices);
        api.attribute("triangles", vtIntArray, &triangles);
        api.attribute("uv_tex", vtFloatArray, &uvs);
        api.attribute("normals", vtFloat3Array, &normals);
        api.endGeometry();
        api.endObject();
        api.endGroup();
    }
    std::fclose(f);
}

double seconds(const std::function<void()>& run) {
    const auto start = std::chrono::steady_clock::now();
    run();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Median times of two jobs run in turns, after one untimed turn of each (the
// first use of fresh memory costs a page fault per page on both sides).
std::pair<double, double> inTurns(const std::function<void()>& a, const std::function<void()>& b) {
    a();
    b();
    std::vector<double> ta, tb;
    for (int i = 0; i < kRounds; ++i) {
        ta.push_back(seconds(a));
        tb.push_back(seconds(b));
    }
    return {median(ta), median(tb)};
}

std::string loadAverage() {
    std::string text;
    if (FILE* f = std::fopen("/proc/loadavg", "r")) {
        char line[128] = {};
        if (std::fgets(line, sizeof line, f)) text = line;
        std::fclose(f);
    }
    while (!text.empty() && text.back() == '\n') text.pop_back();
    return text.empty() ? "unknown" : text;
}

}  // namespace

int main(int argc, char** argv) {
    const bool help = argc > 1 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0);
    if (argc > 1 && !help) {
        std::fprintf(stderr, "reader_bench: unknown argument \"%s\" (see --help)\n", argv[1]);
        return 2;
    }
    if (help) {
        std::printf(
            "Usage: reader_bench\n"
            "Writes a one-million-triangle scene (text, then binary arrays) with the file\n"
            "writer and reads it with the .bip reader; prints the median of %d rounds of each,\n"
            "reading against writing (text) and against fread of the same bytes (binary),\n"
            "the two sides of a comparison taking turns.\n",
            kRounds);
        return 0;
    }
    const fs::path folder = fs::temp_directory_path() / ("reader_bench_" + std::to_string(::getpid()));
    fs::create_directories(folder);
    const std::string text = (folder / "text.bip").string(), binary = (folder / "binary.bip").string();
    const Mesh mesh = makeMesh(708);  // 1,002,528 triangles
    const std::string loadAtStart = loadAverage();
    std::printf("mesh: %zu triangles, %zu vertices, median of %d rounds\n\n", mesh.triangles.size() / 3,
                mesh.vertices.size() / 3, kRounds);

    orv::NullSceneApi sink;
    writeScene(mesh, text, false);
    const auto [writeText, readText] = inTurns([&] { writeScene(mesh, text, false); },
                                               [&] { orv::bip::readSceneFile(text, sink); });
    writeScene(mesh, binary, true);
    // fread into memory taken for each read, not filled with zeros first: what
    // the reader itself does before it reads the scene.
    const size_t binarySize = fs::file_size(binary);
    const auto [freadBinary, readBinary] = inTurns(
        [&] {
            FILE* f = std::fopen(binary.c_str(), "rb");
            const auto bytes = std::make_unique_for_overwrite<char[]>(binarySize);
            if (std::fread(bytes.get(), 1, binarySize, f) != binarySize) std::perror("fread");
            std::fclose(f);
        },
        [&] { orv::bip::readSceneFile(binary, sink); });
    const auto textBytes = fs::file_size(text), binaryBytes = fs::file_size(binary);
    std::printf("%-36s %10s %10s\n", "case", "time ms", "MB");
    std::printf("%-36s %10.1f %10.1f\n", "text: write with the file writer", writeText * 1e3, textBytes / 1e6);
    std::printf("%-36s %10.1f %10.1f\n", "text: read with the reader", readText * 1e3, textBytes / 1e6);
    std::printf("%-36s %10.1f %10.1f\n", "binary: fread of the file", freadBinary * 1e3, binaryBytes / 1e6);
    std::printf("%-36s %10.1f %10.1f\n", "binary: read with the reader", readBinary * 1e3, binaryBytes / 1e6);
    std::printf("\n%-40s %8s %8s\n", "ratio", "measured", "target");
    std::printf("%-40s %7.2fx %7s\n", "text: read / write", readText / writeText, "<= 1x");
    std::printf("%-40s %7.2fx %7s\n", "binary: read / fread", readBinary / freadBinary, "<= 1.5x");
    std::printf("load average at start: %s; at end: %s\n", loadAtStart.c_str(), loadAverage().c_str());
    summaryLine("reader: text read / write", readText / writeText, "<=", 1);
    summaryLine("reader: binary read / fread", readBinary / freadBinary, "<=", 1.5);
    fs::remove_all(folder);
    return 0;
}
