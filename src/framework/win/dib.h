// Device-independent bitmaps laid out as PixelImage stores pixels: rows from the top,
// each padded to 4 bytes, blue first. A negative height in the header says "top-down".
#pragma once

#include <windows.h>

// The header of a top-down, uncompressed DIB of that size and depth (24 or 32 bits).
BITMAPINFO TopDownDibInfo(int width, int height, int bitCount);

// A top-down DIB section; bits points at its first row, or is null when it failed.
HBITMAP CreateTopDownDib(HDC dc, int width, int height, int bitCount, void*& bits);
