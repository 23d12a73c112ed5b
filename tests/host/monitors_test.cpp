// The real vesperine.scr on an X server with two monitors (scripts/test's two-monitor
// stage sets VESPERINE_LAYOUT to right or left): each driver covers both monitors with
// its background and moving bubbles that stay off the strip the shorter monitor leaves
// unshown, a mouse movement over the secondary ends the run,
// and after Alt+Enter no monitor shows the desktop.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "harness/harness.h"

namespace {

using harness::SaverProcess;

constexpr DWORD StartTimeout = harness::ProgramStartTimeout;
// How soon a run ends is the close matrix's to check; here a Direct3D run over both monitors
// took over 9 s to tear down on an emulated CPU.
constexpr DWORD EndTimeout = 30000;
// xrandr's mode set and wine's notice of it took over 10 s on a loaded 2-core machine.
constexpr DWORD ModeChangeTimeout = 30000;
// A frame over two monitors by a software rasteriser on an emulated CPU takes seconds: the
// waits for a frame, and for bubbles to move, end at this ceiling.
constexpr DWORD FirstFrameTimeout = 30000;
constexpr COLORREF DesktopColour = RGB(255, 0, 255);

struct Monitor {
  RECT Area;
  bool Primary;
  std::string Device;
};

BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM list) {
  MONITORINFOEXA info{};
  info.cbSize = sizeof info;
  if (GetMonitorInfoA(monitor, &info))
    reinterpret_cast<std::vector<Monitor>*>(list)->push_back(
        {info.rcMonitor, (info.dwFlags & MONITORINFOF_PRIMARY) != 0, info.szDevice});
  return TRUE;
}

std::vector<Monitor> Monitors() {
  std::vector<Monitor> monitors;
  EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&monitors));
  return monitors;
}

RECT Secondary() {
  for (const Monitor& monitor : Monitors())
    if (!monitor.Primary) return monitor.Area;
  return {};
}

// Xorg confines the pointer to the lit outputs, so while xrandr sets the primary's new mode
// the cursor is pushed onto the secondary; under load that happens seconds before any
// window hears of the change, and the saver rightly takes it for a movement. Windows moves
// the cursor only when its place is gone: the rows that change the primary's mode start
// with it on the secondary, which the change leaves alone.
void CursorOnTheSecondary() {
  const RECT secondary = Secondary();
  harness::MoveCursor((secondary.left + secondary.right) / 2,
                      (secondary.top + secondary.bottom) / 2);
}

// Xorg confines the pointer to the lit outputs, and while wine's xrandr sets a new mode it
// turns every output off and on again: a cursor on none of the lit ones is pushed onto the
// nearest, under load seconds before any window hears of the change, and the saver rightly
// takes that for a movement. Windows moves the cursor only when its place is gone. So the
// display-change rows change the monitor at the right end, which leaves the seam where it
// is, and keep the cursor on the seam: wherever it is pushed, the nearest lit pixel is at
// most one away, and it comes back where it was.
const Monitor& RightEnd(const std::vector<Monitor>& monitors) {
  const Monitor* right = &monitors.front();
  for (const Monitor& monitor : monitors)
    if (monitor.Area.right > right->Area.right) right = &monitor;
  return *right;
}

// Low enough for every mode the rows set (512 x 384 the smallest).
constexpr int SeamHeight = 300;

void CursorOnTheSeam() {
  harness::MoveCursor(RightEnd(Monitors()).Area.left - 1, SeamHeight);
}

POINT CursorNow() {
  POINT point{};
  GetCursorPos(&point);
  return point;
}

// Pixels of the desktop's colour left in an area: a monitor the saver did not cover.
int64_t DesktopPixels(const harness::Capture& capture) {
  int64_t count = 0;
  for (uint32_t pixel : capture.Pixels)
    count += harness::Red(pixel) > 240 && harness::Green(pixel) < 15 && harness::Blue(pixel) > 240;
  return count;
}

// Every monitor the window covers, none left showing the desktop's colour.
bool NoMonitorShowsTheDesktop() {
  for (const Monitor& monitor : Monitors())
    if (DesktopPixels(harness::CaptureRect(monitor.Area)) != 0) return false;
  return true;
}

