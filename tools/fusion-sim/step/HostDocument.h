// Turns the design records of a STEP file into the host's document records,
// which the host builds into a Fusion 360 document.
#pragma once

#include "host/DesignBuilder.h"
#include "step/StepDesign.h"

namespace steploader {

// The id of the colour property that carries an appearance's colour.
inline constexpr const char* kColourPropertyId = "opaque_albedo";

// One design product: components with their B-rep physical properties, bodies
// with one display mesh per face, occurrences with visibility, appearance
// override and transform, appearances with an "opaque_albedo" colour. The
// document is named after the file; the camera looks at the whole model from
// above the front right, with z up as in CAD files.
// The meshes move out of `design`.
host::DocumentData toHostDocument(Design design);

}  // namespace steploader
