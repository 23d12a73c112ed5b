// TFBall: one bubble of the GDI+ scene in a top-level, topmost, click-through layered
// window of its own. It composes its picture into Layer at the first tick after it is
// created (FirstRender) and then at every tick of its own Timer1 (2 to 7 s), drifting its
// tint one step each time; between those moments the scene only moves it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>

#include "framework/win/form.h"
#include "framework/win/timer.h"
#include "gdiplus/scene/scene_rules.h"
#include "gdiplus/win/gdiplus_objects.h"

// The extended styles every bubble window gets: layered, transparent, topmost.
inline constexpr DWORD BubbleWindowExStyles = WS_EX_LAYERED | WS_EX_TRANSPARENT | WS_EX_TOPMOST;

class TFBall : public TForm {
 public:
  // scene: the form that owns this window; keys that reach the window go to its parent.
  // radius: the scene's drawing radius (SceneBubbleRadius).
  TFBall(TForm* scene, int32_t radius);
  ~TFBall() override;

  TTimer Timer1;
  TTimer FirstRender;
  std::unique_ptr<TGPBitmap> Layer;
  std::unique_ptr<TGPGraphics> LayerGraphics;
  BallTint Tint{};
  bool ShowPicture = false;

  void Timer1Timer();
  void RenderBall();
  // While the display is off no render runs; then each timer goes on as it was.
  void SetDisplayAwake(bool awake);

  int32_t Side() const { return WindowSide; }
  // Renders whose tint sum let them reach the window.
  int32_t UpdatesShown() const { return Updates; }

 protected:
  void FormCreate() override;
  void FormDestroy() override;
  void KeyDown(WORD& key, TShiftState shift) override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;

 private:
  // The user's picture at its place's size, made at the first render that shows it.
  std::unique_ptr<TGPBitmap> PictureSquare;

  void AddLayeredStyles();
  void ForwardToHost(UINT message, WPARAM wParam);
  void ComposeLayer();
  void PresentLayer();

  TForm* Scene;
  int32_t Radius;
  int32_t WindowSide;
  int32_t Updates = 0;
  TTimerHold Timer1Hold, FirstRenderHold;
};
