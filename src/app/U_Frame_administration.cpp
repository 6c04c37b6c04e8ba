#include "app/U_Frame_administration.h"

#include "foundation/Cp1252.h"
#include "model/DocumentManager.h"
#include "model/U_class_user_tessel.h"
#include "ui/Cadre_res_personne.h"
#include "widgets/MessageBoxPrompts.h"
#include "widgets/ProgramValues.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLayout>
#include <QPainter>
#include <QSignalBlocker>
#include <QTabBar>
#include <QTextEdit>
#include <QVBoxLayout>


namespace tessel {

namespace {

constexpr int EditorWidth = 265;

// What an editor shows, field by field, to tell whether the user changed
// anything: saving also writes what merely reads the same (an absent comment
// becomes "<Sans commentaire>"), which is no reason to ask for a save.
QStringList shownState(const QWidget& editor) {
  QStringList state;
  for (const QWidget* widget : editor.findChildren<QWidget*>()) {
    state << widget->toolTip();
    if (const auto* line = qobject_cast<const QLineEdit*>(widget)) state << line->text();
    else if (const auto* list = qobject_cast<const QComboBox*>(widget)) state << QString::number(list->currentIndex());
    else if (const auto* button = qobject_cast<const QAbstractButton*>(widget)) state << QString::number(button->isChecked());
    else if (const auto* text = qobject_cast<const QTextEdit*>(widget)) state << text->toPlainText();
    else if (const auto* label = qobject_cast<const QLabel*>(widget)) state << label->text();
  }
  return state;
}

Mutilisateur_tessel* loadedUser(int index) {
  const ClassRef& users = Mutilisateur_tessel::Class();
  return index >= 0 && index < users.LoadedCount() ? static_cast<Mutilisateur_tessel*>(users.LoadedItem(index))
                                                    : nullptr;
}

} // namespace

TFrame_administration::TFrame_administration(QWidget* parent)
    : QWidget(parent), TC_utilisateurs(new QTabBar(this)), Frame_personne(new TFrame_personne(this)) {
  setObjectName(QStringLiteral("TFrame_administration"));
  TC_utilisateurs->setObjectName(QStringLiteral("TC_utilisateurs"));
  TC_utilisateurs->setExpanding(false);
  TC_utilisateurs->setDrawBase(false);
  TC_utilisateurs->setUsesScrollButtons(true);
  connect(TC_utilisateurs, &QTabBar::currentChanged, this, [this](int index) { tabChanged(index); });

  Frame_personne->Panel_OR->hide();
  Frame_personne->setFixedWidth(EditorWidth);
  auto* body = new QHBoxLayout;
  body->setContentsMargins(0, 0, 0, 0);
  body->addWidget(Frame_personne);
  body->addStretch(1);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 2, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(TC_utilisateurs);
  layout->addLayout(body, 1);

  connect(&DocumentManager::instance(), &DocumentManager::aboutToClose, this, [this] { dropUsers(); });
}

TFrame_administration::~TFrame_administration() = default;

void TFrame_administration::RefreshUsers() {
  {
    const QSignalBlocker quiet(TC_utilisateurs);
    while (TC_utilisateurs->count() > 0) TC_utilisateurs->removeTab(0);
    const ClassRef& users = Mutilisateur_tessel::Class();
    for (int i = 0; i < users.LoadedCount(); ++i)
      TC_utilisateurs->addTab(fromCp1252(loadedUser(i)->Nom()));
    TC_utilisateurs->setCurrentIndex(0);
  }
  ShowUser(0);
  update();
}

void TFrame_administration::ShowUser(int index) {
  Mutilisateur_tessel* user = loadedUser(index);
  Frame_personne->SetClass(Mutilisateur_tessel::Class());
  // The editor takes the height of the window, not the one it sets itself.
  layout()->invalidate();
  layout()->activate();
  Frame_personne->Open(user);
  // Without a user there is nothing to edit (and nothing to create).
  if (!user) Frame_personne->Clear(false);
  shown_ = WatchedObject(user);
  shownIndex_ = user ? index : -1;
  shownState_ = shownState(*Frame_personne);
}

bool TFrame_administration::SaveShownUser() {
  MObject_OCS* user = shown_.get();
  if (!user || Frame_personne->Object() != user) return true;
  const bool saved = RunReported([this] { Frame_personne->Save(); });
  const QStringList state = shownState(*Frame_personne);
  if (state != shownState_) DocumentManager::instance().SetDocumentModified(true);
  if (saved) shownState_ = state;
  if (saved && shownIndex_ >= 0 && shownIndex_ < TC_utilisateurs->count())
    TC_utilisateurs->setTabText(shownIndex_, fromCp1252(static_cast<Mutilisateur_tessel*>(user)->Nom()));
  return saved;
}

void TFrame_administration::tabChanged(int index) {
  if (index == shownIndex_) return;
  if (!SaveShownUser()) {
    // The fields the user could not store stay on screen, under their tab.
    const QSignalBlocker quiet(TC_utilisateurs);
    TC_utilisateurs->setCurrentIndex(shownIndex_);
    return;
  }
  ShowUser(index);
}

void TFrame_administration::dropUsers() {
  {
    const QSignalBlocker quiet(TC_utilisateurs);
    while (TC_utilisateurs->count() > 0) TC_utilisateurs->removeTab(0);
  }
  Frame_personne->ShowObject(nullptr);
  Frame_personne->Clear(false);
  shown_ = WatchedObject();
  shownIndex_ = -1;
  shownState_.clear();
}

void TFrame_administration::paintEvent(QPaintEvent*) { QPainter(this).fillRect(rect(), WorkspaceColour); }

} // namespace tessel
