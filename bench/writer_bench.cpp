// Writes the arrays of a one-million-triangle mesh with the scene file writer
// and with reference writers kept here, checks that the outputs are the same
// bytes, and prints the times and speed ratios.
//
//   writer_bench [--help] [--rounds N] [--dir FOLDER]
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "SummaryLine.h"
#include "importers/sceneapi/ParallelText.h"
#include "importers/sceneapi/orvScene_api_file.h"

#ifdef WRITER_BENCH_SCENE_NODES
#include <time.h>

#include <memory>

#include "importers/sceneapi/orvSceneapi_oo.h"
#include "scene/LightFactory.h"
#include "scene/TriangleObject.h"
#endif

namespace {

struct Mesh {
    std::vector<float> points;   // triples
    std::vector<float> normals;  // triples
    std::vector<float> uvs;      // pairs, written as plain floats
    std::vector<int32_t> indices;
};

// A wavy grid of 708 x 708 vertices: 999,698 triangles, 501,264 vertices.
Mesh makeMesh() {
    const int n = 708;
    Mesh mesh;
    mesh.points.reserve(3 * n * n);
    for (int j = 0; j < n; ++j) {
        for (int i = 0; i < n; ++i) {
            const float x = static_cast<float>(i) * 0.173f - 61.2f;
            const float y = static_cast<float>(j) * 0.0917f + 3.5f;
            const float z = std::sin(x * 0.37f) * std::cos(y * 0.61f) * 12.5f;
            mesh.points.insert(mesh.points.end(), {x, y, z});
            const float nx = -std::cos(x * 0.37f) * 0.2f, ny = std::sin(y * 0.61f) * 0.3f;
            const float len = std::sqrt(nx * nx + ny * ny + 1.0f);
            mesh.normals.insert(mesh.normals.end(), {nx / len, ny / len, 1.0f / len});
            mesh.uvs.insert(mesh.uvs.end(),
                            {static_cast<float>(i) / (n - 1), static_cast<float>(j) / (n - 1)});
        }
    }
    for (int j = 0; j + 1 < n; ++j) {
        for (int i = 0; i + 1 < n; ++i) {
            const int32_t a = j * n + i, b = a + 1, c = a + n, d = c + 1;
            mesh.indices.insert(mesh.indices.end(), {a, b, d, a, d, c});
        }
    }
    return mesh;
}

// ---- the scene file writer --------------------------------------------------

void writeWithWriter(FILE* f, const Mesh& mesh, bool binary) {
    orvScene_api_file writer(f, binary);
    writer.setFlags(binary ? 3 : 1);  // indentation on
    writer.beginObject("mesh", true);
    writer.beginGeometry("triangles");
    const ArrayRef points{mesh.points.data(), static_cast<int32_t>(mesh.points.size() / 3)};
    const ArrayRef normals{mesh.normals.data(), static_cast<int32_t>(mesh.normals.size() / 3)};
    const ArrayRef uvs{mesh.uvs.data(), static_cast<int32_t>(mesh.uvs.size())};
    const ArrayRef indices{mesh.indices.data(), static_cast<int32_t>(mesh.indices.size())};
    writer.attribute("points", vtFloat3Array, &points);
    writer.attribute("normals", vtFloat3Array, &normals);
    writer.attribute("uvs", vtFloatArray, &uvs);
    writer.attribute("triangles", vtIntArray, &indices);
    writer.endGeometry();
    writer.endObject();
}

// ---- reference: one fprintf per value ---------------------------------------

template <class Element>
void referenceArray(FILE* f, const char* name, int32_t count, Element element) {
    std::fprintf(f, "  \"%s\" [ ", name);
    for (int32_t i = 0; i < count; ++i) {
        element(i);
        std::fputc(i < count - 1 ? ',' : ' ', f);
        if (i >= 1 && i % 8 == 0) std::fputs("\n  ", f);
    }
    std::fputs("] ,\n", f);
}

void writeReference(FILE* f, const Mesh& mesh) {
    std::fprintf(f, "object \"%s\" {\n", "mesh");
    std::fprintf(f, " geometry \"%s\" {\n", "triangles");
    const float* p = mesh.points.data();
    referenceArray(f, "points", static_cast<int32_t>(mesh.points.size() / 3), [&](int32_t i) {
        std::fprintf(f, "%g %g %g", p[3 * i], p[3 * i + 1], p[3 * i + 2]);
    });
    const float* n = mesh.normals.data();
    referenceArray(f, "normals", static_cast<int32_t>(mesh.normals.size() / 3), [&](int32_t i) {
        std::fprintf(f, "%g %g %g", n[3 * i], n[3 * i + 1], n[3 * i + 2]);
    });
    const float* uv = mesh.uvs.data();
    referenceArray(f, "uvs", static_cast<int32_t>(mesh.uvs.size()), [&](int32_t i) {
        const double v = uv[i];
        std::fprintf(f, "%g", (v > -3.4028235e38 && v < 3.4028235e38) ? v : -1.0);
    });
    const int32_t* t = mesh.indices.data();
    referenceArray(f, "triangles", static_cast<int32_t>(mesh.indices.size()),
                   [&](int32_t i) { std::fprintf(f, "%d", t[i]); });
    std::fputs(" }\n}\n", f);
}

// ---- reference: the raw bytes in one fwrite per array -------------------------

void writeRawBytes(FILE* f, const Mesh& mesh) {
    std::fwrite(mesh.points.data(), 4, mesh.points.size(), f);
    std::fwrite(mesh.normals.data(), 4, mesh.normals.size(), f);
    std::fwrite(mesh.uvs.data(), 4, mesh.uvs.size(), f);
    std::fwrite(mesh.indices.data(), 4, mesh.indices.size(), f);
}

// ---- timing ------------------------------------------------------------------

// One timed case: a writer and the file it writes into.
struct Case {
    std::string path;
    std::function<void(FILE*)> write;
    double best = 1e30;
};

// Runs every case once per round, one after the other, so that all of them see
// the same machine load; keeps the best time of each, in seconds.
void timeCases(std::vector<Case*> cases, int rounds) {
    for (int r = 0; r < rounds; ++r) {
        for (Case* c : cases) {
            FILE* f = std::fopen(c->path.c_str(), "wb");
            if (!f) {
                std::perror(c->path.c_str());
                std::exit(1);
            }
            const auto start = std::chrono::steady_clock::now();
            c->write(f);
            std::fclose(f);
            const auto stop = std::chrono::steady_clock::now();
            c->best = std::min(c->best, std::chrono::duration<double>(stop - start).count());
        }
    }
}

std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string binaryBlock(char tag, uint32_t count, const void* data, size_t bytes) {
    std::string s = "[ ";
    s += "\x01\x02\x03";
    s += tag;
    for (int k = 0; k < 4; ++k) s += static_cast<char>((count >> (8 * k)) & 0xFF);
    s.append(static_cast<const char*>(data), bytes);
    return s + "] ";
}

std::string expectedBinary(const Mesh& mesh) {
    std::string s = "object \"mesh\" {\n geometry \"triangles\" {\n";
    s +=
        "  \"points\" " +
        binaryBlock('c', uint32_t(mesh.points.size()), mesh.points.data(), 4 * mesh.points.size()) +
        ",\n";
    s += "  \"normals\" " +
         binaryBlock('c', uint32_t(mesh.normals.size()), mesh.normals.data(),
                     4 * mesh.normals.size()) +
         ",\n";
    s += "  \"uvs\" " +
         binaryBlock('f', uint32_t(mesh.uvs.size()), mesh.uvs.data(), 4 * mesh.uvs.size()) + ",\n";
    s += "  \"triangles\" " +
         binaryBlock('i', uint32_t(mesh.indices.size()), mesh.indices.data(),
                     4 * mesh.indices.size()) +
         ",\n";
    return s + " }\n}\n";
}

#ifdef WRITER_BENCH_SCENE_NODES
// ---- a TriangleObject node through the object wrapper ------------------------

// Hands the wrapper a writer on the file, as the file factory does.
class WriterOnFile : public orv::LightFactory {
  public:
    WriterOnFile(FILE* f, bool binary) : writer(f, binary) {}
    orvScene_api* getSceneApi() override { return &writer; }
    void writeHeader(orv::orvSceneapi_oo&) override {}
    void close() override {}
    orvScene_api_file writer;
};

std::unique_ptr<orv::TriangleObject> makeNode(const Mesh& mesh) {
    auto node = std::make_unique<orv::TriangleObject>("mesh");
    node->setVertices(mesh.points.data(), mesh.points.size());
    node->setTriangles(mesh.indices.data(), mesh.indices.size());
    node->setUvs(mesh.uvs.data(), mesh.uvs.size());
    node->setNormals(mesh.normals.data(), mesh.normals.size());
    return node;
}

void writeNode(FILE* f, orv::TriangleObject& node, bool binary) {
    WriterOnFile target(f, binary);
    orv::orvSceneapi_oo oo(target);
    target.writer.setFlags(binary ? 3 : 1);
    oo.writeNode(node);
}

// Exactly the statements of writeNode, made on the writer itself with the
// node's own arrays, so that both sides read the same memory.
void writeNodeStatements(FILE* f, const orv::TriangleObject& node, bool binary) {
    orvScene_api_file writer(f, binary);
    writer.print(orv::orvSceneapi_oo::banner().c_str());
    writer.version(9);
    writer.setFlags(binary ? 3 : 1);
    writer.beginObject("mesh", true);
    writer.flags(0);
    writer.beginGeometry("triangles");
    auto arrayOf = [](const auto& values, size_t perElement) {
        return ArrayRef{values.data(), static_cast<int32_t>(values.size() / perElement)};
    };
    const ArrayRef points = arrayOf(node.getVertices(), 3);
    const ArrayRef indices = arrayOf(node.getTriangles(), 1);
    const ArrayRef uvs = arrayOf(node.getUvs(), 1);
    const ArrayRef normals = arrayOf(node.getNormals(), 3);
    writer.attribute("vertices", vtFloat3Array, &points);
    writer.attribute("triangles", vtIntArray, &indices);
    writer.attribute("uv_tex", vtFloatArray, &uvs);
    writer.attribute("normals", vtFloat3Array, &normals);
    writer.endGeometry();
    writer.beginMaterial("default", true);
    writer.defineShader("orv_diffuse", 1);
    const float diffuse[3] = {0.75f, 0.5f, 0.5f};
    writer.attribute("diffuse", vtFloat3, diffuse);
    writer.endShader();
    writer.bindShaderId(0, 1);
    writer.flags(4096);
    writer.endMaterial();
    writer.endObject();
}

// Output of one write into a growing memory stream.
std::string writeToMemory(const std::function<void(FILE*)>& write) {
    char* data = nullptr;
    size_t size = 0;
    FILE* f = open_memstream(&data, &size);
    write(f);
    std::fclose(f);
    std::string out(data, size);
    std::free(data);
    return out;
}

// Processor time of this thread: other processes on a busy machine do not
// count, as they would in wall-clock time.
double threadSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// Times the node against the direct statements in text and binary form and
// prints the ratios; false when the two outputs differ. Both write into one
// preallocated memory buffer, so that file system costs do not hide the
// difference between the two sides.
bool compareNodeWithDirect(const Mesh& mesh, int rounds) {
    auto node = makeNode(mesh);
    bool same = true;
    std::printf(
        "\nTriangleObject through the wrapper against the same statements on the writer\n"
        "(written into memory, best processor time of the rounds):\n");
    for (bool binary : {false, true}) {
        const std::function<void(FILE*)> sides[2] = {
            [&](FILE* f) { writeNode(f, *node, binary); },
            [&](FILE* f) { writeNodeStatements(f, *node, binary); }};
        const std::string outputs[2] = {writeToMemory(sides[0]), writeToMemory(sides[1])};
        const bool identical = outputs[0] == outputs[1];
        same = same && identical;
        std::vector<char> buffer(outputs[0].size() + 4096);
        double best[2] = {1e30, 1e30};
        for (int r = 0; r < (binary ? 8 : 3) * rounds; ++r) {
            for (int side = 0; side < 2; ++side) {
                FILE* f = fmemopen(buffer.data(), buffer.size(), "w");
                const double start = threadSeconds();
                sides[side](f);
                std::fflush(f);
                const double time = threadSeconds() - start;
                std::fclose(f);
                best[side] = std::min(best[side], time);
            }
        }
        std::printf(
            "%-6s node %8.2f ms  direct %8.2f ms  node/direct %.3fx (target <= 1.10x)"
            "  identical: %s\n",
            binary ? "binary" : "text", best[0] * 1e3, best[1] * 1e3, best[0] / best[1],
            identical ? "yes" : "NO");
    }
    return same;
}
#endif

// Wall time of formatting one float array of `numbers` values with `threads`
// threads and no size limit for threads, best of enough repetitions.
double arraySeconds(const Mesh& mesh, int32_t numbers, unsigned threads, std::vector<char>& buffer) {
    orv::setTextThreads(threads);
    orv::setParallelTextMinimum(0);
    const ArrayRef values{mesh.points.data(), numbers};
    double best = 1e30;
    const int repetitions = std::max(5, static_cast<int>((int64_t{1} << 22) / numbers));
    for (int r = 0; r < repetitions; ++r) {
        FILE* f = fmemopen(buffer.data(), buffer.size(), "w");
        const auto start = std::chrono::steady_clock::now();
        {
            orvScene_api_file writer(f, false);
            writer.beginObject("mesh", true);
            writer.beginGeometry("triangles");
            writer.attribute("uvs", vtFloatArray, &values);
            writer.endGeometry();
            writer.endObject();
        }
        std::fflush(f);
        const auto stop = std::chrono::steady_clock::now();
        std::fclose(f);
        best = std::min(best, std::chrono::duration<double>(stop - start).count());
    }
    orv::setTextThreads(0);
    orv::setParallelTextMinimum(orv::kParallelTextNumbers);
    return best;
}

// The text of one array on one thread against two threads, over array sizes:
// where the second thread starts to pay off sets kParallelTextNumbers.
void printThreadThreshold(const Mesh& mesh) {
    std::vector<char> buffer(size_t{32} << 20);
    std::printf("one float array as text, wall time, best of repetitions\n");
    std::printf("%10s %12s %12s %10s\n", "numbers", "1 thread us", "2 threads us", "2/1");
    for (int32_t numbers = 1024; numbers <= (1 << 20); numbers *= 2) {
        const double one = arraySeconds(mesh, numbers, 1, buffer);
        const double two = arraySeconds(mesh, numbers, 2, buffer);
        std::printf("%10d %12.1f %12.1f %10.3f\n", numbers, one * 1e6, two * 1e6, two / one);
    }
}

}  // namespace

