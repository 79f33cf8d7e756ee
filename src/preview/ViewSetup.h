// Where the preview looks from: a camera of the scene, or a view that fits
// the whole bounding box (isometric-style from above, or along an axis).
#pragma once

#include <string>

#include "preview/PreviewScene.h"

namespace preview {

struct View {
    Vec3 eye, forward, right, up;  // metres, Y up; unit vectors
    bool orthographic = false;
    double tanHalfFov = 0.4;  // perspective: of the vertical field of view
    double halfHeight = 1;    // orthographic: half the visible height
};

// The views fusion-sim and quorell-scene name besides the scene's cameras.
inline constexpr const char* kFittedViews[] = {"iso", "front", "back", "left", "right", "top"};

// `name` empty: the scene's first camera, else "iso". Otherwise a camera of
// the scene by name, or one of kFittedViews. Throws std::invalid_argument
// for an unknown name.
View chooseView(const Scene& scene, const std::string& name, double aspect);

}  // namespace preview
