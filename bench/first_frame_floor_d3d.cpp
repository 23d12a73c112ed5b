// The floor of the Direct3D run: a bare Direct3D 7 program drawing the same kind of frame
// as the run (a full-screen background surface, then alpha-blended textured squares on a
// device over an off-screen back surface with a depth buffer, presented into the window).
// Nothing is checked or kept that the frame does not need; the present is its first.
#include <windows.h>
// clang-format off
#include <ddraw.h>
#include <d3d.h>
// clang-format on

#include <cstdint>

#include "first_frame_stamp.h"

namespace {

using DirectDrawCreateExProc = HRESULT(WINAPI*)(GUID*, void**, REFIID, IUnknown*);

struct Display {
  IDirectDraw7* DirectDraw = nullptr;
  IDirectDrawSurface7* Primary = nullptr;
  IDirectDrawSurface7* Back = nullptr;
  IDirectDrawSurface7* Background = nullptr;
  IDirectDrawSurface7* Texture = nullptr;
  IDirect3D7* Direct3D = nullptr;
  IDirect3DDevice7* Device = nullptr;
  int Width = 0;
  int Height = 0;
};

DDSURFACEDESC2 SizedDesc(int width, int height, DWORD caps) {
  DDSURFACEDESC2 desc{};
  desc.dwSize = sizeof desc;
  desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
  desc.dwWidth = static_cast<DWORD>(width);
  desc.dwHeight = static_cast<DWORD>(height);
  desc.ddsCaps.dwCaps = caps;
  return desc;
}

HRESULT CALLBACK FirstZFormat(DDPIXELFORMAT* format, void* context) {
  *static_cast<DDPIXELFORMAT*>(context) = *format;
  return format->dwZBufferBitDepth == 16 ? D3DENUMRET_CANCEL : D3DENUMRET_OK;
}

bool MakeDevice(Display& d, const GUID& guid, DWORD memory) {
  DDSURFACEDESC2 back =
      SizedDesc(d.Width, d.Height, DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE | memory);
  if (FAILED(d.DirectDraw->CreateSurface(&back, &d.Back, nullptr))) return false;
  DDPIXELFORMAT zFormat{};
  if (SUCCEEDED(d.Direct3D->EnumZBufferFormats(guid, FirstZFormat, &zFormat)) &&
      zFormat.dwSize != 0) {
    DDSURFACEDESC2 z = SizedDesc(d.Width, d.Height, DDSCAPS_ZBUFFER | memory);
    z.dwFlags |= DDSD_PIXELFORMAT;
    z.ddpfPixelFormat = zFormat;
    IDirectDrawSurface7* zBuffer = nullptr;
    if (SUCCEEDED(d.DirectDraw->CreateSurface(&z, &zBuffer, nullptr))) {
      d.Back->AddAttachedSurface(zBuffer);
      zBuffer->Release();
    }
  }
  if (SUCCEEDED(d.Direct3D->CreateDevice(guid, d.Back, &d.Device))) return true;
  d.Back->Release();
  d.Back = nullptr;
  return false;
}

// A surface of the given caps and 32-bit pixels, filled by fill(x, y).
template <class Fill>
IDirectDrawSurface7* FilledSurface(Display& d, int width, int height, DWORD caps, bool alpha,
                                   Fill fill) {
  DDSURFACEDESC2 desc = SizedDesc(width, height, caps);
  desc.dwFlags |= DDSD_PIXELFORMAT;
  desc.ddpfPixelFormat.dwSize = sizeof(DDPIXELFORMAT);
  desc.ddpfPixelFormat.dwFlags = DDPF_RGB | (alpha ? DDPF_ALPHAPIXELS : 0);
  desc.ddpfPixelFormat.dwRGBBitCount = 32;
  desc.ddpfPixelFormat.dwRBitMask = 0xFF0000;
  desc.ddpfPixelFormat.dwGBitMask = 0xFF00;
  desc.ddpfPixelFormat.dwBBitMask = 0xFF;
  desc.ddpfPixelFormat.dwRGBAlphaBitMask = alpha ? 0xFF000000 : 0;
  IDirectDrawSurface7* surface = nullptr;
  if (FAILED(d.DirectDraw->CreateSurface(&desc, &surface, nullptr))) return nullptr;
  DDSURFACEDESC2 locked{};
  locked.dwSize = sizeof locked;
  if (SUCCEEDED(surface->Lock(nullptr, &locked, DDLOCK_WAIT | DDLOCK_WRITEONLY, nullptr))) {
    for (int y = 0; y < height; ++y) {
      auto* row = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(locked.lpSurface) +
                                              static_cast<size_t>(y) * locked.lPitch);
      for (int x = 0; x < width; ++x) row[x] = fill(x, y);
    }
    surface->Unlock(nullptr);
  }
  return surface;
}

