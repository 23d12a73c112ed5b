// In-process stand-ins for the Windows tests of the forms and the drivers: the host window
// a scene form sits in, and a recorder of the framework's error reports. The message pump
// they need is the harness's (PumpMessages, PumpFor).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "framework/win/error_report.h"
#include "harness/harness.h"

namespace harness {

// A stand-in for the host window: a visible popup of the host's class and run title at
// the screen's top left, recording the input a scene form passes on to it (mouse moves,
// keys, left and right presses) in the order it arrives.
class RecordingHost {
 public:
  // style: added to WS_POPUP | WS_VISIBLE.
  RecordingHost(int width, int height, DWORD style = 0);
  ~RecordingHost();
  RecordingHost(const RecordingHost&) = delete;
  RecordingHost& operator=(const RecordingHost&) = delete;

  HWND Handle() const { return Window; }
  const std::vector<UINT>& Received() const { return Messages; }
  void Forget() { Messages.clear(); }

 private:
  static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  HWND Window = nullptr;
  std::vector<UINT> Messages;
};

// While it lives, the framework's error reports are recorded here instead of shown in a box
// that would wait for someone to press OK.
class RecordedReports {
 public:
  RecordedReports();
  ~RecordedReports();
  RecordedReports(const RecordedReports&) = delete;
  RecordedReports& operator=(const RecordedReports&) = delete;

  const std::vector<std::string>& Texts() const { return Reports; }

 private:
  static void Record(const char* text);
  std::vector<std::string> Reports;
  RecordedReports* Outer;
  ErrorSink PreviousSink;
};

}  // namespace harness
