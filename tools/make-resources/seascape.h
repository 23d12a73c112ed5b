// The default background: a dusk seascape rendered from noise. A pinhole camera looks
// level at the horizon; the sky carries layered clouds on planes above it, the sea is a
// plane of band-limited wave noise below it that mirrors the sky and the sun.
#pragma once

#include "raster.h"

namespace art {

inline constexpr int BackgroundWidth = 544;
inline constexpr int BackgroundHeight = 395;

// The picture as RGB bytes, film grain included.
Picture RenderSeascape();

}  // namespace art
