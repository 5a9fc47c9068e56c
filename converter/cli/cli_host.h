#pragma once
// Host of the headless commands: messages go to standard error as "caption: text",
// questions are answered Yes only when the user said so with --yes.
#include <iosfwd>
#include <string>

#include "platform/host.h"

namespace cli {

class CliHost : public platform::Host {
 public:
  CliHost(std::ostream& err, bool answerYes) : err_(err), yes_(answerYes) {}
  void message(const std::string& caption, const std::string& text) override;
  bool ask(const std::string& caption, const std::string& text, platform::Buttons buttons) override;
  void setClipboard(const std::string&) override {}

 private:
  std::ostream& err_;
  bool yes_;
};

// Message text for a terminal: CR LF becomes LF, no trailing line end.
std::string terminalText(const std::string& text);

}  // namespace cli
