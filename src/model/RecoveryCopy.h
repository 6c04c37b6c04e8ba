#pragma once
// The recovery copy of the open document: while it has changes not saved,
// the base is copied every two minutes into the user's data folder
// (recovery/), so that a crash loses at most two minutes of work. Only the
// base's stream is taken on the user-interface thread, at a pause in the
// user's typing (waiting at most half a minute for one); encrypting and
// writing it happen on a worker thread, one copy at a time. Saving, closing
// and a clean exit remove the copy. Each run holds a lock on its copy: a copy
// whose run is gone was left by a crash, and the next start offers it.

#include "foundation/DocumentLock.h"
#include "foundation/MemoryStream.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QFuture>
#include <QObject>
#include <QString>
#include <QTimer>

#include <vector>

namespace tessel {

class RecoveryCopy : public QObject {
  Q_OBJECT
public:
  static RecoveryCopy& instance();
  static constexpr int IntervalMs = 2 * 60 * 1000;

  // The desktop program copies; elsewhere nothing happens.
  void setEnabled(bool enabled);
  bool enabled() const { return enabled_; }

  // Around the document's life: after it is loaded; after it is saved (the
  // copy goes); before it closes (the copy goes, once a write under way ends).
  void documentLoaded();
  void documentSaved();
  void documentClosing();

  // A copy now if the document has changes not yet copied nor saved; answers
  // whether one was started. The timer calls it.
  bool copyNow();
  // Until the copy under way is on disk (or failed).
  void waitForCopy();
  // This run's copy, and whether one is on disk.
  QString copyPath() const { return path_; }

  // The stream a copy holds: what the user-interface thread does (and the
  // benchmark measures).
  static MemoryStream snapshot();

  // Copies left by runs that ended without closing, newest first.
  struct Left {
    QString copy;
    QString document; // the document it is a copy of
    QDateTime written;
  };
  static std::vector<Left> leftByCrashes();
  static void remove(const QString& copy);
  static QString folder();

  // For tests: stopped, no copy.
  void reset();

protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  RecoveryCopy();
  ~RecoveryCopy() override;
  void removeOwnCopy();
  void due();

  QTimer timer_;
  QElapsedTimer sinceInput_; // the user's last key or click
  int waited_ = 0;           // for a pause, in milliseconds
  QFuture<void> writing_;
  DocumentLock lock_;
  QString path_;
  bool enabled_ = false;
  bool changed_ = false; // since the last copy
};

} // namespace tessel
