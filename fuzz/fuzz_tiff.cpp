// The TIFF reader: the first page through libtiff, turned upright, alpha made straight.
#include <cstdint>
#include <span>

#include "fuzz_picture_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  try {
    CheckDecodedPicture(DecodeTiff(std::span(data, size)));
  } catch (const PictureError&) {
  }
  return 0;
}
