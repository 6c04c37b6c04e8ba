#pragma once
// The two key texts of the data files. Files written with them can only be
// read with the same texts: they are constants of the build.

#include <string_view>

namespace tessel {

// ".OPF" files.
inline constexpr std::string_view firstKeyText = "Parchemin7Ocre31";
// Every other encrypted extension, the workspace ".TSF" included.
inline constexpr std::string_view secondKeyText = "Sablier2002Tessel84";

} // namespace tessel
