// The picture chooser: which files it lists, how it draws them, its results,
// the Delete key and the settings file written when it is discarded.

#include "ui/Bmpdialog.h"

#include "foundation/Cp1252.h"
#include "support/RecordingPrompts.h"
#include "UiTestHelpers.h"

#include <QAction>
#include <QComboBox>
#include <QFileSystemModel>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTreeView>
#include <QtTest>

#include <memory>

using namespace tessel;
using tessel::test::onNextModal;
using tessel::test::RecordingPrompts;
using tessel::test::writeBitmap;

using FileSizes = QList<QPair<QString, int>>;
Q_DECLARE_METATYPE(FileSizes)
Q_DECLARE_METATYPE(PicturePlacement)

namespace {

QStringList listed(const TBmp_dialog& window) {
  QStringList names;
  for (int row = 0; row < window.LB_bmp->count(); ++row) names << window.LB_bmp->item(row)->text();
  return names;
}

QStringList comboTexts(const QComboBox* combo) {
  QStringList texts;
  for (int i = 0; i < combo->count(); ++i) texts << combo->itemText(i);
  return texts;
}

} // namespace

class PictureChooserTest : public QObject {
  Q_OBJECT

private slots:
  void initTestCase();
  void init();
  void cleanup();

  void listsSmallBitmapsOfTheCurrentFolder_data();
  void listsSmallBitmapsOfTheCurrentFolder();
  void results_data();
  void results();
  void unreadablePictureKeepsTheWindowOpen();
  void columnsAndItemHeights_data();
  void columnsAndItemHeights();
  void placement_data();
  void placement();
  void captions_data();
  void captions();
  void contextMenuOptionsChangeTheDrawnName();
  void drawsTheTopLeftSquareWithoutItsKeyColour();
  void clickShowsThePictureSize();
  void deleteMovesTheFileToTheTrash();
  void failedDeleteKeepsTheItem();
  void placesAndFolders();
  void currentFolderComesIntoView();
  void settingsWrittenWhenDiscarded();

private:
  QString file(const QString& name) const { return QDir(folder_->path()).filePath(name); }

  QTemporaryDir home_;     // HOME, XDG_DATA_HOME (the trash) and XDG_CONFIG_HOME
  std::unique_ptr<QTemporaryDir> folder_;
  std::unique_ptr<RecordingPrompts> prompts_;
  QString startDirectory_;
};

void PictureChooserTest::initTestCase() {
  QVERIFY(home_.isValid());
  // A private home: the trash and the settings file stay inside the test.
  const QDir home(home_.path());
  home.mkpath(QStringLiteral("data"));
  home.mkpath(QStringLiteral("config"));
  qputenv("HOME", home_.path().toLocal8Bit());
  qputenv("XDG_DATA_HOME", home.filePath(QStringLiteral("data")).toLocal8Bit());
  qputenv("XDG_CONFIG_HOME", home.filePath(QStringLiteral("config")).toLocal8Bit());
  // The program's names, as it sets them at start.
  QCoreApplication::setApplicationName(QStringLiteral("Tessel"));
  QCoreApplication::setOrganizationName(QStringLiteral("Tessel"));
  startDirectory_ = QDir::currentPath();
}

void PictureChooserTest::init() {
  folder_ = std::make_unique<QTemporaryDir>(QDir(home_.path()).filePath(QStringLiteral("pictures-XXXXXX")));
  QVERIFY(folder_->isValid());
  QVERIFY(QDir::setCurrent(folder_->path()));
  prompts_ = std::make_unique<RecordingPrompts>();
}

void PictureChooserTest::cleanup() {
  prompts_.reset();
  QDir::setCurrent(startDirectory_);
  folder_.reset();
}

void PictureChooserTest::listsSmallBitmapsOfTheCurrentFolder_data() {
  QTest::addColumn<FileSizes>("files");
  QTest::addColumn<QStringList>("expected");
  QTest::addColumn<QString>("count");

  QTest::newRow("5000 and 3000 bytes") << FileSizes{{"grand.bmp", 5000}, {"petit.bmp", 3000}}
                                       << QStringList{"petit.bmp"} << "1 Image(s)";
  QTest::newRow("4000 is the limit") << FileSizes{{"limite.bmp", 4000}, {"trop.bmp", 4001}}
                                     << QStringList{"limite.bmp"} << "1 Image(s)";
  QTest::newRow("any case, sorted ignoring case")
      << FileSizes{{"b.bmp", 900}, {"Zz.bmp", 900}, {"A.BMP", 900}, {"note.png", 900}, {"bmp", 900},
                   {"x.bmp.txt", 900}}
      << QStringList{"A.BMP", "b.bmp", "Zz.bmp"} << "3 Image(s)";
  QTest::newRow("hidden files too") << FileSizes{{".cache.bmp", 900}} << QStringList{".cache.bmp"} << "1 Image(s)";
  QTest::newRow("none") << FileSizes{} << QStringList{} << "0 Image(s)";
}

