// Texts (and tornado tracks) whose positions and values stand in separate parts of one
// file: point labels and area labels read the two parts through two forward streams,
// airports and tornadoes read the file in several passes with the point buffer as table.
#include <array>
#include <cmath>
#include <limits>

#include "converter/mlit/mlit_readers.h"
#include "converter/mlit/reader_common.h"

namespace mlit {

namespace {

constexpr std::string_view kAirportPoint = "<ksj:AirportReferencePoint gml:id=\"";
constexpr std::string_view kAirportPointRef = "#pt_h_";
constexpr std::string_view kAppearance = "ksj:AppearancePoint gml:id=\"start_";
constexpr std::string_view kDisappearance = "ksj:DisappearancePoint gml:id=\"end_";
constexpr std::string_view kTrackPoint = "<ksj:position xlink:href=\"#pt_";
constexpr std::string_view kFujitaScale = "<ksj:fujitaScale>";
constexpr std::string_view kAppearanceRef = "ksj:appearancePoint xlink:href=\"#start_";
// Airport reference points the table of one file can hold.
constexpr long long kAirportTable = 500;

constexpr double kUnset = std::numeric_limits<double>::quiet_NaN();

}  // namespace

void MlitReaders::mlitPointLabels(const std::filesystem::path& file, std::size_t index) {
  setItem(index);
  const settings::MlitLayerEntry& e = item();
  long long geometryLines = 0;
  Failure failure;
  failure.detail = [&] { return std::to_string(geometryLines); };
  guarded(file, failure, [&] {
    ctx_.progress(sheet::ProgressLine::Phase, name());
    ForwardStream attributes(file);
    if (!attributes.seek(e.linkMarker)) partMissing(file);
    ctx_.progress(sheet::ProgressLine::Phase, name() + " STEP2 ");
    LineScanner geometry(file);
    std::string_view line;
    bool found = false;
    while (nextLine(geometry, line))
      if (contains(line, e.geometryMarker)) {
        found = true;
        break;
      }
    if (!found) {
      ctx_.reportOnce("mlitjpgis(" + settings::pathText(file) + " (fi) ファイル終端まで読込");
      return;
    }
    std::string reference, value;
    bool seen = false, valueTaken = false, pending = false;
    double latitude = 0, longitude = 0;
    auto identify = [&] {
      reference = e.linkMarker + std::string(after(line, e.geometryMarker, "\"")) + "\"";
      value.clear();
      seen = valueTaken = false;
    };
    identify();
    while (nextLine(geometry, line)) {
      ++geometryLines;
      tick(geometryLines, 10000, true);
      if (takePosition(line, latitude, longitude)) pending = true;
      // An empty value is taken too: it belongs to this point, which then gets no text.
      std::string_view a;
      while ((!seen || !valueTaken) && attributes.next(a)) {
        if (contains(a, reference)) seen = true;
        if (contains(a, e.valueMarker)) {
          value = after(a, e.valueMarker, "<");
          valueTaken = true;
        }
      }
      if (pending && seen && !value.empty()) {
        double x, y;
        plane(latitude, longitude, x, y);
        if (insideSheet(x, y)) label(x, y, -39 * s_ * u_, 30 * s_ * u_, value);
        pending = false;
      }
      if (contains(line, e.geometryMarker)) {
        identify();
        pending = false;
      }
    }
  });
}

void MlitReaders::mlitAirportPoints(const std::filesystem::path& file) {
  const settings::MlitLayerEntry& e = item();
  ctx_.progress(sheet::ProgressLine::Phase, name());
  long long count = 0;
  bool namesPass = false;
  Failure failure;
  failure.suffix = {};
  failure.detail = [&] {
    return std::to_string(count) + (namesPass ? ")で異常 posi=" : ")で異常posi=") + std::to_string(count);
  };
  guarded(file, failure, [&] {
    LineScanner in(file);
    std::string_view line;
    // Only files of the data family: their eighth line names it.
    while (in.lineNumber() < 8 && nextLine(in, line)) {
    }
    if (in.lineNumber() < 8 || !contains(line, "国土数値情報")) return;

    // Pass 1: the airport of each reference point.
    std::array<long long, kAirportTable> airportOfPoint;
    airportOfPoint.fill(-1);
    if (!in.rewind()) throw gml::ReadError("cannot read again");
    long long airport = -1;
    while (nextLine(in, line)) {
      ++count;
      if (contains(line, kAirportPoint)) {
        airport = wholeNumber(after(line, kAirportPoint, "\""));
        if (!nextLine(in, line)) break;
        ++count;
        if (!contains(line, kAirportPointRef)) continue;
        const long long point = wholeNumber(after(line, kAirportPointRef, "\""));
        if (point < 0 || point >= kAirportTable) {
          ctx_.reportOnce(name() + " の空港参照点番号 " + std::to_string(point) + " が表(0～" +
                          std::to_string(kAirportTable - 1) + ")の外です " + settings::pathText(file) + " " +
                          std::to_string(in.lineNumber()) + "行目");
          throw Reported();
        }
        if (airport < 0 || static_cast<double>(airport) >= capacity()) throw gml::BufferFull();
        airportOfPoint[static_cast<std::size_t>(point)] = airport;
        slot(static_cast<std::size_t>(airport)) = {kUnset, kUnset};
      }
    }

    // Pass 2: the position of each airport.
    if (!in.rewind()) throw gml::ReadError("cannot read again");
    count = 0;
    long long point = -1;
    while (nextLine(in, line)) {
      ++count;
      if (contains(line, e.geometryMarker)) {
        point = wholeNumber(after(line, e.geometryMarker, e.geometryEndMarker));
        if (static_cast<double>(point) >= capacity()) throw gml::BufferFull();
      }
      double la, lo;
      if (point >= 0 && takePosition(line, la, lo)) {
        if (point < kAirportTable && airportOfPoint[static_cast<std::size_t>(point)] >= 0)
          slot(static_cast<std::size_t>(airportOfPoint[static_cast<std::size_t>(point)])) = {lo, la};
        point = -1;
      }
    }

    // Pass 3: the names, at the positions of their airports.
    if (!in.rewind()) throw gml::ReadError("cannot read again");
    namesPass = true;
    count = 0;
    airport = -1;
    bool valueFound = false;
    std::string value;
    while (nextLine(in, line)) {
      if (contains(line, e.linkMarker)) {
        airport = wholeNumber(valueUpTo(after(line, e.linkMarker, "\""), "_"));
        tick(++count, 100, false);
      }
      if (contains(line, e.valueMarker)) {
        value = after(line, ">", "<");
        valueFound = true;
      }
      if (airport < 0 || !valueFound) continue;
      if (!value.empty()) {
        const geo::PointPair p = slot(static_cast<std::size_t>(airport));
        double x, y;
        if (!std::isnan(p.x)) {
          plane(p.y, p.x, x, y);
          if (insideSheet(x, y)) label(x, y, 0, ctx_.values.sheetHeight / 70, value);
        }
      }
      airport = -1;
      valueFound = false;
    }
  });
}

void MlitReaders::mlitTornadoTracks(const std::filesystem::path& file) {
  const settings::MlitLayerEntry& e = item();
  ctx_.progress(sheet::ProgressLine::Phase, name());
  const auto limit = static_cast<long long>(ctx_.pointBuffer.size() * 2 / 3);
  Failure failure;
  failure.detail = [] { return std::string("0"); };
  guarded(file, failure, [&] {
    LineScanner in(file);
    std::string_view line;
    // Entries in use are cleared on first sight: the buffer holds what other readers left.
    long long clearedPoints = 0, clearedRecords = 0;
    auto point = [&](long long n) -> geo::PointPair& {
      while (clearedPoints <= n) slot(static_cast<std::size_t>(clearedPoints++)) = {kUnset, kUnset};
      return slot(static_cast<std::size_t>(n));
    };
    auto record = [&](long long n) -> geo::PointPair& {
      if (n < 0 || static_cast<double>(limit + n) >= capacity()) throw gml::BufferFull();
      while (clearedRecords <= n) slot(static_cast<std::size_t>(limit + clearedRecords++)) = {-1, -1};
      return slot(static_cast<std::size_t>(limit + n));
    };

    // Pass 1: the points.
    long long current = -1;
    while (nextLine(in, line)) {
      if (contains(line, e.geometryMarker)) {
        current = wholeNumber(after(line, e.geometryMarker, e.geometryEndMarker));
        if (current < 0 || current >= limit) {
          ctx_.reportOnce(name() + " でbiaslimitを超えました");
          throw Reported();
        }
      }
      double la, lo;
      if (current >= 0 && takePosition(line, la, lo)) {
        point(current) = {lo, la};
        current = -1;
      }
    }

    // Pass 2: start and end point of each tornado.
    if (!in.rewind()) throw gml::ReadError("cannot read again");
    long long selected = -1;
    bool start = true;
    while (nextLine(in, line)) {
      if (contains(line, kAppearance)) {
        selected = wholeNumber(after(line, kAppearance, "\""));
        record(selected);
        start = true;
      } else if (contains(line, kDisappearance)) {
        selected = wholeNumber(after(line, kDisappearance, "\""));
        record(selected);
        start = false;
      }
      if (selected >= 0 && contains(line, kTrackPoint)) {
        const double p = static_cast<double>(wholeNumber(after(line, kTrackPoint, "\"")));
        (start ? record(selected).x : record(selected).y) = p;
        selected = -1;
      }
    }

    // Pass 3: the scale text at the start, and the track to the end.
    if (!in.rewind()) throw gml::ReadError("cannot read again");
    int counted = 0;
    long long tornado = -1;
    std::string scale;
    auto known = [&](double p) {
      return p >= 0 && p < static_cast<double>(clearedPoints) && !std::isnan(point(static_cast<long long>(p)).x);
    };
    while (nextLine(in, line)) {
      if (contains(line, e.valueMarker)) {
        scale = after(line, kFujitaScale, "<");
        ++counted;
      }
      if (contains(line, kAppearanceRef)) {
        tornado = wholeNumber(after(line, kAppearanceRef, "\""));
        ++counted;
      }
      if (counted < 2) continue;
      counted = 0;
      if (tornado < 0 || tornado >= clearedRecords) continue;
      const geo::PointPair r = record(tornado);
      if (!known(r.x)) continue;
      const geo::PointPair a = point(static_cast<long long>(r.x));
      double x0, y0;
      plane(a.y, a.x, x0, y0);
      if (!insideSheet(x0, y0)) continue;
      label(x0, y0, 0, 30 * s_ * u_, scale);
      if (!known(r.y)) continue;
      const geo::PointPair b = point(static_cast<long long>(r.y));
      double x1, y1;
      plane(b.y, b.x, x1, y1);
      out_.line(name(), {y0, x0, 0}, {y1, x1, 0});
    }
  });
}

void MlitReaders::mlitAreaLabels(const std::filesystem::path& file, std::size_t index) {
  setItem(index);
  const settings::MlitLayerEntry& e = item();
  long long geometryLines = 0;
  Failure failure;
  failure.suffix = " )で異常";
  failure.detail = [&] { return std::to_string(geometryLines); };
  guarded(file, failure, [&] {
    ctx_.progress(sheet::ProgressLine::Phase, name());
    LineScanner attributes(file);
    ctx_.progress(sheet::ProgressLine::Phase, name() + " STEP2 ");
    LineScanner geometry(file);
    std::string_view line, g;
    std::string identifier, value;
    auto advanceTo = [&](std::string_view marker) {
      while (nextLine(geometry, g)) {
        ++geometryLines;
        if (contains(g, marker)) return;
      }
      partMissing(file);
    };
    while (nextLine(attributes, line)) {
      if (contains(line, e.linkMarker)) {
        identifier = after(line, e.linkMarker, "\">");
        value.clear();
      }
      if (contains(line, e.valueMarker)) value = after(line, e.valueMarker, "<");
      if (identifier.empty() || value.empty()) continue;
      advanceTo(e.geometryMarker + identifier + "_0\"");
      advanceTo(gml::kPosListStart);
      gml::Box box;
      while (true) {
        if (!nextLine(geometry, g)) partMissing(file);
        ++geometryLines;
        if (contains(g, gml::kPosListEnd)) break;
        double la, lo;
        gml::parsePair(g, la, lo);
        box.add(lo, la);
      }
      if (!box.empty()) {
        double x, y;
        plane((box.minLat + box.maxLat) / 2, (2 * box.minLon + box.maxLon) / 3, x, y);
        if (insideSheet(x, y)) label(x, y, -39 * s_ * u_, 30 * s_ * u_, value);
      }
      identifier.clear();
      value.clear();
    }
  });
}

}  // namespace mlit
