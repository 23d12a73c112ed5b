// Wind gusts: a band across the world that pulls the velocities of the active
// bubbles inside it towards a wind vector. Runs on two timers of its own.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "world/geometry.h"
#include "world/step_clock.h"

// A timer the wind owns. On Windows it is a message timer of the main thread;
// tests drive it by hand.
class WindTimer {
 public:
  virtual ~WindTimer() = default;
  virtual void SetEnabled(bool enabled) = 0;
  virtual bool Enabled() const = 0;
  virtual void SetInterval(uint32_t milliseconds) = 0;
  virtual uint32_t Interval() const = 0;
  virtual void SetHandler(std::function<void()> handler) = 0;
};

// What the wind needs from the platform: timers and a millisecond tick count.
class WindPlatform {
 public:
  virtual ~WindPlatform() = default;
  virtual std::unique_ptr<WindTimer> CreateTimer() = 0;
  virtual uint32_t TickCount() = 0;  // GetTickCount: wraps after 49.7 days
  // A monotonic clock in microseconds that paces the pulls; the tick count's by default.
  virtual int64_t Microseconds() { return static_cast<int64_t>(TickCount()) * 1000; }
};

class TWind {
 public:
  explicit TWind(WindPlatform& platform);  // Create
  ~TWind();                                // stops first, so no timer fires afterwards
  TWind(const TWind&) = delete;
  TWind& operator=(const TWind&) = delete;

  void Stop();
  // While nobody can see the scene (the display is off): both timers held, then each
  // given back as it was. A gust whose time ran out meanwhile ends at its next tick. A
  // Stop in between wins: Resume then starts nothing.
  void Pause();
  void Resume();
  // The display went off (false) or came back (true).
  void SetAwake(bool awake) { awake ? Resume() : Pause(); }
  bool Paused() const { return IsPaused; }
  void StartGust();
  void GustTick();
  void Blow();

  GustBand Points{};  // corners in polygon order
  uint32_t StartTick = 0;
  int32_t Duration = 0;
  bool RegionLive = false;  // the band is live between StartGust and the gust's end
  double WindX = 0;
  double WindY = 0;
  int32_t Strength = 0;

  WindTimer& GapTimer() { return *Gap; }
  WindTimer& BlowTimer() { return *BlowT; }

 private:
  WindPlatform& Platform;
  std::unique_ptr<WindTimer> Gap;
  std::unique_ptr<WindTimer> BlowT;
  StepClock PullClock{WindPullPeriod};  // however late BlowTimer fires
  bool IsPaused = false;
  bool GapWasOn = false;
  bool BlowWasOn = false;
};
