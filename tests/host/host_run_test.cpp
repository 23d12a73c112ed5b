// The real vesperine.scr under wine: the full-screen run, the command line and the
// errors that end a start.
#include <gtest/gtest.h>

#include "harness/harness.h"
#include "host_test_support.h"

namespace {

using harness::SaverProcess;
using host_test::RunWindowOf;
using host_test::SaverTest;
using host_test::StartTimeout;

constexpr DWORD QuickEnd = 8000;

TEST_F(SaverTest, RunWindowCoversTheScreenTopmostWithTheHostClassAndTitle) {
  SaverProcess saver({"/s"});
  HWND window = StartRun(saver);
  ASSERT_NE(window, nullptr);
  harness::WindowInfo info = harness::Describe(window);
  EXPECT_EQ(info.ClassName, "WindowsScreenSaverClass");
  EXPECT_EQ(info.Title, "Screen Saver");
  EXPECT_EQ(info.Rect.left, 0);
  EXPECT_EQ(info.Rect.top, 0);
  EXPECT_EQ(info.Rect.right, GetSystemMetrics(SM_CXSCREEN));
  EXPECT_EQ(info.Rect.bottom, GetSystemMetrics(SM_CYSCREEN));
  EXPECT_TRUE(info.Topmost);
  EXPECT_TRUE(info.Visible);
  EXPECT_TRUE(info.Style & WS_POPUP);
  EXPECT_FALSE(info.Style & WS_CHILD);
}

// The host window's class icon is the program's icon resource 100 (the class itself
// cannot be read from another process under wine, so the program file is).
// String 1 is the name Windows lists the saver under.
TEST(SaverProgram, CarriesIcon100AndItsDisplayNameInString1) {
  HMODULE program = LoadLibraryExA(harness::SaverPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(program, nullptr);
  EXPECT_NE(FindResourceA(program, MAKEINTRESOURCEA(100), MAKEINTRESOURCEA(14)), nullptr)
      << "no icon group 100";
  char name[64] = {};
  EXPECT_EQ(LoadStringA(program, 1, name, sizeof name), 9);
  EXPECT_STREQ(name, "Vesperine");
  FreeLibrary(program);
}

// The cursor shown over a window is the one its WM_SETCURSOR sets; a child (the driver
// form) asks its parent first and stops when the parent answers TRUE. Wine's
// GetCursorInfo does not tell another process's cursor reliably, so ask the windows.
// A window busy with a frame answers once the frame is done, so the question is asked again
// until it is answered.
LRESULT AskForCursor(HWND window) {
  DWORD_PTR answer = 0;
  harness::WaitUntil(
      [&] {
        return SendMessageTimeoutA(window, WM_SETCURSOR, WPARAM(window),
                                   MAKELPARAM(HTCLIENT, WM_MOUSEMOVE), SMTO_ABORTIFHUNG, 3000,
                                   &answer) != 0;
      },
      StartTimeout, 100);
  return LRESULT(answer);
}

TEST_F(SaverTest, RunHidesTheCursorOverItsWindowAndEveryChild) {
  SaverProcess saver({"/s"});
  HWND window = StartRun(saver);
  ASSERT_NE(window, nullptr);
  harness::WaitForScreenDrawn(host_test::FirstFrameTimeout);
  EXPECT_EQ(AskForCursor(window), TRUE);
  for (HWND child : harness::FindWindows({.Parent = window})) {
    EXPECT_EQ(AskForCursor(child), TRUE) << harness::Describe(child).ClassName;
  }
}

TEST_F(SaverTest, ASecondRunEndsAtOnceAndLeavesTheFirst) {
  SaverProcess first({"/s"});
  ASSERT_NE(StartRun(first), nullptr);
  SaverProcess second({"/s"});
  ASSERT_TRUE(second.Started());
  EXPECT_TRUE(second.WaitForExit(QuickEnd));
  EXPECT_EQ(second.ExitCode(), 0u);
  EXPECT_TRUE(first.Running());
  EXPECT_EQ(harness::FindWindows({.ClassName = HostWindowClass}).size(), 1u);
}

TEST_F(SaverTest, MouseMovementUpToFivePixelsKeepsTheRunAndSixEndsIt) {
  SaverProcess saver({"/s"});
  HWND window = StartRun(saver);
  ASSERT_NE(window, nullptr);
  POINT origin = harness::CursorPosition();

  harness::MoveCursor(origin.x + 5, origin.y + 5);
  harness::PostMouseMove(window);
  harness::MoveCursor(origin.x - 5, origin.y - 5);
  harness::PostMouseMove(window);
  EXPECT_FALSE(saver.WaitForExit(1500)) << "a movement of 5 pixels closed the saver";

  harness::MoveCursor(origin.x + 6, origin.y);
  harness::PostMouseMove(window);
  EXPECT_TRUE(saver.WaitForExit(QuickEnd)) << "a movement of 6 pixels did not close it";
  EXPECT_EQ(saver.ExitCode(), 0u);
}

struct InputCase {
  const char* Name;
  void (*Send)(HWND window);
};

class RunInput : public SaverTest, public ::testing::WithParamInterface<InputCase> {};

TEST_P(RunInput, ClosesTheRun) {
  SaverProcess saver({"/s"});
  HWND window = StartRun(saver);
  ASSERT_NE(window, nullptr);
  GetParam().Send(window);
  EXPECT_TRUE(saver.WaitForExit(QuickEnd));
  EXPECT_EQ(saver.ExitCode(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    KeysAndButtons, RunInput,
    ::testing::Values(
        InputCase{"Space", [](HWND w) { harness::PostKey(w, VK_SPACE); }},
        InputCase{"AltF4", [](HWND w) { harness::PostSysKey(w, VK_F4); }},
        InputCase{"LeftButton", [](HWND w) { harness::PostClick(w, WM_LBUTTONDOWN); }},
        InputCase{"RightButton", [](HWND w) { harness::PostClick(w, WM_RBUTTONDOWN); }},
        InputCase{"MiddleButton", [](HWND w) { harness::PostClick(w, WM_MBUTTONDOWN); }}),
    [](const ::testing::TestParamInfo<InputCase>& param) { return std::string(param.param.Name); });

struct StoredSetting {
  const char* Name;
  void (*Store)();
};

class RunWithSetting : public SaverTest, public ::testing::WithParamInterface<StoredSetting> {};

// Start-up and finish of either driver, with settings at and beyond their edges, end in
// an orderly exit rather than a crash or a hang.
TEST_P(RunWithSetting, StartsAndEndsCleanly) {
  GetParam().Store();
  SaverProcess saver({"/s"});
  HWND window = StartRun(saver);
  ASSERT_NE(window, nullptr);
  // The close is timed from a drawn frame: how long a first frame takes is the machine's.
  // A close waits for the frame in flight, so it is allowed that frame's time too.
  const DWORD drawing = GetTickCount();
  harness::WaitForScreenDrawn(host_test::FirstFrameTimeout);
  const DWORD frameMs = GetTickCount() - drawing;
  harness::PumpFor(1000);
  ASSERT_TRUE(saver.Running());
  harness::PostKey(window, VK_SPACE);
  EXPECT_TRUE(saver.WaitForExit(QuickEnd + frameMs)) << "a frame took " << frameMs << " ms";
  EXPECT_EQ(saver.ExitCode(), 0u);
}

TEST_P(RunWithSetting, PreviewStartsAndEndsCleanly) {
  GetParam().Store();
  harness::PreviewParent parent(152, 112);
  SaverProcess saver({"/p", parent.HandleText()});
  HWND preview = harness::WaitForWindow(
      {.ClassName = HostWindowClass, .ProcessId = saver.Id(), .Parent = parent.Child()},
      StartTimeout);
  ASSERT_NE(preview, nullptr);
  harness::PumpFor(1000);
  ASSERT_TRUE(saver.Running());
  parent.DestroyChild();
  EXPECT_TRUE(saver.WaitForExit(QuickEnd));
  EXPECT_EQ(saver.ExitCode(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Settings, RunWithSetting,
    ::testing::Values(
        StoredSetting{"GdiplusDriver", [] { harness::Settings::SetString("Driver", "GDI+"); }},
        StoredSetting{"SoundOff", [] { harness::Settings::SetDword("SoundOpen", 0); }},
        StoredSetting{"NoBubbles", [] { harness::Settings::SetDword("BallsCount", 0); }},
        StoredSetting{"MoreBubblesThanTheTable",
                      [] { harness::Settings::SetDword("BallsCount", 5000); }},
        StoredSetting{"NegativeBubbleCount",
                      [] { harness::Settings::SetDword("BallsCount", DWORD(-7)); }},
        StoredSetting{"HugeBubbles", [] { harness::Settings::SetDword("BallSize", 100000); }},
        StoredSetting{"DesktopBackground", [] { harness::Settings::SetDword("BackType", 2); }},
        StoredSetting{"MissingPicture",
                      [] {
                        harness::Settings::SetDword("BackType", 3);
                        harness::Settings::SetString("BackPic", "Z:\\nowhere\\missing.png");
                      }}),
    [](const ::testing::TestParamInfo<StoredSetting>& param) {
      return std::string(param.param.Name);
    });

TEST_F(SaverTest, SystemCommandsToCloseOrStartASaverAreIgnored) {
  SaverProcess saver({"/s"});
  HWND window = StartRun(saver);
  ASSERT_NE(window, nullptr);
  PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
  PostMessageA(window, WM_SYSCOMMAND, SC_SCREENSAVE, 0);
  EXPECT_FALSE(saver.WaitForExit(1500));
}

TEST_F(SaverTest, ASettingOfTheWrongTypeShowsItsErrorAndEndsWithoutAWindow) {
  harness::Settings::SetString("BallsCount", "12");
  SaverProcess saver({"/s"});
  auto box = harness::WaitForMessageBox(saver.Id(), StartTimeout);
  ASSERT_TRUE(box.has_value()) << "no error box";
  EXPECT_EQ(box->Caption, "Vesperine");
  EXPECT_EQ(box->Text, "Invalid data type for 'BallsCount'");
  EXPECT_TRUE(harness::FindWindows(RunWindowOf(saver.Id())).empty());
  harness::DismissMessageBox(box->Window);
  EXPECT_TRUE(saver.WaitForExit(QuickEnd));
  EXPECT_EQ(saver.ExitCode(), 1u) << "ended by a crash rather than the error report";
}

TEST_F(SaverTest, PreviewWithoutAHandleReportsTheConversionErrorAndEnds) {
  SaverProcess saver({"/p"});
  auto box = harness::WaitForMessageBox(saver.Id(), StartTimeout);
  ASSERT_TRUE(box.has_value()) << "no error box";
  EXPECT_EQ(box->Text, "'' is not a valid integer value");
  EXPECT_TRUE(harness::FindWindows({.ClassName = HostWindowClass}).empty());
  harness::DismissMessageBox(box->Window);
  EXPECT_TRUE(saver.WaitForExit(QuickEnd));
  EXPECT_EQ(saver.ExitCode(), 1u);
}

TEST_F(SaverTest, PreviewWithTextForAHandleReportsTheConversionError) {
  SaverProcess saver({"/p", "12ab"});
  auto box = harness::WaitForMessageBox(saver.Id(), StartTimeout);
  ASSERT_TRUE(box.has_value());
  EXPECT_EQ(box->Text, "'12ab' is not a valid integer value");
  harness::DismissMessageBox(box->Window);
  EXPECT_TRUE(saver.WaitForExit(QuickEnd));
}

class PreviewOfNoWindow : public SaverTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(PreviewOfNoWindow, EndsAtOnceWithoutAWindowOrAMessage) {
  SaverProcess saver({"/p", GetParam()});
  ASSERT_TRUE(saver.Started());
  EXPECT_TRUE(saver.WaitForExit(QuickEnd)) << "still running: a hang";
  EXPECT_EQ(saver.ExitCode(), 0u);
}

// 2147483647 is a handle no window has; -3 would be HWND_MESSAGE, -1 HWND_BROADCAST.
INSTANTIATE_TEST_SUITE_P(Handles, PreviewOfNoWindow, ::testing::Values("2147483647", "-3", "-1"));

TEST_F(SaverTest, PreviewOfADestroyedWindowEndsAtOnce) {
  std::string handle;
  {
    harness::PreviewParent parent(152, 112);
    handle = parent.HandleText();
  }
  SaverProcess saver({"/p", handle});
  EXPECT_TRUE(saver.WaitForExit(QuickEnd));
  EXPECT_EQ(saver.ExitCode(), 0u);
}

class RunSwitch : public SaverTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(RunSwitch, StartsTheFullScreenRun) {
  SaverProcess saver({GetParam()});
  EXPECT_NE(StartRun(saver), nullptr) << "no run window for " << GetParam();
}

INSTANTIATE_TEST_SUITE_P(CommandLine, RunSwitch,
                         ::testing::Values("/s", "s", "/x", "xc", "//c", "cx"),
                         [](const ::testing::TestParamInfo<const char*>& param) {
                           return "Case" + std::to_string(param.index);
                         });

class ConfigureSwitch : public SaverTest,
                        public ::testing::WithParamInterface<std::vector<std::string>> {};

// Configuring shows the settings dialog (when the build has it) and never the host window.
TEST_P(ConfigureSwitch, NeverMakesTheHostWindow) {
  SaverProcess saver(GetParam());
  ASSERT_TRUE(saver.Started());
  harness::WaitUntil([&] { return !saver.Running(); }, 2000);
  EXPECT_TRUE(harness::FindWindows({.ClassName = HostWindowClass}).empty());
}

INSTANTIATE_TEST_SUITE_P(CommandLine, ConfigureSwitch,
                         ::testing::Values(std::vector<std::string>{},
                                           std::vector<std::string>{"/c"},
                                           std::vector<std::string>{"-C"},
                                           std::vector<std::string>{"c"},
                                           std::vector<std::string>{"/c:1234"}));

// Outside the Windows 95/98/Me family there is no password to change.
TEST_F(SaverTest, PreviewOfHandleZeroFillsTheScreenButIgnoresInput) {
  SaverProcess saver({"/p", "0"});
  HWND window = StartRun(saver);
  ASSERT_NE(window, nullptr);
  harness::WindowInfo info = harness::Describe(window);
  EXPECT_TRUE(info.Topmost);
  EXPECT_EQ(info.Rect.right, GetSystemMetrics(SM_CXSCREEN));
  harness::PostKey(window, VK_SPACE);
  harness::PostClick(window, WM_LBUTTONDOWN);
  harness::MoveCursor(10, 10);
  harness::PostMouseMove(window);
  EXPECT_FALSE(saver.WaitForExit(1500)) << "input ended a preview";
}

}  // namespace
