#pragma once
// Test stand-in for the user prompts: records every text shown and answers
// questions from a script (No / Cancel once the script runs out).

#include "foundation/UserPrompts.h"

#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace tessel::test {

class RecordingPrompts final : public UserPrompts {
public:
  enum class Kind { Plain, Information, Warning, Error, YesNo, YesCancel, YesNoCancel, ErrorWindow };
  struct Shown {
    Kind kind;
    std::string text;
  };

  RecordingPrompts() { previous_ = installPrompts(this); }
  ~RecordingPrompts() override { installPrompts(previous_); }

  void answer(Answer a) { script_.push_back(a); }

  void message(MessageKind kind, const std::string& text) override;
  bool askYesNo(const std::string& text) override;
  // Answers Yes only for a scripted Yes.
  bool askYesCancel(const std::string& text) override;
  Answer askYesNoCancel(const std::string& text) override;
  void showError(const std::string& text) override;
  void setBusy(bool busy) override { busyDepth += busy ? 1 : -1; }

  std::vector<Shown> shown;
  int busyDepth = 0;
  // Run with each text, as the windows behind a real box repaint while it
  // is up.
  std::function<void()> whileShown;

  // The texts shown so far, whatever their kind.
  std::vector<std::string> texts() const;
  void clear() { shown.clear(); }

private:
  void record(Kind kind, const std::string& text);
  Answer next(Answer fallback);
  std::deque<Answer> script_;
  UserPrompts* previous_ = nullptr;
};

} // namespace tessel::test
