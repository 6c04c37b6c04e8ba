#pragma once
// Driving the modal windows a widget test opens: the test sets up what to do
// with the next one, then runs the command that shows it.

#include <QApplication>
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

} // namespace tessel::test
