#include "directdraw/win/UDxBall.h"

#include <exception>

#include "directdraw/scene_geometry.h"
#include "framework/background_picture.h"
#include "framework/win/built_in_picture.h"
#include "framework/win/monitors.h"
#include "framework/win/monotonic_clock.h"
#include "framework/win/screen_copy.h"
#include "image/picture.h"
#include "settings/settings.h"
#include "world/bubble_table.h"
#include "world/win/wind_platform.h"

namespace {

constexpr int PictureTextureSide = 256;
constexpr UINT_PTR FrameInterval = 40;
constexpr UINT PacedFrameMessage = WM_APP + 36;

// The bitmap-to-stream-to-image road of the holders: what comes back is what a DIB keeps.
PixelImage ThroughDib(const PixelImage& bitmap) {
  return DecodeBmp(EncodeBmp(bitmap));
}

PixelImage BuiltInPng(const char* name) {
  PixelImage image;
  if (!LoadPngWithAlpha(BuiltInPicture(name, "PNG"), image)) {
    throw PictureError(std::string("The built-in picture ") + name + " cannot be decoded");
  }
  return image;
}

// Moves every vertex of a bubble's quads by (dx, dy) pixels.
void ShiftQuads(BubbleQuads& quads, float dx, float dy) {
  for (int i = 0; i < quads.Count; ++i) {
    for (SceneVertex& vertex : quads.Quads[i].Vertices) {
      vertex.X += dx;
      vertex.Y += dy;
    }
  }
}

}  // namespace

bool LoadPngWithAlpha(std::span<const uint8_t> stream, PixelImage& bitmap) {
  try {
    PixelImage decoded = PngToPixelImage(DecodePng(stream));
    bitmap = std::move(decoded);
    return true;
  } catch (const PictureError&) {
    return false;
  }
}

TFDxBall::TFDxBall() : DXDraw(std::make_unique<TDXDraw>(nullptr)) {
  SetBorderStyle(bsNone);
  SetWindowState(wsMaximized);
  SetStayOnTop(true);
  SetKeyPreview(true);
  SetColor(RGB(0, 0, 0));
  DXDraw->OnInitialize = [this] { DXDrawInitialize(); };
  DXDraw->OnInitializeSurface = [this] { DXDrawInitializeSurface(); };
  DXDraw->OnFinalizeSurface = [this] { DXDrawFinalizeSurface(); };
  DXDraw->OnFinalize = [this] { DXDrawFinalize(); };
  DXDraw->OnRestoreSurface = [this] { DXDrawRestoreSurface(); };
  Timer1.SetInterval(FrameInterval);
  Timer1.SetOnTimer([this] { Timer1Timer(); });
}

TFDxBall::~TFDxBall() {
  // While every member is alive: the finalise handlers release textures and surfaces.
  Pacer.reset();
  Timer1.SetEnabled(false);
  DXDraw->Finalize();
}

void TFDxBall::FormCreate() {
  DXDraw->SetWindow(Handle());
  std::vector<ScreenRect> monitors;
  for (const ScreenRect& world : Layout.MonitorRects()) monitors.push_back(Layout.ToScreen(world));
  DXDraw->SetMonitors(std::move(monitors));
  LoadScenePictures();
  Restitution = 0.8;
  InitBubbles(BallsCount);
  Wind = std::make_unique<TWind>(SystemWindPlatform());
}

void TFDxBall::LoadBubbleTextures() {
  struct Holder {
    const char* Name;
    PixelImage& Image;
    std::unique_ptr<TDirect3DTexture>& Texture;
  };
  const Holder holders[] = {{"BALL", DXDIB1, BallTexture},
                            {"BALL1", DXDIB2, HighlightTexture},
                            {"BALL2", DXDIB3, ShadowTexture}};
  for (const Holder& h : holders) {
    h.Texture.reset();
    h.Image = ThroughDib(BuiltInPng(h.Name));
    h.Texture = std::make_unique<TDirect3DTexture>(*DXDraw, h.Image);
  }
}

void TFDxBall::LoadScenePictures() {
  LoadBubbleTextures();
  PixelImage work;
  for (int k = 1; k <= PictureBubbleCount; ++k) {
    PictureTextures[k].reset();
    PictureImages[k].reset();
    if (const auto entry = PictureEntry(PictureList, k)) LoadPicture(k, *entry, work);
  }
  LoadBackground(work);
}

