// Independent decoding of the committed pictures for the tests: raw PNG samples as the
// file stores them (no expansion), and JPEG header facts plus RGB pixels.
#pragma once

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

struct DecodedPng {
  uint32_t Width = 0, Height = 0;
  int ColorType = -1, BitDepth = 0, Interlace = -1, Channels = 0;
  std::vector<uint8_t> Samples;  // rows top-down, Channels bytes per pixel

  const uint8_t* At(int x, int y) const {
    return Samples.data() + (static_cast<size_t>(y) * Width + static_cast<size_t>(x)) * Channels;
  }
  uint8_t Alpha(int x, int y) const { return At(x, y)[Channels - 1]; }
};

struct DecodedJpeg {
  int Width = 0, Height = 0, Components = 0, Precision = 0;
  bool SawJfif = false, Progressive = false;
  std::vector<uint8_t> Rgb;
};

// Both throw std::runtime_error with the library's message on bad data.
DecodedPng DecodePngFile(const std::string& path);
DecodedJpeg DecodeJpegFile(const std::string& path);
std::vector<uint8_t> ReadFileBytes(const std::string& path);

inline std::string ResourcePath(const std::string& name) {
  return std::string(VESPERINE_SOURCE_DIR) + "/resources/" + name;
}

// Distance of pixel (x, y) from the centre of a 256-pixel layer.
inline double LayerRadius(int x, int y) {
  return std::hypot(x - 127.5, y - 127.5);
}
