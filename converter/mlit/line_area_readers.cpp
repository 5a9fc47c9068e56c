// Lines and areas: every coordinate list as a polyline, land use zones (one item per
// zone), areas coloured by a depth attribute, and plain areas.
#include <cmath>
#include <cstdio>
#include <optional>

#include "converter/mlit/mlit_readers.h"
#include "converter/mlit/reader_common.h"
#include "converter/settings/sheet_labels.h"

namespace mlit {

namespace {

constexpr std::string_view kZoneCurve = "gml:Curve gml:id=\"cv";
constexpr std::string_view kZoneCode = "<ksj:dac>";
constexpr std::string_view kZoneCodeEnd = "</ksj:dac>";
constexpr double kNoDepth = 99999;

// Zone codes that have an item: "A29-" and the code.
constexpr int kZoneCodes[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 99};

// Area and ring number of an area identifier: "12_3", or "12" for ring 0.
void areaIdentifier(std::string_view id, long long& area, long long& ring) {
  const auto bar = id.find('_');
  area = wholeNumber(id.substr(0, bar));
  ring = bar == std::string_view::npos ? 0 : wholeNumber(id.substr(bar + 1));
}

bool samePoint(const geo::PointPair& a, const geo::PointPair& b) { return a.x == b.x && a.y == b.y; }

// The rings of one area as they are read: each "<gml:posList>" reserves a header slot,
// its pairs follow, "</gml:posList>" fills the header (point count, ring number) after
// dropping a closing point that repeats the first.
struct RingCollector {
  explicit RingCollector(geo::PointBuffer& b) : buffer(b) {}
  geo::PointBuffer& buffer;
  std::size_t from = 0, used = 0, ringStart = 0;
  long long count = 0;
  bool open = false;
  gml::Box box;

