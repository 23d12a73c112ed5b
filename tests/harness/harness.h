// End-to-end test harness: starts the real vesperine.scr under wine and looks at it
// from outside, as the system and the user would.
//
// Everything here is a plain Win32 call made by the test process; the saver is another
// process. Waits are always bounded; every helper that waits also pumps the test
// thread's messages, because a saver window that is a child of a test window
// (the preview) sends messages to that window and would block until they are handled.
//
// Typical use (GoogleTest):
//   harness::Settings::Clear();                       // no stored values: defaults
//   harness::Settings::SetDword("BallsCount", 3);
//   harness::SaverProcess saver({"/s"});              // killed by its destructor
//   HWND host = harness::WaitForWindow({.ClassName = HostWindowClass,
//                                        .ProcessId = saver.Id()});
//   ASSERT_NE(host, nullptr);
//   harness::WindowInfo info = harness::Describe(host);
//   EXPECT_TRUE(info.Topmost);
//   harness::PostKey(host, VK_SPACE);
//   EXPECT_TRUE(saver.WaitForExit(5000));
//
// Facts about Wine 8 under Xvfb worth knowing when writing a test:
// - a child window owned by another process is not drawn: capture a preview with /p 0;
// - a layered window shows unblended (alpha-0 pixels cut out, the rest over black);
// - GetGuiResources answers 0 for every process: CountGuiObjects then reads the
//   process's GDI handle table and counts its windows instead.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "host/win/screen_saver.h"  // the program's window class and titles

namespace harness {

// ---- Paths ----

// A unix path as wine names it: "Z:" + the path with backslashes. A path that already
// has a drive letter is returned unchanged.
std::string WinePath(const std::string& unixPath);
// The vesperine.scr of this build, as a wine path.
std::string SaverPath();
// A folder for test output (screenshots): the build's test folder, as a wine path.
std::string OutputFolder();

// ---- Waiting ----

// How long a started program may take to show its first window or box. On a PC that is
// about a second; the first start in a fresh wine session, on an emulated CPU beside another
// lane, took over 15 s. A wait ends as soon as the window is there, so only a failure is slower.
inline constexpr DWORD ProgramStartTimeout = 30000;

// Pumps the calling thread's messages and polls condition every pollMs until it holds
// or timeoutMs has passed. Returns the condition's last answer.
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs, DWORD pollMs = 20);
// Pumps messages for the given time (lets a saver run a few frames).
void PumpFor(DWORD milliseconds);
// Dispatches every message already waiting for the calling thread, and returns.
void PumpMessages();

// ---- Processes ----

// One started program. The destructor kills it if it still runs, so a failing test
// leaves no saver behind. Move-only.
class SaverProcess {
 public:
  // Starts program (default: the saver) with the arguments, each quoted as needed.
  explicit SaverProcess(const std::vector<std::string>& arguments,
                        const std::string& program = SaverPath());
  ~SaverProcess();
  SaverProcess(SaverProcess&& other) noexcept;
  SaverProcess& operator=(SaverProcess&& other) = delete;
  SaverProcess(const SaverProcess&) = delete;
  SaverProcess& operator=(const SaverProcess&) = delete;

  bool Started() const { return Process != nullptr; }
  DWORD Id() const { return ProcessId; }
  HANDLE Handle() const { return Process; }
  bool Running() const;
  // True when the process ended within the time (messages are pumped meanwhile).
  bool WaitForExit(DWORD timeoutMs);
  // The exit code once ended; STILL_ACTIVE while it runs.
  DWORD ExitCode() const;
  void Kill();

 private:
  HANDLE Process = nullptr;
  DWORD ProcessId = 0;
};

// The command line CreateProcess gets: each argument quoted when it holds blanks or
// quotes, as the C run-time splits it back.
std::string BuildCommandLine(const std::string& program, const std::vector<std::string>& arguments);

// ---- Windows ----

