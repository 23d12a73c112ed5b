#include "host/win/screen_saver.h"

#include <cstdlib>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "framework/display_scale.h"
#include "framework/win/dpi.h"
#include "framework/win/error_report.h"
#include "framework/win/form.h"
#include "framework/win/monitors.h"
#include "framework/win/monotonic_clock.h"
#include "framework/win/procedure.h"
#include "framework/win/timing_seams.h"
#include "host/win/run_reports.h"

ScreenSaverMode SaverMode = smRun;
SaverProcedure StartupProc = nullptr;
SaverProcedure TickProc = nullptr;
SaverProcedure FinishProc = nullptr;
int32_t TimerInterval = 0;
bool HostTimerActive = false;
POINT MouseOrigin = {0, 0};
HMODULE PasswordLibrary = nullptr;
VerifyScreenSavePwdProc VerifyProc = nullptr;
bool PasswordCheckActive = false;

namespace {

constexpr UINT ScreenSaverRunningAction = 97;  // SPI_SETSCREENSAVERRUNNING
constexpr DWORD ClassStyle = CS_OWNDC | CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
constexpr DWORD PreviewStyle = WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN;
constexpr DWORD RunStyle = WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;

SceneShownProcedure SceneShownProc = nullptr;
bool DisplayOn = true;  // as the last display notice said
bool ReportBoxUp = false;
bool SessionEnding = false;  // between a log-off's question and its end
bool PromptUp = false;       // the platform's password prompt is on the screen
// The host stays where the prompt's start put it, below the prompt: wine's activation, which
// follows the X server's focus events, may otherwise raise it over the prompt a moment later.
bool HostPlaceHeld = false;

using TopmostBand = std::vector<HWND>;
constexpr UINT Quietly = SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE;
TopmostBand HideTopmostWindows(HWND host);
void RaiseHostAgain(HWND host, const TopmostBand& hidden);
bool SceneShown = true;  // as the program was last told
GridPace HostTimerPace;  // only while the tests' timer grid is on

// The GUIDs of the two display notices (winnt.h defines them only for newer targets).
constexpr GUID ConsoleDisplayStateGuid = {
    0x6fe69556, 0x704a, 0x47a0, {0x8f, 0x24, 0xc2, 0x8d, 0x93, 0x6f, 0xda, 0x47}};
constexpr GUID MonitorPowerOnGuid = {
    0x02731015, 0x4510, 0x4526, {0x99, 0xe6, 0xe5, 0xa1, 0x7e, 0xbd, 0x1a, 0xea}};
constexpr WPARAM PowerSettingChange = 0x8013;  // PBT_POWERSETTINGCHANGE

// POWERBROADCAST_SETTING's layout, whatever the headers' target.
struct PowerSettingNotice {
  GUID PowerSetting;
  DWORD DataLength;
  UCHAR Data[1];
};

// The first error a callback threw; RunScreenSaver rethrows it after the loop.
std::exception_ptr PendingError;
// False until start-up has returned: a window whose creation failed gets no finish
// and posts no quit message (a stray WM_QUIT would close the error box at once).
bool StartupCompleted = false;

void KeepFirstError(std::exception_ptr error) {
  if (error && !PendingError) PendingError = error;
}

template <class Action>
bool Guarded(Action&& action) {
  std::exception_ptr error = CapturedCall(action);
  KeepFirstError(error);
  return !error;
}

POINT CursorNow() {
  POINT point{0, 0};
  GetCursorPos(&point);
  return point;
}

void PostClose(HWND window) {
  PostMessageA(window, WM_CLOSE, 0, 0);
}

// When the display last changed; the cursor the system moves then is no user's.
static std::optional<DWORD> DisplayChangedAt;
static std::optional<ScreenRect> SeenVirtualScreen;

// The system may move the cursor for a display change before it tells the windows of the
// change, so the mouse rule also looks at the virtual screen itself.
static void NoteDisplayChange() {
  const ScreenRect screen = VirtualScreenBounds();
  if (SeenVirtualScreen && *SeenVirtualScreen != screen) DisplayChangedAt = GetTickCount();
  SeenVirtualScreen = screen;
}

// The run's mouse rule, by the cursor's position: more than 5 pixels (at 96 dpi; the
// primary monitor's scale gives the real pixels) from MouseOrigin on either axis closes
// the window.
bool CloseIfMouseMoved(HWND window) {
  static const int32_t slack = DisplayScale(PrimaryMonitorDpi()).ToPhysical(MouseSlack);
  const POINT now = CursorNow();
  NoteDisplayChange();
  if (DisplayChangedAt && CursorSettlingAfterDisplayChange(*DisplayChangedAt, GetTickCount())) {
    MouseOrigin = now;
    return false;
  }
  if (!MovedBeyondSlack({MouseOrigin.x, MouseOrigin.y}, {now.x, now.y}, slack)) return false;
  PostClose(window);
  return true;
}

bool ExistingRunWindow() {
  HWND other = FindWindowA(HostWindowClass, RunTitle);
  return other && IsWindow(other);
}

// HWND from the command line: 0 is no parent, and only a live window may be a parent.
bool ResolvePreviewParent(int32_t handle, HWND& parent) {
  parent = nullptr;
  switch (ClassifyPreviewHandle(handle)) {
    case PreviewParentKind::None:
      return true;
    case PreviewParentKind::NoSuchWindow:
      return false;
    case PreviewParentKind::Candidate:
      parent = reinterpret_cast<HWND>(static_cast<intptr_t>(handle));
      return IsWindow(parent) != FALSE;
  }
  return false;
}

struct HostPlacement {
  int Left;
  int Top;
  int Width;
  int Height;
  DWORD Style;
  DWORD ExStyle;
  const char* Title;
};

// The preview fills the parent's client area, whose origin is (0, 0).
HostPlacement PreviewPlacement(HWND parent) {
  RECT client{};
  GetClientRect(parent, &client);
  return {0, 0, client.right, client.bottom, PreviewStyle, 0, PreviewTitle};
}

// Every monitor: the virtual screen, whose corner may lie left of or above the primary's.
HostPlacement RunPlacement() {
  const ScreenRect desktop = VirtualScreenBounds();
  return {desktop.Left, desktop.Top,   desktop.Width(), desktop.Height(),
          RunStyle,     WS_EX_TOPMOST, RunTitle};
}

WNDCLASSA HostClass() {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  WNDCLASSA windowClass{};
  windowClass.style = ClassStyle;
  windowClass.lpfnWndProc = HostWindowProc;
  windowClass.hInstance = instance;
  windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(100));
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  windowClass.lpszClassName = HostWindowClass;
  return windowClass;
}

