#include "framework/win/dib.h"

BITMAPINFO TopDownDibInfo(int width, int height, int bitCount) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = static_cast<WORD>(bitCount);
  info.bmiHeader.biCompression = BI_RGB;
  return info;
}

HBITMAP CreateTopDownDib(HDC dc, int width, int height, int bitCount, void*& bits) {
  const BITMAPINFO info = TopDownDibInfo(width, height, bitCount);
  bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bits && bitmap) {
    DeleteObject(bitmap);
    bitmap = nullptr;
  }
  return bitmap;
}
