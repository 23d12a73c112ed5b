// The WebP reader: still pictures straight into the pixel image, animations through the
// frame composer, both turned upright by their Exif chunk.
#include <cstdint>
#include <span>

#include "fuzz_picture_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  try {
    CheckDecodedPicture(DecodeWebp(std::span(data, size)));
  } catch (const PictureError&) {
  }
  return 0;
}
