#include "display/win/dxdraw.h"

#include <algorithm>
#include <bit>
#include <optional>
#include <string>

#include "display/win/dxdraw_test_hooks.h"
#include "display/win/surface_pixels.h"
#include "framework/win/present_probe.h"
#include "framework/win/procedure.h"
#include "image/pixel_image.h"

namespace {

using DirectDrawCreateExProc = HRESULT(WINAPI*)(GUID*, void**, REFIID, IUnknown*);

// What the tests and the bench set and read, for every display of the process.
struct {
  int LiveSurfaces = 0;                          // surfaces and texture copies held
  std::optional<PresentPath> ForcedPresentPath;  // a child window's frames take this one
  bool TextureCopiesRefused = false;             // as by a device without video memory
  SurfaceLimit Limit;                            // devices take no larger surfaces
  bool SurfacesLostForGood = false;              // as on a device that is gone
  ULONG LastReleaseCount = 0;                    // the DirectDraw object's, at the last Finalize
} Hooks;

DirectDrawCreateExProc LoadDirectDrawCreateEx() {
  // Loaded once and kept for the process: surfaces of any display may still refer to it.
  static HMODULE library = LoadLibraryA("ddraw.dll");
  return ProcedureAddress<DirectDrawCreateExProc>(library, "DirectDrawCreateEx");
}

// A DirectDraw 7 object of its own, or null.
IDirectDraw7* NewDirectDraw() {
  DirectDrawCreateExProc create = LoadDirectDrawCreateEx();
  IDirectDraw7* directDraw = nullptr;
  if (!create ||
      FAILED(create(nullptr, reinterpret_cast<void**>(&directDraw), IID_IDirectDraw7, nullptr))) {
    return nullptr;
  }
  return directDraw;
}

// Exclusive mode needs the top-level window; the display may sit in a child window.
// FPUPRESERVE: the device must not switch the FPU to single precision under the world.
HRESULT Cooperate(IDirectDraw7* directDraw, HWND window, DWORD level) {
  HWND root = GetAncestor(window, GA_ROOT);
  if (!root) root = window;
  return directDraw->SetCooperativeLevel(root, DDSCL_FPUPRESERVE | level);
}

DDSURFACEDESC2 PrimaryDesc() {
  DDSURFACEDESC2 desc{};
  desc.dwSize = sizeof desc;
  desc.dwFlags = DDSD_CAPS;
  desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
  return desc;
}

DDSURFACEDESC2 SizedDesc(int32_t width, int32_t height, DWORD caps) {
  DDSURFACEDESC2 desc{};
  desc.dwSize = sizeof desc;
  desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
  desc.dwWidth = static_cast<DWORD>(width);
  desc.dwHeight = static_cast<DWORD>(height);
  desc.ddsCaps.dwCaps = caps;
  return desc;
}

// A clipper of the window set on the primary surface, or null when either refused it.
IDirectDrawClipper* ClipToWindow(IDirectDraw7* directDraw, IDirectDrawSurface7* primary,
                                 HWND window) {
  IDirectDrawClipper* clipper = nullptr;
  if (FAILED(directDraw->CreateClipper(0, &clipper, nullptr))) return nullptr;
  clipper->SetHWnd(0, window);
  if (SUCCEEDED(primary->SetClipper(clipper))) return clipper;
  clipper->Release();
  return nullptr;
}

template <typename T>
void ReleaseCom(T*& object) {
  if (object) {
    object->Release();
    object = nullptr;
  }
}

// For the depth-buffer and the texture formats alike.
HRESULT CALLBACK CollectPixelFormat(DDPIXELFORMAT* format, void* context) {
  auto* formats = static_cast<std::vector<DDPIXELFORMAT>*>(context);
  formats->push_back(*format);
  return D3DENUMRET_OK;
}

HRESULT WINAPI CollectDisplayMode(DDSURFACEDESC2* desc, void* context) {
  auto* modes = static_cast<std::vector<DisplayMode>*>(context);
  modes->push_back({static_cast<int32_t>(desc->dwWidth), static_cast<int32_t>(desc->dwHeight),
                    static_cast<int32_t>(desc->ddpfPixelFormat.dwRGBBitCount)});
  return DDENUMRET_OK;
}

// A 16-bit depth buffer is enough for squares that all lie at depth 0.
bool ChooseZBufferFormat(const std::vector<DDPIXELFORMAT>& formats, DDPIXELFORMAT& chosen) {
  auto it = std::find_if(formats.begin(), formats.end(), [](const DDPIXELFORMAT& f) {
    return (f.dwFlags & DDPF_ZBUFFER) && f.dwZBufferBitDepth == 16;
  });
  if (it == formats.end()) {
    it = std::find_if(formats.begin(), formats.end(),
                      [](const DDPIXELFORMAT& f) { return (f.dwFlags & DDPF_ZBUFFER) != 0; });
  }
  if (it == formats.end()) return false;
  chosen = *it;
  return true;
}

bool PlainRgb(const DDPIXELFORMAT& f) {
  const DWORD excluded = DDPF_PALETTEINDEXED1 | DDPF_PALETTEINDEXED2 | DDPF_PALETTEINDEXED4 |
                         DDPF_PALETTEINDEXED8 | DDPF_FOURCC | DDPF_BUMPDUDV | DDPF_LUMINANCE;
  return (f.dwFlags & DDPF_RGB) && !(f.dwFlags & excluded) && f.dwRGBBitCount >= 16;
}

int Score(const DDPIXELFORMAT& f, bool withAlpha) {
  const bool hasAlpha = (f.dwFlags & DDPF_ALPHAPIXELS) && f.dwRGBAlphaBitMask;
  if (withAlpha != hasAlpha) return -1;
  const bool exact = f.dwRGBBitCount == 32 && f.dwRBitMask == 0xFF0000 && f.dwGBitMask == 0xFF00 &&
                     f.dwBBitMask == 0xFF;
  return (exact ? 1000 : 0) + std::popcount(static_cast<uint32_t>(f.dwRGBAlphaBitMask)) * 10 +
         static_cast<int>(f.dwRGBBitCount);
}

DDPIXELFORMAT Argb8888(bool withAlpha) {
  DDPIXELFORMAT f{};
  f.dwSize = sizeof f;
  f.dwFlags = DDPF_RGB | (withAlpha ? DDPF_ALPHAPIXELS : 0);
  f.dwRGBBitCount = 32;
  f.dwRBitMask = 0xFF0000;
  f.dwGBitMask = 0xFF00;
  f.dwBBitMask = 0xFF;
  f.dwRGBAlphaBitMask = withAlpha ? 0xFF000000 : 0;
  return f;
}

}  // namespace