// Every monitor shows a picture of the run: the built-in background has thousands of colours,
// the desktop and a black window a handful.
bool EveryMonitorDrawn() {
  for (const Monitor& monitor : Monitors())
    if (harness::CountColours(harness::CaptureRect(monitor.Area)) <= 1000) return false;
  return true;
}

// Waits for the virtual screen's width to differ from width (changed), or to be it again.
bool WaitForVirtualWidth(int width, bool changed, DWORD timeoutMs) {
  return harness::WaitUntil(
      [&] { return (GetSystemMetrics(SM_CXVIRTUALSCREEN) != width) == changed; }, timeoutMs, 100);
}

class MonitorsTest : public ::testing::Test {
 protected:
  void Prepare(const char* driver) {
    const char* layout = std::getenv("VESPERINE_LAYOUT");
    Layout = layout ? layout : "";
    Driver = driver;
    ASSERT_EQ(GetSystemMetrics(SM_CMONITORS), 2) << "this suite needs the two-monitor server";
    WidthAtStart = GetSystemMetrics(SM_CXVIRTUALSCREEN);
    for (const Monitor& monitor : Monitors()) {
      DEVMODEA mode{};
      mode.dmSize = sizeof mode;
      ASSERT_TRUE(EnumDisplaySettingsA(monitor.Device.c_str(), ENUM_CURRENT_SETTINGS, &mode));
      ModesAtStart.emplace_back(monitor.Device, mode);
    }
    harness::Settings::Clear();
    harness::Settings::SetString("Driver", driver);
    harness::Settings::SetDword("BallsCount", 40);  // the Direct3D run's count: plenty on each
  }
  void TearDown() override {
    harness::Settings::Clear();
    // Every mode back as the row found it, before the next row: a row that failed half way
    // must not leave the next one a different desktop.
    if (GetSystemMetrics(SM_CXVIRTUALSCREEN) == WidthAtStart) return;
    for (auto& [device, mode] : ModesAtStart) SetMode(device, mode);
    EXPECT_TRUE(WaitForVirtualWidth(WidthAtStart, false, ModeChangeTimeout))
        << "the display modes did not come back";
  }

  // The mode itself, not "as the registry has it": wine answered that, now and then, by
  // leaving the mode as it was.
  static bool SetMode(const std::string& device, DEVMODEA mode) {
    mode.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT;
    return ChangeDisplaySettingsExA(device.c_str(), &mode, nullptr, 0, nullptr) ==
           DISP_CHANGE_SUCCESSFUL;
  }

  // The run is up once its first frame shows on every monitor; a moment more lets the
  // window hear where the cursor is before a row moves it.
  HWND StartRun(SaverProcess& saver) {
    HWND host = harness::WaitForWindow(
        {.ClassName = HostWindowClass, .ProcessId = saver.Id(), .VisibleOnly = true}, StartTimeout);
    if (!host) return nullptr;
    EXPECT_TRUE(harness::WaitUntil(EveryMonitorDrawn, FirstFrameTimeout, 250))
        << Layout << ": no first frame on every monitor";
    harness::PumpFor(500);
    return host;
  }
  std::string Layout;
  std::string Driver;
  int WidthAtStart = 0;
  std::vector<std::pair<std::string, DEVMODEA>> ModesAtStart;
};

