#include "harness/harness.h"

#include <png.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <set>
#include <utility>

#include "framework/win/procedure.h"

namespace harness {

namespace {

constexpr char PreviewFrameClass[] = "VesperineHarnessFrame";
constexpr char PreviewChildClass[] = "VesperineHarnessPreview";
constexpr int MessageBoxTextId = 0xFFFF;  // the static text of a system message box

std::string ToBackslashes(std::string path) {
  std::replace(path.begin(), path.end(), '/', '\\');
  return path;
}

std::string ClassOf(HWND window) {
  char name[256] = {};
  GetClassNameA(window, name, sizeof name);
  return name;
}

bool Matches(HWND window, const WindowQuery& query) {
  if (query.VisibleOnly && !IsWindowVisible(window)) return false;
  if (query.ProcessId) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != query.ProcessId) return false;
  }
  if (query.ClassName && ClassOf(window) != *query.ClassName) return false;
  if (query.Title && WindowText(window) != *query.Title) return false;
  return true;
}

struct Search {
  const WindowQuery* Query;
  std::vector<HWND> Found;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<Search*>(context);
  if (Matches(window, *search->Query)) search->Found.push_back(window);
  return TRUE;
}

std::string QuoteArgument(const std::string& argument) {
  if (!argument.empty() && argument.find_first_of(" \t\"") == std::string::npos) return argument;
  std::string quoted = "\"";
  size_t backslashes = 0;
  for (char c : argument) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    // Backslashes before a quote are doubled, the quote escaped, as the C run-time reads.
    quoted.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
    backslashes = 0;
    quoted += c;
  }
  quoted.append(backslashes * 2, '\\');
  return quoted + "\"";
}

class SettingsKeyHandle {
 public:
  SettingsKeyHandle() {
    RegCreateKeyExA(HKEY_LOCAL_MACHINE, Settings::KeyPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                    &Key, nullptr);
  }
  ~SettingsKeyHandle() {
    if (Key) RegCloseKey(Key);
  }
  HKEY Get() const { return Key; }

 private:
  HKEY Key = nullptr;
};

LRESULT CALLBACK PlainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(window, message, wParam, lParam);
}

void RegisterPlainClass(const char* name, HBRUSH background) {
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = PlainWindowProc;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
  windowClass.hbrBackground = background;
  windowClass.lpszClassName = name;
  RegisterClassA(&windowClass);  // fails harmlessly when already registered
}

void PostPair(HWND window, UINT down, UINT up, WPARAM wParam, LPARAM lParam) {
  PostMessageA(window, down, wParam, lParam);
  PostMessageA(window, up, wParam, lParam);
}

}  // namespace

// ---- Paths ----

std::string WinePath(const std::string& unixPath) {
  if (unixPath.size() >= 2 && unixPath[1] == ':') return unixPath;
  return "Z:" + ToBackslashes(unixPath);
}

std::string SaverPath() {
  return WinePath(VESPERINE_SCR_PATH);
}

std::string OutputFolder() {
  return WinePath(VESPERINE_TEST_OUTPUT_DIR);
}

// ---- Waiting ----

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs, DWORD pollMs) {
  DWORD start = GetTickCount();
  for (;;) {
    PumpMessages();
    if (condition()) return true;
    if (GetTickCount() - start >= timeoutMs) return condition();
    MsgWaitForMultipleObjects(0, nullptr, FALSE, pollMs, QS_ALLINPUT);
  }
}

void PumpFor(DWORD milliseconds) {
  WaitUntil([] { return false; }, milliseconds);
}

