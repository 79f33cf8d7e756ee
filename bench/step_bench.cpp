// fusion-sim against OpenCASCADE alone on every sample STEP file, side by side
// in one run: `fusion-sim FILE --export OUT` (start, reader program, host model,
// the add-in's export) against step_occt_baseline FILE (OpenCASCADE reads,
// transfers and meshes the same file at the same deflection, in parallel).
// Both are whole programs started the same way; each round runs both, in turns
// first, so that both see the same machine. Target: fusion-sim at most 1.1 × the
// baseline's wall time, per file (the median of the rounds' ratios).
//
//   step_bench [--help] [--rounds N] [--data FOLDER] [FILE...]
//
// Then, for a look inside, the stages of one load of each file as the reader
// times them (read, transfer, mesh, convert: areas and volumes wait there if
// meshing ended first) and the loading process's processor time.
#include <fcntl.h>
#include <spawn.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "SummaryLine.h"
#include "step/IsolatedLoad.h"

extern char** environ;

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

constexpr double kTarget = 1.1;

struct Run {
    double wall = 0;  // ms
    double cpu = 0;   // ms, user + system
    std::string output;
};

// Runs a program to its end; its standard output is kept, standard error
// dropped. Exits the benchmark when the program fails.
Run runProgram(const std::vector<std::string>& arguments) {
    const fs::path captured =
        fs::temp_directory_path() / ("step_bench_out_" + std::to_string(::getpid()));
    std::vector<char*> argv;
    std::vector<std::string> copy = arguments;
    for (std::string& a : copy) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, captured.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    const auto start = Clock::now();
    pid_t child = -1;
    const int error = ::posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0) {
        std::fprintf(stderr, "step_bench: cannot start %s\n", argv[0]);
        std::exit(1);
    }
    struct rusage before {};
    ::getrusage(RUSAGE_CHILDREN, &before);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0) {
    }
    Run run;
    // The program is done when it ends; a reader program it did not wait for
    // may still be ending, and its processor time counts too.
    run.wall = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    while (::waitpid(-1, nullptr, 0) > 0) {
    }
    struct rusage after {};
    ::getrusage(RUSAGE_CHILDREN, &after);
    auto milliseconds = [](const struct rusage& u) {
        return (u.ru_utime.tv_sec + u.ru_stime.tv_sec) * 1e3 +
               (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e3;
    };
    run.cpu = milliseconds(after) - milliseconds(before);
    std::ifstream in(captured);
    std::stringstream text;
    text << in.rdbuf();
    run.output = text.str();
    fs::remove(captured);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "step_bench: %s failed (status %d)\n", argv[0], status);
        std::exit(1);
    }
    return run;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

std::string loadAverage() {
    std::ifstream in("/proc/loadavg");
    double one = 0, five = 0, fifteen = 0;
    in >> one >> five >> fifteen;
    char text[64];
    std::snprintf(text, sizeof text, "%.2f %.2f %.2f", one, five, fifteen);
    return text;
}

// The last line of the baseline's output: read transfer mesh triangles.
long baselineTriangles(const std::string& output) {
    std::string text = output;
    while (!text.empty() && text.back() == '\n') text.pop_back();
    std::istringstream last(text.substr(text.rfind('\n') + 1));
    double read = 0, transfer = 0, mesh = 0;
    long triangles = -1;
    last >> read >> transfer >> mesh >> triangles;
    return triangles;
}

std::size_t triangleCount(const steploader::Design& design) {
    std::size_t n = 0;
    for (const auto& c : design.components)
        for (const auto& b : c.bodies)
            for (const auto& f : b.faces) n += f.mesh.indices.size() / 3;
    return n;
}

}  // namespace

