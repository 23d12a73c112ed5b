// What a frame costs: the CPU time of this whole process (every thread: the program's, the
// Direct3D command stream's and the rasteriser's) per frame, for the Direct3D run by each
// present path, the GDI+ run and the preview at 152 x 112, each with 10 and 100 bubbles;
// then one Direct3D frame split into its parts. It starts the program's own start-up, the
// real host window and the drivers' own timers, and counts frames by the world's steps.
// Run it through scripts/bench-frames, which gives it a Wine prefix of its own (it writes
// the settings it measures) and runs the split with Wine's command stream off.
//
// pace: steps and frames a second (frames counted as shown: the Direct3D scene's presents,
// the GDI+ scene's frame ticks, the preview's frames) and CPU per frame for each scene,
// with timers as Wine fires them (real) or on Windows' 15.625 ms grid (windows), at the
// display's refresh as reported (0: none under Wine) or at a pretended 60 or 144 Hz.
//
//   frame_cost [seconds per case] [split | power | pace]   (power: the display-off figures alone)
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <optional>
#include <string>

#include "directdraw/win/UDxBall.h"
#include "directdraw/win/scene_driver.h"
#include "directdraw/win/scene_test_hooks.h"
#include "display/win/dxdraw.h"
#include "display/win/dxdraw_test_hooks.h"
#include "display/win/refresh_pacer.h"
#include "framework/win/timing_seams.h"
#include "host/win/bubble_saver.h"
#include "host/win/screen_saver.h"
#include "settings/settings.h"
#include "world/bubble_table.h"
#include "world/motion.h"
#include "world/step_clock.h"

