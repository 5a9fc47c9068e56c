#pragma once
// The host of a run: the host of the program and the run's progress lines. The run window
// shows the lines, the command line draws a progress bar, tests record.
#include <string>

#include "platform/host.h"

namespace sheet {

// The lines of the run's progress window.
enum class ProgressLine { Caption, TotalCaption, Total, Counter, Phase, Detail, Spare, File };

class RunHost : public platform::Host {
 public:
  virtual void progress(ProgressLine, const std::string&) {}
  // The run begins a stage of a sheet ("標高データ", "図形データ", …): one call per sheet
  // and stage, for hosts that keep a log instead of showing the progress lines.
  virtual void sheetStage(const std::string& /*sheetFile*/, const std::string& /*stage*/) {}
  // One line about how the run goes (fewer parallel sheets for want of memory).
  virtual void notice(const std::string& /*text*/) {}
};

}  // namespace sheet