int main(int argc, char** argv) {
    // Programs that fusion-sim leaves to end on their own become this
    // program's children, so that their processor time is counted.
    ::prctl(PR_SET_CHILD_SUBREAPER, 1);
    int rounds = 9;
    std::string data = std::getenv("QUORELL_SHARED_DATA") ? std::getenv("QUORELL_SHARED_DATA") : "";
    if (data.empty()) data = (fs::path(argv[0]).parent_path() / "../../../shared/data").string();
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--help" || a == "-h") {
            std::printf(
                "usage: step_bench [--rounds N] [--data FOLDER] [FILE...]\n"
                "Times fusion-sim FILE --export against OpenCASCADE alone reading, transferring\n"
                "and meshing FILE (step_occt_baseline), side by side, median of N rounds\n"
                "(default 9) of the two runs' ratio; target ratio <= %.1f. Default files: the\n"
                "samples in FOLDER/step, FOLDER from QUORELL_SHARED_DATA.\n",
                kTarget);
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
    const fs::path folder = fs::path(argv[0]).parent_path();
    const std::string fusionSim = (folder / "fusion-sim").string();
    const std::string baseline = (folder / "step_occt_baseline").string();
    const std::string output =
        (fs::temp_directory_path() / ("step_bench_" + std::to_string(::getpid()) + ".bip")).string();

    std::printf("load average at start: %s\n", loadAverage().c_str());
    std::printf(
        "milliseconds, median of %d rounds; wall time of whole programs; ratio: median of the\n"
        "rounds' ratios, each of two runs side by side\n",
        rounds);
    std::printf("%-38s %9s %9s %7s | %9s %9s %7s | %9s %9s\n", "file", "occt", "fusion", "ratio",
                "occt cpu", "fus. cpu", "ratio", "occt tri", "records");
    int missed = 0;
    for (const std::string& file : files) {
        if (!fs::exists(file)) {
            std::fprintf(stderr, "step_bench: %s is absent\n", file.c_str());
            return 1;
        }
        std::vector<double> occtWall, occtCpu, simWall, simCpu, wallRatios, cpuRatios;
        long triangles = 0;
        for (int round = 0; round < rounds; ++round) {
            // Each round compares two runs next to each other, in turns first:
            // this machine's speed drifts over seconds, and a pair shares it.
            Run occt, sim;
            if (round % 2 == 0) {
                occt = runProgram({baseline, file});
                sim = runProgram({fusionSim, file, "--export", output});
            } else {
                sim = runProgram({fusionSim, file, "--export", output});
                occt = runProgram({baseline, file});
            }
            wallRatios.push_back(sim.wall / occt.wall);
            cpuRatios.push_back(sim.cpu / occt.cpu);
            occtWall.push_back(occt.wall);
            occtCpu.push_back(occt.cpu);
            simWall.push_back(sim.wall);
            simCpu.push_back(sim.cpu);
            triangles = baselineTriangles(occt.output);
        }
        steploader::Design design;
        try {
            design = steploader::loadStepDesign(file);
        } catch (const std::exception& e) {
            std::fprintf(stderr, "step_bench: %s\n", e.what());
            return 1;
        }
        const double ratio = median(wallRatios);
        if (ratio > kTarget) ++missed;
        std::printf("%-38s %9.1f %9.1f %7.3f | %9.1f %9.1f %7.3f | %9ld %9zu\n",
                    fs::path(file).filename().string().c_str(), median(occtWall), median(simWall),
                    ratio, median(occtCpu), median(simCpu), median(cpuRatios),
                    triangles, triangleCount(design));
        const std::string what = "fusion-sim --export / OpenCASCADE, " + fs::path(file).filename().string();
        summaryLine(what.c_str(), ratio, "<=", kTarget);
    }
    fs::remove(output);
    std::printf("load average at end: %s\n", loadAverage().c_str());
    std::printf("target: fusion / occt wall time <= %.1f for every file: %s (%d missed)\n", kTarget,
                missed == 0 ? "met" : "MISSED", missed);

    std::printf("\nstages of one load (reader's own clock, ms)\n");
    std::printf("%-38s %8s %9s %8s %8s %8s\n", "file", "read", "transfer", "mesh", "convert",
                "cpu");
    for (const std::string& file : files) {
        const steploader::Design design = steploader::loadStepDesign(file);
        const auto& t = design.timings;
        std::printf("%-38s %8.1f %9.1f %8.1f %8.1f %8.1f\n",
                    fs::path(file).filename().string().c_str(), t.read * 1e3, t.transfer * 1e3,
                    t.mesh * 1e3, t.convert * 1e3, t.loaderCpu * 1e3);
    }
    return 0;
}