// ---- TDXDraw -----------------------------------------------------------------------------

TDXDraw::TDXDraw(HWND window) : Target(window) {}

TDXDraw::~TDXDraw() {
  Finalize();
}

bool TDXDraw::DirectDrawAvailable() {
  return LoadDirectDrawCreateEx() != nullptr;
}

int LiveSurfaceCount() {
  return Hooks.LiveSurfaces;
}

ULONG LastDirectDrawReleaseCount() {
  return Hooks.LastReleaseCount;
}

bool TDXDraw::Initialize() {
  if (Ready) return true;
  if (!CreateObjects()) {
    ReleaseObjects();
    return false;
  }
  Ready = true;
  if (OnInitialize) OnInitialize();
  // A copy to iterate: a handler may make or free textures.
  const std::vector<TDirect3DTexture*> textures = Textures;
  for (TDirect3DTexture* t : textures) t->CreateDeviceCopy();
  if (OnInitializeSurface) OnInitializeSurface();
  return true;
}

void TDXDraw::Finalize() {
  if (!Ready || Finalizing) return;
  Finalizing = true;
  if (OnFinalizeSurface) OnFinalizeSurface();
  const std::vector<TDirect3DTexture*> textures = Textures;
  for (TDirect3DTexture* t : textures) t->DropDeviceCopy();
  if (OnFinalize) OnFinalize();
  ReleaseObjects();
  Ready = false;
  Finalizing = false;
}

bool TDXDraw::Fail(const char* step) {
  FailedStep = step;
  return false;
}

