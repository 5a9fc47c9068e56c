#include "converter/fgd/gml_readers.h"

#include <cmath>
#include <limits>

#include "converter/fgd/reader_common.h"
#include "converter/settings/choice_lists.h"
#include "converter/settings/sheet_labels.h"
#include "converter/sheet/text_fonts.h"

namespace fgd {

GmlReaders::GmlReaders(sheet::RunContext& context, const GroupState& group, sheet::EntityWriter& out)
    : ctx_(context), group_(group), out_(out) {
  const auto& s = ctx_.settings;
  u_ = ctx_.values.unitsPerMetre;
  flavour_ = s.flavour();
  font_ = sheet::inlineFontFace(s.textFont);
  double scale = 1;
  symbolScale_ = settings::parseReal(s.symbolScale, scale) ? scale : 1;
  rank_ = ctx_.rankThreshold;
}

void GmlReaders::readFile(const std::filesystem::path& file, int bits) {
  if (bits & kName) GML1Name(file);
  if (bits & kElevationPoint) GML2Elv(file);
  if (bits & kControlPoint) GML4GCP(file);
  if (bits & kAnnotation) GML8LayoutStr(file);
  if (bits & kSymbol) GML16Symbol(file);
  if (bits & kMeshLine) GML32Poly(file);
  if (bits & kRoad) GML64Poly_Road(file);
  if (bits & kRail) GML128Poly_Rail(file);
  if (bits & kVisibleLine) GML256Poly(file);
  if (bits & kAreaEdge) GML512HatchEdge(file);
  if (bits & kAreaFill) GML1024Hatch(file);
}

int GmlReaders::route(std::string_view category) const {
  const auto& values = group_.activeAttributeValues;
  if (values.empty()) return -1;
  if (values[0].empty()) return 0;
  for (std::size_t k = 0; k < values.size(); ++k)
    if (equalsNoCase(values[k], category)) return static_cast<int>(k);
  return -1;
}

double GmlReaders::sizeFactor(std::size_t item) const {
  if (item >= group_.activeSizeIndexes.size()) throw gml::ReadError("item index outside the lists");
  const int index = group_.activeSizeIndexes[item];
  if (index < 0 || index >= static_cast<int>(settings::kSizeFactors.size()))
    throw gml::ReadError("size index outside the list");
  return settings::kSizeFactors[static_cast<std::size_t>(index)] * symbolScale_;
}

const std::string& GmlReaders::layer(std::size_t item) const {
  if (item >= group_.activeLayerNames.size()) throw gml::ReadError("item index outside the lists");
  return group_.activeLayerNames[item];
}

const std::string& GmlReaders::option(std::size_t item) const {
  if (item >= group_.activeOptions.size()) throw gml::ReadError("item index outside the lists");
  return group_.activeOptions[item];
}

void GmlReaders::position(double latitude, double longitude, double& x, double& y) {
  if (!onMesh(latitude, longitude)) {
    x = y = std::numeric_limits<double>::quiet_NaN();
    return;
  }
  ctx_.coordinates.bltoxy(longitude, latitude);
  x = ctx_.coordinates.planeX;
  y = ctx_.coordinates.planeY;
}

bool GmlReaders::takePosition(gml::TagLine& line, double& x, double& y) {
  if (!gml::take(line, "<gml:pos>")) return false;
  double la, lo;
  gml::parsePosition(line, la, lo);
  position(la, lo, x, y);
  return true;
}

bool GmlReaders::insideSheet(double x, double y) const {
  return x >= ctx_.sheetSouth && x <= ctx_.sheetNorth && y >= ctx_.sheetWest && y <= ctx_.sheetEast;
}

bool GmlReaders::onMesh(double latitude, double longitude) {
  if (!mesh_) return true;
  // Half a second-level mesh: published features overhang their mesh by far less.
  constexpr double kLatitudeSlack = 5.0 / 60 / 2, kLongitudeSlack = 7.5 / 60 / 2;
  const geo::GeoBox& m = *mesh_;
  if (latitude >= m.south - kLatitudeSlack && latitude <= m.north + kLatitudeSlack &&
      longitude >= m.west - kLongitudeSlack && longitude <= m.east + kLongitudeSlack)
    return true;
  if (!offMeshTold_) {
    offMeshTold_ = true;
    ctx_.reportOnce("ファイルの区画から外れた座標の図形を描画しません " + settings::pathText(*file_) +
                (in_ ? " " + std::to_string(in_->lineNumber()) + "行目" : std::string()));
  }
  return false;
}

bool GmlReaders::boxOverlaps(const gml::Box& box) {
  if (box.empty()) return false;
  if (!onMesh(box.minLat, box.minLon) || !onMesh(box.maxLat, box.maxLon)) return false;
  auto& inner = ctx_.innerBox;
  const std::array bounds{ctx_.sheetWest, ctx_.sheetEast, ctx_.sheetSouth, ctx_.sheetNorth};
  if (inner.bounds != bounds || !inner.madeWith.convertsLike(ctx_.coordinates)) {
    inner.bounds = bounds;
    inner.madeWith = ctx_.coordinates;
    geo::GeoBox b;
    inner.box = geo::innerGeoBox(ctx_.coordinates, bounds[0], bounds[1], bounds[2], bounds[3], b) ? std::optional(b)
                                                                                                   : std::nullopt;
  }
  // Both corners inside the sheet pass the test below.
  if (const auto& b = inner.box;
      b && box.minLon >= b->west && box.maxLon <= b->east && box.minLat >= b->south && box.maxLat <= b->north)
    return true;
  auto& c = ctx_.coordinates;
  c.bltoxy(box.minLon, box.minLat);
  const double south = c.planeX, west = c.planeY;
  c.bltoxy(box.maxLon, box.maxLat);
  const double north = c.planeX, east = c.planeY;
  return north >= ctx_.sheetSouth && south <= ctx_.sheetNorth && east >= ctx_.sheetWest && west <= ctx_.sheetEast;
}

std::string GmlReaders::inlineFont(std::string_view pitch, bool vertical) const {
  return std::string("{\\f") + (vertical ? "@" : "") + font_ + "|b0|i0|c128|" + std::string(pitch) + ";";
}

void GmlReaders::listDone(long long& lists) {
  ++lists;
  lists_ = lists;
  if (lists % 10000 == 0) {
    ctx_.progress(sheet::ProgressLine::Detail, std::to_string(lists));
    ctx_.pump();
    if (!ctx_.runContinue) throw gml::ReadCancelled();
  }
}

bool GmlReaders::onMeshLine(const geo::PointPair& p) {
  auto edge = [](double v) {
    const double f = v - std::trunc(v);
    return f < 1e-7 || f > 0.9999999;
  };
  return edge(p.x * 8) || edge(p.y * 12);
}

void GmlReaders::planeList(const geo::PointPair* p, std::size_t m, std::vector<dxfio::Vertex>& out) {
  out.resize(m);
  if (const bool lookUp = behindHelper()) {
    for (std::size_t i = 0; i < m; ++i) listPair(lookUp, p[i].x, p[i].y, out[i].y, out[i].x);
    return;
  }
  planePairs_.resize(m);
  ctx_.coordinates.bltoxyList(p, m, planePairs_.data());
  for (std::size_t i = 0; i < m; ++i) out[i] = {planePairs_[i].x, planePairs_[i].y};
}

std::span<const dxfio::Vertex> GmlReaders::planeVertices(const geo::PointPair* p, std::size_t m) {
  planeList(p, m, scratch_);
  return scratch_;
}

void GmlReaders::polyline(std::string_view layerName, const geo::PointPair* p, std::size_t m,
                          const sheet::PolylineStyle& style) {
  if (m < 2) return;  // a single point is no line
  const bool closed = p[0].x == p[m - 1].x && p[0].y == p[m - 1].y;
  const std::size_t n = closed ? m - 1 : m;
  out_.lwpolyline(layerName, planeVertices(p, n), closed, style);
  vertices_ += static_cast<long long>(n);
}

}  // namespace fgd
