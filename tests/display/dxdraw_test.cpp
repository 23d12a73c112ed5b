// The display layer against Wine's real DirectDraw 7 and Direct3D 7, in a test window.
#include "display/win/dxdraw.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "display/win/dxdraw_test_hooks.h"
#include "display/win/surface_pixels.h"
#include "framework/win/procedure.h"
#include "harness/harness.h"
#include "image/pixel_image.h"

namespace {

class TestWindow {
 public:
  TestWindow(int width, int height) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "DisplayTestWindow";
    RegisterClassA(&wc);
    Handle = CreateWindowExA(0, wc.lpszClassName, "display test", WS_POPUP | WS_VISIBLE, 0, 0,
                             width, height, nullptr, nullptr, wc.hInstance, nullptr);
    harness::PumpMessages();
  }
  ~TestWindow() { DestroyWindow(Handle); }
  HWND Handle;
};

PixelImage Filled(int w, int h, int bits, uint8_t b, uint8_t g, uint8_t r, uint8_t a = 255) {
  PixelImage image;
  image.SetSize(w, h, bits);
  const int bytes = bits / 8;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      uint8_t* p = image.Row(y) + x * bytes;
      p[0] = b;
      p[1] = g;
      p[2] = r;
      if (bytes == 4) p[3] = a;
    }
  }
  return image;
}

uint32_t BackPixel(TDXDraw& d, int x, int y) {
  uint32_t argb = 0;
  EXPECT_TRUE(ReadSurfacePixel(d.Surface(), x, y, argb));
  return argb;
}

void ExpectNear(uint32_t argb, int r, int g, int b, int tolerance, const char* what) {
  const int gotR = (argb >> 16) & 0xFF, gotG = (argb >> 8) & 0xFF, gotB = argb & 0xFF;
  EXPECT_NEAR(gotR, r, tolerance) << what;
  EXPECT_NEAR(gotG, g, tolerance) << what;
  EXPECT_NEAR(gotB, b, tolerance) << what;
}

struct Vertex {
  float x, y, z, rhw;
  DWORD diffuse, specular;
  float u, v;
};

void DrawSquare(TDXDraw& d, float left, float top, float side, DWORD diffuse) {
  const Vertex v[4] = {{left, top, 0, 1, diffuse, 0, 0, 0},
                       {left + side, top, 0, 1, diffuse, 0, 1, 0},
                       {left, top + side, 0, 1, diffuse, 0, 0, 1},
                       {left + side, top + side, 0, 1, diffuse, 0, 1, 1}};
  d.DrawPrimitive(D3DPT_TRIANGLESTRIP,
                  D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_SPECULAR | D3DFVF_TEX1, v, 4, D3DDP_WAIT);
}

class DisplayTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!TDXDraw::DirectDrawAvailable()) GTEST_SKIP() << "no ddraw.dll";
  }
  TestWindow Window{320, 240};
};

}  // namespace

TEST_F(DisplayTest, InitialisesABackSurfaceOfTheWindowsClientSize) {
  TDXDraw display(Window.Handle);
  ASSERT_TRUE(display.Initialize()) << display.InitializeFailure();
  EXPECT_TRUE(display.Initialized());
  EXPECT_EQ(display.SurfaceWidth(), 320);
  EXPECT_EQ(display.SurfaceHeight(), 240);
  EXPECT_NE(display.D3DDevice(), nullptr);
  EXPECT_TRUE(display.HasZBuffer());
  EXPECT_TRUE(display.CanDraw());
}

TEST_F(DisplayTest, ClearMakesTheBackSurfaceBlack) {
  TDXDraw display(Window.Handle);
  ASSERT_TRUE(display.Initialize());
  DDBLTFX fx{};
  fx.dwSize = sizeof fx;
  fx.dwFillColor = 0x00FF8040;
  ASSERT_EQ(display.Surface()->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx),
            DD_OK);
  ExpectNear(BackPixel(display, 100, 100), 0xFF, 0x80, 0x40, 0, "before the clear");
  EXPECT_EQ(display.Clear(), D3D_OK);
  ExpectNear(BackPixel(display, 100, 100), 0, 0, 0, 0, "after the clear");
  ExpectNear(BackPixel(display, 319, 239), 0, 0, 0, 0, "bottom-right corner");
}

