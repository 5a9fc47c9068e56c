#include "converter/elevation/mesh_output.h"

#include <string>
#include <unordered_map>
#include <vector>

#include "converter/geo/colour_legend.h"
#include "converter/sheet/symbol_blocks.h"

namespace elevation {

namespace {

using sheet::Point3;

// Layer names of the elevation classes; a grid repeats few values, so each is labelled once.
class ClassLayers {
 public:
  explicit ClassLayers(const sheet::RunContext& ctx) : legend_(ctx.sheetLegend()), n_(ctx.values.legendStepCount) {}
  const std::string& of(double metres) {
    auto [it, added] = names_.try_emplace(metres);
    if (added) it->second = "標高MESH" + geo::legendLabel(legend_, n_, "_", metres);
    return it->second;
  }

 private:
  geo::SheetLegend legend_;
  int n_;
  std::unordered_map<double, std::string> names_;
};

// A cell centre in the drawing, its stored elevation and whether it holds data.
struct Corner {
  Point3 at;
  double metres;
  bool data;
};

class Mesh {
 public:
  explicit Mesh(sheet::RunContext& ctx)
      : ctx_(ctx), g_(ctx.elevationGrid), heightFactor_(ctx.values.exaggeration * ctx.values.unitsPerMetre) {}

  bool hasData(double metres) const { return metres > g_.datumOffset - 9998; }

  Corner corner(int row, int column) {
    const double metres = g_.cell(row, column);
    Corner c{{0, 0, metres * heightFactor_}, metres, hasData(metres)};
    auto& coords = ctx_.coordinates;
    coords.bltoxy(g_.gridWest + (column + 0.5) * g_.cellWidth, g_.gridNorth - (row + 0.5) * g_.cellHeight);
    c.at.x = coords.planeY;
    c.at.y = coords.planeX;
    return c;
  }

 private:
  sheet::RunContext& ctx_;
  const geo::ElevationGrid& g_;
  double heightFactor_;
};

void triangle(sheet::EntityWriter& out, ClassLayers& layers, const Corner& p, const Corner& q, const Corner& r,
              const Corner& classCorner) {
  out.face(layers.of(classCorner.metres), {p.at, q.at, r.at, r.at});
}

}  // namespace

void writeMeshBlocks(sheet::RunContext& ctx, sheet::EntityWriter& out) {
  ctx.progress(sheet::ProgressLine::Phase, "標高Mesh描画中 ");
  ctx.progress(sheet::ProgressLine::Detail, "");
  const int source = ctx.settings.meshSource;
  const auto& blocks = sheet::meshCellBlockNames();
  if (source < 0 || source > 3) return;
  const std::string_view block = blocks[static_cast<std::size_t>(source)];
  const auto& g = ctx.elevationGrid;
  Mesh mesh(ctx);
  ClassLayers layers(ctx);
  for (int r = 0; r < g.rowCount; ++r) {
    for (int c = 0; c < g.columnCount; ++c) {
      if (!mesh.hasData(g.cell(r, c))) continue;
      const Corner cell = mesh.corner(r, c);
      out.insert(layers.of(cell.metres), block, cell.at);
    }
  }
}

void writeMeshFaces(sheet::RunContext& ctx, sheet::EntityWriter& out) {
  ctx.progress(sheet::ProgressLine::Phase, "3DFace標高Mesh描画中 ");
  ctx.progress(sheet::ProgressLine::Detail, "");
  const auto& g = ctx.elevationGrid;
  if (g.rowCount < 2 || g.columnCount < 2) return;
  Mesh mesh(ctx);
  ClassLayers layers(ctx);
  for (int r = 0; r + 1 < g.rowCount; ++r) {
    // The right corners of one quad are the left corners of the next.
    Corner a = mesh.corner(r, 0), b = mesh.corner(r + 1, 0);
    for (int c = 1; c < g.columnCount; ++c) {
      const Corner cc = mesh.corner(r, c), d = mesh.corner(r + 1, c);
      if (cc.data && b.data) {
        if (a.data) triangle(out, layers, a, cc, b, cc);
        if (d.data) triangle(out, layers, cc, d, b, cc);
      } else if (a.data && d.data) {
        if (b.data) triangle(out, layers, a, d, b, d);
        if (cc.data) triangle(out, layers, a, cc, d, cc);
      }
      a = cc;
      b = d;
    }
  }
}

}  // namespace elevation