struct WindowQuery {
  std::optional<std::string> ClassName;  // exact
  std::optional<std::string> Title;      // exact
  DWORD ProcessId = 0;                   // 0: any process
  HWND Parent = nullptr;                 // set: search the children of this window
  bool VisibleOnly = false;
};

// Every window that matches: top-level windows of all processes (EnumWindows), or the
// descendants of Parent (EnumChildWindows).
std::vector<HWND> FindWindows(const WindowQuery& query);
// The first match within the time, or null.
HWND WaitForWindow(const WindowQuery& query, DWORD timeoutMs = 10000);
// True when no window matches within the time.
bool WaitForNoWindow(const WindowQuery& query, DWORD timeoutMs = 10000);

struct WindowInfo {
  std::string ClassName;
  std::string Title;
  DWORD ProcessId = 0;
  LONG Style = 0;
  LONG ExStyle = 0;
  RECT Rect{};        // screen coordinates
  RECT ClientRect{};  // client coordinates: left and top are 0
  HWND Parent = nullptr;
  bool Visible = false;
  bool Topmost = false;
};
WindowInfo Describe(HWND window);

// The window text through WM_GETTEXT (also for controls of another process).
std::string WindowText(HWND window);

// ---- Message boxes ----

struct MessageBoxInfo {
  HWND Window = nullptr;
  std::string Caption;
  std::string Text;  // the message, from the box's static text control
};
// A message box (dialog class "#32770") of the process, within the time.
std::optional<MessageBoxInfo> WaitForMessageBox(DWORD processId, DWORD timeoutMs = 10000);
// Presses the box's OK button.
void DismissMessageBox(HWND box);

// ---- Input ----

void MoveCursor(int x, int y);  // SetCursorPos
// Puts the cursor in the middle of the screen, where a run starts without moving it.
void CentreCursor();
POINT CursorPosition();
// What the driver forms forward, and what a real move produces: WM_MOUSEMOVE (0, 0).
void PostMouseMove(HWND window);
void PostKey(HWND window, WORD virtualKey);           // WM_KEYDOWN then WM_KEYUP
void PostSysKey(HWND window, WORD virtualKey);        // WM_SYSKEYDOWN then WM_SYSKEYUP
void PostClick(HWND window, UINT buttonDownMessage);  // e.g. WM_LBUTTONDOWN, then its up
// Real input through the system's queue (SendInput): goes to the foreground window.
void SendKeyInput(WORD virtualKey);
void SendMouseMoveInput(int dx, int dy);
// A key pressed while another is held, e.g. Alt+F4 as (VK_MENU, VK_F4).
void SendChordInput(WORD heldKey, WORD virtualKey);
// The left button pressed and released where the cursor is.
void SendClickInput();
// What the system does at log-off: WM_QUERYENDSESSION to every top-level window of the
// process, then WM_ENDSESSION (TRUE, ENDSESSION_LOGOFF). True when every window answered
// the query with TRUE within the time.
bool EndSession(DWORD processId, DWORD timeoutMs = 5000);

// ---- Pixels ----

// A captured rectangle, 0x00RRGGBB per pixel, rows top-down.
struct Capture {
  int Width = 0;
  int Height = 0;
  std::vector<uint32_t> Pixels;
  uint32_t At(int x, int y) const { return Pixels[size_t(y) * size_t(Width) + size_t(x)]; }
  bool Empty() const { return Pixels.empty(); }
};
Capture CaptureScreen();
Capture CaptureRect(const RECT& rect);  // screen coordinates
// Writes the capture as an 8-bit RGB PNG; false when the file cannot be written.
bool SavePng(const Capture& capture, const std::string& path);

