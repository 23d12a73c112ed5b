// Paces a world that moves in fixed steps by the time that has passed, however coarse,
// late or uneven the timer that asks: Windows fires a 40 ms timer every 46.875 ms, and a
// frame may come at a display's refresh instead. Times are microseconds of a monotonic
// clock.
#pragma once

#include <array>
#include <cstdint>

#include "world/bubble_table.h"

// Design rates, as periods in microseconds.
constexpr int64_t SceneStepPeriod = 40000;      // Direct3D scene and preview: 25 steps a second
constexpr int64_t GdiplusStepPeriod = 20000;    // GDI+ scene: 50 steps a second
constexpr int64_t WindPullPeriod = 50000;       // a twentieth of the way to the wind per 50 ms
constexpr int64_t GdiplusPushPeriod = 5000000;  // one random push every 5 s

class StepClock {
 public:
  // After a stall (a slow frame, a prompt, a suspend) at most this many steps catch up, or
  // as many as fit in MaxCatchUpTime where the steps are shorter; the rest of the time is
  // dropped, so the world never races to make up for it. In time, both scenes catch up
  // the same 160 ms: four Direct3D steps, eight GDI+ steps, so that a bubble window's
  // render of 100 ms costs neither scene any of its pace.
  static constexpr int MaxCatchUp = 4;
  static constexpr int64_t MaxCatchUpTime = 160000;

  explicit StepClock(int64_t periodMicroseconds);

  // The steps due at now. The first call after a start or a Restart takes one; later
  // calls one per period passed, at most MaxCatchUp. Steps fall half a period from the
  // calls of a timer at the design rate, so its jitter never gives a frame none or two.
  int Advance(int64_t now);
  // Forgets the past: the next Advance starts afresh (the display could not draw, the
  // timer was held).
  void Restart() { Running = false; }
  // Where now lies between the last step and the next: 0 just after a step, towards 1 as
  // the next one comes due.
  double Phase(int64_t now) const;

 private:
  int64_t StepPeriod;
  int CatchUp;  // the most steps one call takes
  bool Running = false;
  int64_t LastDue = 0;  // when the last step taken fell due
};

// The world as a scene shows it: stepped by its clock, remembering where each bubble was
// before the frame's last step, so that a frame between two steps draws each bubble
// between its two places.
class PacedWorld {
 public:
  explicit PacedWorld(int64_t periodMicroseconds) : Clock(periodMicroseconds) {}

  // The frame at now: the steps due, each today's MotionStep. None while the display
  // cannot draw: the world stands still and the clock starts afresh when it can again.
  int Frame(int64_t now, bool canDraw = true);
  // Frames that could draw, of every paced world since the program started: each scene
  // asks once per frame it shows (the Direct3D scene once per present).
  static uint64_t FramesShown();
  // Bubble k as a frame at phase (0..1, StepClock::Phase) shows it: its place
  // interpolated between before and after the last step; everything else as it is. The
  // tint is not interpolated: it drifts a few 255ths a step.
  Bubble Shown(int k, double phase) const;
  void Restart() { Clock.Restart(); }

  StepClock Clock;

 private:
  void RememberPlaces();

  int Remembered = 0;
  std::array<double, BubbleCapacity + 1> BeforeX{};
  std::array<double, BubbleCapacity + 1> BeforeY{};
};
