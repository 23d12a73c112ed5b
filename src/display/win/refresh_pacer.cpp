#include "display/win/refresh_pacer.h"

#include <atomic>

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

struct TRefreshPacer::Shared {
  HWND Window;
  UINT Message;
  int RefreshHz;
  int PerFrame;
  LPARAM Ticket;
  HANDLE Drawn = CreateEventA(nullptr, FALSE, TRUE, nullptr);  // auto-reset: may post
  HANDLE Ended = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  HANDLE FakeTimer = nullptr;
  std::atomic<bool> Stopping{false};

  ~Shared() {
    if (FakeTimer) CloseHandle(FakeTimer);
    CloseHandle(Drawn);
    CloseHandle(Ended);
  }
  void WaitForRefresh();
  void Run();
};

TRefreshPacer::TRefreshPacer(HWND window, UINT message, int refreshHz, int refreshesPerFrame)
    : State(std::make_shared<Shared>()) {
  State->Window = window;
  State->Message = message;
  State->RefreshHz = refreshHz;
  State->PerFrame = refreshesPerFrame;
  State->Ticket = NextTicket();
  if (FakeRefreshHz() > 0 && FakeRefreshBlocks()) {
    State->FakeTimer = CreateWaitableTimerA(nullptr, FALSE, nullptr);
  }
  Thread = std::thread([state = State] {
    state->Run();
    SetEvent(state->Ended);
  });
}

TRefreshPacer::~TRefreshPacer() {
  State->Stopping = true;
  SetEvent(State->Drawn);
  if (WaitForSingleObject(State->Ended, 200) == WAIT_OBJECT_0) {
    Thread.join();
  } else {
    Thread.detach();
  }
}

void TRefreshPacer::FrameDrawn() {
  SetEvent(State->Drawn);
}

LPARAM TRefreshPacer::Ticket() const {
  return State->Ticket;
}

bool TRefreshPacer::Paces(int refreshHz, int refreshesPerFrame) const {
  return refreshHz == State->RefreshHz && refreshesPerFrame == State->PerFrame;
}

// The tests' display: a blocking wait to the next 1/hz boundary of the performance counter.
void TRefreshPacer::Shared::WaitForRefresh() {
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

void TRefreshPacer::Shared::Run() {
  RefreshWaitGuard guard(RefreshHz);
  while (WaitForSingleObject(Drawn, INFINITE) == WAIT_OBJECT_0 && !Stopping) {
    for (int i = 0; i < PerFrame && !Stopping; ++i) {
      do {
        const int64_t start = PerformanceCounterMicroseconds();
        WaitForRefresh();
        guard.Observe(PerformanceCounterMicroseconds() - start);
      } while (guard.Doubting() && !Stopping);
    }
    if (Stopping) return;
    if (!guard.Trusted()) {
      PostMessageA(Window, Message, WaitAbsent, Ticket);
      return;
    }
    if (!PostMessageA(Window, Message, FrameDue, Ticket)) return;
  }
}
