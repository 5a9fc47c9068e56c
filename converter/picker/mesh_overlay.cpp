#include "converter/picker/mesh_overlay.h"

#include <algorithm>
#include <cmath>

#include "converter/geo/plane_coordinates.h"

namespace picker {

namespace {

constexpr Rgb kCyan{0, 0.8f, 0.8f}, kLightGreen{0.4f, 1, 0.4f};

long long lonIndex(double longitude) { return static_cast<long long>(std::trunc(longitude * 80 + 0.01)); }
long long latIndex(double latitude) { return static_cast<long long>(std::trunc(latitude * 120 + 0.01)); }

}  // namespace

MeshLevel meshLevelFor(double metres) {
  if (metres > 120000) return {4, 1, 2.0 / 3};
  if (metres > 11000) return {6, 0.125, 1.0 / 12};
  return {8, 0.0125, 1.0 / 120};
}

std::string meshCode(double latitude, double longitude, int digits) {
  const double a = latitude * 3.00001 / 2, g = longitude - 99.9999999;
  const double fa = a - std::trunc(a), fg = g - std::trunc(g);
  const long long d5 = static_cast<long long>(std::trunc(fa * 8)), d6 = static_cast<long long>(std::trunc(fg * 8));
  const long long d[] = {static_cast<long long>(std::trunc(a / 10)),
                         static_cast<long long>(std::trunc(a)) % 10,
                         static_cast<long long>(std::trunc(g / 10)),
                         static_cast<long long>(std::trunc(g)) % 10,
                         d5,
                         d6,
                         static_cast<long long>(std::trunc((fa - d5 / 8.0) * 80)),
                         static_cast<long long>(std::trunc((fg - d6 / 8.0) * 80))};
  std::string code;
  for (int i = 0; i < digits && i < 8; ++i) code += static_cast<char>('0' + std::clamp(d[i], 0LL, 9LL));
  return code;
}

Rgb meshColour(long long index) {
  if (index % 80 == 0) return kBlue;
  if (index % 10 == 0) return kCyan;
  return kLightGreen;
}

gml::Box firstLevelBox(const gml::Box& b) {
  if (b.empty()) return b;
  gml::Box out;
  out.minLon = std::floor(b.minLon);
  out.maxLon = std::ceil(b.maxLon);
  out.minLat = std::floor(b.minLat * 1.5) / 1.5;
  out.maxLat = std::ceil(b.maxLat * 1.5) / 1.5;
  return out;
}

MeshOverlay meshOverlay(const PlaneRect& view, int unitsPerMetre, const gml::Box& dataBox, geo::PlaneCoordinates& c) {
  MeshOverlay out;
  if (dataBox.empty()) return out;
  const MeshLevel level = meshLevelFor((view.top - view.bottom) / unitsPerMetre);
  gml::Box seen;
  for (const auto& [y, x] : {std::pair{view.left, view.bottom}, std::pair{view.left, view.top},
                             std::pair{view.right, view.top}, std::pair{view.right, view.bottom}}) {
    c.xytobl(y, x);
    seen.add(c.lastLongitude, c.lastLatitude);
  }
  const double dLon = level.longitudeStep, dLat = level.latitudeStep;
  const double west = std::max(std::floor(seen.minLon / dLon) * dLon, dataBox.minLon);
  const double east = std::min(std::ceil(seen.maxLon / dLon) * dLon, dataBox.maxLon);
  const double south = std::max(std::floor(seen.minLat / dLat) * dLat, dataBox.minLat);
  const double north = std::min(std::ceil(seen.maxLat / dLat) * dLat, dataBox.maxLat);
  if (!(west < east && south < north)) return out;
  // Whole steps between the cut edges; a small share absorbs the rounding of the divisions.
  const long long columns = static_cast<long long>(std::floor((east - west) / dLon + 1e-6));
  const long long rows = static_cast<long long>(std::floor((north - south) / dLat + 1e-6));
  auto plane = [&c](double lon, double lat) {
    c.bltoxy(lon, lat);
    return geo::PointPair{c.planeY, c.planeX};
  };
  for (long long i = 0; i <= columns; ++i) {
    const double lon = west + static_cast<double>(i) * dLon;
    auto& line = out.lines.emplace_back();
    for (long long k = 0; k <= rows; ++k) line.push_back(plane(lon, south + static_cast<double>(k) * dLat));
    out.lineColours.push_back(meshColour(lonIndex(lon)));
  }
  for (long long k = 0; k <= rows; ++k) {
    const double lat = south + static_cast<double>(k) * dLat;
    auto& line = out.lines.emplace_back();
    for (long long i = 0; i <= columns; ++i) line.push_back(plane(west + static_cast<double>(i) * dLon, lat));
    out.lineColours.push_back(meshColour(latIndex(lat)));
  }
  for (long long k = 0; k < rows; ++k)
    for (long long i = 0; i < columns; ++i) {
      const double lat = south + static_cast<double>(k) * dLat, lon = west + static_cast<double>(i) * dLon;
      const long long li = latIndex(lat), gi = lonIndex(lon);
      const Rgb colour = li % 80 == 0 || gi % 80 == 0   ? kBlue
                         : li % 10 == 0 || gi % 10 == 0 ? kCyan
                                                        : kLightGreen;
      out.labels.push_back({plane(lon, lat), meshCode(lat, lon, level.digits), colour});
    }
  return out;
}

}  // namespace picker
