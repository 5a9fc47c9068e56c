#include "converter/picker/boundary_map.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdint>
#include <exception>
#include <optional>
#include <unordered_set>

#include "converter/geo/plane_coordinates.h"
#include "converter/gml/line_scanner.h"
#include "converter/settings/sheet_labels.h"
#include "platform/dir_list.h"

namespace picker {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kLevelList =
    "都道府県界,北海道の支庁界,郡市・東京都の区界,町村・指定都市の区界,大字・町・丁目界,その他,不明";
constexpr std::string_view kFeatureStarts[] = {"<AdmArea gml:id=", "<AdmArea  gml:id=", "<AdmBdry gml:id=",
                                               "<AdmBdry  gml:id="};
constexpr std::size_t kPumpPolylines = 10000;
constexpr std::size_t kPumpPoints = 10000;

bool featureStart(std::string_view line) {
  return std::any_of(std::begin(kFeatureStarts), std::end(kFeatureStarts),
                     [line](std::string_view tag) { return gml::contains(line, tag); });
}

// The polylines of one file appended to the store behind `used`. Every closed list goes to
// `finished(header)`, which returns where the next header goes; every type text to
// `type(text)`. On any error `used` stays behind the last polyline finished, so the store
// never holds a list without its count.
class FileScan {
 public:
  FileScan(std::vector<geo::PointPair>& store, std::size_t& used) : store_(store), used_(used) {}

  template <typename Finished, typename Type>
  void read(const fs::path& file, bool fromFirstFeature, Finished finished, Type type) {
    std::int64_t lineNumber = 0;
    auto failure = [&] {
      const std::string where = lineNumber > 0 ? " " + std::to_string(lineNumber) + "行目" : std::string();
      return gml::ReadError(settings::pathText(file) + where);
    };
    std::optional<gml::LineScanner> opened;
    try {
      opened.emplace(file);
    } catch (const std::exception&) {
      throw failure();
    }
    gml::LineScanner& in = *opened;
    gml::ListCollector list(store_, true);
    list.used = used_;
    std::size_t header = used_;
    bool started = !fromFirstFeature;
    std::string_view line;
    try {
      while (in.next(line)) {
        lineNumber = in.lineNumber();
        if (!started && !(started = featureStart(line))) continue;
        if (list.closeIfEnd(line)) {
          used_ = finished(header);
          list.used = used_;
        } else {
          list.pairIfOpen(line);
        }
        std::string_view rest = line;
        if (gml::take(rest, "<type>")) type(gml::valueUpTo(rest));
        if (!list.open()) {
          header = list.used;
          list.openIfStart(line);
        }
      }
    } catch (const gml::BufferFull&) {
      throw;
    } catch (const std::exception&) {
      throw failure();
    }
  }

 private:
  std::vector<geo::PointPair>& store_;
  std::size_t& used_;
};

// The header of a finished list takes its level; its number of points.
std::size_t finishHeader(geo::PointPair& header, int level) {
  header.y = level;
  return static_cast<std::size_t>(header.x);
}

}  // namespace

PlaneRect cornerRect(const gml::Box& box, geo::PlaneCoordinates& c) {
  PlaneRect r;
  c.bltoxy(box.minLon, box.minLat);
  r.left = c.planeY;
  r.bottom = c.planeX;
  c.bltoxy(box.maxLon, box.maxLat);
  r.right = c.planeY;
  r.top = c.planeX;
  return r;
}

int displayLevel(std::string_view type) {
  if (type.empty()) return kOtherLevel;
  const auto at = kLevelList.find(type);
  if (at == std::string_view::npos || (at > 0 && kLevelList[at - 1] != ',')) return kOtherLevel;
  const auto entry = static_cast<int>(std::count(kLevelList.begin(), kLevelList.begin() + at, ','));
  return std::min(entry, kOtherLevel);
}

MapFiles listFiles(const std::string& fgdFolder) {
  const fs::path folder = settings::utf8Path(fgdFolder);
  if (fgdFolder.empty()) return {};
  return {platform::listFiles(folder, "*-AdmArea*.xml", true), platform::listFiles(folder, "*-AdmBdry*.xml", true),
          platform::listFiles(folder, "*-RdEdg*.xml", true)};
}

LoadEnd BoundaryMap::loadBoundaries(const std::vector<fs::path>& files, const Pump& pump) {
  used_ = 0;
  dataBox_.reset();
  std::size_t polylines = 0;
  FileScan scan(store_, used_);
  auto finished = [&](std::size_t header) {
    const std::size_t n = finishHeader(store_[header], kOtherLevel);
    for (std::size_t i = header + 1; i <= header + n; ++i) dataBox_.add(store_[i].x, store_[i].y);
    if (++polylines % kPumpPolylines == 0 && pump) pump();
    return header + 1 + n;
  };
  for (const auto& file : files) {
    // A type belongs to the lists of its feature: every one finished since the type before.
    std::size_t untyped = used_;
    auto type = [&](std::string_view text) {
      const int level = displayLevel(text);
      for (std::size_t at = untyped; at < used_; at += static_cast<std::size_t>(store_[at].x) + 1)
        store_[at].y = level;
      untyped = used_;
    };
    try {
      scan.read(file, true, finished, type);
    } catch (const gml::BufferFull&) {
      return {LoadEnd::Kind::storeFull, "占有メモリー限界に達しました", "地理院データフォルダ　の指定範囲を限定してください。"};
    } catch (const gml::ReadError& e) {
      return {LoadEnd::Kind::failed, "正常に表示できません", std::string("行政区画データを読めません ") + e.what()};
    }
  }
  return {};
}