void PumpMessages() {
  MSG message{};
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

// ---- Processes ----

std::string BuildCommandLine(const std::string& program,
                             const std::vector<std::string>& arguments) {
  std::string line = QuoteArgument(program);
  for (const std::string& argument : arguments) line += " " + QuoteArgument(argument);
  return line;
}

SaverProcess::SaverProcess(const std::vector<std::string>& arguments, const std::string& program) {
  std::string line = BuildCommandLine(program, arguments);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  if (!CreateProcessA(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &info)) {
    return;
  }
  CloseHandle(info.hThread);
  Process = info.hProcess;
  ProcessId = info.dwProcessId;
}

SaverProcess::~SaverProcess() {
  Kill();
  if (Process) CloseHandle(Process);
}

SaverProcess::SaverProcess(SaverProcess&& other) noexcept
    : Process(std::exchange(other.Process, nullptr)),
      ProcessId(std::exchange(other.ProcessId, 0)) {}

bool SaverProcess::Running() const {
  return Process && WaitForSingleObject(Process, 0) == WAIT_TIMEOUT;
}

bool SaverProcess::WaitForExit(DWORD timeoutMs) {
  return WaitUntil([this] { return !Running(); }, timeoutMs);
}

DWORD SaverProcess::ExitCode() const {
  DWORD code = STILL_ACTIVE;
  if (Process) GetExitCodeProcess(Process, &code);
  return code;
}

void SaverProcess::Kill() {
  if (!Running()) return;
  TerminateProcess(Process, 255);
  WaitForSingleObject(Process, 5000);
}

// ---- Windows ----

std::vector<HWND> FindWindows(const WindowQuery& query) {
  Search search{&query, {}};
  if (query.Parent) {
    EnumChildWindows(query.Parent, CollectWindow, reinterpret_cast<LPARAM>(&search));
  } else {
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&search));
  }
  return search.Found;
}

HWND WaitForWindow(const WindowQuery& query, DWORD timeoutMs) {
  HWND found = nullptr;
  WaitUntil(
      [&] {
        std::vector<HWND> windows = FindWindows(query);
        found = windows.empty() ? nullptr : windows.front();
        return found != nullptr;
      },
      timeoutMs);
  return found;
}

bool WaitForNoWindow(const WindowQuery& query, DWORD timeoutMs) {
  return WaitUntil([&] { return FindWindows(query).empty(); }, timeoutMs);
}

WindowInfo Describe(HWND window) {
  WindowInfo info;
  info.ClassName = ClassOf(window);
  info.Title = WindowText(window);
  GetWindowThreadProcessId(window, &info.ProcessId);
  info.Style = GetWindowLongA(window, GWL_STYLE);
  info.ExStyle = GetWindowLongA(window, GWL_EXSTYLE);
  GetWindowRect(window, &info.Rect);
  GetClientRect(window, &info.ClientRect);
  info.Parent = GetAncestor(window, GA_PARENT);
  info.Visible = IsWindowVisible(window) != FALSE;
  info.Topmost = (info.ExStyle & WS_EX_TOPMOST) != 0;
  return info;
}

std::string WindowText(HWND window) {
  char text[1024] = {};
  DWORD_PTR copied = 0;
  // Bounded: a hung window must not hang the test.
  if (!SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                           SMTO_ABORTIFHUNG, 2000, &copied)) {
    GetWindowTextA(window, text, sizeof text);
  }
  return text;
}

// ---- Message boxes ----

std::optional<MessageBoxInfo> WaitForMessageBox(DWORD processId, DWORD timeoutMs) {
  HWND box = WaitForWindow({.ClassName = "#32770", .ProcessId = processId, .VisibleOnly = true},
                           timeoutMs);
  if (!box) return std::nullopt;
  MessageBoxInfo info;
  info.Window = box;
  info.Caption = WindowText(box);
  HWND text = GetDlgItem(box, MessageBoxTextId);
  if (text) info.Text = WindowText(text);
  return info;
}

void DismissMessageBox(HWND box) {
  PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
}

// ---- Input ----

void MoveCursor(int x, int y) {
  SetCursorPos(x, y);
}

void CentreCursor() {
  MoveCursor(GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2);
}

POINT CursorPosition() {
  POINT point{0, 0};
  GetCursorPos(&point);
  return point;
}

void PostMouseMove(HWND window) {
  PostMessageA(window, WM_MOUSEMOVE, 0, 0);
}