// Display notices for a full-screen host window, for as long as this lives. The calls are
// newer than the oldest system the program runs on, so they are looked up; the notice
// asked for follows the system's version, because a registration that succeeds says
// nothing (wine answers with a handle and never notifies).
class DisplayPowerWatch {
 public:
  explicit DisplayPowerWatch(HWND window) {
    using Register = HANDLE(WINAPI*)(HANDLE, LPCGUID, DWORD);
    HMODULE user = GetModuleHandleA("user32.dll");
    auto registerNotice = ProcedureAddress<Register>(user, "RegisterPowerSettingNotification");
    Unregister = ProcedureAddress<UnregisterProc>(user, "UnregisterPowerSettingNotification");
    if (!registerNotice || !Unregister) return;
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof version;
    if (!GetVersionExA(&version)) return;
    const GUID& notice = ChooseDisplayNotice(version.dwMajorVersion, version.dwMinorVersion) ==
                                 DisplayNotice::ConsoleDisplayState
                             ? ConsoleDisplayStateGuid
                             : MonitorPowerOnGuid;
    Handle = registerNotice(window, &notice, 0 /* DEVICE_NOTIFY_WINDOW_HANDLE */);
  }
  ~DisplayPowerWatch() {
    if (Handle && Unregister) Unregister(Handle);
  }
  DisplayPowerWatch(const DisplayPowerWatch&) = delete;
  DisplayPowerWatch& operator=(const DisplayPowerWatch&) = delete;

 private:
  using UnregisterProc = BOOL(WINAPI*)(HANDLE);
  UnregisterProc Unregister = nullptr;
  HANDLE Handle = nullptr;
};

