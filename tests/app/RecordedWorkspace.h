#pragma once
// What the tests of the period view and the statistics share: a fresh
// document with the default categories, opened as the program opens one, and
// time recorded in it as the timetable records it.

#include "foundation/Cp1252.h"
#include "model/DocumentManager.h"
#include "model/Tadministration_FRAME.h"
#include "model/U_OR_class_categorie.h"
#include "model/U_class_activite_tessel.h"
#include "model/U_class_occurence.h"
#include "widgets/ProgramValues.h"

#include <QDate>
#include <QString>

#include <functional>

namespace tessel::test {

inline DocumentManager& documents() { return DocumentManager::instance(); }

// A new generated document; `initialise` is the work screen's, run as the
// document's after-load step runs it.
inline void openFreshDocument(const std::function<void()>& initialise) {
  Storage::reset();
  documents().reset();
  Tadministration_FRAME::instance().clear();
  SetUpApplicationModel();
  documents().initialiseWorkspace = initialise;
  documents().OpenDocument(QString());
  documents().AfterDocumentLoaded();
}

inline void closeDocument() {
  Storage::reset();
  documents().reset();
  WorkspaceColour = QColor(DefaultWorkspaceColour);
}

inline Mcategorie* categoryNamed(const QString& name) {
  for (MObject_OCS* o : Mcategorie::Class().LoadedObjects())
    if (fromCp1252(static_cast<Mcategorie*>(o)->Name()) == name) return static_cast<Mcategorie*>(o);
  return nullptr;
}

// An entry of hours:minutes for the category's activity on the day.
inline Moccurence* record(const QString& category, const QDate& day, int hours, int minutes) {
  const TDateTime date = EncodeDate(day.year(), day.month(), day.day());
  Moccurence* entry = Moccurence::CreateEntry(date);
  ActivityOfCategory(categoryNamed(category))->AddEntry(entry);
  entry->SetTimeSpent(date, EncodeTime(hours, minutes, 0));
  return entry;
}

} // namespace tessel::test
