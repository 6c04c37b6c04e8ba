#pragma once
// Shared module of the introduction window: its two commands, "about" and
// "environment options".

#include <QObject>
#include <QPointer>

class QAction;

namespace tessel {

class TForme_introduction;

class TDM_intro : public QObject {
  Q_OBJECT
public:
  explicit TDM_intro(QObject* parent = nullptr);
  ~TDM_intro() override;
  // The module of this run (created once at start-up), or null.
  static TDM_intro* instance();

  // The window serving both commands, created after this module.
  void setIntroduction(TForme_introduction* window);
  TForme_introduction* introduction() const;

  QAction* const Act_a_propos;
  QAction* const Act_options;

private:
  QPointer<TForme_introduction> introduction_;
};

} // namespace tessel