void RunMessageLoop() {
  MSG message{};
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    if (PreTranslateFormMessage(message)) continue;  // the driver form's key preview
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

void ChangePassword() {
  using PwdChangePasswordProc = DWORD(WINAPI*)(LPCSTR, HWND, DWORD, DWORD);
  HWND parent = reinterpret_cast<HWND>(static_cast<intptr_t>(HandleArgument(ProgramArguments())));
  char directory[MAX_PATH] = {};
  UINT length = GetSystemDirectoryA(directory, MAX_PATH);
  std::string path(directory, length < MAX_PATH ? length : 0);
  if (!path.empty() && path.back() != '\\') path += '\\';
  HMODULE library = LoadLibraryA((path + "MPR.DLL").c_str());
  if (!library) return;
  auto change = ProcedureAddress<PwdChangePasswordProc>(library, "PwdChangePasswordA");
  if (change) change("SCRSAVE", parent, 0, 0);
  FreeLibrary(library);
}

// The preview's first frame comes at once, not a tick later; the window is painted
// first, so that erasing it cannot wipe the frame out.
void DrawFirstPreviewFrame(HWND window) {
  if (!HostTimerActive) return;
  UpdateWindow(window);
  SendMessageA(window, WM_TIMER, HostTimerId, 0);
}

void RunWindowModes() {
  struct VerifierScope {
    ~VerifierScope() { UnloadPasswordVerifier(); }
  } verifier;
  LoadPasswordVerifier();
  HWND parent = nullptr;
  bool usable = true;
  if (SaverMode == smPreview)
    usable = ResolvePreviewParent(HandleArgument(ProgramArguments()), parent);
  DisplayOn = true;
  ReportBoxUp = false;
  SessionEnding = false;
  SceneShown = true;
  std::optional<RunReportQueue> reports;
  if (SaverMode == smRun) {
    reports.emplace();
    // Activation sets it again; a run that is never activated still measures from here.
    MouseOrigin = CursorNow();
  }
  HWND window = usable ? CreateHostWindow(parent) : nullptr;
  if (window && reports) reports->HostWindowMade();
  if (window) {
    StartHostTimer(window);
    if (SaverMode == smPreview) DrawFirstPreviewFrame(window);
    if (SaverMode != smPreview) SetForegroundWindow(window);
    // A preview inside another program's window rests with that program.
    std::optional<DisplayPowerWatch> power;
    if (!parent) power.emplace(window);
    RunMessageLoop();
  }
}

// The scene makes frames and sound only while someone can see them: not while the display
// is off, not under a modal error box, whose topmost bubble windows would otherwise keep
// rising over it, and not once a log-off has asked to end the session.
void TellSceneWhetherShown(HWND window) {
  const bool shown = DisplayOn && !ReportBoxUp && !SessionEnding && !PromptUp;
  if (shown == SceneShown) return;
  SceneShown = shown;
  if (SceneShownProc) Guarded([&] { SceneShownProc(window, SaverMode, shown); });
}

// A log-off or shutdown is never held up: yes at once, and the end of the session ends the
// program as a close would, without asking for a password (the user is leaving).
bool HandleEndOfSession(HWND window, UINT message, WPARAM wParam, LRESULT& result) {
  switch (message) {
    case WM_QUERYENDSESSION:
      // No more frames: the end of the session follows at once, and must not wait behind
      // one. Should another program refuse the log-off, the frames start again.
      StopHostTimer(window);
      SessionEnding = true;
      if (StartupCompleted) TellSceneWhetherShown(window);
      result = TRUE;
      return true;
    case WM_ENDSESSION:
      if (wParam) {
        DestroyWindow(window);
      } else {
        SessionEnding = false;
        if (DisplayOn) StartHostTimer(window);
        if (StartupCompleted) TellSceneWhetherShown(window);
      }
      result = 0;
      return true;
    default:
      return false;
  }
}

void ReportBoxChanged(HWND window, bool up) {
  ReportBoxUp = up;
  TellSceneWhetherShown(window);
}

// The virtual screen the run's window was last laid over.
static std::optional<ScreenRect> CoveredScreen;

// The run's window over the whole virtual screen, painted again, since a display change may
// have thrown away what it showed. A preview stays in its parent.
static void CoverVirtualScreen(HWND window) {
  if ((GetWindowLongA(window, GWL_STYLE) & WS_CHILD) != 0) return;
  const ScreenRect desktop = VirtualScreenBounds();
  SetWindowPos(window, HWND_TOPMOST, desktop.Left, desktop.Top, desktop.Width(), desktop.Height(),
               SWP_NOACTIVATE);
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
  CoveredScreen = desktop;
}

// The display-change broadcast passes by a thread the system thinks hung, as a long frame
// on a slow machine can make it look: each tick also looks for a change it missed. Only a
// change of the virtual screen counts, not the window's own size, which a full-screen
// Direct3D mode sets for a moment.
static void CoverVirtualScreenIfChanged(HWND window) {
  if ((GetWindowLongA(window, GWL_STYLE) & WS_CHILD) != 0) return;
  RECT placed{};
  if (!CoveredScreen && GetWindowRect(window, &placed))
    CoveredScreen = ScreenRect{placed.left, placed.top, placed.right, placed.bottom};
  if (CoveredScreen && *CoveredScreen != VirtualScreenBounds()) CoverVirtualScreen(window);
}

// Every tick of a run: the mouse rule by the cursor itself, so that a movement ends the
// run whichever window it reached (a bubble window, an error box, the host while that box
// disables it); then the cover, and any error report waiting for the run to be shown.
void WatchRunFromTick(HWND window) {
  if (CloseIfMouseMoved(window)) return;
  CoverVirtualScreenIfChanged(window);
  ShowQueuedRunReports(window, ReportBoxChanged);
}

// Off stops the host's timer and tells the program; on starts both again. A dimmed display
// still shows the frames, and a repeated state changes nothing.
void DisplayPowerNotice(HWND window, const PowerSettingNotice& notice) {
  const bool known = IsEqualGUID(notice.PowerSetting, ConsoleDisplayStateGuid) ||
                     IsEqualGUID(notice.PowerSetting, MonitorPowerOnGuid);
  if (!known || notice.DataLength < sizeof(DWORD)) return;
  DWORD value = 0;
  CopyMemory(&value, notice.Data, sizeof value);
  const bool on = DisplayShowsFrames(value);
  if (on == DisplayOn) return;
  DisplayOn = on;
  if (on) {
    StartHostTimer(window);
  } else {
    StopHostTimer(window);
  }
  TellSceneWhetherShown(window);
}

// Only top-level windows hear of a new power source or display mode: the driver's form,
// a child, chooses its frames' pace by them.
void TellDriverForms(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    SendMessageA(child, message, wParam, lParam);
}

bool IsButtonDown(UINT message) {
  return message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN || message == WM_MBUTTONDOWN;
}

bool HandleCommonMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  switch (message) {
    case WM_CREATE:
      // Start-up runs inside CreateWindowExA, before the window is shown: a desktop copy
      // taken there shows the desktop, not our black window. Its failure fails creation.
      StartupCompleted = false;
      if (StartupProc && !Guarded([&] { StartupProc(window, SaverMode); })) {
        result = -1;
        return true;
      }
      StartupCompleted = true;
      result = 0;
      return true;
    case WM_DESTROY:
      StopHostTimer(window);
      if (!StartupCompleted) return true;
      if (FinishProc) Guarded([&] { FinishProc(window, SaverMode); });
      PostQuitMessage(0);
      return true;
    case WM_DISPLAYCHANGE:
      // Monitors came, went or changed mode (Alt+Enter's full-screen switch among them):
      // the window covers the new virtual screen, so no monitor shows the desktop. The
      // world keeps its size.
      DisplayChangedAt = GetTickCount();
      NoteDisplayChange();
      CoverVirtualScreen(window);
      TellDriverForms(window, message, wParam, lParam);
      return false;
    case WM_POWERBROADCAST:
      if (wParam == PBT_APMPOWERSTATUSCHANGE) TellDriverForms(window, message, wParam, lParam);
      if (wParam != PowerSettingChange || !lParam || !StartupCompleted) return false;
      DisplayPowerNotice(window, *reinterpret_cast<const PowerSettingNotice*>(lParam));
      result = TRUE;
      return true;
    case WM_TIMER:
      if (wParam != HostTimerId || !TickProc) return false;
      if (TimerGridOn() && HostTimerActive) {
        SetTimer(window, HostTimerId,
                 HostTimerPace.Next(static_cast<uint32_t>(TimerInterval), MonotonicMicroseconds()),
                 nullptr);
      }
      // A tick that throws ends the run; the error is reported once the loop is over.
      if (!Guarded([&] { TickProc(window, SaverMode); })) DestroyWindow(window);
      return true;
    default:
      return false;
  }
}

