// The settings store in the Windows registry: by default HKEY_LOCAL_MACHINE
// software\Vesperine, which a 32-bit process sees through its 32-bit view.
#pragma once

#include <windows.h>

#include <string>

#include "settings/settings.h"

class RegistrySettingsStore : public SettingsStore {
 public:
  explicit RegistrySettingsStore(HKEY root = HKEY_LOCAL_MACHINE,
                                 std::string path = kSettingsKeyPath);

  std::unique_ptr<SettingsKey> Open() override;
  void CreateKey() override;

 private:
  HKEY root_;
  std::string path_;
};
