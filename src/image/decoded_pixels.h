// Helpers the decoders of this folder share; not part of the image library's interface.
#pragma once

#include "image/pixel_image.h"

// Whether every pixel of a 32-bit image has alpha 255.
bool AllOpaque(const PixelImage& image);
// A 32-bit image's colours as a 24-bit image.
PixelImage WithoutAlpha(const PixelImage& image);
// Swaps the first and third byte of every pixel of a 32-bit image (RGBA to BGRA).
void SwapRedAndBlue(PixelImage& image);
