#include "model/EditHistory.h"

#include "engine/BaseJournal.h"
#include "model/DocumentManager.h"
#include "objects/ZEP_Objet_OCS.h"

#include <QUndoCommand>

#include <utility>

namespace tessel {

QString DefaultEditCaption() { return QStringLiteral("la modification"); }

// One step: the changes it made, already made when it is pushed.
class EditHistory::Step final : public QUndoCommand {
  using Views = EditHistory::Views;
public:
  Step(JournalStep changes, const QString& caption) : changes_(std::move(changes)) { setText(caption); }
  void undo() override { changes_.undo(Storage::base()); }
  void redo() override {
    if (std::exchange(fresh_, false)) return;
    changes_.redo(Storage::base());
  }
  JournalStep& changes() { return changes_; }
  Views before, after;

private:
  JournalStep changes_;
  bool fresh_ = true;
};

EditHistory& EditHistory::instance() {
  static EditHistory history;
  return history;
}

EditHistory::EditHistory() { stack_.setUndoLimit(Limit); }

EditHistory::~EditHistory() = default;

void EditHistory::setEnabled(bool enabled) {
  enabled_ = enabled;
  if (!enabled) documentClosing();
}

void EditHistory::documentLoaded() {
  stack_.clear();
  describedInCommand_ = nullptr;
  viewBefore_.clear();
  journal_.reset();
  if (enabled_ && Storage::isOpen()) journal_ = std::make_unique<BaseJournal>(Storage::base());
  Q_EMIT changed();
}

void EditHistory::documentClosing() {
  stack_.clear();
  describedInCommand_ = nullptr;
  viewBefore_.clear();
  journal_.reset();
  Q_EMIT changed();
}

void EditHistory::reset() {
  setEnabled(false);
  depth_ = 0;
  commitPendingEdit = nullptr;
}

EditHistory::Step* EditHistory::top() const {
  const int index = stack_.index();
  return index > 0 ? static_cast<Step*>(const_cast<QUndoCommand*>(stack_.command(index - 1))) : nullptr;
}

void EditHistory::push(const QString& caption, bool evenWithoutChanges) {
  JournalStep changes = journal_->take();
  if (changes.empty() && !evenWithoutChanges) return;
  auto* step = new Step(std::move(changes), caption);
  step->before = depth_ > 0 ? viewBefore_ : noteViews();
  step->after = noteViews();
  viewBefore_ = step->after;
  // The steps undone so far go: the document took another way.
  stack_.push(step);
  DocumentManager::instance().SetDocumentModified(true);
  Q_EMIT changed();
}

// Changes made outside any command join the last step, unless that step is
// the saved state or steps were undone: they make a step of their own then.
// With no step at all, nothing needs them.
void EditHistory::flushOutsideCommand() {
  if (!journal_ || !journal_->pending()) return;
  if (stack_.count() == 0) {
    journal_->take();
    return;
  }
  Step* last = top();
  if (!last || stack_.canRedo() || stack_.isClean())
    push(DefaultEditCaption());
  else
    last->changes().append(journal_->take());
}

void EditHistory::beginCommand() {
  if (depth_++ > 0) return;
  flushOutsideCommand();
  describedInCommand_ = nullptr;
  viewBefore_ = noteViews();
}

void EditHistory::endCommand() {
  if (depth_ == 0 || --depth_ > 0) return;
  Step* described = std::exchange(describedInCommand_, nullptr);
  if (!journal_ || !journal_->pending()) return;
  // What the command did after naming its step belongs to that step.
  if (described && described == top() && !stack_.canRedo() && !stack_.isClean()) {
    described->changes().append(journal_->take());
    described->after = noteViews();
    return;
  }
  push(DefaultEditCaption());
}

void EditHistory::describe(const QString& caption) {
  if (!journal_ || !journal_->pending()) return;
  push(caption);
  if (depth_ > 0) describedInCommand_ = top();
}

void EditHistory::describeView(const QString& caption) {
  if (!journal_) return;
  push(caption, true);
  if (depth_ > 0) describedInCommand_ = top();
}

void EditHistory::markSaved() {
  if (journal_ && journal_->pending()) {
    if (depth_ > 0)
      push(DefaultEditCaption());
    else
      flushOutsideCommand();
  }
  stack_.setClean();
  Q_EMIT changed();
}

bool EditHistory::canUndo() const { return stack_.canUndo(); }

bool EditHistory::canRedo() const { return stack_.canRedo(); }

QString EditHistory::undoText() const {
  return canUndo() ? QStringLiteral("Annuler ") + stack_.undoText() : QStringLiteral("Annuler");
}

QString EditHistory::redoText() const {
  return canRedo() ? QStringLiteral("Rétablir ") + stack_.redoText() : QStringLiteral("Rétablir");
}

void EditHistory::undo() { restore(false); }

void EditHistory::redo() { restore(true); }

void EditHistory::restore(bool forward) {
  if (!journal_) return;
  // A time still in its cell is an edit of its own, the first to go back;
  // a text refused stays in its cell for the user to mend.
  if (commitPendingEdit && !commitPendingEdit()) return;
  if (journal_->pending()) {
    if (depth_ > 0)
      push(DefaultEditCaption());
    else
      flushOutsideCommand();
  }
  describedInCommand_ = nullptr;
  if (forward ? !stack_.canRedo() : !stack_.canUndo()) return;
  auto* step = static_cast<Step*>(const_cast<QUndoCommand*>(stack_.command(stack_.index() - (forward ? 0 : 1))));
  Q_EMIT aboutToRestore();
  if (forward)
    stack_.redo();
  else
    stack_.undo();
  Storage::Resynchronise(step->changes().subjects());
  followCleanState();
  restoredViews_ = forward ? step->after : step->before;
  Q_EMIT restored();
  restoredViews_.clear();
  // Objects made again, and screens shown again, may repair what they read
  // (a broken date): that is no edit of the user's.
  if (journal_->pending()) journal_->take();
  Q_EMIT changed();
}

void EditHistory::setViewNoter(QObject* screen, std::function<ViewNote()> noter) {
  if (!noters_.count(screen))
    connect(screen, &QObject::destroyed, this, [this, screen] { noters_.erase(screen); });
  noters_[screen] = std::move(noter);
}

EditHistory::Views EditHistory::noteViews() const {
  Views views;
  for (const auto& [screen, noter] : noters_) views[screen] = noter();
  return views;
}

EditHistory::ViewNote EditHistory::restoredView(const QObject* screen) const {
  const auto it = restoredViews_.find(screen);
  return it == restoredViews_.end() ? nullptr : it->second;
}

void EditHistory::followCleanState() { DocumentManager::instance().SetDocumentModified(!stack_.isClean()); }

} // namespace tessel
