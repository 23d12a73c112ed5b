// The settings load over the in-memory store filled from the input: any set of values
// of any type, size and content. The load must end with the globals it promises or with
// the registry error that names the first unreadable value, and always close its key.
//
// Input: one flags byte (bit 0: the key cannot be opened), then records of
//   name selector, type selector, flags (bit 0: the query fails), length, data.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "fuzz_check.h"
#include "settings/memory_store.h"
#include "settings/settings.h"

namespace {

const char* const Names[] = {"BackType",   "BackPic",   "BallPic",     "ShowShadow",
                             "BallsCount", "SoundOpen", "BallSize",    "Driver",
                             "ballscount", "DRIVER",    "BackPicture", ""};
constexpr size_t NameCount = sizeof Names / sizeof Names[0];
const ValueType Types[] = {ValueType::None,   ValueType::String,      ValueType::ExpandString,
                           ValueType::Binary, ValueType::Dword,       ValueType::DwordBigEndian,
                           ValueType::Link,   ValueType::MultiString, ValueType::Qword,
                           ValueType::Dword,  ValueType::String,      ValueType(0x7FFF)};
constexpr size_t TypeCount = sizeof Types / sizeof Types[0];

class Input {
 public:
  Input(const uint8_t* data, size_t size) : Data(data), Size(size) {}
  bool Empty() const { return At >= Size; }
  uint8_t Byte() { return At < Size ? Data[At++] : 0; }
  std::vector<uint8_t> Bytes(size_t count) {
    const size_t n = count < Size - At ? count : Size - At;
    std::vector<uint8_t> out(Data + At, Data + At + n);
    At += n;
    return out;
  }

 private:
  const uint8_t* Data;
  size_t Size;
  size_t At = 0;
};

// What a reader of the registry encodings expects, worked out from the stored bytes.
struct Expected {
  std::optional<std::string> Error;
  int32_t BackType = 1;
  std::string BackPic, BallPic, Driver;
  bool ShowShadow = true, SoundOpen = true;
  int32_t BallsCount = 10;
  float SizeScale = 1.0f;
};

class Oracle {
 public:
  explicit Oracle(const MemorySettingsStore& store) : Store(store) {}

  Expected Run() {
    Expected e;
    if (Store.KeyUnavailable) return e;
    // Each step stores its result at once: an error keeps what came before.
    if (!Integer("BackType", e.BackType, e) || !String("BackPic", e.BackPic, e) ||
        !String("BallPic", e.BallPic, e) || !Boolean("ShowShadow", e.ShowShadow, e) ||
        !Integer("BallsCount", e.BallsCount, e) || !Boolean("SoundOpen", e.SoundOpen, e)) {
      return e;
    }
    int32_t size = 0;
    if (Store.Values.contains("BallSize")) {
      if (!Integer("BallSize", size, e)) return e;
      e.SizeScale = static_cast<float>(size) / 10.0f;
    }
    String("Driver", e.Driver, e);
    return e;
  }

 private:
  const StoredValue* Readable(const std::string& name, Expected& e) {
    auto found = Store.Values.find(name);
    if (found == Store.Values.end()) return nullptr;
    if (Store.FailingQueries.contains(name)) {
      e.Error = "Failed to get data for '" + name + "'";
      return nullptr;
    }
    return &found->second;
  }
  bool Integer(const std::string& name, int32_t& target, Expected& e) {
    const StoredValue* v = Readable(name, e);
    if (!v) return !e.Error;
    if (v->Type != ValueType::Dword || v->Data.size() != 4) {
      e.Error = "Invalid data type for '" + name + "'";
      return false;
    }
    target = int32_t(uint32_t(v->Data[0]) | uint32_t(v->Data[1]) << 8 | uint32_t(v->Data[2]) << 16 |
                     uint32_t(v->Data[3]) << 24);
    return true;
  }
  bool Boolean(const std::string& name, bool& target, Expected& e) {
    int32_t value = target ? 1 : 0;
    if (!Integer(name, value, e)) return false;
    target = value != 0;
    return true;
  }
  bool String(const std::string& name, std::string& target, Expected& e) {
    const StoredValue* v = Readable(name, e);
    if (!v) return !e.Error;
    if (v->Data.empty()) return true;
    if (v->Type != ValueType::String && v->Type != ValueType::ExpandString) {
      e.Error = "Invalid data type for '" + name + "'";
      return false;
    }
    std::string text;
    for (uint8_t c : v->Data) {
      if (c == 0) break;
      text += char(c);
    }
    target = text;
    return true;
  }

  const MemorySettingsStore& Store;
};

void Fill(MemorySettingsStore& store, Input& in) {
  store.KeyUnavailable = in.Byte() & 1;
  while (!in.Empty()) {
    const std::string name = Names[in.Byte() % NameCount];
    const ValueType type = Types[in.Byte() % TypeCount];
    const uint8_t flags = in.Byte();
    const size_t length = in.Byte();
    store.Put(name, type, in.Bytes(length));
    if (flags & 1) store.FailingQueries.insert(name);
  }
}

void CheckGlobals(const Expected& e) {
  FUZZ_CHECK(BackType == e.BackType);
  FUZZ_CHECK(BackPic == e.BackPic && BallPic == e.BallPic && Driver == e.Driver);
  FUZZ_CHECK(ShowShadow == e.ShowShadow && SoundOpen == e.SoundOpen);
  FUZZ_CHECK(BallsCount == e.BallsCount);
  FUZZ_CHECK(SizeScale == e.SizeScale || (SizeScale != SizeScale && e.SizeScale != e.SizeScale));
  if (!e.Error) {
    TStringList list;
    list.SetCommaText(e.BallPic);
    FUZZ_CHECK(PictureList.Items == list.Items);
    FUZZ_CHECK(UseDirectDraw == (e.Driver.empty() || e.Driver[0] == 'D'));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  MemorySettingsStore store;
  Input in(data, size);
  Fill(store, in);
  const Expected expected = Oracle(store).Run();

  RestoreInitialSettings();
  std::optional<std::string> error;
  try {
    LoadSettings(store);
  } catch (const RegistryError& failure) {
    error = failure.what();
  }
  FUZZ_CHECK(error == expected.Error);
  FUZZ_CHECK(store.OpenKeyCount() == 0);
  CheckGlobals(expected);
  return 0;
}
