#pragma once
// The add-in as the host loads it: a shared library exporting run and stop.

#include <stdexcept>
#include <string>

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

  private:
    using EntryPoint = bool (*)(const char*);
    EntryPoint run_ = nullptr;
    EntryPoint stop_ = nullptr;
};

}  // namespace fusionsim
