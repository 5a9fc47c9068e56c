#include "converter/cli/commands.h"

#include <unistd.h>
#include <charconv>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <ostream>

#include "converter/cli/cli_host.h"
#include "converter/geo/plane_coordinates.h"
#include "converter/run/run_outcome.h"
#include "converter/run/start_command.h"
#include "converter/settings/check_settings.h"
#include "converter/settings/settings_file.h"
#include "converter/settings/sheet_labels.h"
#include "converter/settings/start_checks.h"
#include "converter/settings/startup.h"
#include "platform/numbers.h"
#include "platform/printer_catalogue.h"
#include "platform/user_folders.h"

namespace cli {

namespace {

namespace fs = std::filesystem;

constexpr int kOk = 0, kNotStarted = 1, kFailed = 2, kProblems = 3;

const char* kUsage =
    "usage:\n"
    "  terralinea [SETTINGS.trl]                      open the main window (optionally with settings)\n"
    "  terralinea run SETTINGS.trl [--write-folder DIR] [--yes] [--quiet]\n"
    "                 [--buffer-factor N] [--contour-share N] [--jobs N]\n"
    "      --buffer-factor N   point buffer of N x 2,097,152 pairs (1 to 49) for this run\n"
    "      --contour-share N   tenths of that buffer the elevation grid may take (2 to 8)\n"
    "      --jobs N            sheets converted at the same time (1 to 64; default: the number of cores)\n"
    "  terralinea check SETTINGS.trl                  print the start checks' report and the run values\n"
    "  terralinea init SETTINGS.trl [--force]         write a settings file with the program's defaults\n"
    "  terralinea bltoxy --zone N [--unit mm|cm|m] LON LAT    print \"X Y\" (northing, easting)\n"
    "  terralinea xytobl --zone N [--unit mm|cm|m] Y X        print \"LAT LON\"\n"
    "  terralinea --help | --version\n";

std::string versionText() { return run::programTitle(TERRALINEA_VERSION); }

bool parseDouble(const std::string& text, double& value) { return settings::parseReal(text, value); }

// A settings file named on the command line must be there and readable.
bool readableFile(const fs::path& file, std::ostream& err) {
  std::error_code ec;
  if (!fs::exists(file, ec)) {
    err << "terralinea: settings file not found: " << settings::pathText(file) << "\n";
    return false;
  }
  if (fs::is_directory(file, ec)) {
    err << "terralinea: not a settings file (a folder): " << settings::pathText(file) << "\n";
    return false;
  }
  std::ifstream in(file, std::ios::binary);
  if (!in) {
    err << "terralinea: cannot read settings file: " << settings::pathText(file) << "\n";
    return false;
  }
  return true;
}

// Start-up as the main window does it, with the settings file named on the command line
// (none: the program defaults); false when an item file stops it.
bool startUp(settings::DrawingSettings& s, const platform::PrinterCatalogue& printers, std::ostream& err,
             const std::optional<fs::path>& settingsFile, bool createSettingsFolder) {
  settings::StartupOptions options;
  options.settingsFile = settingsFile;
  options.loadLastRun = false;
  options.createSettingsFolder = createSettingsFolder;
  auto result = settings::startUp(s, platform::dataFolder(), options, printers);
  CliHost host(err, false);
  for (const auto& m : result.items.messages) host.message(m.caption, m.text);
  if (!result.items.complete)
    err << "terralinea: item files are read from " << settings::pathText(platform::dataFolder())
        << " (set TERRALINEA_DATA to another folder)\n";
  return result.items.complete;
}

int commandInit(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  std::string file;
  bool force = false;
  for (std::size_t i = 1; i < args.size(); ++i) {
    if (args[i] == "--force")
      force = true;
    else if (file.empty())
      file = args[i];
    else
      return err << kUsage, kNotStarted;
  }
  if (file.empty()) return err << kUsage, kNotStarted;
  fs::path path = settings::utf8Path(file);
  std::error_code ec;
  if (fs::exists(path, ec) && !force) {
    err << "terralinea: " << file << " exists (use --force to replace it)\n";
    return kNotStarted;
  }
  settings::DrawingSettings s;
  platform::PrinterCatalogue printers;
  if (!startUp(s, printers, err, std::nullopt, false)) return kFailed;
  // Defaults only, none of the old file's keys: written as a new file beside it and put in
  // its place when complete, so that a failed write leaves the old file as it was.
  fs::path fresh = path;
  fresh += ".init";
  fs::remove(fresh, ec);
  std::string error;
  if (!settings::saveSettings(fresh, s, &error)) {
    err << "terralinea: cannot write " << file << ": " << error << "\n";
    return kFailed;
  }
  fs::rename(fresh, path, ec);
  if (ec) {
    const std::string reason = ec.message();
    fs::remove(fresh, ec);
    err << "terralinea: cannot write " << file << ": " << reason << "\n";
    return kFailed;
  }
  out << "wrote " << file << "\n";
  return kOk;
}

void printValues(const settings::DrawingSettings& s, const settings::RunValues& v, std::ostream& out) {
  auto line = [&out](const char* name, double value) { out << name << "=" << shortestReal(value) << "\n"; };
  out << "OK\n";
  out << "unitsPerMetre=" << v.unitsPerMetre << "\n";
  line("paperWidthMm", v.paperWidthMm);
  line("paperHeightMm", v.paperHeightMm);
  line("pageWidthMm", v.pageWidthMm);
  line("pageHeightMm", v.pageHeightMm);
  line("pageOffsetXMm", v.pageOffsetXMm);
  line("pageOffsetYMm", v.pageOffsetYMm);
  line("pageRightGapMm", v.pageRightGapMm);
  line("pageBottomGapMm", v.pageBottomGapMm);
  line("usableWidthMm", v.usableWidthMm);
  line("usableHeightMm", v.usableHeightMm);
  line("unitsPerPaperMillimetre", v.unitsPerPaperMillimetre);
  line("sheetWidth", v.sheetWidth);
  line("sheetHeight", v.sheetHeight);
  line("sheetStepWidth", v.sheetStepWidth);
  line("sheetStepHeight", v.sheetStepHeight);
  out << "legendStepCount=" << v.legendStepCount << "\n";
  out << "columnCount=" << v.columnCount << "\n";
  out << "rowCount=" << v.rowCount << "\n";
  line("meshCellWidth", v.meshCellWidth);
  line("meshCellHeight", v.meshCellHeight);
  line("northEdge", v.northEdge);
  line("southEdge", v.southEdge);
  line("westEdge", v.westEdge);
  line("eastEdge", v.eastEdge);
  for (const auto& f : settings::sheetFiles(s, v)) out << "sheetFile=" << settings::pathText(f) << "\n";
}

int commandCheck(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (args.size() != 2) return err << kUsage, kNotStarted;
  fs::path path = settings::utf8Path(args[1]);
  if (!readableFile(path, err)) return kNotStarted;
  settings::DrawingSettings s;
  platform::PrinterCatalogue printers;
  if (!startUp(s, printers, err, path, false)) return kFailed;
  geo::PlaneCoordinates coords;
  settings::RunValues values;
  std::string report = settings::checkSettings(s, printers, coords, values);
  if (!report.empty()) {
    out << terminalText(report) << "\n";
    return kNotStarted;
  }
  printValues(s, values, out);
  return kOk;
}

int commandRun(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  std::string file, writeFolder;
  bool yes = false, quiet = false;
  int bufferFactor = 1, contourShare = settings::kDefaultContourShare;
  int jobs = run::coreCount();
  // A whole number within the memory dialog's limits.
  auto limited = [&](const std::string& flag, const std::string& text, int low, int high, int& to) {
    double value = 0;
    if (parseDouble(text, value) && value == std::trunc(value) && value >= low && value <= high) {
      to = static_cast<int>(value);
      return true;
    }
    err << "terralinea: " << flag << " takes a whole number " << low << " to " << high << "\n";
    return false;
  };
  for (std::size_t i = 1; i < args.size(); ++i) {
    const bool hasValue = i + 1 < args.size();
    if (args[i] == "--yes") {
      yes = true;
    } else if (args[i] == "--quiet") {
      quiet = true;
    } else if (args[i] == "--write-folder" && hasValue) {
      writeFolder = args[++i];
    } else if (args[i] == "--buffer-factor" && hasValue) {
      if (!limited(args[i], args[i + 1], 1, 49, bufferFactor)) return kNotStarted;
      ++i;
    } else if (args[i] == "--contour-share" && hasValue) {
      if (!limited(args[i], args[i + 1], 2, 8, contourShare)) return kNotStarted;
      ++i;
    } else if (args[i] == "--jobs" && hasValue) {
      if (!limited(args[i], args[i + 1], 1, 64, jobs)) return kNotStarted;
      ++i;
    } else if (file.empty() && !args[i].starts_with("--")) {
      file = args[i];
    } else {
      return err << kUsage, kNotStarted;
    }
  }
  if (file.empty()) return err << kUsage, kNotStarted;
  fs::path path = settings::utf8Path(file);
  if (!readableFile(path, err)) return kNotStarted;
  settings::DrawingSettings s;
  platform::PrinterCatalogue printers;
  if (!startUp(s, printers, err, path, true)) return kFailed;
  if (!writeFolder.empty()) s.writeFolder = writeFolder;
  // What the memory dialog sets; the start command resets both after the run.
  s.elevationBufferCells = settings::kDefaultBufferCells * bufferFactor;
  s.contourShare = contourShare;

  const bool terminal = &err == &std::cerr && ::isatty(STDERR_FILENO);
  CliRunHost host(err, yes, quiet, terminal);
  run::StartOptions startOptions;
  startOptions.title = versionText();
  startOptions.jobs = jobs;
  const run::RunOutcome outcome = run::startRun(s, printers, host, startOptions);
  using Status = run::RunOutcome::Status;
  // The index drawing, or the one sheet: what the window would offer to open.
  auto printResult = [&] {
    std::error_code ec;
    if (!outcome.resultFile.empty() && fs::exists(outcome.resultFile, ec))
      out << settings::pathText(outcome.resultFile) << "\n";
  };
  switch (outcome.status) {
    case Status::notStarted: return kNotStarted;
    case Status::failed: return kFailed;
    case Status::stopped: err << "terralinea: the run was stopped\n"; return kFailed;
    case Status::completedWithProblems: printResult(); return kProblems;
    case Status::completed: break;
  }
  if (!quiet) err << "正常終了: " << terminalText(run::completionNote(outcome.seconds)) << "\n";
  printResult();
  if (!outcome.lastRunError.empty())
    err << "terralinea: the last-run settings were not saved: " << outcome.lastRunError << "\n";
  return kOk;
}

struct ZoneArgs {
  int zone = 0;
  int unitsPerMetre = 1000;
  std::vector<double> numbers;
};

bool parseZoneArgs(const std::vector<std::string>& args, ZoneArgs& z, std::ostream& err) {
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--zone" && i + 1 < args.size()) {
      double value;
      if (!parseDouble(args[++i], value) || value != static_cast<int>(value) || value < 1 || value > 19) {
        err << "terralinea: --zone takes a system number 1 to 19\n";
        return false;
      }
      z.zone = static_cast<int>(value);
    } else if (a == "--unit" && i + 1 < args.size()) {
      const std::string& unit = args[++i];
      if (unit == "mm")
        z.unitsPerMetre = 1000;
      else if (unit == "cm")
        z.unitsPerMetre = 100;
      else if (unit == "m")
        z.unitsPerMetre = 1;
      else {
        err << "terralinea: --unit takes mm, cm or m\n";
        return false;
      }
    } else {
      double value;
      if (!parseDouble(a, value)) {
        err << "terralinea: not a number: " << a << "\n";
        return false;
      }
      z.numbers.push_back(value);
    }
  }
  if (z.zone == 0 || z.numbers.size() != 2) {
    err << kUsage;
    return false;
  }
  return true;
}

