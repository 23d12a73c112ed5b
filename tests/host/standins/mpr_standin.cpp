// A stand-in for MPR.DLL of Windows 95/98/Me: its password-change entry records the four
// arguments it was given and changes nothing.
#include <windows.h>

#include "standin_log.h"

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) standin::Log("loaded mpr.dll by %s", standin::ProgramName());
  return TRUE;
}

extern "C" __declspec(dllexport) DWORD WINAPI
    PwdChangePasswordA(LPCSTR provider, HWND window, DWORD reserved1, DWORD reserved2) {
  standin::Log("change provider=%s window=%lu reserved=%lu,%lu", provider ? provider : "(null)",
               static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(window)),
               static_cast<unsigned long>(reserved1), static_cast<unsigned long>(reserved2));
  return 0;
}
