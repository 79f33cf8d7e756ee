// Tessellation settings for the STEP files this process opens, set once from
// the host program's command line.
#pragma once

#include "step/StepDesign.h"

namespace steploader {

Options settings();
void setSettings(const Options& options);

}  // namespace steploader
