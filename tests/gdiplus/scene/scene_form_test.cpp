// TFBall and TFMain in this process under the real GDI+ and window manager: the
// composed Layer and the premultiplied bitmap handed to the layered window (the screen
// of the virtual display cannot blend them), the scene's windows, input and lifetime.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "gdiplus/scene/win/UFBall.h"
#include "gdiplus/scene/win/UMain.h"
#include "gdiplus/scene/win/scene_driver.h"
#include "gdiplus/scene/win/scene_test_hooks.h"
#include "gdiplus/win/pictures.h"
#include "harness/harness.h"
#include "harness/test_support.h"
#include "settings/settings.h"
#include "world/bubble_table.h"

namespace {

// ---- What the layered windows were given ----

struct PresentedPicture {
  HWND Window = nullptr;
  int Width = 0;
  int Height = 0;
  int BitCount = 0;
  BLENDFUNCTION Blend{};
  DWORD Flags = 0;
  std::vector<uint32_t> Pixels;  // as the bitmap holds them: 0xAARRGGBB, premultiplied
};
std::vector<PresentedPicture> Presented;

BOOL WINAPI RecordingUpdate(HWND window, HDC screen, POINT* destination, SIZE* size, HDC source,
                            POINT* origin, COLORREF key, BLENDFUNCTION* blend, DWORD flags) {
  PresentedPicture picture;
  picture.Window = window;
  picture.Blend = *blend;
  picture.Flags = flags;
  DIBSECTION section{};
  HGDIOBJ bitmap = GetCurrentObject(source, OBJ_BITMAP);
  if (GetObjectA(bitmap, sizeof section, &section) == sizeof section) {
    picture.Width = section.dsBmih.biWidth;
    picture.Height = std::abs(section.dsBmih.biHeight);
    picture.BitCount = section.dsBmih.biBitCount;
    const auto* bits = static_cast<const uint32_t*>(section.dsBm.bmBits);
    picture.Pixels.assign(bits, bits + size_t(picture.Width) * picture.Height);
  }
  Presented.push_back(std::move(picture));
  return UpdateLayeredWindow(window, screen, destination, size, source, origin, key, blend, flags);
}

uint32_t LayerPixel(TGPBitmap& layer, int x, int y) {
  Gdiplus::ARGB colour = 0;
  Gdiplus::DllExports::GdipBitmapGetPixel(layer.NativeBitmap(), x, y, &colour);
  return colour;
}
int AlphaOf(uint32_t argb) {
  return int(argb >> 24);
}
uint32_t RgbOf(uint32_t argb) {
  return argb & 0xFFFFFF;
}

std::unique_ptr<TGPBitmap> SolidBitmap(int side, Gdiplus::ARGB colour) {
  auto bitmap = std::make_unique<TGPBitmap>(side, side, PixelFormat32bppARGB);
  TGPGraphics(bitmap.get()).Clear(colour);
  return bitmap;
}

size_t CountBubbleWindows() {
  return harness::FindWindows(
             {.ClassName = FormWindowClass, .Title = "FBall", .ProcessId = GetCurrentProcessId()})
      .size();
}

class SceneTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RestoreInitialSettings();
    BubbleRadius = 78;
    WorldRect = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    ShowShadow = true;
    BallPic.clear();
    PictureList.Items.clear();
    Presented.clear();
    PreviousUpdate = SetLayeredWindowUpdate(RecordingUpdate);
  }
  void TearDown() override {
    SetLayeredWindowUpdate(PreviousUpdate);
    if (SavedHighlight) HighlightImage = std::move(SavedHighlight);
    if (SavedPicture) UserPicture = std::move(SavedPicture);
    RestoreInitialSettings();
  }
  // Leaves the body alone on the Layer: every visible pixel then shows the tint.
  void WithoutHighlight() {
    SavedHighlight = std::move(HighlightImage);
    HighlightImage = std::make_unique<TGPBitmap>();
  }
  void WithPicture(Gdiplus::ARGB colour) {
    SavedPicture = std::move(UserPicture);
    UserPicture = SolidBitmap(40, colour);
    BallPic = "picture.png";
  }
  std::unique_ptr<TFBall> NewBall(TForm* scene = nullptr) {
    auto ball = std::make_unique<TFBall>(scene, BubbleRadius);
    ball->Create();
    Presented.clear();
    return ball;
  }
  static void SetTint(TFBall& ball, int red, int green, int blue) {
    ball.Tint = {{red, 0}, {green, 0}, {blue, 0}};  // step 0: the drift keeps them
  }

  LayeredWindowUpdate PreviousUpdate = nullptr;
  harness::RecordedReports Reports;
  std::unique_ptr<TGPBitmap> SavedHighlight;
  std::unique_ptr<TGPBitmap> SavedPicture;
};

}  // namespace

