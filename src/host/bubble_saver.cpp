#include "host/bubble_saver.h"

#include <vector>

#include "framework/display_scale.h"
#include "framework/win/dpi.h"
#include "framework/win/form.h"
#include "framework/win/monitors.h"
#include "gdiplus/pictures.h"
#include "gdiplus/preview.h"
#include "host/drivers.h"
#include "host/startup_rules.h"
#include "settings/settings.h"
#include "world/bubble_table.h"
#include "world/monitor_walls.h"
#include "world/windbell.h"

namespace {

bool DrawsWithGdiplus(ScreenSaverMode mode) {
  return mode == smPreview || !UseDirectDraw;
}

// The run and /p 0, as opposed to a preview inside another program's window.
bool IsFullScreen(HWND window) {
  return (GetWindowLongA(window, GWL_STYLE) & WS_CHILD) == 0;
}

// A full-screen window covers every monitor, and its world is the virtual screen in 96-dpi
// units, so a scaled display shows the same bubbles at its real pixels; a preview inside
// another program's window keeps the primary screen's proportions.
void SizeTheWorld(HWND window) {
  BubbleRadius = ComputeBubbleRadius(SizeScale);
  const bool fullScreen = IsFullScreen(window);
  DrawingScale = fullScreen ? DisplayScale(PrimaryMonitorDpi()) : DisplayScale();
  const ScreenLayout layout = fullScreen ? DesktopLayout() : PrimaryLayout();
  const ScreenRect world = DrawingScale.ToWorld(layout.World());
  WorldRect = WorldRectangle{0, 0, world.Width(), world.Height()};
  // Where the monitors leave parts of the virtual screen unshown, those parts are walls.
  std::vector<ScreenRect> monitors;
  if (fullScreen) {
    for (const ScreenRect& monitor : layout.MonitorRects())
      monitors.push_back(DrawingScale.ToWorld(monitor));
  }
  SetWorldMonitors(world, monitors);
}

void OpenChime() {
  if (SoundOpen) WindBell = new TWindBell(CreateSystemMidiPort(), 0);
}

void CloseChime() {
  delete WindBell;
  WindBell = nullptr;
}

void PrepareGdiplus(HWND window) {
  StartGdiplus();
  LoadGdiplusPictures(IsFullScreen(window) ? DesktopLayout().Virtual() : ScreenRect{});
  BallsCount = ForcedBallsCount(WorldRect.Width);
}

void StartRunScene(HWND window) {
  if (UseDirectDraw) {
    StartDirectDrawScene(window);
  } else {
    StartGdiplusScene(window);
  }
}

void StartPreview(HWND window) {
  if (IsFullScreen(window)) {
    const ScreenLayout desktop = DesktopLayout();
    SetUpPreview(window, &desktop);
  } else {
    SetUpPreview(window);
  }
  Restitution = 1.0;  // the preview keeps the full speed at walls and collisions
}

}  // namespace

void BubbleStartup(HWND window, ScreenSaverMode mode) {
  LoadSettings();
  BallsCount = LimitBallsCount(BallsCount);
  SizeTheWorld(window);
  OpenChime();
  if (DrawsWithGdiplus(mode)) PrepareGdiplus(window);
  InitBubbles(BallsCount);
  if (mode == smRun) StartRunScene(window);
  if (mode == smPreview) StartPreview(window);
}

void BubbleTick(HWND window, ScreenSaverMode mode) {
  if (mode == smPreview) DrawPreviewFrame(window);
}

void BubbleFinish(HWND, ScreenSaverMode mode) {
  CloseChime();
  if (mode != smPreview && UseDirectDraw) {
    FinishDirectDrawScene();
    return;
  }
  // The GDI+ scene goes before GDI+ itself: its bitmaps and graphics must be disposed
  // while GDI+ still runs.
  if (mode != smPreview) FinishGdiplusScene();
  FreePreviewImages();
  ShutdownGdiplus();
}

void BubbleSceneShown(HWND, ScreenSaverMode mode, bool shown) {
  if (mode != smRun) return;
  if (UseDirectDraw) {
    SetDirectDrawSceneAwake(shown);
  } else {
    SetGdiplusSceneAwake(shown);
  }
}

void BubbleConfigure(HWND) {
  LoadSettings();
  InitApplication();
  RunSettingsDialog();
}
