// Reading a STEP file with the reader program (fusion-sim-step-reader), so that
// the program asking for the design neither links nor loads OpenCASCADE, and a
// crash inside OpenCASCADE ends only the reader.
#pragma once

#include <string>
#include <vector>

#include "step/StepDesign.h"

namespace steploader {

// The reader's name; it is installed beside the programs that start it.
inline constexpr const char* kReaderProgramName = "fusion-sim-step-reader";

// The reader's command line for one file (without the program itself).
std::vector<std::string> readerArguments(const std::string& path, const Options& options);

// Runs the reader program `reader` on `path` and returns its design. Throws
// LoadError naming `path`: the reader's message when it refused the file, a
// crash or other failure of the reader, or a reader that cannot be started.
Design readWithProgram(const std::string& reader, const std::string& path,
                       const Options& options = {});

}  // namespace steploader
