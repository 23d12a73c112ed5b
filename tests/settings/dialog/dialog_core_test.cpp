#include "settings/dialog/dialog_core.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <string>

#include "image/pixel_image.h"
#include "settings/memory_store.h"

namespace {

TEST(DialogCaption, NamesTheMajorAndMinorVersion) {
  const std::string version =
      std::to_string(VESPERINE_VERSION_MAJOR) + "." + std::to_string(VESPERINE_VERSION_MINOR);
  EXPECT_EQ(version, VESPERINE_VERSION_TEXT);
  EXPECT_EQ(std::string(DialogCaption), "Settings  Ver" + version);
}

TEST(SpinEditText, ReadsWholeNumbersAndRoundsFractionsHalfToEven) {
  EXPECT_EQ(ReadSpinText("42").Value, 42);
  EXPECT_EQ(ReadSpinText(" 7 ").Value, 7);
  EXPECT_EQ(ReadSpinText("+8").Value, 8);
  EXPECT_EQ(ReadSpinText("12.4").Value, 12);
  EXPECT_EQ(ReadSpinText("12.5").Value, 12);
  EXPECT_EQ(ReadSpinText("13.5").Value, 14);
  EXPECT_EQ(ReadSpinText("0.5").Value, 0);
}

TEST(SpinEditText, ClampsIntoZeroToHundred) {
  EXPECT_EQ(ReadSpinText("150").Value, 100);
  EXPECT_EQ(ReadSpinText("-3").Value, 0);
  EXPECT_EQ(ReadSpinText("100.4").Value, 100);
  EXPECT_EQ(ReadSpinText("99999999999999999999").Value, 100);
}

TEST(SpinEditText, ReadsEmptyOrNonNumericTextAsZero) {
  EXPECT_EQ(ReadSpinText("").Value, 0);
  EXPECT_TRUE(ReadSpinText("").TextWasEmpty);
  EXPECT_FALSE(ReadSpinText("abc").TextWasEmpty);
  for (const char* text : {"abc", "12abc", "1 2", "-", "+", "+-4", "inf", "nan", "0x10", "."}) {
    EXPECT_EQ(ReadSpinText(text).Value, 0) << text;
  }
}

TEST(SpinEditSteps, KeysAndWheelStepByOneOrTenAndStayInRange) {
  EXPECT_EQ(StepSpinValue(50, SpinKeyStep(SpinKey::Up)), 51);
  EXPECT_EQ(StepSpinValue(50, SpinKeyStep(SpinKey::Down)), 49);
  EXPECT_EQ(StepSpinValue(50, SpinKeyStep(SpinKey::PageUp)), 60);
  EXPECT_EQ(StepSpinValue(50, SpinKeyStep(SpinKey::PageDown)), 40);
  EXPECT_EQ(StepSpinValue(95, SpinKeyStep(SpinKey::PageUp)), 100);
  EXPECT_EQ(StepSpinValue(100, SpinKeyStep(SpinKey::Up)), 100);
  EXPECT_EQ(StepSpinValue(4, SpinKeyStep(SpinKey::PageDown)), 0);
  EXPECT_EQ(StepSpinValue(0, SpinKeyStep(SpinKey::Down)), 0);
}

TEST(SpinEditSteps, WheelCountsWholeNotchesAndKeepsTheRemainder) {
  SpinWheel wheel;
  EXPECT_EQ(wheel.Consume(120, false), 1);
  EXPECT_EQ(wheel.Consume(-240, false), -2);
  EXPECT_EQ(wheel.Consume(120, true), 10);
  EXPECT_EQ(wheel.Consume(60, false), 0);  // half a notch from a fine-grained wheel
  EXPECT_EQ(wheel.Consume(60, false), 1);
  EXPECT_EQ(wheel.Consume(-30, false), 0);
  EXPECT_EQ(wheel.Consume(30, false), 0);  // back and forth cancels out
  EXPECT_EQ(wheel.Consume(120, false), 1);
}

TEST(SpinEditTyping, RefusesPrintableCharactersBackspaceAndPasteButLetsNavigationThrough) {
  for (unsigned code : {unsigned('a'), unsigned('5'), unsigned(' '), 8u, 22u, 24u, 26u, 200u}) {
    EXPECT_TRUE(SpinRefusesCharacter(code)) << code;
  }
  for (unsigned code : {3u, 9u, 13u, 27u}) EXPECT_FALSE(SpinRefusesCharacter(code)) << code;
}

TEST(TrackBarPosition, IsTheScaleInTenthsRoundedHalfToEvenAndClamped) {
  EXPECT_EQ(TrackBarPositionFromScale(1.0f), 10);
  EXPECT_EQ(TrackBarPositionFromScale(1.5f), 15);
  EXPECT_EQ(TrackBarPositionFromScale(0.2f), 2);  // the float nearest 0.2 is slightly above
  EXPECT_EQ(TrackBarPositionFromScale(0.7f), 7);
  EXPECT_EQ(TrackBarPositionFromScale(5.0f), 20);   // BallSize 50
  EXPECT_EQ(TrackBarPositionFromScale(0.0f), 2);    // BallSize 0
  EXPECT_EQ(TrackBarPositionFromScale(-1.0f), 2);   // a negative BallSize
  EXPECT_EQ(TrackBarPositionFromScale(1.25f), 12);  // 12.5 goes to the even 12
  EXPECT_EQ(TrackBarPositionFromScale(1.75f), 18);  // 17.5 goes to the even 18
  EXPECT_EQ(TrackBarPositionFromScale(3e9f), 20);   // beyond any integer
}

TEST(ControlsFromSettings, ShowStoredValuesInsideTheControlsRanges) {
  SettingsSnapshot settings;
  settings.BallsCount = 150;
  EXPECT_EQ(ControlsFromSettings(settings).BallsCount, 100);
  settings.BallsCount = -3;
  EXPECT_EQ(ControlsFromSettings(settings).BallsCount, 0);
  settings.SizeScale = 5.0f;
  EXPECT_EQ(ControlsFromSettings(settings).BallSize, 20);
}

TEST(ControlsFromSettings, SelectTheGdiPlusItemOnlyForTheExactText) {
  SettingsSnapshot settings;
  settings.Driver = "GDI+";
  EXPECT_EQ(ControlsFromSettings(settings).DriverItem, 1);
  for (const char* driver : {"gdi+", "GDI+ ", "GDI", "", "Directx 7.0", "anything"}) {
    settings.Driver = driver;
    EXPECT_EQ(ControlsFromSettings(settings).DriverItem, 0) << driver;
  }
  EXPECT_FALSE(ControlsFromSettings(settings).DriverChanged);
}

TEST(ControlsFromSettings, CheckTheRadioOfTheBackTypeAndKeepTheDefaultForOthers) {
  SettingsSnapshot settings;
  settings.BackPic = "C:\\pics\\sea.jpg";
  for (int32_t backType : {1, 2, 3}) {
    settings.BackType = backType;
    const DialogControls controls = ControlsFromSettings(settings);
    EXPECT_EQ(controls.CheckedTag, backType);
    EXPECT_EQ(controls.BackPicText, settings.BackPic) << "the path shows whatever the type";
  }
  for (int32_t backType : {0, 4, -1}) {
    settings.BackType = backType;
    EXPECT_EQ(ControlsFromSettings(settings).CheckedTag, TagDefault);
  }
  EXPECT_TRUE(PictureEditEnabled(TagUser));
  EXPECT_FALSE(PictureEditEnabled(TagDefault));
  EXPECT_FALSE(PictureEditEnabled(TagDesktop));
}

DialogControls SomeControls() {
  DialogControls controls;
  controls.BallsCount = 25;
  controls.ShowShadow = true;
  controls.BallSize = 12;
  controls.SoundOpen = false;
  controls.CheckedTag = TagDesktop;
  controls.Pictures = {"a.png", "b.jpg"};
  return controls;
}

std::vector<std::string> Names(const std::vector<PlannedWrite>& plan) {
  std::vector<std::string> names;
  for (const PlannedWrite& write : plan) names.push_back(write.Name);
  return names;
}

const PlannedWrite* Find(const std::vector<PlannedWrite>& plan, const std::string& name) {
  const auto found = std::find_if(plan.begin(), plan.end(),
                                  [&](const PlannedWrite& write) { return write.Name == name; });
  return found == plan.end() ? nullptr : &*found;
}

TEST(SavePlan, WritesEveryValueInOrderWithItsTypeAndNoDriverWhenUntouched) {
  const std::vector<PlannedWrite> expected = {
      {"BallsCount", WriteKind::Integer, "", 25}, {"ShowShadow", WriteKind::Boolean, "", 1},
      {"BallSize", WriteKind::Integer, "", 12},   {"SoundOpen", WriteKind::Boolean, "", 0},
      {"BackType", WriteKind::Integer, "", 2},    {"BallPic", WriteKind::String, "a.png,b.jpg", 0}};
  EXPECT_EQ(PlanSave(SomeControls()), expected);
}

TEST(SavePlan, WritesTheDriverFirstAndOnlyWhenTheUserChangedIt) {
  DialogControls controls = SomeControls();
  controls.DriverChanged = true;
  controls.DriverItem = 1;
  std::vector<PlannedWrite> plan = PlanSave(controls);
  ASSERT_FALSE(plan.empty());
  EXPECT_EQ(plan.front(), (PlannedWrite{"Driver", WriteKind::String, "GDI+", 0}));
  controls.DriverItem = 0;
  EXPECT_EQ(PlanSave(controls).front().Text, "Directx 7.0");
}

TEST(SavePlan, UserPictureWritesThePathUntrimmedBeforeBackType) {
  DialogControls controls = SomeControls();
  controls.CheckedTag = TagUser;
  controls.BackPicText = "  C:\\my pictures\\sea.jpg ";
  const std::vector<PlannedWrite> plan = PlanSave(controls);
  EXPECT_EQ(Names(plan), (std::vector<std::string>{"BallsCount", "ShowShadow", "BallSize",
                                                   "SoundOpen", "BackPic", "BackType", "BallPic"}));
  EXPECT_EQ(Find(plan, "BackPic")->Text, "  C:\\my pictures\\sea.jpg ");
  EXPECT_EQ(Find(plan, "BackType")->Number, 3);
}

TEST(SavePlan, BlankUserPathSavesTheBuiltInBackgroundAndLeavesBackPicAlone) {
  DialogControls controls = SomeControls();
  controls.CheckedTag = TagUser;
  for (const char* blank : {"", "   ", "\t \r\n"}) {
    controls.BackPicText = blank;
    const std::vector<PlannedWrite> plan = PlanSave(controls);
    EXPECT_EQ(Find(plan, "BackPic"), nullptr);
    EXPECT_EQ(Find(plan, "BackType")->Number, 1);
  }
}

TEST(SavePlan, DefaultAndDesktopBackgroundsNeverWriteBackPic) {
  DialogControls controls = SomeControls();
  controls.BackPicText = "C:\\sea.jpg";
  for (int32_t tag : {TagDefault, TagDesktop}) {
    controls.CheckedTag = tag;
    const std::vector<PlannedWrite> plan = PlanSave(controls);
    EXPECT_EQ(Find(plan, "BackPic"), nullptr);
    EXPECT_EQ(Find(plan, "BackType")->Number, tag);
  }
}

TEST(SavePlan, PictureListBecomesCommaTextWithDuplicatesAndQuotedBlanks) {
  DialogControls controls = SomeControls();
  controls.Pictures = {};
  EXPECT_EQ(Find(PlanSave(controls), "BallPic")->Text, "");
  controls.Pictures = {"C:\\a.png", "C:\\a.png"};
  EXPECT_EQ(Find(PlanSave(controls), "BallPic")->Text, "C:\\a.png,C:\\a.png");
  controls.Pictures = {"C:\\my pictures\\b.png", "c.jpg"};
  EXPECT_EQ(Find(PlanSave(controls), "BallPic")->Text, "\"C:\\my pictures\\b.png\",c.jpg");
}

TEST(SavePlan, KeepsCountAndSizeInTheirRangesWhateverTheControlsHeld) {
  DialogControls controls = SomeControls();
  controls.BallsCount = 150;
  controls.BallSize = 50;
  std::vector<PlannedWrite> plan = PlanSave(controls);
  EXPECT_EQ(Find(plan, "BallsCount")->Number, 100);
  EXPECT_EQ(Find(plan, "BallSize")->Number, 20);
  controls.BallsCount = -3;
  controls.BallSize = 0;
  plan = PlanSave(controls);
  EXPECT_EQ(Find(plan, "BallsCount")->Number, 0);
  EXPECT_EQ(Find(plan, "BallSize")->Number, 2);
}

// Records every write in order and fails the one named, as the registry might.
class RecordingKey : public SettingsKey {
 public:
  RecordingKey(std::vector<std::string>& log, std::string failing) : log_(log), failing_(failing) {}
  bool ValueExists(const std::string&) override { return false; }
  StoredValue Query(const std::string& name) override { throw RegistryError::GetDataFailed(name); }
  void Write(const std::string& name, ValueType type, const std::vector<uint8_t>& data) override {
    if (name == failing_) throw RegistryError::SetDataFailed(name);
    log_.push_back(name + ":" + std::to_string(static_cast<int>(type)) + ":" +
                   std::to_string(data.size()));
  }

