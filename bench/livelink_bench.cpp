// Live link against text export: a one-million-triangle scene sent to a
// renderer stand-in instance (until disconnect returns) and written as a .bip
// text file, in one run; then an update in which no component changed, whose
// bytes are compared with the first transfer's.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "importers/sceneapi/orvScene_api_file.h"
#include "livelib/InstanceRecords.h"
#include "livelib/LiveQueryApi.h"
#include "livelib/LiveSceneApi.h"
#include "livelib/SampleScene.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

double msSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1) {
        std::printf(
            "Usage: livelink_bench\n"
            "Sends a one-million-triangle scene over the live link to a renderer stand-in\n"
            "and writes it as a .bip text file; prints both times, their ratio and the\n"
            "bytes of a no-change update against the first transfer.\n");
        return std::string(argv[1]) == "--help" ? 0 : 2;
    }
    const fs::path temp =
        fs::temp_directory_path() / ("quorell-livelink-bench-" + std::to_string(::getpid()));
    fs::create_directories(temp);
    ::setenv("QUORELL_RUNTIME_DIR", (temp / "run").c_str(), 1);
    ::setenv("QUORELL_REGISTRY_DIR", (temp / "registry").c_str(), 1);
    const int port = 30000 + static_cast<int>(::getpid() % 20000);
    const std::string ports = std::to_string(port) + "-" + std::to_string(port + 20);

    const pid_t renderer = ::fork();
    if (renderer == 0) {
        ::execl(QUORELL_STANDIN_PATH, "quorell-standin", "--ports", ports.c_str(), "--resources",
                (temp / "resources").c_str(), "--idle-exit", "600", static_cast<char*>(nullptr));
        ::_exit(127);
    }
    livelink::InstanceRecord record;
    for (int i = 0;
         i < 1000 && !livelink::readInstanceRecord(livelink::instanceRecordPath(renderer), &record);
         ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    if (record.livelinkPort == 0) {
        std::fprintf(stderr, "livelink_bench: the renderer stand-in did not start\n");
        ::kill(renderer, SIGKILL);
        ::waitpid(renderer, nullptr, 0);
        return 1;
    }

    livelink::SampleSceneOptions scene;
    scene.name = "Benchmark";
    scene.components = 20;
    scene.trianglesPerComponent = 50000;
    const long triangles = long(scene.components) * scene.trianglesPerComponent;

    livelink::LiveSceneApi live;
    livelink::LiveQueryApi query;
    // The renderer writes its own .bip after acknowledging; a description
    // query returns once that is done, so the next run starts on a quiet renderer.
    auto settle = [&]() {
        if (query.attachInstance(renderer)) {
            query.sceneDescription();
            query.detachInstance();
        }
    };
    auto transfer = [&](const livelink::SampleSceneOptions& options, uint64_t* bytes) {
        const auto start = Clock::now();
        live.id(1);
        bool ok = live.connect("localhost", record.livelinkPort, 4);
        if (ok) {
            livelink::writeSampleScene(live, options);
            ok = live.disconnect();
        }
        const double ms = msSince(start);
        *bytes = live.bytesSent();
        settle();
        return ok ? ms : -1.0;
    };
    const fs::path textFile = temp / "export.bip";
    auto exportText = [&]() {
        const auto start = Clock::now();
        FILE* file = std::fopen(textFile.c_str(), "wb");
        {
            orvScene_api_file writer(file, false);
            writer.setFlags(1);
            livelink::writeSampleScene(writer, scene);
        }
        std::fclose(file);
        return msSince(start);
    };

    std::vector<double> linkMs, textMs;
    uint64_t firstBytes = 0;
    bool failed = false;
    for (int round = 0; round < 3; ++round) {
        const double ms = transfer(scene, &firstBytes);
        if (ms < 0) failed = true;
        linkMs.push_back(ms);
        textMs.push_back(exportText());
    }
    livelink::SampleSceneOptions update = scene;
    update.update = true;
    uint64_t updateBytes = 0;
    if (transfer(update, &updateBytes) < 0) failed = true;

    const double link = median(linkMs), text = median(textMs);
    std::printf("livelink_bench: %ld triangles in %d components (median of 3 runs)\n", triangles,
                scene.components);
    std::printf("  text export (.bip):        %9.1f ms  (%.1f MB)\n", text,
                double(fs::file_size(textFile)) / 1e6);
    std::printf("  live link until disconnect:%9.1f ms  (%.1f MB sent)\n", link,
                double(firstBytes) / 1e6);
    std::printf("  ratio text / link:         %9.2fx  (target >= 2x)\n", text / link);
    std::printf("  first transfer bytes:      %llu\n", static_cast<unsigned long long>(firstBytes));
    std::printf("  no-change update bytes:    %llu  (%.4f%% of the first; target < 1%%)\n",
                static_cast<unsigned long long>(updateBytes),
                100.0 * double(updateBytes) / double(firstBytes));

    ::kill(renderer, SIGTERM);
    ::waitpid(renderer, nullptr, 0);
    std::error_code ec;
    fs::remove_all(temp, ec);
    if (failed) {
        std::fprintf(stderr, "livelink_bench: a transfer failed\n");
        return 1;
    }
    return 0;
}