bool HandleRunMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  result = 0;
  switch (message) {
    case WM_ACTIVATE:
      if (wParam == 0) return false;
      MouseOrigin = CursorNow();
      return true;
    case WM_CLOSE:
      if (!IsWindows9xFamily() || CheckPassword(window) != 0) return false;
      MouseOrigin = CursorNow();
      return true;
    case WM_SHOWWINDOW:
      if (wParam != 0) SetCursor(nullptr);
      return false;
    case WM_SETCURSOR:
      // TRUE stops the search: the driver form over this window asks its parent first,
      // and would otherwise put its own arrow back.
      SetCursor(nullptr);
      // A click on this window while an error box disables it arrives only this way.
      if (IsButtonDown(HIWORD(lParam))) PostClose(window);
      result = TRUE;
      return true;
    case WM_NCACTIVATE:
      return wParam == 0;
    case WM_SYSCOMMAND:
      return wParam == SC_SCREENSAVE || wParam == SC_CLOSE;
    case WM_MOUSEMOVE:
      return CloseIfMouseMoved(window);
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
      PostClose(window);
      return true;
    default:
      return false;
  }
}

// The thread's other visible topmost windows (a driver's bubble windows) are hidden while
// the prompt is up, so that it comes up above every window of ours. Taking them out of the
// band is not enough: they are owned by the host, and wine keeps an owned window topmost
// while it sits above its owner.
TopmostBand HideTopmostWindows(HWND host) {
  TopmostBand hidden;
  const DWORD thread = GetCurrentThreadId();
  for (HWND other = GetTopWindow(nullptr); other; other = GetWindow(other, GW_HWNDNEXT)) {
    if (other == host || GetWindowThreadProcessId(other, nullptr) != thread) continue;
    if (!IsWindowVisible(other) || (GetWindowLongA(other, GWL_EXSTYLE) & WS_EX_TOPMOST) == 0)
      continue;
    hidden.push_back(other);
  }
  for (HWND other : hidden) SetWindowPos(other, nullptr, 0, 0, 0, 0, Quietly | SWP_HIDEWINDOW);
  return hidden;
}

