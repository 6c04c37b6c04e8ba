#pragma once
// The window that lists a document's backups (Fichier ▸ Restaurer une
// version précédente...): when each was kept, its size and what it holds for
// the current week, newest first. The week totals are read from the files on
// a worker thread and fill in as they come; the window is usable at once.

#include "foundation/ZEP_Dates.h"

#include <QDialog>
#include <QFutureWatcher>
#include <QString>

#include <optional>
#include <utility>
#include <vector>

class QLabel;
class QPushButton;
class QTreeWidget;

namespace tessel {

class TForme_restauration : public QDialog {
  Q_OBJECT
public:
  // The backups of `document`, with the totals of the week starting on `monday`.
  TForme_restauration(const QString& document, TDateTime monday, QWidget* parent = nullptr);
  ~TForme_restauration() override;

  // The backup chosen with "Ouvrir" (or a double click); empty otherwise.
  QString chosen() const;
  // Runs the window modally; the backup chosen, or empty.
  static QString Choose(QWidget* parent, const QString& document);

  QLabel* const Lbl_explication;
  QTreeWidget* const LV_sauvegardes;
  QPushButton* const BB_ouvrir;
  QPushButton* const BB_annuler;

private:
  using Total = std::pair<int, std::optional<TDateTime>>; // row, total (none: unreadable)
  void showTotal(int index);
  QFutureWatcher<Total> totals_;
};

} // namespace tessel
