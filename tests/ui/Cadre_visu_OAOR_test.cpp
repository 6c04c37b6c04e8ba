// The note viewer: showing and clearing a note, its title band and
// satisfaction picture, and the "+ " button that opens the note (or a new
// comment) in an editor window.

#include "ui/Cadre_visu_OAOR.h"

#include "UiModelFixture.h"
#include "UiTestHelpers.h"
#include "foundation/Cp1252.h"
#include "model/U_OR_class_categorie.h"
#include "model/U_class_activite_tessel.h"
#include "ui/Cadre_Contenu.h"
#include "ui/Sous_cadre_description.h"
#include "ui/Sous_cadre_entete_contenu.h"
#include "widgets/PaintHelpers.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTextEdit>
#include <QToolButton>
#include <QtTest>

#include <memory>

using namespace tessel;
using tessel::test::onNextModal;
using tessel::test::processDeletions;
using tessel::test::UiModel;

namespace {

QImage pictureOf(const QIcon& icon) { return icon.pixmap(QSize(16, 16)).toImage(); }

// The top right corner of the title band, where the satisfaction picture goes.
QImage satisfactionCorner(const TFrame_visu_OAOR& viewer) {
  const QImage band = viewer.PB_titre->grab().toImage();
  const qreal ratio = band.devicePixelRatio();
  return band.copy(QRect(int((band.width() / ratio - 20) * ratio), 0, int(16 * ratio), int(16 * ratio)));
}

enum class Start { Nothing, Comment };

} // namespace

Q_DECLARE_METATYPE(Start)

class NoteViewerTest : public QObject {
  Q_OBJECT

private slots:
  void init();
  void cleanup();

  void layoutWhenEmpty();
  void showing_data();
  void showing();
  void clearing();
  void satisfactionPicture_data();
  void satisfactionPicture();
  void titleReadsOnEveryColour_data();
  void titleReadsOnEveryColour();
  void aDeletedNoteIsNoLongerShown();
  void plusOpensTheEditor_data();
  void plusOpensTheEditor();
  void plusUsesTheWindowAlreadyOpen();

private:
  std::unique_ptr<UiModel> model_;
  std::unique_ptr<TFrame_visu_OAOR> viewer_;
};

void NoteViewerTest::init() {
  model_ = std::make_unique<UiModel>();
  viewer_ = std::make_unique<TFrame_visu_OAOR>();
  viewer_->resize(600, 120);
  viewer_->show();
}

void NoteViewerTest::cleanup() {
  viewer_.reset();
  model_.reset();
}

void NoteViewerTest::layoutWhenEmpty() {
  const TFrame_visu_OAOR& viewer = *viewer_;
  QCOMPARE(viewer.Panel_haut->height(), 48);
  QCOMPARE(viewer.PB_titre->height(), 22);
  QCOMPARE(viewer.PB_icones->height(), 22);
  QCOMPARE(viewer.PB_icones->y(), 24);
  QVERIFY(!viewer.TLB_mod->isVisible());
  QVERIFY(!viewer.RE_texte->isVisible());
  QVERIFY(!viewer.CurrentObject());
  QCOMPARE(viewer.TLB_mod->text(), QStringLiteral("+ "));
  QCOMPARE(viewer.TLB_mod->toolTip(), QStringLiteral("Ouvrir / Créer un commentaire"));
  QVERIFY(viewer.RE_texte->isReadOnly());
  QCOMPARE(viewer.palette().color(QPalette::Window), QColor(192, 192, 192));
}

void NoteViewerTest::showing_data() {
  QTest::addColumn<QString>("kind");
  QTest::addColumn<QColor>("given");
  QTest::addColumn<QColor>("colour"); // invalid: button face
  QTest::addColumn<int>("picture");
  QTest::newRow("comment, class colour") << "comment" << QColor() << QColor() << 7;
  QTest::newRow("comment, given colour") << "comment" << QColor(255, 0, 0) << QColor(255, 0, 0) << 7;
  QTest::newRow("activity, class colour") << "activity" << QColor() << QColor(0, 0, 128) << 15;
  QTest::newRow("nothing") << "none" << QColor() << QColor() << 7;
}

