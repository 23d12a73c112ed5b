#include "gdiplus/win/pictures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>

#include "framework/string_list.h"
#include "gdiplus/win/preview.h"
#include "gdiplus_test_support.h"
#include "settings/settings.h"
#include "world/bubble_table.h"

namespace {

class Pictures : public ::testing::Test {
 protected:
  void SetUp() override {
    BackType = 1;
    BackPic.clear();
    BallPic.clear();
    PictureList.Items.clear();
    WorldRect = {0, 0, 1024, 768};
    BubbleRadius = 78;
  }
  void TearDown() override { ReleasePictures(); }
  // One window for the suite: wine takes seconds to hide a mapped window when no window
  // manager answers.
  static void SetUpTestSuite() { Window = CreateTestWindow(152, 112); }
  static void TearDownTestSuite() { DestroyWindow(Window); }
  static HWND Window;
};

HWND Pictures::Window = nullptr;

TEST_F(Pictures, LoadsTheBubblePicturesAndThePreviewShowsTheBackgroundOfEachBackType) {
  LoadGdiplusPictures();
  for (TGPBitmap* picture : {BallImage.get(), HighlightImage.get(), ShadowImage.get()}) {
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->GetWidth(), 256u);
  }
  EXPECT_GT(AlphaOf(PixelAt(*BallImage, 128, 20)), 0) << "the body keeps its alpha";
  EXPECT_EQ(AlphaOf(PixelAt(*BallImage, 0, 0)), 0);
  EXPECT_EQ(UserPicture, nullptr) << "no picture is listed";

  const std::string checker = WriteCheckerPng("vesperine-back.png");
  // What the preview's background holds: an opaque picture, one whose own alpha shows (the
  // checker's half-transparent squares, filled over the box), or nothing at all.
  enum class Shows { Opaque, ItsAlpha, Nothing };
  struct Row {
    int32_t Type;
    const char* File;
    Shows Expected;
  } rows[] = {{1, "", Shows::Opaque},
              {2, "", Shows::Opaque},
              {3, checker.c_str(), Shows::ItsAlpha},
              {3, "C:\\no-such-back.jpg", Shows::Nothing},
              {0, "", Shows::Nothing},
              {4, "", Shows::Nothing},
              {-1, "", Shows::Nothing}};
  for (const Row& row : rows) {
    BackType = row.Type;
    BackPic = row.File;
    SetUpPreview(Window);
    ASSERT_NE(PreviewBackground, nullptr);
    ASSERT_EQ(PreviewBackground->GetWidth(), 152u);
    int lowest = 255, highest = 0;
    for (int y = 0; y < 112; y += 3) {
      for (int x = 0; x < 152; x += 3) {
        const int alpha = AlphaOf(PixelAt(*PreviewBackground, x, y));
        lowest = std::min(lowest, alpha);
        highest = std::max(highest, alpha);
      }
    }
    const Shows shown = lowest == 255  ? Shows::Opaque
                        : highest == 0 ? Shows::Nothing
                                       : Shows::ItsAlpha;
    EXPECT_EQ(shown, row.Expected) << "BackType " << row.Type << " " << row.File;
  }
}

TEST_F(Pictures, AUserPngKeepsItsColoursAndItsAlpha) {
  auto picture = LoadUserPictureFile(WriteCheckerPng("vesperine-user.png"));
  ASSERT_EQ(picture->GetWidth(), 5u);
  ASSERT_EQ(picture->GetHeight(), 3u);
  for (int y = 0; y < 3; ++y) {
    for (int x = 0; x < 5; ++x) EXPECT_EQ(PixelAt(*picture, x, y), Checker(x, y)) << x << "," << y;
  }
}

TEST_F(Pictures, AUserFileThatCannotBeDecodedGivesABitmapWithoutAnImage) {
  const std::string garbage = TempPath("vesperine-garbage.png");
  WriteFile(garbage, {0x89, 'P', 'N', 'G', 1, 2, 3, 4, 5, 6, 7, 8});
  const std::string unknown = TempPath("vesperine-picture.xyz");
  WriteFile(unknown, {1, 2, 3});
  for (const std::string& path :
       {garbage, unknown, TempPath("vesperine-none.jpg"), std::string()}) {
    auto picture = LoadUserPictureFile(path);
    ASSERT_NE(picture, nullptr) << path;
    EXPECT_FALSE(picture->HoldsImage()) << path;
  }
}