// The shorter monitor leaves a strip of the virtual screen below it that no monitor shows
// (the X server's screen still holds its pixels, so a capture sees what is drawn there). The
// bubbles bounce off it: for some seconds, and until a bubble has come near, the strip keeps
// its pixels while the band of the monitor just above it, which the bubbles do cross, changes.
void ExpectNoBubbleUnderTheShorterMonitor(const RECT& virtualScreen) {
  RECT shorter{};
  for (const Monitor& monitor : Monitors())
    if (monitor.Area.bottom < virtualScreen.bottom) shorter = monitor.Area;
  ASSERT_LT(shorter.bottom, virtualScreen.bottom) << "the layout leaves no strip unshown";
  // Less its edge pixels: a bubble resting on the strip's edge may tint the row or column it
  // touches through the Direct3D texture filter.
  const RECT strip{shorter.left + 1, shorter.bottom + 1, shorter.right - 1, virtualScreen.bottom};
  const RECT above{shorter.left, shorter.bottom - 2 * (virtualScreen.bottom - shorter.bottom),
                   shorter.right, shorter.bottom};
  const harness::Capture stripBefore = harness::CaptureRect(strip);
  const harness::Capture aboveBefore = harness::CaptureRect(above);
  int64_t stripChanged = 0;
  bool aboveChanged = false;
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < 6000 ||
         (!aboveChanged && GetTickCount() - start < 2 * FirstFrameTimeout)) {
    harness::PumpFor(200);
    stripChanged += harness::CountDifferentPixels(stripBefore, harness::CaptureRect(strip));
    aboveChanged =
        aboveChanged || harness::CountDifferentPixels(aboveBefore, harness::CaptureRect(above)) > 0;
  }
  EXPECT_EQ(stripChanged, 0) << "a bubble drifted into the strip no monitor shows";
  EXPECT_TRUE(aboveChanged) << "no bubble came near the strip, so the look proves nothing";
}

class TwoMonitors : public MonitorsTest, public ::testing::WithParamInterface<const char*> {
 protected:
  void SetUp() override { Prepare(GetParam()); }
};

TEST_P(TwoMonitors, EachMonitorShowsTheBackgroundAndMovingBubbles) {
  harness::ColourScreen desktop(DesktopColour);
  harness::CentreCursor();
  SaverProcess saver({"/s"});
  HWND host = StartRun(saver);
  ASSERT_NE(host, nullptr);
  const RECT covered = harness::Describe(host).Rect;
  EXPECT_EQ(covered.left, GetSystemMetrics(SM_XVIRTUALSCREEN)) << Layout;
  EXPECT_EQ(covered.right - covered.left, GetSystemMetrics(SM_CXVIRTUALSCREEN)) << Layout;
  harness::SavePng(harness::CaptureRect(covered),
                   harness::OutputFolder() + "\\two_monitors_" + Driver + "_" + Layout + ".png");
  for (const Monitor& monitor : Monitors()) {
    const harness::Capture first = harness::CaptureRect(monitor.Area);
    EXPECT_EQ(DesktopPixels(first), 0) << Layout << (monitor.Primary ? " primary" : " secondary");
    EXPECT_GT(harness::CountColours(first), 1000u) << "no background picture on a monitor";
    // Bubbles cross every monitor within a few seconds.
    const bool moved = harness::WaitUntil(
        [&] {
          return harness::CountDifferentPixels(first, harness::CaptureRect(monitor.Area)) > 0;
        },
        FirstFrameTimeout, 500);
    EXPECT_TRUE(moved) << Layout << (monitor.Primary ? " primary" : " secondary");
  }
  ExpectNoBubbleUnderTheShorterMonitor(covered);
  harness::PostKey(host, VK_SPACE);
  EXPECT_TRUE(saver.WaitForExit(EndTimeout));
}

TEST_P(TwoMonitors, ASixPixelMovementOverTheSecondaryEndsTheRun) {
  const RECT secondary = Secondary();
  const int x = (secondary.left + secondary.right) / 2;
  const int y = (secondary.top + secondary.bottom) / 2;
  harness::MoveCursor(x, y);
  SaverProcess saver({"/s"});
  ASSERT_NE(StartRun(saver), nullptr);
  harness::MoveCursor(x + 6, y);
  EXPECT_TRUE(saver.WaitForExit(EndTimeout)) << Layout << ": the run went on";
  EXPECT_EQ(saver.ExitCode(), 0u);
}

