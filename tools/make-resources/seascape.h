// The default background: a dusk seascape rendered from noise. A pinhole camera looks
// level at the horizon; the sky carries layered clouds on planes above it, the sea is a
// plane of band-limited wave noise below it that mirrors the sky and the sun. Made for
// today's large monitors and laid out for any of their shapes: the sun, the horizon and
// the islands stay in every centred cut from 21:9 to 9:16.
#pragma once

#include "raster.h"

namespace art {

inline constexpr int BackgroundWidth = 2560;
inline constexpr int BackgroundHeight = 1440;

// The picture as RGB bytes, film grain included.
Picture RenderSeascape();

}  // namespace art
