// The JPEG reader, at full size and scaled down by libjpeg as the background loader asks.
#include <cstdint>
#include <span>

#include "fuzz_check.h"
#include "image/pixel_image.h"

namespace {

void CheckImage(const PixelImage& image) {
  FUZZ_CHECK(image.BitCount() == 24);
  FUZZ_CHECK(image.Width() > 0 && image.Width() <= int32_t(MaxPictureSide));
  FUZZ_CHECK(image.Height() > 0 && image.Height() <= int32_t(MaxPictureSide));
  FUZZ_CHECK(image.Stride() >= size_t(image.Width()) * 3);
  // Touch the last byte of the last row, so ASan sees a short buffer.
  volatile uint8_t last = image.Row(image.Height() - 1)[size_t(image.Width()) * 3 - 1];
  (void)last;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::span<const uint8_t> file(data, size);
  PixelImage full;
  try {
    full = DecodeJpeg(file);
  } catch (const PictureError&) {
    return 0;
  }
  CheckImage(full);
  if (full.Width() < 16 || full.Height() < 16) return 0;

  // The scaled decode must reach the asked size without passing the full one.
  const int32_t minWidth = full.Width() / 3;
  const int32_t minHeight = full.Height() / 5;
  PixelImage scaled;
  try {
    scaled = DecodeJpeg(file, minWidth, minHeight);
  } catch (const PictureError&) {
    return 0;  // a scaled pass can still meet corrupt data that the full one skipped
  }
  CheckImage(scaled);
  FUZZ_CHECK(scaled.Width() >= minWidth && scaled.Height() >= minHeight);
  FUZZ_CHECK(scaled.Width() <= full.Width() && scaled.Height() <= full.Height());
  return 0;
}
