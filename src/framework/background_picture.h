// The background of a drawing surface that spans several monitors: one picture of the
// surface's size holding each part of the source picture stretched over its place, black
// between them.
#pragma once

#include <cstdint>
#include <vector>

#include "framework/screen_layout.h"
#include "image/pixel_image.h"

PixelImage ComposeBackground(const PixelImage& picture, int32_t width, int32_t height,
                             const std::vector<BackgroundPart>& parts);
