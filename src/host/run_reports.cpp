#include "host/run_reports.h"

#include <deque>
#include <string>

#include "framework/win/error_report.h"

namespace {

std::deque<std::string> Queued;
ErrorSink PreviousSink = nullptr;
bool Showing = false;
HWND WatchedHost = nullptr;
HHOOK InputWatch = nullptr;

void QueueReport(const char* text) {
  Queued.emplace_back(text);
}

bool IsPressOfKeyOrButton(UINT message) {
  switch (message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_NCLBUTTONDOWN:
    case WM_NCRBUTTONDOWN:
    case WM_NCMBUTTONDOWN:
      return true;
    default:
      return false;
  }
}

// The box has the focus and the host is disabled, so the host's own input rules see
// nothing: every message the box's loop takes out of the queue passes here first.
LRESULT CALLBACK WatchInputUnderTheBox(int code, WPARAM removal, LPARAM message) {
  if (code == HC_ACTION && removal == PM_REMOVE && WatchedHost) {
    if (IsPressOfKeyOrButton(reinterpret_cast<const MSG*>(message)->message)) {
      PostMessageA(WatchedHost, WM_CLOSE, 0, 0);
    }
  }
  return CallNextHookEx(InputWatch, code, removal, message);
}

struct BoxSearch {
  HWND Owner;
  HWND Found;
};

BOOL CALLBACK FindOwnedBox(HWND window, LPARAM search) {
  auto* wanted = reinterpret_cast<BoxSearch*>(search);
  char name[16] = {};
  GetClassNameA(window, name, sizeof name);
  if (lstrcmpA(name, "#32770") != 0 || GetWindow(window, GW_OWNER) != wanted->Owner) return TRUE;
  wanted->Found = window;
  return FALSE;
}

// The driver's windows are topmost too, and a bubble window made after the box would
// otherwise cover it.
void KeepBoxOnTop(HWND host) {
  BoxSearch search{host, nullptr};
  EnumThreadWindows(GetCurrentThreadId(), FindOwnedBox, reinterpret_cast<LPARAM>(&search));
  if (!search.Found || !GetWindow(search.Found, GW_HWNDPREV)) return;
  SetWindowPos(search.Found, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void ShowOne(HWND host, const std::string& text) {
  Showing = true;
  WatchedHost = host;
  InputWatch =
      SetWindowsHookExA(WH_GETMESSAGE, WatchInputUnderTheBox, nullptr, GetCurrentThreadId());
  // Returns early (0) when the host, its owner, is destroyed while the box is up.
  MessageBoxA(host, text.c_str(), ErrorBoxCaption, MB_OK | MB_ICONERROR | MB_TOPMOST);
  if (InputWatch) UnhookWindowsHookEx(InputWatch);
  InputWatch = nullptr;
  WatchedHost = nullptr;
  Showing = false;
}

}  // namespace

RunReportQueue::RunReportQueue() {
  Queued.clear();
  PreviousSink = SetErrorSink(QueueReport);
}

RunReportQueue::~RunReportQueue() {
  SetErrorSink(PreviousSink);
  if (!HostSeen) {
    for (const std::string& text : Queued) PreviousSink(text.c_str());
  }
  Queued.clear();
}

void ShowQueuedRunReports(HWND host) {
  if (Showing) {
    KeepBoxOnTop(host);
    return;
  }
  while (!Queued.empty() && IsWindow(host)) {
    const std::string text = Queued.front();
    Queued.pop_front();
    ShowOne(host, text);
  }
}
