// Where the preview draws: the world at full screen size scaled into a small window.
// Portable, so the numbers are tested natively and the renderer only draws.
#pragma once

#include <cstdint>

// Preview width / world width as a 32-bit float; 0 for an empty preview or world.
float PreviewScale(int32_t previewWidth, int32_t worldWidth);

// Side of one pre-rendered bubble picture: (2R + 100) x scale, halves to even. The
// extra 100 pixels are the transparent margin of the built-in body picture.
int32_t PreviewSpriteSize(int32_t radius, float scale);

// A sprite is tinted pixel by pixel every frame, so its side is kept to twice the
// frame's longer side: a bubble larger than that shows no more detail, while a radius
// stored far too large (a full-screen preview of BallSize 1000) would otherwise take
// seconds a frame and never let the preview end.
int32_t LimitSpriteSize(int32_t side, int32_t frameWidth, int32_t frameHeight);

// The sprite's layers are scaled from the body picture with high quality once per preview;
// beyond twice the picture's own pixels they would show no more of it, only cost more (a
// 2048-pixel square takes seconds). A picture of side 0 (none loaded) leaves side as it is.
int32_t LimitSpriteToPicture(int32_t side, int32_t pictureSide);

struct PreviewBox {
  int32_t Left, Top, Right, Bottom;
};

// The box of a bubble centred at (x, y) with radius R, in preview pixels. Each edge is
// computed in extended precision and rounded halves to even; it may lie outside the frame.
PreviewBox BubbleBox(double x, double y, int32_t radius, float scale);

struct PreviewDrawRect {
  float X, Y, Width, Height;
};

PreviewDrawRect BoxToDrawRect(const PreviewBox& box);

// The part of the body picture the sprite layers are cut from: 18 pixels in from the
// left and top, and the width used for both sides.
struct SourceRect {
  int32_t X, Y, Width, Height;
};
SourceRect BodySourceRect(int32_t pictureWidth);

// Nearest integer, halves to even, saturated to the 32-bit range.
int32_t RoundToInt32(long double value);
