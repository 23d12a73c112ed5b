// A thin owner of one registry key handle over the ANSI registry functions. Results
// are the platform's error codes (ERROR_SUCCESS on success); callers decide what a
// failure means.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct RegistryValueInfo {
  DWORD Type = REG_NONE;
  DWORD Size = 0;  // bytes; for ANSI strings possibly more than the data returned
};

class RegistryKey {
 public:
  RegistryKey() = default;
  ~RegistryKey() { Close(); }
  RegistryKey(RegistryKey&& other) noexcept;
  RegistryKey& operator=(RegistryKey&& other) noexcept;
  RegistryKey(const RegistryKey&) = delete;
  RegistryKey& operator=(const RegistryKey&) = delete;

  // RegCreateKeyExA with KEY_ALL_ACCESS and REG_OPTION_NON_VOLATILE: opens the key,
  // creating it (and missing parents) when absent.
  static std::optional<RegistryKey> OpenOrCreate(HKEY root, const std::string& path);
  // RegOpenKeyExA: opens an existing key only, with the access asked for.
  static std::optional<RegistryKey> OpenExisting(HKEY root, const std::string& path, REGSAM access);

  bool IsOpen() const { return handle_ != nullptr; }
  HKEY Handle() const { return handle_; }

  // Type and size of a value without its data; ERROR_FILE_NOT_FOUND when absent.
  LONG QueryInfo(const std::string& name, RegistryValueInfo& info) const;
  // Reads into data, whose size on entry is the buffer offered; on success data is
  // cut to the size the system returned. ERROR_MORE_DATA when the buffer is short.
  LONG QueryData(const std::string& name, DWORD& type, std::vector<uint8_t>& data) const;
  LONG SetValue(const std::string& name, DWORD type, const std::vector<uint8_t>& data) const;

  void Close();

 private:
  explicit RegistryKey(HKEY handle) : handle_(handle) {}
  HKEY handle_ = nullptr;
};
