#pragma once
// The user prompts of the desktop program: French message boxes, the engine's
// error window and the busy cursor.

#include "foundation/UserPrompts.h"

#include <QString>

#include <functional>
#include <type_traits>
#include <utility>

class QApplication;
class QMessageBox;

namespace tessel {

class MessageBoxPrompts final : public UserPrompts {
public:
  void message(MessageKind kind, const std::string& text) override;
  bool askYesNo(const std::string& text) override;
  bool askYesCancel(const std::string& text) override;
  Answer askYesNoCancel(const std::string& text) override;
  void showError(const std::string& text) override;
  void setBusy(bool busy) override;

  int busyDepth() const { return busyDepth_; }

private:
  int busyDepth_ = 0;
};

// Captions of the message boxes.
QString MessageCaption(MessageKind kind);
inline QString ConfirmationCaption() { return QStringLiteral("Confirmation"); }

// Called in a catch block: shows what escaped a command in an "Erreur" box.
// Answers false, as for an event nobody handled.
bool ReportEscapedException();

// Runs a command and reports what it throws as above, so that nothing
// unwinds through the toolkit's frames. Answers whether it ran to its end.
// Every user command goes through it: slots connect Reported(command), event
// handlers call it themselves.
bool RunReported(const std::function<void()>& command);

// A slot running `command` through RunReported; the signal's arguments are
// passed on when the command takes them.
template <typename Command>
auto Reported(Command command) {
  return [command = std::move(command)](const auto&... arguments) mutable {
    RunReported([&] {
      if constexpr (std::is_invocable_v<Command&, decltype(arguments)...>) command(arguments...);
      else command();
    });
  };
}

// Run once at start, after the application object exists: French texts in
// Qt's own dialogs, French dates, and the prompts above for everything the
// core asks.
void InstallFrenchUserInterface(QApplication& app);

} // namespace tessel