void PictureChooserTest::listsSmallBitmapsOfTheCurrentFolder() {
  QFETCH(FileSizes, files);
  QFETCH(QStringList, expected);
  QFETCH(QString, count);
  for (const auto& [name, bytes] : files) QVERIFY(!writeBitmap(folder_->path(), name, {16, 16}, Qt::red, bytes).isEmpty());
  QVERIFY(QDir(folder_->path()).mkdir(QStringLiteral("dossier.bmp"))); // a folder is no picture

  TBitmapEditor editor;
  QStringList names;
  QString countText, sizeText, directory;
  onNextModal<TBmp_dialog>([&](TBmp_dialog* window) {
    names = listed(*window);
    countText = window->Label_nb_bmp->text();
    sizeText = window->Label_bmp->text();
    directory = window->Directory();
    window->Act_annuler->trigger();
  });
  QVERIFY(!editor.Execute());
  QCOMPARE(names, expected);
  QCOMPARE(countText, count);
  QCOMPARE(sizeText, QStringLiteral("Label_bmp"));
  QCOMPARE(directory, QDir::currentPath());
  QCOMPARE(prompts_->busyDepth, 0);
}

void PictureChooserTest::results_data() {
  QTest::addColumn<QString>("action");
  QTest::addColumn<bool>("select");
  QTest::addColumn<bool>("fileGoes");
  QTest::addColumn<bool>("expected");
  QTest::addColumn<QString>("picture"); // "file", "empty" or "unchanged"

  QTest::newRow("Valider") << "Valider" << true << false << true << "file";
  QTest::newRow("double click") << "double click" << true << false << true << "file";
  QTest::newRow("Valider without a selection") << "Valider" << false << false << false << "unchanged";
  QTest::newRow("Valider once the file has gone") << "Valider" << true << true << false << "unchanged";
  QTest::newRow("Effacer") << "Effacer" << true << false << true << "empty";
  QTest::newRow("Effacer without a selection") << "Effacer" << false << false << true << "empty";
  QTest::newRow("Annuler") << "Annuler" << true << false << false << "unchanged";
  QTest::newRow("close box") << "close" << true << false << false << "unchanged";
}

void PictureChooserTest::results() {
  QFETCH(QString, action);
  QFETCH(bool, select);
  QFETCH(bool, fileGoes);
  QFETCH(bool, expected);
  QFETCH(QString, picture);
  const QString path = writeBitmap(folder_->path(), QStringLiteral("Pause.bmp"), {20, 12}, Qt::blue);
  QVERIFY(!path.isEmpty());
  QImage before(4, 4, QImage::Format_RGB32);
  before.fill(Qt::yellow);

  TBitmapEditor editor;
  editor.SetPicture(before);
  onNextModal<TBmp_dialog>([&](TBmp_dialog* window) {
    QCOMPARE(window->Picture(), before);
    if (select) window->LB_bmp->setCurrentRow(0);
    if (fileGoes) QVERIFY(QFile::remove(path));
    if (action == "Valider") {
      window->Act_valider->trigger();
    } else if (action == "double click") {
      const QRect item = window->LB_bmp->visualItemRect(window->LB_bmp->item(0));
      QWidget* viewport = window->LB_bmp->viewport();
      QTest::mouseClick(viewport, Qt::LeftButton, {}, item.center());
      QTest::mouseDClick(viewport, Qt::LeftButton, {}, item.center());
    } else if (action == "Effacer") {
      window->Act_effacer->trigger();
    } else if (action == "Annuler") {
      window->Act_annuler->trigger();
    } else {
      window->close();
    }
  });
  QCOMPARE(editor.Execute(), expected);
  if (picture == "file") QCOMPARE(editor.Picture(), QImage(path));
  else if (picture == "empty") QVERIFY(editor.Picture().isNull());
  else QCOMPARE(editor.Picture(), before);
  QVERIFY(prompts_->shown.empty());
}

