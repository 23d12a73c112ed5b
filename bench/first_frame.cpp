// How long each mode takes to its first frame: from the CreateProcess that starts it to its
// first present, stamped inside the started process (the Direct3D run's first Flip, the
// GDI+ run's first layered-window update, the preview's first blit), each beside its floor
// timed the same way: a bare Direct3D 7 program (first_frame_floor_d3d) for the Direct3D
// run, a trivial GDI window (first_frame_floor_gdi) for the GDI+ run and the previews.
// The timed program is first_frame_saver: the program's own entry and code, which ends at
// its first present. The default run is also timed with Wine's Direct3D off (renderer "no3d") and
// with ddraw.dll disabled, where the run falls back to the GDI+ scene.
// Run it through scripts/bench-first-frame, which gives it a display and a Wine prefix of
// its own (it writes the Driver setting and Wine's renderer value).
//
//   first_frame [--runs N] [--timeout SECONDS] [--only SUBSTRING] [--stamps]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "settings/settings.h"

namespace {

// ---- The timing program -------------------------------------------------------------------

double Frequency() {
  LARGE_INTEGER f;
  QueryPerformanceFrequency(&f);
  return static_cast<double>(f.QuadPart);
}

long long Now() {
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return t.QuadPart;
}

std::string ThisFolder() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder(path);
  return folder.substr(0, folder.find_last_of("\\/") + 1);
}

struct Outcome {
  std::optional<double> FirstPresent;  // ms from CreateProcess
  std::string Kind;                    // which present came first
  std::string Failure;                 // why there was none
  std::map<std::string, double> Stamps;
};

void PumpMessages() {
  MSG m;
  while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&m);
    DispatchMessageA(&m);
  }
}

void TakeLines(std::string& pending, long long start, Outcome& outcome) {
  static const double ticksPerMs = Frequency() / 1000.0;
  size_t end;
  while ((end = pending.find('\n')) != std::string::npos) {
    char name[64] = {};
    long long ticks = 0;
    if (std::sscanf(pending.substr(0, end).c_str(), "stamp %63s %lld", name, &ticks) == 2) {
      const double ms = static_cast<double>(ticks - start) / ticksPerMs;
      outcome.Stamps[name] = ms;
      if (std::strncmp(name, "present-", 8) == 0 && !outcome.FirstPresent) {
        outcome.FirstPresent = ms;
        outcome.Kind = name + 8;
      }
    }
    pending.erase(0, end + 1);
  }
}

// Starts the command line and waits for its first present, messages pumped meanwhile (a
// preview's parent window lives here); the program is ended when the time is up.
Outcome Time(const std::string& commandLine, DWORD timeoutMs) {
  Outcome outcome;
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE readEnd = nullptr, writeEnd = nullptr;
  CreatePipe(&readEnd, &writeEnd, &inherit, 0);
  SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = writeEnd;
  startup.hStdError = writeEnd;
  PROCESS_INFORMATION process{};
  std::vector<char> command(commandLine.begin(), commandLine.end());
  command.push_back('\0');
  const long long start = Now();
  const BOOL started = CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                      nullptr, &startup, &process);
  CloseHandle(writeEnd);
  if (!started) {
    outcome.Failure = "could not be started";
    CloseHandle(readEnd);
    return outcome;
  }
  std::string pending;
  const DWORD begun = GetTickCount();
  bool exited = false;
  for (;;) {
    DWORD available = 0;
    while (PeekNamedPipe(readEnd, nullptr, 0, nullptr, &available, nullptr) && available > 0) {
      char chunk[512];
      DWORD got = 0;
      if (!ReadFile(readEnd, chunk, std::min<DWORD>(available, sizeof chunk), &got, nullptr) ||
          got == 0)
        break;
      pending.append(chunk, got);
      TakeLines(pending, start, outcome);
    }
    if (outcome.FirstPresent || exited) break;
    if (GetTickCount() - begun > timeoutMs) {
      outcome.Failure = "no first frame within " + std::to_string(timeoutMs / 1000) + " s";
      break;
    }
    exited =
        MsgWaitForMultipleObjects(1, &process.hProcess, FALSE, 5, QS_ALLINPUT) == WAIT_OBJECT_0;
    PumpMessages();
  }
  if (!outcome.FirstPresent && outcome.Failure.empty()) {
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    outcome.Failure = "ended without a frame (exit code " + std::to_string(code) + ")";
  }
  // It ends itself at its first present; anything else is ended here.
  if (WaitForSingleObject(process.hProcess, 5000) != WAIT_OBJECT_0)
    TerminateProcess(process.hProcess, 1);
  WaitForSingleObject(process.hProcess, INFINITE);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  CloseHandle(readEnd);
  return outcome;
}

