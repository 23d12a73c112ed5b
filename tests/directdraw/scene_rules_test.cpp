#include "directdraw/scene_rules.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

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

TEST(DisplayLoss, GivesUpOnlyAfterFramesWentUndrawnForTheWholeDelay) {
  const uint32_t start = 0xFFFFF000u;  // across the tick count's wrap
  const uint32_t late = start + LostDisplayGiveUpMs;
  const struct {
    const char* Name;
    std::vector<std::pair<uint32_t, bool>> Frames;  // (when due, drew)
    bool RestBeforeLast;
    bool GaveUp;
  } rows[] = {
      {"drawing", {{start, true}, {late, true}}, false, false},
      {"lost for the whole delay", {{start, false}, {late - 1, false}, {late, false}}, false, true},
      {"one short of the delay", {{start, false}, {late - 1, false}}, false, false},
      {"a drawn frame starts afresh",
       {{start, false}, {start + 10, true}, {late, false}},
       false,
       false},
      {"resting does not count", {{start, false}, {late, false}}, true, false},
  };
  for (const auto& r : rows) {
    DisplayLossWatch watch;
    for (size_t i = 0; i < r.Frames.size(); ++i) {
      if (r.RestBeforeLast && i + 1 == r.Frames.size()) watch.Rest();
      watch.FrameDue(r.Frames[i].first, r.Frames[i].second);
    }
    EXPECT_EQ(watch.GaveUp(), r.GaveUp) << r.Name;
  }
  DisplayLossWatch given;
  given.FrameDue(start, false);
  given.FrameDue(late, false);
  given.FrameDue(late + 40, true);
  EXPECT_TRUE(given.GaveUp()) << "a display given up stays given up";
}
