// Line features: lines cut at mesh edges, roads with their widths, railways, and lines
// drawn only where visible (power lines with their line type scale).
#include <string>

#include "converter/fgd/reader_common.h"

namespace fgd {

namespace {

// Road widths by the published width class, metres.
struct WidthClass {
  std::string_view text;
  double metres;
};
constexpr WidthClass kRoadWidths[] = {
    {"3m未満", 2.5}, {"3m-5.5m未満", 4.25}, {"5.5m-13m未満", 9.25}, {"13m-19.5m未満", 16.25}, {"19.5m以上", 23},
};

}  // namespace

void GmlReaders::GML32Poly(const std::filesystem::path& file) {
  if (!ctx_.runContinue) return;
  guarded("GML32Poly", file, true, [&](LineScanner& in) {
    gml::ListCollector list(ctx_.pointBuffer, true);
    const geo::PointPair* buf = list.data();
    std::string type;
    int level = kStartLevel;
    long long lists = 0;
    auto fields = [&](TagLine& line) {
      if (take(line, "<type>")) type = valueUpTo(line);
      if (take(line, "<orgGILvl>")) level = parseWhole(valueUpTo(line));
    };
    auto featureEnd = [&] {
      const int k = route(type);
      const std::size_t used = list.used;
      if (k >= 0 && level >= rank_ && boxOverlaps(list.box)) {
        const std::string& lay = layer(static_cast<std::size_t>(k));
        const long long before = out_.entityCount();
        for (std::size_t at = 0; at < used;) {
          const std::size_t m = gml::countedListSize(buf, at, used);
          const geo::PointPair* p = buf + at + 1;
          // Segments with both ends on a mesh line are the cut edges; the rest form runs.
          std::size_t runStart = SIZE_MAX;
          bool previous = m > 0 && onMeshLine(p[0]);
          for (std::size_t i = 0; i + 1 < m; ++i) {
            const bool current = onMeshLine(p[i + 1]);
            if (!(previous && current)) {
              if (runStart == SIZE_MAX) runStart = i;
            } else if (runStart != SIZE_MAX) {
              polyline(lay, p + runStart, i + 1 - runStart);
              runStart = SIZE_MAX;
            }
            previous = current;
          }
          if (runStart != SIZE_MAX) polyline(lay, p + runStart, m - runStart);
          at += m + 1;
        }
        if (out_.entityCount() > before) ++lineFeatures_;
      }
      level = kStartLevel;
    };
    gml::scanFeatures(
        in, list, group_.featureStartMarker, group_.featureEndMarker, fields, [&] { listDone(lists); }, featureEnd);
  });
}

void GmlReaders::GML64Poly_Road(const std::filesystem::path& file) {
  if (!ctx_.runContinue) return;
  guarded("GML64Poly_Road", file, true, [&](LineScanner& in) {
    gml::ListCollector list(ctx_.pointBuffer, false);
    const geo::PointPair* buf = list.data();
    bool overlaps = false;
    std::string category;
    int level = kStartLevel;
    const double startWidth = 2.5 * u_;
    double width = startWidth;
    long long lists = 0;
    TagLine line;
    while (gml::nextOtherLine(in, list, line)) {
      if (list.takeCoordinateLine(line)) continue;
      if (take(line, "<rdCtg>")) category = valueUpTo(line, "</");
      if (take(line, "<rnkWidth>")) {
        const std::string_view v = valueUpTo(line);
        for (const auto& c : kRoadWidths)
          if (v == c.text) width = c.metres * u_;
      }
      if (take(line, "<Width>")) width = parseReal(valueUpTo(line)) * u_;
      if (take(line, "<orgGILvl>")) level = parseWhole(valueUpTo(line));
      if (list.closeIfEnd(line)) {
        overlaps = boxOverlaps(list.box);
        listDone(lists);
      }
      if (contains(line, group_.featureEndMarker)) {
        const int k = route(category);
        if (overlaps && k >= 0 && width >= ctx_.values.minRoadWidthUnits && level >= rank_) {
          sheet::PolylineStyle road;
          road.lineweight = 0;
          road.width = width;
          polyline(layer(static_cast<std::size_t>(k)), buf, list.used, road);
        }
        width = startWidth;
        level = kStartLevel;
      }
      list.pairIfOpen(line);
      list.openIfStart(line);
    }
  });
}

void GmlReaders::GML128Poly_Rail(const std::filesystem::path& file) {
  if (!ctx_.runContinue) return;
  // The rail reader reports under the road reader's name.
  guarded("GML64Poly_Road", file, true, [&](LineScanner& in) {
    gml::ListCollector list(ctx_.pointBuffer, false);
    const geo::PointPair* buf = list.data();
    std::string type, single, state;
    int level = kStartLevel;
    long long lists = 0;
    TagLine line;
    while (gml::nextOtherLine(in, list, line)) {
      if (list.takeCoordinateLine(line)) continue;
      if (list.closeIfEnd(line)) listDone(lists);
      if (take(line, "<type>")) type = valueUpTo(line);
      if (take(line, "<snglDbl>")) single = valueUpTo(line);
      if (take(line, "<railState>")) {
        state = valueUpTo(line);
        if (state == "地下") single = "地下";
      }
      if (take(line, "<orgGILvl>")) level = parseWhole(valueUpTo(line));
      if (contains(line, group_.featureEndMarker)) {
        const int k = route(type + single);
        if (k >= 0 && level >= rank_ && boxOverlaps(list.box))
          polyline(layer(static_cast<std::size_t>(k)), buf, list.used);
        type.clear();
        single.clear();
        state.clear();
        level = kStartLevel;
      }
      list.pairIfOpen(line);
      list.openIfStart(line);
    }
  });
}

void GmlReaders::GML256Poly(const std::filesystem::path& file) {
  if (!ctx_.runContinue) return;
  guarded("GML256Poly", file, true, [&](LineScanner& in) {
    gml::ListCollector list(ctx_.pointBuffer, false);
    const geo::PointPair* buf = list.data();
    std::string type, visibility = "0";
    int level = kStartLevel;
    long long lists = 0;
    const bool power = group_.featureStartMarker == "<PwrTrnsmL";
    TagLine line;
    while (gml::nextOtherLine(in, list, line)) {
      if (list.takeCoordinateLine(line)) continue;
      if (take(line, "<vis>")) visibility = valueUpTo(line);
      if (take(line, "<type>")) type = valueUpTo(line);
      if (list.closeIfEnd(line)) listDone(lists);
      if (take(line, "<orgGILvl>")) {
        const std::string_view v = valueUpTo(line);
        level = v.empty() ? 0 : parseWhole(v);
      }
      if (contains(line, group_.featureEndMarker)) {
        if (type == "トンネル内の道路") visibility = "表示";
        if ((visibility == "表示" || visibility == "0") && boxOverlaps(list.box)) {
          const int k = route(type);
          if (k >= 0 && level >= rank_) {
            const auto item = static_cast<std::size_t>(k);
            sheet::PolylineStyle style;
            if (power) style.linetypeScale = sizeFactor(item);
            polyline(layer(item), buf, list.used, style);
          }
        }
        visibility = "0";
        level = kStartLevel;
      }
      list.pairIfOpen(line);
      list.openIfStart(line);
    }
  });
}

}  // namespace fgd