TEST_F(DisplayTest, TexturedAlphaSquaresBlendOverAStretchedBackground) {
  TDXDraw display(Window.Handle);
  const PixelImage blue = Filled(2, 2, 24, 255, 0, 0);
  const PixelImage white = Filled(64, 64, 32, 255, 255, 255, 255);
  const PixelImage halfRed = Filled(64, 64, 32, 0, 0, 255, 128);
  TDirect3DTexture whiteTexture(display, white);
  TDirect3DTexture redTexture(display, halfRed);
  ASSERT_TRUE(display.Initialize());
  ASSERT_NE(whiteTexture.Surface(), nullptr);
  TDirectDrawSurface background(display);
  ASSERT_TRUE(background.LoadFromPicture(blue, 320, 240));

  display.SetRenderTarget();
  display.SetViewport();
  display.Clear();
  EXPECT_EQ(display.BltFast(background), DD_OK);
  display.BeginScene();
  display.SetRenderState(D3DRENDERSTATE_COLORKEYENABLE, 0);
  display.SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, 1);
  display.SetRenderState(D3DRENDERSTATE_SRCBLEND, D3DBLEND_SRCALPHA);
  display.SetRenderState(D3DRENDERSTATE_DESTBLEND, D3DBLEND_INVSRCALPHA);
  display.SetTexture(0, &whiteTexture);
  DrawSquare(display, 0, 0, 64, 0xFF80FF40);  // white texels take the vertex colour
  display.SetTexture(0, &redTexture);
  DrawSquare(display, 100, 0, 64, 0xFFFFFFFF);
  display.EndScene();

  ExpectNear(BackPixel(display, 30, 30), 0x80, 0xFF, 0x40, 2, "tinted opaque square");
  ExpectNear(BackPixel(display, 130, 30), 128, 0, 127, 3, "half-transparent red over blue");
  ExpectNear(BackPixel(display, 250, 200), 0, 0, 255, 0, "background outside the squares");
  EXPECT_EQ(display.Flip(), DD_OK);
}

namespace {

// A frame starts with CanDraw, which in a child window first chooses how frames are
// presented; whichever way it chose, the frame must reach the screen.
COLORREF ScreenPixelAfterPresentingBlue(HWND target, std::vector<PresentArea>* paths = nullptr) {
  TDXDraw display(target);
  EXPECT_TRUE(display.Initialize()) << display.InitializeFailure();
  DDBLTFX fx{};
  fx.dwSize = sizeof fx;
  fx.dwFillColor = 0x000000FF;
  for (int frame = 0; frame < 5; ++frame) {
    EXPECT_TRUE(display.CanDraw());
    display.Surface()->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx);
    EXPECT_EQ(display.Flip(), DD_OK);
    harness::PumpMessages();
    Sleep(20);
  }
  POINT middle{100, 80};
  ClientToScreen(target, &middle);
  HDC screen = GetDC(nullptr);
  const COLORREF pixel = GetPixel(screen, middle.x, middle.y);
  ReleaseDC(nullptr, screen);
  if (paths) *paths = display.PresentPaths();
  return pixel;
}

}  // namespace

TEST_F(DisplayTest, PresentedFramesReachTheScreenFromATopLevelWindow) {
  EXPECT_EQ(ScreenPixelAfterPresentingBlue(Window.Handle), RGB(0, 0, 255));
}

