// The PNG reader and the alpha path of the Direct3D driver (DecodePng, then
// PngToPixelImage). Bad data must give a PictureError; a decoded picture must be
// consistent with its own header.
#include <cstdint>
#include <span>

#include "fuzz_check.h"
#include "image/pixel_image.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  PngPicture png;
  try {
    png = DecodePng(std::span(data, size));
  } catch (const PictureError&) {
    return 0;
  }
  FUZZ_CHECK(png.Width > 0 && png.Width <= MaxPictureSide);
  FUZZ_CHECK(png.Height > 0 && png.Height <= MaxPictureSide);
  FUZZ_CHECK(png.Rgba.size() == size_t{png.Width} * png.Height * 4);
  const int type = png.ColorType;
  FUZZ_CHECK(type == 0 || type == 2 || type == 3 || type == 4 || type == 6);
  if (!png.HasAlphaChannel()) {
    for (size_t i = 3; i < png.Rgba.size(); i += 4) FUZZ_CHECK(png.Rgba[i] == 0xFF);
  }

  const PixelImage image = PngToPixelImage(png);
  FUZZ_CHECK(image.Width() == int32_t(png.Width) && image.Height() == int32_t(png.Height));
  FUZZ_CHECK(image.BitCount() == (png.HasAlphaChannel() ? 32 : 24));
  const int step = image.BitCount() / 8;
  // Spot checks along the diagonal: blue, green, red (and alpha) in the image's order.
  for (uint32_t i = 0; i < png.Width && i < png.Height; i += 1 + png.Width / 16) {
    const uint8_t* rgba = &png.Rgba[(size_t{i} * png.Width + i) * 4];
    const uint8_t* pixel = image.Row(int32_t(i)) + size_t{i} * step;
    FUZZ_CHECK(pixel[0] == rgba[2] && pixel[1] == rgba[1] && pixel[2] == rgba[0]);
    if (step == 4) FUZZ_CHECK(pixel[3] == rgba[3]);
  }
  return 0;
}
