// A PC where Direct3D cannot draw: the default run shows the GDI+ scene instead of a black
// screen. The real vesperine.scr with Wine's Direct3D off ("no3d") and without ddraw.dll, and
// in process a Direct3D display that is lost for good in the middle of a run.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "directdraw/win/scene_driver.h"
#include "directdraw/win/scene_test_hooks.h"
#include "display/win/dxdraw_test_hooks.h"
#include "framework/win/form.h"
#include "gdiplus/scene/win/UMain.h"
#include "gdiplus/scene/win/scene_driver.h"
#include "gdiplus/scene/win/scene_test_hooks.h"
#include "gdiplus/win/pictures.h"
#include "harness/harness.h"
#include "host/win/bubble_saver.h"
#include "host/win/screen_saver.h"

namespace {

constexpr DWORD StartTimeout = harness::ProgramStartTimeout;
constexpr DWORD EndTimeout = 8000;
// Wine reads both when a process starts: its Direct3D renderer, and which DLLs it loads
// ("" disables one, as WINEDLLOVERRIDES's "ddraw=" does).
constexpr char Direct3DKey[] = "Software\\Wine\\Direct3D";
constexpr char DllOverridesKey[] = "Software\\Wine\\DllOverrides";

size_t GdiplusBubbles() {
  return static_cast<size_t>(std::min(GetSystemMetrics(SM_CXSCREEN) / 120, 100));
}

std::vector<HWND> BubbleWindows(DWORD processId) {
  return harness::FindWindows(
      {.ClassName = FormWindowClass, .Title = "FBall", .ProcessId = processId});
}

std::vector<RECT> Places(const std::vector<HWND>& windows) {
  std::vector<RECT> places;
  for (HWND window : windows) places.push_back(harness::Describe(window).Rect);
  return places;
}

// A string value of Wine's own settings under HKEY_CURRENT_USER, or none.
std::optional<std::string> ReadWineSetting(const char* keyPath, const char* name) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, keyPath, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
    return std::nullopt;
  char value[64] = {};
  DWORD size = sizeof value - 1, type = 0;
  const LONG status =
      RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(value), &size);
  RegCloseKey(key);
  if (status != ERROR_SUCCESS || type != REG_SZ) return std::nullopt;
  return std::string(value);
}

void WriteWineSetting(const char* keyPath, const char* name,
                      const std::optional<std::string>& value) {
  HKEY key = nullptr;
  RegCreateKeyExA(HKEY_CURRENT_USER, keyPath, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr);
  if (value) {
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value->c_str()),
                   static_cast<DWORD>(value->size() + 1));
  } else {
    RegDeleteValueA(key, name);
  }
  RegCloseKey(key);
}

// What a run shows, with the places of its bubble windows around the capture.
struct Shown {
  harness::Capture Screen;
  std::vector<RECT> Bubbles;
};

Shown CaptureRun(DWORD processId) {
  Shown shown;
  const std::vector<HWND> windows = BubbleWindows(processId);
  shown.Bubbles = Places(windows);
  shown.Screen = harness::CaptureScreen();
  for (const RECT& after : Places(windows)) shown.Bubbles.push_back(after);
  return shown;
}

bool Covered(const std::vector<RECT>& rects, int x, int y) {
  // The X server may still show a bubble window a few frames behind where Windows says it
  // is, by some pixels a frame.
  constexpr int Margin = 24;
  return std::any_of(rects.begin(), rects.end(), [&](const RECT& r) {
    return x >= r.left - Margin && x < r.right + Margin && y >= r.top - Margin &&
           y < r.bottom + Margin;
  });
}

// Pixels outside both runs' bubbles that differ by more than a small tolerance, and how many
// were compared.
std::pair<int64_t, int64_t> BackgroundDifference(const Shown& a, const Shown& b) {
  int64_t compared = 0, different = 0;
  for (int y = 0; y < a.Screen.Height; y += 2) {
    for (int x = 0; x < a.Screen.Width; x += 2) {
      if (Covered(a.Bubbles, x, y) || Covered(b.Bubbles, x, y)) continue;
      ++compared;
      const uint32_t p = a.Screen.At(x, y), q = b.Screen.At(x, y);
      different += std::abs(harness::Red(p) - harness::Red(q)) > 8 ||
                   std::abs(harness::Green(p) - harness::Green(q)) > 8 ||
                   std::abs(harness::Blue(p) - harness::Blue(q)) > 8;
    }
  }
  return {different, compared};
}

class NoDirect3DTest : public ::testing::Test {
 protected:
  // The GDI+ scene chosen by hand, which the fallback must look like.
  static void SetUpTestSuite() {
    harness::Settings::Clear();
    harness::Settings::SetString("Driver", "GDI+");
    harness::CentreCursor();
    harness::SaverProcess saver({"/s"});
    if (StartedWithGdiplusScene(saver)) Reference = CaptureRun(saver.Id());
    saver.Kill();
    harness::Settings::Clear();
  }
  void SetUp() override {
    harness::Settings::Clear();
    harness::CentreCursor();
  }
  void TearDown() override { harness::Settings::Clear(); }

