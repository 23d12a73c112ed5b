// The BMP reader, and what the Direct3D driver does with a decoded picture: written back
// as a BMP it must read back the same, and it must resample into a 256 x 256 texture.
#include <cstdint>
#include <cstring>
#include <span>

#include "fuzz_check.h"
#include "image/pixel_image.h"

namespace {

// 0x00RRGGBB of pixel x in row, as an encoder of 24 or 32 bits would write it.
uint32_t ColourAt(const PixelImage& image, int32_t x, int32_t y) {
  const uint8_t* row = image.Row(y);
  if (image.BitCount() == 8) return image.Palette[row[x]] & 0xFFFFFF;
  const uint8_t* p = row + size_t(x) * (image.BitCount() / 8);
  return uint32_t{p[2]} << 16 | uint32_t{p[1]} << 8 | p[0];
}

void CheckRoundTrip(const PixelImage& image) {
  const PixelImage again = DecodeBmp(EncodeBmp(image));
  FUZZ_CHECK(again.Width() == image.Width() && again.Height() == image.Height());
  FUZZ_CHECK(again.BitCount() == (image.BitCount() == 32 ? 32 : 24));
  for (int32_t y = 0; y < image.Height(); y += 1 + image.Height() / 8) {
    for (int32_t x = 0; x < image.Width(); x += 1 + image.Width() / 8) {
      FUZZ_CHECK(ColourAt(again, x, y) == ColourAt(image, x, y));
      if (image.BitCount() == 32) {
        FUZZ_CHECK(again.Row(y)[x * 4 + 3] == image.Row(y)[x * 4 + 3]);
      }
    }
  }
}

// The driver's textures are 256 pixels a side; the same resampling into a smaller one
// keeps the search fast.
constexpr int32_t TextureSide = 32;

// A texture takes alpha only from a 32-bit picture: every other one comes out opaque,
// and one whose alpha is all 0 stays without alpha, so it is given the mask later.
void CheckTexture(const PixelImage& image) {
  PixelImage texture;
  texture.SetSize(TextureSide, TextureSide, 32);
  texture.StretchDraw(image, {0, 0, TextureSide, TextureSide});
  const bool sourceAlpha = image.HasAlpha();
  for (int32_t y = 0; y < TextureSide; y += 3) {
    for (int32_t x = 0; x < TextureSide; x += 3) {
      const uint8_t alpha = texture.Row(y)[x * 4 + 3];
      if (image.BitCount() != 32) FUZZ_CHECK(alpha == 255);
      if (image.BitCount() == 32 && !sourceAlpha) FUZZ_CHECK(alpha == 0);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  PixelImage image;
  try {
    image = DecodeBmp(std::span(data, size));
  } catch (const PictureError&) {
    return 0;
  }
  FUZZ_CHECK(image.BitCount() == 8 || image.BitCount() == 24 || image.BitCount() == 32);
  FUZZ_CHECK(image.Width() > 0 && image.Height() > 0);
  // Every pixel came from the file, so the picture cannot hold more bytes than it had
  // pixels' worth of bits (8 pixels a byte at 1 bit per pixel).
  FUZZ_CHECK(uint64_t(image.Width()) * uint64_t(image.Height()) <= uint64_t(size) * 8);
  // Both checks cost time in proportion to the picture; large ones add nothing new
  // and would slow the search a hundredfold.
  const uint64_t pixels = uint64_t(image.Width()) * uint64_t(image.Height());
  if (pixels <= 1u << 18) CheckRoundTrip(image);
  if (pixels <= 1u << 16) CheckTexture(image);
  return 0;
}
