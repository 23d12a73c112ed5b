// The display layer's pixel image: a rectangle of 8, 24 or 32 bits per pixel, rows
// top-down, each pixel blue, green, red (and alpha at 32 bits: 0 transparent, 255 opaque).
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "image/picture.h"

struct PixelRect {
  int32_t X, Y, Width, Height;
};

class PixelImage {
 public:
  int32_t Width() const { return W; }
  int32_t Height() const { return H; }
  int BitCount() const { return Bits; }
  size_t Stride() const { return RowBytes; }  // rows padded to 4 bytes, as a DIB
  uint8_t* Row(int32_t y) { return Pixels.data() + static_cast<size_t>(y) * RowBytes; }
  const uint8_t* Row(int32_t y) const { return Pixels.data() + static_cast<size_t>(y) * RowBytes; }
  bool Empty() const { return W == 0 || H == 0; }

  // Zero-filled pixels; bitCount 8, 24 or 32. Throws PictureError beyond the size bound.
  void SetSize(int32_t width, int32_t height, int bitCount);
  // 32 bits per pixel and at least one alpha byte other than 0.
  bool HasAlpha() const;
  // To 32 bits per pixel; new alpha bytes are 255.
  void ConvertTo32();
  // From an 8-bit image each pixel's value, from a 32-bit one each alpha; any other
  // depth or a different size copies nothing. This image must be 32 bits.
  void CopyAlphaFrom(const PixelImage& source);
  // Stretches the whole of source over dest of this image (aspect not kept), with
  // alpha carried when both are 32 bits.
  void StretchDraw(const PixelImage& source, PixelRect dest);

  // 8-bit images index this palette (BGRA entries); the others ignore it.
  std::array<uint32_t, 256> Palette{};

 private:
  int32_t W = 0;
  int32_t H = 0;
  int Bits = 24;
  size_t RowBytes = 0;
  std::vector<uint8_t> Pixels;
};

// Decoders into pixel images. Each throws PictureError with a clear text on bad data.
PixelImage DecodeBmp(std::span<const uint8_t> data);  // a BMP file (8, 24, 32 bits)
PixelImage DecodeJpeg(std::span<const uint8_t> data, int32_t minWidth = 0, int32_t minHeight = 0);
// A PNG as a 32-bit image carrying its alpha (colour types 4 and 6) or a 24-bit one.
PixelImage PngToPixelImage(const PngPicture& png);
// Writes a device-independent bitmap file of the image (the form the display layer loads).
std::vector<uint8_t> EncodeBmp(const PixelImage& image);

// The general picture loader: chooses the decoder by the file's extension (bmp, dib,
// jpg, jpeg, jpe, jfif, png); any other gives "Unknown picture file extension (.%s)".
PixelImage LoadPictureFile(const std::string& path);
std::vector<uint8_t> ReadWholeFile(const std::string& path);  // bounded; throws PictureError