TEST_F(DisplayTest, PresentedFramesReachTheScreenFromAChildWindow) {
  // A fresh parent: Wine trips over a child made in a window that already held a
  // presenting display.
  TestWindow parent(320, 240);
  HWND child = CreateWindowExA(0, "DisplayTestWindow", "child", WS_CHILD | WS_VISIBLE, 0, 0, 320,
                               240, parent.Handle, nullptr, GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(child, nullptr);
  std::vector<PresentArea> paths;
  EXPECT_EQ(ScreenPixelAfterPresentingBlue(child, &paths), RGB(0, 0, 255));
  ASSERT_FALSE(paths.empty()) << "no present path was chosen";
  EXPECT_EQ(paths.front().Area, (ScreenRect{0, 0, 320, 240}));
  DestroyWindow(child);
}

TEST_F(DisplayTest, EventsComeInOrderWithTextureCopiesBetweenThem) {
  TDXDraw display(Window.Handle);
  const PixelImage image = Filled(16, 16, 32, 1, 2, 3, 4);
  TDirect3DTexture texture(display, image);
  std::vector<std::string> events;
  display.OnInitialize = [&] { events.push_back(texture.Surface() ? "init+copy" : "init"); };
  display.OnInitializeSurface = [&] {
    events.push_back(texture.Surface() ? "surface+copy" : "surface");
  };
  display.OnFinalizeSurface = [&] {
    events.push_back(texture.Surface() ? "finsurface+copy" : "finsurface");
  };
  display.OnFinalize = [&] { events.push_back(texture.Surface() ? "fin+copy" : "fin"); };
  ASSERT_TRUE(display.Initialize());
  display.Finalize();
  EXPECT_EQ(events, (std::vector<std::string>{"init", "surface+copy", "finsurface+copy", "fin"}));
  EXPECT_EQ(texture.Surface(), nullptr);
}

TEST_F(DisplayTest, FinaliseAndInitialiseRepeatedlyLeakNothing) {
  const int before = LiveSurfaceCount();
  TDXDraw display(Window.Handle);
  const PixelImage a = Filled(256, 256, 32, 9, 9, 9, 9), b = Filled(256, 256, 24, 1, 1, 1);
  TDirect3DTexture ta(display, a), tb(display, b);
  int heldWhileUp = -1;
  for (int cycle = 0; cycle < 4; ++cycle) {
    TDirectDrawSurface extra(display);
    display.OnInitializeSurface = [&] { extra.LoadFromPicture(b, 64, 64); };
    display.OnFinalizeSurface = [&] { extra.Release(); };
    ASSERT_TRUE(display.Initialize()) << "cycle " << cycle;
    const int held = LiveSurfaceCount() - before;
    if (heldWhileUp < 0) heldWhileUp = held;
    EXPECT_EQ(held, heldWhileUp) << "cycle " << cycle;
    EXPECT_EQ(held, 6);  // primary, back, depth, two texture copies, the extra surface
    display.Finalize();
    EXPECT_EQ(LiveSurfaceCount(), before) << "cycle " << cycle;
    // Every surface holds the DirectDraw object; the last release finds none left.
    EXPECT_EQ(LastDirectDrawReleaseCount(), 0u) << "cycle " << cycle;
  }
}

TEST_F(DisplayTest, AnUninitialisedDisplayCannotDrawAndItsCallsFailQuietly) {
  TDXDraw display(Window.Handle);
  EXPECT_FALSE(display.CanDraw());
  EXPECT_NE(display.Clear(), D3D_OK);
  EXPECT_NE(display.Flip(), DD_OK);
  TDirectDrawSurface surface(display);
  EXPECT_FALSE(surface.LoadFromPicture(Filled(2, 2, 24, 0, 0, 0), 10, 10));
}

TEST_F(DisplayTest, ANullWindowOfNoSizeFailsToInitialiseAndHoldsNothing) {
  const int before = LiveSurfaceCount();
  TDXDraw display(nullptr);
  EXPECT_FALSE(display.Initialize());
  EXPECT_FALSE(display.Initialized());
  EXPECT_EQ(LiveSurfaceCount(), before);
}

TEST_F(DisplayTest, LostSurfacesAreRestoredAndTexturesReloaded) {
  TDXDraw display(Window.Handle);
  const PixelImage white = Filled(8, 8, 32, 255, 255, 255, 255);
  TDirect3DTexture texture(display, white);
  int restores = 0;
  display.OnRestoreSurface = [&] { ++restores; };
  ASSERT_TRUE(display.Initialize());
  // Another program taking the screen exclusively loses every surface of ours.
  TestWindow other(64, 64);
  IDirectDraw7* rival = nullptr;
  using Create = HRESULT(WINAPI*)(GUID*, void**, REFIID, IUnknown*);
  const auto create = ProcedureAddress<Create>(GetModuleHandleA("ddraw.dll"), "DirectDrawCreateEx");
  ASSERT_NE(create, nullptr);
  ASSERT_EQ(create(nullptr, reinterpret_cast<void**>(&rival), IID_IDirectDraw7, nullptr), DD_OK);
  rival->SetCooperativeLevel(other.Handle, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN);
  rival->SetDisplayMode(640, 480, 16, 0, 0);
  const bool lost = display.Surface()->IsLost() == DDERR_SURFACELOST ||
                    display.Primary()->IsLost() == DDERR_SURFACELOST;
  rival->RestoreDisplayMode();
  rival->SetCooperativeLevel(other.Handle, DDSCL_NORMAL);
  rival->Release();
  harness::PumpMessages();
  if (!lost) GTEST_SKIP() << "this DirectDraw did not report the surfaces lost";
  EXPECT_TRUE(display.CanDraw());
  EXPECT_EQ(restores, 1);
  uint32_t texel = 0;
  ASSERT_TRUE(ReadSurfacePixel(texture.Surface(), 3, 3, texel));
  EXPECT_EQ(texel, 0xFFFFFFFFu);
}

TEST_F(DisplayTest, FullScreenTakesAQualifyingModeAndGivesTheDesktopBack) {
  const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
  TDXDraw display(Window.Handle);
  display.Options.FullScreen = true;
  if (!display.Initialize()) GTEST_SKIP() << "no exclusive mode on this display";
  EXPECT_GE(display.SurfaceWidth(), 640);
  EXPECT_GE(display.SurfaceHeight(), 480);
  EXPECT_TRUE(display.CanDraw());
  EXPECT_EQ(display.Clear(), D3D_OK);
  EXPECT_EQ(display.Flip(), DD_OK);
  display.Finalize();
  harness::PumpMessages();
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), width);
  EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), height);
  EXPECT_EQ(LastDirectDrawReleaseCount(), 0u);
}
