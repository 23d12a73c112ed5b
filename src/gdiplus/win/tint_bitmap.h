// The tint applied to a GDI+ bitmap.
#pragma once

#include <cstdint>

#include "gdiplus/win/gdiplus_objects.h"

// Repaints the bitmap (PixelFormat32bppARGB) with the low bytes of Red, Green and
// Blue, keeping its alpha. False, and the bitmap unchanged, when its pixels cannot be
// locked (for instance a bitmap that holds no image).
bool TintBitmap(TGPBitmap& bitmap, uint16_t Red, uint16_t Green, uint16_t Blue);