 private:
  std::vector<std::string>& log_;
  std::string failing_;
};

class RecordingStore : public SettingsStore {
 public:
  std::vector<std::string> Log;
  std::string FailingValue;
  bool KeyCreated = false;
  std::unique_ptr<SettingsKey> Open() override {
    return std::make_unique<RecordingKey>(Log, FailingValue);
  }
  void CreateKey() override { KeyCreated = true; }
};

TEST(ApplySave, WritesThePlanInOrderWithRegistryTypesAndSizes) {
  RecordingStore store;
  DialogControls controls = SomeControls();
  controls.DriverChanged = true;
  controls.DriverItem = 1;
  ApplySave(store, PlanSave(controls));
  EXPECT_TRUE(store.KeyCreated);
  // Strings are REG_SZ (1) with their NUL; integers and Booleans REG_DWORD (4) of 4 bytes.
  EXPECT_EQ(store.Log, (std::vector<std::string>{"Driver:1:5", "BallsCount:4:4", "ShowShadow:4:4",
                                                 "BallSize:4:4", "SoundOpen:4:4", "BackType:4:4",
                                                 "BallPic:1:12"}));
}

TEST(ApplySave, StopsAtAFailingValueAndKeepsWhatWasWrittenBefore) {
  RecordingStore store;
  store.FailingValue = "BallSize";
  try {
    ApplySave(store, PlanSave(SomeControls()));
    FAIL() << "the failed write must reach the caller";
  } catch (const RegistryError& error) {
    EXPECT_STREQ(error.what(), "Failed to set data for 'BallSize'");
  }
  EXPECT_EQ(store.Log, (std::vector<std::string>{"BallsCount:4:4", "ShowShadow:4:4"}));
}

TEST(ApplySave, ReportsAKeyThatCannotBeCreatedAndWritesNothing) {
  MemorySettingsStore store;
  store.KeyUnavailable = true;
  EXPECT_THROW(ApplySave(store, PlanSave(SomeControls())), RegistryError);
  EXPECT_TRUE(store.Values.empty());
}

class SaveRoundTrip : public ::testing::Test {
 protected:
  void TearDown() override { RestoreInitialSettings(); }
};

TEST_F(SaveRoundTrip, SavingUntouchedControlsKeepsEverySettingTheLoadGave) {
  MemorySettingsStore store;
  store.PutDword("BackType", 3);
  store.PutString("BackPic", " C:\\my pictures\\sea.jpg");
  store.PutString("BallPic", "\"C:\\my pictures\\b.png\",c.jpg,c.jpg");
  store.PutDword("ShowShadow", 0);
  store.PutDword("BallsCount", 37);
  store.PutDword("SoundOpen", 0);
  store.PutDword("BallSize", 15);
  store.PutString("Driver", "gdi+");
  LoadSettings(store);
  const SettingsSnapshot before = CurrentSettings();

  ApplySave(store, PlanSave(ControlsFromSettings(before)));
  RestoreInitialSettings();
  LoadSettings(store);
  const SettingsSnapshot after = CurrentSettings();

  EXPECT_EQ(after.BackType, 3);
  EXPECT_EQ(after.BackPic, " C:\\my pictures\\sea.jpg");
  EXPECT_EQ(after.Pictures, (std::vector<std::string>{"C:\\my pictures\\b.png", "c.jpg", "c.jpg"}));
  EXPECT_FALSE(after.ShowShadow);
  EXPECT_EQ(after.BallsCount, 37);
  EXPECT_FALSE(after.SoundOpen);
  EXPECT_FLOAT_EQ(after.SizeScale, 1.5f);
  EXPECT_EQ(after.Driver, "gdi+") << "an untouched driver box leaves the stored text";
}

TEST_F(SaveRoundTrip, AFreshInstallationSavedUntouchedStillHasNoDriverValue) {
  MemorySettingsStore store;
  LoadSettings(store);
  ApplySave(store, PlanSave(ControlsFromSettings(CurrentSettings())));
  EXPECT_FALSE(store.Values.contains("Driver"));
  EXPECT_FALSE(store.Values.contains("BackPic"));
  EXPECT_TRUE(store.Values.contains("BallPic"));
  ASSERT_TRUE(store.Values.contains("BallSize"));
  EXPECT_EQ(store.Values["BallSize"].Data, (std::vector<uint8_t>{10, 0, 0, 0}));
}

TEST(FitPicture, ShrinksToTheBoxKeepingTheShapeAndCentres) {
  EXPECT_EQ(FitPicture(400, 200, 100, 100), (FitRect{0, 25, 100, 50}));
  EXPECT_EQ(FitPicture(200, 400, 100, 100), (FitRect{25, 0, 50, 100}));
  EXPECT_EQ(FitPicture(40, 20, 100, 100), (FitRect{30, 40, 40, 20})) << "never enlarged";
  EXPECT_EQ(FitPicture(16384, 1, 100, 100), (FitRect{0, 49, 100, 1})) << "a sliver stays visible";
  EXPECT_EQ(FitPicture(0, 10, 100, 100), FitRect{});
  EXPECT_EQ(FitPicture(10, 10, 0, 100), FitRect{});
}

std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  for (size_t at = 0; at <= text.size();) {
    const size_t end = std::min(text.find(separator, at), text.size());
    parts.push_back(text.substr(at, end - at));
    at = end + 1;
  }
  return parts;
}

