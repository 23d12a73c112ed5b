#include <algorithm>

#include "settings/settings.h"

namespace {

bool IsStringType(ValueType type) {
  return type == ValueType::String || type == ValueType::ExpandString;
}

// A DWORD of another size is as unusable as another type.
bool IsDword(const StoredValue& value) {
  return value.Type == ValueType::Dword && value.Data.size() == sizeof(uint32_t);
}

uint32_t FromLittleEndian(const std::vector<uint8_t>& bytes) {
  return static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
         static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}

}  // namespace

RegistryError RegistryError::InvalidDataType(const std::string& value_name) {
  return RegistryError("Invalid data type for '" + value_name + "'");
}

RegistryError RegistryError::GetDataFailed(const std::string& value_name) {
  return RegistryError("Failed to get data for '" + value_name + "'");
}

RegistryError RegistryError::SetDataFailed(const std::string& value_name) {
  return RegistryError("Failed to set data for '" + value_name + "'");
}

RegistryError RegistryError::CreateKeyFailed(const std::string& key_path) {
  return RegistryError("Failed to create key " + key_path);
}

std::unique_ptr<SettingsKey> OpenForWriting(SettingsStore& store) {
  store.CreateKey();
  std::unique_ptr<SettingsKey> key = store.Open();
  if (!key) throw RegistryError::CreateKeyFailed(kSettingsKeyPath);
  return key;
}

// Stops at the first NUL but never reads past the data, so a string stored without
// its terminator is still safe.
std::string ReadString(SettingsKey& key, const std::string& name) {
  if (!key.ValueExists(name)) return {};
  StoredValue value = key.Query(name);
  if (value.Data.empty()) return {};
  if (!IsStringType(value.Type)) throw RegistryError::InvalidDataType(name);
  auto end = std::find(value.Data.begin(), value.Data.end(), uint8_t{0});
  return std::string(value.Data.begin(), end);
}

int32_t ReadInteger(SettingsKey& key, const std::string& name) {
  StoredValue value = key.Query(name);
  if (!IsDword(value)) throw RegistryError::InvalidDataType(name);
  return static_cast<int32_t>(FromLittleEndian(value.Data));
}

bool ReadBool(SettingsKey& key, const std::string& name) {
  return ReadInteger(key, name) != 0;
}

std::vector<uint8_t> StringBytes(const std::string& value) {
  std::vector<uint8_t> data(value.begin(), value.end());
  data.push_back(0);
  return data;
}

std::vector<uint8_t> DwordBytes(int32_t value) {
  const auto bits = static_cast<uint32_t>(value);
  return {static_cast<uint8_t>(bits), static_cast<uint8_t>(bits >> 8),
          static_cast<uint8_t>(bits >> 16), static_cast<uint8_t>(bits >> 24)};
}

void WriteString(SettingsKey& key, const std::string& name, const std::string& value) {
  key.Write(name, ValueType::String, StringBytes(value));
}

void WriteInteger(SettingsKey& key, const std::string& name, int32_t value) {
  key.Write(name, ValueType::Dword, DwordBytes(value));
}

void WriteBool(SettingsKey& key, const std::string& name, bool value) {
  WriteInteger(key, name, value ? 1 : 0);
}
