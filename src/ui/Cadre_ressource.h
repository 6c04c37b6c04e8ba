#pragma once
// What every resource editor has at its bottom: the free comment and the
// strip of the taxonomy nodes the resource is classified by, with "+" to
// choose them. People and companies add their own fields above.

#include "ui/Cadre_OAOR.h"
#include "ui/LinkedNodeList.h"

#include <QString>

#include <cstdint>
#include <initializer_list>
#include <string_view>
#include <vector>

class QLabel;
class QLineEdit;
class QTextEdit;
class QToolButton;
class QVBoxLayout;

namespace tessel {

class TFrame_Mressource : public TFrame_OAOR {
  Q_OBJECT
public:
  explicit TFrame_Mressource(QWidget* parent = nullptr);
  ~TFrame_Mressource() override;

  // The decoded "Commentaire" and the resource's nodes.
  void ShowObject(MObject_OCS* object) override;
  void Clear(bool editable) override;
  void SetClass(const ClassRef& cls) override;
  void SetLanguage(int languageIndex) override;
  // "Commentaire" ("<Sans commentaire>" when blank) and the nodes.
  void Save() override;

  // The nodes the resource will be classified by, in the order they are stored.
  const LinkedNodeList& Nodes() const { return nodes_; }
  // The taxonomy of the edited class; null without one.
  const ClassRef* Taxonomy() const;

  QWidget* const Panel_commentaire;
  QLabel* const Label_commentaire;
  QTextEdit* const RE_commentaire;
  QWidget* const Panel_OR;
  QLabel* const Label_or;
  QWidget* const PB_OR;
  QToolButton* const TLB_TOR;

public slots:
  // "+": the nodes chosen in the selection window replace the working list.
  void ChooseNodes();

protected:
  // Where the subclasses put their header and pages, above the comment.
  QVBoxLayout* BodyLayout() const { return body_; }

  // A text field and the attributes it is read from and written to (one
  // attribute, as names ignore case, spelled as each way spells it).
  struct TextField {
    QLineEdit* field;
    std::string_view read;
    std::string_view written;
  };
  static void ShowFields(const MObject_OCS& object, const std::vector<TextField>& fields);
  static void SaveFields(MObject_OCS& object, const std::vector<TextField>& fields);
  static void ClearFields(const std::vector<TextField>& fields, bool editable);

  // The header's gradient: from the colour of the edited class's taxonomy
  // (`fallback` before a class is set) at the top to button face.
  void PaintHeader(QWidget& header, std::uint32_t fallback) const;

  static QLabel* NewLabel(const char* name, QWidget* parent, bool bold = false);
  static QLineEdit* NewField(const char* name, QWidget* parent);
  // A small button beside a field, with a picture file and a hint.
  static QToolButton* NewFieldButton(const char* name, const QString& picture, const QString& hint, QWidget* parent);
  // `field` with `button` at its right, as one row of a form.
  static QWidget* WithButtons(QWidget* field, std::initializer_list<QWidget*> buttons);

  // The mail and web buttons: "mailto:" and the address, or the address
  // itself, opened by the desktop's handler. Nothing for an empty field.
  static void SendMail(const QString& address);
  static void OpenWebAddress(const QString& address);

  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  void nodesChanged();

  QVBoxLayout* const body_;
  LinkedNodeList nodes_;
};

} // namespace tessel
