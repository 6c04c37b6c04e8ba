#include "foundation/ZEP_Dictionnaire.h"

#include <array>
#include <utility>

namespace tessel {

namespace {

const std::array<std::pair<std::string_view, std::string_view>, 5> codes = {{
    {std::string_view("\0", 1), "__zero__"},
    {"\r", "__ret__"},
    {"\n", "__ln__"},
    {"\t", "__tab__"},
    {",", "__vir__"},
}};

std::string replaceAll(std::string text, std::string_view from, std::string_view to) {
  std::string result;
  result.reserve(text.size());
  std::size_t start = 0;
  for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, start)) {
    result.append(text, start, at - start);
    result.append(to);
    start = at + from.size();
  }
  result.append(text, start, std::string::npos);
  return result;
}

} // namespace

std::string EncodeText(std::string_view text) {
  std::string result(text);
  for (const auto& [character, code] : codes) result = replaceAll(std::move(result), character, code);
  return result;
}

std::string DecodeText(std::string_view text) {
  std::string result(text);
  for (const auto& [character, code] : codes) result = replaceAll(std::move(result), code, character);
  return result;
}

} // namespace tessel
