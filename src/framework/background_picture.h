// The background of a drawing surface that spans several monitors: one picture of the
// surface's size holding each part of the source picture scaled over its place, black
// between them.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "framework/screen_layout.h"
#include "image/pixel_image.h"

PixelImage ComposeBackground(const PixelImage& picture, int32_t width, int32_t height,
                             const std::vector<BackgroundPart>& parts);

// A scene form's background at the form's size (width x height, over the layout's work
// areas): the parts of the picture each area shows, in the form's pixels, and the picture
// resampled over them once, black between them.
struct SceneBackground {
  PixelImage Picture;
  std::vector<BackgroundPart> Parts;
  PixelImage Composed;  // width x height, 32 bits
};
SceneBackground ComposeSceneBackground(PixelImage picture, const ScreenLayout& layout,
                                       BackgroundKind kind, int32_t width, int32_t height);

// A background picture file (BackType 3) as the scene forms show it. It is stretched over
// a screen of that size, so a large photograph need not decode whole (see LoadPictureFile),
// and nothing lies behind it, so its transparent pixels are black. Throws what
// LoadPictureFile throws.
PixelImage LoadBackgroundFile(const std::string& path, int32_t screenWidth, int32_t screenHeight);

// The picture filling a width x height image, as one monitor shows it: kept in proportion
// and cut around its centre.
PixelImage FilledPicture(const PixelImage& picture, int32_t width, int32_t height);

// A JPEG decoded at the smallest of its reduced scales that still fills every area without
// enlarging: a picture made for large monitors costs a fraction on small ones.
PixelImage DecodeJpegToFill(std::span<const uint8_t> jpeg, const std::vector<ScreenRect>& areas);

// The side x side square a bubble carries: a picture without alpha (HasAlpha) is cut to
// its centred square (24 bits, for a mask to shape); one with alpha is fitted whole inside
// it with transparent margins (32 bits).
PixelImage BubblePictureSquare(const PixelImage& picture, int32_t side);
