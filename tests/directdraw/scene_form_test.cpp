// TFDxBall in-process under wine: its pictures, its display life and its input.
#include <gtest/gtest.h>
#include <png.h>

#include <cstdio>
#include <string>
#include <vector>

#include "directdraw/win/UDxBall.h"
#include "display/win/dxdraw_test_hooks.h"
#include "display/win/surface_pixels.h"
#include "framework/win/built_in_picture.h"
#include "harness/test_support.h"
#include "image/picture.h"
#include "settings/settings.h"
#include "world/bubble_table.h"

namespace {

std::string TempFile(const std::string& name) {
  char folder[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, folder);
  return std::string(folder) + "vesperine_dd_" + name;
}

void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  FILE* f = std::fopen(path.c_str(), "wb");
  ASSERT_NE(f, nullptr) << path;
  std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
}

// rgba: width x height pixels, 4 bytes each. withAlpha false writes colour type 2.
std::string WritePng(const std::string& name, int width, int height,
                     const std::vector<uint8_t>& rgba, bool withAlpha) {
  const std::string path = TempFile(name);
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(width);
  image.height = static_cast<png_uint_32>(height);
  image.format = withAlpha ? PNG_FORMAT_RGBA : PNG_FORMAT_RGB;
  std::vector<uint8_t> pixels;
  for (size_t i = 0; i < rgba.size(); i += 4) {
    pixels.insert(pixels.end(), rgba.begin() + i, rgba.begin() + i + (withAlpha ? 4 : 3));
  }
  EXPECT_TRUE(png_image_write_to_file(&image, path.c_str(), 0, pixels.data(), 0, nullptr));
  return path;
}

// Opaque red corners around a transparent middle: the opposite of the built-in mask.
std::string WriteInverseOutlinePng() {
  std::vector<uint8_t> rgba;
  for (int y = 0; y < 64; ++y) {
    for (int x = 0; x < 64; ++x) {
      const bool middle = x >= 16 && x < 48 && y >= 16 && y < 48;
      rgba.insert(rgba.end(), {255, 0, 0, static_cast<uint8_t>(middle ? 0 : 255)});
    }
  }
  return WritePng("outline.png", 64, 64, rgba, true);
}

PixelImage Mask() {
  PixelImage mask;
  EXPECT_TRUE(LoadPngWithAlpha(BuiltInPicture("MASK1", "PNG"), mask));
  return mask;
}

uint8_t AlphaAt(const PixelImage& image, int x, int y) {
  return image.Row(y)[x * 4 + 3];
}

void ExpectAlphaOfMask(const PixelImage& image) {
  const PixelImage mask = Mask();
  ASSERT_EQ(image.BitCount(), 32);
  ASSERT_EQ(mask.Width(), 256);
  int differing = 0;
  for (int y = 0; y < 256; ++y) {
    for (int x = 0; x < 256; ++x) differing += AlphaAt(image, x, y) != AlphaAt(mask, x, y);
  }
  EXPECT_EQ(differing, 0);
}

class SceneFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    PictureList.Items.clear();
    BackType = 1;
    BackPic.clear();
    BallsCount = 0;
    ShowShadow = true;
    SizeScale = 1.0f;
    WorldRect = {0, 0, 1024, 768};
    BubbleRadius = 78;
  }
  std::unique_ptr<TFDxBall> MakeForm() { return CreateForm<TFDxBall>(); }
};

// A host window smaller than the screen.
struct HostWindow : harness::RecordingHost {
  HostWindow() : RecordingHost(400, 300, WS_CLIPCHILDREN) {}
};

}  // namespace

TEST(PngWithAlpha, KeepsTheAlphaOfColourTypeSixAndLeavesOthersWithout) {
  const std::vector<uint8_t> rgba{10, 20, 30, 40, 50, 60, 70, 0};
  PixelImage withAlpha, without;
  ASSERT_TRUE(LoadPngWithAlpha(ReadWholeFile(WritePng("a6.png", 2, 1, rgba, true)), withAlpha));
  ASSERT_EQ(withAlpha.BitCount(), 32);
  const uint8_t* p = withAlpha.Row(0);
  EXPECT_EQ((std::vector<uint8_t>(p, p + 8)),
            (std::vector<uint8_t>{30, 20, 10, 40, 70, 60, 50, 0}));
  ASSERT_TRUE(LoadPngWithAlpha(ReadWholeFile(WritePng("a2.png", 2, 1, rgba, false)), without));
  EXPECT_FALSE(without.HasAlpha());
}

