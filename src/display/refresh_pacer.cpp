#include "display/refresh_pacer.h"

#include "framework/win/monotonic_clock.h"
#include "framework/win/procedure.h"
#include "framework/win/timing_seams.h"

namespace {

using DwmIsCompositionEnabledProc = HRESULT(WINAPI*)(BOOL*);
using DwmFlushProc = HRESULT(WINAPI*)();

HMODULE Dwmapi() {
  static HMODULE module = LoadLibraryA("dwmapi.dll");
  return module;
}

DwmFlushProc DwmFlushFunction() {
  static DwmFlushProc flush = ProcedureAddress<DwmFlushProc>(Dwmapi(), "DwmFlush");
  return flush;
}

bool DesktopComposed() {
  const auto enabled =
      ProcedureAddress<DwmIsCompositionEnabledProc>(Dwmapi(), "DwmIsCompositionEnabled");
  BOOL composed = FALSE;
  return enabled && DwmFlushFunction() && SUCCEEDED(enabled(&composed)) && composed;
}

int PrimaryRefreshHz() {
  DEVMODEA mode{};
  mode.dmSize = sizeof mode;
  if (!EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &mode)) return 0;
  return static_cast<int>(mode.dmDisplayFrequency);
}

bool RunsOnBattery() {
  SYSTEM_POWER_STATUS status{};
  return GetSystemPowerStatus(&status) && status.ACLineStatus == 0;
}

LPARAM NextTicket() {
  static std::atomic<LONG> last{0};
  return ++last;
}

}  // namespace

PacingConditions SystemPacingConditions() {
  PacingConditions conditions;
  const int fake = FakeRefreshHz();
  conditions.RefreshHz = fake > 0 ? fake : PrimaryRefreshHz();
  conditions.Composed = fake > 0 || DesktopComposed();
  conditions.OnBattery = RunsOnBattery();
  conditions.RemoteSession = GetSystemMetrics(SM_REMOTESESSION) != 0;
  return conditions;
}

TRefreshPacer::TRefreshPacer(HWND window, UINT message, int refreshHz, int refreshesPerFrame)
    : Window(window),
      Message(message),
      RefreshHz(refreshHz),
      PerFrame(refreshesPerFrame),
      MyTicket(NextTicket()),
      Drawn(CreateEventA(nullptr, FALSE, TRUE, nullptr)) {
  if (FakeRefreshHz() > 0 && FakeRefreshBlocks())
    FakeTimer = CreateWaitableTimerA(nullptr, FALSE, nullptr);
  Thread = std::thread([this] { Run(); });
}

TRefreshPacer::~TRefreshPacer() {
  Stopping = true;
  SetEvent(Drawn);
  if (Thread.joinable()) Thread.join();
  if (FakeTimer) CloseHandle(FakeTimer);
  CloseHandle(Drawn);
}

void TRefreshPacer::FrameDrawn() {
  SetEvent(Drawn);
}

// The tests' display: a blocking wait to the next 1/hz boundary of the performance counter.
void TRefreshPacer::WaitForRefresh() {
  if (!FakeTimer) {
    if (DwmFlushProc flush = DwmFlushFunction()) flush();
    return;
  }
  const int64_t now = PerformanceCounterMicroseconds();
  const int64_t boundary = (now * RefreshHz / 1000000 + 1) * 1000000 / RefreshHz;
  LARGE_INTEGER due{};
  due.QuadPart = -(boundary - now) * 10;  // relative, in 100 ns
  if (SetWaitableTimer(FakeTimer, &due, 0, nullptr, nullptr, FALSE)) {
    WaitForSingleObject(FakeTimer, INFINITE);
  }
}

void TRefreshPacer::Run() {
  RefreshWaitGuard guard(RefreshHz);
  while (WaitForSingleObject(Drawn, INFINITE) == WAIT_OBJECT_0 && !Stopping) {
    for (int i = 0; i < PerFrame && !Stopping; ++i) {
      const int64_t start = PerformanceCounterMicroseconds();
      WaitForRefresh();
      guard.Observe(PerformanceCounterMicroseconds() - start);
    }
    if (Stopping) return;
    if (!guard.Trusted()) {
      PostMessageA(Window, Message, WaitAbsent, MyTicket);
      return;
    }
    if (!PostMessageA(Window, Message, FrameDue, MyTicket)) return;
  }
}
