// A private renderer installation for end-to-end render tests: registry hive,
// instance records and the stand-in's program and resource folders all live in
// one temporary folder, and every renderer started there is ended afterwards.
#pragma once

#include <fcntl.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace e2e {

namespace fs = std::filesystem;

inline std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

inline size_t count(const std::string& text, const std::string& what) {
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

// Runs a program with the current environment, standard output and error into
// a file; its exit status, or -1 when it could not run or was killed.
inline int runProgram(const std::vector<std::string>& arguments, const fs::path& output) {
    std::vector<char*> argv;
    for (const auto& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    pid_t pid = 0;
    const int started = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (started != 0) return -1;
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Running and not merely waiting to be reaped (an ended renderer is nobody's
// child here and may stay a zombie for a while).
inline bool alive(pid_t pid) {
    if (::kill(pid, 0) != 0) return false;
    const std::string stat = readFile("/proc/" + std::to_string(pid) + "/stat");
    const size_t close = stat.rfind(')');
    return close == std::string::npos || close + 2 >= stat.size() || stat[close + 2] != 'Z';
}

// A loopback port that nothing listened on a moment ago.
inline int unusedPort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    socklen_t length = sizeof address;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    ::close(fd);
    return ntohs(address.sin_port);
}

class RendererSandbox : public testing::Test {
  protected:
    void SetUp() override {
        root = fs::temp_directory_path() /
               ("quorell-render-e2e-" + std::to_string(::getpid()) + "-" +
                testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root);
        fs::create_directories(root);
        prefix = root / "Quorell 12";
        // Everything the add-in, the live library and the renderer look up stays in root.
        ::setenv("QUORELL_REGISTRY_DIR", (root / "registry").c_str(), 1);
        ::setenv("QUORELL_RUNTIME_DIR", (root / "instances").c_str(), 1);
        ::setenv("XDG_DATA_HOME", (root / "data").c_str(), 1);
    }

    void TearDown() override {
        stopRenderers();
        fs::remove_all(root);
    }

    // Installs the renderer stand-in with a live-link port range of its own.
    void install(int minPort, int maxPort) {
        const int status = runProgram({RENDERER, "install", "--prefix", prefix.string(), "--ports",
                                       std::to_string(minPort) + "-" + std::to_string(maxPort)},
                                      root / "install.txt");
        ASSERT_EQ(status, 0) << readFile(root / "install.txt");
    }
    void install() {
        const int port = unusedPort();
        install(port, port + 9);
    }

    // Process ids of the renderers whose instance records are published.
    std::vector<pid_t> renderers() const {
        std::vector<pid_t> pids;
        std::error_code ec;
        for (const auto& entry : fs::directory_iterator(root / "instances", ec)) {
            if (entry.path().extension() == ".instance")
                pids.push_back(static_cast<pid_t>(std::atol(entry.path().stem().c_str())));
        }
        return pids;
    }

    // Returns once every renderer has finished what it received: each one
    // answers a scene query only after the transfers before it are written.
    void settle() {
        for (pid_t pid : renderers()) {
            runProgram({SEND, "--describe", std::to_string(pid)}, root / "describe.txt");
        }
    }

    // The merged scene the renderer holds for the desk lamp, as it wrote it.
    std::string scene() {
        settle();
        return readFile(prefix / "resources" / "scenes" / "Desk Lamp.bip");
    }

    // Ends the renderers this sandbox started (they are not our children).
    void stopRenderers() {
        for (pid_t pid : renderers()) {
            ::kill(pid, SIGTERM);
            for (int i = 0; i < 500 && alive(pid); ++i)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            if (alive(pid)) ::kill(pid, SIGKILL);
            fs::remove(root / "instances" / (std::to_string(pid) + ".instance"));
        }
        std::error_code ec;
        fs::remove_all(prefix / "resources" / "scenes", ec);
    }

    // A copy of an example design, changed by edit; texture paths stay valid.
    fs::path design(const std::string& example,
                    const std::function<void(nlohmann::json&)>& edit = {}) {
        nlohmann::json doc = nlohmann::json::parse(readFile(fs::path(EXAMPLES_DIR) / example));
        absoluteTextures(doc);
        if (edit) edit(doc);
        const fs::path path = root / ("design-" + std::to_string(++designs) + ".json");
        std::ofstream(path) << doc.dump(1);
        return path;
    }

    // Runs a fusion-sim session; its output (message boxes, errors) in `output`.
    int session(const std::vector<std::string>& steps, std::string& output) {
        std::string script;
        for (const auto& s : steps) script += s + "\n";
        std::ofstream(root / "session.txt") << script;
        const int status = runProgram(
            {FUSION_SIM, "--script", (root / "session.txt").string(), "--addin", ADDIN_LIBRARY},
            root / "session-output.txt");
        output = readFile(root / "session-output.txt");
        return status;
    }

    fs::path root;
    fs::path prefix;

  private:
    static void absoluteTextures(nlohmann::json& value) {
        if (value.is_string()) {
            const std::string text = value.get<std::string>();
            if (text.rfind("textures/", 0) == 0) value = (fs::path(EXAMPLES_DIR) / text).string();
        } else if (value.is_structured()) {
            for (auto& item : value) absoluteTextures(item);
        }
    }

    int designs = 0;
};

// From the root group on: the model set itself, without what precedes it.
inline std::string modelSet(const std::string& scene) {
    const size_t at = scene.find("\ngroup \"Desk Lamp\"");
    return at == std::string::npos ? std::string() : scene.substr(at);
}

// Component groups carry "changed" (32769) or "unchanged" (1); the bodies below
// them are what a comparison of two merged scenes is about.
inline std::string withoutChangeMarks(std::string text) {
    const std::string changed = "flags 32769\n";
    for (size_t at = text.find(changed); at != std::string::npos; at = text.find(changed, at))
        text.replace(at, changed.size(), "flags 1\n");
    return text;
}

}  // namespace e2e
