#include "converter/geo/geo_box.h"

#include <algorithm>
#include <cmath>

#include "converter/geo/plane_coordinates.h"

namespace geo {

bool sheetGeoBox(geo::PlaneCoordinates& coords, double y0, double y1, double x0, double x1, GeoBox& box,
                 const BoxSampling& sampling) {
  using Corners = BoxSampling::Corners;
  using NorthernEdge = BoxSampling::NorthernEdge;
  box = {1e308, -1e308, 1e308, -1e308};
  bool converted = true;
  // Converts the point; false when the box ends here.
  auto convert = [&](double y, double x) {
    if (coords.xytobl(y, x)) return true;
    converted = false;
    return !sampling.stopAtFailure;
  };
  auto widen = [&](bool westEdge, bool eastEdge, bool southEdge, bool northEdge) {
    if (westEdge) box.west = std::min(box.west, coords.lastLongitude);
    if (eastEdge) box.east = std::max(box.east, coords.lastLongitude);
    if (southEdge) box.south = std::min(box.south, coords.lastLatitude);
    if (northEdge) box.north = std::max(box.north, coords.lastLatitude);
  };

  struct Corner {
    bool east, north;
  };
  constexpr Corner kDiagonalsFirst[4] = {{false, false}, {true, true}, {false, true}, {true, false}};
  constexpr Corner kAround[4] = {{false, false}, {false, true}, {true, true}, {true, false}};
  const bool diagonals = sampling.corners == Corners::diagonalsFirst;
  for (const Corner& c : diagonals ? kDiagonalsFirst : kAround) {
    if (!convert(c.east ? y1 : y0, c.north ? x1 : x0)) return false;
    if (diagonals)
      widen(!c.east, c.east, !c.north, c.north);
    else
      widen(true, true, true, true);
  }

  auto northernPoint = [&](double y) {
    if (!convert(y, x1)) return false;
    widen(false, false, false, true);
    return true;
  };
  switch (sampling.northernEdge) {
    case NorthernEdge::cornersOnly: break;
    case NorthernEdge::middleAcrossMeridian:
      if (y0 < 0 && 0 < y1 && !northernPoint(0)) return false;
      break;
    case NorthernEdge::quarterPoints:
      for (double y : {(3 * y0 + y1) / 4, (y0 + y1) / 2, (y0 + 3 * y1) / 4})
        if (!northernPoint(y)) return false;
      break;
  }
  return converted;
}

bool innerGeoBox(const geo::PlaneCoordinates& coordinates, double west, double east, double south, double north,
                 GeoBox& box) {
  const double height = north - south, width = east - west;
  if (!(height > 0 && width > 0 && std::isfinite(height) && std::isfinite(width))) return false;
  // The rectangle's edges, drawn in by a margin far wider than their bend between two of
  // the samples, taken back to latitude and longitude; the box lies inside all four.
  const double margin = 0.05 * std::min(height, width);
  geo::PlaneCoordinates c = coordinates;
  double latLo = -1e300, latHi = 1e300, lonLo = -1e300, lonHi = 1e300;
  constexpr int kSamples = 8;
  for (int i = 0; i <= kSamples; ++i) {
    const double t = static_cast<double>(i) / kSamples;
    const double y = west + margin + t * (width - 2 * margin), x = south + margin + t * (height - 2 * margin);
    if (!c.xytobl(y, south + margin)) return false;
    latLo = std::max(latLo, c.lastLatitude);
    if (!c.xytobl(y, north - margin)) return false;
    latHi = std::min(latHi, c.lastLatitude);
    if (!c.xytobl(west + margin, x)) return false;
    lonLo = std::max(lonLo, c.lastLongitude);
    if (!c.xytobl(east - margin, x)) return false;
    lonHi = std::min(lonHi, c.lastLongitude);
  }
  if (!(latLo < latHi && lonLo < lonHi)) return false;
  box = {lonLo, lonHi, latLo, latHi};
  return true;
}

}  // namespace geo
