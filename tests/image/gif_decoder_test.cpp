#include <gtest/gtest.h>

#include "image/pixel_image.h"
#include "sample_pictures.h"

namespace {

// Palette entries 0..3 are red, green, blue, white; letters name them.
const Bytes FourColours = {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255};

Bytes IndicesOf(const LetterRows& rows) {
  Bytes indices;
  for (const std::string& row : rows) {
    for (const char letter : row)
      indices.push_back(static_cast<uint8_t>(std::string("RGBW").find(letter)));
  }
  return indices;
}

GifSample Frame(int screenWidth, int screenHeight, int left, int top, const LetterRows& rows) {
  return {screenWidth,
          screenHeight,
          left,
          top,
          static_cast<int>(rows[0].size()),
          static_cast<int>(rows.size()),
          FourColours,
          false,
          -1,
          false,
          IndicesOf(rows)};
}

GifSample With(GifSample sample, int transparentIndex, bool interlaced, bool localPalette) {
  sample.TransparentIndex = transparentIndex;
  sample.Interlaced = interlaced;
  sample.LocalPalette = localPalette;
  return sample;
}

TEST(GifDecoding, TheFirstFrameIsComposedOnItsScreen) {
  const LetterRows nineRows = {"RG", "GB", "BW", "WR", "RB", "GW", "BR", "WG", "RR"};
  struct Case {
    const char* Name;
    GifSample Sample;
    LetterRows Expected;
    int BitCount;
  };
  const Case cases[] = {
      {"whole screen", Frame(3, 2, 0, 0, {"RGB", "WRG"}), {"RGB", "WRG"}, 24},
      {"transparent index inside a smaller frame",
       With(Frame(4, 3, 1, 1, {"RW", "GB"}), 3, false, false),
       {"....", ".R..", ".GB."},
       32},
      {"frame beyond the screen's corner", Frame(2, 2, 1, 1, {"RG", "BW"}), {"..", ".R"}, 32},
      {"transparent index no pixel uses",
       With(Frame(2, 1, 0, 0, {"RG"}), 3, false, false),
       {"RG"},
       24},
      {"interlaced rows", With(Frame(2, 9, 0, 0, nineRows), -1, true, false), nineRows, 24},
      {"the frame's own palette",
       With(Frame(2, 2, 0, 0, {"RG", "BW"}), -1, false, true),
       {"RG", "BW"},
       24},
  };
  for (const Case& c : cases) {
    const PixelImage image = DecodeGif(EncodeGif(c.Sample));
    EXPECT_EQ(LettersOf(image), c.Expected) << c.Name;
    EXPECT_EQ(image.BitCount(), c.BitCount) << c.Name;
  }
}

void PutU16(Bytes& data, size_t at, uint16_t value) {
  data.at(at) = static_cast<uint8_t>(value);
  data.at(at + 1) = static_cast<uint8_t>(value >> 8);
}

TEST(GifDecodingOfBadData, DamagedAndOversizedFilesAreErrors) {
  LetterRows rows(16, "RGBWRGBWRGBWRGBW");
  const Bytes file = EncodeGif(Frame(16, 16, 0, 0, rows));
  // Header 6, screen 7, a four-colour table 12: the frame's descriptor follows.
  constexpr size_t frameAt = 25;
  ASSERT_EQ(file.at(frameAt), ',');
  Bytes hugeScreen = file;
  PutU16(hugeScreen, 6, 20000);
  PutU16(hugeScreen, 8, 20000);
  Bytes hugeFrame = file;
  PutU16(hugeFrame, frameAt + 5, 20000);
  PutU16(hugeFrame, frameAt + 7, 20000);
  Bytes noFrame(file.begin(), file.begin() + frameAt);
  noFrame.push_back(';');
  Bytes notGif = file;
  notGif[4] = '8';  // GIF88a
  struct Case {
    const char* Name;
    Bytes Data;
    const char* Part;
  };
  const Case cases[] = {
      {"empty", {}, "not a GIF"},
      {"header only", Bytes(file.begin(), file.begin() + 6), "GIF"},
      {"cut inside the pixels", Bytes(file.begin(), file.begin() + frameAt + 14), "GIF"},
      {"screen of 20000 x 20000", hugeScreen, "too large"},
      {"frame of 20000 x 20000", hugeFrame, "too large"},
      {"no frame", noFrame, "no picture"},
      {"unknown version", notGif, "not a GIF"},
  };
  for (const Case& c : cases) {
    EXPECT_THAT_ERROR(DecodeGif(c.Data), c.Part);
  }
}

}  // namespace
