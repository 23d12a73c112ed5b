#include "host/win/run_reports.h"

#include <deque>
#include <string>

#include "framework/win/error_report.h"

namespace {

std::deque<std::string> Queued;
ErrorSink PreviousSink = nullptr;
bool Showing = false;
HWND WatchedHost = nullptr;
HHOOK InputWatch = nullptr;
HHOOK ZOrderWatch = nullptr;
HWND Box = nullptr;

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

bool IsBox(HWND window) {
  char name[16] = {};
  GetClassNameA(window, name, sizeof name);
  return lstrcmpA(name, "#32770") == 0 && GetWindow(window, GW_OWNER) == WatchedHost;
}

// Only our own windows matter: another program's topmost window is not ours to fight.
bool OwnWindowAbove(HWND window) {
  for (HWND above = GetWindow(window, GW_HWNDPREV); above; above = GetWindow(above, GW_HWNDPREV)) {
    if (GetWindowThreadProcessId(above, nullptr) == GetCurrentThreadId()) return true;
  }
  return false;
}

void RaiseBoxAboveOurWindows() {
  if (!Box || !IsWindow(Box) || !OwnWindowAbove(Box)) return;
  SetWindowPos(Box, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

// The driver's windows are topmost too, and a bubble window shown after the box would
// cover it: whenever another of our windows takes a place in the z-order while the box is
// up, the box goes back above it before anything is drawn.
LRESULT CALLBACK KeepBoxOnTop(int code, WPARAM sentByOtherThread, LPARAM message) {
  const auto* sent = reinterpret_cast<const CWPRETSTRUCT*>(message);
  if (code == HC_ACTION && WatchedHost) {
    if (sent->message == WM_INITDIALOG && IsBox(sent->hwnd)) Box = sent->hwnd;
    if (sent->message == WM_WINDOWPOSCHANGED && sent->hwnd != Box) RaiseBoxAboveOurWindows();
  }
  return CallNextHookEx(ZOrderWatch, code, sentByOtherThread, message);
}

void ShowOne(HWND host, const std::string& text, BoxUpProcedure boxUp) {
  Showing = true;
  WatchedHost = host;
  InputWatch =
      SetWindowsHookExA(WH_GETMESSAGE, WatchInputUnderTheBox, nullptr, GetCurrentThreadId());
  ZOrderWatch = SetWindowsHookExA(WH_CALLWNDPROCRET, KeepBoxOnTop, nullptr, GetCurrentThreadId());
  // Returns early (0) when the host, its owner, is destroyed while the box is up.
  if (boxUp) boxUp(host, true);
  MessageBoxA(host, text.c_str(), ErrorBoxCaption, MB_OK | MB_ICONERROR | MB_TOPMOST);
  if (boxUp && IsWindow(host)) boxUp(host, false);
  if (InputWatch) UnhookWindowsHookEx(InputWatch);
  if (ZOrderWatch) UnhookWindowsHookEx(ZOrderWatch);
  InputWatch = ZOrderWatch = nullptr;
  Box = nullptr;
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

void ShowQueuedRunReports(HWND host, BoxUpProcedure boxUp) {
  if (Showing) {
    RaiseBoxAboveOurWindows();  // and on every tick, whatever moved a window
    return;
  }
  while (!Queued.empty() && IsWindow(host)) {
    const std::string text = Queued.front();
    Queued.pop_front();
    ShowOne(host, text, boxUp);
  }
}