TEST_F(Pictures, UserPictureIsTheFirstListedFileEvenWhenItsNameNeedsQuotes) {
  PictureList.Items = {WriteCheckerPng("vesperine user picture.png"), TempPath("other.png")};
  BallPic = PictureList.CommaText();
  ASSERT_EQ(BallPic.front(), '"') << "a name with a blank is stored quoted";
  LoadGdiplusPictures();
  ASSERT_NE(UserPicture, nullptr);
  EXPECT_EQ(UserPicture->GetWidth(), 5u);

  PictureList.Items = {TempPath("vesperine-gone.png")};
  BallPic = PictureList.CommaText();
  LoadGdiplusPictures();
  ASSERT_NE(UserPicture, nullptr);
  EXPECT_FALSE(UserPicture->HoldsImage()) << "a missing file shows nothing";

  BallPic = " \t ";
  LoadGdiplusPictures();
  EXPECT_EQ(UserPicture, nullptr) << "a blank text lists no picture";
}

TEST_F(Pictures, PreviewSetUpScalesTheWorldIntoTheWindow) {
  LoadGdiplusPictures();
  SetUpPreview(Window);
  EXPECT_EQ(PreviewRect.right - PreviewRect.left, 152);
  EXPECT_EQ(PreviewRect.bottom - PreviewRect.top, 112);
  EXPECT_EQ(SizeScale, 0.1484375f);
  EXPECT_EQ(SpriteSize, 38);
  ASSERT_EQ(PreviewBackground->GetWidth(), 152u);
  ASSERT_EQ(PreviewBackground->GetHeight(), 112u);
  EXPECT_EQ(AlphaOf(PixelAt(*PreviewBackground, 0, 0)), 255) << "stretched over every corner";
  EXPECT_EQ(AlphaOf(PixelAt(*PreviewBackground, 151, 111)), 255);
  ASSERT_EQ(PreviewBodyLayer->GetWidth(), 38u);
  ASSERT_EQ(PreviewHighlightLayer->GetHeight(), 38u);
  // The body fills the sprite: its rim reaches the left edge, the corners stay clear.
  EXPECT_GT(AlphaOf(PixelAt(*PreviewBodyLayer, 0, 19)), 32);
  EXPECT_EQ(AlphaOf(PixelAt(*PreviewBodyLayer, 37, 0)), 0);

  FreePreviewImages();
  EXPECT_EQ(PreviewBodyLayer, nullptr);
  EXPECT_NE(BallImage, nullptr) << "the pictures themselves live on";
}

TEST_F(Pictures, APreviewOfWidthZeroHasScaleAndSpriteSizeZeroAndDrawsNothing) {
  LoadGdiplusPictures();
  HWND empty = CreateTestWindow(0, 0, false);
  SetUpPreview(empty);
  EXPECT_EQ(SizeScale, 0.0f);
  EXPECT_EQ(SpriteSize, 0);
  EXPECT_FALSE(PreviewBodyLayer->HoldsImage());
  BallsCount = 3;
  DrawPreviewFrame(empty);
  DestroyWindow(empty);
}

TEST(GdiplusShutdown, ReleasesEveryPictureFirstAndLetsLaterObjectsDieQuietly) {
  LoadGdiplusPictures();
  auto survivor = std::make_unique<TGPBitmap>(8, 8, PixelFormat32bppARGB);
  ShutdownGdiplus();
  EXPECT_FALSE(GdiplusSessionRunning());
  EXPECT_EQ(BallImage, nullptr);
  survivor.reset();   // after GdiplusShutdown: must not call into GDI+
  ShutdownGdiplus();  // a second shutdown does nothing
  ASSERT_TRUE(StartGdiplus()) << "the later tests need GDI+ again";
}

}  // namespace
