#include "foundation/F_erreur.h"

#include "foundation/UserPrompts.h"

#include <cstdint>

namespace tessel {

void ShowError(const std::string& text) { prompts().showError(text); }

std::string UpperAsciiText(std::string_view text) {
  std::string result(text);
  for (char& c : result) c = UpperAscii(c);
  return result;
}

bool SameText(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (UpperAscii(a[i]) != UpperAscii(b[i])) return false;
  return true;
}

bool TextInList(std::string_view text, const std::vector<std::string>& list) {
  for (const std::string& item : list)
    if (SameText(text, item)) return true;
  return false;
}

std::size_t AsciiCaseHash::operator()(std::string_view text) const {
  // Folded bytes gathered eight at a time, each word mixed with one multiply:
  // cheap on the long runs of names a big base interns.
  constexpr std::uint64_t k = 0x9E3779B97F4A7C15ull;
  std::uint64_t h = text.size() * k;
  std::uint64_t word = 0;
  int filled = 0;
  for (char c : text) {
    word = (word << 8) | static_cast<unsigned char>(UpperAscii(c));
    if (++filled == 8) {
      h = (h ^ word) * k;
      h ^= h >> 29;
      word = 0;
      filled = 0;
    }
  }
  h = (h ^ word) * k;
  h ^= h >> 32;
  return static_cast<std::size_t>(h);
}

bool AsciiCaseLess::operator()(std::string_view a, std::string_view b) const {
  const std::size_t n = a.size() < b.size() ? a.size() : b.size();
  for (std::size_t i = 0; i < n; ++i) {
    const auto ca = static_cast<unsigned char>(UpperAscii(a[i]));
    const auto cb = static_cast<unsigned char>(UpperAscii(b[i]));
    if (ca != cb) return ca < cb;
  }
  return a.size() < b.size();
}

} // namespace tessel