TEST_F(SceneTest, ABubbleWindowIsLayeredClickThroughTopmostAndTwoRadiiPlusFiftySquare) {
  auto ball = NewBall();
  ASSERT_TRUE(ball->HandleAllocated());
  const LONG exStyle = GetWindowLongA(ball->Handle(), GWL_EXSTYLE);
  EXPECT_EQ(exStyle & BubbleWindowExStyles, LONG(BubbleWindowExStyles));
  RECT bounds{};
  GetWindowRect(ball->Handle(), &bounds);
  EXPECT_EQ(bounds.right - bounds.left, 206);
  EXPECT_EQ(bounds.bottom - bounds.top, 206);
  ASSERT_NE(ball->Layer, nullptr);
  EXPECT_EQ(ball->Layer->GetWidth(), 206u);
  EXPECT_TRUE(ball->LayerGraphics && ball->LayerGraphics->Usable());
  const uint32_t interval = ball->Timer1.Interval();
  EXPECT_GE(interval, 2000u);
  EXPECT_LE(interval, 6999u);
  EXPECT_TRUE(ball->Timer1.Enabled());
}

TEST_F(SceneTest, TheBodyTakesTheTintAndTheHighlightIsBlendedOverIt) {
  WithoutHighlight();
  ShowShadow = false;
  auto ball = NewBall();
  SetTint(*ball, 40, 120, 200);
  ball->RenderBall();
  TGPBitmap& layer = *ball->Layer;
  const uint32_t centre = LayerPixel(layer, 78, 78);
  EXPECT_GT(AlphaOf(centre), 0);
  EXPECT_EQ(RgbOf(centre), 0x2878C8u);
  EXPECT_EQ(RgbOf(LayerPixel(layer, 78, 20)), 0x2878C8u);

  HighlightImage = std::move(SavedHighlight);
  ball->RenderBall();
  int changed = 0;
  for (int y = 0; y < 156; y += 4)
    for (int x = 0; x < 156; x += 4)
      if (AlphaOf(LayerPixel(layer, x, y)) > 0 && RgbOf(LayerPixel(layer, x, y)) != 0x2878C8u)
        ++changed;
  EXPECT_GT(changed, 20) << "the highlight left the body untouched";
}

TEST_F(SceneTest, TheShadowFallsTenPixelsLowerAndOnlyWhenItIsShown) {
  ShowShadow = false;
  auto ball = NewBall();
  SetTint(*ball, 100, 100, 100);
  ball->RenderBall();
  auto marginAlpha = [&] {
    int total = 0;
    for (int y = 0; y < 206; y += 2)
      for (int x = 0; x < 206; x += 2)
        if (x >= 160 || y >= 160) total += AlphaOf(LayerPixel(*ball->Layer, x, y));
    return total;
  };
  EXPECT_EQ(marginAlpha(), 0) << "no shadow: right and below the body stays transparent";
  ShowShadow = true;
  ball->RenderBall();
  EXPECT_GT(marginAlpha(), 0);
  // Nothing above the shadow's top edge at y = 10 outside the body's reach.
  for (int x = 160; x < 206; ++x) EXPECT_EQ(AlphaOf(LayerPixel(*ball->Layer, x, 5)), 0) << x;
}