  geo::PointPair& at(std::size_t i) {
    if (i >= buffer.size()) throw gml::BufferFull();
    return buffer[i];
  }
  void reset() {
    used = from;
    count = 0;
    open = false;
    box.reset();
  }
  void start() {
    ringStart = used;
    at(used++) = {0, 0};
    open = true;
  }
  void pair(std::string_view line, bool grow) {
    double la, lo;
    gml::parsePair(line, la, lo);
    at(used++) = {lo, la};
    if (grow) box.add(lo, la);
  }
  void end(long long ring) {
    std::size_t n = used - ringStart - 1;
    if (n >= 2 && samePoint(buffer[ringStart + 1], buffer[used - 1])) {
      --used;
      --n;
    }
    buffer[ringStart] = {static_cast<double>(n), static_cast<double>(ring)};
    ++count;
    open = false;
  }
};

}  // namespace

void MlitReaders::mlitLines(const std::filesystem::path& file) {
  long long lists = 0;
  std::string_view line;
  Failure failure;
  failure.detail = [&] { return std::to_string(lists) + ":" + std::string(line); };
  std::optional<LineScanner> scanner;  // outlives the guard: the failure quotes its line
  guarded(file, failure, [&] {
    LineScanner& in = scanner.emplace(file);
    auto& buf = ctx_.pointBuffer;
    std::size_t used = 0;
    bool open = false;
    gml::Box box;
    const std::string& layer = name();
    while (nextLine(in, line)) {
      if (!open) {
        if (contains(line, gml::kPosListStart)) {
          open = true;
          used = 0;
          box.reset();
        }
        continue;
      }
      // A list of fewer than two points does not end here: its end line is read as a
      // pair and fails.
      if (used >= 2 && contains(line, gml::kPosListEnd)) {
        open = false;
        if (boxOverlaps(box)) {
          const bool closed = samePoint(buf[0], buf[used - 1]);
          sheet::PolylineStyle style;
          style.width = 0;
          out_.lwpolyline(layer, planeVertices(buf.data(), closed ? used - 1 : used), closed, style);
        }
        tick(++lists, 100, false);
        continue;
      }
      double la, lo;
      gml::parsePair(line, la, lo);
      if (used >= buf.size()) throw gml::BufferFull();
      buf[used++] = {lo, la};
      box.add(lo, la);
    }
    if (open) partMissing(file);
  });
}

void MlitReaders::mlitAreas(const std::filesystem::path& file, std::size_t index) { readAreas(file, index, false); }

void MlitReaders::mlitDepthAreas(const std::filesystem::path& file, std::size_t index) { readAreas(file, index, true); }

// Areas of consecutive rings whose identifiers carry the area number; an area is complete
// when a new area number or the end of the file comes.
void MlitReaders::readAreas(const std::filesystem::path& file, std::size_t index, bool byDepth) {
  setItem(index);
  const settings::MlitLayerEntry& e = item();
  if (!contains(settings::pathText(file.filename()), e.key)) return;
  long long lines = 0;
  std::string_view line;
  Failure failure;
  failure.detail = [&] { return std::to_string(lines) + ":" + std::string(line); };
  std::optional<LineScanner> scanner;  // outlives the guard: the failure quotes its line
  guarded(file, failure, [&] {
    std::optional<ForwardStream> attributes;
    if (byDepth) {
      ctx_.progress(sheet::ProgressLine::Phase, name() + " STEP1");
      attributes.emplace(file);
      attributes->seek(e.linkMarker);
      ctx_.progress(sheet::ProgressLine::Phase, name() + " STEP2 ");
    } else {
      ctx_.progress(sheet::ProgressLine::Phase, name());
    }
    LineScanner& in = scanner.emplace(file);
    RingCollector rings(ctx_.pointBuffer);
    long long area = -1, ring = 0;
    auto complete = [&] {
      if (rings.count > 0 && boxOverlaps(rings.box)) {
        const Rings r{rings.from, rings.used, rings.count};
        // An area takes the depth of the attribute object that refers to its own number.
        const double d = attributes ? depthOf(*attributes, area) : kNoDepth;
        if (d < 0)
          writeArea(name(), r, true, geo::Colour{7, static_cast<long long>(depthColourValue(d))}, d);
        else
          writeArea(name(), r, true);
      }
      rings.reset();
    };
    while (nextLine(in, line)) {
      tick(++lines, 100000, true);
      if (rings.open) {
        if (contains(line, gml::kPosListEnd))
          rings.end(ring);
        else
          rings.pair(line, true);
        continue;
      }
      if (contains(line, e.geometryMarker)) {
        long long nextArea, nextRing;
        areaIdentifier(after(line, e.geometryMarker, "\""), nextArea, nextRing);
        if (nextArea != area) complete();
        area = nextArea;
        ring = nextRing;
      }
      if (contains(line, gml::kPosListStart)) rings.start();
    }
    if (rings.open) partMissing(file);
    complete();
  });
  ctx_.progress(sheet::ProgressLine::Phase, "");
}

std::string MlitReaders::depthReference(long long area) const {
  const auto& e = item();
  char five[32];
  std::snprintf(five, sizeof five, "%.5lld", area);
  if (e.key.starts_with("A26-")) return e.linkMarker + five + "\">";
  if (e.key == "A31-12") return e.linkMarker + five + "\"/>";
  return e.linkMarker + std::to_string(area) + "\"/>";
}

// The depth of an area as a negative elevation in drawing units; kNoDepth when the
// attribute is not found or its text holds no number.
double MlitReaders::depthOf(ForwardStream& attributes, long long area) {
  const auto& e = item();
  const std::string reference = depthReference(area);
  std::string_view line;
  bool seen = false;
  while (attributes.next(line)) {
    if (!seen && !contains(line, reference)) continue;
    seen = true;
    if (contains(line, e.valueMarker)) break;
  }
  if (!seen || !contains(line, e.valueMarker)) return kNoDepth;
  std::string_view number;
  if (std::string_view("A49- A40-").find(e.key) != std::string_view::npos) {
    // Class texts: the upper bound after "～ ", else what follows "以上", else the text
    // after the tag; the number stands before its "m".
    std::string_view rest = line;
    if (!take(rest, "～ ") && !take(rest, "以上") && !take(rest, ">")) return kNoDepth;
    const auto m = rest.find('m');
    if (m == std::string_view::npos) return kNoDepth;
    number = rest.substr(0, m);
  } else {
    number = after(line, ">", "<");
  }
  try {
    return -parseReal(number) * u_;
  } catch (const gml::ReadError&) {
    ctx_.reportOnce("mlitjpgis(code = " + std::to_string(area) + ":" + std::string(line) + ")で異常");
    return kNoDepth;
  }
}

// The item colour lightened or darkened by depth, as R×65536 + G×256 + B.
double MlitReaders::depthColourValue(double d) const {
  const auto& s = ctx_.settings;
  const std::uint32_t c = item().colour;
  const double shift = (d / u_ - s.legendBottomBias + 2) * s.legendIntervalBias * 0.05;
  auto channel = [&](int bits) {
    const double v = static_cast<double>((c >> bits) & 0xFF);
    const double t = std::trunc(v + shift * v);
    return t < 0 ? 0.0 : t > 255 ? 255.0 : t;
  };
  return channel(0) * 65536 + channel(8) * 256 + channel(16);
}

int MlitReaders::zoneItem(double zoneCode) const {
  const auto& items = ctx_.settings.mlitLayers;
  const double code = std::trunc(zoneCode);
  for (int z : kZoneCodes) {
    if (code != z) continue;
    const std::string key = "A29-" + std::to_string(z);
    for (std::size_t i = 0; i < items.size(); ++i)
      if (items[i].key == key) return static_cast<int>(i);
  }
  return -1;
}

void MlitReaders::mlitZoningAreas(const std::filesystem::path& file, std::size_t index) {
  setItem(index);
  const settings::MlitLayerEntry& e = item();
  ctx_.progress(sheet::ProgressLine::Phase, name());
  long long lines = 0, area = 0, highestSlot = 0;
  std::string_view line;
  Failure failure;
  failure.detail = [&] { return std::to_string(lines) + ":" + std::string(line); };
  std::optional<LineScanner> scanner;  // outlives the guard: the failure quotes its line
  auto& buf = ctx_.pointBuffer;

  // Pass 1: per number, the zone code of its attribute object and the highest ring of its
  // area. The slots start cleared: the buffer holds what other readers left.
  auto number = [&](long long n) -> geo::PointPair& {
    if (n < 0) throw gml::ReadError("negative number");
    while (highestSlot <= n) slot(static_cast<std::size_t>(highestSlot++)) = {0, -1};
    return slot(static_cast<std::size_t>(n));
  };
  bool pass1 = false;
  guarded(file, failure, [&] {
    LineScanner& in = scanner.emplace(file);
    long long attribute = -1;
    while (nextLine(in, line)) {
      ++lines;
      if (gml::tagFree(line)) continue;
      if (contains(line, kZoneCurve)) {
        long long a, r;
        const std::string_view id = after(line, kZoneCurve, "\">");
        a = wholeNumber(valueUpTo(id, "_"));
        r = id.find('_') == std::string_view::npos ? 0 : wholeNumber(id.substr(id.find('_') + 1));
        auto& p = number(a);
        if (r > p.y) p.y = static_cast<double>(r);
      }
      if (contains(line, e.linkMarker)) {
        attribute = wholeNumber(after(line, e.linkMarker, "\"/>"));
        number(attribute);
      }
      if (contains(line, kZoneCode) && attribute >= 0) {
        const std::string_view text = after(line, kZoneCode, kZoneCodeEnd);
        try {
          number(attribute).x = parseReal(text);
        } catch (const gml::ReadError&) {
          ctx_.reportOnce(settings::pathText(file) + " の" + std::to_string(in.lineNumber()) + "行目の用途地域コード(" +
                          std::string(text) + ")を読めません");
        }
      }
    }
    pass1 = true;
  });
  if (!pass1) return;

  // Pass 2: the rings of the areas of this item's zone, written when the ring that reaches
  // the area's highest ring number ends.
  failure.prefix = "用途地域(";
  failure.detail = [&] { return ":" + std::to_string(area) + ":" + std::string(line); };
  guarded(file, failure, [&] {
    LineScanner& in = scanner.emplace(file);
    RingCollector rings(buf);
    rings.from = rings.used = static_cast<std::size_t>(highestSlot);
    long long ring = 0, highestRing = 0, lists = 0;
    bool mine = false, drawn = false;
    while (nextLine(in, line)) {
      if (rings.open) {
        if (!contains(line, gml::kPosListEnd)) {
          rings.pair(line, ring == 0);
          continue;
        }
        rings.end(ring);
        if (ring == 0) drawn = boxOverlaps(rings.box);
        if (ring >= highestRing) {
          if (drawn) writeArea(name(), {rings.from, rings.used, rings.count}, false);
          rings.reset();
          drawn = false;
        }
        continue;
      }
      if (contains(line, e.geometryMarker)) {
        areaIdentifier(after(line, e.geometryMarker, "\""), area, ring);
        const bool known = area >= 0 && area < highestSlot;
        const geo::PointPair z = known ? buf[static_cast<std::size_t>(area)] : geo::PointPair{0, 0};
        mine = known && zoneItem(z.x) == static_cast<int>(index);
        highestRing = z.y < 0 ? 0 : static_cast<long long>(z.y);
        if (ring == 0) {
          rings.reset();
          drawn = false;
        }
      }
      if (contains(line, gml::kPosListStart)) {
        tick(++lists, 1000, false);
        if (mine) rings.start();
      }
    }
    if (rings.open) partMissing(file);
  });
}

}  // namespace mlit