namespace {

double CpuMilliseconds() {
  FILETIME created, exited, kernel, user;
  GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
  auto ms = [](const FILETIME& t) {
    return (static_cast<double>(t.dwHighDateTime) * 4294967296.0 + t.dwLowDateTime) / 10000.0;
  };
  return ms(kernel) + ms(user);
}

void PumpFor(DWORD milliseconds) {
  const DWORD end = GetTickCount() + milliseconds;
  MSG m;
  // A frame slower than the timer's interval leaves a timer message always due: the
  // clock is read after every message, not only when the queue runs dry.
  while (static_cast<LONG>(end - GetTickCount()) > 0) {
    if (!PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
      continue;
    }
    if (m.message == WM_QUIT) continue;
    TranslateMessage(&m);
    DispatchMessageA(&m);
  }
}

// The first frames build textures and shaders, and the GDI+ run makes its bubble windows
// first: measuring starts once frames come, or after two minutes without one.
void SettleUntilDrawing() {
  PumpFor(3000);
  const uint64_t before = MotionStepsTaken();
  for (int waited = 0; waited < 120 && MotionStepsTaken() < before + 2; ++waited) PumpFor(1000);
}

void StoreSettings(const char* driver, int count) {
  auto key = OpenForWriting(SystemSettingsStore());
  WriteString(*key, "Driver", driver);
  WriteInteger(*key, "BallsCount", count);
  WriteBool(*key, "SoundOpen", false);
}

// The GDI+ run and the preview take their count from the screen's width; here they take
// the case's.
int ForcedCount = 0;
void StartupWithCount(HWND window, ScreenSaverMode mode) {
  BubbleStartup(window, mode);
  if (mode == smPreview || (mode == smRun && !UseDirectDraw)) {
    BallsCount = ForcedCount;
    InitBubbles(BallsCount);
  }
}

struct Case {
  const char* Name;
  ScreenSaverMode Mode;
  const char* Driver;
  std::optional<PresentPath> Path;
};

HWND MakePreviewParent() {
  WNDCLASSA wc{};
  wc.lpfnWndProc = DefWindowProcA;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "FrameCostPreviewParent";
  RegisterClassA(&wc);
  return CreateWindowExA(0, wc.lpszClassName, "preview parent", WS_POPUP | WS_VISIBLE, 0, 0, 152,
                         112, nullptr, nullptr, wc.hInstance, nullptr);
}

// The host window of the case, made as the program makes it, with its timer running and
// its first frames drawn; null when it could not be made.
HWND StartHost(const Case& c, int count, HWND parent) {
  StoreSettings(c.Driver, count);
  ForcedCount = count;
  ForcePresentPath(c.Path);
  SaverMode = c.Mode;
  StartupProc = StartupWithCount;
  TickProc = BubbleTick;
  FinishProc = BubbleFinish;
  TimerInterval = BubbleTickInterval;
  HWND host = CreateHostWindow(parent);
  if (!host) {
    std::printf("%-34s %3d bubbles: the host window could not be made\n", c.Name, count);
    return nullptr;
  }
  StartHostTimer(host);
  SettleUntilDrawing();
  return host;
}

void EndHost(HWND host) {
  DestroyWindow(host);
  PumpFor(200);
  UnregisterClassA(HostWindowClass, GetModuleHandleA(nullptr));
}

// Measures the case for the given time, after its first frames.
void Measure(const Case& c, int count, DWORD milliseconds) {
  HWND parent = c.Mode == smPreview ? MakePreviewParent() : nullptr;
  HWND host = StartHost(c, count, parent);
  if (!host) return;
  const uint64_t frames0 = MotionStepsTaken();
  const double cpu0 = CpuMilliseconds();
  PumpFor(milliseconds);
  const double cpu = CpuMilliseconds() - cpu0;
  const uint64_t frames = MotionStepsTaken() - frames0;
  if (frames > 0) {
    std::printf("%-34s %3d bubbles: %7.2f ms CPU per frame, %5.1f frames a second\n", c.Name, count,
                cpu / static_cast<double>(frames),
                static_cast<double>(frames) * 1000.0 / milliseconds);
  } else {
    std::printf("%-34s %3d bubbles: no frame drawn\n", c.Name, count);
  }
  std::fflush(stdout);
  EndHost(host);
  if (parent) DestroyWindow(parent);
}

// The display turned off as the system tells it: the same run's CPU a second before and
// after, which should fall to next to nothing.
void MeasureDisplayOff(const Case& c, DWORD milliseconds) {
  HWND host = StartHost(c, 10, nullptr);
  if (!host) return;
  auto cpuPerSecond = [milliseconds] {
    const double cpu0 = CpuMilliseconds();
    PumpFor(milliseconds);
    return (CpuMilliseconds() - cpu0) * 1000.0 / milliseconds;
  };
  const double on = cpuPerSecond();
  struct {
    GUID PowerSetting;
    DWORD DataLength;
    DWORD Value;
  } notice{{0x6fe69556, 0x704a, 0x47a0, {0x8f, 0x24, 0xc2, 0x8d, 0x93, 0x6f, 0xda, 0x47}},
           sizeof(DWORD),
           0};
  constexpr WPARAM PowerSettingChange = 0x8013;
  SendMessageA(host, WM_POWERBROADCAST, PowerSettingChange, reinterpret_cast<LPARAM>(&notice));
  PumpFor(1000);  // a frame under way finishes
  const uint64_t frames0 = MotionStepsTaken();
  const double asleep = cpuPerSecond();
  const uint64_t framesWhileOff = MotionStepsTaken() - frames0;
  notice.Value = 1;  // on again, as the host holds the display's state for the next run
  SendMessageA(host, WM_POWERBROADCAST, PowerSettingChange, reinterpret_cast<LPARAM>(&notice));
  std::printf(
      "%-34s  10 bubbles: %7.1f ms CPU a second with the display on, %5.1f off "
      "(%llu frames while off)\n",
      c.Name, on, asleep, static_cast<unsigned long long>(framesWhileOff));
  std::fflush(stdout);
  EndHost(host);
}

struct PaceCase {
  const char* Scene;
  ScreenSaverMode Mode;
  const char* Driver;
  bool WindowsTimers;
  int RefreshHz;
};

struct PaceFigures {
  double StepsPerSecond, FramesPerSecond, CpuPerFrame, CpuPerSecond;
  const char* Path;  // what paced the Direct3D scene's frames at the end
};

// One scene with 10 bubbles, /p 0 for the preview (a top-level window of the screen's size).
PaceFigures MeasurePace(const PaceCase& c, DWORD milliseconds) {
  SetTimerGridForTests(c.WindowsTimers);
  SetFakeRefreshForTests(c.RefreshHz);
  PaceFigures figures{0, 0, 0, 0, ""};
  HWND host = StartHost({c.Scene, c.Mode, c.Driver, std::nullopt}, 10, nullptr);
  if (host) {
    const uint64_t steps0 = MotionStepsTaken();
    const uint64_t frames0 = PacedWorld::FramesShown();
    const double cpu0 = CpuMilliseconds();
    PumpFor(milliseconds);
    const double cpu = CpuMilliseconds() - cpu0;
    const double seconds = milliseconds / 1000.0;
    const auto frames = static_cast<double>(PacedWorld::FramesShown() - frames0);
    const TFDxBall* form = c.Mode == smRun && UseDirectDraw ? DirectDrawSceneForm() : nullptr;
    figures = {static_cast<double>(MotionStepsTaken() - steps0) / seconds, frames / seconds,
               frames > 0 ? cpu / frames : 0.0, cpu / seconds,
               !form                    ? ""
               : form->PacedByRefresh() ? ", frames at the refresh"
                                        : ", frames on the timer"};
    EndHost(host);
  }
  SetTimerGridForTests(false);
  SetFakeRefreshForTests(0);
  return figures;
}

void MeasurePaces(DWORD milliseconds) {
  const PaceCase cases[] = {
      {"Direct3D", smRun, "DirectDraw", false, 0},
      {"Direct3D", smRun, "DirectDraw", true, 0},
      {"Direct3D", smRun, "DirectDraw", true, 60},
      {"Direct3D", smRun, "DirectDraw", true, 144},
      {"GDI+", smRun, "GDI+", false, 0},
      {"GDI+", smRun, "GDI+", true, 0},
      {"Preview", smPreview, "DirectDraw", false, 0},
      {"Preview", smPreview, "DirectDraw", true, 0},
  };
  PaceFigures figures[std::size(cases)];
  for (size_t i = 0; i < std::size(cases); ++i) figures[i] = MeasurePace(cases[i], milliseconds);
  for (size_t i = 0; i < std::size(cases); ++i) {
    const PaceCase& c = cases[i];
    std::printf("pace %s %s %d: %.1f steps/s, %.1f frames/s, %.1f ms CPU per frame\n", c.Scene,
                c.WindowsTimers ? "windows" : "real", c.RefreshHz, figures[i].StepsPerSecond,
                figures[i].FramesPerSecond, figures[i].CpuPerFrame);
  }
  for (size_t i = 0; i < std::size(cases); ++i) {
    const PaceCase& c = cases[i];
    std::printf("cpu %s %s %d: %.1f ms CPU a second%s\n", c.Scene,
                c.WindowsTimers ? "windows" : "real", c.RefreshHz, figures[i].CpuPerSecond,
                figures[i].Path);
  }
  std::fflush(stdout);
}

// One Direct3D frame in its parts, driven here rather than by the form's timer.
void MeasureParts(int count, int frames) {
  HWND host = StartHost({"Direct3D run", smRun, "DirectDraw", std::nullopt}, count, nullptr);
  TFDxBall* form = host ? DirectDrawSceneForm() : nullptr;
  if (!form) return;
  form->Timer1.SetEnabled(false);
  TDXDraw& d = *form->DXDraw;
  if (!d.CanDraw()) {
    std::printf("the display is not initialised: %s\n", d.InitializeFailure());
    EndHost(host);
    return;
  }
  auto timePart = [&](const char* name, auto part) {
    const double t0 = CpuMilliseconds();
    for (int i = 0; i < frames; ++i) part();
    std::printf("    %-12s %7.2f ms\n", name, (CpuMilliseconds() - t0) / frames);
  };
  std::printf("Direct3D frame in parts, %d bubbles, %dx%d:\n", count, d.SurfaceWidth(),
              d.SurfaceHeight());
  timePart("clear", [&] { d.Clear(); });
  timePart("background", [&] { form->DrawBackground(); });
  timePart("world step", [] { MotionStep(); });
  timePart("layers", [&] { form->DrawBubbles(); });
  timePart("present", [&] { d.Flip(); });
  timePart("whole frame", [&] { form->DrawScene(); });
  std::fflush(stdout);
  EndHost(host);
}

}  // namespace

