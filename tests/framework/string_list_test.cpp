#include "framework/string_list.h"

#include <gtest/gtest.h>

#include <random>

namespace {

using Items = std::vector<std::string>;

std::string CommaTextOf(const Items& items) {
  TStringList list;
  list.Items = items;
  return list.CommaText();
}

Items ItemsOf(std::string_view text) {
  TStringList list;
  list.Items = {"left over"};
  list.SetCommaText(text);
  return list.Items;
}

TEST(CommaText, WritesItemsJoinedByCommasQuotingOnlyThoseThatNeedIt) {
  const std::vector<std::pair<Items, std::string>> cases = {
      {{}, ""},
      {{""}, "\"\""},
      {{"C:\\a.png", "b.jpg"}, "C:\\a.png,b.jpg"},
      {{"C:\\My Pictures\\a.png"}, "\"C:\\My Pictures\\a.png\""},
      {{"a,b", "a\tb", "a\x01"}, "\"a,b\",\"a\tb\",\"a\x01\""},
      {{"say \"hi\""}, "\"say \"\"hi\"\"\""},
      {{"caf\xE9", "x\x7F"}, "caf\xE9,x\x7F"},
      {{"a", ""}, "a,"},
      {{"", ""}, ","},
  };
  for (const auto& [items, text] : cases) EXPECT_EQ(CommaTextOf(items), text);
}

TEST(CommaText, ReadsItemsSplitAtCommasOrBlanks) {
  const std::vector<std::pair<std::string_view, Items>> cases = {
      {"", {}},
      {" \t\r\n", {}},
      {"a.png,b.png", {"a.png", "b.png"}},
      {"a.png b.png", {"a.png", "b.png"}},
      {"  a , \r\n b  ", {"a", "b"}},
      {"a.png,", {"a.png", ""}},
      {"a.png, ", {"a.png"}},  // the comma is not the last character
      {"a,,b", {"a", "", "b"}},
      {",", {"", ""}},
      {"\"\"", {""}},
      {"\"C:\\My Pictures\\a, b.png\",c", {"C:\\My Pictures\\a, b.png", "c"}},
      {"\"say \"\"hi\"\"\"", {"say \"hi\""}},
      {"\"a b\"c", {"a b", "c"}},
      {"caf\xE9 \xA0x", {"caf\xE9", "\xA0x"}},
  };
  for (const auto& [text, items] : cases) EXPECT_EQ(ItemsOf(text), items) << text;
}

TEST(CommaText, ReadsAnUnclosedQuoteToTheEndAndStopsAtANul) {
  EXPECT_EQ(ItemsOf("a,\"b, c"), (Items{"a", "b, c"}));
  EXPECT_EQ(ItemsOf("\"b\"\""), Items{"b\""});
  EXPECT_EQ(ItemsOf(std::string_view("a,b\0c,d", 7)), (Items{"a", "b"}));
}

// Random lists of the characters the rules treat specially catch any writing rule
// and reading rule that disagree.
TEST(CommaText, ReadsBackEveryListItWrites) {
  const std::string alphabet = "ab ,\"\t\x01\x1F\x7F\xE9\xFF";
  std::mt19937 random(20240601);
  for (int trial = 0; trial < 2000; ++trial) {
    Items items(random() % 5);
    for (std::string& item : items) {
      item.resize(random() % 6);
      for (char& c : item) c = alphabet[random() % alphabet.size()];
    }
    const std::string text = CommaTextOf(items);
    ASSERT_EQ(ItemsOf(text), items) << "text: [" << text << "]";
  }
}

TEST(Trim, RemovesCodes32AndBelowFromBothEndsOnly) {
  EXPECT_EQ(Trim("  \t C:\\My Pictures\\a.png \r\n"), "C:\\My Pictures\\a.png");
  EXPECT_EQ(Trim(std::string_view("\0 x\0", 4)), "x");
  EXPECT_EQ(Trim(" \t "), "");
  EXPECT_EQ(Trim("\xA0x\xA0"), "\xA0x\xA0");
}

}  // namespace