geo::PlaneCoordinates zoneCoordinates(const ZoneArgs& z) {
  geo::PlaneCoordinates coords;
  coords.unitsPerMetre = z.unitsPerMetre;
  coords.selectSystem(z.zone);
  return coords;
}

int commandBltoxy(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  ZoneArgs z;
  if (!parseZoneArgs(args, z, err)) return kNotStarted;
  // A point off the globe has no plane coordinates; the series would print a number.
  if (!(std::fabs(z.numbers[0]) <= 180) || !(std::fabs(z.numbers[1]) < 90)) {
    err << "terralinea: not a point on the globe: longitude " << platform::formatNumber("%.10g", z.numbers[0])
        << ", latitude " << platform::formatNumber("%.10g", z.numbers[1]) << "\n";
    return kNotStarted;
  }
  geo::PlaneCoordinates coords = zoneCoordinates(z);
  coords.bltoxy(z.numbers[0], z.numbers[1]);
  if (!std::isfinite(coords.planeX) || !std::isfinite(coords.planeY)) {
    err << "terralinea: the point has no plane coordinates in system " << z.zone << "\n";
    return kNotStarted;
  }
  out << shortestReal(coords.planeX) << " " << shortestReal(coords.planeY) << "\n";
  return kOk;
}

int commandXytobl(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  ZoneArgs z;
  if (!parseZoneArgs(args, z, err)) return kNotStarted;
  geo::PlaneCoordinates coords = zoneCoordinates(z);
  if (!coords.xytobl(z.numbers[0], z.numbers[1])) {
    err << "terralinea: the point does not converge in system " << z.zone << " (too far from its origin)\n";
    return kFailed;
  }
  if (!(std::fabs(coords.lastLatitude) <= 90) || !(std::fabs(coords.lastLongitude) <= 180)) {
    err << "terralinea: the point lies off the globe in system " << z.zone << "\n";
    return kNotStarted;
  }
  out << shortestReal(coords.lastLatitude) << " " << shortestReal(coords.lastLongitude) << "\n";
  return kOk;
}

}  // namespace

