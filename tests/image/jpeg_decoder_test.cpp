#include <gtest/gtest.h>

#include <cstdlib>

#include "image/pixel_image.h"
#include "sample_pictures.h"

namespace {

// Quality 100 still rounds colours a little.
void ExpectNear(const PixelImage& image, int32_t x, int32_t y, int blue, int green, int red) {
  const uint8_t* pixel = image.Row(y) + x * 3;
  EXPECT_NEAR(pixel[0], blue, 3) << "blue at " << x << "," << y;
  EXPECT_NEAR(pixel[1], green, 3) << "green at " << x << "," << y;
  EXPECT_NEAR(pixel[2], red, 3) << "red at " << x << "," << y;
}

JpegSample OneColour(int components, Bytes samples) {
  JpegSample sample{8, 8, components};
  for (int i = 0; i < 64; ++i)
    sample.Samples.insert(sample.Samples.end(), samples.begin(), samples.end());
  return sample;
}

size_t FrameMarker(const Bytes& file) {
  for (size_t i = 0; i + 1 < file.size(); ++i) {
    if (file[i] == 0xFF && (file[i + 1] == 0xC0 || file[i + 1] == 0xC2)) return i;
  }
  return file.size();
}

Bytes WithFrameSize(Bytes file, uint16_t width, uint16_t height) {
  const size_t frame = FrameMarker(file);
  file.at(frame + 5) = static_cast<uint8_t>(height >> 8);
  file.at(frame + 6) = static_cast<uint8_t>(height);
  file.at(frame + 7) = static_cast<uint8_t>(width >> 8);
  file.at(frame + 8) = static_cast<uint8_t>(width);
  return file;
}

TEST(JpegDecoding, ColourPictureGivesBlueGreenRedRows) {
  JpegSample sample{16, 16, 3};
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 16; ++x) {
      sample.Samples.insert(sample.Samples.end(),
                            {uint8_t(y < 8 ? 250 : 0), 0, uint8_t(y < 8 ? 0 : 250)});
    }
  }
  const PixelImage image = DecodeJpeg(EncodeJpeg(sample));
  ASSERT_EQ(image.BitCount(), 24);
  ASSERT_EQ(image.Width(), 16);
  ExpectNear(image, 3, 2, 0, 0, 250);   // red at the top
  ExpectNear(image, 3, 13, 250, 0, 0);  // blue at the bottom
}

TEST(JpegDecoding, GreyscaleAndProgressivePicturesDecode) {
  const PixelImage grey = DecodeJpeg(EncodeJpeg(OneColour(1, {90})));
  ExpectNear(grey, 5, 5, 90, 90, 90);
  JpegSample progressive = OneColour(3, {10, 200, 60});
  progressive.Progressive = true;
  ExpectNear(DecodeJpeg(EncodeJpeg(progressive)), 1, 6, 60, 200, 10);
}

TEST(JpegDecoding, CmykIsConvertedWithAndWithoutAdobeInversion) {
  // Half cyan ink, no other: red 128, green and blue full.
  JpegSample plain = OneColour(4, {127, 0, 0, 0});
  plain.AdobeMarker = false;
  ExpectNear(DecodeJpeg(EncodeJpeg(plain)), 2, 2, 255, 255, 128);
  const JpegSample inverted = OneColour(4, {128, 255, 255, 255});
  ExpectNear(DecodeJpeg(EncodeJpeg(inverted)), 2, 2, 255, 255, 128);
  const JpegSample inkedBlack = OneColour(4, {255, 255, 255, 0});  // inverted: full black
  ExpectNear(DecodeJpeg(EncodeJpeg(inkedBlack)), 2, 2, 0, 0, 0);
}

TEST(JpegDecoding, MinimumSizeChoosesTheSmallestScaleThatReachesIt) {
  const Bytes file = FlatJpeg(800, 600, 0, 128, 255);
  struct Case {
    int32_t MinWidth, MinHeight, Width, Height;
  };
  for (Case c : {Case{0, 0, 800, 600}, Case{100, 100, 200, 150}, Case{300, 0, 300, 225},
                 Case{0, 76, 200, 150}, Case{1, 1, 100, 75}, Case{2000, 2000, 800, 600}}) {
    const PixelImage image = DecodeJpeg(file, c.MinWidth, c.MinHeight);
    EXPECT_EQ(image.Width(), c.Width) << c.MinWidth << "x" << c.MinHeight;
    EXPECT_EQ(image.Height(), c.Height) << c.MinWidth << "x" << c.MinHeight;
  }
  ExpectNear(DecodeJpeg(file, 100, 100), 50, 50, 255, 128, 0);
}

TEST(JpegDecodingOfBadData, TruncatedGarbageAndEmptyDataAreErrors) {
  const Bytes file = FlatJpeg(64, 64, 1, 2, 3);
  for (size_t length : {size_t{0}, size_t{2}, size_t{100}, FrameMarker(file) + 4, file.size() / 2,
                        file.size() - 20, file.size() - 2}) {
    EXPECT_THROW(DecodeJpeg(std::span(file.data(), length)), PictureError) << length;
  }
  const Bytes garbage(500, 0x5A);
  EXPECT_THROW(DecodeJpeg(garbage), PictureError);
}

TEST(JpegDecodingOfBadData, AbsurdFrameSizesAreRefused) {
  const Bytes file = FlatJpeg(16, 16, 9, 9, 9);
  EXPECT_THROW(DecodeJpeg(WithFrameSize(file, 65500, 65500)), PictureError);
  EXPECT_THROW(DecodeJpeg(WithFrameSize(file, 16, 0)), PictureError);
  // Within the side bound, but 768 MiB of pixels at full scale.
  EXPECT_THAT_ERROR(DecodeJpeg(WithFrameSize(file, 16000, 16000)), "too large");
  // Scaled down it fits, but the data ends (at the end marker) long before the pixels do.
  EXPECT_THROW(DecodeJpeg(WithFrameSize(file, 16000, 16000), 1920, 1080), PictureError);
  // A progressive file keeps the whole frame's coefficients: over the memory bound.
  JpegSample progressive = OneColour(3, {1, 2, 3});
  progressive.Progressive = true;
  EXPECT_THAT_ERROR(DecodeJpeg(WithFrameSize(EncodeJpeg(progressive), 16000, 16000), 1920, 1080),
                    "working memory");
}

TEST(JpegDecodingOfBadData, FilesWithHundredsOfScansAreRefused) {
  JpegSample sample = OneColour(1, {77});
  sample.ManyScans = true;
  EXPECT_THAT_ERROR(DecodeJpeg(EncodeJpeg(sample)), "scans");
}

}  // namespace
