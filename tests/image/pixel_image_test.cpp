#include "image/pixel_image.h"

#include <gtest/gtest.h>

#include "sample_pictures.h"

namespace {

PixelImage Filled(int32_t width, int32_t height, int bits, std::vector<uint8_t> pixel) {
  PixelImage image;
  image.SetSize(width, height, bits);
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t x = 0; x < width; ++x)
      std::copy(pixel.begin(), pixel.end(), image.Row(y) + x * bits / 8);
  }
  return image;
}

void SetPixel(PixelImage& image, int32_t x, int32_t y, std::vector<uint8_t> pixel) {
  std::copy(pixel.begin(), pixel.end(), image.Row(y) + x * image.BitCount() / 8);
}

TEST(PixelImageSize, RowsArePaddedToFourBytesAndZeroFilled) {
  PixelImage image;
  image.SetSize(5, 2, 24);
  EXPECT_EQ(image.Stride(), 16u);
  EXPECT_EQ(BgrAt(image, 4, 1), "0,0,0");
  image.SetSize(3, 1, 8);
  EXPECT_EQ(image.Stride(), 4u);
  image.SetSize(0, 7, 32);
  EXPECT_TRUE(image.Empty());
}

TEST(PixelImageSize, BadDepthsNegativeSidesAndHugeSizesAreRefused) {
  PixelImage image;
  image.SetSize(2, 2, 24);
  EXPECT_THROW(image.SetSize(4, 4, 16), PictureError);
  EXPECT_THROW(image.SetSize(-1, 4, 24), PictureError);
  EXPECT_THROW(image.SetSize(16385, 1, 8), PictureError);
  EXPECT_THROW(image.SetSize(16384, 16384, 32), PictureError);  // 1 GiB
  EXPECT_EQ(image.Width(), 2);  // a refused size leaves the image as it was
}

TEST(PixelImageAlpha, HasAlphaNeedsThirtyTwoBitsAndOneNonZeroAlpha) {
  EXPECT_FALSE(Filled(3, 3, 24, {9, 9, 9}).HasAlpha());
  PixelImage image = Filled(3, 3, 32, {9, 9, 9, 0});
  EXPECT_FALSE(image.HasAlpha());
  SetPixel(image, 2, 2, {9, 9, 9, 1});
  EXPECT_TRUE(image.HasAlpha());
}

TEST(PixelImageAlpha, ConvertTo32KeepsColoursAndMakesThemOpaque) {
  PixelImage image = Filled(3, 2, 24, {1, 2, 3});
  image.ConvertTo32();
  EXPECT_EQ(image.BitCount(), 32);
  EXPECT_EQ(BgrAt(image, 2, 1), "1,2,3,255");
  PixelImage indexed = Filled(2, 1, 8, {5});
  indexed.Palette[5] = 0xFFAABBCC;
  indexed.ConvertTo32();
  EXPECT_EQ(BgrAt(indexed, 1, 0), "204,187,170,255");
}

TEST(PixelImageAlpha, CopyAlphaFromTakesGreyValuesOrAlphaOfTheSameSizeOnly) {
  PixelImage target = Filled(2, 2, 32, {1, 2, 3, 255});
  PixelImage mask = Filled(2, 2, 8, {0});
  SetPixel(mask, 1, 0, {77});
  target.CopyAlphaFrom(mask);
  EXPECT_EQ(BgrAt(target, 1, 0), "1,2,3,77");
  EXPECT_EQ(BgrAt(target, 0, 1), "1,2,3,0");
  target.CopyAlphaFrom(Filled(2, 2, 32, {0, 0, 0, 66}));
  EXPECT_EQ(BgrAt(target, 0, 0), "1,2,3,66");
  for (const PixelImage& unusable :
       {Filled(2, 3, 32, {0, 0, 0, 9}), Filled(3, 2, 8, {9}), Filled(2, 2, 24, {9, 9, 9})}) {
    target.CopyAlphaFrom(unusable);
    EXPECT_EQ(BgrAt(target, 1, 1), "1,2,3,66");
  }
}

