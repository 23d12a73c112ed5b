#include "image/decoded_pixels.h"

#include <cstring>
#include <utility>

bool AllOpaque(const PixelImage& image) {
  for (int32_t y = 0; y < image.Height(); ++y) {
    const uint8_t* row = image.Row(y);
    for (int32_t x = 0; x < image.Width(); ++x) {
      if (row[static_cast<size_t>(x) * 4 + 3] != 255) return false;
    }
  }
  return true;
}

PixelImage WithoutAlpha(const PixelImage& image) {
  PixelImage opaque;
  opaque.SetSize(image.Width(), image.Height(), 24);
  for (int32_t y = 0; y < image.Height(); ++y) {
    const uint8_t* from = image.Row(y);
    uint8_t* to = opaque.Row(y);
    for (int32_t x = 0; x < image.Width(); ++x, from += 4, to += 3) std::memcpy(to, from, 3);
  }
  return opaque;
}

void SwapRedAndBlue(PixelImage& image) {
  for (int32_t y = 0; y < image.Height(); ++y) {
    uint8_t* pixel = image.Row(y);
    for (int32_t x = 0; x < image.Width(); ++x, pixel += 4) std::swap(pixel[0], pixel[2]);
  }
}
