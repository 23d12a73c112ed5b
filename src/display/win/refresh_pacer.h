// Frames at the display's refresh: a thread of its own waits for each composed frame
// (DwmFlush) and posts the scene's window a message; the world and the drawing stay on the
// window's thread. No busy waiting anywhere: WaitForVerticalBlank spins in many drivers.
#pragma once

#include <windows.h>

#include <memory>
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
  // Stops the thread. One still held in DwmFlush after a fifth of a second (a compositor
  // that stopped composing) is left to end by itself: it owns what it uses.
  ~TRefreshPacer();
  TRefreshPacer(const TRefreshPacer&) = delete;
  TRefreshPacer& operator=(const TRefreshPacer&) = delete;

  // The frame the last message asked for is drawn: the thread may wait for the next. So
  // at most one message waits in the queue, and the timers' messages are never starved.
  void FrameDrawn();
  LPARAM Ticket() const;
  bool Paces(int refreshHz, int refreshesPerFrame) const;

 private:
  struct Shared;  // what the thread uses, freed by whichever of the two ends last
  std::shared_ptr<Shared> State;
  std::thread Thread;
};
