// The program first_frame times: the saver's own entry (RunScreenSaver with the four
// procedures, as vesperine.scr runs it), with stamps on standard output at its entry, around
// start-up, at the first host tick and at its first present, where it ends.
#include <windows.h>

#include <utility>

#include "first_frame_stamp.h"
#include "framework/win/present_listener.h"
#include "gdiplus/scene/win/scene_test_hooks.h"
#include "host/win/bubble_saver.h"
#include "host/win/screen_saver.h"

namespace {

void StampPresent(PresentKind kind) {
  StampFirstPresentAndEnd(kind == PresentKind::Flip ? "present-flip" : "present-blit");
}

BOOL WINAPI StampedLayeredUpdate(HWND window, HDC screen, POINT* destination, SIZE* size,
                                 HDC source, POINT* sourceOrigin, COLORREF key,
                                 BLENDFUNCTION* blend, DWORD flags) {
  const BOOL updated = UpdateLayeredWindow(window, screen, destination, size, source, sourceOrigin,
                                           key, blend, flags);
  if (updated) StampFirstPresentAndEnd("present-layered");
  return updated;
}

void StampedStartup(HWND window, ScreenSaverMode mode) {
  WriteStamp("startup");
  BubbleStartup(window, mode);
  WriteStamp("started");
}

bool FirstTickStamped = false;
void StampedTick(HWND window, ScreenSaverMode mode) {
  if (!std::exchange(FirstTickStamped, true)) WriteStamp("tick");
  BubbleTick(window, mode);
}

int RunTheSaver() {
  WriteStamp("main");
  ListenForPresents(StampPresent);
  SetLayeredWindowUpdate(StampedLayeredUpdate);
  SetSceneShownProcedure(BubbleSceneShown);  // as the program's entry does
  try {
    RunScreenSaver(StampedStartup, StampedTick, BubbleFinish, BubbleConfigure, BubbleTickInterval);
  } catch (...) {
    WriteStamp("error");
    return 1;
  }
  WriteStamp("ended");
  return 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  return RunTheSaver();
}
