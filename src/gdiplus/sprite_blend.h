// The preview's bubbles drawn straight into the frame's pixels: per bubble the body layer
// tinted with its colour, the highlight layer over it, the whole square sprite stretched
// over the bubble's box and blended over the frame (source over). One pass, no sprite
// bitmap: through GDI+ a full-screen preview's frame took a fifth of a second, nearly all
// of it in stretching the sprites. Portable; the renderer locks the bitmaps and calls it.
#pragma once

#include <cstdint>

#include "gdiplus/preview_geometry.h"

// 32-bit pixels, blue, green, red, alpha (not premultiplied), rows Stride bytes apart.
struct BgraPixels {
  uint8_t* Scan0 = nullptr;
  int32_t Width = 0;
  int32_t Height = 0;
  int32_t Stride = 0;
};

struct SpriteLayers {
  BgraPixels Body;       // only its alpha counts: the tint gives every pixel the colour
  BgraPixels Highlight;  // drawn as it is, over the tinted body
};

struct TintColour {
  uint8_t Red, Green, Blue;
};

// Samples the layers bilinearly (edges clamped) at the centre of every frame pixel that
// box covers; the part of box outside the frame is skipped. Layers of different sizes,
// an empty box or a missing layer draw nothing.
void BlendSprite(BgraPixels frame, const SpriteLayers& layers, const PreviewDrawRect& box,
                 TintColour colour);
