// The display layer's pixel image: a rectangle of 8, 24 or 32 bits per pixel, rows
// top-down, each pixel blue, green, red (and alpha at 32 bits: 0 transparent, 255 opaque).
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
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

  // Zero-filled pixels; bitCount 8, 24 or 32; the palette is left as it is. A zero side
  // gives an empty image. Throws PictureError for a negative side, another depth, or a
  // size beyond the picture bounds.
  void SetSize(int32_t width, int32_t height, int bitCount);
  // 32 bits per pixel and at least one alpha byte other than 0.
  bool HasAlpha() const;
  // To 32 bits per pixel (8-bit pixels through the palette); new alpha bytes are 255.
  void ConvertTo32();
  // From an 8-bit image each pixel's value, from a 32-bit one each alpha; any other
  // depth or a different size copies nothing, and so does this image not being 32 bits.
  void CopyAlphaFrom(const PixelImage& source);
  // Resamples the whole of source over dest of this image (aspect not kept; box filter
  // where it shrinks, bicubic where it enlarges), clipped to this image. A 32-bit image
  // receives source alpha from a 32-bit source and 255 from others. An 8-bit image can
  // only receive an 8-bit source (indices are copied, nearest pixel); others throw.
  void StretchDraw(const PixelImage& source, PixelRect dest);

  // 8-bit images index this palette: 0xAARRGGBB values, so each entry lies in memory as
  // blue, green, red, alpha. The other depths ignore it.
  std::array<uint32_t, 256> Palette{};

 private:
  int32_t W = 0;
  int32_t H = 0;
  int Bits = 24;
  size_t RowBytes = 0;
  std::vector<uint8_t> Pixels;
};

// Part of source (clipped to it) resampled over dest of target, as StretchDraw does with
// a whole picture: one monitor's share of a picture that spans several.
void StretchDrawPart(PixelImage& target, const PixelImage& source, PixelRect sourcePart,
                     PixelRect dest);

// Decoders into pixel images. Each throws PictureError with a clear text on bad data.
// A BMP file: 1, 4 or 8 bits with a palette (kept as an 8-bit image), 24 bits, or 32
// bits (BI_RGB with its fourth byte kept as alpha, or BI_BITFIELDS); RLE is refused.
PixelImage DecodeBmp(std::span<const uint8_t> data);
// A JPEG as 24 bits, turned upright by its Exif orientation. With minWidth or minHeight
// above 0 the picture is decoded at the smallest of the scales 1/8 .. 8/8 that still
// gives at least that width and height once upright.
PixelImage DecodeJpeg(std::span<const uint8_t> data, int32_t minWidth = 0, int32_t minHeight = 0);
// The first frame of a GIF composed on its logical screen: pixels of the transparent index
// and any part of the screen the frame leaves uncovered are transparent. 32 bits when
// some pixel is, else 24.
PixelImage DecodeGif(std::span<const uint8_t> data);
// The first page of a TIFF, upright by its orientation tag: 32 bits with straight
// (un-premultiplied) alpha when it has an alpha sample, else 24.
PixelImage DecodeTiff(std::span<const uint8_t> data);
// A WebP (lossy, lossless, the first frame of an animation), upright by its Exif
// orientation: 32 bits when it has alpha (an animation: when the first frame has a pixel
// that is not opaque), else 24.
PixelImage DecodeWebp(std::span<const uint8_t> data);

// The orientation (1 to 8, 1 as stored) in Exif data: TIFF-structured, with or without
// the "Exif\0\0" header. Absent, unreadable or out-of-range values give 1.
int ExifOrientation(std::span<const uint8_t> exif);
// True for the orientations (5 to 8) that turn the picture a quarter.
bool OrientationSwapsSides(int orientation);
// The picture as it should be seen, from the stored one and its orientation.
PixelImage Oriented(PixelImage stored, int orientation);
// A PNG as a 32-bit image carrying its alpha (colour types 4 and 6) or a 24-bit one.
PixelImage PngToPixelImage(const PngPicture& png);
// A bottom-up BI_RGB bitmap file: 32 bits (alpha in the fourth byte) for a 32-bit image,
// else 24 bits (an 8-bit image through its palette). Throws PictureError when empty.
std::vector<uint8_t> EncodeBmp(const PixelImage& image);

// The picture as a background shows it, with nothing behind: an image with alpha
// (HasAlpha) becomes 24 bits, each colour scaled by its alpha over black; any other image
// is returned as it is.
PixelImage OverBlack(PixelImage image);

// The general picture loader: chooses the decoder by the file's extension (bmp, dib,
// jpg, jpeg, jpe, jfif, png, gif, tif, tiff, webp, any case); any other gives "Unknown
// picture file extension (.%s)" before the file is read. A name without a dot in its last
// part has the empty extension and gives "Unknown picture file extension (.)". A file
// whose content lacks its extension's signature but starts with another of these formats'
// (a PNG saved as .jpg) is decoded by its content. A JPEG is decoded at the smallest of
// libjpeg's scales that still covers minWidth x minHeight upright (see DecodeJpeg): a
// background passes the screen size, so a large photograph costs a fraction of its full
// size in time and memory.
PixelImage LoadPictureFile(const std::string& path, int32_t minWidth = 0, int32_t minHeight = 0);
// The kinds of file LoadPictureFile reads, each with its extensions (lower case, without
// the dot), in the order the open-picture dialog lists them.
struct PictureFileKind {
  std::string_view Name;
  std::span<const std::string_view> Extensions;
};
std::span<const PictureFileKind> PictureFileKinds();
// The whole of a regular file. Throws PictureError for a missing file, a folder, a
// device (also the reserved Windows device names such as NUL or COM1.png) or a file of
// more than maxBytes.
std::vector<uint8_t> ReadWholeFile(const std::string& path,
                                   uint64_t maxBytes = MaxPictureFileBytes);
