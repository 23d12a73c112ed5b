// The real vesperine.scr on a display scaled to 150 % (scripts/test's dpi stage sets
// LogPixels 144 in the prefix and restarts the wineserver): the settings dialog and the
// full-screen run draw their 96-dpi design at 1.5 times its size, in real pixels.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "framework/win/procedure.h"
#include "harness/harness.h"
#include "settings/dialog/dialog_core.h"

namespace {

using harness::SaverProcess;

constexpr DWORD StartTimeout = harness::ProgramStartTimeout;
constexpr DWORD EndTimeout = 8000;
constexpr int Tolerance = 3;  // pixels: the frame's and the fonts' own rounding

class Dpi144 : public ::testing::Test {
 protected:
  // This process reads real pixels too; an unaware one would get every size scaled back.
  static void SetUpTestSuite() {
    using AwareProc = BOOL(WINAPI*)();
    if (auto aware =
            ProcedureAddress<AwareProc>(GetModuleHandleA("user32.dll"), "SetProcessDPIAware")) {
      aware();
    }
  }
  void SetUp() override {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    // In scripts/test's dpi stage, which sets 144, another dpi is a failure of the stage;
    // run by hand on another display, the tests have nothing to show.
    if (dpi != 144) {
      if (std::getenv("VESPERINE_DPI_STAGE"))
        FAIL() << "the stage set 144 dpi, the display has " << dpi;
      GTEST_SKIP() << "the display runs at " << dpi << " dpi, not 144";
    }
    harness::Settings::Clear();
  }
};

RECT InClient(HWND form, HWND control) {
  RECT r{};
  GetWindowRect(control, &r);
  MapWindowPoints(nullptr, form, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

TEST_F(Dpi144, TheSettingsDialogIsItsDesignAtOneAndAHalfTimesTheSize) {
  SaverProcess saver({"/c"});
  HWND form = harness::WaitForWindow(
      {.Title = DialogCaption, .ProcessId = saver.Id(), .VisibleOnly = true}, StartTimeout);
  ASSERT_NE(form, nullptr);
  harness::PumpFor(500);
  RECT outer{};
  GetWindowRect(form, &outer);
  EXPECT_NEAR(outer.right - outer.left, 603, Tolerance);
  EXPECT_NEAR(outer.bottom - outer.top, 655, Tolerance);
  // Its design place scaled would end below a 768-pixel screen: it moves up into the
  // work area instead, so Save and Cancel can be reached.
  RECT work{};
  ASSERT_TRUE(SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0));
  EXPECT_GE(outer.left, work.left);
  EXPECT_GE(outer.top, work.top);
  EXPECT_LE(outer.right, work.right);
  EXPECT_LE(outer.bottom, work.bottom);
  // Each control's 96-dpi place (left, top, width, height), by its identifier.
  const struct {
    int Id;
    RECT Design;
  } controls[] = {{IDOK, {192, 368, 75, 25}}, {IDCANCEL, {296, 368, 75, 25}},
                  {101, {96, 45, 47, 20}},    {102, {248, 45, 97, 17}},
                  {103, {16, 120, 361, 201}}, {110, {40, 240, 257, 66}},
                  {113, {248, 18, 113, 17}},  {114, {88, 74, 265, 25}}};
  for (const auto& c : controls) {
    HWND control = GetDlgItem(form, c.Id);
    ASSERT_NE(control, nullptr) << c.Id;
    const RECT got = InClient(form, control);
    SCOPED_TRACE(c.Id);
    EXPECT_NEAR(got.left, c.Design.left * 3 / 2, Tolerance);
    EXPECT_NEAR(got.top, c.Design.top * 3 / 2, Tolerance);
    EXPECT_NEAR(got.right - got.left, c.Design.right * 3 / 2, Tolerance);
    EXPECT_NEAR(got.bottom - got.top, c.Design.bottom * 3 / 2, Tolerance);
  }
  // Text fits: every label is at least as wide as its text in its own font.
  for (int id = 115; id <= 120; ++id) {
    HWND label = GetDlgItem(form, id);
    ASSERT_NE(label, nullptr) << id;
    const std::string text = harness::WindowText(label);
    HDC dc = GetDC(label);
    HGDIOBJ previous =
        SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(label, WM_GETFONT, 0, 0)));
    SIZE extent{};
    GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    SelectObject(dc, previous);
    ReleaseDC(label, dc);
    RECT r{};
    GetWindowRect(label, &r);
    EXPECT_GE(r.right - r.left, extent.cx) << text;
    EXPECT_GT(extent.cy, 14) << text << ": the font is not the scaled one";
  }
  harness::SavePng(harness::CaptureScreen(), harness::OutputFolder() + "/dialog-144dpi.png");
  PostMessageA(form, WM_CLOSE, 0, 0);
  EXPECT_TRUE(saver.WaitForExit(EndTimeout));
}

// Full screen: each bubble window is 2R + 50 world units, 206 for the default radius of
// 78, and is drawn at 309 real pixels; the world is the screen in 96-dpi units, so the
// forced count is 1024 / 1.5 div 120 = 5 windows.
TEST_F(Dpi144, TheFullScreenRunDrawsTheBubblesAtOneAndAHalfTimesTheirWorldSize) {
  harness::Settings::SetString("Driver", "GDI+");
  SaverProcess saver({"/s"});
  ASSERT_TRUE(harness::WaitUntil(
      [&] { return harness::FindWindows({.Title = "FBall", .ProcessId = saver.Id()}).size() >= 5; },
      StartTimeout));
  harness::PumpFor(2000);
  const auto windows = harness::FindWindows({.Title = "FBall", .ProcessId = saver.Id()});
  EXPECT_EQ(windows.size(), 5u);
  for (HWND window : windows) {
    RECT r{};
    GetWindowRect(window, &r);
    EXPECT_EQ(r.right - r.left, 309);
    EXPECT_EQ(r.bottom - r.top, 309);
  }
  harness::SavePng(harness::CaptureScreen(), harness::OutputFolder() + "/gdiplus-run-144dpi.png");
  harness::PostKey(
      harness::FindWindows({.ClassName = HostWindowClass, .ProcessId = saver.Id()}).front(),
      VK_SPACE);
  EXPECT_TRUE(saver.WaitForExit(EndTimeout));
}

}  // namespace