void NoteViewerTest::showing() {
  QFETCH(QString, kind);
  QFETCH(QColor, given);
  QFETCH(QColor, colour);
  QFETCH(int, picture);
  MObject_OCS* object = nullptr;
  if (kind == QLatin1String("comment")) object = UiModel::comment("Titre", "ligne 1\r\nligne 2");
  if (kind == QLatin1String("activity")) {
    auto* activity = new Mactivite_tessel;
    activity->BindCategory(static_cast<Mcategorie*>(TObjRec::CreateNamed(Mcategorie::Class(), "Pause")));
    object = activity;
  }
  TFrame_visu_OAOR& viewer = *viewer_;
  viewer.ShowNote(object, given);
  QCOMPARE(viewer.CurrentObject(), object);
  QCOMPARE(viewer.Colour(), colour.isValid() ? colour : ButtonFaceColour());
  QVERIFY(viewer.TLB_mod->isVisible());
  QCOMPARE(pictureOf(viewer.TLB_mod->icon()), pictureOf(model_->module.IMGlist_classe.icon(picture)));
  QCOMPARE(viewer.RE_texte->isVisible(), object != nullptr);
  QCOMPARE(viewer.RE_texte->toPlainText(), kind == QLatin1String("comment") ? QStringLiteral("ligne 1\nligne 2") : QString());

  // The band runs from the colour down to the button face (in bands of a
  // few levels each).
  const QImage band = viewer.PB_titre->grab().toImage();
  const qreal ratio = band.devicePixelRatio();
  const auto near = [](const QColor& a, const QColor& b) {
    return std::abs(a.red() - b.red()) <= 12 && std::abs(a.green() - b.green()) <= 12 &&
           std::abs(a.blue() - b.blue()) <= 12;
  };
  QVERIFY(near(band.pixelColor(QPoint(int(300 * ratio), 0)), viewer.Colour()));
  QVERIFY(near(band.pixelColor(QPoint(int(300 * ratio), band.height() - 1)), ButtonFaceColour()));
}

void NoteViewerTest::clearing() {
  TFrame_visu_OAOR& viewer = *viewer_;
  viewer.ShowNote(UiModel::comment("Titre", "texte"), QColor(255, 0, 0));
  viewer.ClearNote();
  QVERIFY(!viewer.CurrentObject());
  QCOMPARE(viewer.Colour(), ButtonFaceColour());
  QVERIFY(!viewer.TLB_mod->isVisible());
  QVERIFY(!viewer.RE_texte->isVisible());
  QCOMPARE(viewer.RE_texte->toPlainText(), QString());
  // Showing nothing afterwards offers the button, for a new comment.
  viewer.ShowNote(nullptr);
  QVERIFY(viewer.TLB_mod->isVisible());
  QVERIFY(!viewer.RE_texte->isVisible());
}

void NoteViewerTest::satisfactionPicture_data() {
  QTest::addColumn<int>("mark"); // -2: never set
  QTest::addColumn<bool>("drawn");
  QTest::newRow("never set") << -2 << false;
  QTest::newRow("0") << 0 << false;
  QTest::newRow("1") << 1 << true;
  QTest::newRow("5") << 5 << true;
}

void NoteViewerTest::satisfactionPicture() {
  QFETCH(int, mark);
  QFETCH(bool, drawn);
  Mcontenu* plain = UiModel::comment("Sans note");
  TFrame_visu_OAOR& viewer = *viewer_;
  viewer.ShowNote(plain, QColor(0, 0, 128));
  const QImage without = satisfactionCorner(viewer);
  Mcontenu* marked = UiModel::comment("Notée");
  if (mark != -2) marked->SetSatisfaction(mark);
  viewer.ShowNote(marked, QColor(0, 0, 128));
  QCOMPARE(satisfactionCorner(viewer) != without, drawn);
}

void NoteViewerTest::titleReadsOnEveryColour_data() {
  QTest::addColumn<QColor>("colour");
  QTest::newRow("white category") << QColor(Qt::white);
  QTest::newRow("yellow category") << QColor(Qt::yellow);
  QTest::newRow("navy activity") << QColor(0, 0, 128);
  QTest::newRow("dark green") << QColor(0, 85, 0);
  QTest::newRow("button face") << ButtonFaceColour();
}

