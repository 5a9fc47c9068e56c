#include "converter/elevation/mesh_code_list.h"

#include <cmath>
#include <cstdio>

#include "converter/elevation/anomaly.h"
#include "converter/geo/plane_coordinates.h"
#include "converter/run/run_context.h"

namespace elevation {

namespace {

// Integer part, truncating towards zero.
long long whole(double value) { return static_cast<long long>(std::trunc(value)); }

struct LevelIndex {
  long long row, column;
};

LevelIndex indexOf(MeshCodeKind kind, double latitude, double longitude) {
  switch (kind) {
    case MeshCodeKind::firstLevel: return {whole(latitude * 1.5), whole(longitude - 100)};
    case MeshCodeKind::secondLevelCompact:
    case MeshCodeKind::secondLevelDashed: return {whole(latitude * 1.5 * 8), whole((longitude - 100) * 8)};
    default: return {whole(latitude * 1.5 * 80), whole((longitude - 100) * 80)};
  }
}

std::string codeText(MeshCodeKind kind, long long r, long long c) {
  char buf[64];
  switch (kind) {
    case MeshCodeKind::firstLevel: std::snprintf(buf, sizeof buf, "%.2lld%.2lld", r, c); break;
    case MeshCodeKind::secondLevelCompact:
      std::snprintf(buf, sizeof buf, "-%.2lld%.2lld%.1lld%.1lld", r / 8, c / 8, r % 8, c % 8);
      break;
    case MeshCodeKind::thirdLevelCompact:
      std::snprintf(buf, sizeof buf, "L-%.2lld%.2lld%.1lld%.1lld%.1lld%.1lld", r / 80, c / 80, (r % 80) / 10,
                    (c % 80) / 10, r % 10, c % 10);
      break;
    case MeshCodeKind::secondLevelDashed:
      std::snprintf(buf, sizeof buf, "%.2lld%.2lld-%.1lld%.1lld", r / 8, c / 8, r % 8, c % 8);
      break;
    case MeshCodeKind::thirdLevelDashed:
      std::snprintf(buf, sizeof buf, "%.2lld%.2lld-%.1lld%.1lld-%.1lld%.1lld", r / 80, c / 80, (r % 80) / 10,
                    (c % 80) / 10, r % 10, c % 10);
      break;
  }
  return buf;
}

bool clearsList(MeshCodeKind kind) {
  return kind == MeshCodeKind::firstLevel || kind == MeshCodeKind::secondLevelCompact ||
         kind == MeshCodeKind::thirdLevelCompact;
}

}  // namespace

void listMeshCodes(std::vector<std::string>& list, MeshCodeKind kind, const GeoBox& box) {
  if (clearsList(kind)) list.clear();
  const LevelIndex low = indexOf(kind, box.south, box.west);
  const LevelIndex high = indexOf(kind, box.north, box.east);
  for (long long r = low.row; r <= high.row; ++r)
    for (long long c = low.column; c <= high.column; ++c) list.push_back(codeText(kind, r, c));
}

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

void buildMeshCodeList(run::RunContext& ctx, MeshCodeKind kind, MeshBox choice) {
  GeoBox box = ctx.elevationGrid.demBox;
  if (choice == MeshBox::sheet &&
      !sheetGeoBox(ctx.coordinates, ctx.sheetWest, ctx.sheetEast, ctx.sheetSouth, ctx.sheetNorth, box)) {
    // Without a box no mesh belongs to the sheet.
    if (clearsList(kind)) ctx.meshCodeList.clear();
    reportAnomaly(ctx, "図郭の緯度経度を求められません");
    return;
  }
  listMeshCodes(ctx.meshCodeList, kind, box);
}

}  // namespace elevation
