#include "converter/decor/mesh_grid.h"

#include <cmath>
#include <string>
#include <vector>

namespace decor {

MeshStep meshGridStep(int meshCodeDigits) {
  switch (meshCodeDigits) {
    case 0: return {2.0 / 3, 1};
    case 2: return {1.0 / 120, 0.0125};
    default: return {1.0 / 12, 0.125};
  }
}

std::string meshGridCode(double latitude, double longitude, int meshCodeDigits) {
  // The small additions keep a corner computed as a sum of steps from falling just short.
  const double rows = latitude * 1.5, columns = longitude - 100;
  std::string code = std::to_string(static_cast<long long>(std::floor(rows + 1e-5))) +
                     std::to_string(static_cast<long long>(std::floor(columns + 1e-5)));
  auto digit = [&code](double v, int base) {
    code += std::to_string((static_cast<long long>(std::floor(v + 1e-5)) % base + base) % base);
  };
  if (meshCodeDigits == 0) return code;
  digit(rows * 8, 8);
  digit(columns * 8, 8);
  if (meshCodeDigits != 2) return code;
  digit(rows * 80, 10);
  digit(columns * 80, 10);
  return code;
}

MeshCells meshGridCells(double south, double west, double north, double east, MeshStep step) {
  MeshCells cells;
  cells.west = std::floor(west / step.longitude) * step.longitude;
  cells.south = std::floor(south / step.latitude) * step.latitude;
  const double lonEnd = std::floor(east / step.longitude + 1) * step.longitude;
  const double latEnd = std::floor(north / step.latitude + 1) * step.latitude;
  cells.columns = static_cast<long long>(std::floor((lonEnd - cells.west) / step.longitude + 1e-7));
  cells.rows = static_cast<long long>(std::floor((latEnd - cells.south) / step.latitude + 1e-7));
  return cells;
}

void writeMeshGrid(sheet::RunContext& ctx, sheet::EntityWriter& out) {
  if (!ctx.runContinue) return;
  const auto& s = ctx.settings;
  auto& c = ctx.coordinates;
  const MeshStep step = meshGridStep(s.meshCodeDigits);
  if (!c.xytobl(ctx.sheetWest, ctx.sheetSouth)) return;
  const double south = c.lastLatitude, west = c.lastLongitude;
  if (!c.xytobl(ctx.sheetEast, ctx.sheetNorth)) return;
  const MeshCells cells = meshGridCells(south, west, c.lastLatitude, c.lastLongitude, step);
  const long long columns = cells.columns, rows = cells.rows;
  const double lonStart = cells.west, latStart = cells.south;
  if (columns < 1 || rows < 1) return;

  auto at = [&](long long i, long long k) {
    c.bltoxy(lonStart + static_cast<double>(i) * step.longitude, latStart + static_cast<double>(k) * step.latitude);
    return dxfio::Vertex{c.planeY, c.planeX};
  };
  const std::string& layer = s.meshGridCaption;
  sheet::PolylineStyle style;
  style.width = 0;
  std::vector<dxfio::Vertex> line;
  for (long long i = 0; i <= columns; ++i) {
    line.clear();
    for (long long k = 0; k <= rows; ++k) line.push_back(at(i, k));
    out.lwpolyline(layer, line, false, style);
  }
  for (long long k = 0; k <= rows; ++k) {
    line.clear();
    for (long long i = 0; i <= columns; ++i) line.push_back(at(i, k));
    out.lwpolyline(layer, line, false, style);
  }
  const double height = step.latitude * 5000 * ctx.values.unitsPerMetre;
  for (long long i = 0; i < columns; ++i)
    for (long long k = 0; k < rows; ++k) {
      const auto corner = at(i, k);
      out.textStart(layer, {corner.x, corner.y, 0}, height);
      out.dxf().pair(1, meshGridCode(latStart + static_cast<double>(k) * step.latitude,
                                     lonStart + static_cast<double>(i) * step.longitude, s.meshCodeDigits));
      out.textEnd();
    }
}

}  // namespace decor