bool TDXDraw::CreateObjects() {
  FailedStep = nullptr;
  if (!DirectDrawAvailable()) return Fail("ddraw.dll or DirectDrawCreateEx missing");
  DirectDraw = NewDirectDraw();
  if (!DirectDraw) return Fail("DirectDrawCreateEx");
  if (!SetCooperation()) return Fail("SetCooperativeLevel");
  if (Options.FullScreen && !EnterDisplayMode()) return Fail("SetDisplayMode");
  if (!Options.FullScreen) {
    RECT client{};
    GetClientRect(Target, &client);
    Width = client.right - client.left;
    Height = client.bottom - client.top;
  }
  if (Width <= 0 || Height <= 0) return Fail("window without a client area");
  if (!CreatePrimary()) return Fail("primary surface or clipper");
  if (FAILED(DirectDraw->QueryInterface(IID_IDirect3D7, reinterpret_cast<void**>(&Direct3D)))) {
    Direct3D = nullptr;
    return Fail("IDirect3D7");
  }
  if (!CreateDeviceOnBack()) return Fail("no Direct3D device on the back surface");
  TextureFormats.clear();
  Device->EnumTextureFormats(CollectPixelFormat, &TextureFormats);
  return true;
}

bool TDXDraw::SetCooperation() {
  const DWORD level = Options.FullScreen ? DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN |
                                               (Options.AllowReboot ? DDSCL_ALLOWREBOOT : 0)
                                         : DDSCL_NORMAL;
  return SUCCEEDED(Cooperate(DirectDraw, Target, level));
}

bool TDXDraw::EnterDisplayMode() {
  DisplayMode mode = FullScreenMode;
  if (FAILED(DirectDraw->SetDisplayMode(mode.Width, mode.Height, mode.BitCount, 0, 0))) {
    std::vector<DisplayMode> modes;
    DirectDraw->EnumDisplayModes(0, nullptr, &modes, CollectDisplayMode);
    const auto fallback = ChooseFallbackMode(modes);
    if (!fallback) return false;
    mode = *fallback;
    if (FAILED(DirectDraw->SetDisplayMode(mode.Width, mode.Height, mode.BitCount, 0, 0))) {
      return false;
    }
  }
  DisplayModeChanged = true;
  Width = mode.Width;
  Height = mode.Height;
  return true;
}

bool TDXDraw::CreatePrimary() {
  DDSURFACEDESC2 desc = PrimaryDesc();
  PrimarySurface = NewSurface(desc);
  if (!PrimarySurface) return false;
  // A child window gets its clipper only once the check has shown that the Blt arrives:
  // the clipper's window is where the system presents, and on some systems (Wine 8)
  // nothing else drawn into a child window shows once it has been presented into.
  if (InChildWindow()) return true;
  return AttachClipper();
}

bool TDXDraw::AttachClipper() {
  Clipper = ClipToWindow(DirectDraw, PrimarySurface, Target);
  return Clipper != nullptr;
}

bool TDXDraw::CreateDeviceOnBack() {
  if (Options.Hardware) {
    if (TryDevice(IID_IDirect3DHALDevice, true)) return true;
    if (TryDevice(IID_IDirect3DTnLHalDevice, true)) return true;
  }
  return TryDevice(IID_IDirect3DRGBDevice, false);
}

bool TDXDraw::TryDevice(const GUID& deviceGuid, bool hardware) {
  const DWORD memory = hardware ? DDSCAPS_VIDEOMEMORY : DDSCAPS_SYSTEMMEMORY;
  DDSURFACEDESC2 desc =
      SizedDesc(Width, Height, DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE | memory);
  BackSurface = NewSurface(desc);
  if (!BackSurface) return false;

  std::vector<DDPIXELFORMAT> zFormats;
  DDPIXELFORMAT zFormat{};
  if (Options.ZBuffer &&
      SUCCEEDED(Direct3D->EnumZBufferFormats(deviceGuid, CollectPixelFormat, &zFormats)) &&
      ChooseZBufferFormat(zFormats, zFormat)) {
    DDSURFACEDESC2 z = SizedDesc(Width, Height, DDSCAPS_ZBUFFER | memory);
    z.dwFlags |= DDSD_PIXELFORMAT;
    z.ddpfPixelFormat = zFormat;
    ZBufferSurface = NewSurface(z);
    if (ZBufferSurface && FAILED(BackSurface->AddAttachedSurface(ZBufferSurface))) {
      ReleaseSurface(ZBufferSurface);
    }
  }
  if (SUCCEEDED(Direct3D->CreateDevice(deviceGuid, BackSurface, &Device))) {
    HardwareDevice = hardware;
    return true;
  }
  Device = nullptr;
  if (ZBufferSurface) BackSurface->DeleteAttachedSurface(0, ZBufferSurface);
  ReleaseSurface(ZBufferSurface);
  ReleaseSurface(BackSurface);
  return false;
}

