#include "widgets/MessageBoxPrompts.h"

#include "foundation/Cp1252.h"
#include "foundation/Errors.h"
#include "foundation/ZEP_Dates.h"
#include "model/EditHistory.h"
#include "widgets/ErrorWindow.h"
#include "widgets/ProgramValues.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QTranslator>

#include <exception>
#include <memory>
#include <new>

namespace tessel {

namespace {

QMessageBox* newBox(QMessageBox::Icon icon, const QString& caption, const std::string& text) {
  auto* box = new QMessageBox(icon, caption, fromEngineLines(text), QMessageBox::NoButton, QApplication::activeWindow());
  box->setTextFormat(Qt::PlainText);
  return box;
}

} // namespace

QString MessageCaption(MessageKind kind) {
  switch (kind) {
  case MessageKind::Information: return QStringLiteral("Information");
  case MessageKind::Warning: return QStringLiteral("Avertissement");
  case MessageKind::Error: return QStringLiteral("Erreur");
  case MessageKind::Plain: break;
  }
  return ProductNameText();
}

void MessageBoxPrompts::message(MessageKind kind, const std::string& text) {
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  switch (kind) {
  case MessageKind::Information: icon = QMessageBox::Information; break;
  case MessageKind::Warning: icon = QMessageBox::Warning; break;
  case MessageKind::Error: icon = QMessageBox::Critical; break;
  case MessageKind::Plain: break;
  }
  std::unique_ptr<QMessageBox> box(newBox(icon, MessageCaption(kind), text));
  QPushButton* ok = box->addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
  box->setDefaultButton(ok);
  box->setEscapeButton(ok);
  box->exec();
}

bool MessageBoxPrompts::askYesNo(const std::string& text) {
  std::unique_ptr<QMessageBox> box(newBox(QMessageBox::Question, ConfirmationCaption(), text));
  QPushButton* yes = box->addButton(QStringLiteral("&Oui"), QMessageBox::YesRole);
  QPushButton* no = box->addButton(QStringLiteral("&Non"), QMessageBox::NoRole);
  box->setDefaultButton(yes);
  box->setEscapeButton(no);
  box->exec();
  return box->clickedButton() == yes;
}

bool MessageBoxPrompts::askYesCancel(const std::string& text) {
  std::unique_ptr<QMessageBox> box(newBox(QMessageBox::Question, ConfirmationCaption(), text));
  QPushButton* yes = box->addButton(QStringLiteral("&Oui"), QMessageBox::YesRole);
  QPushButton* cancel = box->addButton(QStringLiteral("Annuler"), QMessageBox::RejectRole);
  box->setDefaultButton(yes);
  box->setEscapeButton(cancel);
  box->exec();
  return box->clickedButton() == yes;
}

Answer MessageBoxPrompts::askYesNoCancel(const std::string& text) {
  std::unique_ptr<QMessageBox> box(newBox(QMessageBox::Question, ConfirmationCaption(), text));
  QPushButton* yes = box->addButton(QStringLiteral("&Oui"), QMessageBox::YesRole);
  QPushButton* no = box->addButton(QStringLiteral("&Non"), QMessageBox::NoRole);
  QPushButton* cancel = box->addButton(QStringLiteral("Annuler"), QMessageBox::RejectRole);
  box->setDefaultButton(yes);
  box->setEscapeButton(cancel);
  box->exec();
  if (box->clickedButton() == yes) return Answer::Yes;
  if (box->clickedButton() == no) return Answer::No;
  return Answer::Cancel;
}

void MessageBoxPrompts::showError(const std::string& text) {
  TForme_erreur::ShowError(fromCp1252(text), QApplication::activeWindow());
}

void MessageBoxPrompts::setBusy(bool busy) {
  if (busy) {
    if (busyDepth_++ == 0) QApplication::setOverrideCursor(Qt::WaitCursor);
  } else if (busyDepth_ > 0) {
    if (--busyDepth_ == 0) QApplication::restoreOverrideCursor();
  }
}

bool ReportEscapedException() {
  try {
    throw;
  } catch (const TesselError& e) {
    prompts().message(MessageKind::Error, e.what());
  } catch (const std::bad_alloc&) {
    prompts().message(MessageKind::Error, std::string("Mémoire insuffisante pour terminer la commande."_w));
  } catch (const std::exception& e) {
    prompts().message(MessageKind::Error, toCp1252(QString::fromUtf8(e.what())));
  } catch (...) {
    prompts().message(MessageKind::Error, std::string("La commande a échoué pour une raison inconnue."_w));
  }
  return false;
}

bool RunReported(const std::function<void()>& command) {
  // The command's changes of the document are one step of the edit history;
  // the step is closed before a failure is shown, so the box's own events
  // are no part of it.
  EditHistory& history = EditHistory::instance();
  std::exception_ptr failure;
  history.beginCommand();
  try {
    command();
  } catch (...) {
    failure = std::current_exception();
  }
  try {
    history.endCommand();
  } catch (...) {
    if (!failure) failure = std::current_exception();
  }
  if (!failure) return true;
  try {
    std::rethrow_exception(failure);
  } catch (...) {
    return ReportEscapedException();
  }
}

void InstallFrenchUserInterface(QApplication& app) {
  // Dates read in the language of every caption: a system in another language
  // still gets French names; a French-speaking one keeps its own formats.
  const QLocale system = QLocale::system();
  const QLocale french = system.language() == QLocale::French ? system : QLocale(QLocale::French, QLocale::France);
  QLocale::setDefault(french);
  setDateLocale(french);

  // Qt's own dialogs (colour, files, printing) in French, like ours.
  static QTranslator qtTranslator;
  if (qtTranslator.load(QLocale(QLocale::French, QLocale::France), QStringLiteral("qtbase"), QStringLiteral("_"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    app.installTranslator(&qtTranslator);
  static MessageBoxPrompts prompts;
  installPrompts(&prompts);
}

} // namespace tessel
