#include "framework/background_choice.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct Choice {
  int32_t BackType;
  const char* BackPic;
  BackgroundSource Expected;
};

TEST(BackgroundChoice, TheFileOnlyForTypeThreeWithANonBlankNameTheScreenForTwo) {
  const std::vector<Choice> choices = {
      {3, "c:\\b.jpg", BackgroundSource::File},    {3, "   ", BackgroundSource::BuiltIn},
      {3, "  \t ", BackgroundSource::BuiltIn},     {3, "", BackgroundSource::BuiltIn},
      {2, "", BackgroundSource::ScreenCopy},       {2, "c:\\b.jpg", BackgroundSource::ScreenCopy},
      {1, "c:\\b.jpg", BackgroundSource::BuiltIn}, {0, "c:\\b.jpg", BackgroundSource::BuiltIn},
      {7, "c:\\b.jpg", BackgroundSource::BuiltIn}, {-1, "c:\\b.jpg", BackgroundSource::BuiltIn},
  };
  for (const Choice& choice : choices)
    EXPECT_EQ(ChooseBackground(choice.BackType, choice.BackPic), choice.Expected)
        << choice.BackType << " \"" << choice.BackPic << '"';
}

TEST(BackgroundChoice, OnlyACopyOfTheScreenIsLaidOverTheMonitorsAsTheVirtualScreen) {
  const struct {
    BackgroundSource Source;
    BackgroundKind Expected;
  } kinds[] = {{BackgroundSource::ScreenCopy, BackgroundKind::VirtualScreenCopy},
               {BackgroundSource::BuiltIn, BackgroundKind::Picture},
               {BackgroundSource::File, BackgroundKind::Picture}};
  for (const auto& kind : kinds)
    EXPECT_EQ(BackgroundKindOf(kind.Source), kind.Expected) << static_cast<int>(kind.Source);
}

}  // namespace
