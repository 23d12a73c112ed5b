#include "settings/win/registry_store.h"

#include "framework/win/registry.h"

namespace {

class RegistrySettingsKey : public SettingsKey {
 public:
  explicit RegistrySettingsKey(RegistryKey key) : key_(std::move(key)) {}

  bool ValueExists(const std::string& name) override {
    RegistryValueInfo info;
    return key_.QueryInfo(name, info) == ERROR_SUCCESS;
  }

  // The size is asked first so that nothing above kMaxValueBytes is ever allocated.
  // For a string the ANSI query may count a terminator it adds to unterminated data,
  // and the data call may return less than the size first reported.
  StoredValue Query(const std::string& name) override {
    RegistryValueInfo info;
    if (key_.QueryInfo(name, info) != ERROR_SUCCESS || info.Size > kMaxValueBytes) {
      throw RegistryError::GetDataFailed(name);
    }
    StoredValue value;
    value.Data.resize(info.Size);
    DWORD type = info.Type;
    if (info.Size > 0 && key_.QueryData(name, type, value.Data) != ERROR_SUCCESS) {
      throw RegistryError::GetDataFailed(name);
    }
    value.Type = static_cast<ValueType>(type);
    return value;
  }

  void Write(const std::string& name, ValueType type, const std::vector<uint8_t>& data) override {
    if (key_.SetValue(name, static_cast<DWORD>(type), data) != ERROR_SUCCESS) {
      throw RegistryError::SetDataFailed(name);
    }
  }

 private:
  RegistryKey key_;
};

}  // namespace

RegistrySettingsStore::RegistrySettingsStore(HKEY root, std::string path)
    : root_(root), path_(std::move(path)) {}

std::unique_ptr<SettingsKey> RegistrySettingsStore::Open() {
  std::optional<RegistryKey> key = RegistryKey::OpenOrCreate(root_, path_);
  if (!key) return nullptr;
  return std::make_unique<RegistrySettingsKey>(std::move(*key));
}

void RegistrySettingsStore::CreateKey() {
  if (!RegistryKey::OpenOrCreate(root_, path_)) throw RegistryError::CreateKeyFailed(path_);
}

SettingsStore& SystemSettingsStore() {
  static RegistrySettingsStore store;
  return store;
}

void LoadSettings() {
  LoadSettings(SystemSettingsStore());
}
