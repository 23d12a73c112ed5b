#include "gdiplus/scene/win/UMain.h"

#include <algorithm>
#include <chrono>
#include <memory>
#include <utility>

#include "framework/background_picture.h"
#include "framework/win/built_in_picture.h"
#include "framework/win/dib.h"
#include "framework/win/monitors.h"
#include "framework/win/monotonic_clock.h"
#include "framework/win/screen_copy.h"
#include "settings/settings.h"
#include "world/bubble_table.h"
#include "world/win/wind_platform.h"

namespace {

constexpr uint32_t FrameInterval = 20;
constexpr uint32_t PushInterval = 5000;
constexpr uint32_t FirstTick = 1;

// A program without the resource (a test) shows black instead. Decoded no larger than the
// largest work area needs.
PixelImage BuiltInBackground(const ScreenLayout& layout) {
  const auto bytes = BuiltInPicture("BACK", "JPG");
  if (bytes.empty()) return {};
  try {
    return DecodeJpegToFill(bytes, layout.WorkRects());
  } catch (const PictureError&) {
    return {};
  }
}

}  // namespace

void TSceneImage::Release() {
  if (Canvas) {
    SelectObject(Canvas, Previous);
    DeleteDC(Canvas);
  }
  if (Stretched) DeleteObject(Stretched);
  Canvas = nullptr;
  Stretched = nullptr;
  Previous = nullptr;
  Width = Height = 0;
}

bool TSceneImage::MakeCanvas(int32_t width, int32_t height) {
  Release();
  if (width <= 0 || height <= 0) return false;
  HDC screen = GetDC(nullptr);
  Canvas = CreateCompatibleDC(screen);
  Stretched = CreateCompatibleBitmap(screen, width, height);
  ReleaseDC(nullptr, screen);
  if (!Canvas || !Stretched) {
    Release();
    return false;
  }
  Previous = SelectObject(Canvas, Stretched);
  Width = width;
  Height = height;
  return true;
}

void TSceneImage::CopyToCanvas(const PixelImage& composed) {
  const BITMAPINFO info = TopDownDibInfo(Width, Height, 32);
  SetDIBitsToDevice(Canvas, 0, 0, static_cast<DWORD>(Width), static_cast<DWORD>(Height), 0, 0, 0,
                    static_cast<UINT>(Height), composed.Row(0), &info, DIB_RGB_COLORS);
}

void TSceneImage::StretchTo(int32_t width, int32_t height) {
  if (Canvas && width == Width && height == Height) return;
  if (!MakeCanvas(width, height)) return;
  if (Picture.Empty()) {
    PatBlt(Canvas, 0, 0, width, height, BLACKNESS);
    return;
  }
  // Each work area's part resampled once into one picture of the form's size, black where
  // no work area is, then copied as it is: the same pixels the Direct3D scene lays down.
  const PixelImage composed = Parts.empty() ? FilledPicture(Picture, width, height)
                                            : ComposeBackground(Picture, width, height, Parts);
  CopyToCanvas(composed);
}

void TSceneImage::Prepare(std::function<PixelImage()> load, const ScreenLayout& layout,
                          BackgroundKind kind, HWND notify, UINT readyMessage) {
  Release();
  const ScreenRect area = layout.WorkBounds();
  Pending = std::async(std::launch::async, [=] {
    SceneBackground background =
        ComposeSceneBackground(load(), layout, kind, area.Width(), area.Height());
    PostMessageA(notify, readyMessage, 0, 0);
    return background;
  });
}

bool TSceneImage::StillPreparing() {
  if (!Pending.valid()) return false;
  if (Pending.wait_for(std::chrono::seconds(0)) != std::future_status::ready) return true;
  SceneBackground background = Pending.get();
  Picture = std::move(background.Picture);
  Parts = std::move(background.Parts);
  if (MakeCanvas(background.Composed.Width(), background.Composed.Height()))
    CopyToCanvas(background.Composed);
  return false;
}