// The filter's strings, without the empty one that ends the list.
std::vector<std::string> FilterParts(const std::string& filter) {
  EXPECT_TRUE(filter.ends_with(std::string("*.*") + '\0' + '\0'));
  return Split(filter.substr(0, filter.size() - 2), '\0');
}

TEST(PictureFilter, ListsEveryFormatTogetherThenEachThenAllFiles) {
  const std::string all = "*.bmp;*.dib;*.jpg;*.jpeg;*.jpe;*.jfif;*.png;*.gif;*.tif;*.tiff;*.webp";
  EXPECT_EQ(FilterParts(PictureFilter()),
            (std::vector<std::string>{
                "Pictures (" + all + ")", all, "Bitmaps (*.bmp;*.dib)", "*.bmp;*.dib",
                "JPEG pictures (*.jpg;*.jpeg;*.jpe;*.jfif)", "*.jpg;*.jpeg;*.jpe;*.jfif",
                "PNG pictures (*.png)", "*.png", "GIF pictures (*.gif)", "*.gif",
                "TIFF pictures (*.tif;*.tiff)", "*.tif;*.tiff", "WebP pictures (*.webp)", "*.webp",
                "All files (*.*)", "*.*"}));
}

// What the dialog offers is what loads: every listed extension reaches the reading of the
// file (a missing one here), and icons are neither offered nor loaded.
TEST(PictureFilter, OffersExactlyTheExtensionsTheLoaderKnows) {
  const std::vector<std::string> patterns = Split(FilterParts(PictureFilter()).at(1), ';');
  for (const std::string& pattern : patterns) {
    try {
      LoadPictureFile("/nonexistent/picture" + pattern.substr(1));
      ADD_FAILURE() << pattern << " loaded a missing file";
    } catch (const PictureError& error) {
      EXPECT_NE(std::string(error.what()).find("Cannot read the picture file"), std::string::npos)
          << pattern << ": " << error.what();
    }
  }
  EXPECT_EQ(std::count(patterns.begin(), patterns.end(), "*.ico"), 0);
  EXPECT_THROW(LoadPictureFile("/nonexistent/picture.ico"), PictureError);
}

