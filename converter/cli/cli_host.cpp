#include "converter/cli/cli_host.h"

#include <csignal>
#include <ostream>

#include "platform/text.h"

namespace cli {

std::string terminalText(const std::string& text) {
  std::string out;
  for (char c : text)
    if (c != '\r') out += c;
  return std::string(platform::trimEnd(out, "\n"));
}

void CliHost::message(const std::string& caption, const std::string& text) {
  err_ << caption << ": " << terminalText(text) << "\n";
}

bool CliHost::ask(const std::string& caption, const std::string& text, platform::Buttons) {
  err_ << caption << ": " << terminalText(text) << (yes_ ? " -> yes (--yes)" : " -> no (answer with --yes)") << "\n";
  return yes_;
}

}  // namespace cli

namespace cli {

namespace {
volatile std::sig_atomic_t interrupted = 0;
void onInterrupt(int) { interrupted = 1; }
}  // namespace

CliRunHost::CliRunHost(std::ostream& err, bool answerYes, bool quiet, bool terminal)
    : CliHost(err, answerYes), quiet_(quiet), terminal_(terminal) {
  interrupted = 0;
  previousHandler_ = std::signal(SIGINT, onInterrupt);
}

CliRunHost::~CliRunHost() {
  clearLine();
  std::signal(SIGINT, previousHandler_ == SIG_ERR ? SIG_DFL : previousHandler_);
}

void CliRunHost::clearLine() {
  if (drawn_) {
    err_ << "\r\033[K" << std::flush;
    drawn_ = false;
  }
}

void CliRunHost::message(const std::string& caption, const std::string& text) {
  clearLine();
  CliHost::message(caption, text);
}

void CliRunHost::progress(sheet::ProgressLine line, const std::string& text) {
  using sheet::ProgressLine;
  if (quiet_) return;
  switch (line) {
    case ProgressLine::Phase:
      if (text == phase_) return;
      phase_ = text;
      break;
    case ProgressLine::File: file_ = text; break;
    case ProgressLine::Counter: counter_ = text; break;
    case ProgressLine::Total: total_ = text; break;
    case ProgressLine::Detail: detail_ = text; break;
    case ProgressLine::Caption:
      if (!terminal_) err_ << text << "\n";
      return;
    default: return;
  }
  if (terminal_) redraw();
}

void CliRunHost::sheetStage(const std::string& sheetFile, const std::string& stage) {
  if (quiet_ || terminal_) return;
  err_ << sheetFile << ": " << stage << "\n";
}

void CliRunHost::notice(const std::string& text) {
  if (quiet_) return;
  clearLine();
  err_ << text << "\n";
}

void CliRunHost::redraw() {
  std::string line = phase_;
  if (!counter_.empty() || !total_.empty()) line += " [" + (counter_.empty() ? "0" : counter_) + "/" + total_ + "]";
  if (!file_.empty()) line += " " + file_;
  if (!detail_.empty()) line += " " + detail_;
  err_ << "\r\033[K" << line << std::flush;
  drawn_ = true;
}

void CliRunHost::pump() {}

bool CliRunHost::abortRequested() const { return interrupted != 0; }

}  // namespace cli
