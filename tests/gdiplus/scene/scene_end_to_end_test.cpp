// The real vesperine.scr with the GDI+ driver, watched from outside under wine: one
// layered, click-through, topmost window per bubble over the background form.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "framework/win/form.h"
#include "harness/harness.h"

namespace {

constexpr DWORD StartTimeout = harness::ProgramStartTimeout;
constexpr DWORD EndTimeout = 8000;
// A ceiling for the bubble windows to move and draw: milliseconds on real hardware, seconds
// with a software rasteriser on an emulated CPU.
constexpr DWORD FrameTimeout = 15000;
constexpr LONG LayeredTransparentTopmost = WS_EX_LAYERED | WS_EX_TRANSPARENT | WS_EX_TOPMOST;

class GdiplusRunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    harness::Settings::Clear();
    harness::Settings::SetString("Driver", "GDI+");
    harness::CentreCursor();
  }
  void TearDown() override { harness::Settings::Clear(); }

  // Waits for the host, the scene form and the bubble windows of a run.
  bool StartRun(harness::SaverProcess& saver, size_t bubbles) {
    EXPECT_TRUE(saver.Started());
    Host = harness::WaitForWindow(
        {.ClassName = HostWindowClass, .Title = RunTitle, .ProcessId = saver.Id()}, StartTimeout);
    if (!Host) return false;
    Scene = harness::WaitForWindow({.ClassName = FormWindowClass, .Parent = Host}, 5000);
    harness::WaitUntil([&] { return Bubbles(saver).size() >= bubbles; }, 8000);
    return Scene != nullptr && Bubbles(saver).size() == bubbles;
  }
  static std::vector<HWND> Bubbles(const harness::SaverProcess& saver) {
    return harness::FindWindows(
        {.ClassName = FormWindowClass, .Title = "FBall", .ProcessId = saver.Id()});
  }
  static std::vector<RECT> Places(const std::vector<HWND>& windows) {
    std::vector<RECT> places;
    for (HWND window : windows) places.push_back(harness::Describe(window).Rect);
    return places;
  }
  static void Save(const harness::Capture& capture, const std::string& name) {
    harness::SavePng(capture, harness::OutputFolder() + "\\" + name);
  }

  HWND Host = nullptr;
  HWND Scene = nullptr;
};

size_t ExpectedBubbles() {
  return static_cast<size_t>(std::min(GetSystemMetrics(SM_CXSCREEN) / 120, 100));
}

}  // namespace

TEST_F(GdiplusRunTest, ARunShowsOneMovingLayeredTopmostWindowPerBubbleOverTheBackground) {
  harness::Settings::SetDword("BallsCount", 3);  // the GDI+ run counts by the screen instead
  harness::SaverProcess saver({"/s"});
  ASSERT_TRUE(StartRun(saver, ExpectedBubbles()));
  const std::vector<HWND> bubbles = Bubbles(saver);
  for (HWND bubble : bubbles) {
    const harness::WindowInfo info = harness::Describe(bubble);
    EXPECT_EQ(info.ExStyle & LayeredTransparentTopmost, LayeredTransparentTopmost);
    EXPECT_TRUE(info.Topmost);
    EXPECT_TRUE(info.Visible);
    EXPECT_EQ(info.Rect.right - info.Rect.left, 206);
    EXPECT_EQ(info.Rect.bottom - info.Rect.top, 206);
  }
  const harness::WindowInfo scene = harness::Describe(Scene);
  EXPECT_EQ(scene.Rect.right - scene.Rect.left, GetSystemMetrics(SM_CXSCREEN));

  const std::vector<RECT> before = Places(bubbles);
  // Each bubble window moves on its own timer and shows its picture when first drawn: wait
  // for half of them to have moved and for the screen to hold the pictures.
  int moved = 0;
  harness::Capture screen;
  harness::WaitUntil(
      [&] {
        const std::vector<RECT> after = Places(bubbles);
        moved = 0;
        for (size_t i = 0; i < before.size(); ++i)
          if (before[i].left != after[i].left || before[i].top != after[i].top) ++moved;
        screen = harness::CaptureScreen();
        return moved >= int(bubbles.size()) / 2 && harness::CountColours(screen) > 2000u;
      },
      FrameTimeout, 200);
  Save(screen, "gdiplus_run.png");
  EXPECT_GE(moved, int(bubbles.size()) / 2);
  EXPECT_GT(harness::CountColours(screen), 2000u);
  EXPECT_TRUE(saver.Running());
}

TEST_F(GdiplusRunTest, MouseMovementOverTheSceneEndsTheRun) {
  harness::SaverProcess saver({"/s"});
  ASSERT_TRUE(StartRun(saver, ExpectedBubbles()));
  harness::PumpFor(300);
  harness::SendMouseMoveInput(3, 0);
  harness::PumpFor(200);
  EXPECT_TRUE(saver.Running()) << "a first report only records where the mouse is";
  harness::SendMouseMoveInput(40, 40);
  harness::PumpFor(100);
  harness::SendMouseMoveInput(40, 40);
  EXPECT_TRUE(saver.WaitForExit(EndTimeout));
}

TEST_F(GdiplusRunTest, AKeyThatReachesTheSceneEndsTheRun) {
  harness::SaverProcess saver({"/s"});
  ASSERT_TRUE(StartRun(saver, ExpectedBubbles()));
  harness::PostKey(Scene, 'Q');
  EXPECT_TRUE(saver.WaitForExit(EndTimeout));
}

TEST_F(GdiplusRunTest, AClickOnTheSceneEndsTheRun) {
  harness::SaverProcess saver({"/s"});
  ASSERT_TRUE(StartRun(saver, ExpectedBubbles()));
  harness::PostClick(Scene, WM_LBUTTONDOWN);
  EXPECT_TRUE(saver.WaitForExit(EndTimeout));
}