void PictureChooserTest::unreadablePictureKeepsTheWindowOpen() {
  QFile bad(file(QStringLiteral("abime.bmp")));
  QVERIFY(bad.open(QIODevice::WriteOnly));
  bad.write("not a picture");
  bad.close();

  TBitmapEditor editor;
  bool stayedOpen = false;
  onNextModal<TBmp_dialog>([&](TBmp_dialog* window) {
    window->LB_bmp->setCurrentRow(0);
    window->Act_valider->trigger();
    stayedOpen = window->isVisible();
    window->Act_annuler->trigger();
  });
  QVERIFY(!editor.Execute());
  QVERIFY(stayedOpen);
  QCOMPARE(prompts_->shown.size(), size_t(1));
  QCOMPARE(prompts_->shown[0].kind, RecordingPrompts::Kind::Error);
  QVERIFY(fromCp1252(prompts_->shown[0].text).contains(QStringLiteral("« abime.bmp »")));
}

void PictureChooserTest::columnsAndItemHeights_data() {
  QTest::addColumn<int>("columnIndex");
  QTest::addColumn<int>("pixelIndex");
  QTest::addColumn<int>("columns");
  QTest::addColumn<int>("height");

  QTest::newRow("at first") << -1 << -1 << 2 << 32;
  QTest::newRow("1 colonne") << 0 << -1 << 1 << 32;
  QTest::newRow("6 colonnes") << 5 << -1 << 6 << 32;
  QTest::newRow("16 Pixels") << -1 << 0 << 2 << 16;
  QTest::newRow("40 Pixels") << -1 << 6 << 2 << 40;
  QTest::newRow("3 colonnes, 24 Pixels") << 2 << 2 << 3 << 24;
}

void PictureChooserTest::columnsAndItemHeights() {
  QFETCH(int, columnIndex);
  QFETCH(int, pixelIndex);
  QFETCH(int, columns);
  QFETCH(int, height);
  for (int i = 0; i < 40; ++i)
    writeBitmap(folder_->path(), QStringLiteral("p%1.bmp").arg(i, 2, 10, QLatin1Char('0')), {16, 16}, Qt::gray);

  TBmp_dialog window;
  QCOMPARE(comboTexts(window.Cmb_colonnes),
           QStringList({"1 colonne", "2 colonnes", "3 colonnes", "4 colonnes", "5 colonnes", "6 colonnes"}));
  QCOMPARE(comboTexts(window.Cmb_pixels), QStringList({"16 Pixels", "20 Pixels", "24 Pixels", "28 Pixels",
                                                       "32 Pixels", "36 Pixels", "40 Pixels"}));
  window.ReadPictures();
  window.show();
  QVERIFY(QTest::qWaitForWindowExposed(&window));
  if (columnIndex >= 0) window.Cmb_colonnes->setCurrentIndex(columnIndex);
  if (pixelIndex >= 0) window.Cmb_pixels->setCurrentIndex(pixelIndex);
  QApplication::processEvents();

  QCOMPARE(window.Columns(), columns);
  QCOMPARE(window.ItemHeight(), height);
  QListWidget* list = window.LB_bmp;
  const int columnWidth = list->viewport()->width() / columns;
  const QRect first = list->visualItemRect(list->item(0));
  QCOMPARE(first.height(), height);
  QCOMPARE(first.width(), columnWidth);
  // Items run down the first column, then on to the next one.
  const int perColumn = list->viewport()->height() / height;
  QVERIFY(perColumn > 0 && perColumn < list->count());
  QCOMPARE(list->visualItemRect(list->item(perColumn - 1)).x(), first.x());
  QCOMPARE(list->visualItemRect(list->item(perColumn)).x(), first.x() + columnWidth);
  QCOMPARE(list->visualItemRect(list->item(perColumn)).y(), first.y());
}

void PictureChooserTest::placement_data() {
  QTest::addColumn<int>("pictureHeight");
  QTest::addColumn<int>("itemHeight");
  QTest::addColumn<PicturePlacement>("expected");

  QTest::newRow("smaller: centred, 3 from the left") << 16 << 32 << PicturePlacement{16, 3, 8};
  QTest::newRow("odd difference truncates") << 13 << 16 << PicturePlacement{13, 3, 1};
  QTest::newRow("as high as the item") << 32 << 32 << PicturePlacement{32, 0, 0};
  QTest::newRow("one pixel lower: offset 0, so no margin") << 31 << 32 << PicturePlacement{31, 0, 0};
  QTest::newRow("higher: cut to the item") << 48 << 20 << PicturePlacement{20, 0, 0};
}

