#pragma once
// The checks of the start command before a run: layer colours, the settings, memory,
// the area, buildings on mesh edges, and existing output files. The GUI and the CLI
// both go through this with their own host.
#include <filesystem>
#include <string>
#include <vector>

#include "converter/settings/drawing_settings.h"
#include "converter/settings/run_values.h"

namespace geo {
class PlaneCoordinates;
}
namespace platform {
class Host;
class PrinterCatalogue;
}  // namespace platform

namespace settings {

enum class StartOutcome {
  Ready,     // every check passed; old output removed
  Refused,   // a check failed (its message was shown)
  Declined,  // a question was answered No / Cancel
};

// Captions of the items that are on and whose colour the flavour cannot hold (formats 1
// and 2 only), fgd tree first, then the national land list, then the basic tree.
std::vector<std::string> layersWithoutPaletteColour(const DrawingSettings& settings);

// Messages for a grid that does not fit the buffer (empty caption: fits).
struct StartProblem {
  std::string caption;
  std::string text;
  bool any() const { return !caption.empty(); }
};
StartProblem memoryProblem(const DrawingSettings& settings, const RunValues& values);
StartProblem rangeProblem(const RunValues& values);
// True when the building warning must be asked.
bool buildingWarningNeeded(const DrawingSettings& settings, const RunValues& values,
                           geo::PlaneCoordinates& coordinates);

// Every sheet file of the run, in run order (rows north to south, columns west to east).
std::vector<std::filesystem::path> sheetFiles(const DrawingSettings& settings, const RunValues& values);
// The file the run opens at the end: the sheet, or the index drawing.
std::filesystem::path resultFile(const DrawingSettings& settings, const RunValues& values);

// The settings' checks (the run values derived on the way); a report is shown, put on the
// clipboard and makes this true. The start and the area picker both begin here.
bool refuseSettings(DrawingSettings& settings, RunValues& values, const platform::PrinterCatalogue& printers,
                    geo::PlaneCoordinates& coordinates, platform::Host& host);

// Steps before the run window opens.
StartOutcome prepareRun(DrawingSettings& settings, RunValues& values, const platform::PrinterCatalogue& printers,
                        geo::PlaneCoordinates& coordinates, platform::Host& host);

}  // namespace settings
