#pragma once
// The add-in as the host loads it: a shared library exporting run and stop.

#include <stdexcept>
#include <string>
#include <thread>

namespace fusionsim {

class AddinLibrary {
  public:
    // Loads the library and finds run and stop; std::runtime_error otherwise.
    explicit AddinLibrary(const std::string& path);
    AddinLibrary(const AddinLibrary&) = delete;
    AddinLibrary& operator=(const AddinLibrary&) = delete;
    // The library stays loaded: the host keeps its handlers until the process ends.
    ~AddinLibrary() = default;

    bool run(const char* context) const { return run_(context); }
    bool stop(const char* context) const { return stop_(context); }

    // The add-in library (quorell-addin.dll, libquorell-addin.so) in the
    // folder of the running program.
    static std::string defaultPath();

    // Loads the library on a thread of its own, so that loading it overlaps
    // other start-up work; the constructor then finds it loaded. Failures are
    // left to the constructor to report.
    static std::jthread preload(std::string path);

  private:
    using EntryPoint = bool (*)(const char*);
    EntryPoint run_ = nullptr;
    EntryPoint stop_ = nullptr;
};

}  // namespace fusionsim
