// The preview renderer: casts rays into the scene with Embree (every
// placement an instance of its mesh's structure), shades with a head light and
// ambient occlusion (a few rays a pixel, smoothed over the surface around it)
// over a neutral ground, and renders tiles in parallel.
#pragma once

#include <string>

#include "preview/PngFile.h"
#include "preview/PreviewScene.h"

namespace preview {

struct RenderSettings {
    int width = 960;
    int height = 540;
    int samples = 4;       // per pixel, 1 to 256
    std::string view;      // see chooseView
};

struct RenderTimes {
    double buildSeconds = 0;  // Embree's structures
    double traceSeconds = 0;  // the picture
};

// Throws std::invalid_argument for a bad setting or view name and
// std::runtime_error when Embree fails.
Image render(const Scene& scene, const RenderSettings& settings, RenderTimes* times = nullptr);

}  // namespace preview
