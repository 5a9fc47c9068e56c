#include "converter/sheet/entity_writer.h"

namespace sheet {

using dxfio::Vertex;

void entityHead(dxfio::DxfWriter& dxf, std::string_view type, std::uint32_t handle, std::uint32_t owner,
                std::string_view layer, bool paper) {
  dxf.pair(0, type);
  dxf.handle(5, handle);
  dxf.handle(330, owner);
  if (paper) dxf.pair(67, 1);
  dxf.pair(100, "AcDbEntity");
  dxf.pair(8, layer);
}

void EntityWriter::modelHead(std::string_view type, std::string_view layer) {
  entityHead(dxf_, type, dxf_.takeHandle(), kModelSpaceRecord, layer);
  ++entities_;
}

void EntityWriter::paperHead(std::string_view type, std::string_view layer) {
  entityHead(dxf_, type, dxf_.takeHandle(), kPaperSpaceRecord, layer, true);
  ++entities_;
}

void EntityWriter::colour(const geo::Colour& colour) {
  dxf_.pair(62, colour.index);
  if (colour.trueColour) dxf_.pair(420, *colour.trueColour);
}

void EntityWriter::textStart(std::string_view layer, Point3 at, double height) {
  modelHead("TEXT", layer);
  dxf_.pair(100, "AcDbText");
  point(10, at);
  dxf_.pair(40, height);
}

void EntityWriter::textAlignment(Point3 at) { point(11, at); }

void EntityWriter::textEnd(std::optional<int> verticalAlignment) {
  dxf_.pair(100, "AcDbText");
  if (verticalAlignment) dxf_.pair(73, *verticalAlignment);
}

void EntityWriter::mtext(std::string_view layer, const MText& t, const std::optional<geo::Colour>& colour) {
  modelHead("MTEXT", layer);
  if (colour) this->colour(*colour);
  dxf_.pair(100, "AcDbMText");
  point(10, {t.x, t.y, t.z});
  dxf_.pair(40, t.height);
  if (t.width) dxf_.pair(41, *t.width);
  if (t.attachment) dxf_.pair(71, *t.attachment);
  if (t.direction) dxf_.pair(72, *t.direction);
  dxf_.pair(1, t.value);
  if (t.xAxis) {
    dxf_.pair(11, t.xAxis->x);
    dxf_.pair(21, t.xAxis->y);
    dxf_.pair(31, 0);
  }
  if (t.lineSpacing) {
    dxf_.pair(73, *t.lineSpacing);
    dxf_.pair(44, 1);
  }
}

void EntityWriter::insert(std::string_view layer, std::string_view block, Point3 at, std::optional<double> scale) {
  modelHead("INSERT", layer);
  dxf_.pair(100, "AcDbBlockReference");
  dxf_.pair(2, block);
  point(10, at);
  if (!scale) return;
  dxf_.pair(41, *scale);
  dxf_.pair(42, *scale);
}

bool EntityWriter::lwpolyline(std::string_view layer, std::span<const Vertex> v, const PolylineStyle& style) {
  if (v.size() < 2) return false;  // a single point is no line
  const bool closed = v.front().x == v.back().x && v.front().y == v.back().y;
  lwpolyline(layer, closed ? v.first(v.size() - 1) : v, closed, style);
  return true;
}

void EntityWriter::lwpolyline(std::string_view layer, std::span<const Vertex> v, bool closed,
                              const PolylineStyle& style) {
  modelHead("LWPOLYLINE", layer);
  if (style.lineweight) dxf_.pair(370, *style.lineweight);
  if (style.linetypeScale) dxf_.pair(48, *style.linetypeScale);
  dxf_.pair(100, "AcDbPolyline");
  dxf_.pair(90, static_cast<long long>(v.size()));
  dxf_.pair(70, closed ? 1 : 0);
  if (style.width) dxf_.pair(43, *style.width);
  dxf_.pair(38, style.elevation);
  dxf_.vertices(v);
}

void EntityWriter::hatchStart(std::string_view layer, long long rings, const std::optional<geo::Colour>& colour,
                              double elevation) {
  modelHead("HATCH", layer);
  if (colour) this->colour(*colour);
  dxf_.pairs({{100, "AcDbHatch"}, {10, "0"}, {20, "0"}});
  dxf_.pair(30, elevation);
  dxf_.pairs({{210, "0"}, {220, "0"}, {230, "1"}, {2, "SOLID"}, {70, "1"}, {71, "0"}});
  dxf_.pair(91, rings);
}

void EntityWriter::hatchRing(HatchRing kind, std::span<const Vertex> ring) {
  dxf_.pair(92, static_cast<int>(kind));
  dxf_.pair(93, static_cast<long long>(ring.size()));
  // Every vertex ends one edge and starts the next: its numbers are formatted once.
  const std::size_t n = ring.size();
  xs_.resize(n);
  ys_.resize(n);
  for (std::size_t i = 0; i < n; ++i) {
    xs_[i].clear();
    ys_[i].clear();
    dxfio::appendReal(xs_[i], ring[i].x);
    dxfio::appendReal(ys_[i], ring[i].y);
  }
  for (std::size_t i = 0; i < n; ++i) {
    const std::size_t j = i + 1 == n ? 0 : i + 1;
    dxf_.pair(72, "1");
    dxf_.pair(10, xs_[i]);
    dxf_.pair(20, ys_[i]);
    dxf_.pair(11, xs_[j]);
    dxf_.pair(21, ys_[j]);
  }
  dxf_.pair(97, "0");
}

void EntityWriter::hatchEnd() { dxf_.pairs({{75, "0"}, {76, "1"}, {98, "1"}, {10, "0"}, {20, "0"}}); }

void EntityWriter::line(std::string_view layer, Point3 from, Point3 to) {
  modelHead("LINE", layer);
  dxf_.pair(6, "Continuous");
  dxf_.pair(100, "AcDbLine");
  point(10, from);
  point(11, to);
}

void EntityWriter::point(int xCode, Point3 at) {
  dxf_.pair(xCode, at.x);
  dxf_.pair(xCode + 10, at.y);
  dxf_.pair(xCode + 20, at.z);
}

void EntityWriter::corners(const Point3 (&c)[4]) {
  for (int k = 0; k < 4; ++k) {
    point(10 + k, c[k]);
  }
}

void EntityWriter::face(std::string_view layer, const Point3 (&c)[4]) {
  modelHead("3DFACE", layer);
  dxf_.pair(100, "AcDbFace");
  corners(c);
}

void EntityWriter::solid(std::string_view layer, const Point3 (&c)[4], bool paper,
                         const std::optional<geo::Colour>& colour) {
  if (paper)
    paperHead("SOLID", layer);
  else
    modelHead("SOLID", layer);
  if (colour) this->colour(*colour);
  dxf_.pair(100, "AcDbTrace");
  corners(c);
}

}  // namespace sheet
