// How the programs that first_frame starts report back: one line "stamp NAME TICKS" on
// standard output (a pipe of the timing program) per moment, TICKS being the machine's
// performance counter, which every process of the machine reads alike.
#pragma once

#include <windows.h>

#include <cstdio>

inline void WriteStamp(const char* name) {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  char line[96];
  const int length = std::snprintf(line, sizeof line, "stamp %s %lld\n", name,
                                   static_cast<long long>(now.QuadPart));
  DWORD written = 0;
  WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), line, static_cast<DWORD>(length), &written, nullptr);
}

// The first present is all a run is started for: it ends at once, with no teardown to wait for.
[[noreturn]] inline void StampFirstPresentAndEnd(const char* kind) {
  WriteStamp(kind);
  TerminateProcess(GetCurrentProcess(), 0);
  ExitProcess(0);
}