TEST_F(GdiplusRunTest, ScreenCopyBackgroundShowsTheDesktopAsItWasAtTheStart) {
  harness::Settings::SetDword("BackType", 2);
  harness::Settings::SetDword("ShowShadow", 0);
  harness::ColourScreen desktop(RGB(200, 30, 160));
  harness::PumpFor(300);
  harness::SaverProcess saver({"/s"});
  ASSERT_TRUE(StartRun(saver, ExpectedBubbles()));
  desktop.Close();
  harness::PumpFor(500);
  const harness::Capture screen = harness::CaptureScreen();
  Save(screen, "gdiplus_screen_copy.png");
  int64_t matching = 0;
  for (uint32_t pixel : screen.Pixels)
    if (std::abs(harness::Red(pixel) - 200) < 8 && std::abs(harness::Green(pixel) - 30) < 8 &&
        std::abs(harness::Blue(pixel) - 160) < 8)
      ++matching;
  EXPECT_GT(matching, int64_t(screen.Pixels.size()) / 3);
  harness::PostKey(Scene, VK_SPACE);
  EXPECT_TRUE(saver.WaitForExit(EndTimeout));
}

TEST_F(GdiplusRunTest, APictureFileBackgroundFillsTheScreen) {
  const std::string path = harness::OutputFolder() + "\\gdiscene_e2e_back.png";
  ASSERT_TRUE(harness::WriteSolidPng(path, 16, 9, 0x20A040));
  harness::Settings::SetDword("BackType", 3);
  harness::Settings::SetString("BackPic", path);
  harness::SaverProcess saver({"/s"});
  ASSERT_TRUE(StartRun(saver, ExpectedBubbles()));
  harness::PumpFor(500);
  const harness::Capture screen = harness::CaptureScreen();
  int64_t matching = 0;
  for (uint32_t pixel : screen.Pixels)
    if (pixel == 0x20A040) ++matching;
  EXPECT_GT(matching, int64_t(screen.Pixels.size()) / 3);
}

TEST_F(GdiplusRunTest, AnUnloadableBackgroundIsReportedAndTheRunGoesOnWithItsBubbles) {
  harness::Settings::SetDword("BackType", 3);
  harness::Settings::SetString("BackPic", "C:\\no such folder\\back.xyz");
  harness::SaverProcess saver({"/s"});
  const auto box = harness::WaitForMessageBox(saver.Id(), StartTimeout);
  ASSERT_TRUE(box.has_value());
  EXPECT_EQ(box->Text, "Unknown picture file extension (.xyz)");
  harness::DismissMessageBox(box->Window);
  ASSERT_TRUE(StartRun(saver, ExpectedBubbles()));
  const std::vector<RECT> before = Places(Bubbles(saver));
  const auto movedOn = [&] {
    const std::vector<RECT> now = Places(Bubbles(saver));
    return now[0].left + now[1].left != before[0].left + before[1].left;
  };
  EXPECT_TRUE(harness::WaitUntil(movedOn, FrameTimeout)) << "the bubbles stood still";
  // The built-in photograph is still there behind the bubbles.
  EXPECT_GT(harness::CountColours(harness::CaptureScreen()), 2000u);
  harness::PostKey(Scene, VK_SPACE);
  EXPECT_TRUE(saver.WaitForExit(EndTimeout));
}

TEST_F(GdiplusRunTest, AnAbsurdBubbleSizeIsBoundedAndTheRunStaysUp) {
  harness::Settings::SetDword("BallSize", 100000);
  const int shorterSide = std::min(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
  harness::SaverProcess saver({"/s"});
  const bool started = StartRun(saver, ExpectedBubbles());
  ASSERT_TRUE(started) << Bubbles(saver).size() << " windows, running " << saver.Running();
  harness::PumpFor(2000);
  EXPECT_TRUE(saver.Running());
  for (HWND bubble : Bubbles(saver)) {
    const RECT rect = harness::Describe(bubble).Rect;
    EXPECT_EQ(rect.right - rect.left, shorterSide);
    EXPECT_EQ(rect.bottom - rect.top, shorterSide);
  }
  EXPECT_LT(harness::ProcessMemory(saver.Handle()).PrivateBytes, size_t(600) << 20);
  harness::PostKey(Scene, VK_SPACE);
  EXPECT_TRUE(saver.WaitForExit(EndTimeout));
}

TEST_F(GdiplusRunTest, ALongRunLeaksNoGdiObjectsAndNoWindows) {
  harness::SaverProcess saver({"/s"});
  ASSERT_TRUE(StartRun(saver, ExpectedBubbles()));
  harness::PumpFor(8000);  // every window has rendered at least once more
  const harness::GuiObjects early = harness::CountGuiObjects(saver.Handle());
  const harness::MemoryUse earlyMemory = harness::ProcessMemory(saver.Handle());
  harness::PumpFor(70000);
  const harness::GuiObjects late = harness::CountGuiObjects(saver.Handle());
  const harness::MemoryUse lateMemory = harness::ProcessMemory(saver.Handle());
  EXPECT_EQ(Bubbles(saver).size(), ExpectedBubbles());
  EXPECT_TRUE(saver.Running());
  if (earlyMemory.PrivateBytes) {
    EXPECT_LT(lateMemory.PrivateBytes, earlyMemory.PrivateBytes + (8u << 20));
  }
  ASSERT_TRUE(early.Known && late.Known) << "the harness could not count the saver's objects";
  EXPECT_LE(late.Gdi, early.Gdi + 2);
  EXPECT_LE(late.User, early.User + 2);
}
