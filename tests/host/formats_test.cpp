// Pictures as users have them, under wine: a GIF, a TIFF and a WebP as the background of
// each driver's run and of the full-screen preview, and a portrait photograph whose Exif
// orientation turns it upright.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "harness/harness.h"
#include "host_test_support.h"
#include "image/sample_pictures.h"

namespace {

bool WriteFile(const std::string& path, const Bytes& bytes) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return std::fclose(file) == 0 && written;
}

// 16 x 9 pictures of the one colour, lossless in every format.
Bytes FlatGif() {
  GifSample gif{16, 9, 0, 0, 16, 9, {0x20, 0xA0, 0x40, 0, 0, 0}};
  gif.Indices.assign(16 * 9, 0);
  return EncodeGif(gif);
}
Bytes FlatTiff() {
  TiffSample tiff{16, 9, 3, 5 /* LZW */};
  for (int i = 0; i < 16 * 9; ++i) tiff.Pixels.insert(tiff.Pixels.end(), {0x20, 0xA0, 0x40});
  return EncodeTiff(tiff);
}
Bytes FlatWebp() {
  WebpSample webp{16, 9};
  for (int i = 0; i < 16 * 9; ++i) webp.Bgra.insert(webp.Bgra.end(), {0x40, 0xA0, 0x20, 0xFF});
  webp.Lossless = true;
  return EncodeWebp(webp);
}

struct FormatRow {
  std::string Name;
  const char* Extension;
  std::function<Bytes()> Make;
  const char* Driver;  // nullptr: the full-screen preview
};

void PrintTo(const FormatRow& row, std::ostream* out) {
  *out << row.Name;
}

class FormatTest : public host_test::SaverTest {
 protected:
  // Starts the row's mode over the background file and captures the screen.
  static harness::Capture RunOver(const std::string& path, const char* driver) {
    harness::Settings::SetDword("BackType", 3);
    harness::Settings::SetString("BackPic", path);
    if (driver) harness::Settings::SetString("Driver", driver);
    harness::SaverProcess saver(driver ? std::vector<std::string>{"/s"}
                                       : std::vector<std::string>{"/p", "0"});
    HWND host = harness::WaitForWindow(
        {.ClassName = HostWindowClass, .ProcessId = saver.Id(), .VisibleOnly = true},
        host_test::StartTimeout);
    if (!host) return {};
    // The first frame, however long the machine takes for it, and a few more after it.
    harness::WaitForScreenDrawn(host_test::FirstFrameTimeout);
    harness::PumpFor(500);
    return harness::CaptureScreen();
  }
};

class Formats : public FormatTest, public ::testing::WithParamInterface<FormatRow> {};

// Within a few steps of the colour on every channel: a software rasteriser's stretch.
bool NearColour(uint32_t pixel) {
  return std::abs(harness::Red(pixel) - 0x20) <= 12 &&
         std::abs(harness::Green(pixel) - 0xA0) <= 12 &&
         std::abs(harness::Blue(pixel) - 0x40) <= 12;
}

TEST_P(Formats, ABackgroundInTheFormatCoversTheScreen) {
  const FormatRow& row = GetParam();
  const std::string path = harness::OutputFolder() + "\\formats_back." + row.Extension;
  ASSERT_TRUE(WriteFile(path, row.Make()));
  const harness::Capture screen = RunOver(path, row.Driver);
  ASSERT_FALSE(screen.Empty()) << "no run window";
  int64_t matching = 0;
  for (uint32_t pixel : screen.Pixels) matching += NearColour(pixel);
  // The bubbles cover part of it; the rest is the picture's colour.
  EXPECT_GT(matching, int64_t(screen.Pixels.size()) / 3) << row.Name;
}

std::vector<FormatRow> Rows() {
  const struct {
    const char* Name;
    const char* Extension;
    Bytes (*Make)();
  } formats[] = {{"Gif", "gif", FlatGif}, {"Tiff", "tif", FlatTiff}, {"Webp", "webp", FlatWebp}};
  const struct {
    const char* Name;
    const char* Driver;
  } modes[] = {{"Direct3D", "Directx 7.0"}, {"Gdiplus", "GDI+"}, {"Preview", nullptr}};
  std::vector<FormatRow> rows;
  for (const auto& format : formats)
    for (const auto& mode : modes)
      rows.push_back(
          {std::string(format.Name) + mode.Name, format.Extension, format.Make, mode.Driver});
  return rows;
}

INSTANTIATE_TEST_SUITE_P(EachDriver, Formats, ::testing::ValuesIn(Rows()),
                         [](const auto& param) { return param.param.Name; });

// A phone's portrait photograph: stored landscape, red left and blue right, with Exif
// orientation 6 (turn it a quarter clockwise). Upright, red is on top and blue below.
TEST_F(FormatTest, AnExifPortraitShowsUprightInEachDriver) {
  JpegSample photo{64, 32};
  photo.FullChroma = true;
  photo.Exif = ExifWithOrientation(6);
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 64; ++x)
      photo.Samples.insert(photo.Samples.end(), x < 32
                                                    ? std::initializer_list<uint8_t>{230, 20, 20}
                                                    : std::initializer_list<uint8_t>{20, 20, 230});
  const std::string path = harness::OutputFolder() + "\\formats_portrait.jpg";
  ASSERT_TRUE(WriteFile(path, EncodeJpeg(photo)));
  for (const char* driver : {"Directx 7.0", "GDI+"}) {
    const harness::Capture screen = RunOver(path, driver);
    ASSERT_FALSE(screen.Empty()) << driver;
    const harness::MeanColour top = harness::Mean(screen, {0, 0, screen.Width, screen.Height / 4});
    const harness::MeanColour bottom =
        harness::Mean(screen, {0, screen.Height * 3 / 4, screen.Width, screen.Height});
    EXPECT_GT(top.Red, top.Blue + 60) << driver << ": the top is not red, the photograph lies";
    EXPECT_GT(bottom.Blue, bottom.Red + 60) << driver << ": the bottom is not blue";
  }
}

}  // namespace
