#include "foundation/UserPrompts.h"

namespace tessel {

namespace {

class QuietPrompts final : public UserPrompts {
public:
  void message(MessageKind, const std::string&) override {}
  bool askYesNo(const std::string&) override { return false; }
  bool askYesCancel(const std::string&) override { return false; }
  Answer askYesNoCancel(const std::string&) override { return Answer::Cancel; }
  void showError(const std::string&) override {}
  void setBusy(bool) override {}
};

QuietPrompts quietPrompts;
UserPrompts* installed = nullptr;

} // namespace

UserPrompts& prompts() { return installed ? *installed : quietPrompts; }

UserPrompts* installPrompts(UserPrompts* p) {
  UserPrompts* previous = installed;
  installed = p;
  return previous;
}

} // namespace tessel