TEST_F(SceneTest, OnlyTheWindowThatShowsThePictureDrawsItInsideTheBody) {
  WithoutHighlight();
  WithPicture(0xFF00FF00);
  ShowShadow = false;  // it would darken the body
  auto ball = NewBall();
  SetTint(*ball, 200, 40, 40);
  ball->RenderBall();
  EXPECT_EQ(RgbOf(LayerPixel(*ball->Layer, 78, 78)), 0xC82828u);
  ball->ShowPicture = true;
  ball->RenderBall();
  EXPECT_EQ(LayerPixel(*ball->Layer, 78, 78), 0xFF00FF00u);
  EXPECT_EQ(LayerPixel(*ball->Layer, 36, 36), 0xFF00FF00u);
  EXPECT_NE(RgbOf(LayerPixel(*ball->Layer, 33, 78)), 0x00FF00u);  // outside 35..120
  BallPic = "  ";
  ball->RenderBall();
  EXPECT_EQ(RgbOf(LayerPixel(*ball->Layer, 78, 78)), 0xC82828u) << "a blank list shows none";
}

TEST_F(SceneTest, ASmallBubbleDrawsNoPicture) {
  WithoutHighlight();
  WithPicture(0xFF00FF00);
  BubbleRadius = 35;
  auto ball = NewBall();
  SetTint(*ball, 200, 40, 40);
  ball->ShowPicture = true;
  ball->RenderBall();
  for (int y = 0; y < 70; ++y)
    for (int x = 0; x < 70; ++x)
      ASSERT_NE(RgbOf(LayerPixel(*ball->Layer, x, y)), 0x00FF00u) << x << "," << y;
}

TEST_F(SceneTest, TheWindowIsHandedATopDownPremultipliedCopyOfTheLayer) {
  auto ball = NewBall();
  SetTint(*ball, 90, 160, 220);
  ball->RenderBall();
  ASSERT_EQ(Presented.size(), 1u);
  const PresentedPicture& shown = Presented.front();
  EXPECT_EQ(shown.Window, ball->Handle());
  EXPECT_EQ(shown.Flags, DWORD(ULW_ALPHA));
  EXPECT_EQ(shown.Blend.AlphaFormat, AC_SRC_ALPHA);
  EXPECT_EQ(shown.Blend.SourceConstantAlpha, 255);
  ASSERT_EQ(shown.Width, 206);
  ASSERT_EQ(shown.Height, 206);
  EXPECT_EQ(shown.BitCount, 32);
  int translucent = 0;
  for (int y = 0; y < 206; ++y) {
    for (int x = 0; x < 206; ++x) {
      const uint32_t straight = LayerPixel(*ball->Layer, x, y);
      const uint32_t given = shown.Pixels[size_t(y) * 206 + x];
      const int alpha = AlphaOf(straight);
      // Row 0 of the bitmap is the top row: the shadow's drop would show a flip.
      ASSERT_EQ(AlphaOf(given), alpha) << x << "," << y;
      for (int shift : {0, 8, 16}) {
        const int expected = (int((straight >> shift) & 0xFF) * alpha + 127) / 255;
        ASSERT_NEAR(int((given >> shift) & 0xFF), expected, 1) << x << "," << y;
      }
      if (alpha > 0 && alpha < 255) ++translucent;
    }
  }
  EXPECT_GT(translucent, 1000);
}

