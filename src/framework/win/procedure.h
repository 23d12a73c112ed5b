// A function looked up at run time, for what is newer than the oldest Windows the program
// starts on or lives in a library that may be missing.
#pragma once

#include <windows.h>

// The function of that name in the module, as the type given; null when the module or the
// function is missing. FARPROC has no parameters: going through void(*)() states that
// the cast is meant.
template <class Procedure>
Procedure ProcedureAddress(HMODULE module, const char* name) {
  if (!module) return nullptr;
  return reinterpret_cast<Procedure>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}