// Colour helpers for assertions.
inline int Red(uint32_t pixel) {
  return int(pixel >> 16) & 0xFF;
}
inline int Green(uint32_t pixel) {
  return int(pixel >> 8) & 0xFF;
}
inline int Blue(uint32_t pixel) {
  return int(pixel) & 0xFF;
}
// How many pixels differ between two captures of the same size (by more than
// tolerance on any channel); -1 when the sizes differ.
int64_t CountDifferentPixels(const Capture& a, const Capture& b, int tolerance = 0);
// How many distinct colours the capture holds (a flat black screen has 1).
size_t CountColours(const Capture& capture);
// The mean of each channel over a rectangle of the capture (clipped to it).
struct MeanColour {
  double Red = 0, Green = 0, Blue = 0;
};
MeanColour Mean(const Capture& capture, const RECT& area);
// Waits until a driver has shown its first frame: more than a tenth of the screen is no
// longer the black of a window that has not drawn yet. How long that takes depends on the
// machine (a software rasteriser, an emulated CPU), so tests wait for it, not for a time.
bool WaitForScreenDrawn(DWORD timeoutMs);
// Waits until the screen differs from an earlier capture in more than minPixels pixels (by
// more than tolerance on a channel): new frames have been presented. How soon depends on
// the machine's frame time, so tests wait for it. Returns the last capture taken.
Capture WaitForScreenChange(const Capture& from, int64_t minPixels, int tolerance, DWORD timeoutMs);

// ---- Settings in the registry ----

// The saver's key HKEY_LOCAL_MACHINE\software\Vesperine.
namespace Settings {
inline constexpr char KeyPath[] = "software\\Vesperine";
void SetDword(const std::string& name, DWORD value);
void SetString(const std::string& name, const std::string& value);
// Any type and bytes, for values stored with the wrong type.
void SetRaw(const std::string& name, DWORD type, const std::vector<uint8_t>& data);
std::optional<DWORD> ReadDword(const std::string& name);
std::optional<std::string> ReadString(const std::string& name);
bool Exists(const std::string& name);
void Delete(const std::string& name);
// Deletes every value of the key (the key itself stays).
void Clear();
}  // namespace Settings

// ---- Resources of a process ----

// Live GDI and USER objects of a process: GetGuiResources where it answers; where it
// answers 0 for both (wine), the entries in use of the process's GDI handle table and
// the windows the process owns (USER objects it could leak), counted from outside.
struct GuiObjects {
  DWORD Gdi = 0;
  DWORD User = 0;
  bool Known = false;           // false when neither way answered
  const char* Source = "none";  // how the counts were taken
};
GuiObjects CountGuiObjects(HANDLE process);
// Private bytes (PagefileUsage) and working set of the process; 0 when unknown.
struct MemoryUse {
  size_t PrivateBytes = 0;
  size_t WorkingSet = 0;
};
MemoryUse ProcessMemory(HANDLE process);

// ---- A preview parent ----

// A visible top-level window of the test process with one child of the given client
// size, as the display settings give a saver for its preview.
class PreviewParent {
 public:
  PreviewParent(int width, int height);
  ~PreviewParent();
  PreviewParent(const PreviewParent&) = delete;
  PreviewParent& operator=(const PreviewParent&) = delete;

  HWND Frame() const { return FrameWindow; }
  HWND Child() const { return ChildWindow; }
  // The child's handle as decimal text, for "/p <handle>".
  std::string HandleText() const;
  // Destroys the child (and so whatever the saver put inside it).
  void DestroyChild();

 private:
  HWND FrameWindow = nullptr;
  HWND ChildWindow = nullptr;
};

// ---- A known desktop ----

// A popup of one colour over every monitor in the test process, so that what the saver
// copies from the screen (BackType 2) is known, and a desktop left showing is seen.
class ColourScreen {
 public:
  explicit ColourScreen(COLORREF colour);
  ~ColourScreen();
  ColourScreen(const ColourScreen&) = delete;
  ColourScreen& operator=(const ColourScreen&) = delete;
  void Close();

 private:
  HWND Window = nullptr;
  HBRUSH Brush = nullptr;
};

// A picture file of one colour (PNG), for BackType 3 and the bubble pictures.
bool WriteSolidPng(const std::string& path, int width, int height, uint32_t rgb);

}  // namespace harness
