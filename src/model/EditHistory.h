#pragma once
// The history of the open document's edits: each user command's changes of
// the base are one step that can be undone and redone exactly, whatever
// screen made them. The base's journal records the triples added and
// removed; a step taken back or done again puts them back in their places,
// the objects follow (made or dropped as loading would), and the screens are
// told to show the document afresh. A QUndoStack keeps the steps and drives
// the "Édition" menu.
//
// Commands (RunReported) open and close steps; the screen that knows what was
// done names it with describe(). Changes made outside any command join the
// last step (or make one of their own when that step is the saved state or
// steps were undone), so the history always matches the base.

#include <QObject>
#include <QString>
#include <QUndoStack>

#include <functional>
#include <map>
#include <memory>

namespace tessel {

class BaseJournal;

class EditHistory : public QObject {
  Q_OBJECT
public:
  static EditHistory& instance();

  // At least this many steps are kept.
  static constexpr int Limit = 200;

  // Recording is for the desktop program; elsewhere (the command-line tool,
  // benchmarks) the history stays off and costs nothing.
  void setEnabled(bool enabled);
  bool enabled() const { return enabled_; }

  // After a document was loaded (after-load step included): an empty
  // history, and recording from now on. Before it closes: no more history.
  void documentLoaded();
  void documentClosing();
  // The document as saved is the current state: undoing back to it clears
  // the modified state.
  void markSaved();

  // One user command; nested commands are part of the outer one.
  void beginCommand();
  void endCommand();
  // The changes since the command began (or since the last describe) are
  // one step, named for the menu: "la saisie de 2:30 (Réunion, mardi 8)"
  // becomes "Annuler la saisie de 2:30 (Réunion, mardi 8)". No change, no
  // step. Changes the command makes afterwards join that step.
  void describe(const QString& caption);
  // The same for a command that may change only what the screens show (rows
  // added for activities the document holds already): a step even without
  // changes, undone and redone by showing the views noted around it.
  void describeView(const QString& caption);

  bool canUndo() const;
  bool canRedo() const;
  // "Annuler …" and "Rétablir …" with the step's name; "Annuler" and
  // "Rétablir" alone when there is nothing to take back or do again.
  QString undoText() const;
  QString redoText() const;
  // The edit still being typed is committed first (it becomes the last
  // step); when it is refused, nothing is undone or redone.
  void undo();
  void redo();
  // Set by the screen where edits are typed: commits the one under way,
  // answers false when it is refused.
  std::function<bool()> commitPendingEdit;
  int count() const { return stack_.count(); }

  // What a screen shows that is not in the document (the rows of a
  // timetable, the week shown) is noted around each step: `noter` is asked
  // when a command begins and when its step is made, while `screen` lives.
  // While restored() is emitted, restoredView() gives the screen what it
  // showed before the step undone, or after the step redone (null when it
  // noted nothing then).
  using ViewNote = std::shared_ptr<const void>;
  void setViewNoter(QObject* screen, std::function<ViewNote()> noter);
  ViewNote restoredView(const QObject* screen) const;
  const QUndoStack& stack() const { return stack_; }

  // For tests: off, and empty.
  void reset();

Q_SIGNALS:
  // Around an undo or a redo: before, a screen notes what it shows; after,
  // the objects match the base again and every screen shows it afresh.
  void aboutToRestore();
  void restored();
  // The menu's texts and states may have changed.
  void changed();

private:
  EditHistory();
  ~EditHistory() override;
  class Step;
  void flushOutsideCommand();
  void push(const QString& caption, bool evenWithoutChanges = false);
  Step* top() const;
  void restore(bool forward);
  void followCleanState();

  QUndoStack stack_;
  std::unique_ptr<BaseJournal> journal_;
  bool enabled_ = false;
  int depth_ = 0;
  Step* describedInCommand_ = nullptr; // the last step describe() made in the current command
  using Views = std::map<const QObject*, ViewNote>;
  Views noteViews() const;
  std::map<const QObject*, std::function<ViewNote()>> noters_;
  Views viewBefore_;   // at the start of the current command, or after its last step
  Views restoredViews_;
};

// The caption of a change without a name of its own.
QString DefaultEditCaption();

} // namespace tessel
