#pragma once
// Everything the core must ask or tell the user goes through this interface.
// The GUI installs message boxes, the CLI a terminal version, tests a recorder.
// Texts are Windows-1252, like every engine text.

#include <string>

namespace tessel {

enum class MessageKind {
  Plain,        // a bare message box with the application's title
  Information,  // caption "Information"
  Warning,      // caption "Avertissement"
  Error,        // caption "Erreur"
};

enum class Answer { Ok, Yes, No, Cancel };

class UserPrompts {
public:
  virtual ~UserPrompts() = default;
  // One OK button.
  virtual void message(MessageKind kind, const std::string& text) = 0;
  // Caption "Confirmation", buttons Yes and No.
  virtual bool askYesNo(const std::string& text) = 0;
  // Caption "Confirmation", buttons Yes and Cancel: for a step that cannot
  // be taken back, where the only other choice is to do nothing.
  virtual bool askYesCancel(const std::string& text) = 0;
  // Caption "Confirmation", buttons Yes, No and Cancel.
  virtual Answer askYesNoCancel(const std::string& text) = 0;
  // The small maroon error window of the engine.
  virtual void showError(const std::string& text) = 0;
  // Busy cursor; calls nest.
  virtual void setBusy(bool busy) = 0;
};

// The installed prompts; a quiet default (answers No / Cancel, shows nothing)
// until something is installed.
UserPrompts& prompts();
// Installs `p` (not owned; nullptr restores the default) and returns the previous one.
UserPrompts* installPrompts(UserPrompts* p);

// Busy cursor for the lifetime of the object, restored also on exceptions.
class BusyCursor {
public:
  BusyCursor() { prompts().setBusy(true); }
  ~BusyCursor() { prompts().setBusy(false); }
  BusyCursor(const BusyCursor&) = delete;
  BusyCursor& operator=(const BusyCursor&) = delete;
};

} // namespace tessel
