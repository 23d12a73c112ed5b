// Shared steps of the host's end-to-end tests.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "harness/harness.h"

namespace host_test {

inline constexpr DWORD StartTimeout = harness::ProgramStartTimeout;
// A black screen is given up on then: a first frame of huge bubbles by a software rasteriser
// on an emulated CPU took over 10 s.
inline constexpr DWORD FirstFrameTimeout = 30000;

inline harness::WindowQuery RunWindowOf(DWORD processId) {
  return {.ClassName = HostWindowClass, .Title = RunTitle, .ProcessId = processId};
}

// Every test starts from an empty settings key and a cursor in the middle of the screen.
class SaverTest : public ::testing::Test {
 protected:
  void SetUp() override {
    harness::Settings::Clear();
    harness::CentreCursor();
  }
  void TearDown() override { harness::Settings::Clear(); }

  // Starts the saver and waits for its full-screen window, which is then shown and
  // active (the saver takes its mouse reference on activation).
  HWND StartRun(harness::SaverProcess& saver) {
    EXPECT_TRUE(saver.Started());
    HWND window = harness::WaitForWindow(RunWindowOf(saver.Id()), StartTimeout);
    if (window) {
      // Shown once its driver has started, which on an emulated CPU took over 5 s.
      harness::WaitUntil([&] { return IsWindowVisible(window) != FALSE; }, StartTimeout);
      harness::PumpFor(500);
    }
    return window;
  }
};

}  // namespace host_test
