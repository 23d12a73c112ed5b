#include "settings/settings.h"

#include <optional>

#include "settings/setting_table.h"

namespace {

// Stands in for a key that could be neither opened nor created: every value is absent.
class AbsentKey : public SettingsKey {
 public:
  bool ValueExists(const std::string&) override { return false; }
  StoredValue Query(const std::string& name) override { throw RegistryError::GetDataFailed(name); }
  void Write(const std::string& name, ValueType, const std::vector<uint8_t>&) override {
    throw RegistryError::SetDataFailed(name);
  }
};

// A value as read: strings always (absent reads as empty), numbers only when stored.
struct ReadValue {
  std::optional<int32_t> Number;
  std::string Text;
};

ReadValue Read(SettingsKey& key, const SettingDefinition& setting) {
  ReadValue value;
  if (setting.Kind == SettingKind::String) {
    value.Text = ReadString(key, setting.Name);
  } else if (key.ValueExists(setting.Name)) {
    value.Number = setting.Kind == SettingKind::Boolean ? ReadBool(key, setting.Name)
                                                        : ReadInteger(key, setting.Name);
  }
  return value;
}

void AssignIfStored(const ReadValue& value, int32_t& target) {
  if (value.Number) target = *value.Number;
}

void AssignIfStored(const ReadValue& value, bool& target) {
  if (value.Number) target = *value.Number != 0;
}

// Puts a value into its global and what derives from it. A number that is not stored
// keeps its global, except BallSize, whose absence means the base size.
void Assign(SettingRow row, const ReadValue& value) {
  switch (row) {
    case RowBackType:
      AssignIfStored(value, BackType);
      break;
    case RowBackPic:
      BackPic = value.Text;
      break;
    case RowBallPic:
      BallPic = value.Text;
      PictureList = TStringList();
      PictureList.SetCommaText(BallPic);
      break;
    case RowShowShadow:
      AssignIfStored(value, ShowShadow);
      break;
    case RowBallsCount:
      AssignIfStored(value, BallsCount);
      break;
    case RowSoundOpen:
      AssignIfStored(value, SoundOpen);
      break;
    case RowBallSize:
      SizeScale = SizeScaleFromBallSize(value.Number.value_or(InitialInteger(RowBallSize)));
      break;
    case RowDriver:
      Driver = value.Text;
      UseDirectDraw = DriverMeansDirectDraw(Driver);
      break;
  }
}

}  // namespace

int32_t BackType = InitialInteger(RowBackType);
std::string BackPic;
std::string BallPic;
TStringList PictureList;
bool ShowShadow = InitialBool(RowShowShadow);
std::string Driver;
bool UseDirectDraw = DriverMeansDirectDraw({});

// Each global is assigned as soon as its value is read, so an error part-way leaves the
// earlier ones loaded.
void LoadSettings(SettingsStore& store) {
  std::unique_ptr<SettingsKey> opened = store.Open();
  AbsentKey absent;
  SettingsKey& key = opened ? *opened : absent;
  for (const SettingDefinition& setting : SettingTable) Assign(setting.Row, Read(key, setting));
}

void RestoreInitialSettings() {
  for (const SettingDefinition& setting : SettingTable) {
    Assign(setting.Row, ReadValue{setting.Default, {}});
  }
}
