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

// The function of that name in a system library, loading the library at the first call:
// a library that only the settings dialog or the chime needs (comdlg32 alone brings shell32
// and a dozen more) is then not loaded, and its start-up not paid, by every run.
template <class Procedure>
Procedure LibraryProcedure(const char* library, const char* name) {
  HMODULE module = GetModuleHandleA(library);
  if (!module) module = LoadLibraryA(library);
  return ProcedureAddress<Procedure>(module, name);
}
