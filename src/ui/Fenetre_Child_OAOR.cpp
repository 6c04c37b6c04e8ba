#include "ui/Fenetre_Child_OAOR.h"

#include "foundation/Cp1252.h"
#include "foundation/Errors.h"
#include "foundation/F_erreur.h"
#include "foundation/UserPrompts.h"
#include "model/DocumentManager.h"
#include "model/EditHistory.h"
#include "model/Tadministration_FRAME.h"
#include "ui/Cadre_Contenu.h"
#include "ui/Cadre_OAOR.h"
#include "ui/Cadre_res_personne.h"
#include "ui/Cadre_res_societe.h"
#include "widgets/EditSteps.h"
#include "widgets/IconSet.h"
#include "widgets/MessageBoxPrompts.h"
#include "widgets/U_DM_metier.h"
#include "widgets/UiFonts.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

#include <string_view>
#include <utility>

namespace tessel {

namespace {

constexpr int ButtonStripHeight = 29;
constexpr int CaptionLength = 25;
constexpr QPoint CascadeStep{20, 20};

QList<TMDIChild_OAOR*>& openWindows() {
  static QList<TMDIChild_OAOR*> windows;
  return windows;
}

EditorResult lastResult = EditorResult::Cancel;

QPointer<QWidget>& ownerWindow() {
  static QPointer<QWidget> owner;
  return owner;
}

QPushButton* makeButton(const char* name, const QString& picture, int x, QWidget* parent) {
  auto* button = new QPushButton(QIcon(RenderPicture(picture, QSize(16, 16))), QString(), parent);
  button->setObjectName(QLatin1String(name));
  button->setGeometry(x, (ButtonStripHeight - 25) / 2, 75, 25);
  return button;
}

QString displayNameOf(const ClassRef& cls) {
  // Every registered class has a display name; another one shows its own name.
  try {
    return fromCp1252(cls.ClassDisplayName());
  } catch (const TesselError&) {
    return fromCp1252(cls.name());
  }
}

// The first field of `area` that Tab reaches, null when there is none.
QWidget* firstField(QWidget* area) {
  for (QWidget* w = area->nextInFocusChain(); w && w != area; w = w->nextInFocusChain()) {
    if (!area->isAncestorOf(w)) continue;
    if ((w->focusPolicy() & Qt::TabFocus) && w->isEnabled() && w->isVisibleTo(area->window())) return w;
  }
  return nullptr;
}

// For a class whose editor frame is not part of this program: says so and
// stores nothing.
class MissingEditorFrame : public TFrame_OAOR {
public:
  explicit MissingEditorFrame(QWidget* parent) : TFrame_OAOR(parent) {
    setObjectName(QStringLiteral("MissingEditorFrame"));
    auto* message = new QLabel(QStringLiteral("Aucun éditeur n'est disponible pour cet objet."), this);
    message->setAlignment(Qt::AlignCenter);
    message->setWordWrap(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(message);
  }
  void SetClass(const ClassRef& cls) override {
    TFrame_OAOR::SetClass(cls);
    resize(260, 80);
  }
  void Save() override {}
};

} // namespace

TFrame_OAOR* CreateEditorFrame(const std::string& frameClass, QWidget* parent) {
  using Factory = TFrame_OAOR* (*)(QWidget*);
  // The editor frames by the names the class registry gives them.
  static const std::pair<std::string_view, Factory> frames[] = {
      {"TFrame_contenu", [](QWidget* p) -> TFrame_OAOR* { return new TFrame_contenu(p); }},
      {"TFrame_personne", [](QWidget* p) -> TFrame_OAOR* { return new TFrame_personne(p); }},
      {"TFrame_societe", [](QWidget* p) -> TFrame_OAOR* { return new TFrame_societe(p); }},
  };
  for (const auto& [name, make] : frames)
    if (SameText(name, frameClass)) return make(parent);
  return new MissingEditorFrame(parent);
}

QString EditorCaption(const ClassRef& cls, const MObject_OCS& object) {
  const QString text = displayNameOf(cls) + QStringLiteral(" : ") + fromCp1252(object.DisplayText());
  return text.left(CaptionLength) + QStringLiteral("...");
}

TMDIChild_OAOR::TMDIChild_OAOR(QWidget* parent)
    : TMDI_base(parent),
      Panel_frame(new QWidget(this)),
      Panel_boutons(new QWidget(this)),
      BB_valider(makeButton("BB_valider", QStringLiteral("action-ok.svg"), 16, Panel_boutons)),
      BB_annuler(makeButton("BB_annuler", QStringLiteral("action-cancel.svg"), 96, Panel_boutons)) {
  setObjectName(QStringLiteral("TMDIChild_OAOR"));
  setFont(MsSansSerif(8));

  Panel_frame->setObjectName(QStringLiteral("Panel_frame"));
  Panel_frame->installEventFilter(this);
  auto* frameLayout = new QVBoxLayout(Panel_frame);
  frameLayout->setContentsMargins(5, 5, 5, 6);

  Panel_boutons->setObjectName(QStringLiteral("Panel_boutons"));
  Panel_boutons->setFixedHeight(ButtonStripHeight);
  // Only "OK" itself (or Ctrl+W) stores: Return, wherever it is pressed,
  // never closes the window with what happens to be typed.
  for (QPushButton* button : {BB_valider, BB_annuler}) button->setAutoDefault(false);
  connect(BB_valider, &QPushButton::clicked, this, Reported([this] { Valider(); }));
  connect(BB_annuler, &QPushButton::clicked, this, &TMDIChild_OAOR::Annuler);
  // Its object goes with the document: what was typed and not confirmed too.
  connect(&DocumentManager::instance(), &DocumentManager::aboutToClose, this, [this] {
    if (openWindows().contains(this)) Annuler();
  });
  // An undo took its object away: nothing is left to edit.
  connect(&EditHistory::instance(), &EditHistory::restored, this, [this] {
    if (openWindows().contains(this) && frame_ && frame_->ObjectGone()) Annuler();
  });

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(Panel_frame, 1);
  layout->addWidget(Panel_boutons);
  setTexts();
}

TMDIChild_OAOR::~TMDIChild_OAOR() {
  openWindows().removeAll(this);
  if (frame_) frame_->CloseFrame();
}

void TMDIChild_OAOR::setTexts() {
  setWindowTitle(QStringLiteral("Contenu"));
  BB_valider->setText(QStringLiteral("OK"));
  BB_annuler->setText(QStringLiteral("Annuler"));
}

void TMDIChild_OAOR::PrepareForClass(const ClassRef& cls) {
  setTexts();
  delete frame_;
  Tadministration_FRAME& registry = Tadministration_FRAME::instance();
  frame_ = CreateEditorFrame(registry.frameClassOf(cls), Panel_frame);
  frame_->SetClass(cls);
  Panel_frame->layout()->addWidget(frame_);
  resize(frame_->width() + 10, frame_->height() + 40);
  if (const TDM_metier* module = TDM_metier::instance()) {
    const int picture = registry.imageIndexOf(cls);
    if (picture >= 0) setWindowIcon(module->IMGlist_classe.icon(picture));
  }
  setWindowTitle(displayNameOf(cls));
}

void TMDIChild_OAOR::ShowObject(MObject_OCS* object) {
  if (!frame_) return;
  frame_->Open(object);
  if (object) setWindowTitle(EditorCaption(object->classe(), *object));
}

const QList<TMDIChild_OAOR*>& TMDIChild_OAOR::OpenWindows() { return openWindows(); }

EditorResult TMDIChild_OAOR::LastResult() { return lastResult; }

void TMDIChild_OAOR::SetOwnerWindow(QWidget* owner) { ownerWindow() = owner; }

QWidget* TMDIChild_OAOR::OwnerWindow() { return ownerWindow(); }

void TMDIChild_OAOR::Valider() {
  // The object was deleted since the window opened: there is nothing left to
  // store the fields into.
  if (frame_ && frame_->ObjectGone()) {
    lastResult = EditorResult::Cancel;
    prompts().message(MessageKind::Warning,
                      std::string("Cet objet n'existe plus : les modifications ne peuvent pas être enregistrées."_w));
    done(Rejected);
    return;
  }
  lastResult = EditorResult::Ok;
  const bool created = frame_ && !frame_->Object();
  if (frame_) frame_->Save();
  if (const MObject_OCS* object = frame_ ? frame_->Object() : nullptr)
    NameEditStep((created ? QStringLiteral("la création de %1") : QStringLiteral("la modification de %1"))
                     .arg(QuotedName(object->DisplayText())));
  DocumentManager::instance().SetDocumentModified(true);
  done(Accepted);
}

void TMDIChild_OAOR::Annuler() {
  lastResult = EditorResult::Cancel;
  done(Rejected);
}

void TMDIChild_OAOR::done(int result) {
  openWindows().removeAll(this);
  TMDI_base::done(result);
}

void TMDIChild_OAOR::showEvent(QShowEvent* event) {
  TMDI_base::showEvent(event);
  // What the user types next belongs here: the window takes the keyboard at
  // once, on its first field unless a field of its own already had it.
  QWidget* focused = focusWidget();
  if (!focused || !Panel_frame->isAncestorOf(focused) || !focused->isVisible() || !focused->isEnabled())
    if (QWidget* first = firstField(Panel_frame)) first->setFocus(Qt::ActiveWindowFocusReason);
  raise();
  activateWindow();
}

bool TMDIChild_OAOR::eventFilter(QObject* watched, QEvent* event) {
  // Painted rather than set in the palette, which the frame would inherit.
  if (watched == Panel_frame && event->type() == QEvent::Paint) {
    QPainter(Panel_frame).fillRect(Panel_frame->rect(), palette().color(QPalette::Dark));
    return true;
  }
  return TMDI_base::eventFilter(watched, event);
}

bool TMDIChild_OAOR::PreviewKey(QKeyEvent& event) {
  if (event.key() == Qt::Key_W && (event.modifiers() & ~Qt::KeypadModifier) == Qt::ControlModifier) {
    RunReported([this] { Valider(); });
    return true;
  }
  return false;
}

void TMDIChild_OAOR::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
    Annuler();
    return;
  }
  TMDI_base::keyPressEvent(event);
}

