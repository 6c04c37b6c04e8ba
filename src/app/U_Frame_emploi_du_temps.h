#pragma once
// The weekly timetable, the program's main screen: one week as a grid with a
// row per activity and a column per day, where the user types the time spent
// in hours and minutes. Under the grid the total of each day and of the week,
// at its right the total of each row; on the left the category tree that rows
// are added from; below, the note of the current cell. Every change goes at
// once into the object base through WeekTimetable and marks the document
// modified; saving is the document manager's business.

#include "app/TimetableCell.h"
#include "app/WorkScreen.h"
#include "foundation/ZEP_Dates.h"
#include "engine/ZEP_Entite.h"
#include "model/RunningTimer.h"
#include "model/WeekTimetable.h"

#include <QColor>
#include <QString>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QDateEdit;
class QLabel;
class QLineEdit;
class QMenu;
class QScrollArea;
class QSplitter;
class QPushButton;
class QTimer;
class QToolButton;

namespace tessel {

class MObject_OCS;
class QuarterHourMenu;
class TFrame_obj_rec;
class TFrame_visu_OAOR;
class TimetableRowLabel;

class TFrame_emploi_du_temps : public WorkScreen {
  Q_OBJECT
public:
  explicit TFrame_emploi_du_temps(QWidget* parent = nullptr);
  ~TFrame_emploi_du_temps() override;

  // After every document load: the document reads as not modified, the date
  // picker shows today, the category tree and the note viewer start afresh,
  // and today's week is loaded.
  void initialise() override;
  // Before the document closes: drops the rows and cells, which refer to its
  // objects (the tree and the note viewer let go of theirs themselves).
  void finalise() override;
  // Lays the grid out again (after a colour change and on RefreshWorkScreens).
  void refresh() override;
  // Around an undo or a redo: the rows shown and the cell in use are noted,
  // then the week is shown again from the base with them.
  void documentAboutToRestore() override;
  void documentRestored() override;

  // Loads the week of the date picker again (after the administration window
  // closed). A time still being typed is committed first; when it is refused
  // the week stays as it is.
  void loadWeek();
  // Commits the cell whose text the user changed and has not left yet. False
  // when the text is refused (the message is shown and the focus goes back to
  // the cell). The document manager runs it before saving and before its save
  // question.
  bool commitPendingEdit();

  bool leftPanelVisible() const;

  // What the screen shows, for the main window and for tests.
  const WeekTimetable& week() const { return week_; }
  QString weekTitle() const;
  int rowCount() const { return int(rows_.size()); }
  QLineEdit* cell(int row, int day) const;
  QWidget* rowLabel(int row) const;
  QLabel* dayHeading(int day) const { return headings_.at(std::size_t(day)); }
  // The totals: a day's total is empty while the week has no row; black,
  // yellow from 8 hours, red from 24.
  QString rowTotalText(int row) const;
  QString dayTotalText(int day) const;
  QColor dayTotalColour(int day) const;
  QString weekTotalText() const;
  // A row's activity: its category's colour (white without one) and name.
  QColor rowColour(int row) const;
  QString rowName(int row) const;
  TFrame_obj_rec* taxonomyTree() const { return tree_; }
  TFrame_visu_OAOR* noteViewer() const { return viewer_; }
  QMenu* quarterHourMenu() const;
  QMenu* rowMenu() const { return PM_ligne; }
  // Whether the shown week is validated, and whether it holds any time.
  bool weekValidated() const { return week_.validated(); }
  bool weekHasEntries() const;
  // The row of the running timer's category in the shown week (-1 when no
  // timer runs for this document or its row is not shown), and its elapsed
  // time ("1:05:12"); the caption the main window adds to its own.
  int timerRow() const;
  QString timerElapsedText() const;
  QString timerCaption() const;
  // The timer the screen drives (the user's settings and the system clock
  // unless a test gives another).
  RunningTimer& timer() { return *timer_; }
  void useTimer(std::unique_ptr<RunningTimer> timer);

