// An ordered list of strings with the comma-text form the picture list is stored in.
#pragma once

#include <string>
#include <string_view>
#include <vector>

class TStringList {
 public:
  std::vector<std::string> Items;

  // Replaces the items by those read from text (the list is cleared first). A NUL
  // ends the text, as it ends a string read from the registry.
  void SetCommaText(std::string_view text);
  // The items joined by commas; items that a reader would split or trim are quoted.
  std::string CommaText() const;

  int Count() const { return static_cast<int>(Items.size()); }
};

// Removes leading and trailing characters of code 32 or below.
std::string Trim(std::string_view text);
