// The real vesperine.scr with the DirectDraw driver, watched from outside under wine.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "framework/win/form.h"
#include "harness/harness.h"

namespace {

constexpr DWORD StartTimeout = harness::ProgramStartTimeout;
constexpr DWORD EndTimeout = 8000;
// A ceiling for new frames to arrive: a frame takes milliseconds on real hardware, and up to
// a second with a software rasteriser on an emulated CPU.
constexpr DWORD FrameTimeout = 10000;
// The first frame, which under an emulated CPU's software rasteriser takes many seconds.
constexpr DWORD FirstFrameTimeout = 30000;

// Sampled pixels of the green the desktop stand-in was painted with.
int64_t CountDesktopGreen(const harness::Capture& screen) {
  int64_t green = 0;
  for (int y = 0; y < screen.Height; y += 8) {
    for (int x = 0; x < screen.Width; x += 8) {
      const uint32_t p = screen.At(x, y);
      green += std::abs(harness::Green(p) - 160) <= 8 && harness::Red(p) <= 8;
    }
  }
  return green;
}

class DirectDrawRunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    harness::Settings::Clear();
    harness::CentreCursor();
  }
  void TearDown() override { harness::Settings::Clear(); }

  HWND StartRun(harness::SaverProcess& saver) {
    EXPECT_TRUE(saver.Started());
    Host = harness::WaitForWindow(
        {.ClassName = HostWindowClass, .Title = RunTitle, .ProcessId = saver.Id()}, StartTimeout);
    if (!Host) return nullptr;
    Scene = harness::WaitForWindow({.ClassName = FormWindowClass, .Parent = Host}, 5000);
    EXPECT_TRUE(harness::WaitForScreenDrawn(FirstFrameTimeout));
    harness::PumpFor(1500);  // a few frames
    return Host;
  }

  static harness::Capture Screen() { return harness::CaptureScreen(); }
  static void Save(const harness::Capture& c, const std::string& name) {
    harness::SavePng(c, harness::OutputFolder() + "\\" + name);
  }

  HWND Host = nullptr;
  HWND Scene = nullptr;
};

}  // namespace

TEST_F(DirectDrawRunTest, DefaultRunShowsTheBackgroundWithMovingTintedBubbles) {
  harness::SaverProcess saver({"/s"});
  ASSERT_NE(StartRun(saver), nullptr);
  ASSERT_NE(Scene, nullptr);
  EXPECT_TRUE(IsWindowVisible(Scene));
  const harness::Capture first = Screen();
  const harness::Capture second = harness::WaitForScreenChange(first, 2000, 8, FrameTimeout);
  Save(second, "directdraw_run.png");
  ASSERT_FALSE(first.Empty());
  // The photograph fills the screen: many colours, no black frame left over.
  EXPECT_GT(harness::CountColours(second), 2000u);
  // Bubbles move between the captures; the background alone would not change.
  EXPECT_GT(harness::CountDifferentPixels(first, second, 8), 2000);
  EXPECT_TRUE(saver.Running());
}

TEST_F(DirectDrawRunTest, EscapeHidesTheSceneAndTheNextKeyEndsTheRun) {
  harness::SaverProcess saver({"/s"});
  ASSERT_NE(StartRun(saver), nullptr);
  ASSERT_NE(Scene, nullptr);
  harness::PostKey(Scene, VK_ESCAPE);
  EXPECT_TRUE(harness::WaitUntil([&] { return !IsWindowVisible(Scene); }, 5000));
  harness::PumpFor(300);
  EXPECT_TRUE(saver.Running());
  harness::PostKey(Host, VK_SPACE);
  EXPECT_TRUE(saver.WaitForExit(EndTimeout));
}

TEST_F(DirectDrawRunTest, AKeyOverTheSceneEndsTheRun) {
  harness::SaverProcess saver({"/s"});
  ASSERT_NE(StartRun(saver), nullptr);
  ASSERT_NE(Scene, nullptr);
  harness::PostKey(Scene, 'Q');
  EXPECT_TRUE(saver.WaitForExit(EndTimeout));
}

TEST_F(DirectDrawRunTest, AClickOverTheSceneEndsTheRun) {
  harness::SaverProcess saver({"/s"});
  ASSERT_NE(StartRun(saver), nullptr);
  ASSERT_NE(Scene, nullptr);
  harness::PostClick(Scene, WM_LBUTTONDOWN);
  EXPECT_TRUE(saver.WaitForExit(EndTimeout));
}

TEST_F(DirectDrawRunTest, MouseMovementOverTheSceneEndsTheRun) {
  harness::SaverProcess saver({"/s"});
  ASSERT_NE(StartRun(saver), nullptr);
  POINT p = harness::CursorPosition();
  harness::MoveCursor(p.x + 3, p.y + 3);
  harness::PumpFor(200);
  harness::MoveCursor(p.x + 40, p.y + 40);
  harness::PumpFor(200);
  harness::MoveCursor(p.x + 80, p.y + 60);
  EXPECT_TRUE(saver.WaitForExit(EndTimeout));
}

TEST_F(DirectDrawRunTest, BackTypeTwoShowsTheDesktopAsItWasAtTheStart) {
  harness::ColourScreen desktop(RGB(0, 160, 0));
  harness::PumpFor(300);
  harness::Settings::SetDword("BackType", 2);
  harness::Settings::SetDword("BallsCount", 3);
  harness::SaverProcess saver({"/s"});
  ASSERT_NE(StartRun(saver), nullptr);
  desktop.Close();
  // The stand-in was still up when the run started, so the wait for a drawn screen saw its
  // green at once; the saver's own first frame may still be on its way.
  const int64_t samples =
      int64_t(GetSystemMetrics(SM_CXSCREEN) / 8) * (GetSystemMetrics(SM_CYSCREEN) / 8);
  harness::Capture first;
  EXPECT_TRUE(harness::WaitUntil(
      [&] {
        first = Screen();
        return CountDesktopGreen(first) > samples / 2;
      },
      FirstFrameTimeout, 200));
  const harness::Capture screen = harness::WaitForScreenChange(first, 500, 8, FrameTimeout);
  Save(screen, "directdraw_backtype2.png");
  // Frames are being presented (the bubbles move), over the green of the old desktop.
  EXPECT_GT(harness::CountDifferentPixels(first, screen, 8), 500);
  EXPECT_GT(CountDesktopGreen(screen), samples / 2);
}

TEST_F(DirectDrawRunTest, BackTypeThreeFillsTheScreenWithThePictureFile) {
  const std::string picture = harness::OutputFolder() + "\\directdraw_back.png";
  ASSERT_TRUE(harness::WriteSolidPng(picture, 8, 6, 0x2040C0));
  harness::Settings::SetDword("BackType", 3);
  harness::Settings::SetString("BackPic", picture);
  harness::Settings::SetDword("BallsCount", 0);
  harness::SaverProcess saver({"/s"});
  ASSERT_NE(StartRun(saver), nullptr);
  const harness::Capture screen = Screen();
  for (POINT p : {POINT{5, 5}, POINT{screen.Width - 5, screen.Height - 5}}) {
    const uint32_t pixel = screen.At(p.x, p.y);
    EXPECT_NEAR(harness::Red(pixel), 0x20, 8);
    EXPECT_NEAR(harness::Green(pixel), 0x40, 8);
    EXPECT_NEAR(harness::Blue(pixel), 0xC0, 8);
  }
}
