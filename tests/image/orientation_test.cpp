#include <gtest/gtest.h>

#include "image/pixel_image.h"
#include "sample_pictures.h"

namespace {

// Each letter of blocks becomes an 8 x 8 block of its colour.
LetterRows Blocks(const LetterRows& blocks) {
  LetterRows rows;
  for (const std::string& blockRow : blocks) {
    std::string row;
    for (const char letter : blockRow) row += std::string(8, letter);
    rows.insert(rows.end(), 8, row);
  }
  return rows;
}

Bytes JpegOf(const LetterRows& rows, int orientation) {
  JpegSample sample{static_cast<int>(rows[0].size()), static_cast<int>(rows.size()), 3};
  const Bytes bgra = BgraFromLetters(rows);
  for (size_t i = 0; i < bgra.size(); i += 4) {
    sample.Samples.insert(sample.Samples.end(), {bgra[i + 2], bgra[i + 1], bgra[i]});
  }
  sample.FullChroma = true;
  if (orientation) sample.Exif = ExifWithOrientation(orientation, orientation % 2 == 0);
  return EncodeJpeg(sample);
}

TEST(JpegOrientation, EachExifOrientationTurnsThePictureUpright) {
  const LetterRows upright = {"RGB", "WYC"};
  // How a camera stores the upright picture for each orientation value.
  const std::pair<int, LetterRows> stored[] = {
      {1, {"RGB", "WYC"}},     {2, {"BGR", "CYW"}},     {3, {"CYW", "BGR"}},
      {4, {"WYC", "RGB"}},     {5, {"RW", "GY", "BC"}}, {6, {"BC", "GY", "RW"}},
      {7, {"CB", "YG", "WR"}}, {8, {"WR", "YG", "CB"}}, {0, {"RGB", "WYC"}},
  };
  for (const auto& [orientation, blocks] : stored) {
    const PixelImage image = DecodeJpeg(JpegOf(Blocks(blocks), orientation));
    EXPECT_EQ(LettersOf(image, 6), Blocks(upright)) << "orientation " << orientation;
  }
}

TEST(JpegOrientation, TheScaleIsChosenForTheUprightSize) {
  // Stored 800 x 600; the smallest scale that covers 150 x 200 upright.
  struct Case {
    int Orientation;
    int32_t Width, Height;
  };
  for (const Case c :
       {Case{1, 300, 225}, Case{3, 300, 225}, Case{6, 150, 200}, Case{5, 150, 200}}) {
    JpegSample sample{800, 600, 1, Bytes(800 * 600, 128)};
    sample.Exif = ExifWithOrientation(c.Orientation);
    const PixelImage image = DecodeJpeg(EncodeJpeg(sample), 150, 200);
    EXPECT_EQ(image.Width(), c.Width) << c.Orientation;
    EXPECT_EQ(image.Height(), c.Height) << c.Orientation;
  }
}

TEST(ExifOrientationReading, DamagedOrOddDataReadsAsStored) {
  const Bytes little = ExifWithOrientation(6);
  const Bytes big = ExifWithOrientation(8, true);
  const auto patched = [](Bytes data, size_t at, std::initializer_list<uint8_t> bytes) {
    std::copy(bytes.begin(), bytes.end(), data.begin() + static_cast<ptrdiff_t>(at));
    return data;
  };
  // After "Exif\0\0": the byte order at 6, the first directory's offset at 10, its entry
  // count at 14, the entry at 16 (tag, type at 18, count at 20, value at 24).
  struct Case {
    const char* Name;
    Bytes Data;
    int Expected;
  };
  const Case cases[] = {
      {"little-endian", little, 6},
      {"big-endian", big, 8},
      {"without the Exif header", Bytes(little.begin() + 6, little.end()), 6},
      {"value 0", patched(little, 24, {0}), 1},
      {"value 9", patched(little, 24, {9}), 1},
      {"a LONG value", patched(little, 18, {4}), 1},
      {"two values", patched(little, 20, {2}), 1},
      {"another tag", patched(little, 16, {0x13}), 1},
      {"directory beyond the end", patched(little, 10, {0xF0, 0xFF, 0xFF, 0xFF}), 1},
      {"entries beyond the end", patched(patched(little, 16, {0x13}), 14, {0xFF, 0xFF}), 1},
      {"unknown byte order", patched(little, 6, {'X', 'X'}), 1},
      {"cut short", Bytes(little.begin(), little.begin() + 20), 1},
      {"empty", {}, 1},
  };
  for (const Case& c : cases) EXPECT_EQ(ExifOrientation(c.Data), c.Expected) << c.Name;
}

}  // namespace