std::vector<Piece> drawnPieces(const geo::PointPair* p, std::size_t n) {
  std::vector<Piece> pieces;
  std::size_t from = 0;
  for (std::size_t i = 0; i + 1 < n; ++i) {
    if (!(gml::onTileEdge(p[i]) && gml::onTileEdge(p[i + 1]))) continue;
    if (i > from) pieces.push_back({from, i - from + 1});
    from = i + 1;
  }
  if (n > from + 1) pieces.push_back({from, n - from});
  return pieces;
}

std::vector<std::string> secondLevelCodes(double west, double east, double south, double north) {
  std::vector<std::string> codes;
  const long long latFrom = static_cast<long long>(std::trunc(south * 1.5 * 8));
  const long long latTo = static_cast<long long>(std::trunc(north * 1.5 * 8));
  const long long lonFrom = static_cast<long long>(std::trunc((west - 100) * 8));
  const long long lonTo = static_cast<long long>(std::trunc((east - 100) * 8));
  char buf[64];
  for (long long i = latFrom; i <= latTo; ++i)
    for (long long j = lonFrom; j <= lonTo; ++j) {
      std::snprintf(buf, sizeof buf, "%.2lld%.2lld%.1lld%.1lld", i / 8, j / 8, i % 8, j % 8);
      codes.emplace_back(buf);
    }
  return codes;
}

namespace {

// Latitude/longitude box of the plane rectangle from its corners, and from the point of its
// top edge on the central meridian when the rectangle straddles it.
gml::Box roadWindowBox(geo::PlaneCoordinates& c, const PlaneRect& w) {
  gml::Box box;
  auto add = [&](double y, double x) {
    c.xytobl(y, x);
    box.add(c.lastLongitude, c.lastLatitude);
  };
  add(w.left, w.bottom);
  add(w.left, w.top);
  add(w.right, w.top);
  add(w.right, w.bottom);
  if (w.left < 0 && w.right > 0) add(0, w.top);
  return box;
}

std::string meshCodeOfFile(const fs::path& file) {
  const std::string name = settings::pathText(file.filename());
  const auto at = name.find("-GML-");
  return at == std::string::npos ? std::string() : name.substr(at + 5, 6);
}

}  // namespace

LoadEnd BoundaryMap::loadRoads(const std::vector<fs::path>& files, geo::PlaneCoordinates& c, const PlaneRect& view,
                               const Progress& progress, const Pump& pump) {
  const double halfWidth = (view.right - view.left) / 2, halfHeight = (view.top - view.bottom) / 2;
  const PlaneRect w{view.left - halfWidth, view.right + halfWidth, view.bottom - halfHeight, view.top + halfHeight};
  const gml::Box box = roadWindowBox(c, w);
  const auto codes = secondLevelCodes(box.minLon, box.maxLon, box.minLat, box.maxLat);
  const std::unordered_set<std::string> wanted(codes.begin(), codes.end());

  used_ = 0;
  std::size_t converted = 0;
  FileScan scan(store_, used_);
  auto finished = [&](std::size_t header) {
    const std::size_t n = finishHeader(store_[header], kRoadLevel);
    geo::PointPair* p = store_.data() + header + 1;
    gml::Box own;
    for (std::size_t i = 0; i < n; ++i) own.add(p[i].x, p[i].y);
    const PlaneRect r = cornerRect(own, c);
    const bool overlaps = n > 0 && std::min(r.left, r.right) < w.right && std::max(r.left, r.right) > w.left &&
                          std::min(r.bottom, r.top) < w.top && std::max(r.bottom, r.top) > w.bottom;
    if (!overlaps) return header;  // the next header takes this one's place
    for (std::size_t i = 0; i < n; ++i) {
      c.bltoxy(p[i].x, p[i].y);
      p[i] = {c.planeY, c.planeX};
      if (++converted % kPumpPoints == 0 && pump) pump();
    }
    return header + 1 + n;
  };
  auto ignoreType = [](std::string_view) {};
  const int total = static_cast<int>(files.size()) + 2;
  int done = 0;
  for (const auto& file : files) {
    if (progress) progress(++done, total);
    if (!wanted.contains(meshCodeOfFile(file))) continue;
    try {
      scan.read(file, false, finished, ignoreType);
    } catch (const gml::BufferFull&) {
      return {LoadEnd::Kind::storeFull, "", "データが多すぎます、表示範囲を狭めてください"};
    } catch (const gml::ReadError& e) {
      return {LoadEnd::Kind::failed, "正常に表示できません", std::string("道路縁データを読めません ") + e.what()};
    }
    if (pump) pump();
  }
  return {};
}

}  // namespace picker
