#include <array>
#include <functional>

#include "settings/memory_store.h"
#include "settings_fixture.h"

namespace {

class LoadSettingsTest : public SettingsGlobalsTest {
 protected:
  MemorySettingsStore store;

  void SeedEveryValue() {
    store.PutDword("BackType", 3);
    store.PutString("BackPic", "C:\\back.jpg");
    store.PutString("BallPic", "a.png,\"C:\\My Pictures\\b.png\"");
    store.PutDword("ShowShadow", 0);
    store.PutDword("BallsCount", 42);
    store.PutDword("SoundOpen", 0);
    store.PutDword("BallSize", 15);
    store.PutString("Driver", "GDI+");
  }
  std::string LoadError() {
    return RegistryErrorOf([this] { LoadSettings(store); });
  }
};

TEST_F(LoadSettingsTest, KeepsTheInitialValuesWithoutAKeyOrWithAnEmptyOne) {
  store.KeyUnavailable = true;
  LoadSettings(store);
  ExpectInitialSettings();
  // Absent strings and BallSize still reset what they derive.
  BackPic = BallPic = Driver = "left over";
  PictureList.Items = {"left over"};
  SizeScale = 0.5f;
  UseDirectDraw = false;
  LoadSettings(store);
  ExpectInitialSettings();
  store.KeyUnavailable = false;
  LoadSettings(store);
  EXPECT_TRUE(store.KeyExists);
  ExpectInitialSettings();
}

TEST_F(LoadSettingsTest, ReadsEveryStoredValueAndClosesTheKey) {
  SeedEveryValue();
  LoadSettings(store);
  EXPECT_EQ(BackType, 3);
  EXPECT_EQ(BackPic, "C:\\back.jpg");
  EXPECT_EQ(PictureList.Items, (std::vector<std::string>{"a.png", "C:\\My Pictures\\b.png"}));
  EXPECT_FALSE(ShowShadow);
  EXPECT_EQ(BallsCount, 42);
  EXPECT_FALSE(SoundOpen);
  EXPECT_EQ(SizeScale, 1.5f);
  EXPECT_EQ(Driver, "GDI+");
  EXPECT_FALSE(UseDirectDraw);
  EXPECT_EQ(store.OpenKeyCount(), 0);
}

TEST_F(LoadSettingsTest, EmptiesAbsentStringsAndRebuildsThePictureListOnEachLoad) {
  SeedEveryValue();
  LoadSettings(store);
  store.Values.clear();
  store.PutString("BallPic", "c.png");
  LoadSettings(store);
  EXPECT_EQ(PictureList.Items, std::vector<std::string>{"c.png"});
  EXPECT_EQ(BackPic, "");
  EXPECT_TRUE(UseDirectDraw);
  EXPECT_EQ(SizeScale, 1.0f);
  EXPECT_EQ(BallsCount, 42);  // integers are only read when stored
}

TEST_F(LoadSettingsTest, PassesNumbersOnUncheckedAndTakesAnyNonZeroAsTrue) {
  store.PutDword("BackType", 7);
  store.PutDword("BallsCount", -5);
  store.PutDword("BallSize", -3);
  store.PutDword("ShowShadow", 2);
  store.PutDword("SoundOpen", -1);
  ShowShadow = SoundOpen = false;
  LoadSettings(store);
  EXPECT_EQ(BackType, 7);
  EXPECT_EQ(BallsCount, -5);
  EXPECT_EQ(SizeScale, -0.3f);
  EXPECT_TRUE(ShowShadow);
  EXPECT_TRUE(SoundOpen);
}

// The literal 0.2f is by definition the float nearest to 0.2.
TEST_F(LoadSettingsTest, ScalesBallSizeInTenthsAsAFloat) {
  for (auto [ball_size, scale] : {std::pair{15, 1.5f}, {2, 0.2f}, {20, 2.0f}, {0, 0.0f}}) {
    store.PutDword("BallSize", ball_size);
    LoadSettings(store);
    EXPECT_EQ(SizeScale, scale) << ball_size;
  }
}

TEST_F(LoadSettingsTest, ChoosesDirectDrawOnlyForNoDriverOrACapitalD) {
  const std::pair<const char*, bool> cases[] = {
      {"GDI+", false}, {"Directx 7.0", true},  {"D", true},
      {"", true},      {"directx 7.0", false}, {" Directx 7.0", false}};
  for (const auto& [driver, direct_draw] : cases) {
    store.PutString("Driver", driver);
    LoadSettings(store);
    EXPECT_EQ(UseDirectDraw, direct_draw) << '"' << driver << '"';
  }
}

// Each value made unreadable in turn: the load must stop exactly there, with the
// globals before it loaded and the rest untouched, and the key closed.
struct LoadStep {
  const char* Name;
  bool IsString;
  std::function<bool()> Loaded;
  std::function<bool()> Untouched;
};

const std::array<LoadStep, 8> kLoadOrder = {{
    {"BackType", false, [] { return BackType == 3; }, [] { return BackType == 1; }},
    {"BackPic", true, [] { return !BackPic.empty(); }, [] { return BackPic.empty(); }},
    {"BallPic", true, [] { return !BallPic.empty() && PictureList.Count() == 2; },
     [] { return BallPic.empty() && PictureList.Count() == 0; }},
    {"ShowShadow", false, [] { return !ShowShadow; }, [] { return ShowShadow; }},
    {"BallsCount", false, [] { return BallsCount == 42; }, [] { return BallsCount == 10; }},
    {"SoundOpen", false, [] { return !SoundOpen; }, [] { return SoundOpen; }},
    {"BallSize", false, [] { return SizeScale == 1.5f; }, [] { return SizeScale == 1.0f; }},
    {"Driver", true, [] { return Driver == "GDI+" && !UseDirectDraw; },
     [] { return Driver.empty() && UseDirectDraw; }},
}};

TEST_F(LoadSettingsTest, StopsAtAWrongOrUnreadableValueKeepingWhatItReadBefore) {
  for (bool wrong_type : {true, false}) {
    for (size_t failing = 0; failing < kLoadOrder.size(); ++failing) {
      const LoadStep& step = kLoadOrder[failing];
      SCOPED_TRACE(std::string(step.Name) + (wrong_type ? " of the wrong type" : " unreadable"));
      RestoreInitialSettings();
      SeedEveryValue();
      store.FailingQueries.clear();
      if (!wrong_type) {
        store.FailingQueries = {step.Name};
      } else if (step.IsString) {
        store.PutDword(step.Name, 1);
      } else {
        store.PutString(step.Name, "1");
      }
      EXPECT_EQ(LoadError(),
                std::string(wrong_type ? "Invalid data type for '" : "Failed to get data for '") +
                    step.Name + "'");
      for (size_t i = 0; i < kLoadOrder.size(); ++i) {
        EXPECT_TRUE(i < failing ? kLoadOrder[i].Loaded() : kLoadOrder[i].Untouched())
            << kLoadOrder[i].Name;
      }
      EXPECT_EQ(store.OpenKeyCount(), 0);
    }
  }
}

TEST_F(LoadSettingsTest, RestoringInitialSettingsUndoesAFullLoad) {
  SeedEveryValue();
  LoadSettings(store);
  RestoreInitialSettings();
  ExpectInitialSettings();
}

}  // namespace
