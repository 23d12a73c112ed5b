// A 4:3 picture on a 16:9 screen, under wine at 1920 x 1080 (label fullhd): each driver's
// run and the full-screen preview fill the screen with it in proportion, and put it in the
// same place.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
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

// The disc's centre and spread by its moments, which the few small bubbles over it hardly
// move: for a disc each spread is half its radius.
struct Disc {
  double X = 0, Y = 0, SpreadX = 0, SpreadY = 0;
};

Disc Measure(const harness::Capture& screen) {
  double n = 0, sx = 0, sy = 0, sxx = 0, syy = 0;
  for (int y = 0; y < screen.Height; ++y) {
    for (int x = 0; x < screen.Width; ++x) {
      const uint32_t p = screen.At(x, y);
      if (harness::Green(p) < 180 || harness::Red(p) > 90 || harness::Blue(p) > 90) continue;
      n += 1;
      sx += x;
      sy += y;
      sxx += double(x) * x;
      syy += double(y) * y;
    }
  }
  if (n == 0) return {};
  const double mx = sx / n, my = sy / n;
  return {mx, my, std::sqrt(sxx / n - mx * mx), std::sqrt(syy / n - my * my)};
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
    EXPECT_NEAR(disc.SpreadX / disc.SpreadY, 1.0, 0.02) << mode.Name;
    EXPECT_NEAR(disc.SpreadY * 4, 960, 960 * 0.02) << mode.Name;
    std::printf("%s: centre %.1f, %.1f, spread %.2f x %.2f (%.4f)\n", mode.Name, disc.X, disc.Y,
                disc.SpreadX, disc.SpreadY, disc.SpreadX / disc.SpreadY);
    discs.push_back(disc);
  }
  for (size_t i = 1; i < discs.size(); ++i) {
    EXPECT_NEAR(discs[i].X, discs[0].X, 1.0) << modes[i].Name;
    EXPECT_NEAR(discs[i].Y, discs[0].Y, 1.0) << modes[i].Name;
  }
}

}  // namespace
