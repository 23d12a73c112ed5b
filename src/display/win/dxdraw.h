// The display layer over DirectDraw 7 and Direct3D 7 (ddraw.dll loaded at run time, so the
// program still starts where it is missing).
//
// TDXDraw     a display over one window: a Direct3D 7 device rendering into an off-screen
//             back surface of the window's client size with a depth buffer, presented by
//             Blt into the window through a clipper (in a child window only where a test
//             pattern shows that the Blt arrives, else by a GDI copy); or, switched to full
//             screen, the screen taken exclusively at 640 x 480 x 16 (or the fallback mode).
// TDirect3DTexture   a texture over a pixel image; its device copy lives while the display
//             is initialised and reloads from the image after a surface loss.
// TDirectDrawSurface an off-screen surface filled by stretching a picture.
//
// Device loss is an ordinary path: Initialize and Finalize are a create/discard pair that
// may run any number of times; Finalize leaves no surface or texture copy behind.
#pragma once

#include <d3d.h>
#include <ddraw.h>
#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "display/display_mode.h"
#include "display/present_check.h"
#include "framework/screen_layout.h"

class PixelImage;
class TDXDraw;

class TDirect3DTexture {
 public:
  // The image must outlive the texture; the texture reads it whenever it (re)loads.
  TDirect3DTexture(TDXDraw& display, const PixelImage& image);
  ~TDirect3DTexture();
  TDirect3DTexture(const TDirect3DTexture&) = delete;
  TDirect3DTexture& operator=(const TDirect3DTexture&) = delete;

  IDirectDrawSurface7* Surface() const { return DeviceCopy; }
  const PixelImage& Image() const { return Source; }

 private:
  friend class TDXDraw;
  void CreateDeviceCopy();
  void DropDeviceCopy();
  void Reload();

  TDXDraw& Display;
  const PixelImage& Source;
  IDirectDrawSurface7* DeviceCopy = nullptr;
};

class TDirectDrawSurface {
 public:
  explicit TDirectDrawSurface(TDXDraw& display);
  ~TDirectDrawSurface();
  TDirectDrawSurface(const TDirectDrawSurface&) = delete;
  TDirectDrawSurface& operator=(const TDirectDrawSurface&) = delete;

  // Makes the surface width x height and stretches the whole picture over it (aspect not
  // kept); an empty picture leaves it black. False when the surface cannot be made.
  bool LoadFromPicture(const PixelImage& picture, int32_t width, int32_t height);
  IDirectDrawSurface7* Surface() const { return Handle; }
  int32_t Width() const { return W; }
  int32_t Height() const { return H; }
  void Release();

 private:
  TDXDraw& Display;
  IDirectDrawSurface7* Handle = nullptr;
  int32_t W = 0;
  int32_t H = 0;
};

struct DisplayOptions {
  bool FullScreen = false;
  // Set by the scene form's switch to full screen, as its design asks, and not read: the
  // display always takes the default DirectDraw device, the primary display's, where the
  // full-screen mode shows; the run's window covers the other monitors.
  bool SelectDriver = false;
  bool Hardware = true;  // try the hardware devices before the software one
  bool ZBuffer = true;
  bool AllowReboot = true;
};

class TDXDraw {
 public:
  explicit TDXDraw(HWND window);
  ~TDXDraw();
  TDXDraw(const TDXDraw&) = delete;
  TDXDraw& operator=(const TDXDraw&) = delete;

  std::function<void()> OnInitialize;
  std::function<void()> OnInitializeSurface;
  std::function<void()> OnFinalizeSurface;
  std::function<void()> OnFinalize;
  // After lost surfaces were restored (and the textures reloaded): refill own surfaces.
  std::function<void()> OnRestoreSurface;

  DisplayOptions Options;

  // The window to draw into; takes effect at the next Initialize.
  void SetWindow(HWND window) { Target = window; }
  // The monitors (screen coordinates) a child window's present path is chosen for, each on
  // its own; none: the window's client area is one area.
  void SetMonitors(std::vector<ScreenRect> monitors) { Monitors = std::move(monitors); }
  // How a child window's frames are presented, once chosen after the first frame; empty
  // before (frames are then copied through GDI).
  const std::vector<PresentArea>& PresentPaths() const { return ChosenPaths; }

