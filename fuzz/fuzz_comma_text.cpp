// The comma-text reader. Whatever it reads must survive a write and a second read
// unchanged, and any list of items without a NUL must survive a write and a read.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "framework/string_list.h"
#include "fuzz_check.h"

namespace {

std::vector<std::string> SplitAtNul(std::string_view text) {
  std::vector<std::string> items;
  if (text.empty()) return items;
  size_t start = 0;
  for (size_t end; (end = text.find('\0', start)) != std::string_view::npos; start = end + 1) {
    items.emplace_back(text.substr(start, end - start));
  }
  items.emplace_back(text.substr(start));
  return items;
}

void CheckRoundTrip(const std::vector<std::string>& items) {
  TStringList written;
  written.Items = items;
  const std::string text = written.CommaText();
  TStringList read;
  read.SetCommaText(text);
  FUZZ_CHECK(read.Items == items);
  // The written text is what the dialog stores: it holds no NUL to cut it short.
  FUZZ_CHECK(text.find('\0') == std::string::npos);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);

  TStringList list;
  list.SetCommaText(text);
  for (const std::string& item : list.Items) {
    FUZZ_CHECK(item.find('\0') == std::string::npos);
    FUZZ_CHECK(item.size() <= size);
  }
  // Reading does not depend on what the list held before.
  TStringList reused;
  reused.Items = {"left", "over"};
  reused.SetCommaText(text);
  FUZZ_CHECK(reused.Items == list.Items);

  CheckRoundTrip(list.Items);
  CheckRoundTrip(SplitAtNul(text));
  return 0;
}
