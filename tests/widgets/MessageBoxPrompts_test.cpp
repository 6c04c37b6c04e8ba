// The prompts of the desktop program: message boxes (captions, buttons,
// answers), the error window and the busy cursor.

#include "foundation/Cp1252.h"
#include "foundation/ZEP_Dates.h"
#include "support/ModalWindows.h"
#include "widgets/ErrorWindow.h"
#include "widgets/MessageBoxPrompts.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QPushButton>
#include <QTextBlock>
#include <QTextEdit>
#include <QtTest>

#include <functional>

using namespace tessel;

namespace {

struct SeenBox {
  QString caption;
  QString text;
  QStringList buttons;
};

// Records the next message box and then presses `press` (or Escape when empty).
void answerNextBox(SeenBox& seen, const QString& press) {
  test::onNextModal<QMessageBox>([&seen, press](QMessageBox* box) {
    seen.caption = box->windowTitle();
    seen.text = box->text();
    for (QAbstractButton* button : box->buttons()) seen.buttons << button->text();
    seen.buttons.sort();
    if (press.isEmpty()) {
      QTest::keyClick(box, Qt::Key_Escape);
      return;
    }
    for (QAbstractButton* button : box->buttons())
      if (button->text() == press) button->click();
  });
}

} // namespace

class PromptsTest : public QObject {
  Q_OBJECT

private slots:
  void messages_data();
  void messages();
  void yesNo_data();
  void yesNo();
  void yesCancel_data();
  void yesCancel();
  void yesNoCancel_data();
  void yesNoCancel();
  void busyCursorNests();
  void errorWindowLayout();
  void errorWindowShowsEachLineSeparately();
  void showErrorOpensTheErrorWindowModally();
  void installingTheFrenchInterface();
};

void PromptsTest::messages_data() {
  QTest::addColumn<int>("kind");
  QTest::addColumn<QString>("caption");
  QTest::newRow("plain") << int(MessageKind::Plain) << QStringLiteral("Tessel");
  QTest::newRow("information") << int(MessageKind::Information) << QStringLiteral("Information");
  QTest::newRow("warning") << int(MessageKind::Warning) << QStringLiteral("Avertissement");
  QTest::newRow("error") << int(MessageKind::Error) << QStringLiteral("Erreur");
}

void PromptsTest::messages() {
  QFETCH(int, kind);
  QFETCH(QString, caption);
  MessageBoxPrompts prompts;
  SeenBox seen;
  answerNextBox(seen, QStringLiteral("OK"));
  // Engine texts are Windows-1252 with CR LF line ends.
  prompts.message(MessageKind(kind), std::string("Catégorie créée\r\n<b>non</b>"_w));
  QCOMPARE(seen.caption, caption);
  QCOMPARE(seen.text, QStringLiteral("Catégorie créée\n<b>non</b>"));
  QCOMPARE(seen.buttons, QStringList{QStringLiteral("OK")});
}

void PromptsTest::yesNo_data() {
  QTest::addColumn<QString>("press");
  QTest::addColumn<bool>("answer");
  QTest::newRow("yes") << QStringLiteral("&Oui") << true;
  QTest::newRow("no") << QStringLiteral("&Non") << false;
  QTest::newRow("escape") << QString() << false;
}

void PromptsTest::yesNo() {
  QFETCH(QString, press);
  QFETCH(bool, answer);
  MessageBoxPrompts prompts;
  SeenBox seen;
  answerNextBox(seen, press);
  QCOMPARE(prompts.askYesNo("Supprimer la catégorie ?"), answer);
  QCOMPARE(seen.caption, QStringLiteral("Confirmation"));
  QCOMPARE(seen.buttons, (QStringList{QStringLiteral("&Non"), QStringLiteral("&Oui")}));
}

void PromptsTest::yesCancel_data() {
  QTest::addColumn<QString>("press");
  QTest::addColumn<bool>("answer");
  QTest::newRow("yes") << QStringLiteral("&Oui") << true;
  QTest::newRow("cancel") << QStringLiteral("Annuler") << false;
  QTest::newRow("escape") << QString() << false;
}

void PromptsTest::yesCancel() {
  QFETCH(QString, press);
  QFETCH(bool, answer);
  MessageBoxPrompts prompts;
  SeenBox seen;
  answerNextBox(seen, press);
  QCOMPARE(prompts.askYesCancel("Désirez-vous vraiment le(s) supprimer ?"), answer);
  QCOMPARE(seen.caption, QStringLiteral("Confirmation"));
  QCOMPARE(seen.buttons, (QStringList{QStringLiteral("&Oui"), QStringLiteral("Annuler")}));
}

