// The screen-saver shell: decides the mode from the command line, runs the configure
// procedure or the password change, or makes the host window (full screen, or a child of
// the system's preview window), ticks it on timer 1 and pumps messages until the window
// is destroyed. It knows nothing of bubbles: the program hands it four procedures.
//
// Error boundary: no exception unwinds through HostWindowProc. One thrown by start-up
// (inside WM_CREATE) makes the creation fail; one thrown by a tick ends the run like a
// close; either is rethrown by RunScreenSaver once the window is gone and the password
// verifier is unloaded, so the program's entry reports it as any uncaught error.
#pragma once

#include <windows.h>

#include <cstdint>
#include <exception>

#include "host/command_line.h"
#include "host/startup_rules.h"

using SaverProcedure = void (*)(HWND window, ScreenSaverMode mode);
using ConfigureProcedure = void (*)(HWND parent);

inline constexpr char HostWindowClass[] = "WindowsScreenSaverClass";
inline constexpr char RunTitle[] = "Screen Saver";
inline constexpr char PreviewTitle[] = "Preview";
inline constexpr UINT_PTR HostTimerId = 1;

// Process-wide host state, main thread only.
extern ScreenSaverMode SaverMode;
extern SaverProcedure StartupProc;
extern SaverProcedure TickProc;
extern SaverProcedure FinishProc;
extern int32_t TimerInterval;
extern bool HostTimerActive;
extern POINT MouseOrigin;
extern HMODULE PasswordLibrary;
using VerifyScreenSavePwdProc = BOOL(WINAPI*)(HWND window);
extern VerifyScreenSavePwdProc VerifyProc;
extern bool PasswordCheckActive;

// The whole host; returns the mode it ran. Rethrows a start-up or tick error, and the
// conversion error of a bad handle after /p or /a.
ScreenSaverMode RunScreenSaver(SaverProcedure startup, SaverProcedure tick, SaverProcedure finish,
                               ConfigureProcedure configure, int32_t timerInterval);

// Told when nobody can see the scene (false: the display went off, a run's error box came up,
// or a log-off asked to end the session) and when it is seen again (true), in the
// full-screen modes, after the host has stopped or restarted its own timer; the program
// pauses its driver.
using SceneShownProcedure = void (*)(HWND window, ScreenSaverMode mode, bool shown);
void SetSceneShownProcedure(SceneShownProcedure procedure);

// The program's parameters after its name, split by the C run-time's usual rules.
SaverArguments ProgramArguments();
bool HasSwitch(char Letter);

// Null when another full-screen run exists, or registration or creation fails.
HWND CreateHostWindow(HWND Parent);
LRESULT CALLBACK HostWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void StartHostTimer(HWND window);
void StopHostTimer(HWND window);

// The Windows 95/98/Me password services; elsewhere these do nothing.
bool IsWindows9xFamily();
void LoadPasswordVerifier();
void UnloadPasswordVerifier();
int32_t CheckPassword(HWND window);
void SetScreenSaverRunning(bool On);
