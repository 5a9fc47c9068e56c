#include "converter/run/start_command.h"

#include <algorithm>
#include <chrono>
#include <exception>
#include <new>
#include <thread>

#include "converter/geo/plane_coordinates.h"
#include "converter/run/conversion_run.h"
#include "converter/settings/choice_lists.h"
#include "converter/settings/settings_file.h"
#include "converter/settings/start_checks.h"

namespace run {

namespace {

using Status = RunOutcome::Status;

Status runOnce(settings::DrawingSettings& s, RunOutcome& outcome, geo::PlaneCoordinates& coords, sheet::RunHost& host,
               const StartOptions& options) {
  sheet::RunContext context(s, outcome.values, coords, host);
  RunOptions runOptions;
  runOptions.title = options.title;
  runOptions.startPauseSeconds = options.startPauseSeconds;
  runOptions.jobs = options.jobs;
  const RunResult result = ConversionRun(context, runOptions).execute();
  if (result == RunResult::Failed) return Status::failed;
  if (result == RunResult::Stopped || !context.runContinue) return Status::stopped;
  outcome.problems = context.anomalyMessage;
  return outcome.problems.empty() ? Status::completed : Status::completedWithProblems;
}

}  // namespace

std::string programTitle(std::string version) {
  if (version.size() > 4 && version.ends_with(".0.0")) version.resize(version.size() - 4);
  return "Terralinea " + version;
}

int coreCount() { return static_cast<int>(std::clamp(std::thread::hardware_concurrency(), 1u, 64u)); }

int sheetJobs(const settings::DrawingSettings& s) { return s.parallelSheets ? coreCount() : 1; }

RunOutcome startRun(settings::DrawingSettings& s, const platform::PrinterCatalogue& printers, sheet::RunHost& host,
                    const StartOptions& options) {
  RunOutcome outcome;
  geo::PlaneCoordinates coords;
  if (settings::prepareRun(s, outcome.values, printers, coords, host) != settings::StartOutcome::Ready) return outcome;

  const auto start = std::chrono::steady_clock::now();
  // The one place where whatever escapes a run ends up: nothing may end the process.
  try {
    outcome.status = runOnce(s, outcome, coords, host, options);
  } catch (const std::bad_alloc&) {
    host.message("障害発生", "メモリーが足りません。メモリー設定の占有メモリーを小さくしてください。");
    outcome.status = Status::failed;
  } catch (const std::exception& e) {
    host.message("障害発生", std::string("処理中に異常が発生しました: ") + e.what());
    outcome.status = Status::failed;
  }
  outcome.seconds = std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - start).count();

  // The memory dialog's values hold for one run only.
  s.elevationBufferCells = settings::kDefaultBufferCells;
  s.contourShare = settings::kDefaultContourShare;

  std::error_code ec;
  const auto result = settings::resultFile(s, outcome.values);
  if (std::filesystem::exists(result, ec)) outcome.resultFile = result;
  if (outcome.status == Status::completedWithProblems) host.message("障害発生", outcome.problems);
  if (outcome.status == Status::completed &&
      !settings::saveSettings(settings::lastRunSettingsFile(), s, &outcome.lastRunError) &&
      outcome.lastRunError.empty())
    outcome.lastRunError = "cannot write the file";
  return outcome;
}

}  // namespace run
