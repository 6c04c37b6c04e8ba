#include "support/RecordingPrompts.h"

namespace tessel::test {

void RecordingPrompts::message(MessageKind kind, const std::string& text) {
  Kind k = Kind::Plain;
  switch (kind) {
  case MessageKind::Plain: k = Kind::Plain; break;
  case MessageKind::Information: k = Kind::Information; break;
  case MessageKind::Warning: k = Kind::Warning; break;
  case MessageKind::Error: k = Kind::Error; break;
  }
  record(k, text);
}

bool RecordingPrompts::askYesNo(const std::string& text) {
  record(Kind::YesNo, text);
  return next(Answer::No) == Answer::Yes;
}

bool RecordingPrompts::askYesCancel(const std::string& text) {
  record(Kind::YesCancel, text);
  return next(Answer::Cancel) == Answer::Yes;
}

Answer RecordingPrompts::askYesNoCancel(const std::string& text) {
  record(Kind::YesNoCancel, text);
  return next(Answer::Cancel);
}

void RecordingPrompts::showError(const std::string& text) { record(Kind::ErrorWindow, text); }

void RecordingPrompts::record(Kind kind, const std::string& text) {
  shown.push_back({kind, text});
  if (whileShown) whileShown();
}

std::vector<std::string> RecordingPrompts::texts() const {
  std::vector<std::string> result;
  for (const Shown& s : shown) result.push_back(s.text);
  return result;
}

Answer RecordingPrompts::next(Answer fallback) {
  if (script_.empty()) return fallback;
  const Answer a = script_.front();
  script_.pop_front();
  return a;
}

} // namespace tessel::test
