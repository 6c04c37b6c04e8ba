#include "foundation/F_erreur.h"

#include "foundation/UserPrompts.h"

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
  // FNV-1a over the folded bytes
  std::size_t h = 14695981039346656037ull;
  for (char c : text) {
    h ^= static_cast<unsigned char>(UpperAscii(c));
    h *= 1099511628211ull;
  }
  return h;
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
