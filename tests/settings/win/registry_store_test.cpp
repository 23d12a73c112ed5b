// The registry store against the real registry. HKEY_LOCAL_MACHINE software\Vesperine
// is deleted before and after every test; values are seeded with RegSetValueExA itself
// so the store is checked against what Windows hands back.
#include "settings/win/registry_store.h"

#include <windows.h>

#include "settings_fixture.h"

namespace {

using Data = std::vector<uint8_t>;

Data Bytes(std::string_view text) {
  return {text.begin(), text.end()};
}
Data WithNul(std::string_view text) {
  return Bytes(std::string(text) + '\0');
}
Data Dword(uint32_t v) {
  return {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
}

HKEY OpenTestKey() {
  HKEY key = nullptr;
  RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSettingsKeyPath, 0, KEY_ALL_ACCESS, &key);
  return key;
}

void DeleteKey() {
  RegDeleteKeyA(HKEY_LOCAL_MACHINE, kSettingsKeyPath);
  ASSERT_EQ(OpenTestKey(), nullptr);
}

void Seed(const char* name, DWORD type, const Data& data) {
  HKEY key = nullptr;
  RegCreateKeyExA(HKEY_LOCAL_MACHINE, kSettingsKeyPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                  &key, nullptr);
  ASSERT_EQ(RegSetValueExA(key, name, 0, type, data.data(), DWORD(data.size())), ERROR_SUCCESS);
  RegCloseKey(key);
}

std::pair<DWORD, Data> Stored(const char* name) {
  HKEY key = OpenTestKey();
  DWORD type = REG_NONE, size = 0;
  RegQueryValueExA(key, name, nullptr, &type, nullptr, &size);
  Data data(size);
  RegQueryValueExA(key, name, nullptr, &type, data.data(), &size);
  RegCloseKey(key);
  return {type, data};
}

class RegistryStoreTest : public SettingsGlobalsTest {
 protected:
  void SetUp() override {
    SettingsGlobalsTest::SetUp();
    DeleteKey();
  }
  void TearDown() override {
    DeleteKey();
    SettingsGlobalsTest::TearDown();
  }
  std::string LoadError() {
    return RegistryErrorOf([this] { LoadSettings(store); });
  }

  RegistrySettingsStore store;
};

TEST_F(RegistryStoreTest, CreatesAnAbsentKeyAndLoadsTheInitialValues) {
  LoadSettings(store);
  ExpectInitialSettings();
  EXPECT_NE(OpenTestKey(), nullptr);
}

TEST_F(RegistryStoreTest, LoadsEveryValueThroughTheSystemStore) {
  Seed("BackType", REG_DWORD, Dword(3));
  Seed("BackPic", REG_EXPAND_SZ, WithNul("%SystemRoot%\\back.jpg"));
  Seed("BallPic", REG_SZ, WithNul("a.png,\"C:\\My Pictures\\b.png\""));
  Seed("ShowShadow", REG_DWORD, Dword(0));
  Seed("BallsCount", REG_DWORD, Dword(42));
  Seed("SoundOpen", REG_DWORD, Dword(2));
  Seed("BallSize", REG_DWORD, Dword(15));
  Seed("Driver", REG_SZ, Bytes("GDI+"));  // no terminating NUL
  LoadSettings();
  EXPECT_EQ(BackType, 3);
  EXPECT_EQ(BackPic, "%SystemRoot%\\back.jpg");
  EXPECT_EQ(PictureList.Items, (std::vector<std::string>{"a.png", "C:\\My Pictures\\b.png"}));
  EXPECT_FALSE(ShowShadow);
  EXPECT_EQ(BallsCount, 42);
  EXPECT_TRUE(SoundOpen);
  EXPECT_EQ(SizeScale, 1.5f);
  EXPECT_EQ(Driver, "GDI+");
  EXPECT_FALSE(UseDirectDraw);
}

TEST_F(RegistryStoreTest, ReadsEmptyValuesOfAnyTypeAsEmptyStrings) {
  Seed("BackPic", REG_BINARY, {});
  Seed("Driver", REG_DWORD, {});
  LoadSettings(store);
  EXPECT_EQ(BackPic, "");
  EXPECT_TRUE(UseDirectDraw);
}

TEST_F(RegistryStoreTest, ReadsHugeStringsUpToTheLimitAndRefusesLargerOnes) {
  Seed("BallPic", REG_SZ, WithNul(std::string(1 << 20, 'p')));
  Seed("BackPic", REG_SZ, WithNul(std::string(kMaxValueBytes - 1, 'p')));
  LoadSettings(store);
  EXPECT_EQ(BallPic, std::string(1 << 20, 'p'));
  EXPECT_EQ(BackPic.size(), kMaxValueBytes - 1);
  Seed("BackPic", REG_SZ, Data(kMaxValueBytes + 1, 'p'));
  EXPECT_EQ(LoadError(), "Failed to get data for 'BackPic'");
}

TEST_F(RegistryStoreTest, RefusesValuesOfTheWrongTypeOrSize) {
  const std::vector<std::tuple<const char*, DWORD, Data>> cases = {
      {"BackType", REG_SZ, WithNul("3")},
      {"BackPic", REG_DWORD, Dword(1)},
      {"BallPic", REG_MULTI_SZ, Bytes(std::string_view("a.png\0b.png\0\0", 13))},
      {"ShowShadow", REG_DWORD, {1, 0}},
      {"BallsCount", REG_BINARY, Dword(5)},
      {"SoundOpen", REG_DWORD, {}},
      {"BallSize", REG_QWORD, {15, 0, 0, 0, 0, 0, 0, 0}},
  };
  for (const auto& [name, type, data] : cases) {
    DeleteKey();
    Seed(name, type, data);
    EXPECT_EQ(LoadError(), std::string("Invalid data type for '") + name + "'") << type;
  }
}

TEST_F(RegistryStoreTest, WritesTheDocumentedTypesAndSizes) {
  std::unique_ptr<SettingsKey> key = OpenForWriting(store);
  WriteString(*key, "BackPic", "  C:\\caf\xE9.jpg");
  WriteInteger(*key, "BallsCount", -7);
  WriteBool(*key, "ShowShadow", true);
  WriteBool(*key, "SoundOpen", false);
  key.reset();
  EXPECT_EQ(Stored("BackPic"), std::pair(DWORD(REG_SZ), WithNul("  C:\\caf\xE9.jpg")));
  EXPECT_EQ(Stored("BallsCount"), std::pair(DWORD(REG_DWORD), Dword(uint32_t(-7))));
  EXPECT_EQ(Stored("ShowShadow"), std::pair(DWORD(REG_DWORD), Dword(1)));
  EXPECT_EQ(Stored("SoundOpen"), std::pair(DWORD(REG_DWORD), Dword(0)));
  LoadSettings(store);
  EXPECT_EQ(BackPic, "  C:\\caf\xE9.jpg");
}

TEST_F(RegistryStoreTest, ReportsKeysThatCannotBeOpenedAndWritesThatFail) {
  RegistrySettingsStore unreachable(nullptr, kSettingsKeyPath);
  LoadSettings(unreachable);
  ExpectInitialSettings();
  EXPECT_EQ(RegistryErrorOf([&] { OpenForWriting(unreachable); }),
            "Failed to create key software\\Vesperine");
  // A key deleted under an open handle refuses new values.
  std::unique_ptr<SettingsKey> key = OpenForWriting(store);
  DeleteKey();
  EXPECT_EQ(RegistryErrorOf([&] { WriteInteger(*key, "BackType", 2); }),
            "Failed to set data for 'BackType'");
}

}  // namespace
