#include "model/NoteSearch.h"

#include "foundation/Cp1252.h"
#include "foundation/ZEP_Dictionnaire.h"
#include "model/U_class_contenu.h"
#include "model/U_class_occurence.h"

#include <QRegularExpression>

#include <algorithm>
#include <tuple>
#include <unordered_map>

namespace tessel {

QString FoldForSearch(QStringView text) {
  // Compatibility decomposition splits accented letters into a letter and its
  // marks, and spells out ligatures such as "ﬁ"; œ, æ and ß do not decompose.
  const QString decomposed = text.toString().normalized(QString::NormalizationForm_KD);
  QString folded;
  folded.reserve(decomposed.size());
  for (const QChar c : decomposed) {
    switch (c.unicode()) {
    case 0x0152:
    case 0x0153: folded += QLatin1String("oe"); break;
    case 0x00C6:
    case 0x00E6: folded += QLatin1String("ae"); break;
    case 0x00DF: folded += QLatin1String("ss"); break;
    default:
      if (c.category() != QChar::Mark_NonSpacing) folded += c.toCaseFolded();
    }
  }
  return folded;
}

namespace {

// Display texts of the owners met so far: an activity's name is looked up
// among all its entries, and one activity carries many comments.
using OwnerNames = std::unordered_map<const MObject_OCS*, std::string>;

std::vector<NoteUse> usesOf(const Mcontenu& content, OwnerNames& names) {
  std::vector<NoteUse> uses;
  for (MObject_OCS* object : Storage::ReferencingObjects(content.entite(), &Moccurence::Class())) {
    const auto* entry = static_cast<const Moccurence*>(object);
    if (!entry || entry->EntryContent() != &content) continue;
    const MObject_OCS* owner = entry->EntryOwner();
    auto [name, fresh] = names.try_emplace(owner);
    if (fresh && owner) name->second = owner->DisplayText();
    uses.push_back({static_cast<TDateTime>(DayNumber(entry->StartDate())), name->second});
  }
  std::sort(uses.begin(), uses.end(),
            [](const NoteUse& a, const NoteUse& b) { return std::tie(a.day, a.activity) < std::tie(b.day, b.activity); });
  uses.erase(std::unique(uses.begin(), uses.end()), uses.end());
  return uses;
}

} // namespace

std::vector<NoteUse> UsesOf(const Mcontenu& content) {
  OwnerNames names;
  return usesOf(content, names);
}

FoundNote::FoundNote(Mcontenu* content, std::string title, std::vector<NoteUse> uses)
    : title(std::move(title)), uses(std::move(uses)), content_(content), alive_(content->liveness()) {}

void NoteSearch::load() {
  clear();
  const ObjectList contents = Mcontenu::Class().LoadedObjects();
  notes_.reserve(contents.size());
  folded_.reserve(contents.size());
  OwnerNames names;
  for (MObject_OCS* object : contents) {
    auto* content = static_cast<Mcontenu*>(object);
    const FoundNote& note = notes_.emplace_back(content, content->Title(), usesOf(*content, names));
    // A line break between them: no word runs from the title into the text.
    folded_.push_back(FoldForSearch(fromCp1252(note.title + '\n' + DecodeText(content->Texte()))));
  }
}

void NoteSearch::clear() {
  notes_.clear();
  folded_.clear();
}

int NoteSearch::indexOf(const Mcontenu* content) const {
  if (!content) return -1;
  const auto it = std::find_if(notes_.begin(), notes_.end(), [content](const FoundNote& n) { return n.content() == content; });
  return it == notes_.end() ? -1 : static_cast<int>(it - notes_.begin());
}

std::vector<int> NoteSearch::matching(QStringView words) const {
  static const QRegularExpression blanks(QStringLiteral("\\s+"));
  QStringList wanted = words.toString().split(blanks, Qt::SkipEmptyParts);
  for (QString& word : wanted) word = FoldForSearch(word);
  std::vector<int> found;
  for (std::size_t i = 0; i < folded_.size(); ++i) {
    const QString& text = folded_[i];
    if (std::all_of(wanted.begin(), wanted.end(), [&text](const QString& w) { return text.contains(w); }))
      found.push_back(static_cast<int>(i));
  }
  return found;
}

} // namespace tessel
