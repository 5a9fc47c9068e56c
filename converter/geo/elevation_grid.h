#pragma once
// The latitude/longitude raster of elevations of one sheet. Its cells are the first
// values of the first columnCount x rowCount pairs of the run's point buffer: row 0 is
// the northern edge, column 0 the western edge.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "converter/geo/geo_box.h"
#include "converter/geo/point_pair.h"

namespace geo {

// Columns [firstColumn, endColumn) and rows [firstRow, endRow) of the grid inside demBox.
struct CellWindow {
  int firstColumn = 0, endColumn = 0, firstRow = 0, endRow = 0;
  bool contains(int row, int column) const {
    return column >= firstColumn && column < endColumn && row >= firstRow && row < endRow;
  }
};

// The 16-bit counts of the grid.
inline constexpr std::int64_t kMaxGridDimension = 65535;

struct ElevationGrid {
  double cellWidth = 0, cellHeight = 0;                             // degrees
  GeoBox demBox;                                                    // the sheet's box snapped outward to whole cells
  double gridWest = 0, gridEast = 0, gridSouth = 0, gridNorth = 0;  // demBox and the depression margin
  int columnCount = 0, rowCount = 0;
  CellWindow innerWindow;
  double zMax = -1e308, zMin = 1e308;  // metres, datum offset included
  double datumOffset = 0;              // metres

  double missingElevation() const { return datumOffset - 9999; }

  // Edges, demBox and counts of `columns` x `rows` cells from the north-west corner
  // (west, north), at the cell size already set.
  void place(double west, double north, int columns, int rows) {
    gridWest = west;
    gridNorth = north;
    gridEast = west + columns * cellWidth;
    gridSouth = north - rows * cellHeight;
    demBox = {gridWest, gridEast, gridSouth, gridNorth};
    columnCount = columns;
    rowCount = rows;
  }

  // Takes the first columnCount x rowCount pairs of the buffer; false (no cells) when
  // they do not fit.
  bool bind(PointBuffer& buffer) {
    const std::int64_t count = static_cast<std::int64_t>(columnCount) * rowCount;
    if (count <= 0 || static_cast<std::size_t>(count) > buffer.size()) {
      cells_ = {};
      return false;
    }
    cells_ = std::span<PointPair>(buffer.data(), static_cast<std::size_t>(count));
    return true;
  }
  void unbind() { cells_ = {}; }

  bool contains(int row, int column) const {
    return row >= 0 && column >= 0 && row < rowCount && column < columnCount &&
           static_cast<std::size_t>(column) + static_cast<std::size_t>(row) * columnCount < cells_.size();
  }
  // missingElevation outside the grid.
  double cell(int row, int column) const {
    return contains(row, column)
               ? cells_[static_cast<std::size_t>(column) + static_cast<std::size_t>(row) * columnCount].x
               : missingElevation();
  }
  // Ignored outside the grid.
  void setCell(int row, int column, double value) {
    if (contains(row, column))
      cells_[static_cast<std::size_t>(column) + static_cast<std::size_t>(row) * columnCount].x = value;
  }
  // The bound cells, row by row (value in x); for loops that visit every cell.
  std::span<const PointPair> cells() const { return cells_; }
  void fill(double value) {
    for (auto& pair : cells_) pair.x = value;
  }
  void widenExtremes(double value) {
    if (value > zMax) zMax = value;
    if (value < zMin) zMin = value;
  }

 private:
  std::span<PointPair> cells_;
};

// The part of the grid inside demBox, in whole cells.
CellWindow innerWindowOf(const ElevationGrid& grid);

}  // namespace geo