void TDXDraw::ReleaseObjects() {
  ReleaseCom(Device);
  if (BackSurface && ZBufferSurface) BackSurface->DeleteAttachedSurface(0, ZBufferSurface);
  ReleaseSurface(ZBufferSurface);
  ReleaseSurface(BackSurface);
  DropClipper();
  ChosenPaths.clear();
  FramePresented = false;
  ReleaseSurface(PrimarySurface);
  ReleaseCom(Direct3D);
  TextureFormats.clear();
  if (DirectDraw) {
    if (DisplayModeChanged) DirectDraw->RestoreDisplayMode();
    DirectDraw->SetCooperativeLevel(GetAncestor(Target, GA_ROOT), DDSCL_NORMAL);
    Hooks.LastReleaseCount = DirectDraw->Release();
    DirectDraw = nullptr;
  }
  DisplayModeChanged = false;
  HardwareDevice = false;
  Width = Height = 0;
}

IDirectDrawSurface7* TDXDraw::NewSurface(DDSURFACEDESC2& desc) {
  IDirectDrawSurface7* surface = nullptr;
  if (!DirectDraw || FAILED(DirectDraw->CreateSurface(&desc, &surface, nullptr))) return nullptr;
  ++Hooks.LiveSurfaces;
  return surface;
}

void TDXDraw::ReleaseSurface(IDirectDrawSurface7*& surface) {
  if (!surface) return;
  surface->Release();
  surface = nullptr;
  --Hooks.LiveSurfaces;
}

bool TDXDraw::CanDraw() {
  if (!Ready || Finalizing || !PrimarySurface || !BackSurface) return false;
  if (Hooks.SurfacesLostForGood) return false;
  if (PrimarySurface->IsLost() != DD_OK || BackSurface->IsLost() != DD_OK) {
    if (!RestoreLostSurfaces()) return false;
  }
  // How a child window's frames are presented is chosen once its first frame shows (by
  // the copy that always shows): the check makes a display of its own and takes as long as
  // starting this one did, which the first frame does not wait for.
  if (FramePresented) ChoosePresentPathOnce();
  return true;
}

bool TDXDraw::RestoreLostSurfaces() {
  if (FAILED(DirectDraw->RestoreAllSurfaces())) return false;
  if (PrimarySurface->IsLost() != DD_OK || BackSurface->IsLost() != DD_OK) return false;
  Clear();
  for (TDirect3DTexture* t : Textures) t->Reload();
  if (OnRestoreSurface) OnRestoreSurface();
  return true;
}

DDPIXELFORMAT TDXDraw::TextureFormat(bool withAlpha) const {
  int best = -1;
  DDPIXELFORMAT format = Argb8888(withAlpha);
  for (const DDPIXELFORMAT& f : TextureFormats) {
    if (!PlainRgb(f)) continue;
    const int score = Score(f, withAlpha);
    if (score > best) {
      best = score;
      format = f;
    }
  }
  return format;
}

HRESULT TDXDraw::Clear() {
  if (!Device) return DDERR_NOTINITIALIZED;
  D3DRECT all{0, 0, Width, Height};
  const DWORD flags = D3DCLEAR_TARGET | (ZBufferSurface ? D3DCLEAR_ZBUFFER : 0);
  return Device->Clear(1, &all, flags, 0, 1.0f, 0);
}

HRESULT TDXDraw::SetRenderTarget() {
  if (!Device) return DDERR_NOTINITIALIZED;
  return Device->SetRenderTarget(BackSurface, 0);
}

HRESULT TDXDraw::SetViewport() {
  if (!Device) return DDERR_NOTINITIALIZED;
  D3DVIEWPORT7 viewport{0, 0, static_cast<DWORD>(Width), static_cast<DWORD>(Height), 0.0f, 1.0f};
  return Device->SetViewport(&viewport);
}

HRESULT TDXDraw::SetRenderState(D3DRENDERSTATETYPE state, DWORD value) {
  if (!Device) return DDERR_NOTINITIALIZED;
  return Device->SetRenderState(state, value);
}

HRESULT TDXDraw::SetTexture(DWORD stage, const TDirect3DTexture* texture) {
  if (!Device) return DDERR_NOTINITIALIZED;
  return Device->SetTexture(stage, texture ? texture->Surface() : nullptr);
}

