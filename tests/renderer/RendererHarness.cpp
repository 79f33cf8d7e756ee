#include "RendererHarness.h"

#include <arpa/inet.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>
#include <thread>

#include "livelib/InstanceRecords.h"

namespace fs = std::filesystem;

namespace harness {

TempFolder::TempFolder() {
    std::string pattern = (fs::temp_directory_path() / "quorell-renderer-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

TempFolder::~TempFolder() {
    std::error_code ec;
    fs::remove_all(path_, ec);
}

sockaddr_in loopback(int port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

namespace {

bool portFree(int port) {
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    const sockaddr_in address = loopback(port);
    const bool free = ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return free;
}

}  // namespace

int freePortRange(int count) {
    std::mt19937 random(static_cast<unsigned>(::getpid()) * 7919u +
                        static_cast<unsigned>(::time(nullptr)));
    for (int attempt = 0; attempt < 200; ++attempt) {
        const int base = 30000 + static_cast<int>(random() % 25000u);
        bool all = true;
        for (int p = base; p < base + count && all; ++p) all = portFree(p);
        if (all) return base;
    }
    throw std::runtime_error("no free port range");
}

RendererProcess::~RendererProcess() {
    if (pid_ > 0) kill();
}

void RendererProcess::start(const std::string& program, const std::vector<std::string>& arguments,
                            const std::string& logFile) {
    const pid_t child = ::fork();
    if (child == 0) {
        const int log = ::open(logFile.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
        if (log >= 0) ::dup2(log, 2);
        std::vector<char*> argv;
        argv.push_back(const_cast<char*>(program.c_str()));
        for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
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
    for (int i = 0; i < 1000; ++i) {
        livelink::InstanceRecord record;
        if (!running()) return false;
        if (livelink::readInstanceRecord(livelink::instanceRecordPath(pid_), &record)) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

int RendererProcess::waitForExit() {
    for (int i = 0; i < 3000 && running(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return pid_ > 0 ? -1 : status_;
}

void RendererProcess::terminate() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGTERM);
    if (waitForExit() == -1) kill();
}

void RendererProcess::kill() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGKILL);
    int status = 0;
    ::waitpid(pid_, &status, 0);
    status_ = 128 + SIGKILL;
    pid_ = -1;
}

LiveLibrary::LiveLibrary() {
    module_ = ::dlopen(liveLibraryPath().c_str(), RTLD_NOW | RTLD_LOCAL);
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
    if (!query().attachInstance(pid)) return {};
    const char* xml = query().sceneDescription();
    std::string text = xml ? xml : "";
    query().detachInstance();
    return text;
}

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

std::string standinProgram() {
    return QUORELL_STANDIN_PATH;
}
std::string liveLibraryPath() {
    return QUORELL_LIVE_LIBRARY_PATH;
}

}  // namespace harness
