// The thread runtime that libstdc++ uses here (winpthreads) imports GetTickCount64 for its
// timed waits, and that function came with Windows Vista: imported, it would keep the program
// from starting on Windows XP. The runtime calls through the import's pointer, which this file
// defines in place of the import library's, so the linker imports nothing and the call goes
// to the system's function where there is one, and to a 64-bit count kept from GetTickCount
// where there is not.
#include <windows.h>

#include "framework/win/procedure.h"

namespace {

using TickCount64Procedure = ULONGLONG(WINAPI*)();

// GetTickCount wraps after 49.7 days; each wrap seen adds 2^32. The pair of the last count and
// the wraps is updated at once, so threads that read the time together agree.
ULONGLONG WINAPI TickCount64FromTickCount() {
  static volatile LONGLONG lastSeen = 0;  // high half: wraps; low half: the last count
  for (;;) {
    const LONGLONG before = lastSeen;
    const DWORD now = GetTickCount();
    ULONGLONG wraps = static_cast<ULONGLONG>(before) >> 32;
    if (now < static_cast<DWORD>(before)) ++wraps;
    const LONGLONG after = static_cast<LONGLONG>((wraps << 32) | now);
    if (InterlockedCompareExchange64(&lastSeen, after, before) == before)
      return (wraps << 32) | now;
  }
}

ULONGLONG WINAPI TickCount64() {
  static const TickCount64Procedure system = [] {
    const auto found =
        ProcedureAddress<TickCount64Procedure>(GetModuleHandleA("kernel32.dll"), "GetTickCount64");
    return found ? found : &TickCount64FromTickCount;
  }();
  return system();
}

}  // namespace

// The import's pointer under its decorated name, as the runtime's objects refer to it.
extern "C" {
TickCount64Procedure ImportedTickCount64 __asm__("__imp__GetTickCount64@0") = &TickCount64;
}