HRESULT TDXDraw::DrawPrimitive(D3DPRIMITIVETYPE type, DWORD vertexFormat, const void* vertices,
                               DWORD count, DWORD flags) {
  if (!Device) return DDERR_NOTINITIALIZED;
  return Device->DrawPrimitive(type, vertexFormat, const_cast<void*>(vertices), count, flags);
}

HRESULT TDXDraw::BeginScene() {
  if (!Device) return DDERR_NOTINITIALIZED;
  return Device->BeginScene();
}

HRESULT TDXDraw::EndScene() {
  if (!Device) return DDERR_NOTINITIALIZED;
  return Device->EndScene();
}

HRESULT TDXDraw::BltFast(const TDirectDrawSurface& source) {
  if (!BackSurface || !source.Surface()) return DDERR_NOTINITIALIZED;
  RECT whole{0, 0, source.Width(), source.Height()};
  return BackSurface->BltFast(0, 0, source.Surface(), &whole, DDBLTFAST_NOCOLORKEY);
}

HRESULT TDXDraw::Flip() {
  if (!PrimarySurface || !BackSurface) return DDERR_NOTINITIALIZED;
  const HRESULT result = Present();
  if (FAILED(result)) return result;
  FramePresented = true;
  NotePresent(PresentKind::Flip);
  return result;
}

HRESULT TDXDraw::Present() {
  if (Options.FullScreen)
    return PrimarySurface->Blt(nullptr, BackSurface, nullptr, DDBLT_WAIT, nullptr);
  const ScreenRect client{0, 0, Width, Height};
  if (!InChildWindow()) return BltToWindow(client);
  // Until the check has run (the window not yet shown), the copy that always shows.
  if (ChosenPaths.empty() || AllAreasUse(ChosenPaths, PresentPath::GdiCopy)) {
    return CopyToWindowDC(client);
  }
  if (AllAreasUse(ChosenPaths, PresentPath::ClippedBlt)) return BltToWindow(client);
  HRESULT result = DD_OK;
  for (const PresentArea& a : ChosenPaths) {
    const HRESULT hr =
        a.Path == PresentPath::ClippedBlt ? BltToWindow(a.Area) : CopyToWindowDC(a.Area);
    if (FAILED(hr)) result = hr;
  }
  return result;
}

bool TDXDraw::InChildWindow() const {
  return !Options.FullScreen && (GetWindowLongA(Target, GWL_STYLE) & WS_CHILD);
}

namespace {

// A window class that paints nothing of its own, for the check's stand-in window.
const char* ProbeWindowClass() {
  static const char* name = [] {
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "VesperinePresentCheck";
    RegisterClassA(&wc);
    return wc.lpszClassName;
  }();
  return name;
}

// The check runs on a stand-in: a child window of the same parent over the same place,
// with a DirectDraw object of its own. Whatever presenting into it does to a window (see
// CreatePrimary) is done to the stand-in, which goes when the check ends.
class StandInPresentProbe : public PresentProbe {
 public:
  StandInPresentProbe(HWND target, int32_t width, int32_t height)
      : Target(target), W(width), H(height) {}
  ~StandInPresentProbe() override {
    if (Dc) ReleaseDC(Window, Dc);
    if (Primary) Primary->SetClipper(nullptr);
    ReleaseCom(Clipper);
    ReleaseCom(Source);
    ReleaseCom(Primary);
    ReleaseCom(DirectDraw);
    if (Window) DestroyWindow(Window);
  }

  bool PresentPatternByBlt() override {
    if (!MakeWindow() || !MakeSurfaces() || !WriteImageToSurface(Source, Pattern())) return false;
    POINT origin{0, 0};
    ClientToScreen(Window, &origin);
    RECT dest{origin.x, origin.y, origin.x + W, origin.y + H};
    if (FAILED(Primary->Blt(&dest, Source, nullptr, DDBLT_WAIT, nullptr))) return false;
    GdiFlush();
    Dc = GetDC(Window);
    return Dc != nullptr;
  }

  std::optional<uint32_t> ReadWindowPixel(int32_t x, int32_t y) override {
    if (!Dc) return std::nullopt;
    const COLORREF pixel = GetPixel(Dc, x, y);
    if (pixel == CLR_INVALID) return std::nullopt;
    return (uint32_t{GetRValue(pixel)} << 16) | (uint32_t{GetGValue(pixel)} << 8) |
           GetBValue(pixel);
  }

