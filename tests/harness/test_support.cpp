#include "harness/test_support.h"

namespace harness {

namespace {

RecordedReports* ActiveReports = nullptr;

bool Forwarded(UINT message) {
  return message == WM_MOUSEMOVE || message == WM_KEYDOWN || message == WM_LBUTTONDOWN ||
         message == WM_RBUTTONDOWN;
}

}  // namespace

RecordingHost::RecordingHost(int width, int height, DWORD style) {
  static const bool registered = [] {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = Proc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = HostWindowClass;
    return RegisterClassA(&windowClass) != 0;
  }();
  (void)registered;
  Window = CreateWindowExA(0, HostWindowClass, RunTitle, WS_POPUP | WS_VISIBLE | style, 0, 0, width,
                           height, nullptr, nullptr, GetModuleHandleA(nullptr), this);
  Messages.clear();  // only what comes once the window is there
}

RecordingHost::~RecordingHost() {
  if (IsWindow(Window)) DestroyWindow(Window);
}

LRESULT CALLBACK RecordingHost::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* host = reinterpret_cast<RecordingHost*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (host && Forwarded(message)) host->Messages.push_back(message);
  return DefWindowProcA(window, message, wParam, lParam);
}

RecordedReports::RecordedReports() : Outer(ActiveReports), PreviousSink(SetErrorSink(Record)) {
  ActiveReports = this;
}

RecordedReports::~RecordedReports() {
  SetErrorSink(PreviousSink);
  ActiveReports = Outer;
}

void RecordedReports::Record(const char* text) {
  if (ActiveReports) ActiveReports->Reports.emplace_back(text);
}

}  // namespace harness