int CountOf(const GlyphPixels& pixels, uint8_t colour) {
  return static_cast<int>(std::count(pixels.begin(), pixels.end(), colour));
}

TEST(Glyphs, LandscapeHasAFrameSkyHillsAndASun) {
  const GlyphPixels landscape = MakeGlyph(GlyphKind::Landscape);
  EXPECT_GT(CountOf(landscape, GlyphSky), 0);
  EXPECT_GT(CountOf(landscape, GlyphGreen), 0);
  EXPECT_GT(CountOf(landscape, GlyphDarkGreen), 0);
  EXPECT_GT(CountOf(landscape, GlyphYellow), 4);
  for (int i = 1; i <= GlyphSide - 2; ++i) {
    EXPECT_EQ(landscape[1 * GlyphSide + i], GlyphDarkGray) << "top edge " << i;
    EXPECT_EQ(landscape[i * GlyphSide + 1], GlyphDarkGray) << "left edge " << i;
  }
  for (uint8_t index : landscape) EXPECT_LT(index, 16) << "16 colours only";
}

TEST(Glyphs, CrossRunsCornerToCornerInBlackOnTheFace) {
  const GlyphPixels cross = MakeGlyph(GlyphKind::Cross);
  EXPECT_EQ(cross[8 * GlyphSide + 8], GlyphBlack);  // the centre
  EXPECT_EQ(cross[3 * GlyphSide + 3], GlyphBlack);
  EXPECT_EQ(cross[3 * GlyphSide + 13], GlyphBlack);
  EXPECT_EQ(cross[13 * GlyphSide + 3], GlyphBlack);
  EXPECT_EQ(cross[8 * GlyphSide + 2], GlyphFace);
  EXPECT_EQ(CountOf(cross, GlyphBlack) + CountOf(cross, GlyphFace), GlyphSide * GlyphSide);
}

}  // namespace

