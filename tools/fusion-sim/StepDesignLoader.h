#pragma once
// Registration point of the STEP design loader (OpenCASCADE). Its implementation,
// StepDesignLoader.cpp, is built only when QUORELL_WITH_STEP is on and the file
// exists; DesignLoader.cpp then maps ".step" and ".stp" to it.

#include <memory>

#include "tools/fusion-sim/DesignLoader.h"

namespace fusionsim {

std::unique_ptr<DesignLoader> makeStepDesignLoader();

}  // namespace fusionsim
