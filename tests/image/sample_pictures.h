// Small pictures made for the tests with libpng, libjpeg, giflib, libtiff, libwebp and by
// hand.
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
  Bytes Exif;               // an APP1 marker's content
  bool FullChroma = false;  // no chroma subsampling: flat 8 x 8 blocks keep their colours
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

struct GifSample {
  int ScreenWidth = 0, ScreenHeight = 0;
  int Left = 0, Top = 0, Width = 0, Height = 0;  // the first frame
  Bytes Palette;                                 // RGB triples, 2 to 256 of them
  bool LocalPalette = false;  // the frame's own table; the file's has other colours
  int TransparentIndex = -1;
  bool Interlaced = false;
  Bytes Indices;  // Width x Height, rows top-down
};
Bytes EncodeGif(const GifSample& sample);

struct TiffSample {
  uint32_t Width = 0, Height = 0;
  int Samples = 3;          // 1 grey, 3 RGB, 4 RGB and alpha
  int Compression = 1;      // libtiff's COMPRESSION_ value
  bool Associated = false;  // the alpha sample's kind (colours then premultiplied)
  int Orientation = 1;
  bool BigEndian = false;
  Bytes Pixels;               // interleaved samples, rows as stored (the first strip)
  uint32_t RowsPerStrip = 0;  // 0: one strip for the whole picture
};
Bytes EncodeTiff(const TiffSample& sample);

struct WebpSample {
  int Width = 0, Height = 0;
  Bytes Bgra;  // rows top-down
  bool Lossless = false;
  bool Alpha = false;     // encode the alpha bytes (else only blue, green, red)
  Bytes SecondFrameBgra;  // makes an animation of two frames
  Bytes Exif;             // an EXIF chunk
};
Bytes EncodeWebp(const WebpSample& sample);

// Pictures as rows of letters, one a pixel: R G B W K Y C M are opaque red, green, blue,
// white, black, yellow, cyan, magenta; r is red at alpha 128, g green at alpha 64; '.' is
// any fully transparent pixel.
using LetterRows = std::vector<std::string>;
Bytes BgraFromLetters(const LetterRows& rows);
// Each pixel's letter: the colour within tolerance on every channel, '?' for none. A 24-
// or 8-bit pixel is opaque.
LetterRows LettersOf(const PixelImage& image, int tolerance = 0);

// Exif data ("Exif\0\0" and TIFF structure) holding only an orientation tag.
Bytes ExifWithOrientation(int orientation, bool bigEndian = false);

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