void StoreDriver(const char* driver) {
  auto key = OpenForWriting(SystemSettingsStore());
  WriteString(*key, "Driver", driver);
}

// A value under HKEY_CURRENT_USER\Software\Wine for one run, put back as it was. A started
// program reads them as it starts; WINEDLLOVERRIDES would not reach it through the
// environment of CreateProcess under Wine, so a disabled DLL is set in DllOverrides, the
// same switch.
class WineSetting {
 public:
  WineSetting(const char* key, const char* name, const char* value) : Name(name ? name : "") {
    if (!key) return;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, key, 0, nullptr, 0, KEY_QUERY_VALUE | KEY_SET_VALUE,
                        nullptr, &Key, nullptr) != ERROR_SUCCESS) {
      Key = nullptr;
      return;
    }
    char old[256] = {};
    DWORD size = sizeof old - 1;
    Had = RegQueryValueExA(Key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(old), &size) ==
          ERROR_SUCCESS;
    Old = old;
    Set(value);
  }
  ~WineSetting() {
    if (!Key) return;
    if (Had) {
      Set(Old.c_str());
    } else {
      RegDeleteValueA(Key, Name.c_str());
    }
    RegCloseKey(Key);
  }
  WineSetting(const WineSetting&) = delete;
  WineSetting& operator=(const WineSetting&) = delete;

 private:
  void Set(const char* value) {
    RegSetValueExA(Key, Name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                   static_cast<DWORD>(std::strlen(value) + 1));
  }
  HKEY Key = nullptr;
  std::string Name;
  bool Had = false;
  std::string Old;
};

// The window of the system's preview box, 152 x 112, as the display settings hold it.
HWND MakePreviewBox() {
  WNDCLASSA wc{};
  wc.lpfnWndProc = DefWindowProcA;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "FirstFramePreviewBox";
  RegisterClassA(&wc);
  return CreateWindowExA(0, wc.lpszClassName, "preview box", WS_POPUP | WS_VISIBLE, 100, 100, 152,
                         112, nullptr, nullptr, wc.hInstance, nullptr);
}

enum class Program { Saver, FloorD3D, FloorGdi };

struct Case {
  const char* Name;
  Program Started;
  const char* Switches = "";      // the saver's command line after its name
  const char* Driver = nullptr;   // the Driver setting for the run
  const char* WineKey = nullptr;  // a value set under HKCU for the run: key, name, value
  const char* WineName = nullptr;
  const char* WineValue = nullptr;
  bool PreviewBox = false;      // /p with a 152 x 112 window of this program
  const char* Floor = nullptr;  // the case whose median is this one's floor
  bool Fallback = false;        // limited by the GDI+ run instead
};

const Case Cases[] = {
    {"floor: bare Direct3D 7", Program::FloorD3D},
    {"floor: trivial GDI window", Program::FloorGdi},
    {"run, Direct3D (/s)", Program::Saver, "/s", "DirectDraw", nullptr, nullptr, nullptr, false,
     "floor: bare Direct3D 7"},
    {"run, GDI+ (/s)", Program::Saver, "/s", "GDI+", nullptr, nullptr, nullptr, false,
     "floor: trivial GDI window"},
    {"preview, /p 0", Program::Saver, "/p 0", "DirectDraw", nullptr, nullptr, nullptr, false,
     "floor: trivial GDI window"},
    {"preview, /p HWND 152 x 112", Program::Saver, "/p", "DirectDraw", nullptr, nullptr, nullptr,
     true, "floor: trivial GDI window"},
    {"fallback, renderer no3d (/s)", Program::Saver, "/s", "DirectDraw", "Software\\Wine\\Direct3D",
     "renderer", "no3d", false, "run, GDI+ (/s)", true},
    {"fallback, ddraw disabled (/s)", Program::Saver, "/s", "DirectDraw",
     "Software\\Wine\\DllOverrides", "ddraw", "", false, "run, GDI+ (/s)", true},
};

