#include <gtest/gtest.h>

#include <climits>

#include "image/pixel_image.h"
#include "sample_pictures.h"

namespace {

std::string ErrorOf(const Bytes& file) {
  try {
    DecodeBmp(file);
  } catch (const PictureError& error) {
    return error.what();
  }
  return "no error";
}

// 3 x 2 at 24 bits: rows of 9 bytes padded to 12.
BmpSample TwentyFourBit(int32_t height) {
  return {3,
          height,
          24,
          0,
          40,
          0,
          {},
          {},
          {1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 0, 0, 11, 12, 13, 14, 15, 16, 17, 18, 19, 0, 0, 0}};
}

TEST(BmpDecoding, BottomUpAndTopDownRowsLandTheRightWayUp) {
  const PixelImage bottomUp = DecodeBmp(BuildBmp(TwentyFourBit(2)));
  EXPECT_EQ(BgrAt(bottomUp, 0, 0), "11,12,13");
  EXPECT_EQ(BgrAt(bottomUp, 2, 1), "7,8,9");
  const PixelImage topDown = DecodeBmp(BuildBmp(TwentyFourBit(-2)));
  EXPECT_EQ(topDown.Height(), 2);
  EXPECT_EQ(BgrAt(topDown, 0, 0), "1,2,3");
  EXPECT_EQ(BgrAt(topDown, 2, 1), "17,18,19");
}

TEST(BmpDecoding, PalettePicturesKeepIndicesAndPalette) {
  const Bytes palette = {255, 0, 0, 0, 0, 255, 0, 0, 0, 0, 255, 0};
  const PixelImage eight = DecodeBmp(BuildBmp({3, 1, 8, 0, 40, 3, {}, palette, {2, 0, 1, 0}}));
  EXPECT_EQ(eight.BitCount(), 8);
  EXPECT_EQ(eight.Row(0)[0], 2);
  EXPECT_EQ(eight.Palette[0], 0xFF0000FFu);
  EXPECT_EQ(eight.Palette[2], 0xFFFF0000u);
  const PixelImage four = DecodeBmp(BuildBmp({3, 1, 4, 0, 40, 3, {}, palette, {0x21, 0x00, 0, 0}}));
  EXPECT_EQ(four.Row(0)[0], 2);
  EXPECT_EQ(four.Row(0)[1], 1);
  EXPECT_EQ(four.Row(0)[2], 0);
  Bytes twoColours(palette.begin(), palette.begin() + 8);
  const PixelImage one =
      DecodeBmp(BuildBmp({10, 1, 1, 0, 40, 0, {}, twoColours, {0xA0, 0x40, 0, 0}}));
  EXPECT_EQ(one.Row(0)[0], 1);
  EXPECT_EQ(one.Row(0)[1], 0);
  EXPECT_EQ(one.Row(0)[2], 1);
  EXPECT_EQ(one.Row(0)[9], 1);
}

TEST(BmpDecoding, ThirtyTwoBitPlainKeepsTheFourthByteAndBitfieldsFollowTheMasks) {
  const PixelImage plain = DecodeBmp(BuildBmp({1, 1, 32, 0, 40, 0, {}, {}, {1, 2, 3, 0}}));
  EXPECT_EQ(BgrAt(plain, 0, 0), "1,2,3,0");
  const std::vector<uint32_t> usual = {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000};
  const Bytes pixel = {10, 20, 30, 40};
  EXPECT_EQ(BgrAt(DecodeBmp(BuildBmp({1, 1, 32, 3, 124, 0, usual, {}, pixel})), 0, 0),
            "10,20,30,40");
  const std::vector<uint32_t> noAlpha(usual.begin(), usual.begin() + 3);
  EXPECT_EQ(BgrAt(DecodeBmp(BuildBmp({1, 1, 32, 3, 40, 0, noAlpha, {}, pixel})), 0, 0),
            "10,20,30,0");
  const std::vector<uint32_t> swapped = {0x000000FF, 0x0000FF00, 0x00FF0000, 0xFF000000};
  EXPECT_EQ(BgrAt(DecodeBmp(BuildBmp({1, 1, 32, 3, 108, 0, swapped, {}, pixel})), 0, 0),
            "30,20,10,40");
}

TEST(BmpDecodingOfBadData, UnsupportedFormsAreRefusedClearly) {
  BmpSample rle{1, 1, 8, 1, 40, 1, {}, {0, 0, 0, 0}, {0, 0, 0, 0}};
  EXPECT_NE(ErrorOf(BuildBmp(rle)).find("RLE"), std::string::npos);
  EXPECT_NE(ErrorOf(BuildBmp({1, 1, 16, 0, 40, 0, {}, {}, {0, 0, 0, 0}})).find("16 bits"),
            std::string::npos);
  EXPECT_NE(ErrorOf(BuildBmp({1, 1, 32, 3, 40, 0, {0xF0F000, 0xFF00, 0xFF}, {}, {0, 0, 0, 0}}))
                .find("contiguous"),
            std::string::npos);
  EXPECT_NE(ErrorOf({'P', 'K', 3, 4}).find("not a BMP"), std::string::npos);
}

TEST(BmpDecodingOfBadData, BadSizesAndTruncationsAreErrors) {
  for (auto [width, height] : {std::pair{3, INT_MIN},
                               {3, 0},
                               {0, 2},
                               {-3, 2},
                               {100000, 1},
                               {16384, 16384},
                               {3, 100000000}}) {
    BmpSample sample = TwentyFourBit(height);
    sample.Width = width;
    EXPECT_THROW(DecodeBmp(BuildBmp(sample)), PictureError) << width << "x" << height;
  }
  const Bytes file = BuildBmp(TwentyFourBit(2));
  for (size_t length = 0; length < file.size(); ++length) {
    EXPECT_THROW(DecodeBmp(std::span(file.data(), length)), PictureError) << length;
  }
  Bytes farOffset = file;
  PutU32(farOffset, 10, 0xFFFFFFF0);
  EXPECT_THROW(DecodeBmp(farOffset), PictureError);
}

TEST(BmpEncoding, WrittenFilesReadBackAtTheirDepth) {
  for (int bits : {24, 32}) {
    PixelImage image;
    image.SetSize(5, 3, bits);  // odd width: rows need padding
    for (int32_t y = 0; y < 3; ++y) {
      for (size_t i = 0; i < size_t(5 * bits / 8); ++i) image.Row(y)[i] = uint8_t(y * 50 + i);
    }
    const PixelImage back = DecodeBmp(EncodeBmp(image));
    ASSERT_EQ(back.BitCount(), bits);
    ASSERT_EQ(back.Height(), 3);
    for (int32_t y = 0; y < 3; ++y) {
      EXPECT_TRUE(std::equal(image.Row(y), image.Row(y) + image.Stride(), back.Row(y))) << bits;
    }
  }
}

TEST(BmpEncoding, PaletteImagesAreWrittenAsTheirColoursAndEmptyOnesRefused) {
  PixelImage indexed;
  indexed.SetSize(2, 1, 8);
  indexed.Palette[7] = 0xFF102030;
  indexed.Row(0)[1] = 7;
  const PixelImage back = DecodeBmp(EncodeBmp(indexed));
  EXPECT_EQ(back.BitCount(), 24);
  EXPECT_EQ(BgrAt(back, 1, 0), "48,32,16");
  EXPECT_THROW(EncodeBmp(PixelImage()), PictureError);
}

}  // namespace
