// A private renderer installation: the instance records and the stand-in's
// folders live in one temporary folder, and so do the registry hives on POSIX
// (on Windows the keys go to the user's registry and are removed again by
// uninstall); every renderer published there is ended afterwards.
// POSIX only: renderer processes started by the test itself, and the live
// library loaded as the add-in loads it.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

#include "importers/sceneapi/quorelllive_api.h"
#include "support/Files.h"
#include "support/Program.h"

namespace support {

class RendererInstallation {
  public:
    RendererInstallation();
    ~RendererInstallation();

    const fs::path& root() const { return folder_.path(); }
    fs::path prefix;  // where install puts the stand-in: <root>/Quorell 12

    // `standin install --prefix <prefix> --ports <first>-<last>`.
    Outcome install(const std::string& standin, int firstPort, int lastPort);
    // The process ids of the renderers whose instance records are published.
    std::vector<pid_t> renderers() const;
    // Ends the published renderers (they need not be this process's children).
    void stopRenderers();

  private:
    TempFolder folder_;
    ScopedEnv registry_, runtime_, data_;
    std::string standin_;  // the program that installed, for uninstall
};

// Ends the process at once and waits (bounded) until it is gone.
void killProcess(pid_t pid);

#ifndef _WIN32

// A renderer started by the test, killed at the end if still running.
class RendererProcess {
  public:
    RendererProcess() = default;
    ~RendererProcess();
    RendererProcess(const RendererProcess&) = delete;
    RendererProcess& operator=(const RendererProcess&) = delete;

    // Standard error goes to logFile.
    void start(const std::string& program, const std::vector<std::string>& arguments,
               const fs::path& logFile);
    // Waits (bounded) for the instance record; false if the process ended first.
    bool waitUntilPublished();
    // Waits (bounded) for the end; the exit status, or -1.
    int waitForExit();
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
    explicit LiveLibrary(const std::string& path);
    ~LiveLibrary();
    orvScene_api& scene() const { return *shared_->sceneApi(); }
    // attach + sceneDescription + detach; empty when the attach fails.
    std::string describe(int64_t pid);

  private:
    void* module_ = nullptr;
    SharedHandle* shared_ = nullptr;
};

#endif  // _WIN32

}  // namespace support
