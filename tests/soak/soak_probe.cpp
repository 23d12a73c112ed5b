// soak_probe DRIVER SECONDS: runs the real saver under wine and samples its GDI and USER
// object counts (harness::CountGuiObjects) and private bytes every 10 s. After the warm-up (a
// third of the run, at least 20 s) nothing may grow beyond a small slack; the exit
// status says whether it did. DRIVER: directx (/s), gdiplus (/s with "GDI+"), preview
// (/p 0).
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "harness/harness.h"

namespace {

constexpr DWORD SampleMs = 10000;
constexpr DWORD FirstFrameTimeoutMs = 30000;
// Slack for what settles late (caches, a timer's message): a leak of one object per
// frame passes these within seconds.
constexpr long GdiSlack = 8;
constexpr long UserSlack = 4;
// The preview allocates a frame bitmap per frame: its private bytes swing by about
// 6 MiB between samples without growing. A per-frame leak passes 16 MiB within seconds.
constexpr long long PrivateSlack = 16ll * 1024 * 1024;

struct Sample {
  DWORD Second;
  harness::GuiObjects Objects;
  harness::MemoryUse Memory;
};

struct Plan {
  std::vector<std::string> Arguments;
  const char* Driver;  // the stored Driver value, or null for none
};

bool PlanFor(const std::string& name, Plan& plan) {
  if (name == "directx")
    plan = {{"/s"}, "Directx 7.0"};
  else if (name == "gdiplus")
    plan = {{"/s"}, "GDI+"};
  else if (name == "preview")
    plan = {{"/p", "0"}, nullptr};
  else
    return false;
  return true;
}

void Print(const std::string& name, const Sample& s) {
  std::printf("soak %s: %4lus gdi %lu user %lu private %.1f MiB working set %.1f MiB\n",
              name.c_str(), static_cast<unsigned long>(s.Second),
              static_cast<unsigned long>(s.Objects.Gdi), static_cast<unsigned long>(s.Objects.User),
              s.Memory.PrivateBytes / 1048576.0, s.Memory.WorkingSet / 1048576.0);
  std::fflush(stdout);
}

// Growth from the first sample after the warm-up to the largest one after it.
bool Grew(const std::string& name, const std::vector<Sample>& samples, DWORD warmup) {
  auto first = std::find_if(samples.begin(), samples.end(),
                            [&](const Sample& s) { return s.Second >= warmup; });
  if (first == samples.end() || first + 1 == samples.end()) {
    std::printf("soak %s: too few samples after the warm-up\n", name.c_str());
    return true;
  }
  long long privateGrowth = 0;
  long gdiGrowth = 0, userGrowth = 0;
  for (auto s = first + 1; s != samples.end(); ++s) {
    privateGrowth = std::max(privateGrowth, static_cast<long long>(s->Memory.PrivateBytes) -
                                                static_cast<long long>(first->Memory.PrivateBytes));
    gdiGrowth = std::max(gdiGrowth, long(s->Objects.Gdi) - long(first->Objects.Gdi));
    userGrowth = std::max(userGrowth, long(s->Objects.User) - long(first->Objects.User));
  }
  const bool known = first->Objects.Known;
  std::printf("soak %s: after %lus: gdi %+ld, user %+ld (counted by %s), private %+.1f MiB\n",
              name.c_str(), static_cast<unsigned long>(warmup), gdiGrowth, userGrowth,
              first->Objects.Source, privateGrowth / 1048576.0);
  if (!known) std::printf("soak %s: the object counts could not be taken\n", name.c_str());
  return privateGrowth > PrivateSlack || !known || gdiGrowth > GdiSlack || userGrowth > UserSlack;
}

}  // namespace

int main(int argc, char** argv) {
  Plan plan;
  if (argc < 3 || !PlanFor(argv[1], plan)) {
    std::fprintf(stderr, "usage: soak_probe directx|gdiplus|preview SECONDS\n");
    return 2;
  }
  const std::string name = argv[1];
  const DWORD seconds = std::max<DWORD>(30, static_cast<DWORD>(std::atol(argv[2])));
  const DWORD warmup = std::max<DWORD>(20, seconds / 3 / 10 * 10);

  harness::Settings::Clear();
  if (plan.Driver) harness::Settings::SetString("Driver", plan.Driver);
  harness::CentreCursor();
  harness::SaverProcess saver(plan.Arguments);
  HWND window = harness::WaitForWindow({.ClassName = HostWindowClass, .ProcessId = saver.Id()},
                                       harness::ProgramStartTimeout);
  if (!window) {
    std::printf("soak %s: FAILED, the saver made no window\n", name.c_str());
    harness::Settings::Clear();
    return 1;
  }

  // The run's clock starts at its first frame, not at its window: on an emulated CPU the
  // device and the first frames take seconds, and the memory they fill is no leak.
  const DWORD shown = GetTickCount();
  const bool drawn = harness::WaitForScreenDrawn(FirstFrameTimeoutMs);
  std::printf("soak %s: first frame %s after %lu ms\n", name.c_str(), drawn ? "drawn" : "not seen",
              static_cast<unsigned long>(GetTickCount() - shown));
  std::vector<Sample> samples;
  const DWORD start = GetTickCount();
  for (DWORD second = 0; second <= seconds; second += SampleMs / 1000) {
    harness::PumpFor(start + second * 1000 > GetTickCount() ? start + second * 1000 - GetTickCount()
                                                            : 0);
    if (!saver.Running()) break;
    samples.push_back(
        {second, harness::CountGuiObjects(saver.Handle()), harness::ProcessMemory(saver.Handle())});
    Print(name, samples.back());
  }

  bool failed = false;
  if (!saver.Running()) {
    std::printf("soak %s: FAILED, the saver ended by itself (exit code %lu)\n", name.c_str(),
                static_cast<unsigned long>(saver.ExitCode()));
    failed = true;
  } else {
    failed = Grew(name, samples, warmup);
    PostMessageA(window, WM_CLOSE, 0, 0);
    if (!saver.WaitForExit(10000)) {
      std::printf("soak %s: FAILED, did not end after its window was closed\n", name.c_str());
      failed = true;
    }
  }
  harness::Settings::Clear();
  std::printf("soak %s: %s\n", name.c_str(), failed ? "FAILED" : "passed");
  return failed ? 1 : 0;
}
