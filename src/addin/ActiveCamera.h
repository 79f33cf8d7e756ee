// The host's current view as the scene camera of a live transfer.
#pragma once

#include "convert/DesignConverter.h"

// Writes the active viewport's camera as the "Active Camera" node through the
// converter's wrapper, in design units. An orthographic view, or one whose
// viewing direction cannot be computed (eye on the target), writes nothing.
void writeActiveCamera(DesignConverter& converter);

// Name of the camera node; the render command's import options refer to it.
inline constexpr const char* kActiveCameraName = "Active Camera";
