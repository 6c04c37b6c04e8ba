#pragma once
// A work screen of the workspace (timetable, statistics, period view,
// calendar) as the workspace frame drives it.

#include <QWidget>

#include <functional>

namespace tessel {

class WorkScreen : public QWidget {
  Q_OBJECT
public:
  // The screen follows the document manager's aboutToClose with finalise().
  explicit WorkScreen(QWidget* parent = nullptr);

  // After every document load.
  virtual void initialise() {}
  // Before the document closes (New, Open, the main window going): drop
  // every working list and every reference to its objects.
  virtual void finalise() {}
  // After a change of the workspace colour (layout and colours again).
  virtual void refresh() { update(); }
  // Each time its page is shown.
  virtual void pageShown() {}
  // Around an undo or a redo, which may drop objects and make others: before,
  // the screen notes what it shows (without keeping objects); after, it shows
  // the document afresh. By default a visible screen is rebuilt as when its
  // page is shown.
  virtual void documentAboutToRestore() {}
  virtual void documentRestored();

protected:
  // Runs a command of the screen through RunReported; when it fails, the
  // screen lets go of what it showed (finalise) rather than show half of it.
  void runCommand(const std::function<void()>& command);
};

// Stand-in for a screen still to come: its title on a caption band over the
// workspace colour.
class PlaceholderScreen : public WorkScreen {
  Q_OBJECT
public:
  explicit PlaceholderScreen(const QString& title, QWidget* parent = nullptr);
  const QString& title() const { return title_; }

protected:
  void paintEvent(QPaintEvent* event) override;

private:
  QString title_;
};

} // namespace tessel
