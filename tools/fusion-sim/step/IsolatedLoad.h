// Loading a STEP file in a child process: OpenCASCADE can crash on malformed
// input, and such a crash must not take the host program down. The child
// reads the file and sends the design records back through a pipe.
#pragma once

#include <functional>
#include <string>

#include "step/StepDesign.h"

namespace steploader {

// Reads `path` in a forked child of this process (fusion-sim starts the reader
// program instead, ReaderProcess.h). Throws LoadError naming the file and the
// cause when the file is refused or the child dies.
Design loadStepDesign(const std::string& path, const Options& options = {});

// Runs `load` in a forked child and returns its design. What the child throws
// comes back as a LoadError; a child that dies yields a LoadError naming
// `path` and how it died.
Design loadInChild(const std::string& path, const std::function<Design()>& load);

}  // namespace steploader
