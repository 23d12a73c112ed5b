#include "host/bubble_saver.h"

#include <vector>

#include "directdraw/scene_driver.h"
#include "drivers/driver_table.h"
#include "framework/display_scale.h"
#include "framework/win/dpi.h"
#include "framework/win/form.h"
#include "framework/win/monitors.h"
#include "gdiplus/pictures.h"
#include "gdiplus/preview.h"
#include "gdiplus/scene/scene_driver.h"
#include "host/startup_rules.h"
#include "settings/dialog/win/run_settings_dialog.h"
#include "settings/settings.h"
#include "world/bubble_table.h"
#include "world/monitor_walls.h"
#include "world/windbell.h"

namespace {

// The run's full-screen driver, chosen at start-up by UseDirectDraw; null in the preview.
const FullScreenDriver* RunDriver = nullptr;

const FullScreenDriver* ChooseRunDriver(ScreenSaverMode mode) {
  if (mode != smRun) return nullptr;
  return UseDirectDraw ? &DirectDrawSceneDriver() : &GdiplusSceneDriver();
}

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

void PrepareGdiplus() {
  StartGdiplus();
  LoadGdiplusPictures();
  BallsCount = ForcedBallsCount(WorldRect.Width);
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
  RunDriver = ChooseRunDriver(mode);
  BallsCount = LimitBallsCount(BallsCount);
  SizeTheWorld(window);
  OpenChime();
  if (DrawsWithGdiplus(mode)) PrepareGdiplus();
  InitBubbles(BallsCount);
  if (RunDriver) RunDriver->Start(window);
  if (mode == smPreview) StartPreview(window);
}

void BubbleTick(HWND window, ScreenSaverMode mode) {
  if (mode == smPreview) DrawPreviewFrame(window);
}

void BubbleFinish(HWND, ScreenSaverMode mode) {
  CloseChime();
  // The GDI+ scene goes before GDI+ itself: its bitmaps and graphics must be disposed
  // while GDI+ still runs.
  if (RunDriver) RunDriver->Finish();
  if (!DrawsWithGdiplus(mode)) return;
  FreePreviewImages();
  ShutdownGdiplus();
}

void BubbleSceneShown(HWND, ScreenSaverMode, bool shown) {
  if (RunDriver) RunDriver->SetAwake(shown);
}

void BubbleConfigure(HWND) {
  LoadSettings();
  InitApplication();
  SettingsDialogDriver().Run();
}
