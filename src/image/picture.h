// Picture decoding into plain pixel buffers, for the built-in pictures and the user's files.
// Every decoder treats its input as hostile: bad data gives a PictureError, never a crash.
#pragma once

#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

class PictureError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Pictures larger than this are refused before any pixel is allocated, in every format:
// a BMP, PNG, GIF (its logical screen and its first frame), TIFF or WebP (an animation's
// canvas) beyond them is refused; a JPEG is refused when its frame passes the side bound
// or its output at the chosen scale passes either. Turning a picture upright by its
// orientation copies it once, so a decode may briefly hold twice the byte bound.
inline constexpr uint32_t MaxPictureSide = 16384;
inline constexpr uint64_t MaxPictureBytes = 256ull * 1024 * 1024;
// Picture files are read whole into memory; larger ones are refused unread.
inline constexpr uint64_t MaxPictureFileBytes = 64ull * 1024 * 1024;

// Throws PictureError unless a width x height picture of bytesPerPixel fits the bounds
// above (zero sides are refused too). Every decoder calls it before allocating pixels.
void CheckPictureSize(int64_t width, int64_t height, unsigned bytesPerPixel);

// A decoded PNG: 8-bit samples, rows top-down, RGBA per pixel (alpha 255 for colour
// types without alpha; palette transparency does not become alpha).
struct PngPicture {
  uint32_t Width = 0;
  uint32_t Height = 0;
  int ColorType = 0;  // the file's PNG colour type: 0, 2, 3, 4 or 6
  std::vector<uint8_t> Rgba;
  bool HasAlphaChannel() const { return ColorType == 4 || ColorType == 6; }
};

// Any bit depth, palette or grey level, interlaced or not; 16-bit samples are reduced to 8.
PngPicture DecodePng(std::span<const uint8_t> data);
