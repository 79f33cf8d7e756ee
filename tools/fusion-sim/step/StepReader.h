// Reads a STEP file through OpenCASCADE's XCAF into design records, in the
// calling process. Use loadStepDesign (IsolatedLoad.h) to keep a crash inside
// OpenCASCADE away from the caller.
#pragma once

#include <string>

#include "step/StepDesign.h"
#include "step/StepFileCheck.h"

namespace steploader {

// Throws LoadError naming the file and the cause: unreadable, not STEP,
// truncated, no shapes, or a failure inside OpenCASCADE.
Design readStepDesign(const std::string& path, const Options& options = {});

// The host's name of a STEP length unit ("MILLIMETRE" → "mm", "INCH" → "in");
// units the host has no name for map to "mm", OpenCASCADE's own default.
std::string hostUnitName(const std::string& stepUnit);

}  // namespace steploader
