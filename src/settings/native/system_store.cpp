// Without a registry the settings live in memory for the life of the process.
#include "settings/memory_store.h"
#include "settings/settings.h"

SettingsStore& SystemSettingsStore() {
  static MemorySettingsStore store;
  return store;
}

void LoadSettings() {
  LoadSettings(SystemSettingsStore());
}
