#include "gdiplus/win/preview.h"

#include <cstdint>
#include <memory>

#include "framework/win/monotonic_clock.h"
#include "framework/win/present_probe.h"
#include "gdiplus/preview_geometry.h"
#include "gdiplus/sprite_blend.h"
#include "gdiplus/tint.h"
#include "gdiplus/win/gdiplus_objects.h"
#include "gdiplus/win/pictures.h"
#include "world/bubble_table.h"
#include "world/step_clock.h"

namespace {

// The host's tick comes every 40 ms at best (46.875 on Windows): the world keeps its 25
// steps a second by the time that passed.
PacedWorld PreviewWorld(SceneStepPeriod);

// The bitmap's pixels locked for the frame's work; unlocked when this goes. Nothing is
// locked for a bitmap that holds no image.
class LockedPixels {
 public:
  LockedPixels(TGPBitmap* bitmap, UINT mode) : Bitmap(bitmap) {
    if (!bitmap || !bitmap->HoldsImage()) return;
    const Gdiplus::Rect whole(0, 0, static_cast<INT>(bitmap->GetWidth()),
                              static_cast<INT>(bitmap->GetHeight()));
    if (whole.Width <= 0 || whole.Height <= 0 ||
        bitmap->LockBits(whole, mode, PixelFormat32bppARGB, Data) != Gdiplus::Ok) {
      return;
    }
    Locked = true;
  }
  ~LockedPixels() {
    if (Locked) Bitmap->UnlockBits(Data);
  }
  LockedPixels(const LockedPixels&) = delete;
  LockedPixels& operator=(const LockedPixels&) = delete;

  BgraPixels View() const {
    if (!Locked) return {};
    return {static_cast<uint8_t*>(Data.Scan0), static_cast<int32_t>(Data.Width),
            static_cast<int32_t>(Data.Height), Data.Stride};
  }

 private:
  TGPBitmap* Bitmap;
  Gdiplus::BitmapData Data{};
  bool Locked = false;
};

// The frame starts as a copy of the background (transparent without one), and every bubble
// in table order is blended over it, a later one over an earlier.
void ComposeFrame(TGPBitmap& frame) {
  const LockedPixels target(&frame, Gdiplus::ImageLockModeRead | Gdiplus::ImageLockModeWrite);
  const BgraPixels pixels = target.View();
  if (!pixels.Scan0) return;
  {
    const LockedPixels background(PreviewBackground.get(), Gdiplus::ImageLockModeRead);
    const BgraPixels from = background.View();
    if (from.Width == pixels.Width && from.Height == pixels.Height) {
      CopyBgraRows(from.Scan0, from.Stride, pixels.Scan0, pixels.Stride,
                   static_cast<uint32_t>(pixels.Width), static_cast<uint32_t>(pixels.Height),
                   false);
    }
  }
  const LockedPixels body(PreviewBodyLayer.get(), Gdiplus::ImageLockModeRead);
  const LockedPixels highlight(PreviewHighlightLayer.get(), Gdiplus::ImageLockModeRead);
  const SpriteLayers layers{body.View(), highlight.View()};
  const int count = BubblesInUse();
  for (int index = 1; index <= count; ++index) {
    const Bubble& bubble = BubbleTable[index];
    const PreviewDrawRect box =
        BoxToDrawRect(BubbleBox(bubble.X, bubble.Y, BubbleRadius, SizeScale));
    BlendSprite(pixels, layers, box,
                {static_cast<uint8_t>(static_cast<uint16_t>(bubble.Red) & 0xFF),
                 static_cast<uint8_t>(static_cast<uint16_t>(bubble.Green) & 0xFF),
                 static_cast<uint8_t>(static_cast<uint16_t>(bubble.Blue) & 0xFF)});
  }
}

}  // namespace

void DrawPreviewFrame(HWND window) {
  PreviewWorld.Frame(MonotonicMicroseconds());
  const INT width = PreviewRect.right - PreviewRect.left;
  const INT height = PreviewRect.bottom - PreviewRect.top;

  HDC dc = GetDC(window);
  auto windowGraphics = std::make_unique<TGPGraphics>(dc);
  windowGraphics->SetInterpolationMode(Gdiplus::InterpolationModeLowQuality);
  auto frame = std::make_unique<TGPBitmap>(width, height, PixelFormat32bppARGB);
  ComposeFrame(*frame);
  // One unscaled draw, so the window never shows a half-composed frame.
  windowGraphics->DrawImage(frame.get(), 0, 0, width, height);
  windowGraphics.reset();
  NotePresent(PresentKind::PreviewBlit);
  frame.reset();
  ReleaseDC(window, dc);
}
