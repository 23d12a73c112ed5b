// PNG and JPEG files through libpng and libjpeg. Every failure throws FileError.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "raster.h"

namespace art {

class FileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Grey+alpha pictures become colour type 4, RGBA ones colour type 6; 8 bits, not
// interlaced, no time stamp, so equal pictures give equal files.
void WritePng(const std::string& path, const Picture& picture);
// Baseline JFIF at the given quality; RGB pictures only.
void WriteJpeg(const std::string& path, const Picture& picture, int quality);
void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes);

// Any PNG as RGBA, any JPEG as RGB.
Picture ReadPngRgba(const std::string& path);
Picture ReadJpegRgb(const std::string& path);

}  // namespace art