TFMain::TFMain() : Layout(DesktopLayout()) {
  SetBorderStyle(bsNone);
  SetKeyPreview(true);
  SetColor(RGB(0, 0, 0));
  const int shorterSide = std::min(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
  Radius = SceneBubbleRadius(BubbleRadius, BubblesInUse(), DrawingScale.ToWorld(shorterSide),
                             DrawingScale);
  Timer1.SetEnabled(false);
  Timer1.SetInterval(FrameInterval);
  Timer1.SetOnTimer([this] { Timer1Timer(); });
  Timer2.SetEnabled(false);
  Timer2.SetInterval(PushInterval);
  Timer2.SetOnTimer([this] { Timer2Timer(); });
  Timer4.SetInterval(FirstTick);
  Timer4.SetOnTimer([this] { Timer4Timer(); });
}

TFMain::~TFMain() {
  Timer1.SetEnabled(false);
  Timer2.SetEnabled(false);
  Timer4.SetEnabled(false);
  Wind.reset();
  ReleaseBallWindows();
}

void TFMain::FormCreate() {
  SetUpBackground();
  // Not reached when the background fails: that run has no gusts.
  Wind = std::make_unique<TWind>(SystemWindPlatform());
}

// The picture is decoded (the built-in one) and resampled to the form's size on a thread
// of its own, 50 ms and more on a small screen: the bubble windows are made and drawn
// meanwhile, and the form shows black until its background is ready. A file that cannot be
// read still fails here, on the form's own thread, as it always has.
void TFMain::SetUpBackground() {
  DoubleBuffered = true;
  BackgroundFrom = ChooseBackground(BackType, BackPic);
  std::function<PixelImage()> load = [layout = Layout] { return BuiltInBackground(layout); };
  switch (BackgroundFrom) {
    case BackgroundSource::File:
      load = LoadedFileOrBuiltIn(std::move(load));
      break;
    case BackgroundSource::ScreenCopy: {
      // The whole virtual screen, so that each monitor can show its own desktop.
      auto copy = std::make_shared<PixelImage>(DesktopCopyAtStart(DesktopLayout().Virtual()));
      load = [copy] { return std::move(*copy); };
      break;
    }
    case BackgroundSource::BuiltIn:
      break;
  }
  Image1.Prepare(std::move(load), Layout, BackgroundKindOf(BackgroundFrom), Handle(),
                 BackgroundReadyMessage);
}

// The user's file, read here; one that cannot be read is reported as it always was, and the
// built-in picture stays behind the bubbles.
std::function<PixelImage()> TFMain::LoadedFileOrBuiltIn(std::function<PixelImage()> builtIn) {
  try {
    auto picture = std::make_shared<PixelImage>(
        LoadBackgroundFile(BackPic, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)));
    return [picture] { return std::move(*picture); };
  } catch (...) {
    Image1.Prepare(std::move(builtIn), Layout, BackgroundKind::Picture, Handle(),
                   BackgroundReadyMessage);
    throw;
  }
}

void TFMain::FitToWorkArea() {
  const ScreenRect area = Layout.WorkBounds();
  SetBounds(area.Left, area.Top, area.Width(), area.Height());
}

