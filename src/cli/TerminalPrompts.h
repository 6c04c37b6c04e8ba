#pragma once
// Prompts for the command-line tool: messages go to standard error, questions
// are answered from the command line (--yes) without waiting for input.

#include "foundation/UserPrompts.h"

namespace tessel::cli {

class TerminalPrompts final : public UserPrompts {
public:
  explicit TerminalPrompts(bool answerYes) : answerYes_(answerYes) {}
  void message(MessageKind kind, const std::string& text) override;
  bool askYesNo(const std::string& text) override;
  bool askYesCancel(const std::string& text) override;
  Answer askYesNoCancel(const std::string& text) override;
  void showError(const std::string& text) override;
  void setBusy(bool) override {}

private:
  bool answerYes_;
};

} // namespace tessel::cli
