#pragma once
// Design files become host documents through a loader chosen by the file's
// extension: ".json" is the JSON design format, ".step"/".stp" the STEP loader
// when it is built in.

#include <memory>
#include <stdexcept>
#include <string>

#include "host/DesignBuilder.h"

namespace fusionsim {

// One line: the file, the place inside it and the cause.
class DesignError : public std::runtime_error {
  public:
    DesignError(const std::string& file, const std::string& place, const std::string& cause);
};

class DesignLoader {
  public:
    virtual ~DesignLoader() = default;
    // The whole document, or DesignError; nothing is kept of a failed load.
    virtual host::DocumentData load(const std::string& path) const = 0;
};

// The loader for this file's extension (case-insensitive), or DesignError.
std::unique_ptr<DesignLoader> loaderFor(const std::string& path);

// Loads with the matching loader and checks every reference of the result, so
// that opening it cannot fail.
host::DocumentData loadDesign(const std::string& path);

// How the STEP loader meshes the files it opens from now on (command line).
struct MeshSettings {
    double deflection = 0;  // cm; 0: relative to the model's size
    double angularDeflection = 0.5;
};
void setMeshSettings(const MeshSettings& settings);
MeshSettings meshSettings();

}  // namespace fusionsim