void PostKey(HWND window, WORD virtualKey) {
  PostPair(window, WM_KEYDOWN, WM_KEYUP, virtualKey, 1);
}

void PostSysKey(HWND window, WORD virtualKey) {
  PostPair(window, WM_SYSKEYDOWN, WM_SYSKEYUP, virtualKey, 1 | (1 << 29));
}

void PostClick(HWND window, UINT buttonDownMessage) {
  PostPair(window, buttonDownMessage, buttonDownMessage + 1, 0, MAKELPARAM(10, 10));
}

void SendKeyInput(WORD virtualKey) {
  INPUT inputs[2] = {};
  inputs[0].type = INPUT_KEYBOARD;
  inputs[0].ki.wVk = virtualKey;
  inputs[1] = inputs[0];
  inputs[1].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(2, inputs, sizeof(INPUT));
}

void SendMouseMoveInput(int dx, int dy) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dx = dx;
  input.mi.dy = dy;
  input.mi.dwFlags = MOUSEEVENTF_MOVE;
  SendInput(1, &input, sizeof(INPUT));
}

void SendChordInput(WORD heldKey, WORD virtualKey) {
  INPUT inputs[4] = {};
  for (INPUT& input : inputs) input.type = INPUT_KEYBOARD;
  inputs[0].ki.wVk = heldKey;
  inputs[1].ki.wVk = virtualKey;
  inputs[2].ki.wVk = virtualKey;
  inputs[2].ki.dwFlags = KEYEVENTF_KEYUP;
  inputs[3].ki.wVk = heldKey;
  inputs[3].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(4, inputs, sizeof(INPUT));
}

void SendClickInput() {
  INPUT inputs[2] = {};
  inputs[0].type = inputs[1].type = INPUT_MOUSE;
  inputs[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  SendInput(2, inputs, sizeof(INPUT));
}

bool EndSession(DWORD processId, DWORD timeoutMs) {
  const std::vector<HWND> windows = FindWindows({.ProcessId = processId});
  bool allAgreed = true;
  for (HWND window : windows) {
    DWORD_PTR answer = 0;
    const LRESULT sent = SendMessageTimeoutA(window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF,
                                             SMTO_ABORTIFHUNG, timeoutMs, &answer);
    // A window destroyed meanwhile (an owned box going with its owner) has nothing to say.
    if (IsWindow(window) && (!sent || answer != TRUE)) allAgreed = false;
  }
  for (HWND window : windows) {
    DWORD_PTR ignored = 0;
    if (IsWindow(window))
      SendMessageTimeoutA(window, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG,
                          timeoutMs, &ignored);
  }
  return allAgreed;
}

// ---- Pixels ----

Capture CaptureRect(const RECT& rect) {
  Capture capture;
  int width = rect.right - rect.left;
  int height = rect.bottom - rect.top;
  if (width <= 0 || height <= 0) return capture;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (bitmap) {
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    GdiFlush();
    capture.Width = width;
    capture.Height = height;
    const auto* pixels = static_cast<const uint32_t*>(bits);
    capture.Pixels.assign(pixels, pixels + size_t(width) * size_t(height));
    for (uint32_t& pixel : capture.Pixels) pixel &= 0x00FFFFFF;
    SelectObject(memory, old);
    DeleteObject(bitmap);
  }
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return capture;
}

Capture CaptureScreen() {
  return CaptureRect(RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)});
}

