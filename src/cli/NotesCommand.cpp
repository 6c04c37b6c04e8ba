// notes: the comments of a data file, as the note search window finds them.

#include "cli/CliSupport.h"

#include "foundation/Cp1252.h"
#include "model/NoteSearch.h"

#include <QDate>
#include <QStringList>

#include <iostream>

namespace tessel::cli {

namespace {

// One line per comment: a tab or a line break in a title would break it.
QString oneLine(std::string_view text) {
  QString line = fromCp1252(text);
  for (QChar& c : line)
    if (c.unicode() < 0x20) c = u' ';
  return line;
}

QString usesText(const std::vector<NoteUse>& uses) {
  QStringList parts;
  for (const NoteUse& use : uses) {
    int y = 0, m = 0, d = 0;
    DecodeDate(use.day, y, m, d);
    QString part = QDate(y, m, d).toString(Qt::ISODate);
    if (!use.activity.empty()) part += u' ' + oneLine(use.activity);
    parts << part;
  }
  return parts.join(QStringLiteral("; "));
}

} // namespace

int notes(const Args& args) {
  if (args.empty()) throw UsageError("notes attend un fichier et des mots facultatifs");
  openWorkspace(args[0], false, forced);
  NoteSearch search;
  search.load();
  const QStringList words(args.begin() + 1, args.end());
  for (int i : search.matching(words.join(u' '))) {
    const FoundNote& note = search.note(i);
    std::cout << (oneLine(note.title) + u'\t' + usesText(note.uses)).toStdString() << '\n';
  }
  return 0;
}

} // namespace tessel::cli