TEST_F(SceneTest, TintSumsAtOneHundredFiftyAndSixHundredKeepThePreviousPicture) {
  auto ball = NewBall();
  const struct {
    int Red, Green, Blue;
    bool Shown;
  } cases[] = {{50, 50, 50, false},
               {51, 50, 50, true},
               {200, 200, 200, false},
               {199, 200, 200, true},
               {0, 0, 0, false}};
  for (const auto& c : cases) {
    Presented.clear();
    SetTint(*ball, c.Red, c.Green, c.Blue);
    ball->RenderBall();
    EXPECT_EQ(Presented.size(), c.Shown ? 1u : 0u) << c.Red + c.Green + c.Blue;
  }
}

TEST_F(SceneTest, ABubbleWhoseOwnerWentIsNeverMadeAgainByItsTimer) {
  auto owner = std::make_unique<TFMain>();
  auto ball = NewBall(owner.get());
  ASSERT_TRUE(ball->HandleAllocated());
  const size_t windows = CountBubbleWindows();
  owner.reset();  // the system destroys owned windows with their owner
  harness::PumpMessages();
  EXPECT_FALSE(ball->HandleAllocated());
  EXPECT_FALSE(ball->Timer1.Enabled());
  ball->Timer1Timer();
  EXPECT_FALSE(ball->HandleAllocated());
  EXPECT_EQ(CountBubbleWindows(), windows - 1);
}

// ---- The scene form ----

class SceneFormTest : public SceneTest {
 protected:
  void SetUp() override {
    SceneTest::SetUp();
    BallsCount = 3;
    InitBubblesWithSeed(3, 77);
    Host = std::make_unique<harness::RecordingHost>(GetSystemMetrics(SM_CXSCREEN),
                                                    GetSystemMetrics(SM_CYSCREEN));
  }
  void TearDown() override {
    Form.reset();
    Host.reset();
    SceneTest::TearDown();
  }
  void StartForm() {
    Form = CreateForm<TFMain>();
    // The tests make the bubble windows themselves, when they want them.
    Timer4WasEnabled = Form->Timer4.Enabled();
    Form->Timer4.SetEnabled(false);
    Form->SetParentWindow(Host->Handle());
    Form->Show();
    harness::PumpMessages();
  }
  // The background is prepared on a thread of its own: the form takes it once it is ready.
  void WaitForBackground() {
    ASSERT_TRUE(Form->Image1.Pending.valid()) << "no background on its way";
    Form->Image1.Pending.wait();
    EXPECT_FALSE(Form->Image1.StillPreparing());
    ASSERT_FALSE(Form->Image1.Picture.Empty());
  }
  static RECT Bounds(TFBall& ball) {
    RECT bounds{};
    GetWindowRect(ball.Handle(), &bounds);
    return bounds;
  }
  void ExpectOverItsBubble(TFBall& ball, int k) {
    const RECT bounds = Bounds(ball);
    const WindowOrigin origin = BubbleWindowOrigin(BubbleTable[k].X, BubbleTable[k].Y, 78);
    EXPECT_EQ(bounds.left, origin.Left) << k;
    EXPECT_EQ(bounds.top, origin.Top) << k;
  }
  std::unique_ptr<harness::RecordingHost> Host;
  std::unique_ptr<TFMain> Form;
  bool Timer4WasEnabled = false;
};

TEST_F(SceneFormTest, CoversTheWorkAreaWithTheBuiltInBackgroundAndStartsTheWind) {
  StartForm();
  RECT area{};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
  RECT bounds{};
  GetWindowRect(Form->Handle(), &bounds);
  EXPECT_EQ(bounds.left, area.left);
  EXPECT_EQ(bounds.right, area.right);
  EXPECT_EQ(bounds.bottom, area.bottom);
  EXPECT_EQ(GetParent(Form->Handle()), Host->Handle());
  // The built-in picture, decoded no smaller than the work area and far below its full
  // 2560 x 1440 on this small screen.
  WaitForBackground();
  EXPECT_GE(Form->Image1.Picture.Width(), area.right - area.left);
  EXPECT_GE(Form->Image1.Picture.Height(), area.bottom - area.top);
  EXPECT_LT(Form->Image1.Picture.Width(), 2560);
  EXPECT_EQ(Form->Image1.Picture.Width() * 9, Form->Image1.Picture.Height() * 16);
  EXPECT_NE(Form->Wind, nullptr);
  EXPECT_TRUE(Reports.Texts().empty());
  EXPECT_TRUE(Timer4WasEnabled);
  EXPECT_EQ(Form->Timer4.Interval(), 1u);
  EXPECT_FALSE(Form->Timer1.Enabled());
  EXPECT_FALSE(Form->Timer2.Enabled());
}

