#include "display/dxdraw.h"

#include <algorithm>
#include <bit>

#include "display/surface_pixels.h"
#include "image/pixel_image.h"

namespace {

using DirectDrawCreateExProc = HRESULT(WINAPI*)(GUID*, void**, REFIID, IUnknown*);

int LiveSurfaces = 0;

DirectDrawCreateExProc LoadDirectDrawCreateEx() {
  // Loaded once and kept for the process: surfaces of any display may still refer to it.
  static HMODULE library = LoadLibraryA("ddraw.dll");
  if (!library) return nullptr;
  return reinterpret_cast<DirectDrawCreateExProc>(
      reinterpret_cast<void*>(GetProcAddress(library, "DirectDrawCreateEx")));
}

template <typename T>
void ReleaseCom(T*& object) {
  if (object) {
    object->Release();
    object = nullptr;
  }
}

HRESULT CALLBACK CollectZBufferFormat(DDPIXELFORMAT* format, void* context) {
  auto* formats = static_cast<std::vector<DDPIXELFORMAT>*>(context);
  formats->push_back(*format);
  return D3DENUMRET_OK;
}

HRESULT CALLBACK CollectTextureFormat(DDPIXELFORMAT* format, void* context) {
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

int TDXDraw::LiveSurfaceCount() {
  return LiveSurfaces;
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
  DirectDrawCreateExProc create = LoadDirectDrawCreateEx();
  if (!create) return Fail("ddraw.dll or DirectDrawCreateEx missing");
  if (FAILED(create(nullptr, reinterpret_cast<void**>(&DirectDraw), IID_IDirectDraw7, nullptr))) {
    DirectDraw = nullptr;
    return Fail("DirectDrawCreateEx");
  }
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
  Device->EnumTextureFormats(CollectTextureFormat, &TextureFormats);
  return true;
}

bool TDXDraw::SetCooperation() {
  // Exclusive mode needs the top-level window; the display may sit in a child window.
  HWND root = GetAncestor(Target, GA_ROOT);
  if (!root) root = Target;
  // FPUPRESERVE: the device must not switch the FPU to single precision under the world.
  DWORD flags = DDSCL_FPUPRESERVE;
  if (Options.FullScreen) {
    flags |= DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN | (Options.AllowReboot ? DDSCL_ALLOWREBOOT : 0);
  } else {
    flags |= DDSCL_NORMAL;
  }
  return SUCCEEDED(DirectDraw->SetCooperativeLevel(root, flags));
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
  DDSURFACEDESC2 desc{};
  desc.dwSize = sizeof desc;
  desc.dwFlags = DDSD_CAPS;
  desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
  PrimarySurface = NewSurface(desc);
  if (!PrimarySurface) return false;
  if (PresentsByGdi()) return true;
  if (FAILED(DirectDraw->CreateClipper(0, &Clipper, nullptr))) {
    Clipper = nullptr;
    return false;
  }
  Clipper->SetHWnd(0, Target);
  return SUCCEEDED(PrimarySurface->SetClipper(Clipper));
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
  DDSURFACEDESC2 desc{};
  desc.dwSize = sizeof desc;
  desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
  desc.dwWidth = static_cast<DWORD>(Width);
  desc.dwHeight = static_cast<DWORD>(Height);
  desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE | memory;
  BackSurface = NewSurface(desc);
  if (!BackSurface) return false;

  std::vector<DDPIXELFORMAT> zFormats;
  DDPIXELFORMAT zFormat{};
  if (Options.ZBuffer &&
      SUCCEEDED(Direct3D->EnumZBufferFormats(deviceGuid, CollectZBufferFormat, &zFormats)) &&
      ChooseZBufferFormat(zFormats, zFormat)) {
    DDSURFACEDESC2 z{};
    z.dwSize = sizeof z;
    z.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
    z.dwWidth = desc.dwWidth;
    z.dwHeight = desc.dwHeight;
    z.ddsCaps.dwCaps = DDSCAPS_ZBUFFER | memory;
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
  if (PrimarySurface) PrimarySurface->SetClipper(nullptr);
  ReleaseCom(Clipper);
  ReleaseSurface(PrimarySurface);
  ReleaseCom(Direct3D);
  TextureFormats.clear();
  if (DirectDraw) {
    if (DisplayModeChanged) DirectDraw->RestoreDisplayMode();
    DirectDraw->SetCooperativeLevel(GetAncestor(Target, GA_ROOT), DDSCL_NORMAL);
    LastReleaseCount = DirectDraw->Release();
    DirectDraw = nullptr;
  }
  DisplayModeChanged = false;
  HardwareDevice = false;
  Width = Height = 0;
}

IDirectDrawSurface7* TDXDraw::NewSurface(DDSURFACEDESC2& desc) {
  IDirectDrawSurface7* surface = nullptr;
  if (!DirectDraw || FAILED(DirectDraw->CreateSurface(&desc, &surface, nullptr))) return nullptr;
  ++LiveSurfaces;
  return surface;
}

void TDXDraw::ReleaseSurface(IDirectDrawSurface7*& surface) {
  if (!surface) return;
  surface->Release();
  surface = nullptr;
  --LiveSurfaces;
}

bool TDXDraw::CanDraw() {
  if (!Ready || Finalizing || !PrimarySurface || !BackSurface) return false;
  if (PrimarySurface->IsLost() == DD_OK && BackSurface->IsLost() == DD_OK) return true;
  return RestoreLostSurfaces();
}

bool TDXDraw::RestoreLostSurfaces() {
  if (FAILED(DirectDraw->RestoreAllSurfaces())) return false;
  if (PrimarySurface->IsLost() != DD_OK || BackSurface->IsLost() != DD_OK) return false;
  Clear();
  for (TDirect3DTexture* t : Textures) t->Reload();
  if (OnRestoreSurface) OnRestoreSurface();
  return true;
}

bool TDXDraw::TextureFormat(bool withAlpha, DDPIXELFORMAT& format) const {
  int best = -1;
  for (const DDPIXELFORMAT& f : TextureFormats) {
    if (!PlainRgb(f)) continue;
    const int score = Score(f, withAlpha);
    if (score > best) {
      best = score;
      format = f;
    }
  }
  if (best < 0) format = Argb8888(withAlpha);
  return true;
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
  if (Options.FullScreen)
    return PrimarySurface->Blt(nullptr, BackSurface, nullptr, DDBLT_WAIT, nullptr);
  // A child window gets no clipper and a GDI copy from the back surface's DC: Wine puts
  // its GL presenter over a clipper's child window and nothing drawn there shows.
  if (PresentsByGdi()) return CopyToWindowDC();
  POINT origin{0, 0};
  ClientToScreen(Target, &origin);
  RECT dest{origin.x, origin.y, origin.x + Width, origin.y + Height};
  return PrimarySurface->Blt(&dest, BackSurface, nullptr, DDBLT_WAIT, nullptr);
}

bool TDXDraw::PresentsByGdi() const {
  return !Options.FullScreen && (GetWindowLongA(Target, GWL_STYLE) & WS_CHILD);
}

HRESULT TDXDraw::CopyToWindowDC() {
  HDC source = nullptr;
  const HRESULT hr = BackSurface->GetDC(&source);
  if (FAILED(hr)) return hr;
  HDC window = GetDC(Target);
  const BOOL copied = window && BitBlt(window, 0, 0, Width, Height, source, 0, 0, SRCCOPY);
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

namespace {
bool TextureCopiesRefused = false;
}  // namespace

void TDXDraw::RefuseTextureCopies(bool refuse) {
  TextureCopiesRefused = refuse;
}

void TDirect3DTexture::CreateDeviceCopy() {
  if (DeviceCopy || !Display.Device || Source.Empty() || TextureCopiesRefused) return;
  DDSURFACEDESC2 desc{};
  desc.dwSize = sizeof desc;
  desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
  desc.dwWidth = static_cast<DWORD>(Source.Width());
  desc.dwHeight = static_cast<DWORD>(Source.Height());
  desc.ddsCaps.dwCaps = DDSCAPS_TEXTURE;
  if (Display.HardwareDevice) {
    desc.ddsCaps.dwCaps2 = DDSCAPS2_TEXTUREMANAGE;
  } else {
    desc.ddsCaps.dwCaps |= DDSCAPS_SYSTEMMEMORY;
  }
  Display.TextureFormat(Source.BitCount() == 32, desc.ddpfPixelFormat);
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
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    desc.dwWidth = static_cast<DWORD>(width);
    desc.dwHeight = static_cast<DWORD>(height);
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
    Handle = Display.NewSurface(desc);
    if (!Handle) return false;
    W = width;
    H = height;
  }
  PixelImage stretched;
  stretched.SetSize(width, height, 32);
  if (!picture.Empty()) stretched.StretchDraw(picture, {0, 0, width, height});
  return WriteImageToSurface(Handle, stretched);
}