bool SavePng(const Capture& capture, const std::string& path) {
  if (capture.Empty()) return false;
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  bool written = false;
  std::vector<png_byte> row(size_t(capture.Width) * 3);
  if (png && info && !setjmp(png_jmpbuf(png))) {
    png_init_io(png, file);
    png_set_IHDR(png, info, capture.Width, capture.Height, 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < capture.Height; ++y) {
      for (int x = 0; x < capture.Width; ++x) {
        uint32_t pixel = capture.At(x, y);
        row[size_t(x) * 3] = png_byte(Red(pixel));
        row[size_t(x) * 3 + 1] = png_byte(Green(pixel));
        row[size_t(x) * 3 + 2] = png_byte(Blue(pixel));
      }
      png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    written = true;
  }
  png_destroy_write_struct(png ? &png : nullptr, info ? &info : nullptr);
  return std::fclose(file) == 0 && written;
}

int64_t CountDifferentPixels(const Capture& a, const Capture& b, int tolerance) {
  if (a.Width != b.Width || a.Height != b.Height) return -1;
  int64_t different = 0;
  for (size_t i = 0; i < a.Pixels.size(); ++i) {
    uint32_t p = a.Pixels[i];
    uint32_t q = b.Pixels[i];
    if (std::abs(Red(p) - Red(q)) > tolerance || std::abs(Green(p) - Green(q)) > tolerance ||
        std::abs(Blue(p) - Blue(q)) > tolerance) {
      ++different;
    }
  }
  return different;
}

size_t CountColours(const Capture& capture) {
  std::set<uint32_t> colours(capture.Pixels.begin(), capture.Pixels.end());
  return colours.size();
}

bool WaitForScreenDrawn(DWORD timeoutMs) {
  return WaitUntil(
      [] {
        const Capture screen = CaptureScreen();
        int64_t lit = 0, sampled = 0;
        for (int y = 0; y < screen.Height; y += 8) {
          for (int x = 0; x < screen.Width; x += 8, ++sampled) lit += (screen.At(x, y) != 0);
        }
        return sampled > 0 && lit * 10 > sampled;
      },
      timeoutMs, 100);
}

Capture WaitForScreenChange(const Capture& from, int64_t minPixels, int tolerance,
                            DWORD timeoutMs) {
  Capture last;
  WaitUntil(
      [&] {
        last = CaptureScreen();
        return CountDifferentPixels(from, last, tolerance) > minPixels;
      },
      timeoutMs, 100);
  return last;
}

MeanColour Mean(const Capture& capture, const RECT& area) {
  MeanColour mean;
  int left = std::max<int>(area.left, 0);
  int top = std::max<int>(area.top, 0);
  int right = std::min<int>(area.right, capture.Width);
  int bottom = std::min<int>(area.bottom, capture.Height);
  double count = 0;
  for (int y = top; y < bottom; ++y) {
    for (int x = left; x < right; ++x) {
      uint32_t pixel = capture.At(x, y);
      mean.Red += Red(pixel);
      mean.Green += Green(pixel);
      mean.Blue += Blue(pixel);
      ++count;
    }
  }
  if (count > 0) {
    mean.Red /= count;
    mean.Green /= count;
    mean.Blue /= count;
  }
  return mean;
}

// ---- Settings ----

namespace Settings {

void SetRaw(const std::string& name, DWORD type, const std::vector<uint8_t>& data) {
  SettingsKeyHandle key;
  RegSetValueExA(key.Get(), name.c_str(), 0, type, data.data(), DWORD(data.size()));
}

void SetDword(const std::string& name, DWORD value) {
  const auto* bytes = reinterpret_cast<const uint8_t*>(&value);
  SetRaw(name, REG_DWORD, std::vector<uint8_t>(bytes, bytes + sizeof value));
}

void SetString(const std::string& name, const std::string& value) {
  const auto* bytes = reinterpret_cast<const uint8_t*>(value.c_str());
  SetRaw(name, REG_SZ, std::vector<uint8_t>(bytes, bytes + value.size() + 1));
}

std::optional<DWORD> ReadDword(const std::string& name) {
  SettingsKeyHandle key;
  DWORD type = 0;
  DWORD value = 0;
  DWORD size = sizeof value;
  if (RegQueryValueExA(key.Get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&value),
                       &size) != ERROR_SUCCESS ||
      type != REG_DWORD) {
    return std::nullopt;
  }
  return value;
}

std::optional<std::string> ReadString(const std::string& name) {
  SettingsKeyHandle key;
  DWORD type = 0;
  DWORD size = 0;
  if (RegQueryValueExA(key.Get(), name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
      type != REG_SZ) {
    return std::nullopt;
  }
  std::string value(size, '\0');
  RegQueryValueExA(key.Get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(value.data()),
                   &size);
  value.resize(strnlen(value.c_str(), value.size()));
  return value;
}

bool Exists(const std::string& name) {
  SettingsKeyHandle key;
  return RegQueryValueExA(key.Get(), name.c_str(), nullptr, nullptr, nullptr, nullptr) ==
         ERROR_SUCCESS;
}

void Delete(const std::string& name) {
  SettingsKeyHandle key;
  RegDeleteValueA(key.Get(), name.c_str());
}

void Clear() {
  SettingsKeyHandle key;
  for (;;) {
    char name[256] = {};
    DWORD length = sizeof name;
    if (RegEnumValueA(key.Get(), 0, name, &length, nullptr, nullptr, nullptr, nullptr) !=
        ERROR_SUCCESS) {
      return;
    }
    if (RegDeleteValueA(key.Get(), name) != ERROR_SUCCESS) return;
  }
}

}  // namespace Settings

// ---- Resources ----

namespace {

// Wine answers 0 from GetGuiResources, but like Windows NT it keeps a process's GDI
// handles in a table that the PEB points at (GdiSharedHandleTable). Each entry is 24
// bytes, its type byte is 0 while the entry is free, and the table is the process's own.
// Read from outside with ReadProcessMemory, it counts the live GDI objects.
struct WineGdiHandleEntry {
  uint64_t Object;
  uint32_t Owner;
  uint16_t Unique;
  uint8_t Type;
  uint8_t Flags;
  uint64_t UserPointer;
};
static_assert(sizeof(WineGdiHandleEntry) == 24, "the layout wine shares");
constexpr size_t WineGdiHandleCount = 0x10000;
constexpr size_t PebGdiSharedHandleTable = 0x94;  // in a 32-bit PEB

struct BasicProcessInformation {
  LONG ExitStatus;
  void* PebBaseAddress;
  ULONG_PTR Reserved[4];
};
using QueryInformationProcess = LONG(WINAPI*)(HANDLE, ULONG, void*, ULONG, ULONG*);

std::optional<DWORD> CountGdiHandleTable(HANDLE process) {
  const auto query = ProcedureAddress<QueryInformationProcess>(GetModuleHandleA("ntdll.dll"),
                                                               "NtQueryInformationProcess");
  BasicProcessInformation basic{};
  ULONG length = 0;
  if (!query || query(process, 0, &basic, sizeof basic, &length) != 0) return std::nullopt;
  uint32_t table = 0;
  SIZE_T read = 0;
  const auto* slot = static_cast<const char*>(basic.PebBaseAddress) + PebGdiSharedHandleTable;
  if (!ReadProcessMemory(process, slot, &table, sizeof table, &read) || table == 0) {
    return std::nullopt;
  }
  std::vector<WineGdiHandleEntry> entries(WineGdiHandleCount);
  if (!ReadProcessMemory(process, reinterpret_cast<const void*>(uintptr_t{table}), entries.data(),
                         entries.size() * sizeof entries[0], &read) ||
      read != entries.size() * sizeof entries[0]) {
    return std::nullopt;
  }
  return static_cast<DWORD>(std::count_if(entries.begin(), entries.end(),
                                          [](const WineGdiHandleEntry& e) { return e.Type != 0; }));
}

struct WindowTally {
  DWORD ProcessId;
  DWORD Count;
};

BOOL CALLBACK TallyWindow(HWND window, LPARAM parameter) {
  auto* tally = reinterpret_cast<WindowTally*>(parameter);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == tally->ProcessId) ++tally->Count;
  return TRUE;
}

BOOL CALLBACK TallyWindowTree(HWND window, LPARAM parameter) {
  TallyWindow(window, parameter);
  EnumChildWindows(window, TallyWindow, parameter);  // reaches every descendant
  return TRUE;
}

// Windows are the USER objects a saver makes and could leak: its top-level windows,
// their descendants and its message-only windows.
DWORD CountWindowsOf(DWORD processId) {
  WindowTally tally{processId, 0};
  EnumWindows(TallyWindowTree, reinterpret_cast<LPARAM>(&tally));
  for (HWND window = FindWindowExA(HWND_MESSAGE, nullptr, nullptr, nullptr); window;
       window = FindWindowExA(HWND_MESSAGE, window, nullptr, nullptr)) {
    TallyWindowTree(window, reinterpret_cast<LPARAM>(&tally));
  }
  return tally.Count;
}

}  // namespace

