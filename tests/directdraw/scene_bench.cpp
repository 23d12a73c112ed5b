// CPU time per DrawScene at the screen's size with 10 and 100 bubbles (run it under wine;
// not a test). Usage: directdraw_scene_bench [frames]
#include <cstdio>
#include <cstdlib>
#include <new>

#include "directdraw/UDxBall.h"
#include "settings/settings.h"
#include "world/bubble_table.h"

// Counts this program's own heap allocations, so a frame that allocates shows.
static long Allocations = 0;
void* operator new(std::size_t size) {
  ++Allocations;
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
  std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
  std::free(p);
}

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
    // As in the run: the form a child of a full-screen host window.
    HWND host = CreateWindowExA(0, "STATIC", "host", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0,
                                WorldRect.Width, WorldRect.Height, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
    auto form = CreateForm<TFDxBall>();
    form->Timer1.SetEnabled(false);  // frames are driven here
    form->SetParentWindow(host);
    form->Show();
    Pump();
    if (!form->DXDraw->CanDraw()) {
      std::printf("display not initialised: %s\n", form->DXDraw->InitializeFailure());
      return 1;
    }
    for (int i = 0; i < 20; ++i) form->DrawScene();
    const long allocationsBefore = Allocations;
    const double start = CpuMilliseconds();
    for (int i = 0; i < frames; ++i) form->DrawScene();
    const double spent = CpuMilliseconds() - start;
    std::printf("%dx%d, %3d bubbles: %.2f ms CPU per DrawScene over %d frames, %ld allocations\n",
                form->DXDraw->SurfaceWidth(), form->DXDraw->SurfaceHeight(), count, spent / frames,
                frames, Allocations - allocationsBefore);
    auto timePart = [&](const char* name, auto part) {
      const double t0 = CpuMilliseconds();
      for (int i = 0; i < frames; ++i) part();
      std::printf("    %-8s %.2f ms\n", name, (CpuMilliseconds() - t0) / frames);
    };
    TDXDraw& d = *form->DXDraw;
    timePart("Clear", [&] { d.Clear(); });
    timePart("BltFast", [&] { d.BltFast(*form->Background()); });
    timePart("present", [&] { d.Flip(); });
    form->StopWind();
    form.reset();
    DestroyWindow(host);
  }
  return 0;
}