// Puts the host back into the topmost band below the windows it owns, and shows them again.
// Wine places an owner after its owned windows, and a window placed after the band's last
// window stays out of the band: a hidden topmost window that no one owns, put just below the
// owned ones first, keeps the band going past the host for that move.
void RaiseHostAgain(HWND host, const TopmostBand& hidden) {
  constexpr UINT bandOnly = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;
  HWND keeper = nullptr;
  if (!hidden.empty()) {
    keeper = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, "STATIC", nullptr, WS_POPUP, 0, 0, 0,
                             0, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (keeper) SetWindowPos(keeper, hidden.back(), 0, 0, 0, 0, bandOnly);
  }
  SetWindowPos(host, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  if (keeper) DestroyWindow(keeper);
  for (HWND other : hidden) {
    if (IsWindow(other)) SetWindowPos(other, nullptr, 0, 0, 0, 0, Quietly | SWP_SHOWWINDOW);
  }
}

}  // namespace

SaverArguments ProgramArguments() {
  SaverArguments arguments;
  for (int i = 1; i < __argc; ++i) arguments.emplace_back(__argv[i]);
  return arguments;
}

void SetSceneShownProcedure(SceneShownProcedure procedure) {
  SceneShownProc = procedure;
}

bool HasSwitch(char Letter) {
  return HasSwitch(ProgramArguments(), Letter);
}

ScreenSaverMode RunScreenSaver(SaverProcedure startup, SaverProcedure tick, SaverProcedure finish,
                               ConfigureProcedure configure, int32_t timerInterval) {
  SaverMode = DecideMode(ProgramArguments());
  switch (SaverMode) {
    case smChangePassword:
      if (IsWindows9xFamily()) ChangePassword();
      return SaverMode;
    case smConfigure:
      if (configure) configure(GetForegroundWindow());
      return SaverMode;
    case smPreview:
    case smRun:
      break;
  }
  StartupProc = startup;
  TickProc = tick;
  FinishProc = finish;
  TimerInterval = timerInterval;
  PendingError = nullptr;
  RunWindowModes();
  if (PendingError) std::rethrow_exception(std::exchange(PendingError, nullptr));
  return SaverMode;
}

HWND CreateHostWindow(HWND Parent) {
  HostPlacement placement = Parent ? PreviewPlacement(Parent) : RunPlacement();
  // A full-screen run is already going on.
  if (!Parent && ExistingRunWindow()) return nullptr;
  WNDCLASSA windowClass = HostClass();
  if (!RegisterClassA(&windowClass)) return nullptr;
  // A preview is made in its parent's dpi awareness: Windows can refuse a child window
  // of another awareness than its parent's.
  DpiAwarenessOf parentAwareness(Parent);
  return CreateWindowExA(placement.ExStyle, HostWindowClass, placement.Title, placement.Style,
                         placement.Left, placement.Top, placement.Width, placement.Height, Parent,
                         nullptr, windowClass.hInstance, nullptr);
}

