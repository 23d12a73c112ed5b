// Small pictures made for the tests with libpng, libjpeg and by hand.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "image/pixel_image.h"

using Bytes = std::vector<uint8_t>;

struct PngSample {
  uint32_t Width = 0, Height = 0;
  int BitDepth = 8;
  int ColorType = 6;
  bool Interlaced = false;
  Bytes Rows;          // packed rows as stored in the file (16-bit samples big-endian)
  Bytes Palette;       // RGB triples for colour type 3
  Bytes Transparency;  // tRNS content
};
Bytes EncodePng(const PngSample& sample);
// A chunk with its length and CRC, for hand-built files.
Bytes PngChunk(const char* type, const Bytes& content);
Bytes PngHeaderChunk(uint32_t width, uint32_t height, int bitDepth, int colorType);
Bytes PngSignature();

struct JpegSample {
  int Width = 0, Height = 0;
  int Components = 3;  // 1 grey, 3 RGB, 4 CMYK
  Bytes Samples;       // interleaved, rows top-down
  bool Progressive = false;
  bool AdobeMarker = true;  // CMYK only
  bool ManyScans = false;   // one grey component in 512 progressive scans
};
Bytes EncodeJpeg(const JpegSample& sample);
// A width x height RGB JPEG of one colour.
Bytes FlatJpeg(int width, int height, uint8_t red, uint8_t green, uint8_t blue);

struct BmpSample {
  int32_t Width = 0, Height = 0;  // negative height: top-down
  int BitCount = 24;
  uint32_t Compression = 0;
  uint32_t HeaderSize = 40;
  uint32_t ColoursUsed = 0;
  std::vector<uint32_t> Masks;  // after a 40-byte header, or in a V4/V5 header
  Bytes Palette;                // BGRX quads
  Bytes Pixels;                 // file rows, padded, in file order
};
Bytes BuildBmp(const BmpSample& sample);

// Expects the statement to throw a PictureError whose text contains part.
#define EXPECT_THAT_ERROR(statement, part)                                              \
  try {                                                                                 \
    statement;                                                                          \
    ADD_FAILURE() << #statement " threw nothing";                                       \
  } catch (const PictureError& error) {                                                 \
    EXPECT_NE(std::string(error.what()).find(part), std::string::npos) << error.what(); \
  }

void PutU32(Bytes& data, size_t at, uint32_t value);
void PutU32BigEndian(Bytes& data, size_t at, uint32_t value);
std::string BgrAt(const PixelImage& image, int32_t x, int32_t y);  // "b,g,r[,a]"