// A picture file is user input: whatever goes wrong with it leaves bubble k without a
// picture and the next entry loads.
void TFDxBall::LoadPicture(int k, const std::string& entry, PixelImage& work) {
  try {
    const std::vector<uint8_t> file = ReadWholeFile(entry);
    switch (ChooseDecoder(entry)) {
      case PictureDecoder::Png:
        if (!LoadPngWithAlpha(file, work)) return;
        break;
      case PictureDecoder::Jpeg:
        work = DecodeJpeg(file, PictureTextureSide, PictureTextureSide);
        break;
      case PictureDecoder::General:
        // Kept in its own kind of pixels: a picture without alpha must not gain opaque
        // alpha here, or it would escape the mask below.
        work = LoadPictureFile(entry, PictureTextureSide, PictureTextureSide);
        break;
    }
    // Cut to a square or fitted inside one, never stretched out of proportion.
    auto image =
        std::make_unique<PixelImage>(BubblePictureSquare(ThroughDib(work), PictureTextureSide));
    if (!image->HasAlpha()) {
      const PixelImage mask = BuiltInPng("MASK1");
      image->ConvertTo32();
      image->CopyAlphaFrom(mask);
    }
    PictureImages[k] = std::move(image);
    PictureTextures[k] = std::make_unique<TDirect3DTexture>(*DXDraw, *PictureImages[k]);
  } catch (const std::exception&) {
    PictureTextures[k].reset();
    PictureImages[k].reset();
  }
}

void TFDxBall::LoadBackground(PixelImage& work) {
  // BackImage served as scratch for the pictures; a background file that fails to load
  // must leave it empty (a black background), not showing the last picture.
  BackImage = PixelImage();
  BackgroundFrom = ChooseBackground(BackType, BackPic);
  switch (BackgroundFrom) {
    case BackgroundSource::File:
      try {
        BackImage = LoadBackgroundFile(BackPic, GetSystemMetrics(SM_CXSCREEN),
                                       GetSystemMetrics(SM_CYSCREEN));
      } catch (const std::exception&) {
        BackImage = PixelImage();
      }
      break;
    case BackgroundSource::ScreenCopy:
      // The whole virtual screen, each monitor with its own desktop, at 24 bits per pixel.
      work = OverBlack(DesktopCopyAtStart(DesktopLayout().Virtual()));
      BackImage = work;
      break;
    case BackgroundSource::BuiltIn:
      BackImage = DecodeJpegToFill(BuiltInPicture("BACK", "JPG"), Layout.MonitorRects());
      break;
  }
}

void TFDxBall::FormShow() {
  SceneHidden = false;
  UpdateFrameTimer();
  if (DisplayTried) return;
  DisplayTried = true;
  InitializeDisplay();
  FitDisplayToDevice();
}

// A device that cannot take a surface over every monitor (or none at all that large)
// draws the primary monitor's part alone; the run's black window covers the rest, so no
// monitor is left showing the desktop.
void TFDxBall::FitDisplayToDevice() {
  if (DXDraw->Options.FullScreen || !ParentWindow()) return;
  const ScreenRect window = PlaceInParent();
  const std::optional<SurfaceLimit> limit =
      DXDraw->Initialized() ? DXDraw->DeviceSurfaceLimit() : std::nullopt;
  Drawn = DeviceDrawArea(Layout, window, limit);
  if (Drawn == window) return;
  DrawsPartOfWindow = true;
  DXDraw->Finalize();
  SetWindowState(wsNormal);
  SetBounds(Drawn.Left, Drawn.Top, Drawn.Width(), Drawn.Height());
  InitializeDisplay();
}

ScreenRect TFDxBall::PlaceInParent() {
  RECT rect{};
  GetWindowRect(Handle(), &rect);
  MapWindowPoints(nullptr, ParentWindow(), reinterpret_cast<POINT*>(&rect), 2);
  return {rect.left, rect.top, rect.right, rect.bottom};
}

void TFDxBall::InitializeDisplay() {
  DisplayFailed = !DXDraw->Initialize();
}