  QSplitter* const Splitter_gauche;
  QWidget* const Panel_gauche_activite;
  QLabel* const Lbl_activites;
  QToolButton* const SB_portail;
  QWidget* const Panel_entete;
  QDateEdit* const DTP_jour;
  QToolButton* const SB_semaine_precedente;
  QToolButton* const SB_semaine_suivante;
  QToolButton* const SB_commentaires;
  QSplitter* const Splitter_note;
  QScrollArea* const ScrollBox_grille;
  QWidget* const Panel_grille;
  QWidget* const Panel_hebdo_barre;
  QWidget* const Panel_somme_journaliere;
  QWidget* const Panel_note;
  QWidget* const Panel_informations;
  QToolButton* const SB_reprendre;
  QToolButton* const SB_valider;
  // Over an empty week, in the middle of the grid.
  QPushButton* const BT_reprendre;
  QuarterHourMenu* const PM_quart_heure;
  QMenu* const PM_ligne;
  QMenu* const PM_grille;
  QAction* const Act_reprendre;   // "Reprendre les activités de la semaine précédente"
  QAction* const Act_valider;     // "Valider la semaine..."
  QAction* const Act_rouvrir;     // "Rouvrir la semaine..."
  QAction* const Act_chronometre; // the row menu's "Démarrer/Arrêter le chronomètre"

public slots:
  // The small "Portail..." button and the main window's "Portail..." action.
  void toggleLeftPanel();
  void setLeftPanelVisible(bool visible);

  // The row menu's timer command on that row: starts its timer, or stops it
  // when it runs (its time goes into today's cell).
  void toggleTimer(int row);
  // Once a second while the timer runs: the timer read again, the row's
  // label and the caption.
  void timerTick();

signals:
  // The main window's "Portail..." action follows it.
  void leftPanelVisibilityChanged(bool visible);
  // The running timer's caption changed (empty once it stops).
  void timerCaptionChanged(const QString& caption);

protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  using Cell = TimetableCell;
  struct Row {
    TimetableRowLabel* label = nullptr;
    std::array<Cell*, WeekTimetable::days> cells{};
  };

  void buildHeader();
  void buildLeftPanel();
  void buildGridArea();
  void buildNotePanel();
  void buildMenus();
  void placeHeaderButtons();

  // Shows the week containing `day`, its rows and cells made afresh.
  void showWeekOf(TDateTime day);
  void destroyRows();
  // Label and cells for every model row that has none yet.
  void createMissingRows();
  void fillValues();
  void showValue(Cell& cell);
  void layOut();
  void layOutOnce();
  void repaintTotals();

  bool commitCell(Cell& cell);
  void refuse(Cell& cell, const std::string& message);
  void cellEntered(Cell& cell);
  void cellLeft(Cell& cell);
  void userEdited();
  void moveFocus(const Cell& from, Cell::Move move);
  Cell* pendingCell() const;
  // A command of the screen, run through RunReported; when it fails, the
  // week is shown again as the base holds it.
  void command(const std::function<void()>& run);

  void dateChanged();
  void stepWeek(int days);
  void treeDoubleClicked();
  bool acceptsDrop(const QObject* source) const;
  void dropped();
  void rowsAdded(bool added);
  void showRowMenu(int row, const QPoint& globalPos);
  void removeRow(int row);
  void editRowCategory(int row);
  void categoryChanged(MObject_OCS* object);
  // Before the tree deletes a category: its rows (which hold no time) go.
  void categoryGoing(MObject_OCS* object);
  void showNotePanel(bool visible);
  void takePreviousWeek();
  // After a confirmation; a week without time has nothing to validate.
  void setWeekValidated(bool validated);
  void stopTimer();
  // The timer's state shown: its row's label, the caption, the tick.
  void followTimer();
  // The header band's buttons and the menus follow the week's state.
  void followWeekState();
  // The week loaded again from the base with the rows shown now, after a
  // change made to the base beside the grid.
  void reshowWeek();
  QString documentPath() const;
  void openAbout();
  // "Réunion, mardi 8"
  QString cellPlace(int row, int day) const;

  QString rowDescription(int row) const;
  QString noteHint(int row, int day) const;
  int rowTop(int row) const;

  TFrame_obj_rec* const tree_;
  TFrame_visu_OAOR* const viewer_;
  WeekTimetable week_;
  TDateTime shownDay_ = 0;
  std::vector<Row> rows_;
  std::array<QLabel*, WeekTimetable::days> headings_{};
  int labelWidth_ = 0; // L of the lay-out
  int dayWidth_ = 0;   // D of the lay-out
  int menuRow_ = -1;    // the row whose label was right-clicked
  std::unique_ptr<RunningTimer> timer_;
  std::optional<TimerRun> shownRun_; // the timer of this document, as last read
  QTimer* const tick_;
  // What the screen shows beside the document, noted around each edit.
  // Rows are kept by their activities' entities: an undone activity made
  // again by a redo is another object over the same entity.
  struct View {
    TDateTime day = 0;
    std::vector<EntityRef> rows;
  };
  std::shared_ptr<const View> view() const;
  std::shared_ptr<const View> shownBeforeRestore_;
  EntityRef focusedRow_;
  int focusedDay_ = -1;
  bool committing_ = false;
  bool layingOut_ = false;
  bool layOutAgain_ = false;
  bool quiet_ = false;  // while cells are destroyed: no commit, no focus handling
};

} // namespace tessel