void TFMain::Timer4Timer() {
  Timer4.SetEnabled(false);
  const int count = BubblesInUse();
  for (int k = 1; k <= count; ++k) {
    auto window = std::make_unique<TFBall>(this, Radius);
    window->Create();
    const WindowOrigin origin = BubbleOrigin(k);
    // Shown without activation: the focus stays where the keys are forwarded from.
    if (window->HandleAllocated()) {
      SetWindowPos(window->Handle(), nullptr, origin.Left, origin.Top, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    }
    BallWindows.push_back(std::move(window));
  }
  if (!BallWindows.empty()) BallWindows.front()->ShowPicture = true;
  Timer1.SetEnabled(true);
  Timer2.SetEnabled(true);
}

// World coordinates start at the virtual screen's corner; windows are placed on the screen,
// in a scaled display's real pixels.
WindowOrigin TFMain::BubbleOrigin(int k) const {
  const WindowOrigin inWorld = BubbleWindowOrigin(BubbleTable[k].X, BubbleTable[k].Y, Radius);
  return {DrawingScale.ToPhysical(inWorld.Left) + Layout.Virtual().Left,
          DrawingScale.ToPhysical(inWorld.Top) + Layout.Virtual().Top};
}

void TFMain::Timer1Timer() {
  World.Frame(MonotonicMicroseconds());
  MoveBallWindows();
}

void TFMain::MoveBallWindows() {
  const int count = std::min<int>(BubblesInUse(), static_cast<int>(BallWindows.size()));
  for (int k = 1; k <= count; ++k) {
    TFBall& window = *BallWindows[k - 1];
    if (!window.HandleAllocated()) continue;
    const WindowOrigin origin = BubbleOrigin(k);
    SetWindowPos(window.Handle(), nullptr, origin.Left, origin.Top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
  }
}

void TFMain::Timer2Timer() {
  for (int pushes = Pushes.Advance(MonotonicMicroseconds()); pushes > 0; --pushes)
    PushRandomBubble();
}

void TFMain::Image1MouseMove(TShiftState, int x, int y) {
  if (MouseStart.Report(x, y)) ForwardToHost(WM_MOUSEMOVE, 0);
}

void TFMain::ForwardToHost(UINT message, WPARAM wParam) {
  if (ParentWindow()) PostMessageA(ParentWindow(), message, wParam, 0);
}

void TFMain::KeyDown(WORD& key, TShiftState) {
  // The form covers the host window, which ends the run on any key.
  ForwardToHost(WM_KEYDOWN, key);
  key = 0;
}

void TFMain::MouseDown(TMouseButton button, TShiftState, int, int) {
  ForwardToHost(ButtonDownMessage(button), 0);
}

void TFMain::Paint(HDC dc) {
  if (Image1.StillPreparing()) {
    PatBlt(dc, 0, 0, ClientWidth(), ClientHeight(), BLACKNESS);
    return;
  }
  const BackgroundKind kind = BackgroundKindOf(BackgroundFrom);
  Image1.Parts = BackgroundParts(Layout, Image1.Picture.Width(), Image1.Picture.Height(), kind,
                                 true, Layout.WorkBounds());
  Image1.StretchTo(ClientWidth(), ClientHeight());
  if (Image1.Canvas) BitBlt(dc, 0, 0, Image1.Width, Image1.Height, Image1.Canvas, 0, 0, SRCCOPY);
}

bool TFMain::HandleMessage(UINT message, WPARAM, LPARAM, LRESULT& result) {
  if (message == BackgroundReadyMessage) {
    // Posted just before the thread hands its result over: the wait is that short.
    if (Image1.Pending.valid()) Image1.Pending.wait();
    InvalidateRect(Handle(), nullptr, FALSE);
    result = 0;
    return true;
  }
  // Painting copies the whole stretched picture, so erasing first would only flicker.
  if (message == WM_ERASEBKGND && DoubleBuffered) {
    result = 1;
    return true;
  }
  return false;
}

void TFMain::FormClose(TCloseAction&) {
  Wind.reset();
  ReleaseBallWindows();
}

void TFMain::FormDestroy() {
  Timer1.SetEnabled(false);
  Timer2.SetEnabled(false);
  Timer4.SetEnabled(false);
  ReleaseBallWindows();
}

void TFMain::SetDisplayAwake(bool awake) {
  if (awake != Asleep) return;
  Asleep = !awake;
  // Coming back, the world goes on from where it stood, without catching up.
  World.Restart();
  Pushes.Restart();
  const std::pair<TTimer*, TTimerHold*> timers[] = {
      {&Timer1, &Timer1Hold}, {&Timer2, &Timer2Hold}, {&Timer4, &Timer4Hold}};
  for (const auto& [timer, hold] : timers) {
    if (awake) {
      hold->Release(*timer);
    } else {
      hold->Hold(*timer);
    }
  }
  for (auto& window : BallWindows) window->SetDisplayAwake(awake);
  if (Wind) Wind->SetAwake(awake);
}

void TFMain::ReleaseBallWindows() {
  BallWindows.clear();
}