int main(int argc, char** argv) {
    int rounds = 3;
    std::string dir = "/tmp";
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::printf(
                "usage: writer_bench [--rounds N] [--dir FOLDER] [--threads-threshold]\n"
                "Writes a one-million-triangle mesh with the scene file writer and with\n"
                "reference writers (one fprintf per value; one fwrite per array), checks that\n"
                "the outputs match byte for byte and prints times and speed ratios.\n"
                "Files are written to FOLDER (default /tmp) and removed afterwards.\n"
                "Built with the scene library, it also writes the mesh as a TriangleObject\n"
                "through the object wrapper against the same statements made on the writer.\n"
                "--threads-threshold times one text array on 1 and 2 threads over sizes\n"
                "from 1024 to 1048576 numbers instead.\n");
            return 0;
        } else if (arg == "--rounds" && i + 1 < argc) {
            rounds = std::max(1, std::atoi(argv[++i]));
        } else if (arg == "--threads-threshold") {
            printThreadThreshold(makeMesh());
            return 0;
        } else if (arg == "--dir" && i + 1 < argc) {
            dir = argv[++i];
        } else {
            std::fprintf(stderr, "writer_bench: unknown argument \"%s\" (see --help)\n",
                         arg.c_str());
            return 2;
        }
    }

    const Mesh mesh = makeMesh();
    std::printf("mesh: %zu triangles, %zu vertices, best of %d rounds\n\n", mesh.indices.size() / 3,
                mesh.points.size() / 3, rounds);

    const std::string tag = std::to_string(
        static_cast<long>(std::chrono::steady_clock::now().time_since_epoch().count() % 1000000));
    const std::string writerText = dir + "/writer_bench_text_" + tag + ".bip";
    const std::string referenceText = dir + "/writer_bench_reference_" + tag + ".bip";
    const std::string writerBinary = dir + "/writer_bench_binary_" + tag + ".bip";
    const std::string rawBinary = dir + "/writer_bench_raw_" + tag + ".bin";

    const std::string writerTextOne = dir + "/writer_bench_text1_" + tag + ".bip";
    Case writerTextOneCase{writerTextOne, [&](FILE* f) {
                               orv::setTextThreads(1);
                               writeWithWriter(f, mesh, false);
                               orv::setTextThreads(0);
                           }};
    Case writerTextCase{writerText, [&](FILE* f) { writeWithWriter(f, mesh, false); }};
    Case referenceCase{referenceText, [&](FILE* f) { writeReference(f, mesh); }};
    Case writerBinaryCase{writerBinary, [&](FILE* f) { writeWithWriter(f, mesh, true); }};
    Case rawCase{rawBinary, [&](FILE* f) { writeRawBytes(f, mesh); }};
    timeCases({&writerTextOneCase, &writerTextCase, &referenceCase}, rounds);
    timeCases({&writerBinaryCase, &rawCase}, 4 * rounds);  // short runs: more rounds
    const double tWriterTextOne = writerTextOneCase.best;
    const double tWriterText = writerTextCase.best;
    const double tReference = referenceCase.best;
    const double tWriterBinary = writerBinaryCase.best;
    const double tRaw = rawCase.best;

    const std::string text = readAll(writerText);
    const bool textSame = text == readAll(referenceText) && text == readAll(writerTextOne);
    const std::string binary = readAll(writerBinary);
    const bool binarySame = binary == expectedBinary(mesh);
    for (const std::string& path : {writerTextOne, writerText, referenceText, writerBinary, rawBinary})
        std::remove(path.c_str());

    std::printf("%-34s %10s %10s %9s\n", "case", "time ms", "MB", "MB/s");
    auto row = [](const char* name, double t, size_t bytes) {
        std::printf("%-34s %10.1f %10.1f %9.0f\n", name, t * 1e3, bytes / 1e6, bytes / 1e6 / t);
    };
    row("text: orvScene_api_file, 1 thread", tWriterTextOne, text.size());
    row("text: orvScene_api_file, all", tWriterText, text.size());
    row("text: fprintf per value", tReference, text.size());
    row("binary: orvScene_api_file", tWriterBinary, binary.size());
    row("binary: one fwrite per array", tRaw,
        4 * (mesh.points.size() + mesh.normals.size() + mesh.uvs.size() + mesh.indices.size()));
    std::printf("\ntext outputs identical:   %s\n", textSame ? "yes" : "NO");
    std::printf("binary output as expected: %s\n", binarySame ? "yes" : "NO");
    std::printf("text speed-up over fprintf, 1 thread: %.2fx (target >= 5x)\n",
                tReference / tWriterTextOne);
    std::printf("text speed-up over fprintf, %u threads: %.2fx\n",
                std::max(1u, std::thread::hardware_concurrency()), tReference / tWriterText);
    std::printf("binary time relative to fwrite:    %.2fx (target <= 1.5x)\n",
                tWriterBinary / tRaw);
    summaryLine("writer: text speed-up over fprintf, 1 thread", tReference / tWriterTextOne, ">=",
                5);
    summaryLine("writer: text speed-up over fprintf, all threads", tReference / tWriterText, ">=",
                5);
    summaryLine("writer: binary time / fwrite", tWriterBinary / tRaw, "<=", 1.5);
#ifdef WRITER_BENCH_SCENE_NODES
    const bool nodeSame = compareNodeWithDirect(mesh, rounds);
#else
    const bool nodeSame = true;
#endif
    return textSame && binarySame && nodeSame ? 0 : 1;
}
