#include "settings/memory_store.h"

#include <algorithm>

namespace {

char FoldCase(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

}  // namespace

bool ValueNameLess::operator()(const std::string& a, const std::string& b) const {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                      [](char x, char y) { return FoldCase(x) < FoldCase(y); });
}

class MemorySettingsKey : public SettingsKey {
 public:
  explicit MemorySettingsKey(MemorySettingsStore& store) : store_(store) { ++store_.open_keys_; }
  ~MemorySettingsKey() override { --store_.open_keys_; }
  MemorySettingsKey(const MemorySettingsKey&) = delete;
  MemorySettingsKey& operator=(const MemorySettingsKey&) = delete;

  bool ValueExists(const std::string& name) override { return store_.Values.contains(name); }

  StoredValue Query(const std::string& name) override {
    auto found = store_.Values.find(name);
    if (found == store_.Values.end() || store_.FailingQueries.contains(name) ||
        found->second.Data.size() > kMaxValueBytes) {
      throw RegistryError::GetDataFailed(name);
    }
    return found->second;
  }

  void Write(const std::string& name, ValueType type, const std::vector<uint8_t>& data) override {
    if (store_.FailingWrites.contains(name)) throw RegistryError::SetDataFailed(name);
    store_.Values[name] = StoredValue{type, data};
  }

 private:
  MemorySettingsStore& store_;
};

std::unique_ptr<SettingsKey> MemorySettingsStore::Open() {
  if (KeyUnavailable) return nullptr;
  KeyExists = true;
  return std::make_unique<MemorySettingsKey>(*this);
}

void MemorySettingsStore::CreateKey() {
  if (KeyUnavailable) throw RegistryError::CreateKeyFailed(kSettingsKeyPath);
  KeyExists = true;
}

void MemorySettingsStore::Put(const std::string& name, ValueType type, std::vector<uint8_t> data) {
  KeyExists = true;
  Values[name] = StoredValue{type, std::move(data)};
}

void MemorySettingsStore::PutString(const std::string& name, const std::string& value) {
  Put(name, ValueType::String, StringBytes(value));
}

void MemorySettingsStore::PutDword(const std::string& name, int32_t value) {
  Put(name, ValueType::Dword, DwordBytes(value));
}
