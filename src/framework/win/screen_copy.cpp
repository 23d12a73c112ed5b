#include "framework/win/screen_copy.h"

#include <optional>

#include "framework/win/dib.h"

HBITMAP CopyScreenBitmap(const ScreenRect& area) {
  HDC screen = GetDC(nullptr);
  HBITMAP copy = CreateCompatibleBitmap(screen, area.Width(), area.Height());
  HDC memory = CreateCompatibleDC(screen);
  HGDIOBJ previous = SelectObject(memory, copy);
  BitBlt(memory, 0, 0, area.Width(), area.Height(), screen, area.Left, area.Top, SRCCOPY);
  // Handed on as a bitmap, which GDI+ refuses while a device context still holds it.
  SelectObject(memory, previous);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return copy;
}

PixelImage CopyScreenPixels(const ScreenRect& area) {
  const int width = area.Width();
  const int height = area.Height();
  PixelImage copy;
  copy.SetSize(width, height, 32);
  HBITMAP bitmap = CopyScreenBitmap(area);
  HDC screen = GetDC(nullptr);
  BITMAPINFO info = TopDownDibInfo(width, height, 32);
  GetDIBits(screen, bitmap, 0, static_cast<UINT>(height), copy.Row(0), &info, DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  if (bitmap) DeleteObject(bitmap);
  for (int y = 0; y < height; ++y) {
    uint8_t* row = copy.Row(y);
    for (int x = 0; x < width; ++x) row[x * 4 + 3] = 255;
  }
  return copy;
}

PixelImage DesktopCopyAtStart(const ScreenRect& area) {
  static std::optional<ScreenRect> copiedArea;
  static PixelImage copy;
  if (copiedArea != area) {
    copy = CopyScreenPixels(area);
    copiedArea = area;
  }
  return copy;
}
