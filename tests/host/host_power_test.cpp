// The host window in this process under wine, fed the display notices the system sends:
// off stops the frame timer and tells the program, dimmed changes nothing, on starts them
// again; input still ends a run that rests.
#include <gtest/gtest.h>

#include <vector>

#include "harness/harness.h"
#include "host/win/screen_saver.h"

namespace {

constexpr GUID ConsoleDisplayState = {
    0x6fe69556, 0x704a, 0x47a0, {0x8f, 0x24, 0xc2, 0x8d, 0x93, 0x6f, 0xda, 0x47}};
constexpr WPARAM PowerSettingChange = 0x8013;

std::vector<bool> Told;  // what the program was told, in order

void RecordDisplayPower(HWND, ScreenSaverMode, bool on) {
  Told.push_back(on);
}
void NoTick(HWND, ScreenSaverMode) {}

struct Notice {
  GUID PowerSetting;
  DWORD DataLength;
  DWORD Value;
};

class HostPower : public ::testing::Test {
 protected:
  void SetUp() override {
    Told.clear();
    SaverMode = smRun;
    TickProc = NoTick;
    TimerInterval = 40;
    SetSceneShownProcedure(RecordDisplayPower);
    GetCursorPos(&MouseOrigin);  // the run's ticks measure the mouse from here
    Host = CreateHostWindow(nullptr);
    ASSERT_NE(Host, nullptr);
    StartHostTimer(Host);
    ASSERT_TRUE(HostTimerActive);
  }
  void TearDown() override {
    if (IsWindow(Host)) DestroyWindow(Host);
    harness::PumpMessages();
    SetSceneShownProcedure(nullptr);
    UnregisterClassA(HostWindowClass, GetModuleHandleA(nullptr));
  }
  void Tell(DWORD state) {
    Notice notice{ConsoleDisplayState, sizeof(DWORD), state};
    SendMessageA(Host, WM_POWERBROADCAST, PowerSettingChange, reinterpret_cast<LPARAM>(&notice));
  }
  HWND Host = nullptr;
};

TEST_F(HostPower, OffRestsTheRunDimmedChangesNothingOnWakesIt) {
  const struct {
    DWORD State;
    bool TimerAfter;
    std::vector<bool> ToldAfter;
  } steps[] = {{2, true, {}},
               {0, false, {false}},
               {0, false, {false}},
               {2, true, {false, true}},
               {1, true, {false, true}}};
  for (const auto& step : steps) {
    Tell(step.State);
    EXPECT_EQ(HostTimerActive, step.TimerAfter) << "state " << step.State;
    EXPECT_EQ(Told, step.ToldAfter) << "state " << step.State;
  }
}

TEST_F(HostPower, AKeyStillEndsARunThatRests) {
  Tell(0);
  ASSERT_FALSE(HostTimerActive);
  PostMessageA(Host, WM_KEYDOWN, 'Q', 0);
  harness::PumpMessages();
  EXPECT_FALSE(IsWindow(Host));
}

}  // namespace