  // Creates the device and surfaces, then raises OnInitialize, lets every texture create
  // its device copy and raises OnInitializeSurface. False (and nothing held) on failure.
  bool Initialize();
  // OnFinalizeSurface, textures drop their copies, OnFinalize, then every object released.
  void Finalize();
  bool Initialized() const { return Ready; }
  // What the last failed Initialize could not do, or null.
  const char* InitializeFailure() const { return FailedStep; }
  // Initialised, not finalising, and primary and back surfaces usable; lost surfaces are
  // restored first. After a child window's first frame, the present path is chosen.
  bool CanDraw();

  bool IsHardware() const { return HardwareDevice; }
  bool HasZBuffer() const { return ZBufferSurface != nullptr; }
  int32_t SurfaceWidth() const { return Width; }
  int32_t SurfaceHeight() const { return Height; }
  // The largest surface the device takes (its texture limit, which is also its render
  // target's on the hardware of this API's time), or nothing without a device.
  std::optional<SurfaceLimit> DeviceSurfaceLimit() const;
  HWND Window() const { return Target; }
  IDirectDraw7* DDraw() const { return DirectDraw; }
  IDirect3DDevice7* D3DDevice() const { return Device; }
  IDirectDrawSurface7* Primary() const { return PrimarySurface; }
  IDirectDrawSurface7* Surface() const { return BackSurface; }

  // The frame's calls; each result is the device's.
  HRESULT Clear();  // target black, depth 1.0, stencil 0
  HRESULT SetRenderTarget();
  HRESULT SetViewport();
  HRESULT SetRenderState(D3DRENDERSTATETYPE state, DWORD value);
  HRESULT SetTexture(DWORD stage, const TDirect3DTexture* texture);
  // Draw calls go between BeginScene and EndScene; Clear and BltFast outside.
  HRESULT BeginScene();
  HRESULT EndScene();
  HRESULT DrawPrimitive(D3DPRIMITIVETYPE type, DWORD vertexFormat, const void* vertices,
                        DWORD count, DWORD flags);
  HRESULT BltFast(const TDirectDrawSurface& source);  // whole source to (0, 0), no colour key
  HRESULT Flip();                                     // present the back surface

  // Whether ddraw.dll and DirectDrawCreateEx are present on this system.
  static bool DirectDrawAvailable();

 private:
  friend class TDirect3DTexture;
  friend class TDirectDrawSurface;
  bool CreateObjects();
  bool Fail(const char* step);
  bool SetCooperation();
  bool EnterDisplayMode();
  bool CreatePrimary();
  bool CreateDeviceOnBack();
  bool TryDevice(const GUID& deviceGuid, bool hardware);
  void ReleaseObjects();
  bool RestoreLostSurfaces();
  bool InChildWindow() const;
  HRESULT Present();
  void ChoosePresentPathOnce();
  bool AttachClipper();
  void DropClipper();
  HRESULT CopyToWindowDC(const ScreenRect& area);
  HRESULT BltToWindow(const ScreenRect& area);
  IDirectDrawSurface7* NewSurface(DDSURFACEDESC2& desc);
  void ReleaseSurface(IDirectDrawSurface7*& surface);
  // The device's best plain RGB texture format with (or without) alpha; 8888 when it lists
  // none.
  DDPIXELFORMAT TextureFormat(bool withAlpha) const;

  HWND Target;
  bool Ready = false;
  bool Finalizing = false;
  bool FramePresented = false;  // since the last Initialize
  bool HardwareDevice = false;
  bool DisplayModeChanged = false;
  int32_t Width = 0;
  int32_t Height = 0;
  const char* FailedStep = nullptr;
  IDirectDraw7* DirectDraw = nullptr;
  IDirect3D7* Direct3D = nullptr;
  IDirect3DDevice7* Device = nullptr;
  IDirectDrawSurface7* PrimarySurface = nullptr;
  IDirectDrawSurface7* BackSurface = nullptr;
  IDirectDrawSurface7* ZBufferSurface = nullptr;
  IDirectDrawClipper* Clipper = nullptr;
  std::vector<ScreenRect> Monitors;
  std::vector<PresentArea> ChosenPaths;
  std::vector<DDPIXELFORMAT> TextureFormats;
  std::vector<TDirect3DTexture*> Textures;
};