int main(int argc, char** argv) {
  SetSceneShownProcedure(BubbleSceneShown);  // as the program's entry does
  const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
  const std::string part = argc > 2 ? argv[2] : "";
  if (part == "pace") {
    std::printf("screen %dx%d, 10 bubbles, %d s a case\n", GetSystemMetrics(SM_CXSCREEN),
                GetSystemMetrics(SM_CYSCREEN), seconds);
    const PacingConditions system = SystemPacingConditions();
    std::printf("the system reports %d Hz, composition %s, battery %s, remote %s\n",
                system.RefreshHz, system.Composed ? "on" : "off", system.OnBattery ? "yes" : "no",
                system.RemoteSession ? "yes" : "no");
    MeasurePaces(static_cast<DWORD>(seconds) * 1000);
    return 0;
  }
  if (part == "split") {
    for (int count : {10, 100}) MeasureParts(count, count == 10 ? 20 : 5);
    return 0;
  }
  const Case cases[] = {
      {"Direct3D run, GDI copy", smRun, "DirectDraw", PresentPath::GdiCopy},
      {"Direct3D run, clipped Blt", smRun, "DirectDraw", PresentPath::ClippedBlt},
      {"Direct3D run, path the check chose", smRun, "DirectDraw", std::nullopt},
      {"GDI+ run", smRun, "GDI+", std::nullopt},
      {"preview 152 x 112", smPreview, "DirectDraw", std::nullopt},
  };
  std::printf("screen %dx%d, %d s a case\n", GetSystemMetrics(SM_CXSCREEN),
              GetSystemMetrics(SM_CYSCREEN), seconds);
  for (const Case& c : cases) {
    if (part == "power") break;
    for (int count : {10, 100}) Measure(c, count, static_cast<DWORD>(seconds) * 1000);
  }
  MeasureDisplayOff(cases[2], static_cast<DWORD>(seconds) * 1000);
  MeasureDisplayOff(cases[3], static_cast<DWORD>(seconds) * 1000);
  return 0;
}
