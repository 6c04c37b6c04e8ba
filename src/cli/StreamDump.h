#pragma once
// Text form of a knowledge-base stream: one line per triple, tab-separated.

#include "foundation/MemoryStream.h"

#include <cstdint>
#include <unordered_map>

#include <ostream>
#include <string>
#include <string_view>

namespace tessel {
class MEntite;
}

namespace tessel::cli {

// An engine name for a terminal: UTF-8, with backslash, tab, CR, LF, zero
// and the other control bytes (and the five bytes Windows-1252 leaves
// undefined) escaped.
std::string printableName(std::string_view name);

// An entity as dump prints it: its printable name, a picture symbol followed
// by " [WxH]", an anonymous entity as "~" + its record index ("~" alone when
// it is not written).
std::string entityText(const MEntite* e, const std::unordered_map<const MEntite*, std::int32_t>& indexes);

// Prints every triple of `stream` (as written by ecrire) in stream order:
// anonymous entities as "~" + record index, pictures as name + " [WxH]".
void dumpStream(MemoryStream stream, std::ostream& out);

} // namespace tessel::cli