GuiObjects CountGuiObjects(HANDLE process) {
  GuiObjects objects;
  objects.Gdi = GetGuiResources(process, GR_GDIOBJECTS);
  objects.User = GetGuiResources(process, GR_USEROBJECTS);
  if (objects.Gdi != 0 || objects.User != 0) {
    objects.Known = true;
    objects.Source = "GetGuiResources";
    return objects;
  }
  const std::optional<DWORD> gdi = CountGdiHandleTable(process);
  if (!gdi) return objects;
  objects.Gdi = *gdi;
  objects.User = CountWindowsOf(GetProcessId(process));
  objects.Known = true;
  objects.Source = "GDI handle table, windows";
  return objects;
}

MemoryUse ProcessMemory(HANDLE process) {
  MemoryUse use;
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  if (GetProcessMemoryInfo(process, &counters, sizeof counters)) {
    use.PrivateBytes = counters.PagefileUsage;
    use.WorkingSet = counters.WorkingSetSize;
  }
  return use;
}

// ---- Preview parent ----

PreviewParent::PreviewParent(int width, int height) {
  RegisterPlainClass(PreviewFrameClass, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
  RegisterPlainClass(PreviewChildClass, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  FrameWindow = CreateWindowExA(0, PreviewFrameClass, "Preview parent",
                                WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, width + 100, height + 100,
                                nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  ChildWindow = CreateWindowExA(0, PreviewChildClass, "", WS_CHILD | WS_VISIBLE, 20, 20, width,
                                height, FrameWindow, nullptr, GetModuleHandleA(nullptr), nullptr);
  PumpMessages();
}

PreviewParent::~PreviewParent() {
  if (FrameWindow) DestroyWindow(FrameWindow);
  PumpMessages();
}

std::string PreviewParent::HandleText() const {
  return std::to_string(reinterpret_cast<intptr_t>(ChildWindow));
}

void PreviewParent::DestroyChild() {
  if (ChildWindow) DestroyWindow(ChildWindow);
  ChildWindow = nullptr;
  PumpMessages();
}

// ---- A known desktop ----

ColourScreen::ColourScreen(COLORREF colour) : Brush(CreateSolidBrush(colour)) {
  constexpr char className[] = "VesperineHarnessColour";
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = PlainWindowProc;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.hbrBackground = Brush;
  windowClass.lpszClassName = className;
  UnregisterClassA(className, GetModuleHandleA(nullptr));  // the brush differs per screen
  RegisterClassA(&windowClass);
  // Every monitor: the virtual screen (the primary alone where there is one).
  Window = CreateWindowExA(
      0, className, "", WS_POPUP | WS_VISIBLE, GetSystemMetrics(SM_XVIRTUALSCREEN),
      GetSystemMetrics(SM_YVIRTUALSCREEN), GetSystemMetrics(SM_CXVIRTUALSCREEN),
      GetSystemMetrics(SM_CYVIRTUALSCREEN), nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  UpdateWindow(Window);
  PumpFor(300);
}

ColourScreen::~ColourScreen() {
  Close();
  if (Brush) DeleteObject(Brush);
}

void ColourScreen::Close() {
  if (Window) DestroyWindow(Window);
  Window = nullptr;
  PumpMessages();
}

bool WriteSolidPng(const std::string& path, int width, int height, uint32_t rgb) {
  Capture picture;
  picture.Width = width;
  picture.Height = height;
  picture.Pixels.assign(size_t(width) * size_t(height), rgb & 0x00FFFFFF);
  return SavePng(picture, path);
}

}  // namespace harness
