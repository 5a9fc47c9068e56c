#pragma once
// Run-wide state shared by the run and every producer of a run, in three parts: the run
// state every stage tests and reports into, the state of the current sheet, and the
// services of the run. Each run owns one context; two runs in one process share nothing.
// The open sheet is not part of it: a producer that writes takes the sheet's
// EntityWriter as an argument, so it cannot run without one.
#include <array>
#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "converter/geo/colour_legend.h"
#include "converter/geo/elevation_grid.h"
#include "converter/geo/geo_box.h"
#include "converter/geo/plane_coordinates.h"
#include "converter/geo/point_pair.h"
#include "converter/settings/drawing_settings.h"
#include "converter/settings/run_values.h"
#include "converter/sheet/run_host.h"

namespace sheet {

class SharedConversions;

// Whether the run goes on, and what went wrong on the way.
struct RunState {
  bool runContinue = true;
  std::string anomalyMessage;
  std::int64_t fileCounter = 0;
  // Each line as reported and whether it was reported once, when set: sheets converted in
  // parallel replay their lines into the run's message in sheet order.
  std::vector<std::pair<std::string, bool>>* reportLog = nullptr;

  // A problem that does not stop the run: one line of the end-of-run message. Files read
  // again for every sheet report with reportOnce, so their line stands once.
  void report(std::string_view line) {
    anomalyMessage += line;
    anomalyMessage += "\r\n";
    if (reportLog) reportLog->emplace_back(line, false);
  }
  void reportOnce(std::string_view line) {
    std::string entry(line);
    entry += "\r\n";
    if (anomalyMessage.find(entry) != std::string::npos) return;
    anomalyMessage += entry;
    if (reportLog) reportLog->emplace_back(line, true);
  }
  // A condition that ends the run: the run tests runContinue after each stage.
  void stop() { runContinue = false; }
};

// The sheet being converted.
struct SheetState {
  int sheetRow = 0, sheetColumn = 0, sheetIndex = 0;
  double sheetWest = 0, sheetEast = 0, sheetSouth = 0, sheetNorth = 0;
  // Legend of each sheet of the run, indexed by sheetIndex (metres).
  std::vector<double> sheetLegendInterval, sheetLegendBottom;
  std::vector<int> sheetLegendDecimals;
  // Standard area mesh codes of the current sheet, spelled as in data file names.
  std::vector<std::string> meshCodeList;
  // Elevations of the current sheet; its cells live in the run's pointBuffer.
  geo::ElevationGrid elevationGrid;
  // The vector readers' note of a longitude/latitude box inside the sheet, with what it
  // was made for (sheet bounds west, east, south, north, and the coordinates); made again
  // when the bounds differ or the coordinates do not convert alike.
  struct InnerBox {
    std::array<double, 4> bounds{};
    geo::PlaneCoordinates madeWith;
    std::optional<geo::GeoBox> box;
  } innerBox;
  // Conversions a helper thread makes ahead for this sheet's vector files, while it runs.
  SharedConversions* sharedConversions = nullptr;

  geo::SheetLegend sheetLegend() const {
    return {sheetLegendInterval[static_cast<std::size_t>(sheetIndex)],
            sheetLegendBottom[static_cast<std::size_t>(sheetIndex)],
            sheetLegendDecimals[static_cast<std::size_t>(sheetIndex)]};
  }
};

// Values the run fixes before its first sheet.
struct RunLayout {
  int layerCount = 0;
  int rankThreshold = 0;
  double thickContourStep = 10;
  double legendGridUnit = 0;
  double scaleBarUnit = 0;
  long long scaleBarCount = 0;
  double scaleBarStart = 0, legendLeft = 0;
};

struct RunContext : RunState, SheetState, RunLayout {
  RunContext(settings::DrawingSettings& s, const settings::RunValues& v, geo::PlaneCoordinates& c, RunHost& h)
      : settings(s), values(v), coordinates(c), host(h) {}

  // Services. The automatic legend writes each sheet's values back into the legend tables.
  settings::DrawingSettings& settings;
  const settings::RunValues& values;
  geo::PlaneCoordinates& coordinates;
  RunHost& host;

  // The one buffer of elevationBufferCells pairs, allocated by the run and shared in turn
  // by the elevation grid, contour tracing and the vector readers.
  geo::PointBuffer pointBuffer;
  // The data files listed so far in this run (data_files.h), by folder, pattern and
  // subfolder rule: the folders do not change while the run reads them, and every sheet
  // and drawing pass lists them again.
  std::map<std::string, std::vector<std::filesystem::path>> listedFiles;

  // Ends the run with a message to the user.
  void stop(const std::string& caption, const std::string& text) {
    host.message(caption, text);
    RunState::stop();
  }
  using RunState::stop;

  void progress(ProgressLine line, const std::string& text) { host.progress(line, text); }
  // Lets pending events run (the abort button clears runContinue).
  void pump() {
    host.pump();
    if (host.abortRequested()) RunState::stop();
  }
};

}  // namespace sheet
