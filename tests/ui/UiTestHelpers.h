#pragma once
// Helpers of the widget tests: driving modal windows and writing small
// picture files.

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPointer>
#include <QTimer>
#include <QtTest>

#include <functional>
#include <memory>

namespace tessel::test {

// Runs `act` on the next modal window of type T once it is up; `act` must
// close it. A window still open afterwards fails the test and is hidden so
// that its exec() returns; so is any modal window when none of type T comes
// up within five seconds.
template <typename T>
void onNextModal(std::function<void(T*)> act) {
  auto* poll = new QTimer;
  poll->setInterval(10);
  auto ticks = std::make_shared<int>(0);
  QObject::connect(poll, &QTimer::timeout, [poll, act, ticks] {
    T* modal = qobject_cast<T*>(QApplication::activeModalWidget());
    if (!modal || !modal->isVisible()) {
      if (++*ticks < 500) return;
      poll->stop();
      poll->deleteLater();
      QTest::qFail("the expected modal window did not come up", __FILE__, __LINE__);
      if (QWidget* other = QApplication::activeModalWidget()) other->hide();
      return;
    }
    poll->stop();
    poll->deleteLater();
    const QPointer<T> guard(modal);
    act(modal);
    if (guard && guard->isVisible()) {
      if (!QTest::currentTestFailed()) QTest::qFail("the modal window stayed open", __FILE__, __LINE__);
      guard->hide();
    }
  });
  poll->start();
}

// A Windows bitmap of `size` filled with `fill`, whose file is then padded
// with zeros to `bytes` (when larger) so that its size on disk is exact.
inline QString writeBitmap(const QString& folder, const QString& name, QSize size, const QColor& fill,
                           qint64 bytes = 0) {
  QImage picture(size, QImage::Format_RGB888);
  picture.fill(fill);
  const QString path = QDir(folder).filePath(name);
  if (!picture.save(path, "BMP")) return {};
  if (bytes > 0) {
    QFile file(path);
    if (file.size() > bytes || !file.resize(bytes)) return {};
  }
  return path;
}

} // namespace tessel::test
