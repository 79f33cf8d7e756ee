// Times the whole export of a large synthetic design against writing the same
// meshes straight through the scene writer, and prints the ratios.
//
//   export_bench [--help] [--parts N] [--rounds N] [--dir FOLDER]
//
// The design: N part components (default 250), each with three spheres and a
// cylinder, placed once each by the root (N occurrences, about 1000 bodies and one
// million triangles). Written as a design/1 file with shape generators.
//
// Measured, best of the rounds:
//   write   the same meshes as prepared scene nodes, written through the file writer
//   export  the add-in's exportDocument in this process (conversion + writing)
//   program fusion-sim DESIGN --export FILE as a child process (loading the JSON,
//           generating the shapes, building the host model, loading the add-in, export)
// Targets: export / write <= 1.3; peak memory of the program < 3 x the mesh arrays.
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "SummaryLine.h"
#include "SyntheticDesign.h"
#include "addin/ExportFlow.h"
#include "host/Session.h"
#include "importers/sceneapi/orvSceneapi_oo.h"
#include "scene/LightFileFactory.h"
#include "scene/LightModule.h"
#include "scene/Material.h"
#include "scene/OrvGroup.h"
#include "scene/TriangleObject.h"
#include "tools/fusion-sim/DesignLoader.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

struct Options {
    int parts = 250;
    int rounds = 3;
    fs::path dir;
    long long touchBytes = -1;  // --first-touch: the child that measures the memory floor
};

struct MeshTotals {
    size_t meshes = 0, triangles = 0, bodies = 0, bytes = 0;
};

MeshTotals countMeshes(const host::DocumentData& doc) {
    MeshTotals t;
    const host::DesignData& design = *doc.products.at(0).design;
    for (const auto& c : design.components) {
        for (const auto& b : c.bodies) {
            ++t.bodies;
            for (const auto& f : b.faces) {
                for (const auto& m : f.meshes) {
                    ++t.meshes;
                    t.triangles += m.indices.size() / 3;
                    t.bytes += 4 * (m.coordinates.size() + m.normals.size() +
                                    m.textureCoordinates.size() + m.indices.size());
                }
            }
        }
    }
    return t;
}

// The scene tree the export writes, made directly from the design records: one
// group per occurrence and body, one object per mesh, scaled to millimetres.
std::shared_ptr<orv::OrvGroup> prepareTree(const host::DocumentData& doc) {
    const host::DesignData& design = *doc.products.at(0).design;
    auto root = std::make_shared<orv::OrvGroup>("Synthetic Assembly");
    auto rootComponent = root->addGroup("Synthetic Assembly");
    for (const auto& occurrence : design.components.at(0).occurrences) {
        const host::ComponentData* part = nullptr;
        for (const auto& c : design.components)
            if (c.id == occurrence.component) part = &c;
        auto occurrenceGroup = rootComponent->addGroup(part->name);
        double m[16];
        for (int r = 0; r < 4; ++r)
            for (int c = 0; c < 4; ++c) m[r + 4 * c] = (*occurrence.transform)[4 * r + c];
        for (int i = 12; i < 15; ++i) m[i] *= 10.0;
        occurrenceGroup->setTransform(m);
        for (const auto& body : part->bodies) {
            auto bodyGroup = occurrenceGroup->addGroup(body.name);
            auto sub = bodyGroup->addGroup(body.name);
            auto material = std::make_shared<orv::FusionMaterial>();
            material->setColor(0.5f, 0.4f, 0.3f);
            for (const auto& face : body.faces) {
                for (const auto& mesh : face.meshes) {
                    auto node = std::make_shared<orv::TriangleObject>(body.name);
                    std::vector<float> v = mesh.coordinates;
                    for (float& x : v) x *= 10.0f;
                    node->setVertices(std::move(v));
                    node->setNormals(std::vector<float>(mesh.normals));
                    node->setUvs(std::vector<float>(mesh.textureCoordinates));
                    node->setTriangles(std::vector<int32_t>(mesh.indices));
                    node->setMaterial(material);
                    sub->addNode(node);
                }
            }
        }
    }
    return root;
}

void writeDirect(const fs::path& file, orv::OrvGroup& tree) {
    orv::LightFileFactory factory(file.string());
    orv::orvSceneapi_oo oo(factory);
    oo.api()->setFlags(1);
    orv::DefaultRTModule module;
    module.setMeterScale(1000.0f);
    oo.writeNode(module);
    oo.writeNode(tree);
}

// Wall-clock and CPU seconds. The machine may be shared, so CPU time is printed
// beside wall-clock time; each keeps its best value over the rounds.
struct Duration {
    double wall = 1e30;
    double cpu = 1e30;

    void keepBest(const Duration& other) {
        wall = std::min(wall, other.wall);
        cpu = std::min(cpu, other.cpu);
    }
};

double processCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec + t.tv_nsec / 1e9;
}

Duration measure(const std::function<void()>& work) {
    const auto start = Clock::now();
    const double cpuStart = processCpuSeconds();
    work();
    return {std::chrono::duration<double>(Clock::now() - start).count(),
            processCpuSeconds() - cpuStart};
}

