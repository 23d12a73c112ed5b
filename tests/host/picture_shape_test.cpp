// A 4:3 picture on a 16:9 screen, under wine at 1920 x 1080 (label fullhd): each driver's
// run and the full-screen preview fill the screen with it in proportion, and put it in the
// same place.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "harness/harness.h"
#include "host_test_support.h"
#include "image/pixel_image.h"

namespace {

// 400 x 300, dark grey, with a green disc of radius 100 in the middle.
bool WriteCirclePicture(const std::string& path) {
  PixelImage picture;
  picture.SetSize(400, 300, 24);
  for (int32_t y = 0; y < 300; ++y) {
    for (int32_t x = 0; x < 400; ++x) {
      const bool inside =
          (x + 0.5 - 200) * (x + 0.5 - 200) + (y + 0.5 - 150) * (y + 0.5 - 150) < 100.0 * 100.0;
      uint8_t* pixel = picture.Row(y) + x * 3;
      pixel[0] = pixel[2] = 40;
      pixel[1] = inside ? 250 : 40;
    }
  }
  const std::vector<uint8_t> bytes = EncodeBmp(picture);
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return std::fclose(file) == 0 && written;
}

bool IsDisc(uint32_t p) {
  return harness::Green(p) >= 180 && harness::Red(p) <= 90 && harness::Blue(p) <= 90;
}
bool IsGround(uint32_t p) {
  return std::abs(harness::Red(p) - 40) <= 12 && std::abs(harness::Green(p) - 40) <= 12 &&
         std::abs(harness::Blue(p) - 40) <= 12;
}

// The disc's widest run of pixels along a line and that run's middle, over the lines whose
// two ends meet the picture's grey a few pixels out: a bubble in front of an end (under
// wine a layered window shows dark) would shorten the run, so that line does not count.
struct Extent {
  int Longest = 0;
  std::vector<double> Middles;
};

Extent ExtentAlong(int lines, int length, const std::function<uint32_t(int, int)>& at) {
  // Past the edge's blur and a cubic filter's ringing at a 4.8 times enlargement.
  constexpr int Out = 12;
  Extent extent;
  for (int line = 0; line < lines; ++line) {
    int first = 0, last = -1;  // the line's longest run of disc pixels
    for (int i = 0, start = -1; i < length; ++i) {
      if (!IsDisc(at(line, i))) {
        start = -1;
        continue;
      }
      if (start < 0) start = i;
      if (i - start > last - first) first = start, last = i;
    }
    if (last < 0 || first < Out || last + Out >= length) continue;
    if (!IsGround(at(line, first - Out)) || !IsGround(at(line, last + Out))) continue;
    extent.Longest = std::max(extent.Longest, last - first + 1);
    extent.Middles.push_back((first + last) / 2.0);
  }
  std::sort(extent.Middles.begin(), extent.Middles.end());
  return extent;
}

struct Disc {
  int Across = 0, Down = 0;
  double X = 0, Y = 0;  // the median middles
};

Disc Measure(const harness::Capture& s) {
  const Extent rows = ExtentAlong(s.Height, s.Width, [&](int y, int x) { return s.At(x, y); });
  const Extent columns = ExtentAlong(s.Width, s.Height, [&](int x, int y) { return s.At(x, y); });
  if (rows.Middles.empty() || columns.Middles.empty()) return {};
  return {rows.Longest, columns.Longest, rows.Middles[rows.Middles.size() / 2],
          columns.Middles[columns.Middles.size() / 2]};
}

class PictureShape : public host_test::SaverTest {};

TEST_F(PictureShape, AFourByThreeCircleStaysRoundAndInPlaceUnderEachDriverAndThePreview) {
  if (GetSystemMetrics(SM_CXSCREEN) != 1920 || GetSystemMetrics(SM_CYSCREEN) != 1080) {
    GTEST_SKIP() << "needs a 1920 x 1080 screen";
  }
  const std::string path = harness::OutputFolder() + "\\shape_circle.bmp";
  ASSERT_TRUE(WriteCirclePicture(path));
  const struct {
    const char* Name;
    const char* Driver;  // nullptr: the full-screen preview
  } modes[] = {{"Direct3D", "Directx 7.0"}, {"GDI+", "GDI+"}, {"preview", nullptr}};
  std::vector<Disc> discs;
  for (const auto& mode : modes) {
    harness::Settings::Clear();
    harness::Settings::SetDword("BackType", 3);
    harness::Settings::SetString("BackPic", path);
    harness::Settings::SetDword("BallsCount", 0);
    harness::Settings::SetDword("BallSize", 2);
    if (mode.Driver) harness::Settings::SetString("Driver", mode.Driver);
    harness::SaverProcess saver(mode.Driver ? std::vector<std::string>{"/s"}
                                            : std::vector<std::string>{"/p", "0"});
    ASSERT_NE(harness::WaitForWindow(
                  {.ClassName = HostWindowClass, .ProcessId = saver.Id(), .VisibleOnly = true},
                  host_test::StartTimeout),
              nullptr)
        << mode.Name;
    harness::WaitForScreenDrawn(host_test::FirstFrameTimeout);
    harness::PumpFor(1000);
    const harness::Capture screen = harness::CaptureScreen();
    harness::SavePng(screen, harness::OutputFolder() + "/shape-" + mode.Name + ".png");
    const Disc disc = Measure(screen);
    // The picture's middle 400 x 225 fills the screen: the disc is 960 pixels across.
    ASSERT_GT(disc.Down, 0) << mode.Name << ": no disc";
    EXPECT_NEAR(double(disc.Across) / disc.Down, 1.0, 0.02) << mode.Name;
    EXPECT_NEAR(disc.Down, 960, 960 * 0.02) << mode.Name;
    std::printf("%s: centre %.1f, %.1f, %d x %d (%.4f)\n", mode.Name, disc.X, disc.Y, disc.Across,
                disc.Down, double(disc.Across) / disc.Down);
    discs.push_back(disc);
  }
  for (size_t i = 1; i < discs.size(); ++i) {
    EXPECT_NEAR(discs[i].X, discs[0].X, 1.0) << modes[i].Name;
    EXPECT_NEAR(discs[i].Y, discs[0].Y, 1.0) << modes[i].Name;
  }
}

}  // namespace
