// The saver's settings: process-wide globals loaded once from the settings store.
// The world globals BallsCount, SizeScale and SoundOpen are defined by the world.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
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

// The machine-wide key, under HKEY_LOCAL_MACHINE on Windows.
inline constexpr const char* kSettingsKeyPath = "software\\Vesperine";

// No value larger than this is read: far above any list the dialog can save, far
// below what would exhaust a 32-bit process.
inline constexpr size_t kMaxValueBytes = 4 * 1024 * 1024;

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

  static RegistryError InvalidDataType(const std::string& value_name);
  static RegistryError GetDataFailed(const std::string& value_name);
  static RegistryError SetDataFailed(const std::string& value_name);
  static RegistryError CreateKeyFailed(const std::string& key_path);
};

// One opened key of the settings store; closed when destroyed. Query of a value that
// exists returns its type and bytes; a failing query (or a value above
// kMaxValueBytes) throws "Failed to get data for '%s'", a failing Write throws
// "Failed to set data for '%s'".
class SettingsKey {
 public:
  virtual ~SettingsKey() = default;
  virtual bool ValueExists(const std::string& name) = 0;
  virtual StoredValue Query(const std::string& name) = 0;
  virtual void Write(const std::string& name, ValueType type, const std::vector<uint8_t>& data) = 0;
};

// The store: the machine-wide key software\Vesperine. Open opens the key, creating it
// when missing, and returns null when that fails; CreateKey only makes sure the key
// exists and throws "Failed to create key %s" when it cannot.
class SettingsStore {
 public:
  virtual ~SettingsStore() = default;
  virtual std::unique_ptr<SettingsKey> Open() = 0;
  virtual void CreateKey() = 0;
};

// The platform's store: the registry on Windows, a process-lifetime memory store
// elsewhere.
SettingsStore& SystemSettingsStore();

// Reads every setting in the order of SettingTable (settings/setting_table.h). A value
// that cannot be read throws RegistryError; the globals read before it keep their loaded
// values, the rest keep what they held. Values are not range-checked.
void LoadSettings(SettingsStore& store);
void LoadSettings();  // from SystemSettingsStore()

// Puts every settings global (the world's three included) back to its value at
// process start, as if LoadSettings had never run.
void RestoreInitialSettings();

// For the save: creates the key if it does not exist and opens it for writing.
// Throws "Failed to create key software\Vesperine".
std::unique_ptr<SettingsKey> OpenForWriting(SettingsStore& store);

// Typed reads and writes with the store's encodings; used by the load and the dialog.
// Strings: REG_SZ or REG_EXPAND_SZ (unexpanded), up to the first NUL; absent or size 0
// reads as empty. Integers and Booleans: REG_DWORD of exactly 4 bytes only; the value
// must exist. Booleans: any non-zero value is true; written as 0 or 1.
std::string ReadString(SettingsKey& key, const std::string& name);
int32_t ReadInteger(SettingsKey& key, const std::string& name);
bool ReadBool(SettingsKey& key, const std::string& name);
// The bytes those writes store: a NUL-terminated REG_SZ, a 4-byte little-endian REG_DWORD.
std::vector<uint8_t> StringBytes(const std::string& value);
std::vector<uint8_t> DwordBytes(int32_t value);
void WriteString(SettingsKey& key, const std::string& name, const std::string& value);
void WriteInteger(SettingsKey& key, const std::string& name, int32_t value);
void WriteBool(SettingsKey& key, const std::string& name, bool value);
