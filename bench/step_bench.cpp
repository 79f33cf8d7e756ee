// Times opening the sample STEP files and exporting them, stage by stage, and
// compares the default deflection (relative to the model's size) with an
// absolute 0.1 mm.
//
//   step_bench [--help] [--rounds N] [--data FOLDER] [FILE...]
//
// Stages, best of the rounds, in milliseconds:
//   read      OpenCASCADE parses the STEP file            (loading process)
//   transfer  XCAF document from the STEP entities        (loading process)
//   mesh      BRepMesh on every distinct part             (loading process)
//   convert   XCAF document to design records             (loading process)
//   load      the whole load as the host program sees it: process start, the
//             four stages above, the records through the pipe
//   cpu       processor time of the loading process (on a busy machine the
//             stages' wall times grow, this does not)
//   host      host document records and the host objects built from them
//   write     the add-in's export: conversion to the scene graph and the .bip file
// Then the same with an absolute 0.1 mm (1 mm for as1_motor.step, whose 300 m
// would take minutes and gigabytes at 0.1 mm), and the ratios.
// Targets: AS1 (as1-oc-214-mat.stp) load + host + write well under a second;
// as1_motor.step a few seconds.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "addin/ExportFlow.h"
#include "host/Session.h"
#include "step/HostDocument.h"
#include "step/IsolatedLoad.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

const char* const kSamples[] = {"as1-oc-214-mat.stp",
                                "trj6_as1-hc-214.stp",
                                "trj7_as1-pe-214.stp",
                                "as1_motor.step",
                                "bug25381_test_assembly_invisible.step",
                                "bug28345_30338.stp",
                                "trj7_c1-hc-214.stp",
                                "trj6_c1-ug-214.stp"};

struct Times {
    double read = 1e30, transfer = 1e30, mesh = 1e30, convert = 1e30;
    double load = 1e30, cpu = 1e30, host = 1e30, write = 1e30;
    std::size_t triangles = 0;
    double total() const { return load + host + write; }
};

double seconds(const std::function<void()>& work) {
    const auto start = Clock::now();
    work();
    return std::chrono::duration<double>(Clock::now() - start).count();
}

std::size_t triangleCount(const steploader::Design& design) {
    std::size_t n = 0;
    for (const auto& c : design.components) {
        for (const auto& b : c.bodies) {
            for (const auto& f : b.faces) n += f.mesh.indices.size() / 3;
        }
    }
    return n;
}

Times measure(const std::string& path, const steploader::Options& options, int rounds,
              const fs::path& output) {
    Times best;
    for (int round = 0; round < rounds; ++round) {
        steploader::Design design;
        best.load = std::min(best.load,
                             seconds([&] { design = steploader::loadStepDesign(path, options); }));
        best.read = std::min(best.read, design.timings.read);
        best.transfer = std::min(best.transfer, design.timings.transfer);
        best.mesh = std::min(best.mesh, design.timings.mesh);
        best.convert = std::min(best.convert, design.timings.convert);
        best.cpu = std::min(best.cpu, design.timings.loaderCpu);
        best.triangles = triangleCount(design);

        adsk::core::Ptr<adsk::core::Document> document;
        best.host = std::min(
            best.host, seconds([&] {
                host::resetApplication();
                document = host::openDocument(steploader::toHostDocument(std::move(design)));
            }));
        best.write = std::min(best.write, seconds([&] {
                                  auto app = adsk::core::Application::get();
                                  DesignConverter converter(app, app->userInterface());
                                  host::answerNextFileDialog(output.string());
                                  exportDocument(converter, document);
                              }));
    }
    return best;
}

void printRow(const std::string& name, const Times& t) {
    auto ms = [](double s) { return s * 1000.0; };
    std::printf("%-40s %7.1f %8.1f %7.1f %7.1f | %7.1f %7.1f %7.1f %7.1f | %8.1f %9zu\n",
                name.c_str(), ms(t.read), ms(t.transfer), ms(t.mesh), ms(t.convert), ms(t.load),
                ms(t.cpu), ms(t.host), ms(t.write), ms(t.total()), t.triangles);
}

}  // namespace

int main(int argc, char** argv) {
    int rounds = 3;
    std::string data = std::getenv("QUORELL_SHARED_DATA") ? std::getenv("QUORELL_SHARED_DATA") : "";
    if (data.empty()) data = (fs::path(argv[0]).parent_path() / "../../../shared/data").string();
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--help" || a == "-h") {
            std::printf(
                "usage: step_bench [--rounds N] [--data FOLDER] [FILE...]\n"
                "Times loading, meshing, converting and exporting STEP files (default:\n"
                "the samples in FOLDER/step, FOLDER from QUORELL_SHARED_DATA).\n");
            return 0;
        } else if (a == "--rounds" && i + 1 < argc) {
            rounds = std::max(1, std::atoi(argv[++i]));
        } else if (a == "--data" && i + 1 < argc) {
            data = argv[++i];
        } else if (!a.empty() && a[0] == '-') {
            std::fprintf(stderr, "step_bench: unknown option %s (see --help)\n", a.c_str());
            return 2;
        } else {
            files.push_back(a);
        }
    }
    if (files.empty()) {
        for (const char* name : kSamples) files.push_back(data + "/step/" + name);
    }
    const fs::path output =
        fs::temp_directory_path() / ("step_bench_" + std::to_string(::getpid()) + ".bip");

    std::printf("milliseconds, best of %d; default deflection: 0.001 x model diagonal, 0.5 rad\n",
                rounds);
    std::printf("%-40s %7s %8s %7s %7s | %7s %7s %7s %7s | %8s %9s\n", "file", "read", "transfer",
                "mesh", "convert", "load", "cpu", "host", "write", "total", "triangles");
    struct Pair {
        std::string name;
        Times relative, absolute;
    };
    std::vector<Pair> pairs;
    try {
        for (const std::string& file : files) {
            const std::string name = fs::path(file).filename().string();
            const Times t = measure(file, {}, rounds, output);
            printRow(name, t);
            pairs.push_back({name, t, {}});
        }
        std::printf("\nthe same with an absolute deflection of 0.1 mm (0.01 cm), 0.5 rad\n");
        steploader::Options fine;
        fine.deflection = 0.01;
        for (std::size_t i = 0; i < files.size(); ++i) {
            if (pairs[i].name == "as1_motor.step") {
                // 0.1 mm on a 300 m model takes minutes and gigabytes: 1 mm shows the trend.
                steploader::Options coarser;
                coarser.deflection = 0.1;
                pairs[i].absolute = measure(files[i], coarser, 1, output);
                printRow(pairs[i].name + " (1 mm)", pairs[i].absolute);
                continue;
            }
            pairs[i].absolute = measure(files[i], fine, 1, output);
            printRow(pairs[i].name, pairs[i].absolute);
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "step_bench: %s\n", e.what());
        fs::remove(output);
        return 1;
    }
    fs::remove(output);

    std::printf("\nratios absolute / default: triangles, total time\n");
    for (const Pair& p : pairs) {
        std::printf(
            "%-40s %8.2f %8.2f\n", p.name.c_str(),
            double(p.absolute.triangles) / double(std::max<std::size_t>(1, p.relative.triangles)),
            p.absolute.total() / p.relative.total());
    }
    return 0;
}
