// The bubble tint: repaints every pixel of a 32-bit BGRA buffer with one colour and
// keeps each pixel's alpha, so a white translucent picture becomes a coloured one of
// the same shape. Portable; the GDI+ side locks a bitmap and calls it.
#pragma once

#include <cstdint>

// Rows are stride bytes apart (negative for bottom-up buffers); only the first
// 4 x width bytes of a row are written, and in them only blue, green and red.
void TintPixels(uint8_t* scan0, uint32_t width, uint32_t height, int32_t stride, uint8_t red,
                uint8_t green, uint8_t blue);

// Copies 32-bit BGRA rows into a 32-bit ARGB buffer; with opaque set every alpha
// becomes 255 (for pictures whose fourth byte carries no alpha).
void CopyBgraRows(const uint8_t* source, int64_t sourceStride, uint8_t* dest, int32_t destStride,
                  uint32_t width, uint32_t height, bool opaque);
