#pragma once
// The start checks: every setting parsed and checked, one report line (ending CR LF) per
// problem, and the run values derived.
#include <string>

#include "converter/settings/drawing_settings.h"
#include "converter/settings/run_values.h"

namespace geo {
class PlaneCoordinates;
}
namespace platform {
class PrinterCatalogue;
}

namespace settings {

// Returns the report (empty: no problem). Side effects as in the main window: the run
// values, the selected coordinate system, the legend tables resized to the sheet grid,
// and for a fixed scale the north and east edges written back as whole numbers.
std::string checkSettings(DrawingSettings& settings, const platform::PrinterCatalogue& printers,
                          geo::PlaneCoordinates& coordinates, RunValues& values);

// Cell sizes in degrees of the five elevation sources, in source order.
struct CellSize {
  double width, height;
};
CellSize elevationCellSize(int source);
// The source whose grid a run uses: the mesh source, else the contour source, else 5 m.
int activeElevationSource(const DrawingSettings& settings);

}  // namespace settings
