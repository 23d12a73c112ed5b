// The background of a drawing surface that spans several monitors: one picture of the
// surface's size holding each part of the source picture stretched over its place, black
// between them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "framework/screen_layout.h"
#include "image/pixel_image.h"

PixelImage ComposeBackground(const PixelImage& picture, int32_t width, int32_t height,
                             const std::vector<BackgroundPart>& parts);

// A background picture file (BackType 3) as the scene forms show it. It is stretched over
// a screen of that size, so a large photograph need not decode whole (see LoadPictureFile),
// and nothing lies behind it, so its transparent pixels are black. Throws what
// LoadPictureFile throws.
PixelImage LoadBackgroundFile(const std::string& path, int32_t screenWidth, int32_t screenHeight);