void PictureChooserTest::placement() {
  QFETCH(int, pictureHeight);
  QFETCH(int, itemHeight);
  QFETCH(PicturePlacement, expected);
  const PicturePlacement place = PlacePicture(pictureHeight, itemHeight);
  QCOMPARE(place.side, expected.side);
  QCOMPARE(place.left, expected.left);
  QCOMPARE(place.top, expected.top);
}

void PictureChooserTest::captions_data() {
  QTest::addColumn<QString>("name");
  QTest::addColumn<bool>("extension");
  QTest::addColumn<bool>("lowerCase");
  QTest::addColumn<QString>("expected");

  QTest::newRow("as it is") << "Pause.bmp" << true << false << "Pause.bmp";
  QTest::newRow("no extension") << "Pause.bmp" << false << false << "Pause";
  QTest::newRow("lower case") << "Pause.bmp" << true << true << "pause.bmp";
  QTest::newRow("both") << "Pause.bmp" << false << true << "pause";
  QTest::newRow("12 characters at most") << "Reunion_Hebdo.bmp" << true << false << "Reunion_Hebd";
  QTest::newRow("cut at the first dot") << "a.b.c.bmp" << false << false << "a";
  QTest::newRow("no dot in the first 12") << "Reunion_Hebdo.bmp" << false << false << "Reunion_Hebd";
  QTest::newRow("accented lower case") << "ÉTÉ.BMP" << false << true << "été";
}

void PictureChooserTest::captions() {
  QFETCH(QString, name);
  QFETCH(bool, extension);
  QFETCH(bool, lowerCase);
  QFETCH(QString, expected);
  QCOMPARE(PictureCaption(name, extension, lowerCase), expected);
}

void PictureChooserTest::contextMenuOptionsChangeTheDrawnName() {
  writeBitmap(folder_->path(), QStringLiteral("Pause.bmp"), {16, 16}, Qt::gray);
  TBmp_dialog window;
  window.ReadPictures();

  QStringList texts;
  for (QAction* action : window.PM_bmp->actions()) {
    if (action->isSeparator()) continue;
    texts << action->text();
    QVERIFY(action->isCheckable());
    QVERIFY(action->isChecked());
  }
  QCOMPARE(texts, QStringList({"Nom Fichier", "Extension", "Minuscules"}));
  QVERIFY(window.PM_bmp->actions().last()->isSeparator());

  QCOMPARE(window.ItemText(0), QStringLiteral("pause.bmp"));
  window.Act_extension->trigger();
  QCOMPARE(window.ItemText(0), QStringLiteral("pause"));
  window.Act_minuscules->trigger();
  QCOMPARE(window.ItemText(0), QStringLiteral("Pause"));
  window.Act_extension->trigger();
  QCOMPARE(window.ItemText(0), QStringLiteral("Pause.bmp"));
  window.Act_nom_fichier->trigger();
  QCOMPARE(window.ItemText(0), QString());
  QVERIFY(!window.Act_nom_fichier->isChecked());
}

void PictureChooserTest::drawsTheTopLeftSquareWithoutItsKeyColour() {
  // Blue, with the key colour (that of the bottom-left pixel) in two corners.
  QImage picture(16, 16, QImage::Format_RGB32);
  picture.fill(Qt::blue);
  picture.setPixel(0, 15, qRgb(0, 255, 0));
  picture.setPixel(15, 0, qRgb(0, 255, 0));
  QVERIFY(picture.save(file(QStringLiteral("cle.bmp")), "BMP"));

  TBmp_dialog window;
  window.ReadPictures();
  window.show();
  QVERIFY(QTest::qWaitForWindowExposed(&window));
  const QColor base = window.LB_bmp->palette().color(QPalette::Base);

  struct Case {
    int pixelIndex;
    int height;
    QPoint corner; // where the picture's top-left corner lands
  };
  for (const Case& c : {Case{4, 32, {3, 8}}, Case{0, 16, {0, 0}}}) {
    window.Cmb_pixels->setCurrentIndex(c.pixelIndex);
    for (bool names : {true, false}) {
      window.Act_nom_fichier->setChecked(names);
      QApplication::processEvents();
      const QImage shot = window.LB_bmp->viewport()->grab().toImage();
      const QRect item = window.LB_bmp->visualItemRect(window.LB_bmp->item(0));
      const QPoint at = item.topLeft() + c.corner;
      QCOMPARE(shot.pixelColor(at + QPoint(8, 8)), QColor(Qt::blue));
      QCOMPARE(shot.pixelColor(at + QPoint(0, 15)), base);
      QCOMPARE(shot.pixelColor(at + QPoint(15, 0)), base);
      // The name is written after the picture's square, only when asked for.
      bool written = false;
      for (int x = item.left() + c.height + 3; x < item.right(); ++x)
        for (int y = item.top(); y <= item.bottom(); ++y) written |= shot.pixelColor(x, y) != base;
      QCOMPARE(written, names);
    }
  }
}