 private:
  bool MakeWindow() {
    HWND parent = GetParent(Target);
    RECT place{};
    GetWindowRect(Target, &place);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&place), 2);
    Window = CreateWindowExA(0, ProbeWindowClass(), "", WS_CHILD | WS_CLIPSIBLINGS, place.left,
                             place.top, W, H, parent, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (!Window) return false;
    SetWindowPos(Window, HWND_TOP, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    return true;
  }

  // The display's own set-up, windowed, over the stand-in.
  bool MakeSurfaces() {
    DirectDraw = NewDirectDraw();
    if (!DirectDraw || FAILED(Cooperate(DirectDraw, Target, DDSCL_NORMAL))) return false;
    DDSURFACEDESC2 primary = PrimaryDesc();
    if (FAILED(DirectDraw->CreateSurface(&primary, &Primary, nullptr))) Primary = nullptr;
    if (!Primary) return false;
    Clipper = ClipToWindow(DirectDraw, Primary, Window);
    if (!Clipper) return false;
    DDSURFACEDESC2 source = SizedDesc(W, H, DDSCAPS_OFFSCREENPLAIN);
    if (FAILED(DirectDraw->CreateSurface(&source, &Source, nullptr))) Source = nullptr;
    return Source != nullptr;
  }

  PixelImage Pattern() const {
    PixelImage pattern;
    pattern.SetSize(W, H, 24);
    for (int32_t y = 0; y < H; ++y) {
      uint8_t* row = pattern.Row(y);
      for (int32_t x = 0; x < W; ++x) {
        const uint32_t rgb = PresentPatternColor(x, y);
        row[x * 3 + 0] = static_cast<uint8_t>(rgb);
        row[x * 3 + 1] = static_cast<uint8_t>(rgb >> 8);
        row[x * 3 + 2] = static_cast<uint8_t>(rgb >> 16);
      }
    }
    return pattern;
  }

  HWND Target;
  int32_t W;
  int32_t H;
  HWND Window = nullptr;
  HDC Dc = nullptr;
  IDirectDraw7* DirectDraw = nullptr;
  IDirectDrawSurface7* Primary = nullptr;
  IDirectDrawSurface7* Source = nullptr;
  IDirectDrawClipper* Clipper = nullptr;
};

}  // namespace

// A child window's frames take the clipped Blt where it shows and the GDI copy elsewhere.
// The check runs once the window is on screen: read back before that, nothing would show.
void TDXDraw::ChoosePresentPathOnce() {
  if (!ChosenPaths.empty() || !InChildWindow() || !IsWindowVisible(Target)) return;
  POINT origin{0, 0};
  ClientToScreen(Target, &origin);
  const ScreenRect onScreen{origin.x, origin.y, origin.x + Width, origin.y + Height};
  if (Hooks.ForcedPresentPath) {
    ChosenPaths = {{ScreenRect{0, 0, Width, Height}, *Hooks.ForcedPresentPath}};
  } else {
    StandInPresentProbe probe(Target, Width, Height);
    ChosenPaths = ChoosePresentPaths(probe, PresentAreasOf(onScreen, Monitors));
  }
  if (!AllAreasUse(ChosenPaths, PresentPath::GdiCopy) && !AttachClipper()) {
    for (PresentArea& a : ChosenPaths) a.Path = PresentPath::GdiCopy;
  }
  const std::string trace = "Vesperine: " + DescribePresentPaths(ChosenPaths) + "\n";
  OutputDebugStringA(trace.c_str());
}

void TDXDraw::DropClipper() {
  if (PrimarySurface && Clipper) PrimarySurface->SetClipper(nullptr);
  ReleaseCom(Clipper);
}

HRESULT TDXDraw::BltToWindow(const ScreenRect& area) {
  if (!Clipper) return DDERR_NOCLIPPERATTACHED;
  POINT origin{0, 0};
  ClientToScreen(Target, &origin);
  RECT source{area.Left, area.Top, area.Right, area.Bottom};
  RECT dest{origin.x + area.Left, origin.y + area.Top, origin.x + area.Right,
            origin.y + area.Bottom};
  return PrimarySurface->Blt(&dest, BackSurface, &source, DDBLT_WAIT, nullptr);
}