struct InProcessTimes {
    Duration open;     // building the host model (the host program's part)
    Duration convert;  // convertDocument alone, nothing written
    Duration exportDocument;
};

// The add-in's export on an opened document; opening is timed apart from it.
InProcessTimes exportInProcess(const host::DocumentData& doc, const fs::path& file) {
    InProcessTimes times;
    host::resetApplication();
    adsk::core::Ptr<adsk::core::Document> document;
    times.open = measure([&] { document = host::openDocument(doc); });
    auto app = adsk::core::Application::get();
    DesignConverter converter(app, app->userInterface());
    converter.unitsPerCentimetre = 10.0f;
    times.convert = measure([&] { converter.convertDocument(document); });
    converter.previousSignatures.clear();
    host::answerNextFileDialog(file.string());
    times.exportDocument = measure([&] { exportDocument(converter, document); });
    return times;
}

struct ChildRun {
    Duration time;
    long maxRssKb = 0;
    long pageFaults = 0;  // first touches of memory pages
    double systemCpu = 0;
    int status = -1;
};

ChildRun runProgram(const std::vector<std::string>& argv) {
    ChildRun run;
    const auto start = Clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        std::vector<char*> args;
        for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        execv(args[0], args.data());
        std::perror(args[0]);
        _exit(127);
    }
    int status = 0;
    struct rusage usage {};
    wait4(pid, &status, 0, &usage);
    run.time.wall = std::chrono::duration<double>(Clock::now() - start).count();
    run.time.cpu = usage.ru_utime.tv_sec + usage.ru_utime.tv_usec / 1e6 + usage.ru_stime.tv_sec +
                   usage.ru_stime.tv_usec / 1e6;
    run.maxRssKb = usage.ru_maxrss;
    run.pageFaults = usage.ru_minflt + usage.ru_majflt;
    run.systemCpu = usage.ru_stime.tv_sec + usage.ru_stime.tv_usec / 1e6;
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

// This program again with --first-touch BYTES, started without fork so that
// this process's own pages are not made copy-on-write. Returns the processor
// time of writing BYTES of new memory in a new process, less that of starting
// and ending one.
double firstTouchSeconds(size_t bytes) {
    const auto cpuOf = [](size_t n) {
        const std::string self = "/proc/self/exe", count = std::to_string(n);
        char* argv[] = {const_cast<char*>(self.c_str()), const_cast<char*>("--first-touch"),
                        const_cast<char*>(count.c_str()), nullptr};
        pid_t pid = 0;
        if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv, environ) != 0)
            throw std::runtime_error("cannot start export_bench --first-touch");
        int status = 0;
        struct rusage usage {};
        wait4(pid, &status, 0, &usage);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
            throw std::runtime_error("export_bench --first-touch failed");
        return usage.ru_utime.tv_sec + usage.ru_utime.tv_usec / 1e6 + usage.ru_stime.tv_sec +
               usage.ru_stime.tv_usec / 1e6;
    };
    return std::max(0.0, cpuOf(bytes) - cpuOf(0));
}

bool parse(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto value = [&]() -> std::string {
            if (i + 1 >= argc) throw std::runtime_error(a + " needs a value");
            return argv[++i];
        };
        if (a == "--help" || a == "-h") {
            std::cout << "usage: export_bench [--parts N] [--rounds N] [--dir FOLDER]\n"
                         "Times fusion-sim DESIGN --export and the add-in's export against\n"
                         "writing the same meshes through the scene writer; prints ratios,\n"
                         "triangles per second and peak memory against the mesh arrays.\n"
                         "(--first-touch BYTES is the child it starts to time new memory.)\n";
            return false;
        } else if (a == "--parts") {
            options.parts = std::stoi(value());
        } else if (a == "--rounds") {
            options.rounds = std::stoi(value());
        } else if (a == "--dir") {
            options.dir = value();
        } else if (a == "--first-touch") {  // used by the benchmark itself
            options.touchBytes = std::stoll(value());
        } else {
            throw std::runtime_error("unknown option " + a + " (see --help)");
        }
    }
    if (options.touchBytes < -1) throw std::runtime_error("--first-touch needs a size");
    if (options.parts < 1 || options.rounds < 1)
        throw std::runtime_error("--parts and --rounds need positive numbers");
    return true;
}

}  // namespace

int run(const Options& options);

// Writes `bytes` of new memory once: what a new process pays at the least to
// hold that much.
int touchNewMemory(size_t bytes) {
    if (bytes == 0) return 0;
    char* memory = static_cast<char*>(std::malloc(bytes));
    if (!memory) return 1;
    std::memset(memory, 1, bytes);
    return memory[bytes / 2] == 1 ? 0 : 1;
}

int main(int argc, char** argv) {
    Options options;
    try {
        if (!parse(argc, argv, options)) return 0;
    } catch (const std::exception& e) {
        std::cerr << "export_bench: " << e.what() << "\n";
        return 2;
    }
    if (options.touchBytes >= 0) return touchNewMemory(size_t(options.touchBytes));
    try {
        return run(options);
    } catch (const std::exception& e) {
        std::cerr << "export_bench: " << e.what() << "\n";
        return 1;
    }
}

