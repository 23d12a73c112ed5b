// Helpers for the GDI+ tests under Windows: pixel access to bitmaps, a test window and
// a capture of its pixels.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "gdiplus/win/gdiplus_objects.h"

// 0xAARRGGBB of one pixel of a bitmap; 0 when it cannot be read.
uint32_t PixelAt(TGPBitmap& bitmap, int x, int y);
void FillPixels(TGPBitmap& bitmap, uint32_t (*pattern)(int x, int y));

inline uint8_t AlphaOf(uint32_t argb) {
  return static_cast<uint8_t>(argb >> 24);
}
inline int RedOf(uint32_t rgb) {
  return (rgb >> 16) & 0xFF;
}
inline int GreenOf(uint32_t rgb) {
  return (rgb >> 8) & 0xFF;
}
inline int BlueOf(uint32_t rgb) {
  return rgb & 0xFF;
}

// The client pixels of a window as 0x00RRGGBB, rows top-down.
struct WindowPixels {
  int Width = 0;
  int Height = 0;
  std::vector<uint32_t> Rgb;
  uint32_t At(int x, int y) const { return Rgb[static_cast<size_t>(y) * Width + x]; }
};
WindowPixels CaptureClient(HWND window);

// A popup window at the top left of the screen with a client area of the size.
HWND CreateTestWindow(int width, int height, bool visible = true);

// A 5 x 3 PNG of half-clear red and opaque green written by the platform's encoder,
// so our decoder reads a file it did not make itself.
uint32_t Checker(int x, int y);
std::string WriteCheckerPng(const std::string& name);
std::string TempPath(const std::string& name);
void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes);
