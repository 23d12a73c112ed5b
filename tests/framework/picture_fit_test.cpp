// Where a picture goes without distortion: the "Fill" crop of a background, the bubble's
// square, and the two built from them.
#include "framework/picture_fit.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "framework/background_picture.h"

namespace {

TEST(FillSource, CutsTheCentredPartWithTheAreasProportions) {
  const struct {
    const char* Name;
    int32_t PictureWidth, PictureHeight, AreaWidth, AreaHeight;
    ScreenRect Expected;
  } cases[] = {
      {"4:3 into 16:9", 1600, 1200, 1920, 1080, {0, 150, 1600, 1050}},
      {"16:9 into 4:3", 1920, 1080, 1024, 768, {240, 0, 1680, 1080}},
      {"16:9 into 9:16", 1920, 1080, 1080, 1920, {656, 0, 1264, 1080}},
      {"4:3 into 21:9", 1600, 1200, 2560, 1080, {0, 262, 1600, 937}},
      {"equal shapes", 800, 600, 1024, 768, {0, 0, 800, 600}},
      {"one pixel wide", 1, 500, 1920, 1080, {0, 249, 1, 250}},
      {"one pixel high into portrait", 500, 1, 1080, 1920, {249, 0, 250, 1}},
      {"no area", 640, 480, 0, 1080, {0, 0, 640, 480}},
      {"no picture", 0, 0, 1920, 1080, {0, 0, 0, 0}},
  };
  for (const auto& c : cases) {
    const ScreenRect source =
        FillSource(c.PictureWidth, c.PictureHeight, c.AreaWidth, c.AreaHeight);
    EXPECT_EQ(source, c.Expected) << c.Name;
    if (c.AreaWidth <= 0 || source.Width() < 100 || source.Height() < 100) continue;
    // Scaled over the area, both sides take the same scale, to within a source pixel.
    const double across = static_cast<double>(c.AreaWidth) / source.Width();
    const double down = static_cast<double>(c.AreaHeight) / source.Height();
    EXPECT_NEAR(across / down, 1.0, 1.0 / std::min(source.Width(), source.Height())) << c.Name;
  }
}

TEST(SquareAndFit, CutTheCentredSquareOrFitTheWholePictureInsideIt) {
  const struct {
    int32_t Width, Height;
    ScreenRect Square, FitIn256;
  } cases[] = {
      {100, 50, {25, 0, 75, 50}, {0, 64, 256, 192}},
      {50, 100, {0, 25, 50, 75}, {64, 0, 192, 256}},
      {300, 300, {0, 0, 300, 300}, {0, 0, 256, 256}},
      {1, 500, {0, 249, 1, 250}, {127, 0, 128, 256}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SquareSource(c.Width, c.Height), c.Square) << c.Width << "x" << c.Height;
    EXPECT_EQ(FitInSquare(c.Width, c.Height, 256), c.FitIn256) << c.Width << "x" << c.Height;
  }
  EXPECT_EQ(FitInSquare(100, 50, 0), (ScreenRect{}));
}

PixelImage Bands(int bitCount, uint8_t alpha) {
  // Three upright bands, red, green, blue, of 25, 50 and 25 columns.
  PixelImage image;
  image.SetSize(100, 50, bitCount);
  const int step = bitCount / 8;
  for (int32_t y = 0; y < 50; ++y) {
    for (int32_t x = 0; x < 100; ++x) {
      uint8_t* pixel = image.Row(y) + x * step;
      pixel[x < 25 ? 2 : x < 75 ? 1 : 0] = 200;
      if (step == 4) pixel[3] = alpha;
    }
  }
  return image;
}

std::string Bgra(const PixelImage& image, int32_t x, int32_t y) {
  const int step = image.BitCount() / 8;
  const uint8_t* p = image.Row(y) + x * step;
  std::string text = std::to_string(p[0]) + "," + std::to_string(p[1]) + "," + std::to_string(p[2]);
  return step == 4 ? text + "," + std::to_string(p[3]) : text;
}

// Without alpha only the middle band is left, over the whole square; with alpha the whole
// picture keeps its shape between clear margins above and below.
TEST(BubblePictureSquare, CutsAPictureWithoutAlphaAndFitsOneWithAlpha) {
  for (const PixelImage& flat : {Bands(24, 0), Bands(32, 0)}) {
    const PixelImage square = BubblePictureSquare(flat, 256);
    ASSERT_EQ(square.BitCount(), 24);
    for (auto [x, y] : {std::pair{0, 0}, {255, 0}, {0, 255}, {255, 255}, {128, 128}}) {
      EXPECT_EQ(Bgra(square, x, y), "0,200,0") << x << "," << y;
    }
  }
  const PixelImage fitted = BubblePictureSquare(Bands(32, 255), 256);
  ASSERT_EQ(fitted.BitCount(), 32);
  EXPECT_EQ(Bgra(fitted, 128, 10), "0,0,0,0");
  EXPECT_EQ(Bgra(fitted, 128, 245), "0,0,0,0");
  EXPECT_EQ(Bgra(fitted, 10, 128), "0,0,200,255");
  EXPECT_EQ(Bgra(fitted, 128, 128), "0,200,0,255");
  EXPECT_EQ(Bgra(fitted, 245, 128), "200,0,0,255");
}

TEST(FilledPicture, FillsTheImageWithTheCentreOfTheBands) {
  const PixelImage filled = FilledPicture(Bands(24, 0), 40, 40);
  ASSERT_EQ(filled.Width(), 40);
  EXPECT_EQ(Bgra(filled, 0, 0), "0,200,0,255");
  EXPECT_EQ(Bgra(filled, 39, 39), "0,200,0,255");
}

}  // namespace
