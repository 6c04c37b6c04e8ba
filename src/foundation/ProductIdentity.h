#pragma once
// The product identity shown in captions, the introduction window and the CLI.

#include <string_view>

namespace tessel {

inline constexpr std::string_view ProductName = "Tessel";
inline constexpr std::string_view ProductVersion = "0.96";
inline constexpr std::string_view ProductDate = "4 sept. 2002";

} // namespace tessel
