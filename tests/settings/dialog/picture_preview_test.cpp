#include "settings/dialog/picture_preview.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

namespace {

PixelImage Solid(int32_t width, int32_t height, int bits, uint8_t blue, uint8_t green, uint8_t red,
                 uint8_t alpha = 255) {
  PixelImage image;
  image.SetSize(width, height, bits);
  for (int32_t y = 0; y < height; ++y) {
    uint8_t* pixel = image.Row(y);
    for (int32_t x = 0; x < width; ++x, pixel += bits / 8) {
      pixel[0] = blue;
      pixel[1] = green;
      pixel[2] = red;
      if (bits == 32) pixel[3] = alpha;
    }
  }
  return image;
}

TEST(PreviewImage, ShrinksAWidePictureIntoTheBoxAsOpaqueColour) {
  const PixelImage preview = MakePreviewImage(Solid(400, 200, 24, 10, 20, 200), 100, 100, 0xFFFFFF);
  EXPECT_EQ(preview.Width(), 100);
  EXPECT_EQ(preview.Height(), 50);
  EXPECT_EQ(preview.BitCount(), 24);
  const uint8_t* middle = preview.Row(25) + 50 * 3;
  EXPECT_NEAR(middle[0], 10, 1);
  EXPECT_NEAR(middle[1], 20, 1);
  EXPECT_NEAR(middle[2], 200, 1);
}

TEST(PreviewImage, BlendsTransparentPixelsOverTheBackground) {
  PixelImage picture = Solid(8, 8, 32, 0, 0, 0, 255);
  for (int32_t x = 0; x < 8; ++x) picture.Row(0)[x * 4 + 3] = 0;    // top row clear
  for (int32_t x = 0; x < 8; ++x) picture.Row(7)[x * 4 + 3] = 128;  // bottom row half
  const PixelImage preview = MakePreviewImage(picture, 16, 16, 0x336699);
  ASSERT_EQ(preview.Width(), 8);
  EXPECT_EQ(preview.Row(0)[4 * 3 + 0], 0x99);
  EXPECT_EQ(preview.Row(0)[4 * 3 + 1], 0x66);
  EXPECT_EQ(preview.Row(0)[4 * 3 + 2], 0x33);
  EXPECT_EQ(preview.Row(4)[4 * 3 + 0], 0) << "opaque black stays black";
  EXPECT_NEAR(preview.Row(7)[4 * 3 + 0], 0x99 / 2, 2);
}

TEST(PreviewImage, TreatsAnAllZeroAlphaChannelAsOpaqueLikeTheLoader) {
  // 32-bit bitmaps commonly leave the fourth byte 0; they are opaque pictures.
  const PixelImage preview = MakePreviewImage(Solid(8, 8, 32, 40, 50, 60, 0), 16, 16, 0xFFFFFF);
  EXPECT_EQ(preview.Row(4)[4 * 3 + 0], 40);
}

TEST(PreviewImage, IsEmptyForAnEmptyPictureOrBox) {
  EXPECT_TRUE(MakePreviewImage(PixelImage{}, 100, 100, 0).Empty());
  EXPECT_TRUE(MakePreviewImage(Solid(4, 4, 24, 1, 2, 3), 0, 100, 0).Empty());
}

std::string TempPath(const char* name) {
  return ::testing::TempDir() + "/vesperine-preview-" + name;
}

TEST(PreviewFile, ShowsNothingForAMissingOrCorruptFileOrAnUnknownExtension) {
  EXPECT_FALSE(LoadPreviewImage(TempPath("missing.png"), 100, 100, 0).has_value());
  const std::string corrupt = TempPath("corrupt.png");
  std::ofstream(corrupt, std::ios::binary) << "\x89PNG\r\n\x1a\n and then nothing sensible";
  EXPECT_FALSE(LoadPreviewImage(corrupt, 100, 100, 0).has_value());
  const std::string text = TempPath("notes.txt");
  std::ofstream(text) << "hello";
  EXPECT_FALSE(LoadPreviewImage(text, 100, 100, 0).has_value());
  std::remove(corrupt.c_str());
  std::remove(text.c_str());
}

TEST(PreviewFile, ShowsAGoodBitmapFileShrunk) {
  const std::string path = TempPath("good.bmp");
  const std::vector<uint8_t> bytes = EncodeBmp(Solid(300, 30, 24, 0, 255, 0));
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
  const std::optional<PixelImage> preview = LoadPreviewImage(path, 150, 150, 0);
  ASSERT_TRUE(preview.has_value());
  EXPECT_EQ(preview->Width(), 150);
  EXPECT_EQ(preview->Height(), 15);
  EXPECT_NEAR(preview->Row(7)[75 * 3 + 1], 255, 1);
  std::remove(path.c_str());
}

}  // namespace