TEST_F(SceneFormTest, AnUnloadableBackgroundIsReportedKeepsTheBuiltInPictureAndHasNoWind) {
  BackType = 3;
  BackPic = "C:\\nowhere\\background.xyz";
  StartForm();
  ASSERT_EQ(Reports.Texts().size(), 1u);
  EXPECT_EQ(Reports.Texts().front(), "Unknown picture file extension (.xyz)");
  WaitForBackground();
  EXPECT_EQ(Form->Image1.Picture.Width() * 9, Form->Image1.Picture.Height() * 16)
      << "not the built-in picture";
  EXPECT_EQ(Form->Wind, nullptr);
  Form->Timer4Timer();
  EXPECT_EQ(Form->BallWindows.size(), 3u) << "the run goes on";
}

TEST_F(SceneFormTest, TheFirstTickMakesOneWindowPerBubbleOverItAndStartsTheFrames) {
  StartForm();
  Form->Timer4Timer();
  ASSERT_EQ(Form->BallWindows.size(), 3u);
  for (int k = 1; k <= 3; ++k) {
    TFBall& ball = *Form->BallWindows[k - 1];
    EXPECT_TRUE(IsWindowVisible(ball.Handle())) << k;
    EXPECT_EQ(ball.ShowPicture, k == 1) << k;
    ExpectOverItsBubble(ball, k);
  }
  EXPECT_FALSE(Form->Timer4.Enabled());
  EXPECT_TRUE(Form->Timer1.Enabled());
  EXPECT_TRUE(Form->Timer2.Enabled());
  EXPECT_EQ(Form->Timer1.Interval(), 20u);
  EXPECT_EQ(Form->Timer2.Interval(), 5000u);

  const double x = BubbleTable[2].X;
  for (int i = 0; i < 10; ++i) Form->Timer1Timer();
  EXPECT_NE(BubbleTable[2].X, x);
  for (int k = 1; k <= 3; ++k) ExpectOverItsBubble(*Form->BallWindows[k - 1], k);
}

TEST_F(SceneFormTest, MouseMovesKeysAndClicksGoOnToTheHostWindow) {
  StartForm();
  HWND form = Form->Handle();
  // Whatever the system reported while the form appeared is forgotten.
  Form->MouseStart = MouseStartTracker{};
  Host->Forget();
  SendMessageA(form, WM_MOUSEMOVE, 0, MAKELPARAM(300, 200));
  SendMessageA(form, WM_MOUSEMOVE, 0, MAKELPARAM(300, 200));
  harness::PumpMessages();
  EXPECT_TRUE(Host->Received().empty()) << "the first move is recorded, the same place is no move";
  SendMessageA(form, WM_MOUSEMOVE, 0, MAKELPARAM(302, 200));
  SendMessageA(form, WM_KEYDOWN, 'A', 0);
  SendMessageA(form, WM_RBUTTONDOWN, 0, MAKELPARAM(5, 5));
  harness::PumpMessages();
  EXPECT_EQ(Host->Received(), (std::vector<UINT>{WM_MOUSEMOVE, WM_KEYDOWN, WM_RBUTTONDOWN}));
}

