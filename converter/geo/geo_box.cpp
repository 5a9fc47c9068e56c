#include "converter/geo/geo_box.h"

#include <algorithm>

#include "converter/geo/plane_coordinates.h"

namespace geo {

bool sheetGeoBox(geo::PlaneCoordinates& coords, double y0, double y1, double x0, double x1, GeoBox& box) {
  if (!coords.xytobl(y0, x0)) return false;
  box.west = coords.lastLongitude;
  box.south = coords.lastLatitude;
  if (!coords.xytobl(y1, x1)) return false;
  box.east = coords.lastLongitude;
  box.north = coords.lastLatitude;
  if (!coords.xytobl(y0, x1)) return false;
  box.west = std::min(box.west, coords.lastLongitude);
  box.north = std::max(box.north, coords.lastLatitude);
  if (!coords.xytobl(y1, x0)) return false;
  box.south = std::min(box.south, coords.lastLatitude);
  box.east = std::max(box.east, coords.lastLongitude);
  // The northern edge bulges beyond its corners where it crosses the central meridian.
  if (y0 < 0 && 0 < y1) {
    if (!coords.xytobl(0, x1)) return false;
    box.north = std::max(box.north, coords.lastLatitude);
  }
  return true;
}

}  // namespace geo
