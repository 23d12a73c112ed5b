#include "settings/settings.h"

namespace {

constexpr int32_t kInitialBackType = 1;
constexpr bool kInitialShowShadow = true;
constexpr int32_t kInitialBallsCount = 10;
constexpr bool kInitialSoundOpen = true;
constexpr float kSizeScaleWithoutBallSize = 1.0f;

// Stands in for a key that could be neither opened nor created: every value is absent.
class AbsentKey : public SettingsKey {
 public:
  bool ValueExists(const std::string&) override { return false; }
  StoredValue Query(const std::string& name) override { throw RegistryError::GetDataFailed(name); }
  void Write(const std::string& name, ValueType, const std::vector<uint8_t>&) override {
    throw RegistryError::SetDataFailed(name);
  }
};

void ReadIntegerIfStored(SettingsKey& key, const char* name, int32_t& target) {
  if (key.ValueExists(name)) target = ReadInteger(key, name);
}

void ReadBoolIfStored(SettingsKey& key, const char* name, bool& target) {
  if (key.ValueExists(name)) target = ReadBool(key, name);
}

// BallSize is stored in tenths of the base size.
float SizeScaleFrom(SettingsKey& key) {
  if (!key.ValueExists("BallSize")) return kSizeScaleWithoutBallSize;
  return static_cast<float>(ReadInteger(key, "BallSize")) / 10.0f;
}

// The DirectDraw caption starts with a capital D; no stored choice means DirectDraw.
bool DriverMeansDirectDraw(const std::string& driver) {
  return driver.empty() || driver.front() == 'D';
}

// Each global is assigned as soon as its value is read, so an error part-way
// leaves the earlier ones loaded.
void LoadFrom(SettingsKey& key) {
  ReadIntegerIfStored(key, "BackType", BackType);
  BackPic = ReadString(key, "BackPic");
  BallPic = ReadString(key, "BallPic");
  PictureList = TStringList();
  PictureList.SetCommaText(BallPic);
  ReadBoolIfStored(key, "ShowShadow", ShowShadow);
  ReadIntegerIfStored(key, "BallsCount", BallsCount);
  ReadBoolIfStored(key, "SoundOpen", SoundOpen);
  SizeScale = SizeScaleFrom(key);
  Driver = ReadString(key, "Driver");
  UseDirectDraw = DriverMeansDirectDraw(Driver);
}

}  // namespace

int32_t BackType = kInitialBackType;
std::string BackPic;
std::string BallPic;
TStringList PictureList;
bool ShowShadow = kInitialShowShadow;
std::string Driver;
bool UseDirectDraw = true;

void LoadSettings(SettingsStore& store) {
  std::unique_ptr<SettingsKey> opened = store.Open();
  AbsentKey absent;
  LoadFrom(opened ? *opened : absent);
}

void RestoreInitialSettings() {
  BackType = kInitialBackType;
  BackPic.clear();
  BallPic.clear();
  PictureList = TStringList();
  ShowShadow = kInitialShowShadow;
  BallsCount = kInitialBallsCount;
  SoundOpen = kInitialSoundOpen;
  SizeScale = kSizeScaleWithoutBallSize;
  Driver.clear();
  UseDirectDraw = true;
}
