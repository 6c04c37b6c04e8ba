#pragma once
// The content editor: the header (title, flags, satisfaction, themes) over
// the text and the comment.

#include "ui/Cadre_OAOR.h"

namespace tessel {

class TFrame_description;
class TFrame_entete_contenu;

class TFrame_contenu : public TFrame_OAOR {
  Q_OBJECT
public:
  explicit TFrame_contenu(QWidget* parent = nullptr);
  ~TFrame_contenu() override;

  void ShowObject(MObject_OCS* object) override;
  void Clear(bool editable) override;
  // 330 by 215 pixels.
  void SetClass(const ClassRef& cls) override;
  void SetLanguage(int languageIndex) override;
  void Save() override;

  TFrame_entete_contenu* const Frame_entete;
  TFrame_description* const Frame_description;
};

} // namespace tessel
