#include "converter/cli/cli_host.h"

#include <ostream>

namespace cli {

std::string terminalText(const std::string& text) {
  std::string out;
  for (char c : text)
    if (c != '\r') out += c;
  while (!out.empty() && out.back() == '\n') out.pop_back();
  return out;
}

void CliHost::message(const std::string& caption, const std::string& text) {
  err_ << caption << ": " << terminalText(text) << "\n";
}

bool CliHost::ask(const std::string& caption, const std::string& text, platform::Buttons) {
  err_ << caption << ": " << terminalText(text) << (yes_ ? " -> yes (--yes)" : " -> no (answer with --yes)") << "\n";
  return yes_;
}

}  // namespace cli