Outcome RunCase(const Case& c, DWORD timeoutMs) {
  const std::string folder = ThisFolder();
  std::string command;
  switch (c.Started) {
    case Program::FloorD3D:
      command = "\"" + folder + "first_frame_floor_d3d.exe\"";
      break;
    case Program::FloorGdi:
      command = "\"" + folder + "first_frame_floor_gdi.exe\"";
      break;
    case Program::Saver:
      command = "\"" + folder + "first_frame_saver.exe\" " + std::string(c.Switches);
      break;
  }
  if (c.Driver) StoreDriver(c.Driver);
  WineSetting wine(c.WineKey, c.WineName, c.WineValue);
  HWND box = c.PreviewBox ? MakePreviewBox() : nullptr;
  if (box) command += " " + std::to_string(reinterpret_cast<uintptr_t>(box));
  Outcome outcome = Time(command, timeoutMs);
  if (box) DestroyWindow(box);
  PumpMessages();
  return outcome;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

struct Tally {
  std::vector<Outcome> Runs;
  std::vector<double> Presents() const {
    std::vector<double> all;
    for (const Outcome& o : Runs)
      if (o.FirstPresent) all.push_back(*o.FirstPresent);
    return all;
  }
  std::optional<double> MedianPresent() const {
    const std::vector<double> all = Presents();
    if (all.empty() || all.size() * 2 <= Runs.size()) return std::nullopt;
    return Median(all);
  }
};

// The median of one stamp over the runs that have it.
std::optional<double> MedianStamp(const Tally& t, const char* name) {
  std::vector<double> all;
  for (const Outcome& o : t.Runs) {
    auto it = o.Stamps.find(name);
    if (it != o.Stamps.end()) all.push_back(it->second);
  }
  if (all.empty()) return std::nullopt;
  return Median(all);
}

std::string Ms(std::optional<double> ms) {
  char text[32];
  if (!ms) return "-";
  std::snprintf(text, sizeof text, "%.0f", *ms);
  return text;
}

// Every stamp a mode wrote, by its median, for a closer look at where the time goes.
void ReportStamps(const std::map<std::string, Tally>& tallies) {
  std::printf("\nEvery stamp (medians, ms from CreateProcess; + the step from the one before):\n");
  for (const Case& c : Cases) {
    const Tally& t = tallies.at(c.Name);
    std::vector<std::pair<double, std::string>> order;
    std::map<std::string, bool> seen;
    for (const Outcome& o : t.Runs)
      for (const auto& [name, ms] : o.Stamps)
        if (!std::exchange(seen[name], true))
          order.push_back({*MedianStamp(t, name.c_str()), name});
    if (order.empty()) continue;
    std::sort(order.begin(), order.end());
    std::printf("%s:\n", c.Name);
    double before = 0;
    for (const auto& [ms, name] : order) {
      std::printf("    %-18s %7.0f  +%.0f\n", name.c_str(), ms, ms - before);
      before = ms;
    }
  }
}

void Report(const std::map<std::string, Tally>& tallies, int runs) {
  std::printf("\nFirst frame, ms from CreateProcess to the first present (median of %d):\n", runs);
  std::printf("%-30s %7s %7s %7s  %-9s %7s %7s  %s\n", "mode", "median", "min", "max", "present",
              "floor", "limit", "verdict");
  for (const Case& c : Cases) {
    const Tally& t = tallies.at(c.Name);
    const std::vector<double> all = t.Presents();
    const std::optional<double> median = t.MedianPresent();
    std::string kind = "-";
    for (const Outcome& o : t.Runs)
      if (o.FirstPresent) kind = o.Kind;
    std::optional<double> floor, limit;
    if (c.Floor) {
      floor = tallies.at(c.Floor).MedianPresent();
      if (floor) limit = c.Fallback ? 1.5 * *floor + 300 : 1.2 * *floor + 100;
    }
    std::string verdict;
    if (!median) {
      verdict =
          "no first frame: " + (t.Runs.empty() ? std::string("not run") : t.Runs.back().Failure);
    } else if (limit) {
      verdict = *median <= *limit ? "within" : "OVER by " + Ms(*median - *limit);
    }
    std::printf(
        "%-30s %7s %7s %7s  %-9s %7s %7s  %s\n", c.Name, Ms(median).c_str(),
        Ms(all.empty() ? std::nullopt : std::optional(*std::min_element(all.begin(), all.end())))
            .c_str(),
        Ms(all.empty() ? std::nullopt : std::optional(*std::max_element(all.begin(), all.end())))
            .c_str(),
        kind.c_str(), Ms(floor).c_str(), Ms(limit).c_str(), verdict.c_str());
  }
  std::printf(
      "\nlimit: 1.2 x floor + 100 ms; a fallback's: 1.5 x the GDI+ run's + 300 ms (its 'floor' "
      "column).\npresent: flip (Direct3D), layered (a bubble window's first update), blit (the "
      "frame copied to the window).\nfallback: Driver DirectDraw with "
      "HKCU\\Software\\Wine\\Direct3D "
      "renderer = \"no3d\", or with ddraw.dll\ndisabled (HKCU\\Software\\Wine\\DllOverrides ddraw "
      "= "
      "\"\", as ddraw= in WINEDLLOVERRIDES).\n");
  std::printf(
      "\nWhere the saver's time went (medians, ms from CreateProcess): main = its "
      "entry, imports loaded;\nstartup/started = start-up begun/done in the host window's "
      "creation; tick = the first host tick.\n");
  std::printf("%-30s %7s %7s %7s %7s %7s\n", "mode", "main", "startup", "started", "tick",
              "present");
  for (const Case& c : Cases) {
    const Tally& t = tallies.at(c.Name);
    std::printf("%-30s %7s %7s %7s %7s %7s\n", c.Name, Ms(MedianStamp(t, "main")).c_str(),
                Ms(MedianStamp(t, "startup")).c_str(), Ms(MedianStamp(t, "started")).c_str(),
                Ms(MedianStamp(t, "tick")).c_str(), Ms(t.MedianPresent()).c_str());
  }
}

int RunTheTiming(int argc, char** argv) {
  int runs = 5;
  DWORD timeoutMs = 10000;
  std::string only;
  bool everyStamp = false;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--stamps") == 0) everyStamp = true;
  }
  for (int i = 1; i + 1 < argc; ++i) {
    const std::string option = argv[i];
    if (option == "--runs") runs = std::max(1, std::atoi(argv[i + 1]));
    if (option == "--timeout")
      timeoutMs = static_cast<DWORD>(std::max(1, std::atoi(argv[i + 1]))) * 1000;
    if (option == "--only") only = argv[i + 1];
  }
  std::printf(
      "screen %dx%d; %d runs a mode, interleaved; a run without a first frame is ended "
      "after %lu s\n",
      GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), runs,
      static_cast<unsigned long>(timeoutMs / 1000));
  std::fflush(stdout);
  std::map<std::string, Tally> tallies;
  for (const Case& c : Cases) tallies[c.Name];
  for (int run = 1; run <= runs; ++run) {
    for (const Case& c : Cases) {
      const bool wanted = only.empty() || std::strstr(c.Name, only.c_str()) ||
                          std::any_of(std::begin(Cases), std::end(Cases), [&](const Case& other) {
                            return other.Floor && std::strcmp(other.Floor, c.Name) == 0 &&
                                   std::strstr(other.Name, only.c_str());
                          });
      if (!wanted) continue;
      const Outcome o = RunCase(c, timeoutMs);
      std::printf(
          "run %d  %-30s %s\n", run, c.Name,
          o.FirstPresent ? (Ms(o.FirstPresent) + " ms, " + o.Kind).c_str() : o.Failure.c_str());
      std::fflush(stdout);
      tallies[c.Name].Runs.push_back(o);
      Sleep(500);  // the last one's windows and wineserver work settle
    }
  }
  Report(tallies, runs);
  if (everyStamp) ReportStamps(tallies);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  return RunTheTiming(argc, argv);
}
