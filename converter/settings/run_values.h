#pragma once
// Values the start checks derive from the settings and the run, the readers and the
// area picker read.
#include <array>
#include <cstdint>

#include "converter/settings/drawing_settings.h"

namespace settings {

struct RunValues {
  int unitsPerMetre = 1000;
  double originLatitude = 0, originLongitude = 0, originArc = 0;
  int zone = 0;

  double northEdge = 0, southEdge = 0, westEdge = 0, eastEdge = 0;
  int sheetColumns = 1, sheetRows = 1;
  double eastWestCorrection = 0, northSouthCorrection = 0;
  double datumOffset = 0;  // metres
  double exaggeration = 1;
  int legendStepCount = 16;

  double sheetWidth = 0, sheetHeight = 0;
  double sheetStepWidth = 0, sheetStepHeight = 0;
  double unitsPerPaperMillimetre = 0;

  bool printerLandscape = false;
  double paperWidthMm = 0, paperHeightMm = 0;
  double pageWidthMm = 0, pageHeightMm = 0;
  double pageOffsetXMm = 0, pageOffsetYMm = 0, pageRightGapMm = 0, pageBottomGapMm = 0;
  double usableWidthMm = 0, usableHeightMm = 0;

  // Elevation grid of the active source, and the provisional grid of the first sheet.
  double cellWidth = 0, cellHeight = 0;                                           // degrees
  std::array<double, kElevationSourceCount> meshHalfWidths{}, meshHalfHeights{};  // metres
  double meshCellWidth = 0, meshCellHeight = 0;                                   // drawing units
  double gridWest = 0, gridEast = 0, gridSouth = 0, gridNorth = 0;                // degrees
  std::int64_t columnCount = 0, rowCount = 0;

  double minRoadWidthUnits = 0;

  // Plane rectangle of the sheet in row r (0 = north), column c (0 = west).
  struct Rect {
    double west, east, south, north;
  };
  Rect sheetRect(int row, int column) const {
    double w = westEdge + column * sheetStepWidth;
    double n = northEdge - row * sheetStepHeight;
    return {w, w + sheetWidth, n - sheetHeight, n};
  }
  // Extent of the whole block of sheets.
  double blockWidth() const { return (sheetColumns - 1) * sheetStepWidth + sheetWidth; }
  double blockHeight() const { return (sheetRows - 1) * sheetStepHeight + sheetHeight; }
  bool singleSheet() const { return sheetRows == 1 && sheetColumns == 1; }
};

}  // namespace settings