namespace {

// The window already open on `object` (for none: a window whose frame holds
// no object yet), or a new one, not shown yet.
TMDIChild_OAOR* editorWindowFor(MObject_OCS* object, const ClassRef& cls) {
  for (TMDIChild_OAOR* window : openWindows()) {
    const TFrame_OAOR* frame = window->Frame();
    if (!frame) continue;
    const bool same = object ? frame->Object() == object : !frame->Object() && !frame->ObjectGone();
    if (same) return window;
  }
  auto* window = new TMDIChild_OAOR(TMDIChild_OAOR::OwnerWindow());
  window->setAttribute(Qt::WA_DeleteOnClose);
  window->PrepareForClass(cls);
  window->ShowObject(object);
  // Each new window a step below and right of the last one, so none hides another.
  if (!openWindows().isEmpty()) window->move(openWindows().back()->pos() + CascadeStep);
  openWindows().append(window);
  return window;
}

} // namespace

TMDIChild_OAOR* EditObject(MObject_OCS* object, const ClassRef& cls) {
  TMDIChild_OAOR* window = editorWindowFor(object, cls);
  window->show();
  window->raise();
  window->activateWindow();
  return window;
}

MObject_OCS* EditObjectModally(MObject_OCS* object, const ClassRef& cls, EditorResult* result) {
  // Shown once, modal from the start: a window that flickers on and off
  // may lose the keyboard to the window behind it. A window already open
  // keeps what was typed in it and comes back modal.
  const QPointer<TMDIChild_OAOR> window = editorWindowFor(object, cls);
  window->hide();
  // Kept until its frame's object is read.
  window->setAttribute(Qt::WA_DeleteOnClose, false);
  const int closed = window->exec();
  if (result) *result = window && closed == QDialog::Accepted ? EditorResult::Ok : EditorResult::Cancel;
  if (!window) return nullptr;
  MObject_OCS* held = window->Frame() ? window->Frame()->Object() : nullptr;
  delete window.data();
  return held;
}

} // namespace tessel