TEST(PngWithAlpha, AFailedDecodeLeavesTheBitmapAsItWas) {
  PixelImage bitmap;
  bitmap.SetSize(3, 3, 24);
  const std::vector<uint8_t> junk{0x89, 'P', 'N', 'G', 1, 2, 3};
  EXPECT_FALSE(LoadPngWithAlpha(junk, bitmap));
  EXPECT_EQ(bitmap.Width(), 3);
  EXPECT_FALSE(LoadPngWithAlpha({}, bitmap));
}

TEST_F(SceneFormTest, BubbleImagesAre32BitWithAlphaAndTheirTexturesExist) {
  auto form = MakeForm();
  for (const PixelImage* image : {&form->DXDIB1, &form->DXDIB2, &form->DXDIB3}) {
    EXPECT_EQ(image->Width(), 256);
    EXPECT_TRUE(image->HasAlpha());
  }
  EXPECT_NE(form->Ball(), nullptr);
  EXPECT_NE(form->Highlight(), nullptr);
  EXPECT_NE(form->Shadow(), nullptr);
  EXPECT_NE(form->SceneWind(), nullptr);
  EXPECT_DOUBLE_EQ(Restitution, 0.8);
}

TEST_F(SceneFormTest, APngWithAlphaKeepsItsOwnOutline) {
  PictureList.Items = {WriteInverseOutlinePng()};
  auto form = MakeForm();
  const PixelImage* image = form->PictureImage(1);
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(image->Width(), 256);
  EXPECT_EQ(image->Height(), 256);
  EXPECT_EQ(AlphaAt(*image, 2, 2), 255);     // the mask would make a corner transparent
  EXPECT_EQ(AlphaAt(*image, 128, 128), 0);   // and the middle opaque
  EXPECT_EQ(image->Row(2)[2 * 4 + 2], 255);  // red kept
  EXPECT_NE(form->PictureTexture(1), nullptr);
}

std::string BuiltInJpegPath() {
  return std::string("Z:") + VESPERINE_SOURCE_DIR "/resources/BACK.jpg";
}

// Left half red, right half blue; 24 bits, or 32 with every alpha byte 0.
std::string WriteBmp(const std::string& name, int width, int height, int bits) {
  PixelImage image;
  image.SetSize(width, height, bits);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      uint8_t* p = image.Row(y) + x * (bits / 8);
      p[0] = x < width / 2 ? 0 : 255;
      p[2] = x < width / 2 ? 255 : 0;
    }
  }
  const std::string path = TempFile(name);
  WriteFile(path, EncodeBmp(image));
  return path;
}

TEST_F(SceneFormTest, PicturesWithoutAlphaTakeTheMasksOutline) {
  std::vector<uint8_t> grey(16 * 16 * 4, 128);
  PictureList.Items = {BuiltInJpegPath(), WritePng("rgb.png", 16, 16, grey, false),
                       WriteBmp("wide.bmp", 100, 50, 24), WriteBmp("zero.bmp", 40, 40, 32)};
  auto form = MakeForm();
  for (int k = 1; k <= 4; ++k) {
    const PixelImage* image = form->PictureImage(k);
    ASSERT_NE(image, nullptr) << "entry " << k;
    EXPECT_EQ(image->Width(), 256) << "entry " << k;
    EXPECT_EQ(image->Height(), 256) << "entry " << k;
    SCOPED_TRACE(k);
    ExpectAlphaOfMask(*image);
    EXPECT_NE(form->PictureTexture(k), nullptr);
  }
  // The 100 x 50 picture's middle square fills the texture, red left of the middle, blue right.
  const PixelImage& wide = *form->PictureImage(3);
  EXPECT_EQ(wide.Row(128)[64 * 4 + 2], 255);
  EXPECT_EQ(wide.Row(128)[64 * 4 + 0], 0);
  EXPECT_EQ(wide.Row(128)[192 * 4 + 0], 255);
  EXPECT_EQ(wide.Row(250)[192 * 4 + 0], 255);
}

