// A preview of the pictures at work: the background stretched to a screen with a dozen
// bubbles laid over it the way the renderers layer them (shadow, tinted body, highlights,
// each blended source over).
#pragma once

#include <string>

#include "raster.h"

namespace art {

struct BubbleLayers {
  Picture Background;  // RGB
  Picture Body;        // RGBA
  Picture Highlights;  // RGBA
  Picture Shadow;      // RGBA
};

BubbleLayers ReadLayers(const std::string& resourceDir);

// An RGBA picture (opaque) of width x height.
Picture ComposePreview(const BubbleLayers& layers, int width, int height);

}  // namespace art