// A display change while the run goes on (the mode of the monitor at the right end): the
// run covers the new virtual screen at once, and goes back with the mode.
TEST_P(TwoMonitors, ADisplayChangeLeavesNoMonitorShowingTheDesktop) {
  harness::ColourScreen desktop(DesktopColour);
  CursorOnTheSeam();
  SaverProcess saver({"/s"});
  HWND host = StartRun(saver);
  ASSERT_NE(host, nullptr);
  const POINT cursor = CursorNow();
  const std::string device = RightEnd(Monitors()).Device;
  DEVMODEA mode{};
  mode.dmSize = sizeof mode;
  mode.dmPelsWidth = 512;
  mode.dmPelsHeight = 384;
  ASSERT_TRUE(SetMode(device, mode)) << Layout << ": " << device;
  EXPECT_TRUE(WaitForVirtualWidth(WidthAtStart, true, ModeChangeTimeout));
  EXPECT_TRUE(harness::WaitUntil(NoMonitorShowsTheDesktop, FirstFrameTimeout, 250))
      << Layout << ": a monitor shows the desktop after the change";
  EXPECT_TRUE(harness::WaitUntil(
      [&] {
        const RECT rect = harness::Describe(host).Rect;
        return rect.right - rect.left == GetSystemMetrics(SM_CXVIRTUALSCREEN);
      },
      FirstFrameTimeout, 100))
      << Layout << ": the run does not cover the changed virtual screen";
  for (auto& [name, original] : ModesAtStart) {
    if (name == device) {
      EXPECT_TRUE(SetMode(name, original));
    }
  }
  EXPECT_TRUE(WaitForVirtualWidth(WidthAtStart, false, ModeChangeTimeout));
  EXPECT_TRUE(harness::WaitUntil(NoMonitorShowsTheDesktop, FirstFrameTimeout, 250))
      << Layout << ": a monitor shows the desktop after the mode came back";
  const POINT after = CursorNow();
  ASSERT_TRUE(saver.Running()) << "the display change ended the run (exit code " << saver.ExitCode()
                               << "); the cursor went from " << cursor.x << ", " << cursor.y
                               << " to " << after.x << ", " << after.y;
  harness::SendKeyInput(VK_SPACE);
  EXPECT_TRUE(saver.WaitForExit(EndTimeout));
}

INSTANTIATE_TEST_SUITE_P(Drivers, TwoMonitors, ::testing::Values("Directx 7.0", "GDI+"),
                         [](const auto& param) {
                           return std::string(param.param) == "GDI+" ? "Gdiplus" : "Direct3D";
                         });

// Alt+Enter is the Direct3D run's: its full-screen mode covers the primary only.
class Direct3DOnTwoMonitors : public MonitorsTest {
 protected:
  void SetUp() override { Prepare("Directx 7.0"); }
};

TEST_F(Direct3DOnTwoMonitors, AfterAltEnterNoMonitorShowsTheDesktop) {
  harness::ColourScreen desktop(DesktopColour);
  CursorOnTheSecondary();
  SaverProcess saver({"/s"});
  HWND host = StartRun(saver);
  ASSERT_NE(host, nullptr);
  const int widthBefore = GetSystemMetrics(SM_CXVIRTUALSCREEN);
  // Real keys: the scene reads the Alt key's state, which a posted message does not set.
  harness::SendChordInput(VK_MENU, VK_RETURN);
  // The switch makes a new device and changes the primary's mode, which takes seconds
  // under emulation; a look before it would pass without testing anything.
  ASSERT_TRUE(WaitForVirtualWidth(widthBefore, true, ModeChangeTimeout))
      << Layout << ": the display mode never changed";
  ASSERT_TRUE(saver.Running()) << "Alt+Enter ended the run";
  // The moved monitor is covered a moment after the mode change, and stays covered.
  EXPECT_TRUE(harness::WaitUntil(NoMonitorShowsTheDesktop, FirstFrameTimeout, 250))
      << Layout << ": a monitor shows the desktop after the switch";
  harness::PumpFor(1000);
  EXPECT_TRUE(NoMonitorShowsTheDesktop()) << Layout << ": a monitor was uncovered again";
  harness::SendKeyInput(VK_SPACE);
  EXPECT_TRUE(saver.WaitForExit(EndTimeout)) << "a key did not end the full-screen run";
  EXPECT_TRUE(WaitForVirtualWidth(widthBefore, false, ModeChangeTimeout))
      << Layout << ": the display mode was not put back";
}

}  // namespace
