// object_maker GDI WINDOWS MESSAGE_ONLY: makes that many GDI brushes, hidden top-level
// windows and message-only windows, then shows a window titled "ready" and waits to be
// killed. The harness's own test counts them from outside.
#include <windows.h>

#include <cstdlib>

namespace {

int Argument(int argc, char** argv, int index) {
  return index < argc ? std::atoi(argv[index]) : 0;
}

HWND Make(const char* title, HWND parent) {
  return CreateWindowExA(0, "STATIC", title, WS_POPUP, 0, 0, 8, 8, parent, nullptr,
                         GetModuleHandleA(nullptr), nullptr);
}

}  // namespace

int main(int argc, char** argv) {
  for (int i = 0; i < Argument(argc, argv, 1); ++i) CreateSolidBrush(RGB(i, 0, 0));
  for (int i = 0; i < Argument(argc, argv, 2); ++i) Make("hidden", nullptr);
  for (int i = 0; i < Argument(argc, argv, 3); ++i) Make("message only", HWND_MESSAGE);
  Make("ready", nullptr);
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
  return 0;
}
