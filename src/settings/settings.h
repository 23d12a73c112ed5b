// The saver's settings: process-wide globals loaded once from the settings store.
// The world globals BallsCount, SizeScale and SoundOpen are defined by the world.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "framework/string_list.h"
#include "world/bubble_table.h"

extern int32_t BackType;     // 1 built-in, 2 desktop copy, 3 BackPic
extern std::string BackPic;  // ANSI path
extern std::string BallPic;  // comma text of PictureList
extern TStringList PictureList;
extern bool ShowShadow;
extern std::string Driver;
extern bool UseDirectDraw;

// Registry value types as the platform numbers them.
enum class ValueType : uint32_t {
  None = 0,
  String = 1,        // REG_SZ
  ExpandString = 2,  // REG_EXPAND_SZ
  Binary = 3,
  Dword = 4,
  DwordBigEndian = 5,
  Link = 6,
  MultiString = 7,
  Qword = 11,
};

struct StoredValue {
  ValueType Type = ValueType::None;
  std::vector<uint8_t> Data;  // raw bytes as the store returns them
};

// The framework's registry errors carry its texts, e.g. "Invalid data type for 'BallsCount'".
class RegistryError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// One opened key of the settings store. Reading a value that exists returns its
// type and bytes; a failure to read an existing value throws RegistryError
// "Failed to get data for '%s'".
class SettingsKey {
 public:
  virtual ~SettingsKey() = default;
  virtual bool ValueExists(const std::string& name) = 0;
  virtual StoredValue Query(const std::string& name) = 0;
  virtual void Write(const std::string& name, ValueType type, const std::vector<uint8_t>& data) = 0;
};

// The store: the machine-wide key software\Vesperine. Open returns null when the key
// cannot be opened or created; CreateKey throws "Failed to create key %s".
class SettingsStore {
 public:
  virtual ~SettingsStore() = default;
  virtual std::unique_ptr<SettingsKey> Open() = 0;
  virtual void CreateKey() = 0;
};

// The platform's store: the registry on Windows.
SettingsStore& SystemSettingsStore();

// Reads every setting in the stated order; a value of the wrong type throws and
// keeps what was read before it.
void LoadSettings(SettingsStore& store);
void LoadSettings();  // from SystemSettingsStore()

// Typed reads and writes with the store's encodings; used by the load and the dialog.
std::string ReadString(SettingsKey& key, const std::string& name);
int32_t ReadInteger(SettingsKey& key, const std::string& name);
bool ReadBool(SettingsKey& key, const std::string& name);
void WriteString(SettingsKey& key, const std::string& name, const std::string& value);
void WriteInteger(SettingsKey& key, const std::string& name, int32_t value);
void WriteBool(SettingsKey& key, const std::string& name, bool value);
