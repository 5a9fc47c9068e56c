#pragma once
// Host of the headless commands: messages go to standard error as "caption: text",
// questions are answered Yes only when the user said so with --yes.
#include <iosfwd>
#include <string>

#include "converter/sheet/run_host.h"

namespace cli {

class CliHost : public sheet::RunHost {
 public:
  CliHost(std::ostream& err, bool answerYes) : err_(err), yes_(answerYes) {}
  void message(const std::string& caption, const std::string& text) override;
  bool ask(const std::string& caption, const std::string& text, platform::Buttons buttons) override;
  void setClipboard(const std::string&) override {}

 protected:
  std::ostream& err_;

 private:
  bool yes_;
};

// Host of a run on the command line: a one-line progress display on a terminal (phase,
// file, counter of total); otherwise a log of one line per sheet and stage; nothing with
// `quiet`. An interrupt (Ctrl+C) asks the run to stop.
class CliRunHost : public CliHost {
 public:
  CliRunHost(std::ostream& err, bool answerYes, bool quiet, bool terminal);
  ~CliRunHost() override;
  void message(const std::string& caption, const std::string& text) override;
  void progress(sheet::ProgressLine line, const std::string& text) override;
  void sheetStage(const std::string& sheetFile, const std::string& stage) override;
  void notice(const std::string& text) override;
  void pump() override;
  bool abortRequested() const override;

 private:
  void redraw();
  void clearLine();
  bool quiet_, terminal_;
  std::string phase_, file_, counter_, total_, detail_;
  bool drawn_ = false;
  void (*previousHandler_)(int) = nullptr;
};

// Message text for a terminal: CR LF becomes LF, no trailing line end.
std::string terminalText(const std::string& text);

}  // namespace cli
