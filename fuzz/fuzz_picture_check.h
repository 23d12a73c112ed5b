// The checks every decoder's picture must pass: within the bounds, 24 or 32 bits, and its
// last byte inside the buffer.
#pragma once

#include "fuzz_check.h"
#include "image/pixel_image.h"

inline void CheckDecodedPicture(const PixelImage& image) {
  FUZZ_CHECK(image.BitCount() == 24 || image.BitCount() == 32);
  FUZZ_CHECK(image.Width() > 0 && image.Width() <= int32_t(MaxPictureSide));
  FUZZ_CHECK(image.Height() > 0 && image.Height() <= int32_t(MaxPictureSide));
  const size_t rowBytes = size_t(image.Width()) * size_t(image.BitCount() / 8);
  FUZZ_CHECK(image.Stride() >= rowBytes);
  FUZZ_CHECK(image.Stride() * size_t(image.Height()) <= MaxPictureBytes);
  // Touch the last byte of the last row, so ASan sees a short buffer.
  volatile uint8_t last = image.Row(image.Height() - 1)[rowBytes - 1];
  (void)last;
}
