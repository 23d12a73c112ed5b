// The GIF reader: the first frame on its screen. Its alpha can only be all or nothing,
// and a 32-bit result must have a transparent pixel (else it would be 24 bits).
#include <cstdint>
#include <span>

#include "fuzz_picture_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  PixelImage image;
  try {
    image = DecodeGif(std::span(data, size));
  } catch (const PictureError&) {
    return 0;
  }
  CheckDecodedPicture(image);
  if (image.BitCount() != 32) return 0;
  bool transparent = false;
  for (int32_t y = 0; y < image.Height(); ++y) {
    for (int32_t x = 0; x < image.Width(); ++x) {
      const uint8_t alpha = image.Row(y)[size_t(x) * 4 + 3];
      FUZZ_CHECK(alpha == 0 || alpha == 255);
      transparent = transparent || alpha == 0;
    }
  }
  FUZZ_CHECK(transparent);
  return 0;
}
