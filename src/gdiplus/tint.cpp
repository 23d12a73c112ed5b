#include "gdiplus/tint.h"

#include <cstddef>

namespace {

uint8_t* RowAt(uint8_t* scan0, uint32_t y, int64_t stride) {
  return scan0 + static_cast<ptrdiff_t>(static_cast<int64_t>(y) * stride);
}

const uint8_t* RowAt(const uint8_t* scan0, uint32_t y, int64_t stride) {
  return scan0 + static_cast<ptrdiff_t>(static_cast<int64_t>(y) * stride);
}

}  // namespace

void TintPixels(uint8_t* scan0, uint32_t width, uint32_t height, int32_t stride, uint8_t red,
                uint8_t green, uint8_t blue) {
  if (scan0 == nullptr) return;
  for (uint32_t y = 0; y < height; ++y) {
    uint8_t* pixel = RowAt(scan0, y, stride);
    for (uint32_t x = 0; x < width; ++x, pixel += 4) {
      pixel[0] = blue;
      pixel[1] = green;
      pixel[2] = red;
    }
  }
}

void CopyBgraRows(const uint8_t* source, int64_t sourceStride, uint8_t* dest, int32_t destStride,
                  uint32_t width, uint32_t height, bool opaque) {
  if (source == nullptr || dest == nullptr) return;
  for (uint32_t y = 0; y < height; ++y) {
    const uint8_t* from = RowAt(source, y, sourceStride);
    uint8_t* to = RowAt(dest, y, destStride);
    for (uint32_t x = 0; x < width; ++x, from += 4, to += 4) {
      to[0] = from[0];
      to[1] = from[1];
      to[2] = from[2];
      to[3] = opaque ? uint8_t{255} : from[3];
    }
  }
}