HRESULT TDXDraw::CopyToWindowDC(const ScreenRect& area) {
  HDC source = nullptr;
  const HRESULT hr = BackSurface->GetDC(&source);
  if (FAILED(hr)) return hr;
  HDC window = GetDC(Target);
  const BOOL copied = window && BitBlt(window, area.Left, area.Top, area.Width(), area.Height(),
                                       source, area.Left, area.Top, SRCCOPY);
  if (window) ReleaseDC(Target, window);
  BackSurface->ReleaseDC(source);
  return copied ? DD_OK : DDERR_GENERIC;
}

// ---- TDirect3DTexture ----------------------------------------------------------------------

TDirect3DTexture::TDirect3DTexture(TDXDraw& display, const PixelImage& image)
    : Display(display), Source(image) {
  Display.Textures.push_back(this);
  if (Display.Ready) CreateDeviceCopy();
}

TDirect3DTexture::~TDirect3DTexture() {
  DropDeviceCopy();
  std::erase(Display.Textures, this);
}

void LimitSurfaces(SurfaceLimit limit) {
  Hooks.Limit = limit;
}

std::optional<SurfaceLimit> TDXDraw::DeviceSurfaceLimit() const {
  if (!Device) return std::nullopt;
  D3DDEVICEDESC7 caps{};
  SurfaceLimit limit;
  if (SUCCEEDED(Device->GetCaps(&caps))) {
    limit.Width = static_cast<int32_t>(caps.dwMaxTextureWidth);
    limit.Height = static_cast<int32_t>(caps.dwMaxTextureHeight);
  }
  const auto lower = [](int32_t said, int32_t test) {
    return test > 0 && (said <= 0 || test < said) ? test : said;
  };
  return SurfaceLimit{lower(limit.Width, Hooks.Limit.Width),
                      lower(limit.Height, Hooks.Limit.Height)};
}

void ForcePresentPath(std::optional<PresentPath> path) {
  Hooks.ForcedPresentPath = path;
}

void RefuseTextureCopies(bool refuse) {
  Hooks.TextureCopiesRefused = refuse;
}

void TDirect3DTexture::CreateDeviceCopy() {
  if (DeviceCopy || !Display.Device || Source.Empty() || Hooks.TextureCopiesRefused) return;
  DDSURFACEDESC2 desc = SizedDesc(Source.Width(), Source.Height(), DDSCAPS_TEXTURE);
  desc.dwFlags |= DDSD_PIXELFORMAT;
  if (Display.HardwareDevice) {
    desc.ddsCaps.dwCaps2 = DDSCAPS2_TEXTUREMANAGE;
  } else {
    desc.ddsCaps.dwCaps |= DDSCAPS_SYSTEMMEMORY;
  }
  desc.ddpfPixelFormat = Display.TextureFormat(Source.BitCount() == 32);
  DeviceCopy = Display.NewSurface(desc);
  Reload();
}

void TDirect3DTexture::DropDeviceCopy() {
  if (DeviceCopy && Display.Device) Display.Device->SetTexture(0, nullptr);
  Display.ReleaseSurface(DeviceCopy);
}

void TDirect3DTexture::Reload() {
  if (DeviceCopy) WriteImageToSurface(DeviceCopy, Source);
}

// ---- TDirectDrawSurface --------------------------------------------------------------------

TDirectDrawSurface::TDirectDrawSurface(TDXDraw& display) : Display(display) {}

TDirectDrawSurface::~TDirectDrawSurface() {
  Release();
}

void TDirectDrawSurface::Release() {
  Display.ReleaseSurface(Handle);
  W = H = 0;
}

bool TDirectDrawSurface::LoadFromPicture(const PixelImage& picture, int32_t width, int32_t height) {
  if (width <= 0 || height <= 0 || !Display.DirectDraw) return false;
  if (!Handle || W != width || H != height) {
    Release();
    DDSURFACEDESC2 desc = SizedDesc(width, height, DDSCAPS_OFFSCREENPLAIN);
    Handle = Display.NewSurface(desc);
    if (!Handle) return false;
    W = width;
    H = height;
  }
  // A picture already made for the surface goes up as it is: no second resampling.
  if (picture.Width() == width && picture.Height() == height && picture.BitCount() == 32) {
    return WriteImageToSurface(Handle, picture);
  }
  PixelImage stretched;
  stretched.SetSize(width, height, 32);
  if (!picture.Empty()) stretched.StretchDraw(picture, {0, 0, width, height});
  return WriteImageToSurface(Handle, stretched);
}

void LoseSurfacesForGood(bool lost) {
  Hooks.SurfacesLostForGood = lost;
}
