// A stand-in for PASSWORD.CPL of Windows 95/98/Me. Its prompt is a plain window owned by the
// saver's, as the real dialog is, with a loop of its own that dispatches every message of the
// thread for a while. It answers as VESPERINE_STANDIN_SCRIPT says, one comma-separated step
// per prompt ("reject", "accept", with "+move", "+close" or "+logoff" for what happens while
// it is up; prompts beyond the script reject), and records what it saw: how many of the
// program's other windows were topmost, whether the prompt was above all of them, how many
// timer ticks reached windows other than the saver's own while it was up (the scene's frames,
// wind and sound all come from such ticks), and whether the system was told that a saver runs.
#include <windows.h>

#include <string>

#include "standin_log.h"

namespace {

constexpr DWORD PromptMs = 1000;
constexpr char PromptClass[] = "VesperineStandInPrompt";
constexpr UINT GetScreenSaverRunning = 0x0072;  // SPI_GETSCREENSAVERRUNNING

int PromptsShown = 0;

std::string ScriptStep(int index) {
  char script[512] = {};
  GetEnvironmentVariableA("VESPERINE_STANDIN_SCRIPT", script, sizeof script);
  std::string rest = script;
  for (int i = 0; i < index; ++i) {
    const size_t comma = rest.find(',');
    if (comma == std::string::npos) return "reject";
    rest = rest.substr(comma + 1);
  }
  const std::string step = rest.substr(0, rest.find(','));
  return step.empty() ? "reject" : step;
}

bool Has(const std::string& step, const char* word) {
  return step.find(word) != std::string::npos;
}

struct Sight {
  int Topmost = 0;    // the most windows of ours, besides the prompt, seen topmost at once
  bool Above = true;  // the prompt was above every visible window of ours each time
  std::string Over;   // the class of the first window of ours seen above it, if one was
  int Ticks = 0;      // WM_TIMER for windows of ours other than the saver's own
};

struct BandWalk {
  HWND Prompt;
  Sight* Seen;
  DWORD Process;
  int Topmost = 0;
  bool PromptSeen = false;
};

// EnumWindows lists the windows, in z-order, in one go before it calls back: a walk by
// GetWindow can step past the prompt when a window elsewhere moves during the walk.
BOOL CALLBACK LookAtOneWindow(HWND window, LPARAM walkAddress) {
  BandWalk& walk = *reinterpret_cast<BandWalk*>(walkAddress);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != walk.Process || !IsWindowVisible(window)) return TRUE;
  if (window == walk.Prompt) {
    walk.PromptSeen = true;
    return TRUE;
  }
  if (!walk.PromptSeen && walk.Seen->Above) {
    walk.Seen->Above = false;
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    walk.Seen->Over = name;
  }
  if ((GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0) ++walk.Topmost;
  return TRUE;
}

void LookAtTheBand(HWND prompt, Sight& sight) {
  BandWalk walk{prompt, &sight, GetCurrentProcessId()};
  EnumWindows(LookAtOneWindow, reinterpret_cast<LPARAM>(&walk));
  if (walk.Topmost > sight.Topmost) sight.Topmost = walk.Topmost;
}

HWND ShowPrompt(HWND saver) {
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = DefWindowProcA;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  windowClass.lpszClassName = PromptClass;
  RegisterClassA(&windowClass);
  HWND prompt = CreateWindowExA(0, PromptClass, "Password", WS_POPUP | WS_CAPTION | WS_VISIBLE, 40,
                                40, 240, 100, saver, nullptr, windowClass.hInstance, nullptr);
  if (prompt) SetForegroundWindow(prompt);
  return prompt;
}

// The prompt's own loop, as a modal dialog's: every message of the thread is dispatched.
// A quit message ends it and is posted again for the loop that waits for it.
void RunPrompt(HWND saver, HWND prompt, const std::string& step, Sight& sight) {
  const DWORD start = GetTickCount();
  bool acted = false;
  while (GetTickCount() - start < PromptMs) {
    MSG message{};
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) {
        PostQuitMessage(static_cast<int>(message.wParam));
        return;
      }
      if (message.message == WM_TIMER && message.hwnd != saver && message.hwnd != prompt)
        ++sight.Ticks;
      DispatchMessageA(&message);
    }
    LookAtTheBand(prompt, sight);
    if (!acted && GetTickCount() - start >= PromptMs / 2) {
      acted = true;
      POINT cursor{};
      GetCursorPos(&cursor);
      if (Has(step, "+move")) SetCursorPos(cursor.x + 60, cursor.y + 40);
      if (Has(step, "+close")) PostMessageA(saver, WM_CLOSE, 0, 0);
      if (Has(step, "+logoff")) {
        SendMessageA(saver, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF);
        SendMessageA(saver, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
      }
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
  }
}

}  // namespace

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH)
    standin::Log("loaded password.cpl by %s", standin::ProgramName());
  return TRUE;
}

extern "C" __declspec(dllexport) BOOL WINAPI VerifyScreenSavePwd(HWND saver) {
  const std::string step = ScriptStep(PromptsShown++);
  const bool accept = step.rfind("accept", 0) == 0;
  BOOL running = FALSE;
  SystemParametersInfoA(GetScreenSaverRunning, 0, &running, 0);
  Sight sight;
  HWND prompt = ShowPrompt(saver);
  if (prompt) RunPrompt(saver, prompt, step, sight);
  if (IsWindow(prompt)) DestroyWindow(prompt);
  standin::Log("verify step=%s shown=%d topmost=%d above=%d ticks=%d running=%d answer=%d over=%s",
               step.c_str(), prompt ? 1 : 0, sight.Topmost, sight.Above ? 1 : 0, sight.Ticks,
               running ? 1 : 0, accept ? 1 : 0, sight.Over.empty() ? "-" : sight.Over.c_str());
  return accept ? TRUE : FALSE;
}
