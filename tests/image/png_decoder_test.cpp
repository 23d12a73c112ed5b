#include <gtest/gtest.h>
#include <zlib.h>

#include "image/pixel_image.h"
#include "sample_pictures.h"

namespace {

std::string RgbaAt(const PngPicture& png, size_t pixel) {
  const uint8_t* p = &png.Rgba[pixel * 4];
  return std::to_string(p[0]) + "," + std::to_string(p[1]) + "," + std::to_string(p[2]) + "," +
         std::to_string(p[3]);
}

PngSample RgbaSample(uint32_t width, uint32_t height) {
  PngSample sample{width, height, 8, 6};
  for (uint32_t i = 0; i < width * height; ++i) {
    sample.Rows.insert(sample.Rows.end(),
                       {uint8_t(i * 7), uint8_t(i * 13), uint8_t(i), uint8_t(255 - i)});
  }
  return sample;
}

TEST(PngDecoding, GreyWithAlphaExpandsToWhiteAndKeepsAlpha) {
  const PngPicture png = DecodePng(EncodePng({2, 1, 8, 4, false, {255, 0, 40, 184}}));
  EXPECT_EQ(png.ColorType, 4);
  EXPECT_TRUE(png.HasAlphaChannel());
  EXPECT_EQ(RgbaAt(png, 0), "255,255,255,0");
  EXPECT_EQ(RgbaAt(png, 1), "40,40,40,184");
}

TEST(PngDecoding, TruecolourWithAlphaGivesItsSamplesExactly) {
  const PngSample sample = RgbaSample(5, 3);
  const PngPicture png = DecodePng(EncodePng(sample));
  EXPECT_EQ(png.Width, 5u);
  EXPECT_EQ(png.Height, 3u);
  EXPECT_EQ(png.Rgba, sample.Rows);
}

TEST(PngDecoding, TransparencyChunksDoNotBecomeAlpha) {
  PngSample palette{3, 1, 8, 3, false, {0, 1, 2}, {255, 0, 0, 0, 255, 0, 0, 0, 255}, {0, 128}};
  const PngPicture png = DecodePng(EncodePng(palette));
  EXPECT_EQ(png.ColorType, 3);
  EXPECT_FALSE(png.HasAlphaChannel());
  EXPECT_EQ(RgbaAt(png, 0) + " " + RgbaAt(png, 1) + " " + RgbaAt(png, 2),
            "255,0,0,255 0,255,0,255 0,0,255,255");
  const PngPicture grey = DecodePng(EncodePng({2, 1, 8, 0, false, {7, 200}, {}, {7}}));
  EXPECT_EQ(RgbaAt(grey, 0) + " " + RgbaAt(grey, 1), "7,7,7,255 200,200,200,255");
}

TEST(PngDecoding, OtherBitDepthsAreBroughtToEightBits) {
  const PngPicture deep =
      DecodePng(EncodePng({1, 1, 16, 6, false, {0xFF, 0xFF, 0x80, 0x80, 0x00, 0x00, 0x01, 0x01}}));
  EXPECT_EQ(RgbaAt(deep, 0), "255,128,0,1");
  const PngPicture bits = DecodePng(EncodePng({3, 1, 1, 0, false, {0b10100000}}));
  EXPECT_EQ(RgbaAt(bits, 0) + " " + RgbaAt(bits, 1) + " " + RgbaAt(bits, 2),
            "255,255,255,255 0,0,0,255 255,255,255,255");
}

TEST(PngDecoding, InterlacedFileGivesTheSamePixels) {
  PngSample sample = RgbaSample(11, 9);
  sample.Interlaced = true;
  EXPECT_EQ(DecodePng(EncodePng(sample)).Rgba, sample.Rows);
}

TEST(PngDecoding, PixelImageCarriesAlphaOnlyForAlphaColourTypes) {
  const PixelImage withAlpha = PngToPixelImage(DecodePng(EncodePng(RgbaSample(2, 1))));
  EXPECT_EQ(withAlpha.BitCount(), 32);
  EXPECT_EQ(BgrAt(withAlpha, 1, 0), "1,13,7,254");
  const PixelImage opaque =
      PngToPixelImage(DecodePng(EncodePng({1, 1, 8, 2, false, {10, 20, 30}})));
  EXPECT_EQ(opaque.BitCount(), 24);
  EXPECT_EQ(BgrAt(opaque, 0, 0), "30,20,10");
}

TEST(PngDecodingOfBadData, EveryTruncationIsAnError) {
  const Bytes file = EncodePng(RgbaSample(6, 4));
  for (size_t length = 0; length < file.size(); ++length) {
    EXPECT_THROW(DecodePng(std::span(file.data(), length)), PictureError) << length;
  }
}

TEST(PngDecodingOfBadData, CorruptSignatureOrPixelDataIsAnError) {
  Bytes file = EncodePng(RgbaSample(6, 4));
  Bytes badSignature = file;
  badSignature[1] = 'Q';
  EXPECT_THROW(DecodePng(badSignature), PictureError);
  file[file.size() - 20] ^= 0x55;  // inside the image data: its CRC fails
  EXPECT_THROW(DecodePng(file), PictureError);
}

TEST(PngDecodingOfBadData, AbsurdOrZeroSizesAreRefused) {
  for (auto [width, height] : {std::pair{100000u, 100000u}, {0u, 5u}, {16385u, 1u}}) {
    Bytes file = PngSignature();
    const Bytes header = PngHeaderChunk(width, height, 8, 6);
    file.insert(file.end(), header.begin(), header.end());
    EXPECT_THROW(DecodePng(file), PictureError) << width << "x" << height;
  }
}

TEST(PngDecodingOfBadData, SmallFileOfAHugeImageIsRefusedBeforeDecoding) {
  const uint32_t side = 16000;  // 1 GiB once expanded to RGBA
  const Bytes raw(size_t{side} * (1 + side / 8), 0);
  Bytes compressed(compressBound(static_cast<uLong>(raw.size())));
  uLongf length = static_cast<uLongf>(compressed.size());
  ASSERT_EQ(compress2(compressed.data(), &length, raw.data(), static_cast<uLong>(raw.size()), 9),
            Z_OK);
  compressed.resize(length);
  Bytes file = PngSignature();
  for (const Bytes& chunk :
       {PngHeaderChunk(side, side, 1, 0), PngChunk("IDAT", compressed), PngChunk("IEND", {})}) {
    file.insert(file.end(), chunk.begin(), chunk.end());
  }
  ASSERT_LT(file.size(), 100000u);
  EXPECT_THAT_ERROR(DecodePng(file), "too large");
}

}  // namespace
