// A compact binary form of the design records, for handing a design from the
// loading child process to its parent through a pipe. Both ends run the same
// build on the same machine, so numbers travel in native byte order.
#pragma once

#include <string>
#include <string_view>

#include "step/StepDesign.h"

namespace steploader {

std::string encodeDesign(const Design& design);

// Throws LoadError("...") when the bytes are cut short or inconsistent.
Design decodeDesign(std::string_view bytes);

}  // namespace steploader