TEST_F(SceneFormTest, EntryKBelongsToBubbleKAndOnlyTenAreLoaded) {
  const std::string good = WriteInverseOutlinePng();
  PictureList.Items.assign(12, good);
  PictureList.Items[1] = "   ";
  auto form = MakeForm();
  EXPECT_NE(form->PictureImage(1), nullptr);
  EXPECT_EQ(form->PictureImage(2), nullptr);
  EXPECT_EQ(form->PictureTexture(2), nullptr);
  for (int k = 3; k <= 10; ++k) EXPECT_NE(form->PictureTexture(k), nullptr) << k;
}

TEST_F(SceneFormTest, BadPictureFilesGiveTheirBubbleNoPictureAndLoadingGoesOn) {
  const std::string bmpNamedPng = WriteBmp("photo.png.bmp", 8, 8, 24);
  const std::string truncated = TempFile("truncated.png");
  std::vector<uint8_t> png = ReadWholeFile(WriteInverseOutlinePng());
  png.resize(png.size() / 2);
  WriteFile(truncated, png);
  const std::string badJpeg = TempFile("bad.jpg");
  WriteFile(badJpeg, {0xFF, 0xD8, 0xFF, 0xE0, 0, 0x10, 'J', 'F'});
  PictureList.Items = {bmpNamedPng,
                       truncated,
                       badJpeg,
                       TempFile("missing.png"),
                       TempFile("strange.xyz"),
                       WriteInverseOutlinePng()};
  auto form = MakeForm();
  for (int k = 1; k <= 5; ++k) EXPECT_EQ(form->PictureImage(k), nullptr) << "entry " << k;
  EXPECT_NE(form->PictureImage(6), nullptr);
}

namespace {

// The built-in picture is 16:9, whatever scale it was decoded at.
bool IsBuiltInPicture(const PixelImage& image) {
  return !image.Empty() && image.Width() * 9 == image.Height() * 16;
}

}  // namespace

TEST_F(SceneFormTest, TheBackgroundSourceFollowsBackType) {
  BackType = 1;
  EXPECT_TRUE(IsBuiltInPicture(MakeForm()->BackImage));
  BackType = 3;
  BackPic = " ";
  EXPECT_TRUE(IsBuiltInPicture(MakeForm()->BackImage));
  BackPic = WriteBmp("back.bmp", 30, 20, 24);
  EXPECT_EQ(MakeForm()->BackImage.Width(), 30);
  BackType = 2;
  auto copy = MakeForm();
  EXPECT_EQ(copy->BackImage.Width(), GetSystemMetrics(SM_CXSCREEN));
  EXPECT_EQ(copy->BackImage.Height(), GetSystemMetrics(SM_CYSCREEN));
}

TEST_F(SceneFormTest, AnUnloadableBackgroundFileLeavesNoStalePicture) {
  // The pictures use BackImage as scratch; the background must not show the last one.
  PictureList.Items = {WriteBmp("scratch.bmp", 50, 50, 24)};
  BackType = 3;
  BackPic = TempFile("no-such-background.jpg");
  EXPECT_TRUE(MakeForm()->BackImage.Empty());
}

TEST_F(SceneFormTest, ShownAsAChildTheSceneDrawsTheStretchedBackground) {
  HostWindow host;
  auto form = MakeForm();
  form->SetParentWindow(host.Handle());
  form->Show();
  ASSERT_TRUE(form->DXDraw->Initialized()) << form->DXDraw->InitializeFailure();
  EXPECT_EQ(form->DXDraw->SurfaceWidth(), 400);
  ASSERT_NE(form->Background(), nullptr);
  form->DrawScene();
  PixelImage frame;
  ASSERT_TRUE(ReadSurfaceImage(form->DXDraw->Surface(), frame));
  // No bubbles: the frame is the built-in photograph, not the black of the clear.
  int lit = 0;
  for (int y = 0; y < 300; y += 10) {
    for (int x = 0; x < 400; x += 10) lit += frame.Row(y)[x * 4] + frame.Row(y)[x * 4 + 1] > 40;
  }
  EXPECT_GT(lit, 600);
}

