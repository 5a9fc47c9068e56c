#pragma once
// The start command: checks and questions, the run, and what follows it (the memory
// values reset, the problems shown, the last-run settings saved). The command line and the
// run window both start runs through here and differ only in how they word the outcome.
#include <filesystem>
#include <string>

#include "converter/settings/drawing_settings.h"
#include "converter/settings/run_values.h"
#include "converter/sheet/run_host.h"

namespace platform {
class PrinterCatalogue;
}

namespace run {

// "Terralinea" and the version, without a trailing ".0.0": the window title and the
// program named in the sheets.
std::string programTitle(std::string version);

struct StartOptions {
  std::string title = "Terralinea";  // program name and version, for the sheets
  double startPauseSeconds = 0;      // the window shows its captions before the run starts
  int jobs = 1;                      // sheets converted at the same time
};

struct RunOutcome {
  enum class Status {
    notStarted,             // a check refused the settings or a question was answered No
    completed,              // every file written, no problems
    completedWithProblems,  // every file written; `problems` holds what went wrong (shown)
    stopped,                // the user or a producer stopped the run
    failed,                 // a file could not be written, or the run broke (shown)
  };
  Status status = Status::notStarted;
  std::string problems;
  long long seconds = 0;
  settings::RunValues values;
  // The file to open afterwards (the sheet, or the index drawing) when it exists.
  std::filesystem::path resultFile;
  // Saving the last-run settings after a clean run failed: why.
  std::string lastRunError;
};

// The cores of this machine (at least 1, at most 64).
int coreCount();
// Sheets at the same time for a run of the main window: one unless the settings ask for
// parallel sheets, then one per core.
int sheetJobs(const settings::DrawingSettings& settings);

RunOutcome startRun(settings::DrawingSettings& settings, const platform::PrinterCatalogue& printers,
                    sheet::RunHost& host, const StartOptions& options = {});

}  // namespace run
