#include "ui/Sous_cadre_description.h"

#include "foundation/Cp1252.h"
#include "foundation/ZEP_Dictionnaire.h"
#include "model/U_class_contenu.h"
#include "ui/Cadre_OAOR.h"

#include <QKeyEvent>
#include <QLabel>
#include <QSplitter>
#include <QTextEdit>
#include <QVBoxLayout>

namespace tessel {

namespace {

constexpr int CommentStripHeight = 41;

// Ctrl+Tab in a free-text editor types a tab; Tab alone moves on.
class CtrlTabTypesTab : public QObject {
public:
  using QObject::QObject;

protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::KeyPress) {
      const auto* key = static_cast<QKeyEvent*>(event);
      if (key->key() == Qt::Key_Tab && key->modifiers() == Qt::ControlModifier) {
        static_cast<QTextEdit*>(watched)->insertPlainText(QStringLiteral("\t"));
        return true;
      }
    }
    return QObject::eventFilter(watched, event);
  }
};

} // namespace

QString EditorTextOf(std::string_view stored) { return fromEngineLines(DecodeText(stored)); }

std::string StoredTextOf(const QString& editorText, std::string_view blank) {
  if (editorText.trimmed().isEmpty()) return std::string(blank);
  return EncodeText(toEngineLines(editorText));
}

QTextEdit* NewFreeTextEditor(const char* name, QWidget* parent) {
  auto* editor = new QTextEdit(parent);
  editor->setObjectName(QLatin1String(name));
  editor->setFrameShape(QFrame::NoFrame);
  editor->setAcceptRichText(false);
  editor->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  editor->setTabChangesFocus(true);
  // Comment strips are low: the scroll bar must not set the height.
  editor->setMinimumHeight(16);
  editor->setToolTip(QStringLiteral("CRTL+TAB pour les tabulations"));
  editor->installEventFilter(new CtrlTabTypesTab(editor));
  return editor;
}

QLabel* NewFreeTextCaption(const char* name, QWidget* parent) {
  auto* label = new QLabel(parent);
  label->setObjectName(QLatin1String(name));
  label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  QFont font = label->font();
  font.setBold(true);
  label->setFont(font);
  return label;
}

QString FreeTextOf(const QTextEdit& editor) {
  QString text = editor.document()->toRawText();
  text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
  text.replace(QChar::LineSeparator, QLatin1Char('\n'));
  return text;
}

TFrame_description::TFrame_description(QWidget* parent)
    : QWidget(parent),
      Label_description(NewFreeTextCaption("Label_description", nullptr)),
      RE_texte(NewFreeTextEditor("RE_texte", nullptr)),
      Splitter(new QSplitter(Qt::Vertical, this)),
      Panel_commentaire(new QWidget),
      Label_commentaire(NewFreeTextCaption("Label_commentaire", Panel_commentaire)),
      RE_commentaire(NewFreeTextEditor("RE_commentaire", Panel_commentaire)) {
  setObjectName(QStringLiteral("TFrame_description"));

  auto* textPanel = new QWidget;
  auto* textLayout = new QVBoxLayout(textPanel);
  textLayout->setContentsMargins(0, 0, 0, 0);
  textLayout->setSpacing(0);
  textLayout->addWidget(Label_description);
  textLayout->addWidget(RE_texte, 1);

  Panel_commentaire->setObjectName(QStringLiteral("Panel_commentaire"));
  auto* commentLayout = new QVBoxLayout(Panel_commentaire);
  commentLayout->setContentsMargins(0, 0, 0, 0);
  commentLayout->setSpacing(0);
  commentLayout->addWidget(Label_commentaire);
  commentLayout->addWidget(RE_commentaire, 1);

  Splitter->setObjectName(QStringLiteral("Splitter"));
  Splitter->setChildrenCollapsible(false);
  Splitter->setHandleWidth(3);
  Splitter->addWidget(textPanel);
  Splitter->addWidget(Panel_commentaire);
  Splitter->setStretchFactor(0, 1);
  Splitter->setStretchFactor(1, 0);
  Splitter->setSizes({200, CommentStripHeight});

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(Splitter);

  SetLanguage(0);
}

void TFrame_description::SetLanguage(int) {
  Label_description->setText(QStringLiteral("Description :"));
  Label_commentaire->setText(QStringLiteral("Commentaire :"));
}

void TFrame_description::Clear(bool editable) {
  for (QTextEdit* editor : {RE_texte, RE_commentaire}) {
    editor->clear();
    PaintField(editor, editable);
  }
}

void TFrame_description::ShowContent(const Mcontenu& content) {
  RE_texte->setPlainText(EditorTextOf(content.Texte()));
  RE_commentaire->setPlainText(EditorTextOf(content.Commentaire()));
}

void TFrame_description::SaveContent(Mcontenu& content) const {
  content.SetTexte(StoredTextOf(FreeTextOf(*RE_texte), "<Vide>"));
  content.SetCommentaire(StoredTextOf(FreeTextOf(*RE_commentaire), "<Sans commentaire>"));
}

} // namespace tessel
