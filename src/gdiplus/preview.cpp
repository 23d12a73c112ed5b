#include "gdiplus/preview.h"

#include <memory>

#include "framework/win/present_probe.h"
#include "gdiplus/gdiplus_objects.h"
#include "gdiplus/pictures.h"
#include "gdiplus/preview_geometry.h"
#include "gdiplus/tint_bitmap.h"
#include "world/bubble_table.h"
#include "world/motion.h"

namespace {

// One sprite per bubble and frame: the colours drift every step, so none is cached. Only
// the part of it the frame shows is made, so a bubble far larger than the frame costs no
// more than the frame.
void DrawBubble(TGPGraphics& frame, const Bubble& bubble, INT frameWidth, INT frameHeight) {
  const INT side = SpriteSize;
  const PreviewDrawRect box = BoxToDrawRect(BubbleBox(bubble.X, bubble.Y, BubbleRadius, SizeScale));
  const SpritePart part = VisibleSpritePart(box, side, frameWidth, frameHeight);
  if (part.Empty()) return;
  const INT width = part.Right - part.Left;
  const INT height = part.Bottom - part.Top;
  const Gdiplus::Rect whole(0, 0, width, height);
  TGPBitmap sprite(width, height, PixelFormat32bppARGB);
  {
    TGPGraphics graphics(&sprite);
    graphics.SetInterpolationMode(Gdiplus::InterpolationModeLowQuality);
    graphics.DrawImage(PreviewBodyLayer.get(), whole, part.Left, part.Top, width, height,
                       Gdiplus::UnitPixel);
    TintBitmap(sprite, static_cast<uint16_t>(bubble.Red), static_cast<uint16_t>(bubble.Green),
               static_cast<uint16_t>(bubble.Blue));
    graphics.DrawImage(PreviewHighlightLayer.get(), whole, part.Left, part.Top, width, height,
                       Gdiplus::UnitPixel);
  }
  frame.DrawImage(&sprite,
                  Gdiplus::RectF(part.Dest.X, part.Dest.Y, part.Dest.Width, part.Dest.Height), 0.0f,
                  0.0f, static_cast<Gdiplus::REAL>(width), static_cast<Gdiplus::REAL>(height),
                  Gdiplus::UnitPixel);
}

}  // namespace

void DrawPreviewFrame(HWND window) {
  MotionStep();
  const INT width = PreviewRect.right - PreviewRect.left;
  const INT height = PreviewRect.bottom - PreviewRect.top;

  HDC dc = GetDC(window);
  auto windowGraphics = std::make_unique<TGPGraphics>(dc);
  windowGraphics->SetInterpolationMode(Gdiplus::InterpolationModeLowQuality);
  auto frame = std::make_unique<TGPBitmap>(width, height, PixelFormat32bppARGB);
  {
    TGPGraphics frameGraphics(frame.get());
    frameGraphics.DrawImage(PreviewBackground.get(), 0, 0, width, height);
    const int count = BubblesInUse();
    for (int index = 1; index <= count; ++index)
      DrawBubble(frameGraphics, BubbleTable[index], width, height);
  }
  // One unscaled draw, so the window never shows a half-composed frame.
  windowGraphics->DrawImage(frame.get(), 0, 0, width, height);
  windowGraphics.reset();
  NotePresent(PresentKind::PreviewBlit);
  frame.reset();
  ReleaseDC(window, dc);
}
