// The demonstration scene: a small furnished room built from scene nodes, as
// the export would build it from a design (lengths in millimetres).
#pragma once

#include <memory>

#include "scene/LightCamera.h"
#include "scene/LightModule.h"
#include "scene/OrvGroup.h"

namespace demo {

// Import options as the export sets them, for a design in millimetres.
std::shared_ptr<orv::DefaultRTModule> makeModule();

// Root group "Demo Room": a table (top and four legs sharing one textured
// material) and a vase with a plain diffuse material, each placed by a transform.
std::shared_ptr<orv::OrvGroup> makeScene();

// A perspective camera looking at the table.
std::shared_ptr<orv::LightCamera> makeCamera();

}  // namespace demo
