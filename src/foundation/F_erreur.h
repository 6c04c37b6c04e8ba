#pragma once
// The engine's error window (shown through the user prompts) and the small
// text helpers that fold case for the ASCII letters a-z only.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tessel {

// Shows `text` in the error window; CR LF separates its lines.
void ShowError(const std::string& text);

// a-z become A-Z; every other byte, accented letters included, is unchanged.
constexpr char UpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }

std::string UpperAsciiText(std::string_view text);

// Equality ignoring case for a-z only.
bool SameText(std::string_view a, std::string_view b);

// Whether `text` equals one of `list` ignoring case; scans from the first element.
bool TextInList(std::string_view text, const std::vector<std::string>& list);

// Hash and equality for unordered containers keyed by names ignoring case.
struct AsciiCaseHash {
  std::size_t operator()(std::string_view text) const;
};
struct AsciiCaseEqual {
  bool operator()(std::string_view a, std::string_view b) const { return SameText(a, b); }
};
struct AsciiCaseLess {
  bool operator()(std::string_view a, std::string_view b) const;
};

} // namespace tessel
