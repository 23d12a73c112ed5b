// TFDxBall: the DirectDraw scene form. Its client area is a Direct3D display (DXDraw) that
// draws the background and the bubbles every 40 ms (Timer1). The form owns its textures,
// pictures and wind; the three bubble images live in the holders DXDIB1..3.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <span>

#include "directdraw/scene_rules.h"
#include "display/win/dxdraw.h"
#include "display/win/refresh_pacer.h"
#include "framework/screen_layout.h"
#include "framework/win/form.h"
#include "framework/win/monitors.h"
#include "framework/win/timer.h"
#include "image/pixel_image.h"
#include "world/step_clock.h"
#include "world/wind.h"

// Decodes a PNG into bitmap, alpha included for colour types 4 and 6. False (bitmap
// untouched) when the data is no decodable PNG.
bool LoadPngWithAlpha(std::span<const uint8_t> stream, PixelImage& bitmap);

class TFDxBall : public TForm {
 public:
  TFDxBall();
  ~TFDxBall() override;

  // Components.
  std::unique_ptr<TDXDraw> DXDraw;
  TTimer Timer1;
  PixelImage DXDIB1;  // BALL
  PixelImage DXDIB2;  // BALL1
  PixelImage DXDIB3;  // BALL2
  PixelImage BackImage;

  // Handlers.
  void LoadScenePictures();
  void DXDrawInitialize();
  void DXDrawInitializeSurface();
  void DXDrawFinalizeSurface();
  void DXDrawFinalize();
  void DXDrawRestoreSurface();
  void FormKeyDown(WORD& key, TShiftState shift);
  void DXDrawMouseMove(TShiftState shift, int x, int y);
  void Timer1Timer();
  // One frame: clear, background, a world step, the bubbles' layers, present.
  void DrawScene();
  void DrawBackground();
  void DrawBubbles();  // every bubble's layers, between BeginScene and EndScene
  void SetupViewport();

  // Read by tests and the driver table (scene_driver.cpp).
  TWind* SceneWind() const { return Wind.get(); }
  void StopWind() {
    if (Wind) Wind->Stop();
  }
  const TDirect3DTexture* Ball() const { return BallTexture.get(); }
  const TDirect3DTexture* Highlight() const { return HighlightTexture.get(); }
  const TDirect3DTexture* Shadow() const { return ShadowTexture.get(); }
  const TDirectDrawSurface* Background() const { return BackgroundSurface.get(); }
  const PixelImage* PictureImage(int k) const { return PictureImages.at(k).get(); }
  const TDirect3DTexture* PictureTexture(int k) const { return PictureTextures.at(k).get(); }
  bool FullScreen() const { return DXDraw->Options.FullScreen; }
  // Where the display draws in the run's window: all of it, or the primary monitor's part
  // where the device cannot take a surface over every monitor.
  const ScreenRect& DrawnArea() const { return Drawn; }

  // The display went off or came back: frames and wind hold, then go on where they
  // stopped. Frames also rest while Escape has hidden the scene.
  void SetDisplayAwake(bool awake);

  // Whether the scene can no longer show anything: its display could not be initialised
  // (at the start, or again after a switch, a move or a display change), or its frames went
  // undrawn for LostDisplayGiveUpMs. The host then hands the run to the GDI+ scene.
  bool GaveUp() const { return DisplayFailed || LossWatch.GaveUp(); }

  // The end of the run: frames and wind stop and the form closes. The form object stays
  // until the process ends; its window goes with the host window's.
  void EndRun() {
    Timer1.SetEnabled(false);
    StopWind();
    Close();
  }
  static constexpr bool KeptAfterTheRun = true;

  // The world at 25 steps a second, whatever paces the frames.
  PacedWorld World{SceneStepPeriod};
  // Frames follow the display's refresh (true) or Timer1 at the design rate.
  bool PacedByRefresh() const { return Pacer != nullptr; }
  // Draws the frame a pacer's message asks for (the message comes to HandleMessage).
  void PacedFrame(WPARAM reason, LPARAM ticket);

 protected:
  void FormCreate() override;
  void FormClose(TCloseAction& action) override;
  void FormShow() override;
  void FormDestroy() override;
  void KeyDown(WORD& key, TShiftState shift) override { FormKeyDown(key, shift); }
  void MouseMove(TShiftState shift, int x, int y) override { DXDrawMouseMove(shift, x, y); }
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 private:
  void LoadBubbleTextures();
  void LoadPicture(int k, const std::string& entry, PixelImage& work);
  void LoadBackground(PixelImage& work);
  void SwitchDisplay();
  void CoverEveryMonitor();
  void FitDisplayToDevice();
  ScreenRect PlaceInParent();
  void FillBackgroundSurface();
  void UpdateFrameTimer();
  void InitializeDisplay();
  const TDirect3DTexture* LayerTexture(int layer, int k) const;
  void UpdatePacing();
  static bool HasDeviceCopy(const std::unique_ptr<TDirect3DTexture>& texture);

  MouseStartTracker MouseStart;
  std::unique_ptr<TDirect3DTexture> BallTexture;
  std::unique_ptr<TDirect3DTexture> HighlightTexture;
  std::unique_ptr<TDirect3DTexture> ShadowTexture;
  std::unique_ptr<TDirectDrawSurface> BackgroundSurface;
  std::array<std::unique_ptr<TDirect3DTexture>, 11> PictureTextures;  // 1..10
  std::array<std::unique_ptr<PixelImage>, 11> PictureImages;          // 1..10
  std::unique_ptr<TWind> Wind;
  std::unique_ptr<TRefreshPacer> Pacer;
  bool RefreshWaitAbsent = false;  // the pacer's waits proved hollow: the timer for good
  int64_t FrameTime = 0;           // when the frame being drawn began

  ScreenLayout Layout = DesktopLayout();  // the desktop when the run began
  BackgroundSource BackgroundFrom = BackgroundSource::BuiltIn;
  bool DisplayTried = false;
  bool DisplayAsleep = false;
  bool SceneHidden = false;
  bool CursorHidden = false;
  bool PlacementRemembered = false;
  WINDOWPLACEMENT Placement{};
  ScreenRect Drawn;                // in the run's window, which covers the world
  bool DrawsPartOfWindow = false;  // the device could not take the whole window
  bool DisplayFailed = false;      // the last initialisation of the display failed
  DisplayLossWatch LossWatch;
};