void PromptsTest::yesNoCancel_data() {
  QTest::addColumn<QString>("press");
  QTest::addColumn<int>("answer");
  QTest::newRow("yes") << QStringLiteral("&Oui") << int(Answer::Yes);
  QTest::newRow("no") << QStringLiteral("&Non") << int(Answer::No);
  QTest::newRow("cancel") << QStringLiteral("Annuler") << int(Answer::Cancel);
  QTest::newRow("escape") << QString() << int(Answer::Cancel);
}

void PromptsTest::yesNoCancel() {
  QFETCH(QString, press);
  QFETCH(int, answer);
  MessageBoxPrompts prompts;
  SeenBox seen;
  answerNextBox(seen, press);
  QCOMPARE(int(prompts.askYesNoCancel("Voulez-vous sauvegarder ?")), answer);
  QCOMPARE(seen.caption, QStringLiteral("Confirmation"));
  QCOMPARE(seen.buttons, (QStringList{QStringLiteral("&Non"), QStringLiteral("&Oui"), QStringLiteral("Annuler")}));
}

void PromptsTest::busyCursorNests() {
  MessageBoxPrompts prompts;
  QVERIFY(!QApplication::overrideCursor());
  prompts.setBusy(true);
  prompts.setBusy(true);
  QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
  prompts.setBusy(false);
  QVERIFY(QApplication::overrideCursor());
  prompts.setBusy(false);
  QVERIFY(!QApplication::overrideCursor());
  // An unmatched end changes nothing, also for a cursor set by someone else.
  QApplication::setOverrideCursor(Qt::CrossCursor);
  prompts.setBusy(false);
  QCOMPARE(QApplication::overrideCursor()->shape(), Qt::CrossCursor);
  QApplication::restoreOverrideCursor();
  QCOMPARE(prompts.busyDepth(), 0);
}

void PromptsTest::errorWindowLayout() {
  TForme_erreur window;
  QCOMPARE(window.size(), QSize(153, 125));
  QVERIFY(window.windowFlags() & Qt::FramelessWindowHint);
  QCOMPARE(window.palette().color(QPalette::Window), QColor(128, 0, 0));
  QCOMPARE(window.RE->geometry(), QRect(8, 8, 137, 81));
  QVERIFY(window.RE->isReadOnly());
  QVERIFY(window.RE->font().italic());
  QCOMPARE(window.RE->toolTip(), QStringLiteral("Message d'erreur"));
  QCOMPARE(window.SpeedButton1->text(), QStringLiteral("OK"));
  QCOMPARE(window.SpeedButton1->geometry(), QRect(56, 96, 49, 22));
  QCOMPARE(window.SpeedButton1->palette().color(QPalette::ButtonText), QColor(Qt::white));
}

void PromptsTest::errorWindowShowsEachLineSeparately() {
  TForme_erreur window;
  window.setMessage(QStringLiteral("old text"));
  window.setMessage(QStringLiteral("Erreur de triplet :\r\nle sujet est un symbole\r\nfin"));
  const QTextDocument* document = window.RE->document();
  QCOMPARE(document->blockCount(), 3);
  QCOMPARE(document->findBlockByNumber(0).text(), QStringLiteral("Erreur de triplet :"));
  QCOMPARE(document->findBlockByNumber(1).text(), QStringLiteral("le sujet est un symbole"));
  QCOMPARE(document->findBlockByNumber(2).text(), QStringLiteral("fin"));
}

void PromptsTest::showErrorOpensTheErrorWindowModally() {
  MessageBoxPrompts prompts;
  QString shown;
  bool wasErrorWindow = false;
  test::onNextModal<TForme_erreur>([&](TForme_erreur* window) {
    wasErrorWindow = true;
    shown = window->RE->toPlainText();
    QTest::mouseClick(window->SpeedButton1, Qt::LeftButton);
  });
  prompts.showError(std::string("Entité déjà liée\r\nligne 2"_w));
  QVERIFY(wasErrorWindow);
  QCOMPARE(shown, QStringLiteral("Entité déjà liée\nligne 2"));
  QTRY_VERIFY(!QApplication::activeModalWidget());
}

void PromptsTest::installingTheFrenchInterface() {
  UserPrompts* const before = installPrompts(nullptr);
  InstallFrenchUserInterface(*qApp);
  QVERIFY(dynamic_cast<MessageBoxPrompts*>(&tessel::prompts()));
  QCOMPARE(QCoreApplication::translate("QColorDialog", "&Red:"), QStringLiteral("&Rouge :"));
  QCOMPARE(QLocale().language(), QLocale::French);
  QCOMPARE(DayNamesLong()[0], std::string("lundi"));
  installPrompts(before);
}

QTEST_MAIN(PromptsTest)
#include "MessageBoxPrompts_test.moc"
