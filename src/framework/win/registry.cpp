#include "framework/win/registry.h"

#include <utility>

RegistryKey::RegistryKey(RegistryKey&& other) noexcept
    : handle_(std::exchange(other.handle_, nullptr)) {}

RegistryKey& RegistryKey::operator=(RegistryKey&& other) noexcept {
  if (this != &other) {
    Close();
    handle_ = std::exchange(other.handle_, nullptr);
  }
  return *this;
}

std::optional<RegistryKey> RegistryKey::OpenOrCreate(HKEY root, const std::string& path) {
  HKEY handle = nullptr;
  LONG result = RegCreateKeyExA(root, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                KEY_ALL_ACCESS, nullptr, &handle, nullptr);
  if (result != ERROR_SUCCESS) return std::nullopt;
  return RegistryKey(handle);
}

std::optional<RegistryKey> RegistryKey::OpenExisting(HKEY root, const std::string& path,
                                                     REGSAM access) {
  HKEY handle = nullptr;
  if (RegOpenKeyExA(root, path.c_str(), 0, access, &handle) != ERROR_SUCCESS) return std::nullopt;
  return RegistryKey(handle);
}

LONG RegistryKey::QueryInfo(const std::string& name, RegistryValueInfo& info) const {
  return RegQueryValueExA(handle_, name.c_str(), nullptr, &info.Type, nullptr, &info.Size);
}

LONG RegistryKey::QueryData(const std::string& name, DWORD& type,
                            std::vector<uint8_t>& data) const {
  auto size = static_cast<DWORD>(data.size());
  LONG result = RegQueryValueExA(handle_, name.c_str(), nullptr, &type,
                                 data.empty() ? nullptr : data.data(), &size);
  if (result != ERROR_SUCCESS) return result;
  // Without a buffer the call succeeds and only reports the size.
  if (size > data.size()) return ERROR_MORE_DATA;
  data.resize(size);
  return ERROR_SUCCESS;
}

LONG RegistryKey::SetValue(const std::string& name, DWORD type,
                           const std::vector<uint8_t>& data) const {
  return RegSetValueExA(handle_, name.c_str(), 0, type, data.data(),
                        static_cast<DWORD>(data.size()));
}

void RegistryKey::Close() {
  if (handle_ != nullptr) RegCloseKey(std::exchange(handle_, nullptr));
}
