// trivial_window: a full-screen topmost popup that ends its program when it is closed, as
// a saver's run window does. The close tests time its teardown as the display's own cost.
// With the argument "box" it also shows a message box owned by the popup, as a run does
// while it reports an error: the display's cost then covers both windows.
#include <windows.h>

namespace {

LRESULT CALLBACK TrivialWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = TrivialWindowProc;
  windowClass.hInstance = instance;
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  windowClass.lpszClassName = "TrivialWindow";
  RegisterClassA(&windowClass);
  HWND window = CreateWindowExA(WS_EX_TOPMOST, "TrivialWindow", "trivial", WS_POPUP | WS_VISIBLE, 0,
                                0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                                nullptr, nullptr, instance, nullptr);
  if (lstrcmpA(commandLine, "box") == 0) MessageBoxA(window, "trivial", "trivial box", MB_OK);
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
  return 0;
}
