#include "gdiplus/resource_image.h"

#include <gtest/gtest.h>

#include "gdiplus_test_support.h"

namespace {

TEST(LoadResourceImage, DecodesEveryBuiltInPictureAtItsSize) {
  struct Expected {
    const char *Name, *Type;
    UINT Width, Height;
  };
  for (const Expected& picture : {Expected{"BALL", "PNG", 256, 256},
                                  {"BALL1", "PNG", 256, 256},
                                  {"BALL2", "PNG", 256, 256},
                                  {"MASK1", "PNG", 256, 256},
                                  {"BACK", "JPG", 2560, 1440}}) {
    auto bitmap = LoadResourceImage(picture.Name, picture.Type);
    EXPECT_EQ(bitmap->GetWidth(), picture.Width) << picture.Name;
    EXPECT_EQ(bitmap->GetHeight(), picture.Height) << picture.Name;
  }
}

TEST(LoadResourceImage, GivesABitmapWithoutAnImageForAMissingResource) {
  auto missing = LoadResourceImage("NOSUCH", "PNG");
  EXPECT_FALSE(missing->HoldsImage());
  EXPECT_EQ(missing->GetWidth(), 0u);
  EXPECT_FALSE(LoadResourceImage("BACK", "PNG")->HoldsImage()) << "the type is part of the name";
}

TEST(LoadResourceImage, PicturesStayDrawableAfterLaterLoads) {
  // GDI+ may decode from the stream late; the memory under it must still be there.
  auto back = LoadResourceImage("BACK", "JPG");
  for (int i = 0; i < 3; ++i) LoadResourceImage("BALL2", "PNG");
  TGPBitmap target(64, 48, PixelFormat32bppARGB);
  TGPGraphics graphics(&target);
  EXPECT_EQ(graphics.DrawImage(back.get(), 0, 0, 64, 48), Gdiplus::Ok);
  EXPECT_EQ(AlphaOf(PixelAt(target, 32, 24)), 255) << "the photograph is opaque";
}

}  // namespace
