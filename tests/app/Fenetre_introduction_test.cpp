// The start-up entry (on/off behaviour) and the introduction window's three
// uses: splash, "about" and options.

#include "app/Fenetre_introduction.h"
#include "app/StartupEntry.h"
#include "support/ModalWindows.h"

#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>

using namespace tessel;

namespace {

QString readAll(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

void writeAll(const QString& path, const QByteArray& content) {
  QDir().mkpath(QFileInfo(path).absolutePath());
  QFile file(path);
  QVERIFY(file.open(QIODevice::WriteOnly));
  file.write(content);
}

} // namespace

class IntroductionTest : public QObject {
  Q_OBJECT

private slots:
  void init();
  void cleanup();
  void entryFollowsTheConfigurationFolder();
  void entryOnOff_data();
  void entryOnOff();
  void enablingKeepsAnExistingEntry();
  void entryStartsThisProgram();
  void unwritableFolderFailsSilently();
  void layoutAndTexts();
  void splashIsTheAboutPageWithoutButtons();
  void aboutPageClosesWithOui();
  void optionsShowAndApplyTheEntry();
  void centredOnTheScreenForEachUse_data();
  void centredOnTheScreenForEachUse();

private:
  std::unique_ptr<QTemporaryDir> config_;
};

void IntroductionTest::init() {
  config_ = std::make_unique<QTemporaryDir>();
  qputenv("XDG_CONFIG_HOME", config_->path().toLocal8Bit());
}

void IntroductionTest::cleanup() {
  qunsetenv("XDG_CONFIG_HOME");
  config_.reset();
}

void IntroductionTest::entryFollowsTheConfigurationFolder() {
  QCOMPARE(AutostartEntryPath(), config_->path() + QStringLiteral("/autostart/") +
                                     QFileInfo(QCoreApplication::applicationFilePath()).fileName() +
                                     QStringLiteral(".desktop"));
}

// A sequence of requests, each followed by whether the entry then exists.
void IntroductionTest::entryOnOff_data() {
  QTest::addColumn<QList<bool>>("requests");
  QTest::addColumn<QList<bool>>("exists");
  QTest::newRow("off when missing does nothing") << QList<bool>{false} << QList<bool>{false};
  QTest::newRow("on creates") << QList<bool>{true} << QList<bool>{true};
  QTest::newRow("on twice") << QList<bool>{true, true} << QList<bool>{true, true};
  QTest::newRow("on, off, off, on") << QList<bool>{true, false, false, true} << QList<bool>{true, false, false, true};
}

void IntroductionTest::entryOnOff() {
  QFETCH(QList<bool>, requests);
  QFETCH(QList<bool>, exists);
  QVERIFY(!StartsWithWindows());
  for (qsizetype n = 0; n < requests.size(); ++n) {
    SetStartWithWindows(requests[n]);
    QCOMPARE(StartsWithWindows(), exists[n]);
    QCOMPARE(QFileInfo::exists(AutostartEntryPath()), exists[n]);
  }
  // Never more than the one entry.
  QVERIFY(QDir(config_->path() + QStringLiteral("/autostart")).entryList(QDir::Files).size() <= 1);
}

void IntroductionTest::enablingKeepsAnExistingEntry() {
  writeAll(AutostartEntryPath(), "[Desktop Entry]\nName=edited by the user\n");
  QVERIFY(StartsWithWindows());
  SetStartWithWindows(true);
  QCOMPARE(readAll(AutostartEntryPath()), QStringLiteral("[Desktop Entry]\nName=edited by the user\n"));
}

void IntroductionTest::entryStartsThisProgram() {
  SetStartWithWindows(true);
  const QStringList lines = readAll(AutostartEntryPath()).split(QLatin1Char('\n'));
  QCOMPARE(lines.value(0), QStringLiteral("[Desktop Entry]"));
  QVERIFY(lines.contains(QStringLiteral("Type=Application")));
  QVERIFY(lines.contains(QStringLiteral("Name=Tessel")));
  // The test program's path has no characters to escape.
  QVERIFY(lines.contains(QStringLiteral("Exec=\"") + QCoreApplication::applicationFilePath() + QLatin1Char('"')));
}

void IntroductionTest::unwritableFolderFailsSilently() {
  // The configuration "folder" is a file: nothing can be created under it.
  const QString blocker = config_->filePath(QStringLiteral("not-a-folder"));
  writeAll(blocker, "x");
  qputenv("XDG_CONFIG_HOME", blocker.toLocal8Bit());
  SetStartWithWindows(true);
  QVERIFY(!StartsWithWindows());
  SetStartWithWindows(false);
  QVERIFY(!StartsWithWindows());
}

void IntroductionTest::layoutAndTexts() {
  TForme_introduction window;
  window.Prepare(QStringLiteral("Gestion de vos rapports d'activités"));
  QCOMPARE(window.size(), QSize(359, 400));
  QVERIFY(window.windowFlags() & Qt::FramelessWindowHint);
  QCOMPARE(window.windowTitle(), QStringLiteral("Tessel - Varnelle"));
  QCOMPARE(window.Lbl_slogan->text(), QStringLiteral("Gestion de vos rapports d'activités"));
  QCOMPARE(window.Img_logo->pixmap().deviceIndependentSize().toSize(), QSize(160, 116));
  QVERIFY(!window.Img_icone->pixmap().isNull());
  QVERIFY(!window.Img_logo_editeur->pixmap().isNull());
  QCOMPARE(window.Lbl_demarrage->text(),
           QStringLiteral("Désirez-vous que Tessel soit lancé à chaque démarrage de Windows ?"));
  QCOMPARE(window.BB_oui->text(), QStringLiteral("Oui"));

  QStringList about;
  for (QLabel* label : window.TS_a_propos->findChildren<QLabel*>())
    if (!label->text().isEmpty()) about << label->text();
  for (const char* text : {"Logiciel en Test", "Nom", "Tessel", "Version", "0.96", "Date", "4 sept. 2002",
                           "N'hésitez pas à nous contacter par mail : contact@varnelle.example.org",
                           "Nous vous remercions d'utiliser Tessel"})
    QVERIFY2(about.contains(QString::fromUtf8(text)), text);
}

void IntroductionTest::splashIsTheAboutPageWithoutButtons() {
  TForme_introduction window;
  window.PC_intro->setCurrentWidget(window.TS_options);
  window.StartSplash();
  QVERIFY(window.isVisible());
  QCOMPARE(window.PC_intro->currentWidget(), window.TS_a_propos);
  QVERIFY(!window.Panel_boutons->isVisible());
  window.EndSplash();
  QVERIFY(!window.isVisible());
  QVERIFY(window.Panel_boutons->isVisibleTo(&window));
}

void IntroductionTest::aboutPageClosesWithOui() {
  TForme_introduction window;
  window.PC_intro->setCurrentWidget(window.TS_options);
  QWidget* page = nullptr;
  bool buttonsShown = false;
  test::onNextModal<TForme_introduction>([&](TForme_introduction*) {
    page = window.PC_intro->currentWidget();
    buttonsShown = window.BB_oui->isVisible();
    QTest::mouseClick(window.BB_oui, Qt::LeftButton);
  });
  window.ShowAbout();
  QCOMPARE(page, window.TS_a_propos);
  QVERIFY(buttonsShown);
  QVERIFY(!window.isVisible());
}

// Options: the box shows the entry's presence; closing applies it, whether
// by "Oui" or otherwise.
void IntroductionTest::optionsShowAndApplyTheEntry() {
  TForme_introduction window;
  SetStartWithWindows(true);
  const auto runOptions = [&](bool expectTicked, bool tick, bool byOui) {
    bool ticked = !expectTicked;
    QWidget* page = nullptr;
    test::onNextModal<TForme_introduction>([&](TForme_introduction*) {
      page = window.PC_intro->currentWidget();
      ticked = window.CB_demarrage->isChecked();
      window.CB_demarrage->setChecked(tick);
      if (byOui) window.BB_oui->click();
      else window.reject();
    });
    window.ShowOptions();
    QCOMPARE(page, window.TS_options);
    QCOMPARE(ticked, expectTicked);
  };
  runOptions(true, false, true);
  QVERIFY(!StartsWithWindows());
  runOptions(false, true, false);
  QVERIFY(StartsWithWindows());
  runOptions(true, true, true);
  QVERIFY(StartsWithWindows());
  // A click on the label ticks the box like a caption.
  const bool before = window.CB_demarrage->isChecked();
  QTest::mouseClick(window.Lbl_demarrage, Qt::LeftButton);
  QCOMPARE(window.CB_demarrage->isChecked(), !before);
}

namespace {

// Where the window is as it comes up, and whether the program placed it
// itself: a window manager places a window without a frame as it likes
// (often in a corner) unless the program gives the position.
class PlacementProbe : public QObject {
public:
  bool placedByProgram = false;
  QPoint centre;
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Show) {
      auto* window = static_cast<QWidget*>(watched);
      placedByProgram = window->testAttribute(Qt::WA_Moved);
      centre = window->geometry().center();
    }
    return false;
  }
};

} // namespace

