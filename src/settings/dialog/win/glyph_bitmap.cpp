#include "settings/dialog/win/glyph_bitmap.h"

#include <cstring>

namespace {

RGBQUAD Quad(uint32_t rgb, bool greyed) {
  BYTE red = static_cast<BYTE>(rgb >> 16), green = static_cast<BYTE>(rgb >> 8);
  BYTE blue = static_cast<BYTE>(rgb);
  if (greyed) {  // a washed-out grey of the colour's lightness, as disabled glyphs look
    const int luma = (red * 30 + green * 59 + blue * 11) / 100;
    red = green = blue = static_cast<BYTE>(96 + luma * 128 / 255);
  }
  return RGBQUAD{blue, green, red, 0};
}

struct FourBitInfo {
  BITMAPINFOHEADER Header;
  RGBQUAD Colours[16];
};

}  // namespace

HBITMAP CreateGlyphBitmap(GlyphKind kind, COLORREF faceColour, bool greyed) {
  FourBitInfo info{};
  info.Header.biSize = sizeof(BITMAPINFOHEADER);
  info.Header.biWidth = GlyphSide;
  info.Header.biHeight = -GlyphSide;  // top-down, as the pixels are laid out
  info.Header.biPlanes = 1;
  info.Header.biBitCount = 4;
  info.Header.biCompression = BI_RGB;
  info.Header.biClrUsed = 16;
  for (size_t i = 0; i < GlyphPalette.size(); ++i) info.Colours[i] = Quad(GlyphPalette[i], greyed);
  info.Colours[GlyphFace] =
      RGBQUAD{GetBValue(faceColour), GetGValue(faceColour), GetRValue(faceColour), 0};
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS,
                                    &bits, nullptr, 0);
  if (!bitmap || !bits) return bitmap;
  const GlyphPixels pixels = MakeGlyph(kind);
  constexpr int stride = ((GlyphSide * 4 + 31) / 32) * 4;  // rows padded to 4 bytes
  auto* rows = static_cast<uint8_t*>(bits);
  std::memset(rows, 0, static_cast<size_t>(stride) * GlyphSide);
  for (int y = 0; y < GlyphSide; ++y) {
    for (int x = 0; x < GlyphSide; ++x) {
      const uint8_t index = pixels[y * GlyphSide + x] & 0x0F;
      uint8_t& pair = rows[y * stride + x / 2];
      pair =
          static_cast<uint8_t>(x % 2 == 0 ? (pair & 0x0F) | (index << 4) : (pair & 0xF0) | index);
    }
  }
  GdiFlush();
  return bitmap;
}

void DrawSpeedButton(const DRAWITEMSTRUCT& item, HBITMAP glyph, HBITMAP greyedGlyph) {
  RECT frame = item.rcItem;
  const bool pressed = (item.itemState & ODS_SELECTED) != 0;
  const bool disabled = (item.itemState & ODS_DISABLED) != 0;
  DrawFrameControl(item.hDC, &frame, DFC_BUTTON,
                   DFCS_BUTTONPUSH | DFCS_ADJUSTRECT | (pressed ? DFCS_PUSHED : 0));
  const int offset = pressed ? 1 : 0;
  const int x = item.rcItem.left + (item.rcItem.right - item.rcItem.left - GlyphSide) / 2 + offset;
  const int y = item.rcItem.top + (item.rcItem.bottom - item.rcItem.top - GlyphSide) / 2 + offset;
  HBITMAP shown = disabled ? greyedGlyph : glyph;
  if (!shown) return;
  HDC source = CreateCompatibleDC(item.hDC);
  HGDIOBJ previous = SelectObject(source, shown);
  BitBlt(item.hDC, x, y, GlyphSide, GlyphSide, source, 0, 0, SRCCOPY);
  SelectObject(source, previous);
  DeleteDC(source);
}
