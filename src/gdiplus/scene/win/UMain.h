// TFMain: the GDI+ scene form. A borderless child of the host window over the work areas
// of every monitor, it shows the background stretched over each work area, owns the scene's wind,
// advances the world every 20 ms and moves one layered TFBall window per bubble to its bubble.
// Keys, buttons and mouse movement that reach it go on to the host window, which decides whether
// the run ends.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <future>
#include <memory>
#include <vector>

#include "framework/background_picture.h"
#include "framework/screen_layout.h"
#include "framework/win/form.h"
#include "framework/win/timer.h"
#include "gdiplus/scene/scene_rules.h"
#include "gdiplus/scene/win/UFBall.h"
#include "image/pixel_image.h"
#include "world/step_clock.h"
#include "world/wind.h"

// The picture control that fills the form: its picture, and that picture stretched once
// to the form's size in a memory device context for painting: over each monitor's part
// of the form on its own (Parts, in the form's pixels), black between them.
struct TSceneImage {
  PixelImage Picture;
  std::vector<BackgroundPart> Parts;
  HDC Canvas = nullptr;
  HBITMAP Stretched = nullptr;
  HGDIOBJ Previous = nullptr;
  int32_t Width = 0;
  int32_t Height = 0;

  // The background being loaded and resampled on a thread of its own.
  std::future<SceneBackground> Pending;

  ~TSceneImage() { Release(); }
  void Release();
  // Makes the stretched copy when the size differs from the one held.
  void StretchTo(int32_t width, int32_t height);
  // Loads the picture and resamples it over the layout's work areas on another thread,
  // which posts readyMessage to notify when it is done.
  void Prepare(std::function<PixelImage()> load, const ScreenLayout& layout, BackgroundKind kind,
               HWND notify, UINT readyMessage);
  // False once no background is pending: a finished one then holds the picture, its parts
  // and its stretched copy.
  bool StillPreparing();

 private:
  bool MakeCanvas(int32_t width, int32_t height);
  void CopyToCanvas(const PixelImage& composed);
};

class TFMain : public TForm {
 public:
  TFMain();
  ~TFMain() override;

  TSceneImage Image1;
  BackgroundSource BackgroundFrom = BackgroundSource::BuiltIn;
  TTimer Timer1;  // 20 ms frames
  TTimer Timer2;  // 5 s random push
  // Windows fires the 20 ms timer every 31.25 ms: steps and pushes keep their design rate
  // by the time that passed.
  PacedWorld World{GdiplusStepPeriod};
  StepClock Pushes{GdiplusPushPeriod};
  TTimer Timer4;  // creates the bubble windows at the first tick
  std::unique_ptr<TWind> Wind;
  MouseStartTracker MouseStart;
  std::vector<std::unique_ptr<TFBall>> BallWindows;  // entry k - 1 shows bubble k
  int32_t Radius = 0;  // the bubbles' drawing radius: BubbleRadius unless that is absurd

  void SetUpBackground();
  void Timer4Timer();
  void Timer1Timer();
  void Timer2Timer();
  void Image1MouseMove(TShiftState shift, int x, int y);
  void ReleaseBallWindows();
  // Round the work areas, in the host window's client coordinates (the host covers the
  // virtual screen, so they are world coordinates).
  void FitToWorkArea();
  ScreenLayout Layout;  // the desktop when the run began
  // The display went off or came back: the frame, push and start timers, every bubble
  // window's renders and the wind hold, then go on where they stopped.
  void SetDisplayAwake(bool awake);
  bool DisplayAsleep() const { return Asleep; }
  // Layered windows need no device that could be lost: this scene never gives up.
  bool GaveUp() const { return false; }
  // The end of the run closes the form, and the form goes at once: everything that holds
  // GDI+ objects (the bubble windows' layers) must go while GDI+ still runs.
  void EndRun() { Close(); }
  static constexpr bool KeptAfterTheRun = false;

 protected:
  void FormCreate() override;
  void FormShow() override { FitToWorkArea(); }
  void FormClose(TCloseAction& action) override;
  void FormDestroy() override;
  void KeyDown(WORD& key, TShiftState shift) override;
  void MouseMove(TShiftState shift, int x, int y) override { Image1MouseMove(shift, x, y); }
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void Paint(HDC dc) override;
  bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 private:
  static constexpr UINT BackgroundReadyMessage = WM_APP + 1;
  std::function<PixelImage()> LoadedFileOrBuiltIn(std::function<PixelImage()> builtIn);
  void MoveBallWindows();
  WindowOrigin BubbleOrigin(int k) const;
  void ForwardToHost(UINT message, WPARAM wParam);
  bool DoubleBuffered = false;
  bool Asleep = false;
  TTimerHold Timer1Hold, Timer2Hold, Timer4Hold;
};