void PictureChooserTest::clickShowsThePictureSize() {
  writeBitmap(folder_->path(), QStringLiteral("large.bmp"), {24, 16}, Qt::gray);
  writeBitmap(folder_->path(), QStringLiteral("petit.bmp"), {8, 10}, Qt::gray);
  TBmp_dialog window;
  window.ReadPictures();
  window.show();
  QVERIFY(QTest::qWaitForWindowExposed(&window));
  for (const auto& [row, size] : {std::pair{0, "24x16"}, std::pair{1, "8x10"}}) {
    const QRect item = window.LB_bmp->visualItemRect(window.LB_bmp->item(row));
    QTest::mouseClick(window.LB_bmp->viewport(), Qt::LeftButton, {}, item.center());
    QCOMPARE(window.Label_bmp->text(), QString::fromLatin1(size));
  }
}

void PictureChooserTest::deleteMovesTheFileToTheTrash() {
  for (const char* name : {"alpha.bmp", "beta.bmp", "gamma.bmp"})
    writeBitmap(folder_->path(), QString::fromLatin1(name), {16, 16}, Qt::gray);
  const QDir trash(qEnvironmentVariable("XDG_DATA_HOME") + QStringLiteral("/Trash/files"));
  TBmp_dialog window;
  window.ReadPictures();

  // Without a selection the key does nothing.
  QTest::keyClick(window.LB_bmp, Qt::Key_Delete);
  QCOMPARE(listed(window), QStringList({"alpha.bmp", "beta.bmp", "gamma.bmp"}));

  struct Step {
    int row;
    const char* gone;
    QStringList left;
    int selected;
    const char* count;
  };
  // The last item first: the selection moves up by one.
  for (const Step& step : {Step{2, "gamma.bmp", {"alpha.bmp", "beta.bmp"}, 1, "2 Image(s)"},
                           Step{0, "alpha.bmp", {"beta.bmp"}, 0, "1 Image(s)"}}) {
    window.LB_bmp->setCurrentRow(step.row);
    QTest::keyClick(window.LB_bmp, Qt::Key_Delete);
    QVERIFY(!QFile::exists(file(QString::fromLatin1(step.gone))));
    QVERIFY(trash.exists(QString::fromLatin1(step.gone)));
    QCOMPARE(listed(window), step.left);
    QCOMPARE(window.LB_bmp->currentRow(), step.selected);
    QCOMPARE(window.Label_nb_bmp->text(), QString::fromLatin1(step.count));
  }
  QVERIFY(prompts_->shown.empty());
}

void PictureChooserTest::failedDeleteKeepsTheItem() {
  const QString path = writeBitmap(folder_->path(), QStringLiteral("parti.bmp"), {16, 16}, Qt::gray);
  TBmp_dialog window;
  window.ReadPictures();
  window.LB_bmp->setCurrentRow(0);
  QVERIFY(QFile::remove(path)); // nothing left to put in the trash

  QTest::keyClick(window.LB_bmp, Qt::Key_Delete);
  QCOMPARE(listed(window), QStringList({"parti.bmp"}));
  QCOMPARE(window.Label_nb_bmp->text(), QStringLiteral("1 Image(s)"));
  QCOMPARE(prompts_->shown.size(), size_t(1));
  QCOMPARE(prompts_->shown[0].kind, RecordingPrompts::Kind::Error);
  QCOMPARE(fromCp1252(prompts_->shown[0].text),
           QStringLiteral("Impossible de mettre le fichier « parti.bmp » à la corbeille ; il reste dans la liste."));
}