  static bool StartedWithGdiplusScene(harness::SaverProcess& saver) {
    if (!saver.Started()) return false;
    HWND host = harness::WaitForWindow(
        {.ClassName = HostWindowClass, .Title = RunTitle, .ProcessId = saver.Id()}, StartTimeout);
    if (!host) return false;
    harness::WaitUntil([&] { return BubbleWindows(saver.Id()).size() >= GdiplusBubbles(); },
                       StartTimeout);
    harness::PumpFor(500);  // the bubbles draw their pictures at their first tick
    return BubbleWindows(saver.Id()).size() == GdiplusBubbles();
  }

  static inline std::optional<Shown> Reference;
};

}  // namespace

TEST_F(NoDirect3DTest, TheDefaultRunShowsTheGdiplusSceneAndEndsOnInput) {
  ASSERT_TRUE(Reference.has_value()) << "the GDI+ run chosen by hand did not start";
  // Direct3D without a 3D device, as on a PC without a 3D driver; and no ddraw.dll at all.
  const struct {
    const char* Name;
    const char* Key;
    const char* Value;
    const char* Setting;
    bool EndByMouse;
  } rows[] = {{"no3d", Direct3DKey, "renderer", "no3d", false},
              {"noddraw", DllOverridesKey, "ddraw", "", true}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.Name);
    const std::optional<std::string> found = ReadWineSetting(row.Key, row.Value);
    WriteWineSetting(row.Key, row.Value, row.Setting);
    harness::SaverProcess saver({"/s"});
    const bool started = StartedWithGdiplusScene(saver);
    WriteWineSetting(row.Key, row.Value, found);
    EXPECT_EQ(ReadWineSetting(row.Key, row.Value), found) << "the prefix is left as it was found";
    ASSERT_TRUE(started) << "no GDI+ scene with its " << GdiplusBubbles() << " bubble windows";
    EXPECT_FALSE(harness::WaitForMessageBox(saver.Id(), 0).has_value());

    const Shown first = CaptureRun(saver.Id());
    harness::SavePng(first.Screen, harness::OutputFolder() + "\\fallback_" + row.Name + ".png");
    const auto [different, compared] = BackgroundDifference(first, *Reference);
    // Twelve bubble boxes (two runs, read around each capture) may cover most of a small
    // screen, but never all of it: a few thousand samples of background always remain.
    EXPECT_GT(compared, 2000);
    EXPECT_LT(different, compared / 100) << "the background differs from the GDI+ run's";
    harness::PumpFor(1000);
    const Shown later = CaptureRun(saver.Id());
    EXPECT_GT(harness::CountDifferentPixels(first.Screen, later.Screen, 8), 200)
        << "the bubbles do not move";

    if (row.EndByMouse) {
      harness::SendMouseMoveInput(40, 0);
    } else {
      harness::SendKeyInput(VK_SPACE);
    }
    EXPECT_TRUE(saver.WaitForExit(EndTimeout));
    harness::CentreCursor();
  }
}

// In process, with the program's own start-up and host window: a Direct3D display that
// stays lost hands the run over to the GDI+ scene, which a key then ends.
TEST_F(NoDirect3DTest, ADisplayLostForGoodHandsTheRunToTheGdiplusScene) {
  harness::Settings::SetDword("SoundOpen", 0);
  SaverMode = smRun;
  StartupProc = BubbleStartup;
  TickProc = BubbleTick;
  FinishProc = BubbleFinish;
  TimerInterval = BubbleTickInterval;
  HWND host = CreateHostWindow(nullptr);
  ASSERT_NE(host, nullptr);
  StartHostTimer(host);
  ASSERT_NE(DirectDrawSceneForm(), nullptr);
  ASSERT_EQ(GdiplusSceneForm(), nullptr);

  LoseSurfacesForGood(true);
  const bool handedOver = harness::WaitUntil(
      [] {
        const TFMain* scene = GdiplusSceneForm();
        return scene && scene->BallWindows.size() == GdiplusBubbles();
      },
      StartTimeout);
  LoseSurfacesForGood(false);
  EXPECT_TRUE(handedOver);
  EXPECT_EQ(DirectDrawSceneForm(), nullptr) << "the Direct3D scene is dropped";
  EXPECT_NE(GdiplusToken, 0u) << "the GDI+ scene runs on GDI+";

  PostMessageA(host, WM_KEYDOWN, VK_SPACE, 0);
  EXPECT_TRUE(harness::WaitUntil([&] { return !IsWindow(host); }, EndTimeout));
  EXPECT_EQ(GdiplusToken, 0u) << "GDI+ is shut down at the end";
  UnregisterClassA(HostWindowClass, GetModuleHandleA(nullptr));
}