// A device that takes smaller surfaces than the run's window draws its primary part alone,
// with the background and the bubbles of that part; the window's black covers the rest.
TEST_F(SceneFormTest, ADeviceTooSmallForTheWindowDrawsThePrimarysPartAlone) {
  HostWindow host;
  BallsCount = 1;
  LimitSurfaces({256, 200});
  auto form = MakeForm();
  form->SetParentWindow(host.Handle());
  form->Show();
  LimitSurfaces({});
  ASSERT_TRUE(form->DXDraw->Initialized()) << form->DXDraw->InitializeFailure();
  EXPECT_EQ(form->DrawnArea(), (ScreenRect{0, 0, 256, 200}));
  EXPECT_EQ(form->DXDraw->SurfaceWidth(), 256);
  EXPECT_EQ(form->DXDraw->SurfaceHeight(), 200);
  EXPECT_EQ(form->ClientWidth(), 256);
  BubbleTable[1] = Bubble{100, 100, 0, 0, 200, 0, 0, 0, 0, 0, true, 1};
  form->DrawScene();
  PixelImage frame;
  ASSERT_TRUE(ReadSurfaceImage(form->DXDraw->Surface(), frame));
  int lit = 0;
  for (int y = 0; y < 200; y += 10) {
    for (int x = 0; x < 256; x += 10) lit += frame.Row(y)[x * 4] + frame.Row(y)[x * 4 + 1] > 40;
  }
  EXPECT_GT(lit, 400) << "the primary's part shows no background";
}

TEST_F(SceneFormTest, BubblesMoveOnlyWhileTheDisplayCanDraw) {
  HostWindow host;
  BallsCount = 3;
  auto form = MakeForm();
  form->SetParentWindow(host.Handle());
  const double startX = BubbleTable[1].X;
  form->DrawScene();  // not shown yet: the display is not initialised
  EXPECT_EQ(BubbleTable[1].X, startX);
  form->Show();
  ASSERT_TRUE(form->DXDraw->CanDraw());
  form->DrawScene();
  EXPECT_NE(BubbleTable[1].X, startX);
}

TEST_F(SceneFormTest, TintedBubbleBodyComesOutInTheBubblesColour) {
  HostWindow host;
  BallsCount = 1;
  ShowShadow = false;
  BackType = 3;
  BackPic = TempFile("none.bmp");  // black background
  auto form = MakeForm();
  form->SetParentWindow(host.Handle());
  form->Show();
  ASSERT_TRUE(form->DXDraw->CanDraw());
  BubbleTable[1] = Bubble{200, 150, 0, 0, 200, 0, 0, 0, 0, 0, true, 1};  // pure red
  form->DrawScene();
  PixelImage frame;
  ASSERT_TRUE(ReadSurfaceImage(form->DXDraw->Surface(), frame));
  // Somewhere on the ring the body shows pure tinted colour: red, with no green or blue
  // beyond what the white highlights add.
  int redOnly = 0;
  for (int y = 60; y < 240; ++y) {
    for (int x = 110; x < 290; ++x) {
      const uint8_t* p = frame.Row(y) + x * 4;
      redOnly += p[2] > 60 && p[1] < 10 && p[0] < 10;
    }
  }
  EXPECT_GT(redOnly, 100);
  EXPECT_EQ(frame.Row(5)[5 * 4 + 2], 0);  // outside the bubble: black
}

