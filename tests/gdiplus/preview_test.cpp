#include "gdiplus/win/preview.h"

#include <gtest/gtest.h>
#include <psapi.h>

#include <cstdlib>

#include "gdiplus/preview_geometry.h"
#include "gdiplus/win/pictures.h"
#include "gdiplus_test_support.h"
#include "harness/harness.h"
#include "settings/settings.h"
#include "world/bubble_table.h"

namespace {

// A bubble that stays where it is put: no velocity, no colour drift.
void PlaceBubble(int index, double x, double y, uint32_t rgb) {
  BubbleTable[index] =
      Bubble{x, y, 0, 0, RedOf(rgb), GreenOf(rgb), BlueOf(rgb), 0, 0, 0, true, index};
}

int Difference(uint32_t a, uint32_t b) {
  return std::abs(RedOf(a) - RedOf(b)) + std::abs(GreenOf(a) - GreenOf(b)) +
         std::abs(BlueOf(a) - BlueOf(b));
}

// How far a pixel moved towards one channel (16 red, 0 blue) against the other two.
int Shift(uint32_t now, uint32_t before, int channel) {
  int towards = 0;
  for (int shift : {16, 8, 0}) {
    const int change =
        static_cast<int>((now >> shift) & 0xFF) - static_cast<int>((before >> shift) & 0xFF);
    towards += shift == channel ? change : -change / 2;
  }
  return towards;
}

bool Inside(const PreviewBox& box, int x, int y, int margin = 0) {
  return x >= box.Left - margin && x < box.Right + margin && y >= box.Top - margin &&
         y < box.Bottom + margin;
}

class PreviewFrame : public ::testing::Test {
 protected:
  void SetUp() override {
    SoundOpen = false;
    BackType = 1;
    BallPic.clear();
    WorldRect = {0, 0, 1024, 768};
    BubbleRadius = 78;
    BallsCount = 0;
    LoadGdiplusPictures();
    SetUpPreview(Window);
  }
  void TearDown() override { ReleasePictures(); }
  static void SetUpTestSuite() { Window = CreateTestWindow(152, 112); }
  static void TearDownTestSuite() { DestroyWindow(Window); }
  WindowPixels Frame() {
    DrawPreviewFrame(Window);
    return CaptureClient(Window);
  }
  static HWND Window;
};

HWND PreviewFrame::Window = nullptr;

TEST_F(PreviewFrame, WithoutBubblesShowsTheScaledBackground) {
  const WindowPixels frame = Frame();
  ASSERT_EQ(frame.Width, 152);
  ASSERT_EQ(frame.Height, 112);
  for (auto [x, y] : {std::pair{0, 0}, {76, 56}, {151, 111}, {10, 100}}) {
    const uint32_t expected = PixelAt(*PreviewBackground, x, y) & 0xFFFFFF;
    EXPECT_LE(Difference(frame.At(x, y), expected), 6) << x << "," << y;
  }
}

TEST_F(PreviewFrame, TintsEachBubbleInItsOwnColourInsideItsBoxOnly) {
  const WindowPixels background = Frame();
  BallsCount = 2;
  PlaceBubble(1, 512, 384, 0xFF0000);
  PlaceBubble(2, 200, 200, 0x0000FF);
  const WindowPixels frame = Frame();

  const PreviewBox red = BubbleBox(512, 384, 78, SizeScale);
  const PreviewBox blue = BubbleBox(200, 200, 78, SizeScale);
  int strongestRed = 0, strongestBlue = 0, outsideChange = 0;
  for (int y = 0; y < frame.Height; ++y) {
    for (int x = 0; x < frame.Width; ++x) {
      const uint32_t now = frame.At(x, y), before = background.At(x, y);
      if (Inside(red, x, y)) strongestRed = std::max(strongestRed, Shift(now, before, 16));
      if (Inside(blue, x, y)) strongestBlue = std::max(strongestBlue, Shift(now, before, 0));
      if (!Inside(red, x, y, 1) && !Inside(blue, x, y, 1)) {
        outsideChange = std::max(outsideChange, Difference(now, before));
      }
    }
  }
  EXPECT_GT(strongestRed, 60) << "the red bubble's rim shows red";
  EXPECT_GT(strongestBlue, 60) << "the blue bubble's rim shows blue";
  EXPECT_LE(outsideChange, 6) << "nothing is drawn outside the bubbles' boxes";
}

TEST_F(PreviewFrame, LeavesTheWindowAsItWasWhenThePreviewImagesAreMissing) {
  Frame();
  FreePreviewImages();
  BallsCount = 1;
  PlaceBubble(1, 512, 384, 0xFF0000);
  const WindowPixels before = CaptureClient(Window);
  EXPECT_EQ(Frame().Rgb, before.Rgb) << "a fully transparent frame changes no pixel";
}

size_t PrivateBytes() {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof(counters);
  GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters));
  return counters.PagefileUsage;
}

TEST_F(PreviewFrame, MakesAndFreesEverythingWithinTheFrame) {
  BallsCount = 8;
  InitBubblesWithSeed(8, 1234);
  for (int i = 0; i < 20; ++i) DrawPreviewFrame(Window);  // let caches settle
  // The real count: wine answers 0 from GetGuiResources, the harness reads its handle table.
  const harness::GuiObjects before = harness::CountGuiObjects(GetCurrentProcess());
  ASSERT_TRUE(before.Known) << "no way to count GDI objects here";
  const size_t bytesBefore = PrivateBytes();
  for (int i = 0; i < 200; ++i) DrawPreviewFrame(Window);
  EXPECT_LE(harness::CountGuiObjects(GetCurrentProcess()).Gdi, before.Gdi) << before.Source;
  // One leaked frame bitmap a frame is about 13 MB over 200 frames, one leaked device
  // context 250 KB.
  EXPECT_LT(PrivateBytes(), bytesBefore + 128u * 1024);
}

}  // namespace
