// Error reports of a full-screen run. A driver that fails while the host window is being
// made (a background picture that cannot be loaded) must not show its box then: the
// screen behind it is not yet covered, and the box's own message loop would run the
// driver's start-up timers under it. So reports wait in a queue until the host's tick,
// and are shown there, one at a time, in a box owned by the host window, kept above the
// driver's topmost windows. While a box is up, any key or mouse button still ends the
// run (the host's tick tests the cursor); ending the run takes the box with it.
#pragma once

#include <windows.h>

// Holds every error reported from now on until ShowQueuedRunReports; restores the
// previous way of reporting when it goes. Reports that no host tick showed are shown
// then only if no host window ever existed (a run that ended takes its reports along).
class RunReportQueue {
 public:
  RunReportQueue();
  ~RunReportQueue();
  RunReportQueue(const RunReportQueue&) = delete;
  RunReportQueue& operator=(const RunReportQueue&) = delete;

  void HostWindowMade() { HostSeen = true; }

 private:
  bool HostSeen = false;
};

// From the host's tick: shows the queued reports (each in a modal box owned by host) or,
// while one is up, keeps it above every other window. Returns at once when nothing waits.
// boxUp is told when a box comes up and when it has gone (while the host lives): the scene
// rests under a box, so no bubble window rises over it. host may be destroyed on return.
using BoxUpProcedure = void (*)(HWND host, bool up);
void ShowQueuedRunReports(HWND host, BoxUpProcedure boxUp);
