#include "gdiplus/tint.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace {

using Pixel = std::array<uint8_t, 4>;  // blue, green, red, alpha

Pixel Tinted(Pixel pixel, uint8_t red, uint8_t green, uint8_t blue) {
  TintPixels(pixel.data(), 1, 1, 4, red, green, blue);
  return pixel;
}

TEST(TintPixels, GivesEveryPixelTheColourAndKeepsItsAlpha) {
  EXPECT_EQ(Tinted({10, 20, 30, 77}, 200, 100, 50), (Pixel{50, 100, 200, 77}));
  EXPECT_EQ(Tinted({255, 255, 255, 0}, 1, 2, 3), (Pixel{3, 2, 1, 0})) << "alpha 0 too";
  EXPECT_EQ(Tinted({0xFF, 0xFF, 0xFF, 0x80}, 255, 0, 0), (Pixel{0x00, 0x00, 0xFF, 0x80}));
}

TEST(TintPixels, LeavesThePaddingBeyondEachRowUntouched) {
  constexpr uint32_t width = 3, height = 4;
  constexpr int32_t stride = 4 * width + 5;
  std::vector<uint8_t> buffer(stride * height);
  for (size_t i = 0; i < buffer.size(); ++i) buffer[i] = static_cast<uint8_t>(i * 7 + 1);
  std::vector<uint8_t> expected = buffer;
  for (uint32_t y = 0; y < height; ++y) {
    for (uint32_t x = 0; x < width; ++x) {
      uint8_t* pixel = &expected[y * stride + 4 * x];
      pixel[0] = 7, pixel[1] = 8, pixel[2] = 9;
    }
  }
  TintPixels(buffer.data(), width, height, stride, 9, 8, 7);
  EXPECT_EQ(buffer, expected);
}

TEST(CopyBgraRows, CopiesTheRowsWithoutTheirPaddingAndCanMakeThemOpaque) {
  const std::vector<uint8_t> source{1, 2,  3,  0,  5,  6,  7,  8,  0xAA,  // row 0 and padding
                                    9, 10, 11, 12, 13, 14, 15, 16, 0xBB};
  std::vector<uint8_t> dest(20, 0xCC);
  CopyBgraRows(source.data(), 9, dest.data(), 10, 2, 2, false);
  EXPECT_EQ(dest, (std::vector<uint8_t>{1, 2,  3,  0,  5,  6,  7,  8,  0xCC, 0xCC,  //
                                        9, 10, 11, 12, 13, 14, 15, 16, 0xCC, 0xCC}));
  CopyBgraRows(source.data(), 9, dest.data(), 10, 2, 1, true);
  EXPECT_EQ(dest[3], 255);
  EXPECT_EQ(dest[7], 255);
}

}  // namespace
