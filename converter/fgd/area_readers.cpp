// Area features: outlines (LWPOLYLINE per ring) and solid fills (one HATCH per area).
#include <cmath>
#include <string>

#include "converter/fgd/reader_common.h"

namespace fgd {

// Scans the features of an area file; `featureEnd` sees each one with its lists (count
// slot, then pairs, list after list) in the point buffer.
void GmlReaders::areaScan(gml::LineScanner& in, AreaFeature& f, bool readName, auto featureEnd) {
  gml::ListCollector list(ctx_.pointBuffer, true);
  long long lists = 0;
  auto fields = [&](TagLine& line) {
    if (take(line, "<type>")) f.type = valueUpTo(line);
    if (take(line, "<orgGILvl>")) f.level = parseWhole(valueUpTo(line));
    if (readName && take(line, "<name>")) f.name = valueUpTo(line);
  };
  f.level = kStartLevel;
  gml::scanFeatures(
      in, list, group_.featureStartMarker, group_.featureEndMarker, fields, [&] { listDone(lists); },
      [&] {
        f.used = list.used;
        f.box = list.box;
        featureEnd();
        f.level = kStartLevel;
      });
}

int GmlReaders::outerRing(const AreaFeature& f, double minPerimeter) {
  const int k = route(f.type);
  if (k < 0 || f.level < rank_ || f.used == 0 || !boxOverlaps(f.box)) return -1;
  const geo::PointPair* buf = ctx_.pointBuffer.data();
  const std::size_t v = gml::countedListSize(buf, 0, f.used);
  const geo::PointPair* ring = buf + 1;
  planeList(ring, v, ring_);
  if (minPerimeter <= 0) {
    // Without a length limit only a ring of one repeated point has no perimeter to pass.
    if (minPerimeter < 0) return k;
    for (std::size_t i = 1; i < v; ++i)
      if (ring_[i].x != ring_[0].x || ring_[i].y != ring_[0].y) return k;
    return -1;
  }
  double perimeter = 0;
  for (std::size_t i = 1; i < v; ++i) perimeter += std::hypot(ring_[i].y - ring_[i - 1].y, ring_[i].x - ring_[i - 1].x);
  if (v > 0) perimeter += std::hypot(ring_[0].y - ring_[v - 1].y, ring_[0].x - ring_[v - 1].x);
  if (!(perimeter > minPerimeter)) return -1;
  return k;
}

namespace {

bool sameEnds(const geo::PointPair* p, std::size_t count) {
  return count > 0 && p[0].x == p[count - 1].x && p[0].y == p[count - 1].y;
}

// Calls `hole(pairs, count)` for every list of the feature after its outer ring of
// `outer` pairs.
template <typename Hole>
void forEachHole(const geo::PointPair* buf, std::size_t outer, std::size_t used, Hole hole) {
  for (std::size_t at = outer + 1; at < used;) {
    const std::size_t count = gml::countedListSize(buf, at, used);
    const geo::PointPair* p = buf + at + 1;
    at += count + 1;
    hole(p, count);
  }
}

}  // namespace

void GmlReaders::GML512HatchEdge(const std::filesystem::path& file) {
  if (!ctx_.runContinue) return;
  guarded("GML512HatchEdge", file, true, [&](LineScanner& in) {
    AreaFeature f;
    const double minPerimeter = (group_.featureStartMarker == "<BldL" ? ctx_.settings.minBuildingPerimeter : 0) * u_;
    const geo::PointPair* buf = ctx_.pointBuffer.data();
    areaScan(in, f, false, [&] {
      const int k = outerRing(f, minPerimeter);
      if (k < 0) return;
      const std::size_t v = ring_.size();
      const std::string& lay = layer(static_cast<std::size_t>(k));
      const bool closed = sameEnds(buf + 1, v);
      const std::size_t n = closed ? v - 1 : v;
      out_.lwpolyline(lay, std::span(ring_).first(n), closed);
      vertices_ += static_cast<long long>(n);
      forEachHole(buf, v, f.used, [&](const geo::PointPair* p, std::size_t count) {
        if (count == 0) return;
        const std::size_t m = sameEnds(p, count) ? count - 1 : count;
        out_.lwpolyline(lay, planeVertices(p, m), true);
        vertices_ += static_cast<long long>(m);
      });
    });
  });
}

void GmlReaders::GML1024Hatch(const std::filesystem::path& file) {
  if (!ctx_.runContinue) return;
  guarded("GML1024Hatch", file, true, [&](LineScanner& in) {
    AreaFeature f;
    const double minPerimeter = (group_.featureStartMarker == "<BldA" ? ctx_.settings.minBuildingPerimeter : 0) * u_;
    // Administrative areas take a colour of their own name.
    const bool administrative = settings::pathText(file).find("AdmArea") != std::string::npos;
    const geo::PointPair* buf = ctx_.pointBuffer.data();
    areaScan(in, f, true, [&] {
      const int k = outerRing(f, minPerimeter);
      if (k < 0) return;
      const std::size_t v = ring_.size();
      const std::string& lay = layer(static_cast<std::size_t>(k));
      long long rings = 0;
      for (std::size_t at = 0; at < f.used; at += gml::countedListSize(buf, at, f.used) + 1) ++rings;
      out_.hatchStart(lay, rings, administrative ? std::optional(geo::areacl(f.name, flavour_)) : std::nullopt);
      const std::size_t n = sameEnds(buf + 1, v) ? v - 1 : v;
      out_.hatchRing(sheet::HatchRing::outer, std::span(ring_).first(n));
      vertices_ += static_cast<long long>(n);
      forEachHole(buf, v, f.used, [&](const geo::PointPair* p, std::size_t count) {
        const std::size_t m = sameEnds(p, count) ? count - 1 : count;
        out_.hatchRing(sheet::HatchRing::hole, planeVertices(p, m));
        vertices_ += static_cast<long long>(m);
      });
      out_.hatchEnd();
    });
  });
}

}  // namespace fgd
