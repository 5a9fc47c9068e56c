#pragma once
// Run-wide state shared by the run and every producer of a run. Each run owns one; two
// runs in one process share nothing.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "converter/geo/elevation_grid.h"
#include "converter/geo/colour_legend.h"
#include "converter/geo/plane_coordinates.h"
#include "converter/geo/point_pair.h"
#include "converter/settings/drawing_settings.h"
#include "converter/settings/run_values.h"
#include "platform/host.h"

namespace sheet {

class EntityWriter;

struct RunContext {
  RunContext(settings::DrawingSettings& s, const settings::RunValues& v, geo::PlaneCoordinates& c, platform::Host& h)
      : settings(s), values(v), coordinates(c), host(h) {}

  // The automatic legend writes each sheet's values back into the legend tables.
  settings::DrawingSettings& settings;
  const settings::RunValues& values;
  geo::PlaneCoordinates& coordinates;
  platform::Host& host;

  bool runContinue = true;
  std::string anomalyMessage;
  std::int64_t fileCounter = 0;

  // Current sheet.
  int sheetRow = 0, sheetColumn = 0, sheetIndex = 0;
  double sheetWest = 0, sheetEast = 0, sheetSouth = 0, sheetNorth = 0;
  // Legend of each sheet, indexed by sheetIndex (metres).
  std::vector<double> sheetLegendInterval, sheetLegendBottom;
  std::vector<int> sheetLegendDecimals;

  // Per-run values.
  int layerCount = 0;
  int rankThreshold = 0;
  double thickContourStep = 10;
  double legendGridUnit = 0;
  double scaleBarUnit = 0;
  long long scaleBarCount = 0;
  double scaleBarStart = 0, legendLeft = 0;

  // The open sheet, while producers write.
  EntityWriter* sheet = nullptr;

  // The one buffer of elevationBufferCells pairs, allocated by the run and shared in turn
  // by the elevation grid, contour tracing and the vector readers.
  std::vector<geo::PointPair> pointBuffer;
  // Standard area mesh codes of the current sheet, spelled as in data file names.
  std::vector<std::string> meshCodeList;
  // Elevations of the current sheet; its cells live in pointBuffer.
  geo::ElevationGrid elevationGrid;

  // A problem for the end-of-run message: one line, ended by CR LF. Files read again for
  // every sheet report with reportOnce, so a line stands once in the message.
  void report(std::string_view line) {
    anomalyMessage += line;
    anomalyMessage += "\r\n";
  }
  void reportOnce(std::string_view line) {
    std::string entry(line);
    entry += "\r\n";
    if (anomalyMessage.find(entry) == std::string::npos) anomalyMessage += entry;
  }

  geo::SheetLegend sheetLegend() const {
    return {sheetLegendInterval[sheetIndex], sheetLegendBottom[sheetIndex], sheetLegendDecimals[sheetIndex]};
  }
  void progress(platform::ProgressLine line, const std::string& text) { host.progress(line, text); }
  // Lets pending events run (the abort button clears runContinue).
  void pump() {
    host.pump();
    if (host.abortRequested()) runContinue = false;
  }
};

}  // namespace sheet
