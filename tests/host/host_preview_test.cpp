// The real vesperine.scr under wine: the preview inside a window of another process,
// and the preview drawing, which /p 0 shows full screen where it can be captured.
#include <gtest/gtest.h>

#include <string>

#include "harness/harness.h"
#include "host_test_support.h"

namespace {

using harness::Capture;
using harness::SaverProcess;
using host_test::FirstFrameTimeout;
using host_test::SaverTest;
using host_test::StartTimeout;

constexpr uint32_t Green = 0x20C040;
constexpr uint32_t Brick = 0xC83020;

harness::WindowQuery PreviewIn(HWND parent, DWORD processId) {
  return {.ClassName = HostWindowClass,
          .Title = PreviewTitle,
          .ProcessId = processId,
          .Parent = parent};
}

bool Near(uint32_t pixel, uint32_t rgb, int tolerance) {
  return std::abs(harness::Red(pixel) - harness::Red(rgb)) <= tolerance &&
         std::abs(harness::Green(pixel) - harness::Green(rgb)) <= tolerance &&
         std::abs(harness::Blue(pixel) - harness::Blue(rgb)) <= tolerance;
}

double ShareNear(const Capture& capture, uint32_t rgb, int tolerance) {
  size_t matching = 0;
  for (uint32_t pixel : capture.Pixels) matching += Near(pixel, rgb, tolerance) ? 1 : 0;
  return capture.Pixels.empty() ? 0 : double(matching) / double(capture.Pixels.size());
}

std::string OutputFile(const std::string& name) {
  return harness::OutputFolder() + "\\" + name + ".png";
}

class PreviewTest : public SaverTest {
 protected:
  // Runs /p 0 until it has drawn and captures the screen; the file is kept for a human look.
  Capture CaptureFullScreenPreview(SaverProcess& saver, const std::string& name) {
    HWND window = StartRun(saver);
    EXPECT_NE(window, nullptr);
    if (!window) return {};
    EXPECT_TRUE(harness::WaitForScreenDrawn(FirstFrameTimeout)) << "no frame shown";
    Capture capture = harness::CaptureScreen();
    harness::SavePng(capture, OutputFile(name));
    return capture;
  }

