#pragma once
// The start checks: every setting parsed and checked, one report line (ending CR LF) per
// problem, and the run values derived.
#include <cstdint>
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

// Sheet size, plot scale and step for the edges and counts in `values` at the scale and
// overlap given. The start checks and the area picker lay the sheets out alike.
void layOutSheets(int scaleChoice, int overlapPercent, RunValues& values);

// Cells the elevation grid may take from the point buffer: all of it for the mesh,
// `contourShare` tenths of it for contours, and for a run with both the contour share.
// Infinite without any elevation source.
double meshCellLimit(const DrawingSettings& settings);
double contourCellLimit(const DrawingSettings& settings);
double elevationCellLimit(const DrawingSettings& settings);

// Cell sizes in degrees of the five elevation sources, in source order.
struct CellSize {
  double width, height;
};
CellSize elevationCellSize(int source);
// The source whose grid a run uses: the mesh source, else the contour source, else 5 m.
int activeElevationSource(const DrawingSettings& settings);

// A latitude/longitude box (degrees) snapped outward to whole cells with room for one
// more cell beyond each edge, and its size in cells. The first-sheet estimate and the
// grid of every sheet are snapped alike.
struct SnappedBox {
  double west, east, south, north;
  std::int64_t columnCount, rowCount;
};
SnappedBox snapElevationBox(double west, double east, double south, double north, double cellWidth, double cellHeight);

}  // namespace settings