// The 96-dpi design (205, 110, 402 x 437) on the monitor it opens on: scaled, kept inside
// the work area, and laid out smaller only where its dpi's size cannot fit.
TEST(PlaceDialog, KeepsTheDialogInsideTheWorkAreaAtTheLargestScaleThatFits) {
  const ScreenRect design{205, 110, 607, 547};
  const struct {
    const char* Name;
    uint32_t Dpi;
    ScreenRect Work;
    DialogPlace Expected;
  } cases[] = {
      {"fits at its design place", 96, {0, 0, 1024, 768}, {{205, 110, 607, 547}, 96}},
      {"144 dpi on 1024 x 768 moves up", 144, {0, 0, 1024, 768}, {{308, 112, 911, 768}, 144}},
      {"175 % on 1366 x 768 is too tall", 168, {0, 0, 1366, 728}, {{359, 0, 1029, 728}, 160}},
      {"too wide for a narrow monitor", 192, {0, 0, 640, 1024}, {{4, 220, 640, 912}, 152}},
      {"monitor at negative coordinates", 96, {-1280, -200, 0, 824}, {{-1075, -90, -673, 347}, 96}},
      {"beside a task bar on the left", 96, {60, 0, 1024, 768}, {{265, 110, 667, 547}, 96}},
      {"no dpi reads as 96", 0, {0, 0, 1024, 768}, {{205, 110, 607, 547}, 96}},
  };
  for (const auto& c : cases) {
    const DialogPlace place = PlaceDialog(design, c.Dpi, c.Work);
    EXPECT_EQ(place.Bounds, c.Expected.Bounds) << c.Name;
    EXPECT_EQ(place.LayoutDpi, c.Expected.LayoutDpi) << c.Name;
    EXPECT_EQ(Intersection(place.Bounds, c.Work), place.Bounds) << c.Name << ": not inside";
  }
}
