// Times the render command on the sample design and on the large synthetic
// design: the first click (a new scene: every body travels) and a second click
// without changes (an update: no body travels), and prints their ratio.
//
//   render_bench [--help] [--parts N] [--rounds N] [--updates N] [--load N]
//
// --load N keeps N threads of busy loops running through the measurements, for
// the numbers of a machine under load.
//
// Everything runs in a private sandbox: the renderer stand-in is installed into
// a temporary folder with its own registry hive and instance folder, started
// once before the measurements and ended at the end. Each round renders under a
// new document name, so that its first click is a new scene for the renderer.
// Between clicks the bench waits until the renderer has written what it received
// (outside the measured time). Best of the rounds; within a round the click
// without changes is repeated (--updates, default 5), each repetition being a
// second click again, since nothing changed.
// Target: second click / first click <= 0.05 for the large design.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

#include "SummaryLine.h"
#include "SyntheticDesign.h"
#include "addin/RenderFlow.h"
#include "host/Session.h"
#include "tools/fusion-sim/DesignLoader.h"

extern char** environ;

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

const fs::path kStandin = QUORELL_STANDIN_PATH;
const fs::path kSend = QUORELL_SEND_PATH;
const fs::path kSample = QUORELL_SAMPLE_DESIGN;

// Starts a program with the current environment, its output into a file.
pid_t start(const std::vector<std::string>& arguments, const fs::path& output) {
    std::vector<char*> argv;
    for (const auto& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, output.c_str(), O_WRONLY | O_CREAT | O_APPEND,
                                     0644);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    pid_t pid = -1;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

int finish(pid_t pid) {
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

struct Sandbox {
    fs::path root;
    fs::path log;
    pid_t renderer = -1;

    bool open() {
        root = fs::temp_directory_path() / ("quorell-render-bench-" + std::to_string(getpid()));
        fs::create_directories(root);
        log = root / "bench.log";
        setenv("QUORELL_REGISTRY_DIR", (root / "registry").c_str(), 1);
        setenv("QUORELL_RUNTIME_DIR", (root / "instances").c_str(), 1);
        setenv("XDG_DATA_HOME", (root / "data").c_str(), 1);
        const fs::path prefix = root / "Quorell 12";
        const pid_t installer = start(
            {kStandin.string(), "install", "--prefix", prefix.string(), "--ports", "39400-39499"},
            log);
        if (installer < 0 || finish(installer) != 0) {
            std::cerr << "render_bench: installing the renderer stand-in failed, see " << log
                      << "\n";
            return false;
        }
        // Started here, so that the clicks measure transfers and not the start-up.
        renderer = start({(prefix / "bin" / "quorell-standin").string(), "--no-pictures"}, log);
        for (int i = 0;
             i < 1000 && !fs::exists(root / "instances" / (std::to_string(renderer) + ".instance"));
             ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        if (renderer < 0 ||
            !fs::exists(root / "instances" / (std::to_string(renderer) + ".instance"))) {
            std::cerr << "render_bench: the renderer stand-in did not come up, see " << log << "\n";
            return false;
        }
        return true;
    }

    // The renderer answers a scene query only after it wrote the last transfer.
    void settle() const {
        const pid_t p =
            start({kSend.string(), "--describe", std::to_string(renderer)}, root / "describe.txt");
        if (p > 0) finish(p);
    }

    ~Sandbox() {
        if (renderer > 0) {
            kill(renderer, SIGTERM);
            finish(renderer);
        }
        std::error_code ec;
        if (!root.empty()) fs::remove_all(root, ec);
    }
};

size_t triangles(const host::DocumentData& doc) {
    size_t n = 0;
    for (const auto& product : doc.products) {
        if (!product.design) continue;
        for (const auto& c : product.design->components)
            for (const auto& b : c.bodies)
                for (const auto& f : b.faces)
                    for (const auto& m : f.meshes) n += m.indices.size() / 3;
    }
    return n;
}

double seconds(const std::function<void()>& work) {
    const auto begin = Clock::now();
    work();
    return std::chrono::duration<double>(Clock::now() - begin).count();
}

// Threads that only spin, for as long as the object lives.
class BusyLoad {
  public:
    explicit BusyLoad(int threads) {
        for (int i = 0; i < threads; ++i)
            spinners_.emplace_back([this] {
                volatile unsigned long n = 0;
                while (!stop_.load(std::memory_order_relaxed)) n = n + 1;
            });
    }
    ~BusyLoad() {
        stop_ = true;
        for (std::thread& t : spinners_) t.join();
    }

  private:
    std::atomic<bool> stop_{false};
    std::vector<std::thread> spinners_;
};

std::string loadAverage() {
    std::ifstream in("/proc/loadavg");
    std::string one, five, fifteen;
    in >> one >> five >> fifteen;
    return one + " " + five + " " + fifteen;
}

struct Timing {
    double first = 1e300;
    double second = 1e300;
};

// Best of the rounds; each round is a new document name, hence a new scene.
Timing measure(host::DocumentData doc, int rounds, int updates, const Sandbox& sandbox) {
    Timing best;
    const std::string name = doc.name;
    for (int r = 0; r < rounds; ++r) {
        doc.name = name + " round " + std::to_string(r + 1) + " v1";
        host::resetApplication();
        auto document = host::openDocument(doc);
        auto app = adsk::core::Application::get();
        DesignConverter converter(app, app->userInterface());
        best.first = std::min(best.first, seconds([&] { renderDocument(converter, document); }));
        sandbox.settle();
        for (int u = 0; u < updates; ++u) {
            best.second =
                std::min(best.second, seconds([&] { renderDocument(converter, document); }));
            sandbox.settle();
        }
        if (!host::shownMessageBoxes().empty()) {
            std::cerr << "render_bench: " << host::shownMessageBoxes().back().text << "\n";
            std::exit(1);
        }
    }
    return best;
}

}  // namespace

int main(int argc, char** argv) {
    int parts = 250;
    int rounds = 3;
    int updates = 5;
    int load = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--help" || a == "-h") {
            std::cout << "usage: render_bench [--parts N] [--rounds N] [--updates N] [--load N]\n"
                         "Times the first render click (new scene) and a second click without\n"
                         "changes (update) for the sample design and a synthetic design of N\n"
                         "parts (default 250, about one million triangles), against a renderer\n"
                         "stand-in installed into a temporary folder. Best of N rounds (3);\n"
                         "the click without changes is repeated N times per round (5).\n"
                         "--load N runs N busy-loop threads meanwhile (default 0).\n";
            return 0;
        }
        if ((a == "--parts" || a == "--rounds" || a == "--updates" || a == "--load") &&
            i + 1 < argc) {
            const int value = std::atoi(argv[++i]);
            if (a == "--load" ? value < 0 || value > 64 : value < 1) {
                std::cerr << "render_bench: " << a << " needs a "
                          << (a == "--load" ? "number from 0 to 64" : "positive number") << "\n";
                return 2;
            }
            (a == "--parts" ? parts : a == "--rounds" ? rounds : a == "--updates" ? updates : load) = value;
        } else {
            std::cerr << "render_bench: unknown or incomplete option " << a
                      << " (see render_bench --help)\n";
            return 2;
        }
    }

    Sandbox sandbox;
    if (!sandbox.open()) return 1;

    const fs::path synthetic = sandbox.root / "synthetic.json";
    std::ofstream(synthetic) << makeDesign(parts).dump();
    struct Row {
        std::string label;
        host::DocumentData doc;
    };
    std::vector<Row> rows;
    rows.push_back(
        {"sample (" + kSample.filename().string() + ")", fusionsim::loadDesign(kSample.string())});
    rows.push_back({"synthetic, " + std::to_string(parts) + " parts",
                    fusionsim::loadDesign(synthetic.string())});

    std::printf("load average at start: %s; busy-loop threads: %d\n", loadAverage().c_str(), load);
    const BusyLoad busy(load);
    std::printf("%-32s %10s %14s %15s %13s\n", "design", "triangles", "first click ms",
                "second click ms", "second/first");
    double largeRatio = 0;
    for (const Row& row : rows) {
        const Timing t = measure(row.doc, rounds, updates, sandbox);
        const double ratio = t.second / t.first;
        largeRatio = ratio;
        std::printf("%-32s %10zu %14.1f %15.1f %13.4f\n", row.label.c_str(), triangles(row.doc),
                    t.first * 1e3, t.second * 1e3, ratio);
    }
    std::printf("target second/first <= 0.05 for the large design: %s (%.4f)\n",
                largeRatio <= 0.05 ? "met" : "NOT met", largeRatio);
    std::printf("load average at end: %s\n", loadAverage().c_str());
    const std::string what = "render: unchanged second click / first, large design" +
                             (load ? ", " + std::to_string(load) + " busy threads" : std::string());
    summaryLine(what.c_str(), largeRatio, "<=", 0.05);
    return 0;
}
