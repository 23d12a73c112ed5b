// Frames at the display's refresh: a thread of its own waits for each composed frame
// (DwmFlush) and posts the scene's window a message; the world and the drawing stay on the
// window's thread. No busy waiting anywhere: WaitForVerticalBlank spins in many drivers.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <thread>

#include "display/frame_pacing.h"

// The primary monitor's refresh rate, composition, power source and session, as the system
// reports them now (dwmapi looked up at run time: Windows XP has none).
PacingConditions SystemPacingConditions();

class TRefreshPacer {
 public:
  // wParam of the posted message; its lParam is the pacer's ticket, so that a message of a
  // pacer that is gone is told apart.
  static constexpr WPARAM FrameDue = 0;
  static constexpr WPARAM WaitAbsent = 1;  // the waits proved hollow: the thread has ended

  TRefreshPacer(HWND window, UINT message, int refreshHz, int refreshesPerFrame);
  ~TRefreshPacer();  // stops and joins the thread
  TRefreshPacer(const TRefreshPacer&) = delete;
  TRefreshPacer& operator=(const TRefreshPacer&) = delete;

  // The frame the last message asked for is drawn: the thread may wait for the next. So
  // at most one message waits in the queue, and the timers' messages are never starved.
  void FrameDrawn();
  LPARAM Ticket() const { return MyTicket; }
  bool Paces(int refreshHz, int refreshesPerFrame) const {
    return refreshHz == RefreshHz && refreshesPerFrame == PerFrame;
  }

 private:
  void Run();
  void WaitForRefresh();

  HWND Window;
  UINT Message;
  int RefreshHz;
  int PerFrame;
  LPARAM MyTicket;
  HANDLE Drawn;  // auto-reset: set while the thread may post the next frame
  HANDLE FakeTimer = nullptr;
  std::atomic<bool> Stopping{false};
  std::thread Thread;
};
