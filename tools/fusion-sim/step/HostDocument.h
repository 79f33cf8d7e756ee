// Turns the design records of a STEP file into the host's document records,
// which the host builds into a Fusion 360 document.
#pragma once

#include "host/DesignBuilder.h"
#include "step/StepDesign.h"

namespace steploader {

// The id of the colour property that carries an appearance's colour.
inline constexpr const char* kColourPropertyId = "opaque_albedo";

// Shown by bodies the file gives no colour, as Fusion 360 shows its default
// material's appearance.
inline constexpr const char* kDefaultAppearanceId = "step-default";
inline constexpr const char* kDefaultAppearanceName = "Steel - Satin";

// One design product: components with their B-rep physical properties, bodies
// with one display mesh per face, occurrences with visibility, appearance
// override and transform, appearances with an "opaque_albedo" colour. The
// document is named after the file; the camera looks at the whole model from
// above the front right, with z up as in CAD files.
//
// Every face ends up with an appearance, as in the host: an occurrence without
// a colour of its own whose part has uncoloured faces gets the default
// appearance as its override, and so do uncoloured bodies of the root.
// The meshes move out of `design`.
host::DocumentData toHostDocument(Design design);

}  // namespace steploader
