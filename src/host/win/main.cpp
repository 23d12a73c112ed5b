// The program's entry: the host with the four procedures and a 40 ms tick. An error that
// reaches here (a bad /p handle, a setting of the wrong type at start-up) is shown as
// the framework shows every error, and the program ends.
#include <windows.h>

#include "framework/win/error_report.h"
#include "host/win/bubble_saver.h"
#include "host/win/screen_saver.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  SetSceneShownProcedure(BubbleSceneShown);
  bool ran = GuardedCall([] {
    RunScreenSaver(BubbleStartup, BubbleTick, BubbleFinish, BubbleConfigure, BubbleTickInterval);
  });
  return ran ? 0 : 1;
}
