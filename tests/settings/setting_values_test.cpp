#include <gtest/gtest.h>

#include <climits>

#include "settings/memory_store.h"
#include "settings_fixture.h"

namespace {

std::vector<uint8_t> Bytes(std::string_view text) {
  return {text.begin(), text.end()};
}

class SettingValuesTest : public ::testing::Test {
 protected:
  MemorySettingsStore store;
  std::unique_ptr<SettingsKey> key = store.Open();
};

TEST_F(SettingValuesTest, ReadsStringsByTheStringRules) {
  const std::string huge(1 << 20, 'x');
  const std::vector<std::pair<StoredValue, std::string>> cases = {
      {{ValueType::String, Bytes(std::string_view("C:\\a.png\0", 9))}, "C:\\a.png"},
      {{ValueType::ExpandString, Bytes(std::string_view("%WINDIR%\0", 9))}, "%WINDIR%"},
      {{ValueType::String, Bytes(std::string_view("ab\0cd\0", 6))}, "ab"},
      {{ValueType::String, Bytes("no terminator")}, "no terminator"},
      {{ValueType::Dword, {}}, ""},  // size 0 is empty whatever the type
      {{ValueType::String, Bytes(huge)}, huge},
  };
  for (const auto& [stored, text] : cases) {
    store.Values["BackPic"] = stored;
    EXPECT_EQ(ReadString(*key, "BackPic"), text);
  }
  EXPECT_EQ(ReadString(*key, "Driver"), "");
}

TEST_F(SettingValuesTest, ReadsOnlyFourByteDwordsAsIntegers) {
  store.Put("BallsCount", ValueType::Dword, {0x78, 0x56, 0x34, 0x12});
  EXPECT_EQ(ReadInteger(*key, "BallsCount"), 0x12345678);
  const std::vector<StoredValue> wrong = {
      {ValueType::String, Bytes(std::string_view("5\0", 2))},
      {ValueType::Binary, {5, 0, 0, 0}},
      {ValueType::DwordBigEndian, {0, 0, 0, 5}},
      {ValueType::Qword, {5, 0, 0, 0, 0, 0, 0, 0}},
      {ValueType::Dword, {5, 0}},
      {ValueType::Dword, {}},
  };
  for (const StoredValue& value : wrong) {
    store.Values["BallsCount"] = value;
    EXPECT_EQ(RegistryErrorOf([&] { ReadInteger(*key, "BallsCount"); }),
              "Invalid data type for 'BallsCount'")
        << static_cast<int>(value.Type) << ", " << value.Data.size() << " bytes";
  }
}

TEST_F(SettingValuesTest, WritesTheEncodingsTheReadersAccept) {
  WriteString(*key, "BackPic", "C:\\a b.png");
  WriteInteger(*key, "BallsCount", -2);
  WriteBool(*key, "ShowShadow", true);
  WriteBool(*key, "SoundOpen", false);
  EXPECT_EQ(store.Values["BackPic"].Type, ValueType::String);
  EXPECT_EQ(store.Values["BackPic"].Data, Bytes(std::string_view("C:\\a b.png\0", 11)));
  EXPECT_EQ(store.Values["BallsCount"].Type, ValueType::Dword);
  EXPECT_EQ(store.Values["BallsCount"].Data, (std::vector<uint8_t>{0xFE, 0xFF, 0xFF, 0xFF}));
  EXPECT_EQ(store.Values["ShowShadow"].Data, (std::vector<uint8_t>{1, 0, 0, 0}));
  EXPECT_EQ(store.Values["SoundOpen"].Data, (std::vector<uint8_t>{0, 0, 0, 0}));
  for (int32_t value : {INT32_MIN, INT32_MAX}) {
    WriteInteger(*key, "BallSize", value);
    EXPECT_EQ(ReadInteger(*key, "BallSize"), value);
  }
}

TEST_F(SettingValuesTest, NamesTheValueOrKeyThatFailed) {
  store.FailingWrites = {"BackType"};
  EXPECT_EQ(RegistryErrorOf([&] { WriteInteger(*key, "BackType", 3); }),
            "Failed to set data for 'BackType'");
  store.Put("BallPic", ValueType::String, std::vector<uint8_t>(kMaxValueBytes + 1, 'x'));
  EXPECT_EQ(RegistryErrorOf([&] { ReadString(*key, "BallPic"); }),
            "Failed to get data for 'BallPic'");
  MemorySettingsStore unavailable;
  unavailable.KeyUnavailable = true;
  EXPECT_EQ(RegistryErrorOf([&] { OpenForWriting(unavailable); }),
            "Failed to create key software\\Vesperine");
}

TEST(OpenForWriting, CreatesTheKeyWhenItIsMissing) {
  MemorySettingsStore store;
  WriteBool(*OpenForWriting(store), "SoundOpen", true);
  EXPECT_TRUE(store.KeyExists);
  EXPECT_TRUE(store.Values.contains("soundopen"));  // names compare without case
}

}  // namespace