bool Initialize(Display& d, HWND window) {
  HMODULE library = LoadLibraryA("ddraw.dll");
  auto create = library ? reinterpret_cast<DirectDrawCreateExProc>(reinterpret_cast<void (*)()>(
                              GetProcAddress(library, "DirectDrawCreateEx")))
                        : nullptr;
  if (!create ||
      FAILED(create(nullptr, reinterpret_cast<void**>(&d.DirectDraw), IID_IDirectDraw7, nullptr)))
    return false;
  if (FAILED(d.DirectDraw->SetCooperativeLevel(window, DDSCL_NORMAL | DDSCL_FPUPRESERVE)))
    return false;
  DDSURFACEDESC2 primary{};
  primary.dwSize = sizeof primary;
  primary.dwFlags = DDSD_CAPS;
  primary.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
  if (FAILED(d.DirectDraw->CreateSurface(&primary, &d.Primary, nullptr))) return false;
  IDirectDrawClipper* clipper = nullptr;
  if (SUCCEEDED(d.DirectDraw->CreateClipper(0, &clipper, nullptr))) {
    clipper->SetHWnd(0, window);
    d.Primary->SetClipper(clipper);
    clipper->Release();
  }
  if (FAILED(d.DirectDraw->QueryInterface(IID_IDirect3D7, reinterpret_cast<void**>(&d.Direct3D))))
    return false;
  if (!MakeDevice(d, IID_IDirect3DHALDevice, DDSCAPS_VIDEOMEMORY) &&
      !MakeDevice(d, IID_IDirect3DRGBDevice, DDSCAPS_SYSTEMMEMORY))
    return false;
  d.Background = FilledSurface(
      d, d.Width, d.Height, DDSCAPS_OFFSCREENPLAIN, false, [&](int x, int y) -> uint32_t {
        return 0xFF000000u | ((x * 255 / d.Width) << 16) | ((y * 255 / d.Height) << 8) | 0x60u;
      });
  d.Texture = FilledSurface(d, 256, 256, DDSCAPS_TEXTURE, true, [](int x, int y) -> uint32_t {
    const int dx = x - 128, dy = y - 128;
    const int inside = 128 * 128 - (dx * dx + dy * dy);
    const uint32_t alpha = inside > 0 ? static_cast<uint32_t>(inside * 255 / (128 * 128)) : 0u;
    return (alpha << 24) | 0xFFFFFFu;
  });
  return d.Texture != nullptr;
}

void DrawSquare(IDirect3DDevice7* device, float x, float y, float side, D3DCOLOR colour) {
  D3DTLVERTEX v[4] = {};
  const float xs[4] = {x, x + side, x, x + side};
  const float ys[4] = {y, y, y + side, y + side};
  for (int i = 0; i < 4; ++i) {
    v[i].sx = xs[i];
    v[i].sy = ys[i];
    v[i].rhw = 1.0f;
    v[i].color = colour;
    v[i].tu = static_cast<float>(i & 1);
    v[i].tv = static_cast<float>(i >> 1);
  }
  device->DrawPrimitive(D3DPT_TRIANGLESTRIP, D3DFVF_TLVERTEX, v, 4, D3DDP_WAIT);
}

HRESULT DrawFrame(Display& d, HWND window) {
  D3DRECT all{0, 0, d.Width, d.Height};
  d.Device->Clear(1, &all, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
  RECT whole{0, 0, d.Width, d.Height};
  if (d.Background) d.Back->BltFast(0, 0, d.Background, &whole, DDBLTFAST_NOCOLORKEY);
  d.Device->BeginScene();
  d.Device->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, 1);
  d.Device->SetRenderState(D3DRENDERSTATE_SRCBLEND, D3DBLEND_SRCALPHA);
  d.Device->SetRenderState(D3DRENDERSTATE_DESTBLEND, D3DBLEND_INVSRCALPHA);
  d.Device->SetTexture(0, d.Texture);
  for (int k = 0; k < 10; ++k) {
    DrawSquare(d.Device, static_cast<float>((k * 97) % (d.Width - 156)),
               static_cast<float>((k * 61) % (d.Height - 156)), 156.0f,
               D3DRGBA(0.3 + 0.07 * k, 0.5, 1.0 - 0.07 * k, 1.0));
  }
  d.Device->EndScene();
  POINT origin{0, 0};
  ClientToScreen(window, &origin);
  RECT dest{origin.x, origin.y, origin.x + d.Width, origin.y + d.Height};
  return d.Primary->Blt(&dest, d.Back, nullptr, DDBLT_WAIT, nullptr);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  WriteStamp("main");
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = DefWindowProcA;
  windowClass.hInstance = instance;
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  windowClass.lpszClassName = "FirstFrameFloorD3D";
  RegisterClassA(&windowClass);
  Display d;
  d.Width = GetSystemMetrics(SM_CXSCREEN);
  d.Height = GetSystemMetrics(SM_CYSCREEN);
  HWND window =
      CreateWindowExA(WS_EX_TOPMOST, windowClass.lpszClassName, "floor", WS_POPUP | WS_VISIBLE, 0,
                      0, d.Width, d.Height, nullptr, nullptr, instance, nullptr);
  UpdateWindow(window);
  if (!Initialize(d, window)) {
    WriteStamp("no-direct3d");
    return 1;
  }
  if (SUCCEEDED(DrawFrame(d, window))) StampFirstPresentAndEnd("present-flip");
  WriteStamp("present-failed");
  return 1;
}
