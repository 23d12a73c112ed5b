#include "gdiplus/scene/win/UFBall.h"

#include <stdexcept>
#include <string>
#include <utility>

#include "framework/background_picture.h"
#include "framework/win/dib.h"
#include "framework/win/error_report.h"
#include "gdiplus/scene/win/scene_test_hooks.h"
#include "gdiplus/win/pictures.h"
#include "gdiplus/win/tint_bitmap.h"
#include "settings/settings.h"
#include "world/bubble_table.h"

namespace {

LayeredWindowUpdate CurrentUpdate = &UpdateLayeredWindow;

constexpr UINT TopmostInPlace = SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOOWNERZORDER;
constexpr int32_t RenderDelayMinimum = 2000;
constexpr uint32_t FirstRenderDelay = 1;
constexpr int32_t RenderDelaySpread = 5000;

std::string SystemMessage(DWORD code) {
  char* text = nullptr;
  const DWORD length = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
  std::string message = length ? std::string(text, length) : "System error " + std::to_string(code);
  if (text) LocalFree(text);
  while (!message.empty() && (message.back() == '\n' || message.back() == '\r')) message.pop_back();
  return message;
}

TintChannel NewChannel(int32_t value) {
  return {value, 0};
}

void Draw(TGPGraphics& graphics, TGPImage* image, const LayerRect& source, const LayerRect& dest) {
  graphics.DrawImage(image, Gdiplus::Rect(dest.X, dest.Y, dest.Width, dest.Height), source.X,
                     source.Y, source.Width, source.Height, Gdiplus::UnitPixel);
}

bool EveryPixelOpaque(const PixelImage& image) {
  for (int32_t y = 0; y < image.Height(); ++y) {
    const uint8_t* row = image.Row(y);
    for (int32_t x = 0; x < image.Width(); ++x) {
      if (row[x * 4 + 3] != 255) return false;
    }
  }
  return true;
}

// The user's picture cut to a side x side square, or fitted inside one when it has alpha,
// by the rule the Direct3D scene's picture textures follow. The loader makes every picture
// 32-bit ARGB, so a picture whose every pixel is opaque counts as one without alpha.
std::unique_ptr<TGPBitmap> BubbleSquare(TGPBitmap& picture, int32_t side) {
  PixelImage pixels = PixelsOfBitmap(picture);
  if (pixels.Empty() || side <= 0) return nullptr;
  try {
    if (EveryPixelOpaque(pixels)) pixels = OverBlack(std::move(pixels));
    PixelImage square = BubblePictureSquare(pixels, side);
    return BitmapFromPixels(square);
  } catch (const PictureError&) {
    return nullptr;
  }
}

}  // namespace

LayeredWindowUpdate SetLayeredWindowUpdate(LayeredWindowUpdate update) {
  LayeredWindowUpdate previous = CurrentUpdate;
  CurrentUpdate = update ? update : &UpdateLayeredWindow;
  return previous;
}

TFBall::TFBall(TForm* scene, int32_t radius)
    : TForm(scene),
      Scene(scene),
      Radius(radius),
      WindowSide(DrawingScale.ToPhysical(BubbleWindowSide(radius))) {
  SetCaption("FBall");
  SetBorderStyle(bsNone);
  SetBounds(0, 0, 224, 224);
  Timer1.SetEnabled(false);
  Timer1.SetOnTimer([this] { Timer1Timer(); });
  FirstRender.SetEnabled(false);
  FirstRender.SetInterval(FirstRenderDelay);
  FirstRender.SetOnTimer([this] {
    FirstRender.SetEnabled(false);
    // Rendered as the window was made: the scene chooses the window that shows the user's
    // picture only afterwards, so that picture still first appears at Timer1's render.
    const bool picture = std::exchange(ShowPicture, false);
    RenderBall();
    ShowPicture = picture;
  });
}

TFBall::~TFBall() {
  Timer1.SetEnabled(false);
  FirstRender.SetEnabled(false);
  // The graphics context draws on Layer: it goes first.
  LayerGraphics.reset();
  Layer.reset();
  PictureSquare.reset();
}

void TFBall::FormCreate() {
  AddLayeredStyles();
  SetWindowPos(Handle(), HWND_TOPMOST, 0, 0, 0, 0, TopmostInPlace);
  SetBounds(0, 0, WindowSide, WindowSide);
  Tint.Red = NewChannel(Random(255));
  Tint.Green = NewChannel(Random(255));
  Tint.Blue = NewChannel(Random(255));
  Tint.Red.Step = Random(25) + 25;
  Tint.Green.Step = Random(25) + 25;
  Tint.Blue.Step = Random(25) + 25;
  Layer = std::make_unique<TGPBitmap>(WindowSide, WindowSide, PixelFormat32bppARGB);
  LayerGraphics = std::make_unique<TGPGraphics>(Layer.get());
  // Not rendered here: the scene makes every window in one handler, and a render of a
  // huge bubble takes long enough that a run's close would wait for all of them. Each
  // window renders on a tick of its own, and a close gets in between.
  FirstRender.SetEnabled(true);
  Timer1.SetInterval(static_cast<uint32_t>(Random(RenderDelaySpread) + RenderDelayMinimum));
  Timer1.SetEnabled(true);
}

