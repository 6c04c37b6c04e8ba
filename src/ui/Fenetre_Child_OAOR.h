#pragma once
// The editor window: one editor frame, chosen by the class registry, for one
// object or for a new object of a class. "OK" (or Ctrl+W) stores the fields
// and marks the document modified; "Annuler" leaves the object as it was.
//
// Screens open an editor with EditObject (non-modal; the window already open
// on the object comes to the front) or EditObjectModally (waits until the
// window closes).

#include "ui/Fenetre_Child_Base.h"

#include <QList>

#include <string>

class QPushButton;

namespace tessel {

class ClassRef;
class MObject_OCS;
class TFrame_OAOR;

enum class EditorResult { Ok, Cancel };

class TMDIChild_OAOR : public TMDI_base {
  Q_OBJECT
public:
  explicit TMDIChild_OAOR(QWidget* parent = nullptr);
  ~TMDIChild_OAOR() override;

  // Texts, a new editor frame of the class, the window's size, icon and
  // caption (the class's display name).
  void PrepareForClass(const ClassRef& cls);
  // Open on the frame; with an object, the caption names it.
  void ShowObject(MObject_OCS* object);

  TFrame_OAOR* Frame() const { return frame_; }

  // Every editor window open, in opening order.
  static const QList<TMDIChild_OAOR*>& OpenWindows();
  // How the last editor window closed with its buttons (Cancel before any).
  static EditorResult LastResult();
  // The window the editor windows belong to (the main window): they stay
  // above it and go with it.
  static void SetOwnerWindow(QWidget* owner);
  static QWidget* OwnerWindow();

  QWidget* const Panel_frame;
  QWidget* const Panel_boutons;
  QPushButton* const BB_valider;
  QPushButton* const BB_annuler;

public slots:
  // "OK" and Ctrl+W.
  void Valider();
  // "Annuler" and Escape.
  void Annuler();

public:
  void done(int result) override;

protected:
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  bool PreviewKey(QKeyEvent& event) override;
  void keyPressEvent(QKeyEvent* event) override;

private:
  void setTexts();

  TFrame_OAOR* frame_ = nullptr;
};

// The window's caption for an object: the first 25 characters of the class's
// display name, " : " and the object's text, then "...".
QString EditorCaption(const ClassRef& cls, const MObject_OCS& object);

// A new editor frame of the class named `frameClass` (as the class registry
// names them); a frame saying that no editor exists for names without one.
TFrame_OAOR* CreateEditorFrame(const std::string& frameClass, QWidget* parent);

// Opens an editor on `object`, or on a new object of `cls` when it is null;
// the window already open on it comes to the front instead (for a new object:
// any window whose frame has no object yet).
TMDIChild_OAOR* EditObject(MObject_OCS* object, const ClassRef& cls);

// The same window, shown again on the object and run modally; it is gone on
// return. Answers the object its frame held when it closed (a new object made
// by OK), null when it held none. `result`, when given, tells whether this
// window was closed with OK (any other way of closing it is Cancel).
MObject_OCS* EditObjectModally(MObject_OCS* object, const ClassRef& cls, EditorResult* result = nullptr);

} // namespace tessel
