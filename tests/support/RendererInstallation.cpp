#include "support/RendererInstallation.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <chrono>
#include <cstdlib>
#include <stdexcept>
#include <thread>

namespace support {

namespace {

[[maybe_unused]] void pause() {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
}

#ifdef _WIN32
// Ends the process; false when there is none by that id.
bool terminate(pid_t pid) {
    HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, static_cast<DWORD>(pid));
    if (!process) return false;
    TerminateProcess(process, 137);
    WaitForSingleObject(process, 5000);
    CloseHandle(process);
    return true;
}
#else
// Running and not merely waiting to be reaped by someone else.
bool alive(pid_t pid) {
    if (::kill(pid, 0) != 0) return false;
    const std::string stat = readFile("/proc/" + std::to_string(pid) + "/stat");
    const size_t close = stat.rfind(')');
    return close == std::string::npos || close + 2 >= stat.size() || stat[close + 2] != 'Z';
}

fs::path recordPath(pid_t pid) {
    return fs::path(std::getenv("QUORELL_RUNTIME_DIR")) / (std::to_string(pid) + ".instance");
}
#endif

}  // namespace

void killProcess(pid_t pid) {
#ifdef _WIN32
    terminate(pid);
#else
    ::kill(pid, SIGKILL);
    for (int i = 0; i < 500 && alive(pid); ++i) pause();
#endif
}

RendererInstallation::RendererInstallation()
    : registry_("QUORELL_REGISTRY_DIR", (folder_ / "registry").string()),
      runtime_("QUORELL_RUNTIME_DIR", (folder_ / "instances").string()),
      data_("XDG_DATA_HOME", (folder_ / "data").string()) {
    prefix = folder_ / "Quorell 12";
}

RendererInstallation::~RendererInstallation() {
    stopRenderers();
    if (!standin_.empty()) run({standin_, "uninstall"});
}

Outcome RendererInstallation::install(const std::string& standin, int firstPort, int lastPort) {
    standin_ = standin;
    const std::vector<std::string> arguments{
        standin, "install", "--prefix", utf8(prefix),
        "--ports", std::to_string(firstPort) + "-" + std::to_string(lastPort)};
    RunOptions options;
    options.errorsIntoOutput = true;
    return run(arguments, options);
}

std::vector<pid_t> RendererInstallation::renderers() const {
    std::vector<pid_t> pids;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(root() / "instances", ec)) {
        if (entry.path().extension() == ".instance")
            pids.push_back(static_cast<pid_t>(std::atol(entry.path().stem().string().c_str())));
    }
    return pids;
}

void RendererInstallation::stopRenderers() {
    for (pid_t pid : renderers()) {
#ifdef _WIN32
        terminate(pid);
#else
        ::kill(pid, SIGTERM);
        for (int i = 0; i < 500 && alive(pid); ++i) pause();
        if (alive(pid)) ::kill(pid, SIGKILL);
#endif
        fs::remove(root() / "instances" / (std::to_string(pid) + ".instance"));
    }
}

#ifndef _WIN32

RendererProcess::~RendererProcess() {
    if (pid_ > 0) kill();
}

void RendererProcess::start(const std::string& program, const std::vector<std::string>& arguments,
                            const fs::path& logFile) {
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    const pid_t child = ::fork();
    if (child == 0) {
        const int log = ::open(logFile.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
        if (log >= 0) ::dup2(log, 2);
        ::execv(program.c_str(), argv.data());
        ::_exit(127);
    }
    pid_ = child;
}

bool RendererProcess::running() {
    if (pid_ <= 0) return false;
    int status = 0;
    if (::waitpid(pid_, &status, WNOHANG) == pid_) {
        status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        pid_ = -1;
        return false;
    }
    return true;
}

bool RendererProcess::waitUntilPublished() {
    for (int i = 0; i < 1000 && running(); ++i) {
        if (fs::exists(recordPath(pid_))) return true;  // records are renamed into place
        pause();
    }
    return false;
}

int RendererProcess::waitForExit() {
    for (int i = 0; i < 3000 && running(); ++i) pause();
    return pid_ > 0 ? -1 : status_;
}

void RendererProcess::kill() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGKILL);
    int status = 0;
    ::waitpid(pid_, &status, 0);
    status_ = 128 + SIGKILL;
    pid_ = -1;
}

LiveLibrary::LiveLibrary(const std::string& path) {
    module_ = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!module_) throw std::runtime_error(std::string("dlopen: ") + ::dlerror());
    auto entry = reinterpret_cast<QuorellLiveInitialize>(::dlsym(module_, kQuorellLiveEntryPoint));
    shared_ = entry ? entry() : nullptr;
    if (!shared_) throw std::runtime_error("no shared handle");
}

LiveLibrary::~LiveLibrary() {
    delete shared_;
    if (module_) ::dlclose(module_);
}

std::string LiveLibrary::describe(int64_t pid) {
    QueryApi& query = *shared_->queryApi();
    if (!query.attachInstance(pid)) return {};
    const char* xml = query.sceneDescription();
    std::string text = xml ? xml : "";
    query.detachInstance();
    return text;
}

#endif  // _WIN32

}  // namespace support
