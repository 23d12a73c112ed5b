#include "gdiplus/tint.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace {

TEST(TintPixels, GivesTheOnePixelOfAOneByOneBufferTheColourAndKeepsItsAlpha) {
  std::array<uint8_t, 4> pixel{10, 20, 30, 77};
  TintPixels(pixel.data(), 1, 1, 4, 200, 100, 50);
  EXPECT_EQ(pixel, (std::array<uint8_t, 4>{50, 100, 200, 77}));
}

TEST(TintPixels, ColoursAFullyTransparentPixelToo) {
  std::array<uint8_t, 4> pixel{255, 255, 255, 0};
  TintPixels(pixel.data(), 1, 1, 4, 1, 2, 3);
  EXPECT_EQ(pixel, (std::array<uint8_t, 4>{3, 2, 1, 0}));
}

TEST(TintPixels, StoresPureRedOnHalfTransparentWhiteAsBlueGreenRedAlphaBytes) {
  std::array<uint8_t, 4> pixel{0xFF, 0xFF, 0xFF, 0x80};
  TintPixels(pixel.data(), 1, 1, 4, 255, 0, 0);
  EXPECT_EQ(pixel, (std::array<uint8_t, 4>{0x00, 0x00, 0xFF, 0x80}));
}

TEST(TintPixels, LeavesThePaddingBeyondEachRowUntouched) {
  constexpr uint32_t width = 3, height = 4;
  constexpr int32_t stride = 4 * width + 5;
  std::vector<uint8_t> buffer(stride * height);
  for (size_t i = 0; i < buffer.size(); ++i) buffer[i] = static_cast<uint8_t>(i * 7 + 1);
  const std::vector<uint8_t> before = buffer;

  TintPixels(buffer.data(), width, height, stride, 9, 8, 7);

  for (uint32_t y = 0; y < height; ++y) {
    for (uint32_t x = 0; x < width; ++x) {
      const size_t at = y * stride + 4 * x;
      EXPECT_EQ(buffer[at + 0], 7);
      EXPECT_EQ(buffer[at + 1], 8);
      EXPECT_EQ(buffer[at + 2], 9);
      EXPECT_EQ(buffer[at + 3], before[at + 3]) << "alpha of " << x << "," << y;
    }
    for (int32_t pad = 4 * width; pad < stride; ++pad) {
      EXPECT_EQ(buffer[y * stride + pad], before[y * stride + pad]) << "padding of row " << y;
    }
  }
}

TEST(TintPixels, WalksBottomUpRowsThroughANegativeStride) {
  constexpr int32_t stride = 8;  // two pixels a row
  std::vector<uint8_t> buffer(stride * 2, 0xEE);
  uint8_t* lastRow = buffer.data() + stride;
  TintPixels(lastRow, 1, 2, -stride, 1, 2, 3);
  EXPECT_EQ(buffer[0], 3);
  EXPECT_EQ(buffer[stride], 3);
  EXPECT_EQ(buffer[4], 0xEE) << "the second pixel of a row lies beyond the width";
  EXPECT_EQ(buffer[3], 0xEE);
}

TEST(TintPixels, DoesNothingForAnEmptyBuffer) {
  std::array<uint8_t, 4> pixel{1, 2, 3, 4};
  TintPixels(pixel.data(), 0, 1, 4, 9, 9, 9);
  TintPixels(pixel.data(), 1, 0, 4, 9, 9, 9);
  TintPixels(nullptr, 1, 1, 4, 9, 9, 9);
  EXPECT_EQ(pixel, (std::array<uint8_t, 4>{1, 2, 3, 4}));
}

TEST(CopyBgraRows, CopiesEveryByteOfTheRowsAndNothingPastTheWidth) {
  const std::vector<uint8_t> source{1, 2,  3,  4,  5,  6,  7,  8,  0xAA,  // row 0 and padding
                                    9, 10, 11, 12, 13, 14, 15, 16, 0xBB};
  std::vector<uint8_t> dest(20, 0xCC);
  CopyBgraRows(source.data(), 9, dest.data(), 10, 2, 2, false);
  EXPECT_EQ(dest, (std::vector<uint8_t>{1, 2,  3,  4,  5,  6,  7,  8,  0xCC, 0xCC,  //
                                        9, 10, 11, 12, 13, 14, 15, 16, 0xCC, 0xCC}));
}

TEST(CopyBgraRows, MakesEveryPixelOpaqueWhenTheSourceCarriesNoAlpha) {
  const std::vector<uint8_t> source{1, 2, 3, 0, 4, 5, 6, 17};
  std::vector<uint8_t> dest(8);
  CopyBgraRows(source.data(), 8, dest.data(), 8, 2, 1, true);
  EXPECT_EQ(dest, (std::vector<uint8_t>{1, 2, 3, 255, 4, 5, 6, 255}));
}

}  // namespace
