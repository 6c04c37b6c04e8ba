#pragma once
// The text area of the content editor: the text ("Description :") and, under
// a splitter, the comment ("Commentaire :"). Tab moves on; Ctrl+Tab types a
// tab.

#include <QString>
#include <QWidget>

#include <string>
#include <string_view>

class QLabel;
class QSplitter;
class QTextEdit;

namespace tessel {

class Mcontenu;

// A stored free text as an editor shows it: decoded, lines ending with "\n".
QString EditorTextOf(std::string_view stored);
// An editor's text as it is stored: `blank` when it holds only blanks,
// otherwise its lines ending with CR LF (none after the last), encoded.
std::string StoredTextOf(const QString& editorText, std::string_view blank);

// The editors of free texts: no border, a vertical scroll bar, Tab moves on
// and Ctrl+Tab types a tab (the hint says so).
QTextEdit* NewFreeTextEditor(const char* name, QWidget* parent);
// The right-aligned bold caption over such an editor.
QLabel* NewFreeTextCaption(const char* name, QWidget* parent);
// What such an editor holds, its paragraph breaks as "\n", no-break spaces kept.
QString FreeTextOf(const QTextEdit& editor);

class TFrame_description : public QWidget {
  Q_OBJECT
public:
  explicit TFrame_description(QWidget* parent = nullptr);

  void SetLanguage(int languageIndex);
  // Both editors emptied, enabled and white, or disabled and grey.
  void Clear(bool editable);
  // "Texte" and "Commentaire" of the content, decoded, added to the editors.
  void ShowContent(const Mcontenu& content);
  // The editors into "Texte" ("<Vide>" when blank) and "Commentaire"
  // ("<Sans commentaire>" when blank).
  void SaveContent(Mcontenu& content) const;

  QLabel* const Label_description;
  QTextEdit* const RE_texte;
  QSplitter* const Splitter;
  QWidget* const Panel_commentaire;
  QLabel* const Label_commentaire;
  QTextEdit* const RE_commentaire;
};

} // namespace tessel
