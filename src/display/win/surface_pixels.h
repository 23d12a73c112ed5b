// Moving pixels between pixel images and locked DirectDraw surfaces of any RGB format.
#pragma once

#include <ddraw.h>
#include <windows.h>

#include <cstdint>

class PixelImage;

// Writes the image into the surface (same size; larger surfaces keep the rest), converting
// to the surface's pixel format. False when the surface cannot be locked.
bool WriteImageToSurface(IDirectDrawSurface7* surface, const PixelImage& image);

// One pixel of a surface as 0xAARRGGBB (alpha 255 when the format has none); for tests
// and screenshots. False when the surface cannot be locked or (x, y) lies outside.
bool ReadSurfacePixel(IDirectDrawSurface7* surface, int32_t x, int32_t y, uint32_t& argb);

// The whole surface as a 32-bit image (alpha 255 when the format has none).
bool ReadSurfaceImage(IDirectDrawSurface7* surface, PixelImage& image);
