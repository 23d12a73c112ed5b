// When the Direct3D scene draws at the display's refresh, paced by the compositor's wait,
// and when at its design rate on its own timer.
#pragma once

#include <cstdint>

constexpr int MostFramesPerSecond = 75;

struct PacingConditions {
  int RefreshHz = 0;      // the primary monitor's as the system reports it; 0 or 1: unknown
  bool Composed = false;  // the desktop is composed, so there is a composition wait
  bool OnBattery = false;
  bool RemoteSession = false;
};

// Refreshes per frame while frames follow the display: every refresh up to 75 Hz, every
// second one up to 150 Hz, and so on. 0: the design rate on the timer, as on a battery, in
// a remote session, on an uncomposed desktop or where the rate is unknown.
int RefreshesPerFrame(const PacingConditions& conditions);

// A wait for the next refresh that returns in well under a refresh period, twice running,
// is no wait at all (under Wine it returns at once): frames would follow as fast as they
// can be drawn. One such wait is not enough: a frame that ran long meets its refresh soon.
// So a short wait is confirmed at once by a second one (Doubting): a real wait, starting
// just after a refresh, then takes a whole period, and frames slower than the display
// keep following it.
class RefreshWaitGuard {
 public:
  explicit RefreshWaitGuard(int refreshHz);
  // One wait and how long it took; false once the waits count as absent, for good.
  bool Observe(int64_t waitedMicroseconds);
  bool Trusted() const { return !Absent; }
  // The last wait was short: the next one, at once, decides.
  bool Doubting() const { return HollowRunning == 1 && !Absent; }

 private:
  int64_t Hollow;  // shorter than this is well under a period: a tenth of one
  int HollowRunning = 0;
  bool Absent = false;
};
