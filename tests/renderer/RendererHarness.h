// Test harness for the renderer stand-in: temporary folders for the runtime
// records and the registry, free loopback port ranges, renderer processes
// that are always ended, and the live library loaded as the add-in loads it.
#pragma once

#include <netinet/in.h>
#include <sys/types.h>

#include <filesystem>
#include <string>
#include <vector>

#include "importers/sceneapi/quorelllive_api.h"

namespace harness {

// A folder under the system's temporary folder, removed at the end.
class TempFolder {
  public:
    TempFolder();
    ~TempFolder();
    const std::filesystem::path& path() const { return path_; }

  private:
    std::filesystem::path path_;
};

// count consecutive loopback ports that nobody listens on right now.
int freePortRange(int count);
sockaddr_in loopback(int port);

class RendererProcess {
  public:
    RendererProcess() = default;
    ~RendererProcess();
    RendererProcess(const RendererProcess&) = delete;
    RendererProcess& operator=(const RendererProcess&) = delete;

    // Starts the program with the arguments (standard error into logFile).
    void start(const std::string& program, const std::vector<std::string>& arguments,
               const std::string& logFile);
    // Waits (bounded) until the instance record appears; false if the process
    // ended first or never published one.
    bool waitUntilPublished();
    // Waits (bounded) for the process to end; its exit status, or -1.
    int waitForExit();
    void terminate();  // SIGTERM and wait
    void kill();       // SIGKILL and wait
    pid_t pid() const { return pid_; }
    bool running();

  private:
    pid_t pid_ = -1;
    int status_ = -1;
};

// The live library loaded with dlopen and its entry point called.
class LiveLibrary {
  public:
    LiveLibrary();
    ~LiveLibrary();
    SharedHandle* shared() const { return shared_; }
    QueryApi& query() const { return *shared_->queryApi(); }
    orvScene_api& scene() const { return *shared_->sceneApi(); }

    // attach + sceneDescription + detach; empty when the attach fails.
    std::string describe(int64_t pid);

  private:
    void* module_ = nullptr;
    SharedHandle* shared_ = nullptr;
};

std::string readFile(const std::filesystem::path& path);

// Paths of the built programs.
std::string standinProgram();
std::string liveLibraryPath();

}  // namespace harness
