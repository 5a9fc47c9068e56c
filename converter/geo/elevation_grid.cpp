#include "converter/geo/elevation_grid.h"

#include <cmath>

namespace geo {

CellWindow innerWindowOf(const ElevationGrid& g) {
  CellWindow w;
  w.firstColumn = static_cast<int>(std::floor((g.demBox.west - g.gridWest) / g.cellWidth + 0.00001));
  w.endColumn = static_cast<int>(std::floor((g.demBox.east - g.gridWest) / g.cellWidth + 0.999));
  w.firstRow = static_cast<int>(std::floor((g.gridNorth - g.demBox.north) / g.cellHeight + 0.00001));
  w.endRow = static_cast<int>(std::floor((g.gridNorth - g.demBox.south) / g.cellHeight + 0.999));
  return w;
}

}  // namespace geo