TEST_F(SceneFormTest, AltEnterTwiceBringsTheSceneBackWithItsTexturesAndBackground) {
  HostWindow host;
  auto form = MakeForm();
  form->SetParentWindow(host.Handle());
  form->Show();
  ASSERT_TRUE(form->DXDraw->Initialized());
  for (int i = 0; i < 2; ++i) {
    WORD key = VK_RETURN;
    form->FormKeyDown(key, ssAlt);
    EXPECT_EQ(key, 0);
    harness::PumpMessages();
  }
  EXPECT_FALSE(form->FullScreen());
  ASSERT_TRUE(form->DXDraw->Initialized()) << form->DXDraw->InitializeFailure();
  EXPECT_NE(form->Ball(), nullptr);
  EXPECT_NE(form->Highlight(), nullptr);
  EXPECT_NE(form->Shadow(), nullptr);
  ASSERT_NE(form->Background(), nullptr);
  EXPECT_NE(form->Ball()->Surface(), nullptr);
  EXPECT_EQ(form->Background()->Width(), form->DXDraw->SurfaceWidth());
}

TEST_F(SceneFormTest, AMoveOfTheFormFinalisesTheDisplayAndItsEndInitialisesItAgain) {
  HostWindow host;
  auto form = MakeForm();
  form->SetParentWindow(host.Handle());
  form->Show();
  ASSERT_TRUE(form->DXDraw->Initialized());
  SendMessageA(form->Handle(), WM_ENTERSIZEMOVE, 0, 0);
  EXPECT_FALSE(form->DXDraw->Initialized());
  EXPECT_FALSE(form->DXDraw->CanDraw());
  SendMessageA(form->Handle(), WM_EXITSIZEMOVE, 0, 0);
  ASSERT_TRUE(form->DXDraw->CanDraw());
  EXPECT_NE(form->Ball(), nullptr);
  EXPECT_NE(form->Background(), nullptr);
}

TEST_F(SceneFormTest, FullScreenPresentsTheSceneOverTheFormsWindow) {
  HostWindow host;  // smaller than the screen
  auto form = MakeForm();
  form->SetParentWindow(host.Handle());
  form->Show();
  WORD key = VK_RETURN;
  form->FormKeyDown(key, ssAlt);
  ASSERT_TRUE(form->FullScreen());
  ASSERT_TRUE(form->DXDraw->Initialized()) << form->DXDraw->InitializeFailure();
  EXPECT_GE(form->DXDraw->SurfaceWidth(), 640);
  EXPECT_EQ(form->Background()->Width(), form->DXDraw->SurfaceWidth());
  for (int i = 0; i < 3; ++i) {
    form->DrawScene();
    harness::PumpMessages();
  }
  // Wine shows an exclusive display through the window's clipper: the form's pixels.
  HDC screen = GetDC(nullptr);
  int lit = 0, samples = 0;
  for (int y = 20; y < 300; y += 40) {
    for (int x = 20; x < 400; x += 40, ++samples) {
      lit += GetPixel(screen, x, y) != 0;
    }
  }
  ReleaseDC(nullptr, screen);
  EXPECT_GT(lit, samples * 3 / 4);
}

TEST_F(SceneFormTest, FinaliseReleasesBubbleTexturesAndBackgroundButKeepsPictures) {
  PictureList.Items = {WriteInverseOutlinePng()};
  HostWindow host;
  auto form = MakeForm();
  form->SetParentWindow(host.Handle());
  form->Show();
  form->DXDraw->Finalize();
  EXPECT_EQ(form->Ball(), nullptr);
  EXPECT_EQ(form->Background(), nullptr);
  ASSERT_NE(form->PictureTexture(1), nullptr);
  EXPECT_EQ(form->PictureTexture(1)->Surface(), nullptr);
  EXPECT_EQ(LastDirectDrawReleaseCount(), 0u);
  ASSERT_TRUE(form->DXDraw->Initialize());
  EXPECT_NE(form->Ball(), nullptr);
  EXPECT_NE(form->PictureTexture(1)->Surface(), nullptr);
}

TEST_F(SceneFormTest, MouseReportsAfterTheFirstAreForwardedToTheHost) {
  HostWindow host;
  auto form = MakeForm();
  form->SetParentWindow(host.Handle());
  form->DXDrawMouseMove(0, 0, 0);    // (0, 0): still nothing seen
  form->DXDrawMouseMove(0, 50, 60);  // recorded
  form->DXDrawMouseMove(0, 50, 60);  // same place
  harness::PumpMessages();
  EXPECT_TRUE(host.Received().empty());
  form->DXDrawMouseMove(0, 51, 60);
  form->DXDrawMouseMove(0, 10, 10);
  harness::PumpMessages();
  EXPECT_EQ(host.Received(), (std::vector<UINT>{WM_MOUSEMOVE, WM_MOUSEMOVE}));
}

