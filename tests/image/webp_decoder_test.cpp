#include <gtest/gtest.h>

#include "image/pixel_image.h"
#include "sample_pictures.h"

namespace {

WebpSample Sample(const LetterRows& rows, bool lossless, bool alpha = false) {
  WebpSample sample;
  sample.Width = static_cast<int>(rows[0].size());
  sample.Height = static_cast<int>(rows.size());
  sample.Bgra = BgraFromLetters(rows);
  sample.Lossless = lossless;
  sample.Alpha = alpha;
  return sample;
}

TEST(WebpDecoding, LossyLosslessAlphaAnimationAndOrientationGiveThePicture) {
  LetterRows quadrants;
  for (int y = 0; y < 32; ++y) {
    quadrants.push_back(y < 16 ? "KKKKKKKKKKKKKKKKWWWWWWWWWWWWWWWW"
                               : "WWWWWWWWWWWWWWWWKKKKKKKKKKKKKKKK");
  }
  const LetterRows alpha = {"rg.R", "R.gr"};
  WebpSample animation = Sample({"RG", "BW"}, true);
  animation.SecondFrameBgra = BgraFromLetters({"WW", "WW"});
  WebpSample quarterTurn = Sample({"BC", "GY", "RW"}, true);
  quarterTurn.Exif = ExifWithOrientation(6);
  WebpSample flipped = Sample({"BGR", "CYW"}, true);
  flipped.Exif = ExifWithOrientation(2, true);
  // Lossy coding keeps flat areas of black and white close; the tolerance covers the
  // edges between them.
  struct Case {
    const char* Name;
    WebpSample Sample;
    LetterRows Expected;
    int BitCount;
    int Tolerance;
  };
  const Case cases[] = {
      {"lossless", Sample({"RGBW", "YCMK"}, true), {"RGBW", "YCMK"}, 24, 0},
      {"lossless with alpha", Sample(alpha, true, true), alpha, 32, 0},
      {"lossy", Sample(quadrants, false), quadrants, 24, 24},
      {"lossy with alpha", Sample({"KKWW..", "KKWW.."}, false, true), {"KKWW..", "KKWW.."}, 32, 24},
      {"animation's first frame", animation, {"RG", "BW"}, 24, 0},
      {"Exif orientation 6", quarterTurn, {"RGB", "WYC"}, 24, 0},
      {"Exif orientation 2, big-endian", flipped, {"RGB", "WYC"}, 24, 0},
  };
  for (const Case& c : cases) {
    const PixelImage image = DecodeWebp(EncodeWebp(c.Sample));
    EXPECT_EQ(LettersOf(image, c.Tolerance), c.Expected) << c.Name;
    EXPECT_EQ(image.BitCount(), c.BitCount) << c.Name;
  }
}

// A lossless file's header: the picture's sides, then no pixel data.
Bytes LosslessHeader(uint32_t width, uint32_t height) {
  Bytes file = {'R', 'I', 'F', 'F', 0, 0, 0, 0,    'W', 'E', 'B', 'P', 'V',
                'P', '8', 'L', 0,   0, 0, 0, 0x2F, 0,   0,   0,   0};
  PutU32(file, 4, static_cast<uint32_t>(file.size() - 8 + 16));
  PutU32(file, 16, 5 + 16);
  PutU32(file, 21, (width - 1) | (height - 1) << 14);
  file.resize(file.size() + 16, 0);
  return file;
}

TEST(WebpDecodingOfBadData, DamagedAndOversizedFilesAreErrors) {
  const Bytes file = EncodeWebp(Sample(LetterRows(16, "RGBWRGBWRGBWRGBW"), false));
  struct Case {
    const char* Name;
    Bytes Data;
    const char* Part;
  };
  const Case cases[] = {
      {"empty", {}, "not a WebP"},
      {"RIFF header only", Bytes(file.begin(), file.begin() + 12), "WebP"},
      {"cut in half", Bytes(file.begin(), file.begin() + file.size() / 2), "WebP"},
      {"16383 x 16383", LosslessHeader(16383, 16383), "too large"},
      {"a small header without pixels", LosslessHeader(4, 4), "WebP"},
  };
  for (const Case& c : cases) {
    EXPECT_THAT_ERROR(DecodeWebp(c.Data), c.Part);
  }
}

}  // namespace