// The title can be made out on whatever colour the note is shown: the
// strongest contrast of its pixels with the band behind them.
void NoteViewerTest::titleReadsOnEveryColour() {
  QFETCH(QColor, colour);
  TFrame_visu_OAOR& viewer = *viewer_;
  viewer.ShowNote(UiModel::comment("Réunion de service", "texte"), colour);
  const QImage band = viewer.PB_titre->grab().toImage();
  const qreal ratio = band.devicePixelRatio();
  double best = 1;
  for (int y = 0; y < band.height(); ++y) {
    const QColor behind = band.pixelColor(int(24 * ratio), y); // left of the title
    for (int x = int(26 * ratio); x < int(200 * ratio); ++x)
      best = std::max(best, ContrastRatio(band.pixelColor(x, y), behind));
  }
  QVERIFY2(best >= ReadableContrast, qPrintable(QString::number(best)));
}

void NoteViewerTest::aDeletedNoteIsNoLongerShown() {
  Mcontenu* content = UiModel::comment("Bientôt supprimée");
  TFrame_visu_OAOR& viewer = *viewer_;
  viewer.ShowNote(content);
  content->Delete();
  QVERIFY(!viewer.CurrentObject());
  viewer.grab(); // paints without the freed note
}

void NoteViewerTest::plusOpensTheEditor_data() {
  QTest::addColumn<Start>("start");
  QTest::addColumn<bool>("ok");
  QTest::newRow("nothing, OK") << Start::Nothing << true;
  QTest::newRow("nothing, Annuler") << Start::Nothing << false;
  QTest::newRow("comment, OK") << Start::Comment << true;
  QTest::newRow("comment, Annuler") << Start::Comment << false;
}

void NoteViewerTest::plusOpensTheEditor() {
  QFETCH(Start, start);
  QFETCH(bool, ok);
  Mcontenu* shown = start == Start::Comment ? UiModel::comment("Avant", "texte d'avant") : nullptr;
  TFrame_visu_OAOR& viewer = *viewer_;
  viewer.ShowNote(shown);

  QPointer<TMDIChild_OAOR> editor;
  onNextModal<TMDIChild_OAOR>([&](TMDIChild_OAOR* window) {
    editor = window;
    QVERIFY(window->isModal());
    QCOMPARE(TMDIChild_OAOR::OpenWindows(), QList<TMDIChild_OAOR*>{window});
    auto* frame = qobject_cast<TFrame_contenu*>(window->Frame());
    QVERIFY(frame);
    QCOMPARE(frame->Object(), shown);
    frame->Frame_entete->Ed_titre_note->setText(QStringLiteral("Après"));
    frame->Frame_description->RE_texte->selectAll();
    QTest::keyClicks(frame->Frame_description->RE_texte, QStringLiteral("nouveau texte"));
    QTest::mouseClick(ok ? window->BB_valider : window->BB_annuler, Qt::LeftButton);
  });
  QTest::mouseClick(viewer.TLB_mod, Qt::LeftButton);

  // The window is gone, whichever button closed it.
  QVERIFY(!editor);
  QVERIFY(TMDIChild_OAOR::OpenWindows().isEmpty());
  QVERIFY(DocumentManager::instance().DocumentModified());
  if (start == Start::Nothing) {
    QCOMPARE(Mcontenu::Class().LoadedCount(), ok ? 1 : 0);
    QCOMPARE(viewer.CurrentObject(), ok ? Mcontenu::Class().LoadedItem(0) : nullptr);
  } else {
    QCOMPARE(viewer.CurrentObject(), shown);
    QCOMPARE(shown->Titre(), ok ? std::string("Après"_w) : std::string("Avant"));
  }
  // The text box shows the note as it now is.
  QCOMPARE(viewer.RE_texte->isVisible(), viewer.CurrentObject() != nullptr);
  if (viewer.CurrentObject())
    QCOMPARE(viewer.RE_texte->toPlainText(), ok ? QStringLiteral("nouveau texte") : QStringLiteral("texte d'avant"));
}

void NoteViewerTest::plusUsesTheWindowAlreadyOpen() {
  Mcontenu* content = UiModel::comment("Ouverte");
  TMDIChild_OAOR* open = EditObject(content, content->classe());
  viewer_->ShowNote(content);
  onNextModal<TMDIChild_OAOR>([&](TMDIChild_OAOR* window) {
    QCOMPARE(window, open);
    QTest::mouseClick(window->BB_valider, Qt::LeftButton);
  });
  QTest::mouseClick(viewer_->TLB_mod, Qt::LeftButton);
  QVERIFY(TMDIChild_OAOR::OpenWindows().isEmpty());
  processDeletions();
}

QTEST_MAIN(NoteViewerTest)
#include "Cadre_visu_OAOR_test.moc"
