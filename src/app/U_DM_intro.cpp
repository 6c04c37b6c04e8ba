#include "app/U_DM_intro.h"

#include "app/Fenetre_introduction.h"
#include "widgets/ActionHints.h"
#include "widgets/MessageBoxPrompts.h"

#include <QAction>

namespace tessel {

namespace {
TDM_intro* current = nullptr;
}

TDM_intro::TDM_intro(QObject* parent)
    : QObject(parent), Act_a_propos(new QAction(this)), Act_options(new QAction(this)) {
  Act_a_propos->setObjectName(QStringLiteral("Act_a_propos"));
  SetCaption(Act_a_propos, QStringLiteral("A propos..."));
  SetHint(Act_a_propos, QStringLiteral("Fenêtre à propos"));
  Act_options->setObjectName(QStringLiteral("Act_options"));
  SetCaption(Act_options, QStringLiteral("Options d'environnement..."));
  SetHint(Act_options, QStringLiteral("Options d'environnement"));

  connect(Act_a_propos, &QAction::triggered, this, Reported([this] {
            if (introduction_) introduction_->ShowAbout();
          }));
  connect(Act_options, &QAction::triggered, this, Reported([this] {
            if (introduction_) introduction_->ShowOptions();
          }));
  current = this;
}

TDM_intro::~TDM_intro() {
  if (current == this) current = nullptr;
}

TDM_intro* TDM_intro::instance() { return current; }

void TDM_intro::setIntroduction(TForme_introduction* window) { introduction_ = window; }

TForme_introduction* TDM_intro::introduction() const { return introduction_; }

} // namespace tessel