void PictureChooserTest::placesAndFolders() {
  const QDir home(home_.path());
  writeBitmap(home_.path(), QStringLiteral("maison.bmp"), {16, 16}, Qt::gray);
  QVERIFY(QDir(folder_->path()).mkdir(QStringLiteral("sous")));
  writeBitmap(file(QStringLiteral("sous")), QStringLiteral("dedans.bmp"), {16, 16}, Qt::gray);
  writeBitmap(folder_->path(), QStringLiteral("ici.bmp"), {16, 16}, Qt::gray);

  TBmp_dialog window;
  QCOMPARE(window.Cmb_disque->itemData(0).toString(), QDir::rootPath());
  const int homeIndex = window.Cmb_disque->findData(QDir::cleanPath(home_.path()));
  QVERIFY(homeIndex > 0);
  QCOMPARE(window.Cmb_disque->itemText(homeIndex), QStringLiteral("Dossier personnel"));
  for (int i = 0; i < window.Cmb_disque->count(); ++i)
    QVERIFY(QFileInfo(window.Cmb_disque->itemData(i).toString()).isDir());

  window.ReadPictures();
  QCOMPARE(listed(window), QStringList({"ici.bmp"}));
  auto* folders = qobject_cast<QFileSystemModel*>(window.TV_repertoire->model());
  QVERIFY(folders);
  QCOMPARE(folders->filePath(window.TV_repertoire->currentIndex()), QDir::currentPath());
  // The folder lies in the home folder: that place is shown.
  QCOMPARE(window.Cmb_disque->currentIndex(), homeIndex);

  // Choosing a folder in the directory list lists its pictures.
  window.TV_repertoire->setCurrentIndex(folders->index(file(QStringLiteral("sous"))));
  QCOMPARE(window.Directory(), file(QStringLiteral("sous")));
  QCOMPARE(listed(window), QStringList({"dedans.bmp"}));
  QCOMPARE(window.Label_nb_bmp->text(), QStringLiteral("1 Image(s)"));

  // Choosing a place moves the directory list there.
  emit window.Cmb_disque->activated(homeIndex);
  QCOMPARE(window.Directory(), QDir::cleanPath(home_.path()));
  QCOMPARE(folders->filePath(window.TV_repertoire->currentIndex()), QDir::cleanPath(home_.path()));
  QCOMPARE(listed(window), QStringList({"maison.bmp"}));
  // The process's current directory stays where it was.
  QCOMPARE(QDir::currentPath(), folder_->path());
}

void PictureChooserTest::currentFolderComesIntoView() {
  // Enough sibling folders on the way for the current one to go out of view
  // as they load.
  QString deep = folder_->path();
  QStringList ancestors;
  for (int level = 0; level < 3; ++level) {
    for (int i = 0; i < 15; ++i) QDir(deep).mkdir(QStringLiteral("a%1").arg(i, 2, 10, QLatin1Char('0')));
    ancestors << deep;
    deep += QStringLiteral("/z%1").arg(level);
    QVERIFY(QDir().mkpath(deep));
  }
  QVERIFY(QDir::setCurrent(deep));
  TBmp_dialog window;
  window.ReadPictures();
  window.show();
  QVERIFY(QTest::qWaitForWindowExposed(&window));
  QTreeView* tree = window.TV_repertoire;
  auto* folders = qobject_cast<QFileSystemModel*>(tree->model());
  for (const QString& ancestor : ancestors) QTRY_COMPARE(folders->rowCount(folders->index(ancestor)), 16);
  QTest::qWait(100); // the model sorts what it loaded
  QCOMPARE(folders->filePath(tree->currentIndex()), deep);
  QVERIFY(tree->viewport()->rect().contains(tree->visualRect(tree->currentIndex())));
}

void PictureChooserTest::settingsWrittenWhenDiscarded() {
  // Beside the program's own settings file.
  const QString settings = TBmp_dialog::SettingsFile();
  QCOMPARE(settings, qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/Tessel/BMPPROP.INI"));
  QCOMPARE(QFileInfo(settings).absolutePath(), QFileInfo(QSettings().fileName()).absolutePath());
  QFile::remove(settings);
  {
    TBitmapEditor editor;
    QVERIFY(!QFile::exists(settings));
  }
  QFile written(settings);
  QVERIFY(written.open(QIODevice::ReadOnly | QIODevice::Text));
  const QString text = QString::fromUtf8(written.readAll());
  QVERIFY2(text.contains(QStringLiteral("[Options]\nSaveSettings=0\n")), qPrintable(text));
  QCOMPARE(QSettings(settings, QSettings::IniFormat).value(QStringLiteral("Options/SaveSettings")).toInt(), 0);
}

QTEST_MAIN(PictureChooserTest)
#include "Bmpdialog_test.moc"
