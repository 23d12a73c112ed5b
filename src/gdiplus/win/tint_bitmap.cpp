#include "gdiplus/win/tint_bitmap.h"

#include "gdiplus/tint.h"

bool TintBitmap(TGPBitmap& bitmap, uint16_t Red, uint16_t Green, uint16_t Blue) {
  const Gdiplus::Rect whole(0, 0, static_cast<INT>(bitmap.GetWidth()),
                            static_cast<INT>(bitmap.GetHeight()));
  Gdiplus::BitmapData locked{};
  // Write-only in the bitmap's own format: GDI+ hands out the bitmap's memory itself,
  // so the alpha bytes that the loop leaves alone keep their values.
  if (bitmap.LockBits(whole, Gdiplus::ImageLockModeWrite, PixelFormat32bppARGB, locked) !=
      Gdiplus::Ok) {
    return false;
  }
  TintPixels(static_cast<uint8_t*>(locked.Scan0), locked.Width, locked.Height, locked.Stride,
             static_cast<uint8_t>(Red & 0xFF), static_cast<uint8_t>(Green & 0xFF),
             static_cast<uint8_t>(Blue & 0xFF));
  bitmap.UnlockBits(locked);
  return true;
}
