#pragma once
// The product identity shown in captions, the introduction window and the CLI.

#include "TesselVersion.h"

#include <string_view>

namespace tessel {

inline constexpr std::string_view ProductName = "Tessel";
inline constexpr std::string_view ProductVersion = build::productVersion;
inline constexpr std::string_view ProductDate = "4 sept. 2002";

// Column of the two-language caption tables: 0 French, 1 English. The
// program never changes it; tests do.
inline int LanguageIndex = 0;

} // namespace tessel