int run(const Options& options) {
    const fs::path bin = fs::canonical("/proc/self/exe").parent_path();
    const fs::path fusionSim = bin / "fusion-sim";
    const fs::path addin = bin / "libquorell-addin.so";
    const bool ownDir = options.dir.empty();
    const fs::path dir =
        ownDir ? fs::temp_directory_path() / ("quorell-export-bench-" + std::to_string(getpid()))
               : options.dir;
    fs::create_directories(dir);
    const fs::path designFile = dir / "synthetic.json";
    std::ofstream(designFile) << makeDesign(options.parts).dump();

    // The program runs first, while this process is small: a forked child's peak
    // memory counts the parent's pages until exec.
    Duration program;
    ChildRun bestRun;
    long maxRss = 0;
    for (int round = 0; round < options.rounds; ++round) {
        ChildRun run = runProgram({fusionSim.string(), designFile.string(), "--export",
                                   (dir / "program.bip").string(), "--addin", addin.string()});
        if (run.status != 0) {
            std::fprintf(stderr, "export_bench: fusion-sim exited with %d\n", run.status);
            return 1;
        }
        if (round == 0 || run.time.cpu < bestRun.time.cpu) bestRun = run;
        program.keepBest(run.time);
        maxRss = std::max(maxRss, run.maxRssKb);
    }

    const host::DocumentData doc = fusionsim::loadDesign(designFile.string());
    const MeshTotals totals = countMeshes(doc);
    std::printf(
        "design: %zu occurrences, %zu bodies, %zu meshes, %zu triangles, "
        "mesh arrays %.1f MB, file %.1f KB\n",
        doc.products.at(0).design->components.at(0).occurrences.size(), totals.bodies,
        totals.meshes, totals.triangles, totals.bytes / 1e6, fs::file_size(designFile) / 1e3);

    auto tree = prepareTree(doc);
    Duration write, exportTime, convertTime, openTime;
    double touchCpu = 1e30;
    for (int round = 0; round < options.rounds; ++round) {
        touchCpu = std::min(touchCpu, firstTouchSeconds(2 * totals.bytes));
        write.keepBest(measure([&] { writeDirect(dir / "direct.bip", *tree); }));
        const InProcessTimes times = exportInProcess(doc, dir / "export.bip");
        exportTime.keepBest(times.exportDocument);
        convertTime.keepBest(times.convert);
        openTime.keepBest(times.open);
    }
    const auto sizeOf = [&](const char* name) { return fs::file_size(dir / name) / 1e6; };
    std::printf("files: direct %.1f MB, export %.1f MB, program %.1f MB\n", sizeOf("direct.bip"),
                sizeOf("export.bip"), sizeOf("program.bip"));
    std::printf("%-30s %9s %9s %14s %14s\n", "best of rounds", "wall s", "cpu s", "wall / write",
                "cpu / write");
    const auto row = [&](const char* name, const Duration& d) {
        std::printf("%-30s %9.3f %9.3f %14.3f %14.3f\n", name, d.wall, d.cpu, d.wall / write.wall,
                    d.cpu / write.cpu);
    };
    row("write (prepared nodes)", write);
    row("export (add-in, in process)", exportTime);
    row("  conversion alone", convertTime);
    row("host model build (not add-in)", openTime);
    row("fusion-sim --export (program)", program);
    // The program holds every mesh twice (the host's arrays and the add-in's
    // copies, which the interface hands out as std::vector): writing that much
    // new memory for the first time is its floor.
    std::printf("%-30s %9s %9.3f %14s %14.3f\n", "  new memory, 2 x mesh arrays", "", touchCpu,
                "", touchCpu / write.cpu);
    std::printf(
        "target: export / write <= 1.3 (the program also loads and generates the design)\n");
    std::printf("triangles per second: export %.0f, whole program %.0f (wall clock)\n",
                totals.triangles / exportTime.wall, totals.triangles / program.wall);
    // A new process touches every page of its meshes for the first time; the
    // in-process rows run on memory the earlier rounds have already touched.
    std::printf("fusion-sim's fastest run: %ld page faults (%.1f MB first touched), %.3f s of its cpu "
                "in the kernel\n",
                bestRun.pageFaults, bestRun.pageFaults * 4096 / 1e6, bestRun.systemCpu);
    std::printf("peak memory of fusion-sim: %.1f MB = %.2f x the mesh arrays (target < 3)\n",
                maxRss / 1e3, maxRss * 1e3 / totals.bytes);
    summaryLine("export: in process / write, wall", exportTime.wall / write.wall, "<=", 1.3);
    summaryLine("export: in process / write, cpu", exportTime.cpu / write.cpu, "<=", 1.3);
    summaryLine("export: fusion-sim --export program / write, cpu", program.cpu / write.cpu, "<=",
                1.3);
    summaryLine("export: peak memory / mesh arrays", maxRss * 1e3 / totals.bytes, "<", 3);
    if (ownDir) fs::remove_all(dir);
    return 0;
}