std::string shortestReal(double value) {
  // Plain decimals read best in a report; exponents only for tiny magnitudes.
  char buf[512];
  const bool plain = value == 0 || std::fabs(value) >= 1e-4;
  auto [p, ec] = plain ? std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed)
                       : std::to_chars(buf, buf + sizeof buf, value);
  return ec == std::errc() ? std::string(buf, p) : std::string("nan");
}

int runCommandLine(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (!args.empty()) {
    const std::string& command = args[0];
    if (command == "--help" || command == "-h") return out << kUsage, kOk;
    if (command == "--version") return out << versionText() << "\n", kOk;
    if (command == "init") return commandInit(args, out, err);
    if (command == "check") return commandCheck(args, out, err);
    if (command == "bltoxy") return commandBltoxy(args, out, err);
    if (command == "xytobl") return commandXytobl(args, out, err);
    if (command == "run") return commandRun(args, out, err);
  }
  // The window is the program's, not a sub-command's.
  return err << kUsage, kNotStarted;
}

bool opensWindow(const std::vector<std::string>& args) {
  if (args.empty()) return true;
  static const char* commands[] = {"init", "check", "bltoxy", "xytobl", "run"};
  for (const char* c : commands)
    if (args[0] == c) return false;
  return args.size() == 1 && !args[0].starts_with("-");
}

}  // namespace cli