void TFDxBall::FormDestroy() {
  Pacer.reset();
  DXDraw->Finalize();
}

void TFDxBall::DXDrawInitialize() {
  if (!BallTexture || !HighlightTexture || !ShadowTexture) LoadBubbleTextures();
}

void TFDxBall::SetupViewport() {
  DXDraw->SetRenderTarget();
  DXDraw->SetViewport();
}

void TFDxBall::DXDrawInitializeSurface() {
  SetupViewport();
  if (DXDraw->IsHardware()) {
    DXDraw->SetRenderState(D3DRENDERSTATE_TEXTUREMAG, D3DFILTER_MIPLINEAR);
    DXDraw->SetRenderState(D3DRENDERSTATE_TEXTUREMIN, D3DFILTER_MIPLINEAR);
  }
  BackgroundSurface = std::make_unique<TDirectDrawSurface>(*DXDraw);
  FillBackgroundSurface();
}

void TFDxBall::FillBackgroundSurface() {
  if (!BackgroundSurface) return;
  const int32_t width = DXDraw->SurfaceWidth();
  const int32_t height = DXDraw->SurfaceHeight();
  const BackgroundKind kind = BackgroundKindOf(BackgroundFrom);
  if (DrawsPartOfWindow && !DXDraw->Options.FullScreen) {
    // The primary's part of the window: its own part of every monitor's background.
    const std::vector<BackgroundPart> parts =
        BackgroundParts(Layout, BackImage.Width(), BackImage.Height(), kind, false, Drawn);
    BackgroundSurface->LoadFromPicture(ComposeBackground(BackImage, width, height, parts), width,
                                       height);
    return;
  }
  const std::vector<BackgroundPart> parts =
      BackgroundParts(Layout, BackImage.Width(), BackImage.Height(), kind, false, Layout.World());
  // One monitor, or the full-screen mode of the primary alone: the picture over it all,
  // a copy of the screen stretched, any other picture filling it in proportion.
  const bool coversAll = parts.size() <= 1 || DXDraw->Options.FullScreen ||
                         width != Layout.World().Width() || height != Layout.World().Height();
  if (coversAll) {
    BackgroundSurface->LoadFromPicture(kind == BackgroundKind::Picture && !BackImage.Empty()
                                           ? FilledPicture(BackImage, width, height)
                                           : BackImage,
                                       width, height);
    return;
  }
  BackgroundSurface->LoadFromPicture(ComposeBackground(BackImage, width, height, parts), width,
                                     height);
}

void TFDxBall::DXDrawRestoreSurface() {
  FillBackgroundSurface();
}

void TFDxBall::DXDrawFinalizeSurface() {
  BackgroundSurface.reset();
}

void TFDxBall::DXDrawFinalize() {
  BallTexture.reset();
  HighlightTexture.reset();
  ShadowTexture.reset();
}

void TFDxBall::FormKeyDown(WORD& key, TShiftState shift) {
  switch (ClassifyFormKey(key, (shift & ssAlt) != 0)) {
    case FormKeyAction::Close:
      key = 0;
      Close();
      break;
    case FormKeyAction::SwitchDisplay:
      key = 0;
      SwitchDisplay();
      break;
    case FormKeyAction::ForwardToHost:
      // The form covers the host window, which ends the run on any key.
      if (ParentWindow()) PostMessageA(ParentWindow(), WM_KEYDOWN, key, 0);
      key = 0;
      break;
    case FormKeyAction::Ignore:
      break;
  }
}

void TFDxBall::SwitchDisplay() {
  DXDraw->Finalize();
  if (DXDraw->Options.FullScreen) {
    if (PlacementRemembered) SetWindowPlacement(Handle(), &Placement);
    CursorHidden = false;
    SetBorderStyle(bsSizeable);
    DXDraw->Options.FullScreen = false;
  } else {
    Placement.length = sizeof Placement;
    PlacementRemembered = GetWindowPlacement(Handle(), &Placement) != 0;
    CursorHidden = true;
    SetBorderStyle(bsNone);
    DXDraw->Options.FullScreen = true;
    DXDraw->Options.SelectDriver = true;
  }
  SetCursor(CursorHidden ? nullptr : LoadCursor(nullptr, IDC_ARROW));
  InitializeDisplay();
  if (DXDraw->Options.FullScreen) {
    CoverEveryMonitor();
  } else {
    FitDisplayToDevice();
  }
}