LRESULT CALLBACK HostWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (HandleEndOfSession(window, message, wParam, result)) return result;
  // While the platform's password prompt runs its own loop, nothing of ours may run. A close
  // that arrives meanwhile is the prompt's to answer (the default would destroy the window
  // under it); a destruction, as at a log-off, still finishes the program.
  if (PasswordCheckActive && message == WM_CLOSE) return 0;
  if (HostPlaceHeld && message == WM_WINDOWPOSCHANGING)
    reinterpret_cast<WINDOWPOS*>(lParam)->flags |= SWP_NOZORDER;
  if (PasswordCheckActive && message != WM_DESTROY)
    return DefWindowProcA(window, message, wParam, lParam);
  if (SaverMode == smRun && message == WM_TIMER && wParam == HostTimerId) {
    WatchRunFromTick(window);
    if (!IsWindow(window)) return 0;  // the run ended while an error box was up
  }
  if (HandleCommonMessage(window, message, wParam, lParam, result)) return result;
  if (SaverMode == smRun && HandleRunMessage(window, message, wParam, lParam, result))
    return result;
  return DefWindowProcA(window, message, wParam, lParam);
}

void StartHostTimer(HWND window) {
  const UINT delay =
      TimerGridOn() && TimerInterval > 0
          ? HostTimerPace.Start(static_cast<uint32_t>(TimerInterval), MonotonicMicroseconds())
          : static_cast<UINT>(TimerInterval);
  HostTimerActive =
      TickProc && TimerInterval > 0 && SetTimer(window, HostTimerId, delay, nullptr) != 0;
}

void StopHostTimer(HWND window) {
  if (!HostTimerActive) return;
  KillTimer(window, HostTimerId);
  // Ticks already queued would otherwise reach a finished world after finish has run.
  MSG pending{};
  while (PeekMessageA(&pending, window, WM_TIMER, WM_TIMER, PM_REMOVE)) {
  }
  HostTimerActive = false;
}

bool IsWindows9xFamily() {
  OSVERSIONINFOA version{};
  version.dwOSVersionInfoSize = sizeof version;
  return GetVersionExA(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS;
}

void LoadPasswordVerifier() {
  if (!IsWindows9xFamily()) return;
  if (PasswordLibrary) UnloadPasswordVerifier();
  HKEY key = nullptr;
  if (RegOpenKeyA(HKEY_CURRENT_USER, "Control Panel\\Desktop", &key) != ERROR_SUCCESS) return;
  DWORD usePassword = 0;
  DWORD size = sizeof usePassword;
  LONG read = RegQueryValueExA(key, "ScreenSaveUsePassword", nullptr, nullptr,
                               reinterpret_cast<BYTE*>(&usePassword), &size);
  if (read == ERROR_SUCCESS && usePassword != 0) {
    PasswordLibrary = LoadLibraryA("PASSWORD.CPL");
    if (PasswordLibrary) {
      VerifyProc =
          ProcedureAddress<VerifyScreenSavePwdProc>(PasswordLibrary, "VerifyScreenSavePwd");
      if (VerifyProc) {
        SetScreenSaverRunning(true);
      } else {
        UnloadPasswordVerifier();
      }
    }
  }
  RegCloseKey(key);
}

void UnloadPasswordVerifier() {
  if (!IsWindows9xFamily() || !PasswordLibrary) return;
  FreeLibrary(PasswordLibrary);
  PasswordLibrary = nullptr;
  VerifyProc = nullptr;
  SetScreenSaverRunning(false);
}

int32_t CheckPassword(HWND window) {
  if (!VerifyProc) return -1;
  PasswordCheckActive = true;
  PromptUp = true;
  TellSceneWhetherShown(window);
  const TopmostBand hidden = HideTopmostWindows(window);
  SetWindowPos(window, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  HostPlaceHeld = true;
  int32_t accepted = VerifyProc(window);
  HostPlaceHeld = false;
  // A log-off during the prompt may have ended the run already.
  if (IsWindow(window)) {
    RaiseHostAgain(window, hidden);
  }
  PromptUp = false;
  PasswordCheckActive = false;
  if (IsWindow(window)) TellSceneWhetherShown(window);
  return accepted;
}

void SetScreenSaverRunning(bool On) {
  DWORD scratch = 0;
  SystemParametersInfoA(ScreenSaverRunningAction, On ? UINT(-1) : 0, &scratch, 0);
}