PixelImage WithOpaqueCorner(PixelImage image) {
  SetPixel(image, 0, 0, {1, 1, 1, 255});
  return image;
}

TEST(PixelImageAlpha, OverBlackScalesColoursByAlphaOnlyWhenThereIsAlpha) {
  struct Case {
    const char* Name;
    PixelImage Image;
    int BitCount;
    std::string Pixel;
  };
  const Case cases[] = {
      {"opaque", Filled(3, 2, 32, {10, 20, 200, 255}), 24, "10,20,200"},
      {"half", Filled(3, 2, 32, {10, 20, 200, 128}), 24, "5,10,100"},
      {"transparent", WithOpaqueCorner(Filled(3, 2, 32, {10, 20, 200, 0})), 24, "0,0,0"},
      {"24 bits", Filled(3, 2, 24, {10, 20, 200}), 24, "10,20,200"},
      // A fourth byte of zeros everywhere is no alpha (a plain 32-bit bitmap).
      {"all alpha zero", Filled(3, 2, 32, {10, 20, 200, 0}), 32, "10,20,200,0"},
  };
  for (const Case& c : cases) {
    const PixelImage flat = OverBlack(c.Image);
    EXPECT_EQ(flat.BitCount(), c.BitCount) << c.Name;
    EXPECT_EQ(BgrAt(flat, 2, 1), c.Pixel) << c.Name;
  }
}

TEST(PixelImageStretch, HundredByFiftyFillsAWholeSquareTexture) {
  PixelImage picture = Filled(100, 50, 24, {0, 0, 200});
  for (int32_t y = 0; y < 50; ++y) {
    for (int32_t x = 50; x < 100; ++x) SetPixel(picture, x, y, {200, 0, 0});
  }
  PixelImage texture;
  texture.SetSize(256, 256, 24);
  texture.StretchDraw(picture, {0, 0, 256, 256});
  EXPECT_EQ(BgrAt(texture, 0, 0), "0,0,200");
  // Clear of the seam, where the cubic filter rings.
  EXPECT_EQ(BgrAt(texture, 122, 255), "0,0,200");
  EXPECT_EQ(BgrAt(texture, 134, 0), "200,0,0");
  EXPECT_EQ(BgrAt(texture, 255, 255), "200,0,0");
}

TEST(PixelImageStretch, ShrinkingAveragesAndEnlargingInterpolates) {
  PixelImage checker = Filled(4, 4, 24, {0, 0, 0});
  for (auto [x, y] : {std::pair{0, 0}, {1, 1}, {2, 0}, {3, 1}})
    SetPixel(checker, x, y, {100, 100, 100});
  PixelImage small;
  small.SetSize(2, 2, 24);
  small.StretchDraw(checker, {0, 0, 2, 2});
  EXPECT_EQ(BgrAt(small, 0, 0), "50,50,50");
  EXPECT_EQ(BgrAt(small, 1, 1), "0,0,0");

  PixelImage ramp = Filled(2, 1, 24, {0, 0, 0});
  SetPixel(ramp, 1, 0, {255, 255, 255});
  PixelImage wide;
  wide.SetSize(4, 1, 24);
  wide.StretchDraw(ramp, {0, 0, 4, 1});
  EXPECT_EQ(BgrAt(wide, 0, 0) + " " + BgrAt(wide, 1, 0) + " " + BgrAt(wide, 2, 0) + " " +
                BgrAt(wide, 3, 0),
            "0,0,0 52,52,52 203,203,203 255,255,255");
}

TEST(PixelImageStretch, SameSizeCopiesExactlyAndClipsToTheImage) {
  PixelImage source;
  source.SetSize(3, 3, 32);
  for (size_t i = 0; i < 12; ++i) source.Row(1)[i] = uint8_t(i * 20 + 5);
  PixelImage target = Filled(4, 4, 32, {1, 1, 1, 1});
  target.StretchDraw(source, {2, -1, 3, 3});  // only a 2 x 2 corner is inside
  EXPECT_EQ(BgrAt(target, 2, 0), "5,25,45,65");
  EXPECT_EQ(BgrAt(target, 3, 0), "85,105,125,145");
  EXPECT_EQ(BgrAt(target, 3, 1), "0,0,0,0");
  EXPECT_EQ(BgrAt(target, 1, 0), "1,1,1,1");
  EXPECT_EQ(BgrAt(target, 2, 2), "1,1,1,1");
  target.StretchDraw(source, {-100000, 5, 2000000000, 1});  // wholly outside
  target.StretchDraw(source, {0, 0, 0, 4});
  EXPECT_EQ(BgrAt(target, 0, 3), "1,1,1,1");
}