TEST_F(SceneFormTest, CloseThenDestroyReleasesEveryWindowOnce) {
  StartForm();
  Form->Timer4Timer();
  const size_t before = CountBubbleWindows();
  Form->Close();
  EXPECT_TRUE(Form->BallWindows.empty());
  EXPECT_EQ(Form->Wind, nullptr);
  EXPECT_EQ(CountBubbleWindows(), before - 3);
  Host.reset();  // FormDestroy now finds nothing left
  harness::PumpMessages();
  Form->Timer1Timer();
  Form.reset();
  EXPECT_EQ(CountBubbleWindows(), before - 3);
}

TEST_F(SceneFormTest, TheHostGoingFirstReleasesTheWindowsAndStopsTheFrames) {
  StartForm();
  Form->Timer4Timer();
  Host.reset();
  harness::PumpMessages();
  EXPECT_TRUE(Form->BallWindows.empty());
  EXPECT_FALSE(Form->Timer1.Enabled());
  Form->Timer1Timer();  // a tick already queued
  Form->Close();
}

TEST_F(SceneFormTest, TheDriverTableStartsAndFinishesTheSceneBeforeGdiplusGoes) {
  const size_t before = CountBubbleWindows();
  GdiplusSceneDriver().Start(Host->Handle());
  ASSERT_NE(GdiplusSceneForm(), nullptr);
  EXPECT_EQ(GetParent(GdiplusSceneForm()->Handle()), Host->Handle());
  EXPECT_TRUE(harness::WaitUntil([] { return !GdiplusSceneForm()->BallWindows.empty(); }, 3000));
  EXPECT_EQ(CountBubbleWindows(), before + 3);
  GdiplusSceneDriver().Finish();
  EXPECT_EQ(GdiplusSceneForm(), nullptr);
  EXPECT_EQ(CountBubbleWindows(), before);
}

TEST_F(SceneFormTest, TheUserPictureIsTheFirstEntryOfThePictureList) {
  const std::string first = harness::OutputFolder() + "\\gdiscene first.png";
  const std::string second = harness::OutputFolder() + "\\gdiscene_second.png";
  ASSERT_TRUE(harness::WriteSolidPng(first, 4, 4, 0xFF0000));
  ASSERT_TRUE(harness::WriteSolidPng(second, 4, 4, 0x0000FF));
  PictureList.Items = {first, second};
  BallPic = PictureList.CommaText();
  SavedPicture = std::move(UserPicture);
  LoadGdiplusPictures();
  ASSERT_TRUE(UserPicture && UserPicture->HoldsImage());
  EXPECT_EQ(LayerPixel(*UserPicture, 1, 1), 0xFFFF0000u);
}

// Display off: the frames, the pushes, every window's renders and the wind hold; back on,
// each goes on as it was, with the bubbles where they stopped.
TEST_F(SceneFormTest, ADisplayThatGoesOffHoldsEveryTimerAndOnGivesThemBack) {
  StartForm();
  Form->Timer4Timer();
  ASSERT_EQ(Form->BallWindows.size(), 3u);
  const double x = BubbleTable[1].X;
  Form->SetDisplayAwake(false);
  EXPECT_FALSE(Form->Timer1.Enabled());
  EXPECT_FALSE(Form->Timer2.Enabled());
  ASSERT_NE(Form->Wind, nullptr);
  EXPECT_TRUE(Form->Wind->Paused());
  for (auto& ball : Form->BallWindows) {
    EXPECT_FALSE(ball->Timer1.Enabled());
    EXPECT_FALSE(ball->FirstRender.Enabled());
  }
  harness::PumpMessages();
  Sleep(100);
  harness::PumpMessages();
  EXPECT_EQ(BubbleTable[1].X, x) << "a frame ran while the display was off";
  Form->SetDisplayAwake(true);
  EXPECT_TRUE(Form->Timer1.Enabled());
  EXPECT_TRUE(Form->Timer2.Enabled());
  EXPECT_FALSE(Form->Wind->Paused());
  for (auto& ball : Form->BallWindows) EXPECT_TRUE(ball->Timer1.Enabled());
  EXPECT_EQ(BubbleTable[1].X, x);
}
