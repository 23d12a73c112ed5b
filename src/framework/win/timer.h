// TTimer: a message timer of the main thread. Its ticks arrive as WM_TIMER messages of
// a hidden framework window through whatever message loop runs (the host's, a dialog's
// or a message box's), so a handler never overlaps another handler.
//
// Guarantees:
// - a disabled or destroyed timer never fires, even if its WM_TIMER is already queued
//   (every start gets a fresh identifier that is never reused);
// - exceptions thrown by the handler are reported by ReportError and go no further;
// - a handler is never re-entered: a tick that arrives while it still runs (e.g. while
//   its error box is up) is dropped;
// - a handler may disable or destroy its own timer, or the form that owns it.
#pragma once

#include <cstdint>
#include <functional>

class TTimer {
 public:
  TTimer() = default;  // enabled, 1000 ms, no handler: idle until a handler is set
  ~TTimer();
  TTimer(const TTimer&) = delete;
  TTimer& operator=(const TTimer&) = delete;

  // The timer runs while Enabled, Interval > 0 and a handler is set. Changing any of
  // them restarts the period.
  void SetEnabled(bool enabled);
  bool Enabled() const { return IsEnabled; }
  void SetInterval(uint32_t milliseconds);
  uint32_t Interval() const { return Period; }
  void SetOnTimer(std::function<void()> handler);
  const std::function<void()>& OnTimer() const { return Handler; }

  // True while the platform timer exists (for tests and diagnostics).
  bool Running() const { return Identifier != 0; }

 private:
  void Restart();
  void Halt();

  bool IsEnabled = true;
  uint32_t Period = 1000;
  std::function<void()> Handler;
  uintptr_t Identifier = 0;
};

// Holds a timer off while nobody can see what it draws, then gives it back as it was.
class TTimerHold {
 public:
  void Hold(TTimer& timer) {
    if (Holding) return;
    Holding = true;
    WasEnabled = timer.Enabled();
    timer.SetEnabled(false);
  }
  void Release(TTimer& timer) {
    if (!Holding) return;
    Holding = false;
    if (WasEnabled) timer.SetEnabled(true);
  }

 private:
  bool Holding = false;
  bool WasEnabled = false;
};