TEST(PixelImageStretch, TransparentPixelsHardlyColourTheirOpaqueNeighbours) {
  PixelImage source = Filled(2, 1, 32, {0, 0, 255, 255});
  SetPixel(source, 1, 0, {0, 255, 0, 0});
  PixelImage target;
  target.SetSize(1, 1, 32);
  target.StretchDraw(source, {0, 0, 1, 1});
  EXPECT_EQ(BgrAt(target, 0, 0), "0,0,255,128");
  target.StretchDraw(Filled(2, 1, 32, {255, 0, 0, 0}), {0, 0, 1, 1});
  EXPECT_EQ(BgrAt(target, 0, 0), "255,0,0,0");  // wholly transparent keeps its colour
  PixelImage opaque;
  opaque.SetSize(1, 1, 32);
  opaque.StretchDraw(Filled(2, 1, 24, {7, 8, 9}), {0, 0, 1, 1});
  EXPECT_EQ(BgrAt(opaque, 0, 0), "7,8,9,255");
}

TEST(PixelImageStretch, PaletteImagesTakeNearestIndicesAndRefuseColour) {
  PixelImage source = Filled(2, 1, 8, {3});
  SetPixel(source, 1, 0, {9});
  PixelImage target;
  target.SetSize(4, 1, 8);
  target.StretchDraw(source, {0, 0, 4, 1});
  EXPECT_EQ(std::vector<uint8_t>(target.Row(0), target.Row(0) + 4),
            (std::vector<uint8_t>{3, 3, 9, 9}));
  EXPECT_THROW(target.StretchDraw(Filled(1, 1, 24, {0, 0, 0}), {0, 0, 4, 1}), PictureError);
}

// A part of a picture drawn 1:1 and enlarged; the whole picture as StretchDraw draws it;
// a part beyond the picture is clipped to it.
TEST(PixelImageStretch, APartOfTheSourceGoesWhereAWholeSourceWould) {
  PixelImage source = Filled(4, 2, 24, {1, 1, 1});
  SetPixel(source, 2, 0, {50, 60, 70});
  SetPixel(source, 3, 1, {80, 90, 100});
  PixelImage target;
  target.SetSize(4, 2, 32);
  StretchDrawPart(target, source, {2, 0, 2, 2}, {0, 0, 2, 2});
  EXPECT_EQ(BgrAt(target, 0, 0), "50,60,70,255");
  EXPECT_EQ(BgrAt(target, 1, 1), "80,90,100,255");
  EXPECT_EQ(BgrAt(target, 2, 0), "0,0,0,0") << "outside dest stays untouched";

  PixelImage whole, direct;
  whole.SetSize(8, 4, 32);
  direct.SetSize(8, 4, 32);
  StretchDrawPart(whole, source, {0, 0, 4, 2}, {0, 0, 8, 4});
  direct.StretchDraw(source, {0, 0, 8, 4});
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 8; ++x) EXPECT_EQ(BgrAt(whole, x, y), BgrAt(direct, x, y)) << x << "," << y;

  PixelImage clipped;
  clipped.SetSize(1, 1, 32);
  StretchDrawPart(clipped, source, {3, 1, 10, 10}, {0, 0, 1, 1});
  EXPECT_EQ(BgrAt(clipped, 0, 0), "80,90,100,255");
  StretchDrawPart(clipped, source, {9, 9, 2, 2}, {0, 0, 1, 1});  // nothing of it exists
  EXPECT_EQ(BgrAt(clipped, 0, 0), "80,90,100,255");
}

}  // namespace