// Exclusive mode sizes the top-level window to the primary's display mode, which would
// leave every other monitor showing the desktop: the run's window covers the whole desktop
// again, black where the full-screen mode does not reach. The mode change may have thrown
// away what the window showed on the other monitors, so it is all painted again now.
void TFDxBall::CoverEveryMonitor() {
  HWND root = GetAncestor(Handle(), GA_ROOT);
  if (!root || root == Handle()) return;  // not inside a run's window
  const ScreenRect desktop = DesktopLayout().Virtual();
  SetWindowPos(root, HWND_TOPMOST, desktop.Left, desktop.Top, desktop.Width(), desktop.Height(),
               SWP_NOACTIVATE);
  RedrawWindow(root, nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

void TFDxBall::DXDrawMouseMove(TShiftState, int x, int y) {
  if (MouseStart.Report(x, y) && ParentWindow()) {
    PostMessageA(ParentWindow(), WM_MOUSEMOVE, 0, 0);
  }
}

void TFDxBall::MouseDown(TMouseButton button, TShiftState, int, int) {
  // Buttons end the run as they would over the host window.
  if (ParentWindow()) PostMessageA(ParentWindow(), ButtonDownMessage(button), 0, 0);
}

bool TFDxBall::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  switch (message) {
    case WM_ENTERSIZEMOVE:
      DXDraw->Finalize();
      return false;
    case WM_EXITSIZEMOVE:
      InitializeDisplay();
      return false;
    case WM_SETCURSOR:
      if (CursorHidden && LOWORD(lParam) == HTCLIENT) {
        SetCursor(nullptr);
        result = TRUE;
        return true;
      }
      return false;
    case PacedFrameMessage:
      PacedFrame(wParam, lParam);
      result = 0;
      return true;
    case WM_POWERBROADCAST:
    case WM_DISPLAYCHANGE:
      // The power source or the display's rate changed: frames follow the refresh only
      // where they may.
      UpdateFrameTimer();
      return false;
    case WM_SYSCHAR:
      // The Alt+Enter that switched the display must not ring the menu bell.
      if (wParam == VK_RETURN) {
        result = 0;
        return true;
      }
      return false;
    default:
      return false;
  }
}

void TFDxBall::FormClose(TCloseAction&) {
  Wind.reset();
  // Hidden (Escape): whole frames drawn into a window nobody sees would only burn power.
  SceneHidden = true;
  UpdateFrameTimer();
}

void TFDxBall::SetDisplayAwake(bool awake) {
  DisplayAsleep = !awake;
  if (Wind) Wind->SetAwake(awake);
  UpdateFrameTimer();
}

void TFDxBall::UpdateFrameTimer() {
  const bool running = !DisplayAsleep && !SceneHidden;
  // Frames that rest start the world afresh when they come back, without catching up, and
  // a display is not counted as lost while no frame is due.
  if (!running) {
    World.Restart();
    LossWatch.Rest();
  }
  UpdatePacing();
  Timer1.SetEnabled(running && !Pacer);
}

// A frame at every refresh (or every n-th, at most 75 a second) where the display reports
// its rate and the desktop is composed, on mains power and at the console; elsewhere, and
// for good once its waits proved hollow, the timer at the design rate.
void TFDxBall::UpdatePacing() {
  const bool running = !DisplayAsleep && !SceneHidden && HandleAllocated();
  const PacingConditions conditions =
      running && !RefreshWaitAbsent ? SystemPacingConditions() : PacingConditions{};
  const int perFrame = RefreshesPerFrame(conditions);
  if (perFrame == 0) {
    Pacer.reset();
    return;
  }
  // A new display rate gets a pacer of its own.
  if (!Pacer || !Pacer->Paces(conditions.RefreshHz, perFrame)) {
    Pacer.reset();
    Pacer = std::make_unique<TRefreshPacer>(Handle(), PacedFrameMessage, conditions.RefreshHz,
                                            perFrame);
  }
}

void TFDxBall::PacedFrame(WPARAM reason, LPARAM ticket) {
  if (!Pacer || ticket != Pacer->Ticket()) return;  // from a pacer that is gone
  if (reason == TRefreshPacer::WaitAbsent) {
    RefreshWaitAbsent = true;
    UpdateFrameTimer();
    return;
  }
  DrawScene();
  if (Pacer) Pacer->FrameDrawn();
}

// A texture whose device copy could not be made (no video memory left, a format the
// device refused) would draw its square untextured: that layer is left out instead.
bool TFDxBall::HasDeviceCopy(const std::unique_ptr<TDirect3DTexture>& texture) {
  return texture && texture->Surface();
}

void TFDxBall::Timer1Timer() {
  DrawScene();
}

const TDirect3DTexture* TFDxBall::LayerTexture(int layer, int k) const {
  switch (static_cast<SceneLayer>(layer)) {
    case SceneLayer::Shadow:
      return ShadowTexture.get();
    case SceneLayer::Body:
      return BallTexture.get();
    case SceneLayer::Picture:
      return PictureTextures[k].get();
    case SceneLayer::Highlights:
      return HighlightTexture.get();
  }
  return nullptr;
}

void TFDxBall::DrawScene() {
  FrameTime = MonotonicMicroseconds();
  // A display finalised on purpose (while the user moves the window) is not lost.
  const bool canDraw = DXDraw->Initialized() && DXDraw->CanDraw();
  if (DXDraw->Initialized()) LossWatch.FrameDue(GetTickCount(), canDraw);
  if (!canDraw) {
    World.Frame(FrameTime, false);  // stands still, and starts afresh when it can draw
    return;
  }
  DXDraw->Clear();
  DrawBackground();
  World.Frame(FrameTime);
  DrawBubbles();
  DXDraw->Flip();
}

void TFDxBall::DrawBackground() {
  if (BackgroundSurface) DXDraw->BltFast(*BackgroundSurface);
}

void TFDxBall::DrawBubbles() {
  const SceneSizes sizes = SceneSizesFor(SizeScale);
  const SceneLayerSources sources{HasDeviceCopy(ShadowTexture), HasDeviceCopy(BallTexture),
                                  HasDeviceCopy(HighlightTexture), ShowShadow};
  DXDraw->BeginScene();
  const int count = BubblesInUse();
  // The full-screen mode, or a device too small for every monitor, shows the primary
  // monitor alone: its part of the world.
  const ScreenRect primary = DXDraw->Options.FullScreen ? Layout.ToWorld({0, 0, 1, 1})
                             : DrawsPartOfWindow        ? Drawn
                                                        : ScreenRect{};
  const float shiftX = static_cast<float>(-primary.Left);
  const float shiftY = static_cast<float>(-primary.Top);
  // At the refresh each bubble is drawn between its last two steps; on the timer where
  // the last step left it.
  const double phase = Pacer ? World.Clock.Phase(FrameTime) : 1.0;
  for (int k = 1; k <= count; ++k) {
    const bool hasPicture = k <= PictureBubbleCount && HasDeviceCopy(PictureTextures[k]);
    BubbleQuads quads = BuildBubbleQuads(World.Shown(k, phase), k, hasPicture, sizes, sources);
    ScaleQuads(quads, DrawingScale);
    if (shiftX != 0.0f || shiftY != 0.0f) ShiftQuads(quads, shiftX, shiftY);
    for (int i = 0; i < quads.Count; ++i) {
      const LayerQuad& quad = quads.Quads[i];
      DXDraw->SetTexture(0, LayerTexture(static_cast<int>(quad.Layer), k));
      DXDraw->SetRenderState(D3DRENDERSTATE_COLORKEYENABLE, 0);
      if (LayerSetsBlendState(quad.Layer)) {
        DXDraw->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, 1);
        DXDraw->SetRenderState(D3DRENDERSTATE_SRCBLEND, D3DBLEND_SRCALPHA);
        DXDraw->SetRenderState(D3DRENDERSTATE_DESTBLEND, D3DBLEND_INVSRCALPHA);
      }
      DXDraw->DrawPrimitive(D3DPT_TRIANGLESTRIP, SceneVertexFormat, quad.Vertices.data(), 4,
                            D3DDP_WAIT);
    }
  }
  DXDraw->EndScene();
}
