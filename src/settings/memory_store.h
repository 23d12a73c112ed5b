// A settings store held in memory: the native build's platform store, and the store
// tests seed with any value, type or failure the registry could present.
#pragma once

#include <map>
#include <memory>
#include <set>
#include <string>

#include "settings/settings.h"

// Orders value names as the registry compares them: ASCII letters without case.
struct ValueNameLess {
  bool operator()(const std::string& a, const std::string& b) const;
};

class MemorySettingsStore : public SettingsStore {
 public:
  std::map<std::string, StoredValue, ValueNameLess> Values;
  bool KeyExists = false;
  bool KeyUnavailable = false;                          // the key can be neither opened nor created
  std::set<std::string, ValueNameLess> FailingQueries;  // exist, but reading them fails
  std::set<std::string, ValueNameLess> FailingWrites;

  // Keys returned by Open must not outlive the store.
  std::unique_ptr<SettingsKey> Open() override;
  void CreateKey() override;

  // Seeds a value with exactly these bytes.
  void Put(const std::string& name, ValueType type, std::vector<uint8_t> data);
  // Seeds the encodings the writers produce: a NUL-terminated REG_SZ, a 4-byte REG_DWORD.
  void PutString(const std::string& name, const std::string& value);
  void PutDword(const std::string& name, int32_t value);

  int OpenKeyCount() const { return open_keys_; }

 private:
  friend class MemorySettingsKey;
  int open_keys_ = 0;
};