TEST_F(SceneFormTest, KeysAndButtonsGoToTheHostButEscapeClosesTheScene) {
  HostWindow host;
  auto form = MakeForm();
  form->SetParentWindow(host.Handle());
  form->Show();
  WORD key = 'A';
  form->FormKeyDown(key, 0);
  WORD alt = VK_MENU;
  form->FormKeyDown(alt, ssAlt);
  SendMessageA(form->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  harness::PumpMessages();
  EXPECT_EQ(host.Received(), (std::vector<UINT>{WM_KEYDOWN, WM_LBUTTONDOWN}));
  WORD escape = VK_ESCAPE;
  form->FormKeyDown(escape, 0);
  EXPECT_FALSE(form->Visible());
  EXPECT_EQ(form->SceneWind(), nullptr);
  form->StopWind();  // the finish after Escape finds no wind
  form->Close();
  EXPECT_EQ(form->SceneWind(), nullptr);
}

TEST_F(SceneFormTest, DestroyingTheHostFinalisesTheDisplay) {
  auto host = std::make_unique<HostWindow>();
  auto form = MakeForm();
  form->SetParentWindow(host->Handle());
  form->Show();
  ASSERT_TRUE(form->DXDraw->Initialized());
  host.reset();
  EXPECT_FALSE(form->DXDraw->Initialized());
  EXPECT_EQ(form->Ball(), nullptr);
}

// Frames run only while the scene can be seen: not while the display is off, not while
// Escape has hidden the scene; each time it can be seen again they go on.
TEST_F(SceneFormTest, FramesRestWhileTheDisplayIsOffOrTheSceneHiddenAndComeBack) {
  HostWindow host;
  BallsCount = 3;
  auto form = MakeForm();
  form->SetParentWindow(host.Handle());
  form->Show();
  ASSERT_TRUE(form->Timer1.Enabled());
  form->SetDisplayAwake(false);
  EXPECT_FALSE(form->Timer1.Enabled());
  ASSERT_NE(form->SceneWind(), nullptr);
  EXPECT_TRUE(form->SceneWind()->Paused());
  form->SetDisplayAwake(true);
  EXPECT_TRUE(form->Timer1.Enabled());
  EXPECT_FALSE(form->SceneWind()->Paused());

  WORD escape = VK_ESCAPE;
  form->FormKeyDown(escape, 0);
  EXPECT_FALSE(form->Visible());
  EXPECT_FALSE(form->Timer1.Enabled()) << "frames drawn into a hidden scene";
  form->Show();
  EXPECT_TRUE(form->Timer1.Enabled());
}

// Textures whose device copies were refused draw nothing, not untextured squares: with
// every copy refused the frame is the black background alone.
TEST_F(SceneFormTest, ALayerWithoutADeviceCopyIsLeftOut) {
  HostWindow host;
  BallsCount = 1;
  BackType = 3;
  BackPic = TempFile("none.bmp");  // black background
  RefuseTextureCopies(true);
  auto form = MakeForm();
  form->SetParentWindow(host.Handle());
  form->Show();
  RefuseTextureCopies(false);
  ASSERT_TRUE(form->DXDraw->CanDraw());
  ASSERT_NE(form->Ball(), nullptr);
  EXPECT_EQ(form->Ball()->Surface(), nullptr);
  BubbleTable[1] = Bubble{200, 150, 0, 0, 200, 0, 0, 0, 0, 0, true, 1};
  form->DrawScene();
  PixelImage frame;
  ASSERT_TRUE(ReadSurfaceImage(form->DXDraw->Surface(), frame));
  int lit = 0;
  for (int y = 60; y < 240; ++y)
    for (int x = 110; x < 290; ++x) {
      const uint8_t* p = frame.Row(y) + x * 4;
      lit += p[0] > 8 || p[1] > 8 || p[2] > 8;
    }
  EXPECT_EQ(lit, 0) << "a layer without its texture was drawn";
}
