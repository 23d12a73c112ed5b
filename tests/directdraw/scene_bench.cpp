// CPU time per DrawScene at the screen's size with 10 and 100 bubbles (run it under wine;
// not a test). Usage: directdraw_scene_bench [frames]
#include <cstdio>
#include <cstdlib>

#include "directdraw/UDxBall.h"
#include "settings/settings.h"
#include "world/bubble_table.h"

namespace {

double CpuMilliseconds() {
  FILETIME created, exited, kernel, user;
  GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
  auto ms = [](const FILETIME& t) {
    return (static_cast<double>(t.dwHighDateTime) * 4294967296.0 + t.dwLowDateTime) / 10000.0;
  };
  return ms(kernel) + ms(user);
}

void Pump() {
  MSG m;
  while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&m);
}

}  // namespace

int main(int argc, char** argv) {
  const int frames = argc > 1 ? std::atoi(argv[1]) : 200;
  WorldRect = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  BubbleRadius = 78;
  for (int count : {10, 100}) {
    BallsCount = count;
    auto form = CreateForm<TFDxBall>();
    form->Timer1.SetEnabled(false);  // frames are driven here
    form->SetBounds(0, 0, WorldRect.Width, WorldRect.Height);
    form->SetWindowState(wsNormal);
    form->Show();
    Pump();
    if (!form->DXDraw->CanDraw()) {
      std::printf("display not initialised: %s\n", form->DXDraw->InitializeFailure());
      return 1;
    }
    for (int i = 0; i < 20; ++i) form->DrawScene();
    const double start = CpuMilliseconds();
    for (int i = 0; i < frames; ++i) form->DrawScene();
    const double spent = CpuMilliseconds() - start;
    std::printf("%dx%d, %3d bubbles: %.2f ms CPU per DrawScene over %d frames\n",
                form->DXDraw->SurfaceWidth(), form->DXDraw->SurfaceHeight(), count, spent / frames,
                frames);
    form->StopWind();
  }
  return 0;
}
