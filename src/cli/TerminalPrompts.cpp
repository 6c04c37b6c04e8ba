#include "cli/TerminalPrompts.h"

#include "foundation/Cp1252.h"

#include <iostream>

namespace tessel::cli {

namespace {

void print(const char* prefix, const std::string& text) {
  std::cerr << prefix << cp1252ToUtf8(text) << '\n';
}

} // namespace

void TerminalPrompts::message(MessageKind kind, const std::string& text) {
  switch (kind) {
  case MessageKind::Warning:
    print("avertissement : ", text);
    break;
  case MessageKind::Error:
    print("erreur : ", text);
    break;
  default:
    print("", text);
    break;
  }
}

bool TerminalPrompts::askYesNo(const std::string& text) {
  print("", text + (answerYes_ ? " -> oui" : " -> non"));
  return answerYes_;
}

bool TerminalPrompts::askYesCancel(const std::string& text) {
  print("", text + (answerYes_ ? " -> oui" : " -> annuler"));
  return answerYes_;
}

Answer TerminalPrompts::askYesNoCancel(const std::string& text) {
  print("", text + (answerYes_ ? " -> oui" : " -> non"));
  return answerYes_ ? Answer::Yes : Answer::No;
}

void TerminalPrompts::showError(const std::string& text) { print("erreur : ", text); }

} // namespace tessel::cli
