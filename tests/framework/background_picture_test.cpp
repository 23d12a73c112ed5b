#include "framework/background_picture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::string WriteBmp(const std::string& name, const PixelImage& image) {
  const fs::path path = fs::temp_directory_path() / ("vesperine-background-" + name);
  const std::vector<uint8_t> bytes = EncodeBmp(image);
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
  return path.string();
}

PixelImage OnePixel(int bitCount, std::initializer_list<uint8_t> bgra) {
  PixelImage image;
  image.SetSize(1, 1, bitCount);
  std::copy(bgra.begin(), bgra.end(), image.Row(0));
  return image;
}

// The built-in photograph, 2560 x 1440; wine takes a bare /path on the current drive.
std::string BuiltInPhotograph() {
  std::string root = VESPERINE_SOURCE_DIR;
#ifdef _WIN32
  if (!root.empty() && root[0] == '/') root = "Z:" + root;
#endif
  return root + "/resources/BACK.jpg";
}

// A fourth byte that is 0 everywhere is no alpha (a plain 32-bit BMP): kept as it is.
TEST(BackgroundFile, TranslucentPixelsLieOverBlackAndPicturesWithoutAlphaStayAsTheyAre) {
  const struct {
    const char* Name;
    PixelImage Picture;
    int BitCount;
    uint8_t Blue, Green, Red;
  } files[] = {{"half.bmp", OnePixel(32, {200, 100, 50, 128}), 24, 100, 50, 25},
               {"opaque.bmp", OnePixel(32, {200, 100, 50, 255}), 24, 200, 100, 50},
               {"no-alpha.bmp", OnePixel(32, {200, 100, 50, 0}), 32, 200, 100, 50},
               {"flat.bmp", OnePixel(24, {200, 100, 50}), 24, 200, 100, 50}};
  for (const auto& file : files) {
    const std::string path = WriteBmp(file.Name, file.Picture);
    const PixelImage shown = LoadBackgroundFile(path, 0, 0);
    fs::remove(path);
    ASSERT_EQ(shown.BitCount(), file.BitCount) << file.Name;
    const uint8_t* pixel = shown.Row(0);
    EXPECT_EQ(pixel[0], file.Blue) << file.Name;
    EXPECT_EQ(pixel[1], file.Green) << file.Name;
    EXPECT_EQ(pixel[2], file.Red) << file.Name;
  }
}

TEST(BackgroundFile, APhotographDecodesNoLargerThanTheScreenNeeds) {
  const PixelImage whole = LoadBackgroundFile(BuiltInPhotograph(), 0, 0);
  EXPECT_EQ(whole.Width(), 2560);
  EXPECT_EQ(whole.Height(), 1440);
  const PixelImage small = LoadBackgroundFile(BuiltInPhotograph(), 100, 100);
  EXPECT_LT(small.Width(), 544);
  EXPECT_GE(small.Width(), 100);
  EXPECT_GE(small.Height(), 100);
}

// The smallest of libjpeg's eighths that still covers every area: 1920 x 1080 needs 6/8.
TEST(DecodeJpegToFill, DecodesTheSmallestScaleThatFillsEveryAreaWithoutEnlarging) {
  const std::vector<uint8_t> jpeg = ReadWholeFile(BuiltInPhotograph());
  const struct {
    std::vector<ScreenRect> Areas;
    int32_t Width, Height;
  } cases[] = {
      {{{0, 0, 1920, 1080}}, 1920, 1080}, {{{0, 0, 1024, 768}}, 1600, 900},
      {{{0, 0, 1080, 1920}}, 2560, 1440}, {{{0, 0, 1024, 768}, {-800, 0, 0, 1000}}, 1920, 1080},
      {{{0, 0, 152, 112}}, 320, 180},     {{}, 2560, 1440},
  };
  for (const auto& c : cases) {
    const PixelImage decoded = DecodeJpegToFill(jpeg, c.Areas);
    EXPECT_EQ(decoded.Width(), c.Width) << c.Areas.size();
    EXPECT_EQ(decoded.Height(), c.Height) << c.Areas.size();
  }
}

TEST(BackgroundFile, AMissingFileThrowsAsThePictureLoaderDoes) {
  EXPECT_THROW(LoadBackgroundFile(BuiltInPhotograph() + ".missing.jpg", 0, 0), PictureError);
}

}  // namespace
