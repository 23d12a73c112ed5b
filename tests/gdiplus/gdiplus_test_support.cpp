#include "gdiplus_test_support.h"

#include <cstdio>

#include "harness/harness.h"

using namespace Gdiplus;

uint32_t PixelAt(TGPBitmap& bitmap, int x, int y) {
  ARGB colour = 0;
  if (DllExports::GdipBitmapGetPixel(bitmap.NativeBitmap(), x, y, &colour) != Ok) return 0;
  return colour;
}

void FillPixels(TGPBitmap& bitmap, uint32_t (*pattern)(int x, int y)) {
  for (int y = 0; y < static_cast<int>(bitmap.GetHeight()); ++y) {
    for (int x = 0; x < static_cast<int>(bitmap.GetWidth()); ++x) {
      DllExports::GdipBitmapSetPixel(bitmap.NativeBitmap(), x, y, pattern(x, y));
    }
  }
}

WindowPixels CaptureClient(HWND window) {
  RECT client{};
  GetClientRect(window, &client);
  WindowPixels pixels{client.right, client.bottom, {}};
  HDC dc = GetDC(window);
  for (int y = 0; y < pixels.Height; ++y) {
    for (int x = 0; x < pixels.Width; ++x) {
      const COLORREF colour = GetPixel(dc, x, y);  // 0x00BBGGRR
      pixels.Rgb.push_back(GetRValue(colour) << 16 | GetGValue(colour) << 8 | GetBValue(colour));
    }
  }
  ReleaseDC(window, dc);
  return pixels;
}

HWND CreateTestWindow(int width, int height, bool visible) {
  static const bool registered = [] {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "VesperineGdiplusTest";
    return RegisterClassA(&windowClass) != 0;
  }();
  (void)registered;
  HWND window = CreateWindowExA(WS_EX_TOPMOST, "VesperineGdiplusTest", "Preview",
                                WS_POPUP | (visible ? WS_VISIBLE : 0), 0, 0, width, height, nullptr,
                                nullptr, GetModuleHandleA(nullptr), nullptr);
  harness::PumpMessages();
  return window;
}

uint32_t Checker(int x, int y) {
  return ((x + y) % 2 == 0) ? 0x80FF0000u : 0xFF00FF00u;
}

std::string WriteCheckerPng(const std::string& name) {
  TGPBitmap picture(5, 3, PixelFormat32bppARGB);
  FillPixels(picture, Checker);
  const std::string path = TempPath(name);
  const std::wstring widePath(path.begin(), path.end());
  const CLSID pngEncoder = {
      0x557CF406, 0x1A04, 0x11D3, {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};
  DllExports::GdipSaveImageToFile(picture.NativeImage(), widePath.c_str(), &pngEncoder, nullptr);
  return path;
}

std::string TempPath(const std::string& name) {
  char folder[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, folder);
  return std::string(folder) + name;
}

void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  if (FILE* file = std::fopen(path.c_str(), "wb")) {
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
  }
}
