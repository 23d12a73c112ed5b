#include "host/win/bubble_saver.h"

#include <future>
#include <utility>
#include <vector>

#include "directdraw/win/scene_driver.h"
#include "display/win/dxdraw.h"
#include "drivers/win/driver_table.h"
#include "framework/display_scale.h"
#include "framework/win/dpi.h"
#include "framework/win/form.h"
#include "framework/win/monitors.h"
#include "gdiplus/scene/win/scene_driver.h"
#include "gdiplus/win/pictures.h"
#include "gdiplus/win/preview.h"
#include "host/startup_rules.h"
#include "settings/dialog/win/run_settings_dialog.h"
#include "settings/settings.h"
#include "world/bubble_table.h"
#include "world/monitor_walls.h"
#include "world/windbell.h"

namespace {

// The run's full-screen driver: the user's choice, or the GDI+ scene where Direct3D cannot
// draw; null in the preview.
const FullScreenDriver* RunDriver = nullptr;
bool GdiplusStarted = false;
bool SceneShown = true;  // what the host last said: a new driver starts in the same state

const FullScreenDriver* DriverFor(RunScene scene) {
  switch (scene) {
    case RunScene::DirectDraw:
      return &DirectDrawSceneDriver();
    case RunScene::Gdiplus:
      return &GdiplusSceneDriver();
    case RunScene::None:
      break;
  }
  return nullptr;
}

// Looked up only when Direct3D was chosen: the GDI+ run never loads ddraw.dll.
DirectDrawState DirectDrawAtStart(ScreenSaverMode mode) {
  if (mode != smRun || !UseDirectDraw) return DirectDrawState::Untried;
  return TDXDraw::DirectDrawAvailable() ? DirectDrawState::Untried : DirectDrawState::Missing;
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
  GdiplusStarted = true;
  LoadGdiplusPictures();
  BallsCount = ForcedBallsCount(WorldRect.Width);
}

// The preview's background is prepared on a thread of its own while GDI+ starts.
std::future<PixelImage> PreparePreviewBackground(HWND window) {
  if (!IsFullScreen(window)) return StartPreviewBackground(window, nullptr);
  const ScreenLayout desktop = DesktopLayout();
  return StartPreviewBackground(window, &desktop);
}

void StartPreview(HWND window, std::future<PixelImage> background) {
  if (IsFullScreen(window)) {
    const ScreenLayout desktop = DesktopLayout();
    SetUpPreview(window, &desktop, std::move(background));
  } else {
    SetUpPreview(window, nullptr, std::move(background));
  }
  Restitution = 1.0;  // the preview keeps the full speed at walls and collisions
}

// Starts the run's scene: the GDI+ scene first gets GDI+, its pictures and its own count of
// bubbles. The bubbles are laid out anew for every scene, as its own start lays them out.
void StartRunScene(HWND window, RunScene scene) {
  RunDriver = DriverFor(scene);
  if (scene == RunScene::Gdiplus) PrepareGdiplus();
  InitBubbles(BallsCount);
  RunDriver->Start(window);
  if (!SceneShown) RunDriver->SetAwake(false);
}

// A Direct3D scene that cannot show anything gives the run to the GDI+ scene, exactly as if
// the user had chosen it. What the host owns stays: the world's size and walls, the chime
// (one port, so no note sounds twice). What the scene owns goes with it: its form, display,
// textures and wind; the GDI+ scene brings its own wind, pictures and count.
void HandOverIfGivenUp(HWND window) {
  if (!RunDriver || !RunDriver->GaveUp()) return;
  RunDriver->Abandon();
  StartRunScene(window, ChooseRunScene(true, UseDirectDraw, DirectDrawState::GaveUp));
}

}  // namespace

void BubbleStartup(HWND window, ScreenSaverMode mode) {
  LoadSettings();
  const RunScene scene = ChooseRunScene(mode == smRun, UseDirectDraw, DirectDrawAtStart(mode));
  RunDriver = nullptr;
  BallsCount = LimitBallsCount(BallsCount);
  SizeTheWorld(window);
  OpenChime();
  std::future<PixelImage> previewBackground;
  if (mode == smPreview) {
    previewBackground = PreparePreviewBackground(window);
    PrepareGdiplus();
  }
  if (scene != RunScene::None) {
    StartRunScene(window, scene);
    HandOverIfGivenUp(window);
  } else {
    InitBubbles(BallsCount);
  }
  if (mode == smPreview) StartPreview(window, std::move(previewBackground));
}

void BubbleTick(HWND window, ScreenSaverMode mode) {
  if (mode == smPreview) DrawPreviewFrame(window);
  if (mode == smRun) HandOverIfGivenUp(window);
}

void BubbleFinish(HWND, ScreenSaverMode) {
  CloseChime();
  // The GDI+ scene goes before GDI+ itself: its bitmaps and graphics must be disposed
  // while GDI+ still runs.
  if (RunDriver) RunDriver->Finish();
  if (!GdiplusStarted) return;
  FreePreviewImages();
  ShutdownGdiplus();
  GdiplusStarted = false;
}

void BubbleSceneShown(HWND, ScreenSaverMode, bool shown) {
  SceneShown = shown;
  if (RunDriver) RunDriver->SetAwake(shown);
}

void BubbleConfigure(HWND) {
  LoadSettings();
  InitApplication();
  SettingsDialogDriver().Run();
}