  // Captures until a share of the screen is near a colour (a frame drawn from that picture),
  // or the ceiling passes; the last capture is kept for a human look.
  Capture CaptureOnceMostly(uint32_t rgb, const std::string& name) {
    Capture capture;
    harness::WaitUntil(
        [&] {
          capture = harness::CaptureScreen();
          return ShareNear(capture, rgb, 12) > 0.4;
        },
        FirstFrameTimeout, 200);
    harness::SavePng(capture, OutputFile(name));
    return capture;
  }
};

TEST_F(PreviewTest, PreviewIsAChildFillingTheParentsClientArea) {
  harness::PreviewParent parent(152, 112);
  SaverProcess saver({"/p", parent.HandleText()});
  HWND preview = harness::WaitForWindow(PreviewIn(parent.Child(), saver.Id()), StartTimeout);
  ASSERT_NE(preview, nullptr) << "no preview window inside the parent";
  harness::WindowInfo info = harness::Describe(preview);
  EXPECT_EQ(info.Parent, parent.Child());
  EXPECT_TRUE(info.Style & WS_CHILD);
  EXPECT_FALSE(info.Topmost);
  EXPECT_EQ(info.ClientRect.right, 152);
  EXPECT_EQ(info.ClientRect.bottom, 112);
  harness::PumpFor(1000);
  EXPECT_TRUE(saver.Running()) << "the preview ended on its own";
}

TEST_F(PreviewTest, DestroyingTheParentEndsThePreview) {
  harness::PreviewParent parent(152, 112);
  SaverProcess saver({"/p", parent.HandleText()});
  ASSERT_NE(harness::WaitForWindow(PreviewIn(parent.Child(), saver.Id()), StartTimeout), nullptr);
  harness::PumpFor(500);
  parent.DestroyChild();
  EXPECT_TRUE(saver.WaitForExit(10000)) << "the preview outlived its parent";
  EXPECT_EQ(saver.ExitCode(), 0u);
}

// Every frame makes and frees a frame bitmap and one sprite per bubble: 100 frames that
// kept them would hold hundreds of megabytes (or thousands of GDI objects).
TEST_F(PreviewTest, FramesReleaseWhatTheyMake) {
  SaverProcess saver({"/p", "0"});
  ASSERT_NE(StartRun(saver), nullptr);
  harness::PumpFor(1000);
  harness::MemoryUse before = harness::ProcessMemory(saver.Handle());
  harness::GuiObjects objectsBefore = harness::CountGuiObjects(saver.Handle());
  harness::PumpFor(4000);  // about 100 frames
  harness::MemoryUse after = harness::ProcessMemory(saver.Handle());
  harness::GuiObjects objectsAfter = harness::CountGuiObjects(saver.Handle());
  ASSERT_TRUE(saver.Running());
  ASSERT_GT(before.PrivateBytes, 0u) << "the platform does not tell the memory use";
  EXPECT_LT(after.PrivateBytes, before.PrivateBytes + 24u * 1024 * 1024);
  ASSERT_TRUE(objectsBefore.Known && objectsAfter.Known) << objectsAfter.Source;
  EXPECT_LE(objectsAfter.Gdi, objectsBefore.Gdi + 20);
  EXPECT_LE(objectsAfter.User, objectsBefore.User);
}

TEST_F(PreviewTest, BuiltInBackgroundFillsThePreviewAndBubblesMove) {
  SaverProcess saver({"/p", "0"});
  Capture first = CaptureFullScreenPreview(saver, "preview-built-in");
  ASSERT_FALSE(first.Empty());
  Capture later = harness::WaitForScreenChange(first, 200, 10, 10000);
  harness::SavePng(later, OutputFile("preview-built-in-later"));

  // A photograph scaled to the screen has thousands of colours; the black host window
  // or a single flat colour would have a handful.
  EXPECT_GT(harness::CountColours(first), 2000u);
  EXPECT_LT(ShareNear(first, 0x000000, 8), 0.05) << "mostly black: no background drawn";
  int64_t changed = harness::CountDifferentPixels(first, later, 10);
  int64_t total = int64_t(first.Pixels.size());
  EXPECT_GT(changed, 200) << "nothing moved in 10 s";
  EXPECT_LT(changed, total / 2) << "the background itself changed";
}

TEST_F(PreviewTest, DesktopBackgroundIsTheScreenAsItWasAtTheStart) {
  harness::Settings::SetDword("BackType", 2);
  harness::ColourScreen desktop(RGB(0xC8, 0x30, 0x20));
  SaverProcess saver({"/p", "0"});
  HWND window = StartRun(saver);
  ASSERT_NE(window, nullptr);
  desktop.Close();  // what shows now can only be the copy
  Capture capture = CaptureOnceMostly(Brick, "preview-desktop");
  EXPECT_GT(ShareNear(capture, Brick, 12), 0.4);
}

TEST_F(PreviewTest, UserBackgroundPictureIsScaledIntoThePreview) {
  std::string picture = harness::OutputFolder() + "\\green-background.png";
  ASSERT_TRUE(harness::WriteSolidPng(picture, 64, 48, Green));
  harness::Settings::SetDword("BackType", 3);
  harness::Settings::SetString("BackPic", picture);
  SaverProcess saver({"/p", "0"});
  ASSERT_NE(StartRun(saver), nullptr);
  Capture capture = CaptureOnceMostly(Green, "preview-user-picture");
  EXPECT_GT(ShareNear(capture, Green, 12), 0.4);
}

TEST_F(PreviewTest, BallSizeScalesTheBubbles) {
  std::string picture = harness::OutputFolder() + "\\green-size.png";
  ASSERT_TRUE(harness::WriteSolidPng(picture, 64, 48, Green));
  harness::Settings::SetDword("BackType", 3);
  harness::Settings::SetString("BackPic", picture);

  harness::Settings::SetDword("BallSize", 5);
  double small = 0;
  {
    SaverProcess saver({"/p", "0"});
    Capture capture = CaptureFullScreenPreview(saver, "preview-size-5");
    small = 1.0 - ShareNear(capture, Green, 24);
  }
  harness::Settings::SetDword("BallSize", 20);
  double large = 0;
  {
    SaverProcess saver({"/p", "0"});
    Capture capture = CaptureFullScreenPreview(saver, "preview-size-20");
    large = 1.0 - ShareNear(capture, Green, 24);
  }
  EXPECT_GT(small, 0.002) << "no bubbles visible at BallSize 5";
  EXPECT_GT(large, 4 * small) << "BallSize 20 bubbles are not much larger than BallSize 5";
}

}  // namespace
