#include "framework/win/timer.h"

#include <windows.h>

#include <map>

#include "framework/win/error_report.h"
#include "framework/win/monotonic_clock.h"
#include "framework/win/timing_seams.h"

namespace {

constexpr char TimerWindowClass[] = "VesperineTimerWindow";

struct TimerEntry {
  std::function<void()>* Handler;
  bool Running;
  uint32_t Period;
  GridPace Pace;  // only while the tests' timer grid is on
};

// Live timers by identifier. Identifiers only grow, so a WM_TIMER still queued for a
// stopped timer finds no entry and is dropped. Never destroyed: forms held in statics
// free their timers after every function-local static of this file is gone.
std::map<uintptr_t, TimerEntry>& LiveTimers() {
  static auto* timers = new std::map<uintptr_t, TimerEntry>;
  return *timers;
}

uintptr_t NextIdentifier() {
  static uintptr_t last = 0;
  return ++last;
}

HWND TimerWindow();

void FireTimer(uintptr_t identifier) {
  auto found = LiveTimers().find(identifier);
  if (found == LiveTimers().end() || found->second.Running) return;
  found->second.Running = true;
  if (TimerGridOn()) {
    SetTimer(TimerWindow(), identifier,
             found->second.Pace.Next(found->second.Period, MonotonicMicroseconds()), nullptr);
  }
  // A copy, because the handler may destroy its own timer (and the function with it).
  std::function<void()> handler = *found->second.Handler;
  GuardedCall(handler);
  auto after = LiveTimers().find(identifier);
  if (after != LiveTimers().end()) after->second.Running = false;
}

LRESULT CALLBACK TimerWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_TIMER) {
    FireTimer(wParam);
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

// One message-only window of the main thread carries every framework timer: a timer
// procedure would do, but a window gives the ticks the same queue order as the rest.
HWND TimerWindow() {
  static HWND window = [] {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = TimerWindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = TimerWindowClass;
    RegisterClassA(&windowClass);
    return CreateWindowExA(0, TimerWindowClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
  }();
  return window;
}

}  // namespace

TTimer::~TTimer() {
  Halt();
}

void TTimer::SetEnabled(bool enabled) {
  if (enabled == IsEnabled) return;
  IsEnabled = enabled;
  Restart();
}

void TTimer::SetInterval(uint32_t milliseconds) {
  if (milliseconds == Period) return;
  Period = milliseconds;
  Restart();
}

void TTimer::SetOnTimer(std::function<void()> handler) {
  Handler = std::move(handler);
  Restart();
}

void TTimer::Halt() {
  if (Identifier == 0) return;
  KillTimer(TimerWindow(), Identifier);
  LiveTimers().erase(Identifier);
  Identifier = 0;
}

void TTimer::Restart() {
  Halt();
  if (!IsEnabled || Period == 0 || !Handler) return;
  uintptr_t identifier = NextIdentifier();
  GridPace pace;
  const UINT delay = TimerGridOn() ? pace.Start(Period, MonotonicMicroseconds()) : Period;
  if (SetTimer(TimerWindow(), identifier, delay, nullptr) == 0) return;
  Identifier = identifier;
  LiveTimers()[identifier] = TimerEntry{&Handler, false, Period, pace};
}
