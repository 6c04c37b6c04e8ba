#include "model/FileWeekTotal.h"

#include "foundation/Errors.h"
#include "foundation/F_erreur.h"
#include "foundation/MemoryStream.h"
#include "foundation/ZEP_Version.h"

#include <cmath>
#include <cstring>
#include <map>
#include <unordered_map>
#include <vector>

namespace tessel {

namespace {

constexpr std::int32_t symbolSectionEnd = -1;
constexpr std::int32_t tripleSectionEnd = -2;

// The classes the program loads, and the old name of categories.
const char* const loadedClasses[] = {"Mcontenu", "Mutilisateur_tessel", "TSociete", "Mactivite_tessel",
                                     "Mcategorie", "Moccurence", "TMOOR_individu"};

struct Triple {
  std::int32_t s, r, v;
};

// What the stream says of one entity.
struct Entity {
  std::int32_t classValue = -1;  // first class triple's value
  std::int32_t secondClass = -1; // second one (resources name their class there)
  std::size_t entryClassAt = 0;  // place of its "sys_Moccurence" class triple: the order it is loaded in
  bool isEntry = false;
  std::int32_t start = -1, end = -1, category = -1; // values of its first such attributes
};

bool isPicture(std::string_view name) { return name.size() >= 5 && SameText(name.substr(0, 5), "[bmp]"); }

} // namespace

std::optional<TDateTime> WeekTotalInStream(std::string_view bytes, TDateTime monday) {
  MemoryStream stream{std::string(bytes)};
  std::vector<std::string_view> names; // empty for anonymous entities
  std::vector<Triple> triples;
  try {
    for (std::int32_t marker = stream.readInt32(); marker != symbolSectionEnd; marker = stream.readInt32()) {
      const std::int32_t length = stream.readInt32();
      if (length <= 1 || static_cast<std::size_t>(length) > stream.remaining()) return std::nullopt;
      const std::size_t at = stream.position();
      const std::string_view name(stream.bytes().data() + at, static_cast<std::size_t>(length - 1));
      stream.seek(at + static_cast<std::size_t>(length));
      if (name.front() != '~' && isPicture(name)) {
        const std::int32_t size = stream.readInt32();
        if (size < 0 || static_cast<std::size_t>(size) > stream.remaining()) return std::nullopt;
        stream.seek(stream.position() + static_cast<std::size_t>(size));
      }
      names.push_back(name.front() == '~' ? std::string_view() : name);
    }
    const auto count = static_cast<std::int32_t>(names.size());
    for (std::int32_t s = stream.readInt32(); s != tripleSectionEnd; s = stream.readInt32()) {
      const std::int32_t r = stream.readInt32();
      const std::int32_t v = stream.readInt32();
      if (s < 0 || r < 0 || v < 0 || s >= count || r >= count || v >= count) return std::nullopt;
      triples.push_back({s, r, v});
    }
  } catch (const StreamReadError&) {
    return std::nullopt;
  }
  // Names as the base compares them (records of one name are one symbol).
  auto named = [&names](std::int32_t i, std::string_view name) { return SameText(names[std::size_t(i)], name); };

  std::vector<Entity> entities(names.size());
  for (std::size_t at = 0; at < triples.size(); ++at) {
    const auto [s, r, v] = triples[at];
    Entity& e = entities[std::size_t(s)];
    if (named(r, "sys_ID_classe")) {
      if (e.classValue < 0)
        e.classValue = v;
      else if (e.secondClass < 0)
        e.secondClass = v;
      if (!e.isEntry && named(v, "sys_Moccurence")) {
        e.isEntry = true;
        e.entryClassAt = at;
      }
    } else if (e.start < 0 && named(r, "sys_nom_attribut_date_de_debut")) {
      e.start = v;
    } else if (e.end < 0 && named(r, "sys_nom_attribut_date_de_fin")) {
      e.end = v;
    } else if (e.category < 0 && named(r, "sys_nom_attribut_activite")) {
      e.category = v;
    }
  }
  // The class an object is loaded under, as the object layer reads it.
  auto loadedClass = [&](std::int32_t i) -> std::string_view {
    const Entity& e = entities[std::size_t(i)];
    std::int32_t cls = e.classValue;
    if (cls >= 0 && (named(cls, "sys_Mtache") || named(cls, "sys_Mressource"))) cls = e.secondClass;
    if (cls < 0) return {};
    const std::string_view name = names[std::size_t(cls)];
    return name.size() > 4 ? name.substr(4) : std::string_view();
  };
  auto isLoaded = [&](std::int32_t i) {
    const std::string_view cls = loadedClass(i);
    for (const char* loaded : loadedClasses)
      if (SameText(cls, loaded)) return true;
    return false;
  };
  auto date = [&](std::int32_t value) -> std::optional<TDateTime> {
    if (value < 0) return TDateTime(0);
    try {
      return TextToDate(names[std::size_t(value)]);
    } catch (const ConvertError&) {
      return std::nullopt; // read as the present moment: in no past week
    }
  };

  // The entries of the week, each with the object that lists it first.
  const int first = static_cast<int>(std::trunc(monday));
  std::unordered_map<std::int32_t, std::int32_t> owners; // entry -> owner (-1: none yet)
  for (std::size_t i = 0; i < entities.size(); ++i) {
    const Entity& e = entities[i];
    if (!e.isEntry) continue;
    const std::optional<TDateTime> start = date(e.start);
    if (!start) continue;
    const int day = static_cast<int>(std::trunc(*start));
    if (day >= first && day < first + 7) owners[std::int32_t(i)] = -1;
  }
  for (const Triple& t : triples) {
    auto owner = owners.find(t.v);
    if (owner != owners.end() && owner->second < 0 && entities[std::size_t(t.s)].classValue >= 0)
      owner->second = isLoaded(t.s) ? t.s : -2; // an object not loaded: no row shows the entry
  }
  // A cell per owner and day shows the entry loaded last; old entries go to
  // the activity of their category.
  struct Cell {
    std::size_t order;
    TDateTime time;
  };
  std::map<std::pair<std::int64_t, int>, Cell> cells;
  for (const auto& [entry, owner] : owners) {
    const Entity& e = entities[std::size_t(entry)];
    std::int64_t row = owner;
    if (owner == -1) {
      const std::string_view cls = e.category >= 0 ? loadedClass(e.category) : std::string_view();
      if (!SameText(cls, "Mcategorie") && !SameText(cls, "Mactivite")) continue;
      row = std::int64_t(names.size()) + e.category;
    }
    if (owner == -2) continue;
    const std::optional<TDateTime> end = date(e.end);
    if (!end) continue;
    const int day = static_cast<int>(std::trunc(*date(e.start)));
    const Cell cell{e.entryClassAt, std::fabs(*end - std::trunc(*end))};
    auto [it, fresh] = cells.try_emplace({row, day}, cell);
    if (!fresh && it->second.order < cell.order) it->second = cell;
  }
  TDateTime total = 0;
  for (const auto& [key, cell] : cells) total += cell.time;
  return total;
}

std::optional<TDateTime> WeekTotalInFile(const QString& path, TDateTime monday) {
  try {
    MemoryStream payload;
    ReadDataFile(path, payload, nullptr, false);
    return WeekTotalInStream(payload.bytes(), monday);
  } catch (...) {
    return std::nullopt;
  }
}

} // namespace tessel
