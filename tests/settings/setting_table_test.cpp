// The users' README lists the registry values by hand; it must say what the table says.
#include "settings/setting_table.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <regex>
#include <string>

namespace {

struct ReadmeRow {
  std::string Type;
  std::string Default;
  std::string Meaning;  // its lines joined by blanks
};

// The table follows its header line up to the next empty line: a row starts two blanks
// in, and its meaning goes on in lines indented further.
std::map<std::string, ReadmeRow> ReadmeRows() {
  std::ifstream file(std::string(VESPERINE_SOURCE_DIR) + "/resources/release/README.txt");
  if (!file) ADD_FAILURE() << "no resources/release/README.txt";
  const std::regex header(R"(\s+Value\s+Type\s+Default\s+Meaning\s*)");
  const std::regex row(R"(  (\w+)\s+(\S+)\s+(\S+)\s+(.*))");
  const std::regex more(R"(\s{3,}(.*))");
  std::map<std::string, ReadmeRow> rows;
  std::string line, last;
  bool inTable = false;
  std::smatch match;
  while (std::getline(file, line)) {
    if (!inTable) {
      inTable = std::regex_match(line, header);
    } else if (line.empty()) {
      break;
    } else if (std::regex_match(line, match, row)) {
      last = match[1];
      rows[last] = {match[2], match[3], match[4]};
    } else if (!last.empty() && std::regex_match(line, match, more)) {
      rows[last].Meaning += " " + match[1].str();
    } else {
      ADD_FAILURE() << "not a row of the table: " << line;
    }
  }
  return rows;
}

TEST(SettingTable, IsWhatTheUsersReadmeListsWithTypesDefaultsAndRanges) {
  const std::map<std::string, ReadmeRow> rows = ReadmeRows();
  EXPECT_EQ(rows.size(), SettingTable.size());
  const std::regex anyRange(R"(\b\d+ to \d+\b)");
  for (const SettingDefinition& setting : SettingTable) {
    SCOPED_TRACE(setting.Name);
    const auto found = rows.find(setting.Name);
    ASSERT_NE(found, rows.end());
    const ReadmeRow& row = found->second;
    const bool text = setting.Kind == SettingKind::String;
    EXPECT_EQ(row.Type, text ? "REG_SZ" : "REG_DWORD");
    EXPECT_EQ(row.Default, text ? "(empty)" : std::to_string(setting.Default));
    const std::string range =
        std::to_string(setting.Range.Minimum) + " to " + std::to_string(setting.Range.Maximum);
    if (setting.HasRange) {
      EXPECT_NE(row.Meaning.find(range), std::string::npos) << row.Meaning;
    } else {
      EXPECT_FALSE(std::regex_search(row.Meaning, anyRange)) << row.Meaning;
    }
  }
}

}  // namespace