void IntroductionTest::centredOnTheScreenForEachUse_data() {
  QTest::addColumn<QString>("use");
  QTest::newRow("splash") << "splash";
  QTest::newRow("about") << "about";
  QTest::newRow("options") << "options";
  QTest::newRow("about after the splash") << "splash, about";
}

void IntroductionTest::centredOnTheScreenForEachUse() {
  QFETCH(QString, use);
  TForme_introduction window;
  PlacementProbe probe;
  window.installEventFilter(&probe);
  const QPoint screenCentre = QGuiApplication::primaryScreen()->availableGeometry().center();
  const auto check = [&] {
    QVERIFY(probe.placedByProgram);
    QVERIFY2((probe.centre - screenCentre).manhattanLength() <= 2,
             qPrintable(QStringLiteral("%1,%2").arg(probe.centre.x()).arg(probe.centre.y())));
  };
  for (const QString& step : use.split(QStringLiteral(", "))) {
    probe.placedByProgram = false;
    if (step == "splash") {
      window.StartSplash();
      check();
      window.EndSplash();
      continue;
    }
    test::onNextModal<TForme_introduction>([&](TForme_introduction*) { window.BB_oui->click(); });
    if (step == "about") window.ShowAbout();
    else window.ShowOptions();
    check();
  }
}

QTEST_MAIN(IntroductionTest)
#include "Fenetre_introduction_test.moc"
