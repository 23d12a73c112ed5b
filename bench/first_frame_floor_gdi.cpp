// The floor of the GDI+ run and the preview: a trivial GDI saver window. A full-screen
// topmost popup that composes one frame off screen (a background and a few discs) and
// copies it to the window at its first paint; the copy is its first present.
#include <windows.h>

#include "first_frame_stamp.h"

namespace {

void DrawFrame(HDC target, int width, int height) {
  HDC canvas = CreateCompatibleDC(target);
  HBITMAP bitmap = CreateCompatibleBitmap(target, width, height);
  HGDIOBJ previous = SelectObject(canvas, bitmap);
  HBRUSH back = CreateSolidBrush(RGB(20, 40, 90));
  RECT all{0, 0, width, height};
  FillRect(canvas, &all, back);
  DeleteObject(back);
  for (int k = 0; k < 8; ++k) {
    const int x = (k * 127) % (width > 100 ? width - 100 : 1);
    const int y = (k * 89) % (height > 100 ? height - 100 : 1);
    Ellipse(canvas, x, y, x + 100, y + 100);
  }
  BitBlt(target, 0, 0, width, height, canvas, 0, 0, SRCCOPY);
  GdiFlush();
  SelectObject(canvas, previous);
  DeleteObject(bitmap);
  DeleteDC(canvas);
}

LRESULT CALLBACK FloorWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_PAINT) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    RECT client;
    GetClientRect(window, &client);
    DrawFrame(dc, client.right, client.bottom);
    EndPaint(window, &paint);
    StampFirstPresentAndEnd("present-blit");
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  WriteStamp("main");
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = FloorWindowProc;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = "FirstFrameFloor";
  RegisterClassA(&windowClass);
  CreateWindowExA(WS_EX_TOPMOST, windowClass.lpszClassName, "floor", WS_POPUP | WS_VISIBLE, 0, 0,
                  GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr,
                  instance, nullptr);
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
  return 0;
}
