#pragma once
// The editor frame protocol: every editable persistent class is edited by a
// frame derived from TFrame_OAOR. A frame edits one object (or a new object of
// its class) and writes to it only when its owner calls Save.

#include <QWidget>

#include <memory>

namespace tessel {

class ClassRef;
class MObject_OCS;

// A persistent object kept across user actions. The user may delete it while
// a window still refers to it: get() then answers null instead of a dangling
// pointer.
class WatchedObject {
public:
  WatchedObject() = default;
  explicit WatchedObject(MObject_OCS* object);

  // The object while it is alive, else null.
  MObject_OCS* get() const { return alive_ && *alive_ ? object_ : nullptr; }
  // Whether an object was given at all (alive or not).
  bool isSet() const { return object_ != nullptr; }
  bool gone() const { return isSet() && !get(); }

private:
  MObject_OCS* object_ = nullptr;
  std::shared_ptr<const bool> alive_;
};

// How the editor frames show a field: white and enabled when editable,
// otherwise grey RGB(128,128,128) and disabled.
void PaintField(QWidget* field, bool editable);

class TFrame_OAOR : public QWidget {
  Q_OBJECT
public:
  explicit TFrame_OAOR(QWidget* parent = nullptr);
  ~TFrame_OAOR() override;

  // Remembers the object, then Clear(true).
  virtual void ShowObject(MObject_OCS* object);
  // Empties every field; editable fields are enabled and white, the others
  // disabled and grey.
  virtual void Clear(bool editable);
  // The class of the objects edited; frames set their own size here.
  virtual void SetClass(const ClassRef& cls);
  // When the hosting window goes.
  virtual void CloseFrame();
  // The interface texts in the language of `languageIndex` (0: French).
  virtual void SetLanguage(int languageIndex);
  // SetLanguage, Clear(true), then ShowObject when an object is given.
  virtual void Open(MObject_OCS* object);
  // Creates a new object of the class when the frame holds none; frames then
  // store their fields into the object.
  virtual void Save();

  // The frame's object; null when it holds none or when it was freed.
  MObject_OCS* Object() const { return object_.get(); }
  // Whether the frame was given an object that has been freed since.
  bool ObjectGone() const { return object_.gone(); }
  const ClassRef* EditedClass() const { return class_; }

private:
  WatchedObject object_;
  const ClassRef* class_ = nullptr;
};

} // namespace tessel
