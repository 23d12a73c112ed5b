#include <gtest/gtest.h>
#include <tiffio.h>

#include "image/pixel_image.h"
#include "sample_pictures.h"

namespace {

// The letters' samples as a TIFF stores them: grey, RGB or RGBA (premultiplied on request).
Bytes SamplesOf(const LetterRows& rows, int samples, bool premultiplied = false) {
  const Bytes bgra = BgraFromLetters(rows);
  Bytes out;
  for (size_t i = 0; i < bgra.size(); i += 4) {
    const unsigned alpha = premultiplied ? bgra[i + 3] : 255;
    const auto channel = [&](size_t c) { return static_cast<uint8_t>(bgra[i + c] * alpha / 255); };
    if (samples == 1) {
      out.push_back(channel(0));
      continue;
    }
    out.insert(out.end(), {channel(2), channel(1), channel(0)});
    if (samples == 4) out.push_back(bgra[i + 3]);
  }
  return out;
}

TiffSample Sample(const LetterRows& rows, int samples, int compression,
                  bool premultiplied = false) {
  return {static_cast<uint32_t>(rows[0].size()),
          static_cast<uint32_t>(rows.size()),
          samples,
          compression,
          premultiplied,
          1,
          false,
          SamplesOf(rows, samples, premultiplied)};
}

TEST(TiffDecoding, EachCompressionColourTypeAndAlphaKindGivesThePicture) {
  LetterRows quadrants;
  for (int y = 0; y < 16; ++y) quadrants.push_back(y < 8 ? "RRRRRRRRGGGGGGGG" : "BBBBBBBBWWWWWWWW");
  const LetterRows alpha = {"rg.R", "R.gr"};
  TiffSample bigEndian = Sample(quadrants, 3, COMPRESSION_LZW);
  bigEndian.BigEndian = true;
  TiffSample quarterTurn = Sample({"BC", "GY", "RW"}, 3, COMPRESSION_NONE);
  quarterTurn.Orientation = 6;
  TiffSample halfTurn = Sample({"CYW", "BGR"}, 3, COMPRESSION_PACKBITS);
  halfTurn.Orientation = 3;
  struct Case {
    const char* Name;
    TiffSample Sample;
    LetterRows Expected;
    int BitCount;
    int Tolerance;
  };
  const Case cases[] = {
      {"uncompressed", Sample(quadrants, 3, COMPRESSION_NONE), quadrants, 24, 0},
      {"LZW", Sample(quadrants, 3, COMPRESSION_LZW), quadrants, 24, 0},
      {"Deflate", Sample(quadrants, 3, COMPRESSION_ADOBE_DEFLATE), quadrants, 24, 0},
      {"PackBits", Sample(quadrants, 3, COMPRESSION_PACKBITS), quadrants, 24, 0},
      {"JPEG (quality 100)", Sample(quadrants, 3, COMPRESSION_JPEG), quadrants, 24, 8},
      {"big-endian", bigEndian, quadrants, 24, 0},
      {"grey", Sample({"KWWK", "WKKW"}, 1, COMPRESSION_LZW), {"KWWK", "WKKW"}, 24, 0},
      {"associated alpha", Sample(alpha, 4, COMPRESSION_NONE, true), alpha, 32, 1},
      {"unassociated alpha", Sample(alpha, 4, COMPRESSION_LZW), alpha, 32, 1},
      {"orientation 6", quarterTurn, {"RGB", "WYC"}, 24, 0},
      {"orientation 3", halfTurn, {"RGB", "WYC"}, 24, 0},
  };
  for (const Case& c : cases) {
    const PixelImage image = DecodeTiff(EncodeTiff(c.Sample));
    EXPECT_EQ(LettersOf(image, c.Tolerance), c.Expected) << c.Name;
    EXPECT_EQ(image.BitCount(), c.BitCount) << c.Name;
  }
}

TEST(TiffDecodingOfBadData, DamagedAndOversizedFilesAreErrors) {
  LetterRows rows(16, "RGBWRGBWRGBWRGBW");
  const Bytes file = EncodeTiff(Sample(rows, 3, COMPRESSION_LZW));
  TiffSample huge = Sample({"R"}, 3, COMPRESSION_NONE);
  huge.Width = huge.Height = 20000;
  // A strip of one row: libtiff's writer needs a buffer of a whole strip, which a 32-bit
  // process cannot have for one that spans the picture.
  huge.RowsPerStrip = 1;
  huge.Pixels = {1, 2, 3};
  Bytes garbage = file;
  std::fill(garbage.begin() + 4, garbage.end(), 0xA5);
  struct Case {
    const char* Name;
    Bytes Data;
    const char* Part;
  };
  const Case cases[] = {
      {"empty", {}, "not a TIFF"},
      {"header only", Bytes(file.begin(), file.begin() + 8), "TIFF"},
      {"cut in half", Bytes(file.begin(), file.begin() + file.size() / 2), "TIFF"},
      {"garbage after the signature", garbage, "TIFF"},
      {"20000 x 20000", EncodeTiff(huge), "too large"},
  };
  for (const Case& c : cases) {
    EXPECT_THAT_ERROR(DecodeTiff(c.Data), c.Part);
  }
}

}  // namespace
