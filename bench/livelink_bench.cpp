// Live link against raw loopback TCP and against text export: a
// one-million-triangle scene (its meshes made beforehand) sent to a renderer
// stand-in instance (until disconnect returns), the same number of bytes sent
// over a plain loopback connection to a thread that reads them and answers
// one byte, and the scene written as a .bip text file, in one run; then an
// update in which no component changed, whose bytes are compared with the
// first transfer's.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "SummaryLine.h"
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

// Sends `bytes` from memory over a fresh loopback connection to a thread that
// reads them all and answers one byte; milliseconds from connecting until the
// answer arrived, or -1 when a socket call failed. The thread keeps what it
// reads in new memory (as a renderer keeps a scene), or with `reuse` reads
// everything into one 4 MiB buffer that it overwrites.
double rawLoopback(const std::vector<uint8_t>& bytes, bool reuse) {
    const int listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (listener < 0 || ::bind(listener, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
        ::listen(listener, 1) != 0 ||
        ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        if (listener >= 0) ::close(listener);
        return -1;
    }
    std::thread receiver([&] {
        const int fd = ::accept(listener, nullptr, nullptr);
        if (fd < 0) return;
        const size_t size = reuse ? size_t{4} << 20 : bytes.size();
        const std::unique_ptr<uint8_t[]> in(new uint8_t[size]);
        size_t received = 0;
        while (received < bytes.size()) {
            const size_t at = reuse ? 0 : received;
            const ssize_t n = ::recv(fd, in.get() + at, std::min(size - at, bytes.size() - received), 0);
            if (n <= 0) break;
            received += size_t(n);
        }
        const uint8_t ack = 0;
        (void)::send(fd, &ack, 1, MSG_NOSIGNAL);
        ::close(fd);
    });
    const auto start = Clock::now();
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    bool ok = fd >= 0 && ::connect(fd, reinterpret_cast<sockaddr*>(&address), length) == 0;
    int one = 1;
    if (ok) ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    for (size_t sent = 0; ok && sent < bytes.size();) {
        const ssize_t n = ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        ok = n > 0;
        if (ok) sent += size_t(n);
    }
    uint8_t ack = 1;
    ok = ok && ::recv(fd, &ack, 1, 0) == 1;
    const double ms = msSince(start);
    if (fd >= 0) ::close(fd);
    receiver.join();
    ::close(listener);
    return ok ? ms : -1.0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::string(argv[1]) != "--help" && std::string(argv[1]) != "-h") {
        std::fprintf(stderr, "livelink_bench: unknown argument \"%s\" (see --help)\n", argv[1]);
        return 2;
    }
    if (argc > 1) {
        std::printf(
            "Usage: livelink_bench\n"
            "Sends a one-million-triangle scene (meshes made beforehand) over the live link\n"
            "to a renderer stand-in, the same number of bytes over raw loopback TCP, and\n"
            "writes the scene as a .bip text file; prints the times, their ratios and the\n"
            "bytes of a no-change update against the first transfer.\n");
        return 0;
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
                (temp / "resources").c_str(), "--idle-exit", "600", "--no-pictures", static_cast<char*>(nullptr));
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
    // Made once: the transfers and the export below time the writing alone.
    const std::vector<livelink::SampleMesh> meshes = livelink::makeSampleMeshes(scene);

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
            livelink::writeSampleScene(live, options, &meshes);
            ok = live.disconnect();
        }
        const double ms = msSince(start);
        if (!ok) std::fprintf(stderr, "livelink_bench: transfer failed: %s\n", live.lastError().c_str());
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
            livelink::writeSampleScene(writer, scene, &meshes);
        }
        std::fclose(file);
        return msSince(start);
    };

    std::vector<double> linkMs, rawMs, reusedMs, textMs;
    uint64_t firstBytes = 0;
    bool failed = false;
    std::vector<uint8_t> rawBytes;
    for (int round = 0; round < 5; ++round) {
        const double ms = transfer(scene, &firstBytes);
        if (ms < 0) failed = true;
        linkMs.push_back(ms);
        if (rawBytes.empty()) rawBytes.assign(firstBytes, 0x5A);
        const double raw = rawLoopback(rawBytes, false), reused = rawLoopback(rawBytes, true);
        if (raw < 0 || reused < 0) failed = true;
        rawMs.push_back(raw);
        reusedMs.push_back(reused);
        textMs.push_back(exportText());
    }
    livelink::SampleSceneOptions update = scene;
    update.update = true;
    uint64_t updateBytes = 0;
    if (transfer(update, &updateBytes) < 0) failed = true;

    const double link = median(linkMs), raw = median(rawMs), text = median(textMs);
    std::printf("livelink_bench: %ld triangles in %d components (median of 5 runs)\n", triangles,
                scene.components);
    std::printf("  raw loopback TCP, same bytes, kept:        %9.1f ms\n", raw);
    std::printf("  raw loopback TCP, same bytes, one buffer:  %9.1f ms\n", median(reusedMs));
    std::printf("  text export (.bip):                       %9.1f ms  (%.1f MB)\n", text,
                double(fs::file_size(textFile)) / 1e6);
    std::printf("  live link until disconnect:               %9.1f ms  (%.1f MB sent)\n", link,
                double(firstBytes) / 1e6);
    std::printf("  ratio link / raw TCP kept:                %9.2fx  (target <= 1.2x)\n", link / raw);
    std::printf("  ratio text / link:                        %9.2fx  (target >= 2x)\n", text / link);
    summaryLine("live link: first transfer / raw TCP (kept)", link / raw, "<=", 1.2);
    summaryLine("live link: no-change update bytes / first, %", 100.0 * double(updateBytes) / double(firstBytes), "<", 1);
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
