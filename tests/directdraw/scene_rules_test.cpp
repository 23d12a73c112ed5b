#include "directdraw/scene_rules.h"

#include <gtest/gtest.h>

TEST(PictureDecoderChoice, LooksForTheExtensionAnywhereInTheUpperCasedName) {
  EXPECT_EQ(ChooseDecoder("c:\\pics\\cat.png"), PictureDecoder::Png);
  EXPECT_EQ(ChooseDecoder("photo.png.bmp"), PictureDecoder::Png);
  EXPECT_EQ(ChooseDecoder("C:\\my.jpg.files\\a.bmp"), PictureDecoder::Jpeg);
  EXPECT_EQ(ChooseDecoder("holiday.JpEg"), PictureDecoder::Jpeg);
  EXPECT_EQ(ChooseDecoder("d:\\x.bmp"), PictureDecoder::General);
  EXPECT_EQ(ChooseDecoder("noextension"), PictureDecoder::General);
}

TEST(PictureEntries, BlankAndMissingEntriesGiveNoPicture) {
  TStringList list;
  list.Items = {"a.png", " \t ", "c.jpg"};
  EXPECT_EQ(PictureEntry(list, 1), "a.png");
  EXPECT_FALSE(PictureEntry(list, 2).has_value());
  EXPECT_EQ(PictureEntry(list, 3), "c.jpg");
  EXPECT_FALSE(PictureEntry(list, 4).has_value());
  EXPECT_FALSE(PictureEntry(list, 0).has_value());
}

TEST(PictureEntries, AnEntryIsUsedAsStoredWithItsBlanks) {
  TStringList list;
  list.Items = {"  spaced.png "};
  EXPECT_EQ(PictureEntry(list, 1), "  spaced.png ");
}

TEST(FormKeys, EscapeClosesAndAltEnterSwitches) {
  EXPECT_EQ(ClassifyFormKey(27, false), FormKeyAction::Close);
  EXPECT_EQ(ClassifyFormKey(27, true), FormKeyAction::Close);
  EXPECT_EQ(ClassifyFormKey(13, true), FormKeyAction::SwitchDisplay);
}

TEST(FormKeys, OtherKeysGoToTheHostButBareModifiersDoNot) {
  EXPECT_EQ(ClassifyFormKey(13, false), FormKeyAction::ForwardToHost);
  EXPECT_EQ(ClassifyFormKey('A', false), FormKeyAction::ForwardToHost);
  EXPECT_EQ(ClassifyFormKey(0x73, true), FormKeyAction::ForwardToHost);  // Alt+F4
  for (uint16_t modifier : {16, 17, 18, 0xA0, 0xA5, 0x5B}) {
    EXPECT_EQ(ClassifyFormKey(modifier, false), FormKeyAction::Ignore) << modifier;
  }
}