void TFBall::AddLayeredStyles() {
  HWND window = Handle();
  SetLastError(0);
  const LONG previous = GetWindowLongA(window, GWL_EXSTYLE);
  const LONG result = SetWindowLongA(window, GWL_EXSTYLE, previous | BubbleWindowExStyles);
  const DWORD error = GetLastError();
  // Zero is also the answer of a success over a style of zero; only the error code tells.
  if (result == 0 && error != 0) ReportError(std::runtime_error(SystemMessage(error)));
}

void TFBall::FormDestroy() {
  // The owner went first; a tick now would make a new window through Handle().
  Timer1.SetEnabled(false);
  FirstRender.SetEnabled(false);
}

void TFBall::ForwardToHost(UINT message, WPARAM wParam) {
  if (HWND host = Scene ? Scene->ParentWindow() : nullptr) PostMessageA(host, message, wParam, 0);
}

// The window is click-through, but should it ever get the focus or a click, they still end
// the run.
void TFBall::KeyDown(WORD& key, TShiftState) {
  ForwardToHost(WM_KEYDOWN, key);
  key = 0;
}

void TFBall::MouseDown(TMouseButton button, TShiftState, int, int) {
  ForwardToHost(ButtonDownMessage(button), 0);
}

void TFBall::SetDisplayAwake(bool awake) {
  if (awake) {
    Timer1Hold.Release(Timer1);
    FirstRenderHold.Release(FirstRender);
  } else {
    Timer1Hold.Hold(Timer1);
    FirstRenderHold.Hold(FirstRender);
  }
}

void TFBall::Timer1Timer() {
  RenderBall();
}

void TFBall::RenderBall() {
  if (!HandleAllocated()) return;
  DriftTint(Tint);
  ComposeLayer();
  if (!TintUpdatesWindow(Tint)) return;
  PresentLayer();
}

void TFBall::ComposeLayer() {
  if (!Layer || !LayerGraphics) return;
  const int32_t width = BallImage ? static_cast<int32_t>(BallImage->GetWidth()) : 0;
  const int32_t height = BallImage ? static_cast<int32_t>(BallImage->GetHeight()) : 0;
  const BallComposition layout = ToPhysical(ComposeBall(Radius, width, height), DrawingScale);
  TGPGraphics& graphics = *LayerGraphics;
  graphics.Clear(0x00000000);
  Draw(graphics, BallImage.get(), layout.BodySource, layout.BodyDest);
  TintBitmap(*Layer, static_cast<uint16_t>(Tint.Red.Value), static_cast<uint16_t>(Tint.Green.Value),
             static_cast<uint16_t>(Tint.Blue.Value));
  if (ShowShadow) Draw(graphics, ShadowImage.get(), layout.ShadowSource, layout.ShadowDest);
  if (DrawsPicture(ShowPicture, BallPic, layout) && UserPicture) {
    // Cut to its square once; every render after that draws it unscaled.
    if (!PictureSquare) PictureSquare = BubbleSquare(*UserPicture, layout.PictureDest.Width);
    if (PictureSquare) {
      const LayerRect whole{0, 0, layout.PictureDest.Width, layout.PictureDest.Width};
      Draw(graphics, PictureSquare.get(), whole, layout.PictureDest);
    }
  }
  Draw(graphics, HighlightImage.get(), layout.HighlightSource, layout.HighlightDest);
}

void TFBall::PresentLayer() {
  Gdiplus::BitmapData locked{};
  const Gdiplus::Rect whole(0, 0, WindowSide, WindowSide);
  if (Layer->LockBits(whole, Gdiplus::ImageLockModeRead, PixelFormat32bppARGB, locked) !=
      Gdiplus::Ok) {
    return;
  }
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  void* bits = nullptr;
  // 32 bits: the layout UpdateLayeredWindow reads per-pixel alpha from.
  HBITMAP picture = CreateTopDownDib(screen, WindowSide, WindowSide, 32, bits);
  if (picture) {
    PremultiplyRows(static_cast<const uint8_t*>(locked.Scan0), locked.Stride,
                    static_cast<uint8_t*>(bits), WindowSide * 4, WindowSide, WindowSide);
    HGDIOBJ previous = SelectObject(memory, picture);
    RECT bounds{};
    GetWindowRect(Handle(), &bounds);
    POINT destination{bounds.left, bounds.top};
    SIZE size{WindowSide, WindowSide};
    POINT origin{0, 0};
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    if (CurrentUpdate(Handle(), screen, &destination, &size, memory, &origin, 0, &blend,
                      ULW_ALPHA)) {
      ++Updates;
    }
    SelectObject(memory, previous);
  }
  Layer->UnlockBits(locked);
  if (picture) DeleteObject(picture);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
}
