#include "model/RecoveryCopy.h"

#include "foundation/FileAccess.h"
#include "foundation/ZEP_Version.h"
#include "model/DocumentManager.h"
#include "model/EditHistory.h"
#include "objects/ZEP_Objet_OCS.h"

#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QUuid>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>

namespace tessel {

namespace {

constexpr int PauseMs = 2000;    // without a key or a click
constexpr int LongestWaitMs = 30000;

// Beside each copy: the document's path, then when the copy was taken.
QString infoOf(const QString& copy) { return copy + QStringLiteral(".document"); }

} // namespace

RecoveryCopy& RecoveryCopy::instance() {
  static RecoveryCopy copy;
  return copy;
}

RecoveryCopy::RecoveryCopy() {
  timer_.setInterval(IntervalMs);
  connect(&timer_, &QTimer::timeout, this, &RecoveryCopy::due);
  connect(&EditHistory::instance(), &EditHistory::changed, this, [this] {
    // A history emptied is a document loaded or closing: no edit.
    if (EditHistory::instance().count() == 0) return;
    changed_ = true;
    // Undone back to what is saved: nothing left to recover.
    if (!DocumentManager::instance().DocumentModified() && QFile::exists(path_)) removeOwnCopy();
  });
}

RecoveryCopy::~RecoveryCopy() { waitForCopy(); }

QString RecoveryCopy::folder() {
  return QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)).filePath(QStringLiteral("recovery"));
}

void RecoveryCopy::setEnabled(bool enabled) {
  if (!enabled) documentClosing();
  if (QCoreApplication* app = QCoreApplication::instance(); app && enabled != enabled_) {
    if (enabled)
      app->installEventFilter(this);
    else
      app->removeEventFilter(this);
  }
  enabled_ = enabled;
}

bool RecoveryCopy::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
  case QEvent::KeyPress:
  case QEvent::MouseButtonPress:
  case QEvent::Wheel:
  case QEvent::InputMethod: sinceInput_.start(); break;
  default: break;
  }
  return QObject::eventFilter(watched, event);
}

// Taking the stream holds the interface for a moment: not while the user types.
void RecoveryCopy::due() {
  if (sinceInput_.isValid() && sinceInput_.elapsed() < PauseMs && waited_ < LongestWaitMs) {
    waited_ += PauseMs;
    timer_.start(PauseMs);
    return;
  }
  waited_ = 0;
  timer_.start(IntervalMs);
  copyNow();
}

void RecoveryCopy::documentLoaded() {
  if (!enabled_) return;
  documentClosing();
  QDir().mkpath(folder());
  path_ = QDir(folder()).filePath(QUuid::createUuid().toString(QUuid::WithoutBraces) + QStringLiteral(".TSF"));
  // Held while this run lives: a copy whose lock is free was left by a crash.
  if (lock_.lock(path_) != DocumentLock::Outcome::Taken) {
    path_.clear();
    return;
  }
  changed_ = false;
  if (QCoreApplication::instance()) timer_.start(); // an event loop to run it
}

bool RecoveryCopy::copyNow() {
  if (path_.isEmpty() || !changed_ || !Storage::isOpen() || !DocumentManager::instance().DocumentModified())
    return false;
  if (writing_.isRunning()) return false; // the next tick copies what this one would have
  changed_ = false;
  const QString info = DocumentManager::instance().CurrentFile() + QLatin1Char('\n') +
                       QDateTime::currentDateTime().toString(Qt::ISODate) + QLatin1Char('\n');
  writing_ = QtConcurrent::run([stream = snapshot(), path = path_, info] {
    // Nothing to tell the user from here: the next copy tries again.
    try {
      WriteDataFile(stream, path);
      ReplaceFile(infoOf(path), info.toStdString());
    } catch (...) {
    }
  });
  return true;
}

void RecoveryCopy::waitForCopy() { writing_.waitForFinished(); }

MemoryStream RecoveryCopy::snapshot() { return Storage::base().ecrire(); }

void RecoveryCopy::removeOwnCopy() {
  waitForCopy();
  if (!path_.isEmpty()) remove(path_);
  changed_ = false;
}

void RecoveryCopy::documentSaved() { removeOwnCopy(); }

void RecoveryCopy::documentClosing() {
  removeOwnCopy();
  timer_.stop();
  lock_.unlock();
  path_.clear();
}

void RecoveryCopy::reset() { setEnabled(false); }

void RecoveryCopy::remove(const QString& copy) {
  QFile::remove(copy);
  QFile::remove(infoOf(copy));
}

std::vector<RecoveryCopy::Left> RecoveryCopy::leftByCrashes() {
  std::vector<Left> left;
  for (const QFileInfo& file : QDir(folder()).entryInfoList({QStringLiteral("*.TSF")}, QDir::Files)) {
    if (file.fileName().startsWith(QLatin1Char('.'))) continue;
    DocumentLock lock;
    if (lock.lock(file.absoluteFilePath()) != DocumentLock::Outcome::Taken) continue; // its run goes on
    QFile info(infoOf(file.absoluteFilePath()));
    if (!info.open(QIODevice::ReadOnly)) continue; // the copy was never finished
    const QStringList lines = QString::fromUtf8(info.readAll()).split(QLatin1Char('\n'));
    QDateTime written = lines.size() > 1 ? QDateTime::fromString(lines[1], Qt::ISODate) : QDateTime();
    if (!written.isValid()) written = file.lastModified();
    left.push_back({file.absoluteFilePath(), lines.value(0), written});
  }
  std::sort(left.begin(), left.end(), [](const Left& a, const Left& b) { return a.written > b.written; });
  return left;
}

} // namespace tessel
