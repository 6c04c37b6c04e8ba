#include "ui/Fenetre_restauration.h"

#include "foundation/Cp1252.h"
#include "model/DocumentBackups.h"
#include "model/FileWeekTotal.h"
#include "widgets/IconSet.h"
#include "widgets/UiFonts.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QPromise>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>

namespace tessel {

namespace {

enum Column { DateColumn, SizeColumn, WeekColumn };

QPushButton* makeButton(const char* name, const QString& text, const char* icon) {
  auto* button = new QPushButton(QIcon(IconPath(QLatin1String(icon))), text);
  button->setObjectName(QLatin1String(name));
  return button;
}

} // namespace

TForme_restauration::TForme_restauration(const QString& document, TDateTime monday, QWidget* parent)
    : QDialog(parent),
      Lbl_explication(new QLabel),
      LV_sauvegardes(new QTreeWidget),
      BB_ouvrir(makeButton("BB_ouvrir", QStringLiteral("&Ouvrir"), "action-ok.svg")),
      BB_annuler(makeButton("BB_annuler", QStringLiteral("Annuler"), "action-cancel.svg")) {
  setObjectName(QStringLiteral("TForme_restauration"));
  setWindowTitle(QStringLiteral("Restaurer une version précédente"));
  setWindowIcon(QIcon(IconPath(QStringLiteral("common-file-restore.svg"))));
  setFont(MsSansSerif(8));
  resize(560, 400);

  const QString name = QFileInfo(document).fileName();
  const std::vector<DocumentBackup> backups = DocumentBackups::list(document);
  Lbl_explication->setObjectName(QStringLiteral("Lbl_explication"));
  Lbl_explication->setWordWrap(true);
  Lbl_explication->setText(
      backups.empty()
          ? QStringLiteral("Aucune version précédente de « %1 » n'a encore été gardée : une version est gardée "
                           "chaque fois que le document est enregistré.")
                .arg(name)
          : QStringLiteral("Versions de « %1 » gardées à chaque enregistrement, les plus récentes d'abord. La version "
                           "choisie s'ouvre comme un nouveau document ; « %1 » reste tel qu'il est.")
                .arg(name));

  LV_sauvegardes->setObjectName(QStringLiteral("LV_sauvegardes"));
  LV_sauvegardes->setRootIsDecorated(false);
  LV_sauvegardes->setAlternatingRowColors(true);
  LV_sauvegardes->setSelectionMode(QAbstractItemView::SingleSelection);
  LV_sauvegardes->setHeaderLabels({QStringLiteral("Enregistrée le"), QStringLiteral("Taille"),
                                   QStringLiteral("Total semaine du %1").arg(fromCp1252(DateTextOf(false, monday)))});
  for (int column : {SizeColumn, WeekColumn})
    LV_sauvegardes->headerItem()->setTextAlignment(column, Qt::AlignRight | Qt::AlignVCenter);
  LV_sauvegardes->header()->setStretchLastSection(false);
  LV_sauvegardes->header()->setSectionResizeMode(DateColumn, QHeaderView::Stretch);
  for (int column : {SizeColumn, WeekColumn})
    LV_sauvegardes->header()->setSectionResizeMode(column, QHeaderView::ResizeToContents);
  QStringList paths;
  for (const DocumentBackup& b : backups) {
    auto* item = new QTreeWidgetItem(LV_sauvegardes, {DocumentBackups::dateText(b.saved),
                                                      DocumentBackups::sizeText(b.size), QStringLiteral("…")});
    item->setData(DateColumn, Qt::UserRole, b.path);
    item->setTextAlignment(SizeColumn, Qt::AlignRight | Qt::AlignVCenter);
    item->setTextAlignment(WeekColumn, Qt::AlignRight | Qt::AlignVCenter);
    item->setToolTip(DateColumn, QDir::toNativeSeparators(b.path));
    paths << b.path;
  }
  if (QTreeWidgetItem* first = LV_sauvegardes->topLevelItem(0)) LV_sauvegardes->setCurrentItem(first);

  BB_ouvrir->setDefault(true);
  BB_ouvrir->setEnabled(!backups.empty());
  auto* buttons = new QDialogButtonBox;
  buttons->addButton(BB_ouvrir, QDialogButtonBox::AcceptRole);
  buttons->addButton(BB_annuler, QDialogButtonBox::RejectRole);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(LV_sauvegardes, &QTreeWidget::itemDoubleClicked, this, &QDialog::accept);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Lbl_explication);
  layout->addWidget(LV_sauvegardes, 1);
  layout->addWidget(buttons);

  // The files are read one after the other, away from the window's thread.
  connect(&totals_, &QFutureWatcher<Total>::resultReadyAt, this, &TForme_restauration::showTotal);
  totals_.setFuture(QtConcurrent::run([paths, monday](QPromise<Total>& promise) {
    for (int i = 0; i < paths.size() && !promise.isCanceled(); ++i)
      promise.addResult(Total{i, WeekTotalInFile(paths[i], monday)});
  }));
}

TForme_restauration::~TForme_restauration() {
  totals_.cancel();
  totals_.waitForFinished();
}

void TForme_restauration::showTotal(int index) {
  const auto& [row, total] = totals_.resultAt(index);
  if (QTreeWidgetItem* item = LV_sauvegardes->topLevelItem(row))
    item->setText(WeekColumn, total ? fromCp1252(DurationText(*total)) : QStringLiteral("illisible"));
}

QString TForme_restauration::chosen() const {
  const QTreeWidgetItem* item = LV_sauvegardes->currentItem();
  return result() == Accepted && item ? item->data(DateColumn, Qt::UserRole).toString() : QString();
}

QString TForme_restauration::Choose(QWidget* parent, const QString& document) {
  TForme_restauration window(document, MondayOf(Today()), parent);
  window.exec();
  return window.chosen();
}

} // namespace tessel
