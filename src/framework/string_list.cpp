#include "framework/string_list.h"

#include <algorithm>

namespace {

constexpr char kDelimiter = ',';
constexpr char kQuote = '"';

// Codes compare as unsigned: ANSI characters above 127 are ordinary text.
unsigned Code(char c) {
  return static_cast<unsigned char>(c);
}

bool IsBlank(char c) {
  return Code(c) >= 1 && Code(c) <= 32;
}

bool NeedsQuotes(std::string_view item) {
  return std::any_of(item.begin(), item.end(), [](char c) {
    return c == ' ' || (Code(c) >= 1 && Code(c) <= 31) || c == kDelimiter || c == kQuote;
  });
}

std::string Quoted(std::string_view item) {
  std::string result(1, kQuote);
  for (char c : item) {
    result += c;
    if (c == kQuote) result += kQuote;
  }
  result += kQuote;
  return result;
}

// Walks a comma text; pos always moves forward, so every loop ends.
class CommaTextReader {
 public:
  explicit CommaTextReader(std::string_view text) : text_(text.substr(0, text.find('\0'))) {}

  void ReadInto(std::vector<std::string>& items) {
    SkipBlanks();
    while (!AtEnd()) {
      items.push_back(Peek() == kQuote ? QuotedItem() : PlainItem());
      SkipBlanks();
      if (!AtEnd() && Peek() == kDelimiter) {
        ++pos_;
        if (AtEnd()) items.emplace_back();
        SkipBlanks();
      }
    }
  }

 private:
  bool AtEnd() const { return pos_ >= text_.size(); }
  char Peek() const { return text_[pos_]; }

  void SkipBlanks() {
    while (!AtEnd() && IsBlank(Peek())) ++pos_;
  }

  // Runs to the matching quote; "" inside stands for one quote. An item whose
  // closing quote is missing takes the rest of the text.
  std::string QuotedItem() {
    std::string item;
    ++pos_;
    while (!AtEnd()) {
      char c = text_[pos_++];
      if (c != kQuote) {
        item += c;
      } else if (!AtEnd() && Peek() == kQuote) {
        item += kQuote;
        ++pos_;
      } else {
        break;
      }
    }
    return item;
  }

  std::string PlainItem() {
    size_t start = pos_;
    while (!AtEnd() && Code(Peek()) > 32 && Peek() != kDelimiter) ++pos_;
    return std::string(text_.substr(start, pos_ - start));
  }

  std::string_view text_;
  size_t pos_ = 0;
};

}  // namespace

void TStringList::SetCommaText(std::string_view text) {
  Items.clear();
  CommaTextReader(text).ReadInto(Items);
}

std::string TStringList::CommaText() const {
  if (Items.size() == 1 && Items.front().empty()) return std::string(2, kQuote);
  std::string result;
  for (size_t i = 0; i < Items.size(); ++i) {
    if (i > 0) result += kDelimiter;
    result += NeedsQuotes(Items[i]) ? Quoted(Items[i]) : Items[i];
  }
  return result;
}

std::string Trim(std::string_view text) {
  auto is_trimmed = [](char c) { return Code(c) <= 32; };
  auto first = std::find_if_not(text.begin(), text.end(), is_trimmed);
  auto last = std::find_if_not(text.rbegin(), text.rend(), is_trimmed).base();
  if (first >= last) return {};
  return std::string(first, last);
}
