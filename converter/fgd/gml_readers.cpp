#include "converter/fgd/gml_readers.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <functional>

#include "converter/gml/line_scanner.h"
#include "converter/geo/colour_legend.h"
#include "dxfio/dxf_writer.h"
#include "converter/settings/choice_lists.h"
#include "converter/settings/drawing_settings.h"
#include "converter/settings/sheet_labels.h"

namespace fgd {

namespace {

using geo::PointPair;
using namespace gml;
using dxfio::appendReal;

// A feature larger than the shared buffer.
struct XyLimit {};
// The run was cancelled while a file was being read.
struct Cancelled {};

constexpr int kStartLevel = 25000;

struct Box {
  double minLon = 1e300, minLat = 1e300, maxLon = -1e300, maxLat = -1e300;
  void reset() { *this = Box(); }
  void add(double lon, double lat) {
    if (lon < minLon) minLon = lon;
    if (lon > maxLon) maxLon = lon;
    if (lat < minLat) minLat = lat;
    if (lat > maxLat) maxLat = lat;
  }
  bool empty() const { return minLon > maxLon; }
};

// The coordinate lists of the feature being read, in the shared buffer. Counted lists
// (lines cut at mesh edges, areas) keep every list of the feature, each behind a slot
// holding its pair count; uncounted lists keep the pairs of the latest list only.
class ListCollector {
 public:
  ListCollector(std::vector<PointPair>& buffer, bool counted)
      : buf_(buffer.data()), capacity_(buffer.size()), counted_(counted) {}

  bool open() const { return open_; }
  // A line of an open list that holds no tag: its pair is stored.
  bool takeCoordinateLine(std::string_view line) {
    if (!open_ || !tagFree(line)) return false;
    pair(line);
    return true;
  }
  // The pair on a line of an open list that also holds a tag.
  void pairIfOpen(std::string_view line) {
    if (open_) pair(line);
  }
  void startFeature() {
    used = 0;
    open_ = false;
    box.reset();
  }
  // "<gml:posList>" opens a list.
  void openIfStart(std::string_view line) {
    if (!contains(line, "<gml:posList>")) return;
    if (counted_) {
      if (used >= capacity_) throw XyLimit{};
      listStart_ = used;
      buf_[used++] = PointPair{0, 0};
    } else {
      used = 0;
      box.reset();
    }
    open_ = true;
  }
  // "</gml:posList>" (taken off the line) closes an open list; true when it did.
  bool closeIfEnd(std::string_view& line) {
    if (!(take(line, "</gml:posList>") && open_)) return false;
    close();
    return true;
  }
  void close() {
    if (counted_) buf_[listStart_].x = static_cast<double>(used - listStart_ - 1);
    open_ = false;
  }
  PointPair* data() const { return buf_; }

  std::size_t used = 0;
  Box box;

 private:
  void pair(std::string_view line) {
    double la, lo;
    parsePair(line, la, lo);
    if (used >= capacity_) throw XyLimit{};
    buf_[used++] = PointPair{lo, la};
    box.add(lo, la);
  }
  PointPair* buf_;
  std::size_t capacity_;
  bool counted_;
  bool open_ = false;
  std::size_t listStart_ = 0;
};

std::string format(const char* pattern, double value) {
  char buf[64];
  std::snprintf(buf, sizeof buf, pattern, value);
  return buf;
}

constexpr double kDegree = 3.14159265358979323846 / 180.0;

// Types that name a symbol block; a type is known when it occurs anywhere inside.
constexpr std::string_view kKnownSymbols =
    "三角点水準点電子基準点標高点市役所町村役場官公署裁判所税務署森林管理署気象台消防署保健所警察署交番郵便局小学校"
    "高等学校大学短大専門学校病院博物館図書館神社寺院老人ホーム高塔記念碑煙突電波塔油田ガス田灯台風車フェリー旅客船"
    "田園畑桑畑茶畑果樹園その他の樹木畑広葉樹林針葉樹林竹林ヤシ科樹林ハイマツ地笹地荒地砂礫地墓地自衛隊工場発電所"
    "変電所温泉噴火口採鉱地城跡重要港地方港漁港史跡国道番号";

struct Renaming {
  std::string_view read, used;
};
constexpr Renaming kSymbolRenamings[] = {
    {"田", "田園"},
    {"中学校", "小学校"},
    {"小中学校", "小学校"},
    {"高等学校・中等教育学校", "高等学校"},
    {"市役所・東京都の区役所", "市役所"},
    {"町村役場・政令指定都市の区役所", "町村役場"},
    {"外国公館", "官公署"},
    {"史跡・名勝・天然記念物", "史跡"},
    {"自然災害伝承碑", "記念碑"},
    {"ガス田", "油田"},
    {"噴火口・噴気口", "噴火口"},
    {"噴気口", "噴火口"},
    {"港湾", "重要港"},
    {"砂礫地（領域不明瞭）", "砂礫地"},
};


// Consecutive pairs gathered into one writer call: the writer puts the first code line,
// then the rest as it stands, so the bytes are those of one call per pair.
class PairBuffer {
 public:
  explicit PairBuffer(dxfio::DxfWriter*& out) : out_(out) {}
  ~PairBuffer() = default;
  void real(int code, double value) {
    next(code);
    appendReal(text_, value);
    if (text_.size() > 60000) flush();
  }
  void text(int code, std::string_view value) {
    next(code);
    text_ += value;
    if (text_.size() > 60000) flush();
  }
  void flush() {
    if (first_ >= 0) out_->fragment(first_, text_);
    first_ = -1;
    text_.clear();
  }

 private:
  void next(int code) {
    if (first_ < 0) {
      first_ = code;
      return;
    }
    char buf[16];
    const auto r = std::to_chars(buf, buf + sizeof buf, code);
    text_ += "\r\n";
    text_.append(buf, r.ptr);
    text_ += "\r\n";
  }
  dxfio::DxfWriter*& out_;
  int first_ = -1;
  std::string text_;
};

}  // namespace

GmlReaders::GmlReaders(sheet::RunContext& context, const GroupState& group) : ctx_(context), group_(group) {
  const auto& s = ctx_.settings;
  out_ = ctx_.sheet;
  u_ = ctx_.values.unitsPerMetre;
  flavour_ = s.fileFormat;
  static const char* const fonts[] = {"MS Mincho", "MS PMincho", "MS Gothic", "MS PGothic", "MS PGothic"};
  font_ = s.textFont >= 0 && s.textFont <= 4 ? fonts[s.textFont] : "MS PGothic";
  double scale = 1;
  symbolScale_ = settings::parseReal(s.symbolScale, scale) ? scale : 1;
  rank_ = ctx_.rankThreshold;
}

template <typename Body>
void GmlReaders::guarded(const char* name, const std::filesystem::path& file, bool withLists, Body body) {
  lists_ = 0;
  dataName_ = file.filename().string();
  out_ = ctx_.sheet;
  try {
    if (!out_) throw ReadError("no open sheet");
    body();
  } catch (const XyLimit&) {
    ctx_.anomalyMessage += dataName_ + " でxylimitを超えました\r\n";
  } catch (const Cancelled&) {
  } catch (const std::exception&) {
    ctx_.anomalyMessage += std::string(name) + "(" + settings::pathText(file) + ")で異常";
    if (withLists) ctx_.anomalyMessage += " posi=" + std::to_string(lists_);
    ctx_.anomalyMessage += "\r\n";
  }
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

// ---- shared steps ----

int GmlReaders::route(std::string_view category) const {
  const auto& values = group_.activeAttributeValues;
  if (values.empty()) return -1;
  if (values[0].empty()) return 0;
  for (std::size_t k = 0; k < values.size(); ++k)
    if (equalsNoCase(values[k], category)) return static_cast<int>(k);
  return -1;
}

double GmlReaders::sizeFactor(std::size_t item) const {
  if (item >= group_.activeSizeIndexes.size()) throw ReadError("item index outside the lists");
  const int index = group_.activeSizeIndexes[item];
  if (index < 0 || index >= static_cast<int>(settings::kSizeFactors.size())) throw ReadError("size index outside the list");
  return settings::kSizeFactors[static_cast<std::size_t>(index)] * symbolScale_;
}

const std::string& GmlReaders::layer(std::size_t item) const {
  if (item >= group_.activeLayerNames.size()) throw ReadError("item index outside the lists");
  return group_.activeLayerNames[item];
}

const std::string& GmlReaders::option(std::size_t item) const {
  if (item >= group_.activeOptions.size()) throw ReadError("item index outside the lists");
  return group_.activeOptions[item];
}

void GmlReaders::position(double latitude, double longitude, double& x, double& y) {
  ctx_.coordinates.bltoxy(longitude, latitude);
  x = ctx_.coordinates.planeX;
  y = ctx_.coordinates.planeY;
}

bool GmlReaders::insideSheet(double x, double y) const {
  return x >= ctx_.sheetSouth && x <= ctx_.sheetNorth && y >= ctx_.sheetWest && y <= ctx_.sheetEast;
}

bool GmlReaders::boxOverlaps(double minLon, double minLat, double maxLon, double maxLat) {
  auto& c = ctx_.coordinates;
  c.bltoxy(minLon, minLat);
  const double south = c.planeX, west = c.planeY;
  c.bltoxy(maxLon, maxLat);
  const double north = c.planeX, east = c.planeY;
  return north >= ctx_.sheetSouth && south <= ctx_.sheetNorth && east >= ctx_.sheetWest && west <= ctx_.sheetEast;
}

void GmlReaders::head(std::string_view type, std::string_view layerName, std::string_view subclass) {
  out_->modelEntity(type, layerName);
  out_->text(100, subclass);
  ++entities_;
}

std::string GmlReaders::inlineFont(std::string_view pitch, bool vertical) const {
  return std::string("{\\f") + (vertical ? "@" : "") + font_ + "|b0|i0|c128|" + std::string(pitch) + ";";
}

void GmlReaders::listDone(long long& lists) {
  ++lists;
  lists_ = lists;
  if (lists % 10000 == 0) {
    ctx_.progress(platform::ProgressLine::Detail, std::to_string(lists));
    ctx_.pump();
    if (!ctx_.runContinue) throw Cancelled{};
  }
}

bool GmlReaders::onMeshLine(const PointPair& p) {
  auto edge = [](double v) {
    const double f = v - std::trunc(v);
    return f < 1e-7 || f > 0.9999999;
  };
  return edge(p.x * 8) || edge(p.y * 12);
}

// extra: 0 nothing, 1 road (370 0 and 43 width), 2 power line (48 linetype scale).
void GmlReaders::polyline(std::string_view layerName, const PointPair* p, std::size_t m, int extra, double extraValue) {
  if (m < 2) return;  // a single point is no line
  const bool closed = p[0].x == p[m - 1].x && p[0].y == p[m - 1].y;
  const std::size_t n = closed ? m - 1 : m;
  out_->modelEntity("LWPOLYLINE", layerName);
  if (extra == 1) out_->text(370, "0");
  if (extra == 2) out_->real(48, extraValue);
  out_->text(100, "AcDbPolyline");
  ++entities_;
  out_->integer(90, static_cast<long long>(n));
  out_->text(70, closed ? "1" : "0");
  if (extra == 1) out_->real(43, extraValue);
  out_->text(38, "0");
  auto& c = ctx_.coordinates;
  PairBuffer pairs(out_);
  for (std::size_t i = 0; i < n; ++i) {
    c.bltoxy(p[i].x, p[i].y);
    pairs.real(10, c.planeY);
    pairs.real(20, c.planeX);
  }
  pairs.flush();
  vertices_ += static_cast<long long>(n);
}

// ---- point and text readers ----

void GmlReaders::GML1Name(const std::filesystem::path& file) {
  guarded("GML1Name", file, false, [&] {
    LineScanner in(file);
    std::string_view line;
    double x = 0, y = 0;
    int level = kStartLevel;
    std::string name, category;
    const double margin = 300 * u_;
    while (in.next(line)) {
      if (take(line, "<gml:pos>")) {
        double la, lo;
        parsePosition(line, la, lo);
        position(la, lo, x, y);
      }
      if (take(line, "<ptName>")) name = valueUpTo(line);
      if (take(line, "<pfName>")) name = valueUpTo(line);
      if (take(line, "<name>")) name = valueUpTo(line);
      if (take(line, "<sbaNo>")) name = valueUpTo(line);
      if (take(line, "<sbNo>")) name = valueUpTo(line);
      if (take(line, "<orgGILvl>")) level = parseWhole(valueUpTo(line));
      if (take(line, "<vis>")) category = valueUpTo(line);
      if (!contains(line, group_.featureEndMarker)) continue;
      const int k = route(category);
      const bool keep = k >= 0 && name != "＿未確認" && name != "＿なし" && level >= rank_ && x >= ctx_.sheetSouth &&
                        x <= ctx_.sheetNorth && y >= ctx_.sheetWest - margin && y <= ctx_.sheetEast;
      level = kStartLevel;
      if (!keep) continue;
      const double s = sizeFactor(static_cast<std::size_t>(k));
      const std::string& lay = layer(static_cast<std::size_t>(k));
      if (flavour_ == 1 || flavour_ == 2) {
        head("TEXT", lay, "AcDbText");
        out_->real(10, y);
        out_->real(20, flavour_ == 2 ? x - 40 * s * u_ : x);
        out_->text(30, "0");
        out_->real(40, (flavour_ == 2 ? 40 : 30) * s * u_);
        out_->text(1, name);
        out_->text(100, "AcDbText");
      } else {
        head("MTEXT", lay, "AcDbMText");
        out_->real(10, y);
        out_->real(20, x);
        out_->text(30, "0");
        out_->real(40, 30 * s * u_);
        out_->text(1, inlineFont("p18") + name + "}");
      }
    }
  });
}

void GmlReaders::insertBlock(std::string_view block, std::string_view lay, double x, double y, double z, double s) {
  head("INSERT", lay, "AcDbBlockReference");
  out_->text(2, block);
  out_->real(10, y);
  out_->real(20, x);
  out_->real(30, z);
  out_->real(41, s * u_ / 1000);
  out_->real(42, s * u_ / 1000);
}

void GmlReaders::heightText(std::string_view lay, double firstY, double firstX, double alignY, double alignX, double z,
                            double height, std::string_view text) {
  head("TEXT", lay, "AcDbText");
  out_->real(10, firstY);
  out_->real(20, firstX);
  out_->real(30, z);
  out_->real(40, height);
  out_->text(1, text);
  out_->real(11, alignY);
  out_->real(21, alignX);
  out_->real(31, z);
  out_->text(100, "AcDbText");
  out_->text(73, "2");
}

void GmlReaders::heightMText(std::string_view lay, double y, double x, double z, double height, std::string_view text) {
  head("MTEXT", lay, "AcDbMText");
  out_->real(10, y);
  out_->real(20, x);
  out_->real(30, z);
  out_->real(40, height);
  out_->text(71, "4");
  out_->text(72, "5");
  out_->text(1, inlineFont("p18") + std::string(text));
}

void GmlReaders::GML2Elv(const std::filesystem::path& file) {
  guarded("GML2Elv", file, false, [&] {
    LineScanner in(file);
    std::string_view line;
    double x = 0, y = 0, z = -9999;
    int level = kStartLevel;
    std::string category;
    while (in.next(line)) {
      if (take(line, "<gml:pos>")) {
        double la, lo;
        parsePosition(line, la, lo);
        position(la, lo, x, y);
      }
      if (take(line, "<type>")) category = valueUpTo(line);
      if (take(line, "<alti>")) z = parseReal(valueUpTo(line)) + ctx_.values.datumOffset;
      if (take(line, "<orgGILvl>")) level = parseWhole(valueUpTo(line));
      if (!contains(line, group_.featureEndMarker)) continue;
      const bool passes = level >= rank_ && insideSheet(x, y);
      level = kStartLevel;
      if (!passes) continue;
      const int k = route(category);
      if (k < 0) continue;
      const double s = sizeFactor(static_cast<std::size_t>(k));
      const std::string& lay = layer(static_cast<std::size_t>(k));
      insertBlock("標高点", lay, x, y, z, s);
      const std::string t = format("%0.0f", z);
      if (flavour_ == 1 || flavour_ == 2)
        heightText(lay, y + 10 * s * u_, flavour_ == 2 ? x - 16 * s * u_ : x, y + 10 * s * u_, x, z,
                   (flavour_ == 2 ? 40 : 30) * s * u_, t);
      else
        heightMText(lay, y + 10 * s * u_, x, z, 30 * s * u_, t);
    }
  });
}

void GmlReaders::GML4GCP(const std::filesystem::path& file) {
  guarded("GML4GCP", file, false, [&] {
    LineScanner in(file);
    std::string_view line;
    double x = 0, y = 0, z = -9999, latitude = 0;
    std::string block, category;
    while (in.next(line)) {
      if (take(line, "<B>")) latitude = parseReal(valueUpTo(line, "</B>")) / 3600;
      if (take(line, "<L>")) position(latitude, parseReal(valueUpTo(line, "</L>")) / 3600, x, y);
      if (take(line, "<type>")) block = valueUpTo(line);
      if (take(line, "<alti>")) z = parseReal(valueUpTo(line)) + ctx_.values.datumOffset;
      if (take(line, "<gcpClass>")) category = valueUpTo(line);
      if (take(line, "<gcpName>") && contains(valueUpTo(line), "（付）")) category = "outofdata";
      if (take(line, "<name>") && contains(valueUpTo(line), "（付）")) category = "outofdata";
      if (!contains(line, group_.featureEndMarker)) continue;
      const int k = route(category);
      if (k < 0 || !insideSheet(x, y)) continue;
      const double s = sizeFactor(static_cast<std::size_t>(k));
      const std::string& lay = layer(static_cast<std::size_t>(k));
      const std::string t = format("%0.1f", z);
      if (flavour_ == 2) {
        head("TEXT", lay, "AcDbText");
        out_->real(10, y - 21 * s * u_);
        out_->real(20, x - 17 * s * u_);
        out_->real(30, z);
        out_->real(40, 37 * s * u_);
        out_->text(1, (block == "水準点" ? "□" : "△") + t);
        out_->text(100, "AcDbText");
        continue;
      }
      insertBlock(block, lay, x, y, z, s);
      if (flavour_ == 1)
        heightText(lay, y + 20 * s * u_, x, y + 17.8 * s * u_, x, z, 30 * s * u_, t);
      else
        heightMText(lay, y + 20 * s * u_, x, z, 30 * s * u_, t);
    }
  });
}

void GmlReaders::GML8LayoutStr(const std::filesystem::path& file) {
  guarded("GML8LayoutStr", file, false, [&] {
    LineScanner in(file);
    std::string_view line;
    double x = 0, y = 0, a = 0;
    int level = kStartLevel, arrangement = 1;
    std::string category, text;
    const double u = u_;
    while (in.next(line)) {
      if (take(line, "<gml:pos>")) {
        double la, lo;
        parsePosition(line, la, lo);
        position(la, lo, x, y);
      }
      if (take(line, "<annoCtg>")) category = valueUpTo(line);
      if (take(line, "<knj>")) text = valueUpTo(line);
      if (take(line, "<arrng>")) arrangement = parseWhole(valueUpTo(line));
      if (take(line, "<arrngAgl>")) a = parseReal(valueUpTo(line));
      if (take(line, "<orgGILvl>")) level = parseWhole(valueUpTo(line));
      if (!contains(line, group_.featureEndMarker)) continue;
      const int featureLevel = level;
      level = kStartLevel;
      // The last item whose value occurs in the category wins.
      int k = -1;
      for (std::size_t i = 0; i < group_.activeAttributeValues.size(); ++i) {
        const auto& v = group_.activeAttributeValues[i];
        if (!v.empty() && contains(category, v)) k = static_cast<int>(i);
      }
      if (k < 0) continue;
      const auto item = static_cast<std::size_t>(k);
      const bool inY = y >= ctx_.sheetWest && y <= ctx_.sheetEast;
      const bool inX = x >= ctx_.sheetSouth && x <= ctx_.sheetNorth;
      bool horizontal = false;
      if (arrangement == 1) {
        if (option(item) != "1" || featureLevel < rank_ || !inX || y < ctx_.sheetWest - 300 * u || y > ctx_.sheetEast) continue;
        horizontal = true;
      } else if (arrangement == 2) {
        if (option(item) != "2" || featureLevel < rank_ || !inY || x < ctx_.sheetSouth || x > ctx_.sheetNorth + 300 * u) continue;
      } else {
        continue;
      }
      const double s = sizeFactor(item);
      const std::string& lay = layer(item);
      const double w = (48.0 * static_cast<double>(characterCount(text)) + 48) * s * u;
      const double c = std::cos(a * kDegree), d = std::sin(a * kDegree);
      if (horizontal) {
        if (flavour_ == 1) {
          head("TEXT", lay, "AcDbText");
          out_->real(10, y + 7 * u);
          out_->real(20, x);
          out_->text(30, "0");
          out_->real(40, 33 * s * u);
          out_->text(72, "0");
          out_->real(50, a);
          out_->text(1, text);
          out_->real(11, y + 7 * u);
          out_->real(21, x);
          out_->text(31, "0");
          out_->text(100, "AcDbText");
          out_->text(73, "2");
        } else if (flavour_ == 2) {
          head("TEXT", lay, "AcDbText");
          out_->real(10, y + 7 * s * u);
          out_->real(20, x - 16 * s * u);
          out_->text(30, "0");
          out_->real(40, 44 * s * u);
          out_->text(41, "1");
          out_->real(50, a);
          out_->text(1, text);
          out_->text(100, "AcDbText");
        } else {
          head("MTEXT", lay, "AcDbMText");
          out_->real(10, y + 7 * u);
          out_->real(20, flavour_ == 3 ? x + 2 * u : x);
          out_->text(30, "0");
          out_->real(40, 33 * s * u);
          out_->real(41, w);
          out_->text(71, "4");
          out_->text(72, "5");
          out_->text(1, inlineFont("p50") + text);
          out_->real(11, c);
          out_->real(21, d);
          out_->text(31, "0");
          out_->text(73, "1");
          out_->text(44, "1");
        }
        continue;
      }
      const double vy = y + (8 * d + 5) * u;
      if (flavour_ == 1 || flavour_ == 2) {
        head("TEXT", lay, "AcDbText");
        out_->real(10, vy);
        out_->real(20, x - 5 * u);
        out_->text(30, "0");
        out_->real(40, (flavour_ == 1 ? 33 : 44) * s * u);
        out_->text(1, text);
        out_->real(50, flavour_ == 1 ? a + 270 : a);
        out_->text(7, "TATEGAKI");
        if (flavour_ == 1) {
          out_->real(11, vy);
          out_->real(21, x - 5 * u);
          out_->text(31, "0");
        }
        out_->text(100, "AcDbText");
        out_->text(73, flavour_ == 1 ? "2" : "0");
      } else {
        head("MTEXT", lay, "AcDbMText");
        out_->real(10, vy);
        out_->real(20, flavour_ == 3 ? x + (8 * c + 5) * u : x - 5 * u);
        out_->text(30, "0");
        out_->real(40, 33 * s * u);
        out_->real(41, w);
        out_->text(71, "4");
        out_->text(72, "5");
        out_->text(1, inlineFont("p18", flavour_ == 0) + text);
        if (flavour_ == 3) {
          out_->real(11, c);
          out_->real(21, d);
        } else {
          out_->real(11, std::cos((a + 270) * kDegree));
          out_->real(21, std::sin((a + 270) * kDegree));
        }
        out_->text(31, "0");
        out_->text(73, "1");
        out_->text(44, "1");
      }
    }
  });
}

// ---- map symbols ----

void GmlReaders::GML16Symbol(const std::filesystem::path& file) {
  guarded("GML16Symbol", file, false, [&] {
    LineScanner in(file);
    // Every entity goes to the first item of the group.
    const std::string& lay = layer(0);
    const double s = sizeFactor(0);
    std::string_view implied;
    if (group_.featureStartMarker == "<PwrPlnt") implied = "<type>発電所</type>";
    else if (group_.featureStartMarker == "<Monument") implied = "<type>記念碑</type>";
    else if (group_.featureStartMarker == "<RTwr") implied = "<type>電波塔</type>";
    std::string_view line;
    double x = 0, y = 0;
    int level = kStartLevel;
    std::string type, routeNumber;
    while (in.next(line)) {
      if (take(line, "<gml:pos>")) {
        double la, lo;
        parsePosition(line, la, lo);
        position(la, lo, x, y);
        if (!implied.empty()) line = implied;
      }
      if (take(line, "<type>")) {
        type = valueUpTo(line);
        for (const auto& r : kSymbolRenamings)
          if (type == r.read) type = r.used;
      }
      if (take(line, "<nRNo>")) routeNumber = valueUpTo(line);
      if (take(line, "<orgGILvl>")) level = parseWhole(valueUpTo(line));
      if (!contains(line, group_.featureEndMarker)) continue;
      const bool passes = insideSheet(x, y) && level >= rank_;
      level = kStartLevel;
      if (!passes) continue;
      const bool known = !type.empty() && contains(kKnownSymbols, type);
      if (known) {
        head("INSERT", lay, "AcDbBlockReference");
        out_->text(2, type);
        out_->real(10, y);
        out_->real(20, x);
        out_->text(30, "0");
        out_->real(41, s * u_ / 1000);
        out_->real(42, s * u_ / 1000);
      } else if (type != "指示点" && type != "踏切" && type != "雨裂（下部）") {
        // The end-of-run message lists the symbols the library lacks.
        ctx_.anomalyMessage += type;
      }
      if (type == "国道番号") {
        out_->modelEntity("MTEXT", lay);
        ++entities_;
        if (flavour_ == 1) {
          out_->text(62, "130");
        } else {
          out_->text(62, "7");
          out_->text(420, "16711422");
        }
        out_->text(100, "AcDbMText");
        out_->real(10, y);
        out_->real(20, x);
        out_->text(30, "0");
        out_->real(40, 35 * s * u_);
        out_->real(41, 100 * s * u_);
        out_->text(71, "5");
        out_->text(72, "5");
        if (flavour_ == 2) out_->text(1, routeNumber);
        else if (flavour_ == 1) out_->text(1, "{\\fMS UI Gothic|b1|i0|c128|p50;" + routeNumber);
        else out_->text(1, "{\\fMS PGothic|b1|i0|c128|p50;" + routeNumber);
        out_->record("11=1;21=0;31=0;73=1;44=1");
      }
    }
  });
}

// ---- line readers ----

void GmlReaders::GML32Poly(const std::filesystem::path& file) {
  if (!ctx_.runContinue) return;
  guarded("GML32Poly", file, true, [&] {
    LineScanner in(file);
    ListCollector list(ctx_.pointBuffer, true);
    const PointPair* buf = list.data();
    const Box& box = list.box;
    const std::size_t& used = list.used;
    std::string type;
    int level = kStartLevel;
    long long lists = 0;
    std::string_view line;
    while (in.next(line)) {
      if (list.takeCoordinateLine(line)) continue;
      if (contains(line, group_.featureStartMarker)) list.startFeature();
      if (list.closeIfEnd(line)) listDone(lists);
      if (take(line, "<type>")) type = valueUpTo(line);
      if (take(line, "<orgGILvl>")) level = parseWhole(valueUpTo(line));
      if (contains(line, group_.featureEndMarker)) {
        if (list.open()) list.close();
        const int k = route(type);
        if (k >= 0 && level >= rank_ && !box.empty() && boxOverlaps(box.minLon, box.minLat, box.maxLon, box.maxLat)) {
          const std::string& lay = layer(static_cast<std::size_t>(k));
          const long long before = entities_;
          for (std::size_t at = 0; at < used;) {
            const std::size_t m = std::min(static_cast<std::size_t>(buf[at].x), used - at - 1);
            const PointPair* p = buf + at + 1;
            // Segments with both ends on a mesh line are the cut edges; the rest form runs.
            std::size_t runStart = SIZE_MAX;
            bool previous = m > 0 && onMeshLine(p[0]);
            for (std::size_t i = 0; i + 1 < m; ++i) {
              const bool current = onMeshLine(p[i + 1]);
              if (!(previous && current)) {
                if (runStart == SIZE_MAX) runStart = i;
              } else if (runStart != SIZE_MAX) {
                polyline(lay, p + runStart, i + 1 - runStart, 0, 0);
                runStart = SIZE_MAX;
              }
              previous = current;
            }
            if (runStart != SIZE_MAX) polyline(lay, p + runStart, m - runStart, 0, 0);
            at += m + 1;
          }
          if (entities_ > before) ++lineFeatures_;
        }
        level = kStartLevel;
      }
      list.pairIfOpen(line);
      list.openIfStart(line);
    }
  });
}

void GmlReaders::GML64Poly_Road(const std::filesystem::path& file) {
  if (!ctx_.runContinue) return;
  guarded("GML64Poly_Road", file, true, [&] {
    LineScanner in(file);
    ListCollector list(ctx_.pointBuffer, false);
    const PointPair* buf = list.data();
    const Box& box = list.box;
    const std::size_t& used = list.used;
    bool overlaps = false;
    std::string category;
    int level = kStartLevel;
    const double startWidth = 2.5 * u_;
    double width = startWidth;
    long long lists = 0;
    std::string_view line;
    while (in.next(line)) {
      if (list.takeCoordinateLine(line)) continue;
      if (take(line, "<rdCtg>")) category = valueUpTo(line, "</");
      if (take(line, "<rnkWidth>")) {
        const std::string_view v = valueUpTo(line);
        if (v == "3m未満") width = 2.5 * u_;
        else if (v == "3m-5.5m未満") width = 4.25 * u_;
        else if (v == "5.5m-13m未満") width = 9.25 * u_;
        else if (v == "13m-19.5m未満") width = 16.25 * u_;
        else if (v == "19.5m以上") width = 23 * u_;
      }
      if (take(line, "<Width>")) width = parseReal(valueUpTo(line)) * u_;
      if (take(line, "<orgGILvl>")) level = parseWhole(valueUpTo(line));
      if (list.closeIfEnd(line)) {
        overlaps = !box.empty() && boxOverlaps(box.minLon, box.minLat, box.maxLon, box.maxLat);
        listDone(lists);
      }
      if (contains(line, group_.featureEndMarker)) {
        const int k = route(category);
        if (overlaps && k >= 0 && width >= ctx_.values.minRoadWidthUnits && level >= rank_)
          polyline(layer(static_cast<std::size_t>(k)), buf, used, 1, width);
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
  guarded("GML64Poly_Road", file, true, [&] {
    LineScanner in(file);
    ListCollector list(ctx_.pointBuffer, false);
    const PointPair* buf = list.data();
    const Box& box = list.box;
    const std::size_t& used = list.used;
    std::string type, single, state;
    int level = kStartLevel;
    long long lists = 0;
    std::string_view line;
    while (in.next(line)) {
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
        if (k >= 0 && level >= rank_ && !box.empty() && boxOverlaps(box.minLon, box.minLat, box.maxLon, box.maxLat))
          polyline(layer(static_cast<std::size_t>(k)), buf, used, 0, 0);
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
  guarded("GML256Poly", file, true, [&] {
    LineScanner in(file);
    ListCollector list(ctx_.pointBuffer, false);
    const PointPair* buf = list.data();
    const Box& box = list.box;
    const std::size_t& used = list.used;
    std::string type, visibility = "0";
    int level = kStartLevel;
    long long lists = 0;
    const bool power = group_.featureStartMarker == "<PwrTrnsmL";
    std::string_view line;
    while (in.next(line)) {
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
        if ((visibility == "表示" || visibility == "0") && !box.empty() &&
            boxOverlaps(box.minLon, box.minLat, box.maxLon, box.maxLat)) {
          const int k = route(type);
          if (k >= 0 && level >= rank_) {
            const auto item = static_cast<std::size_t>(k);
            polyline(layer(item), buf, used, power ? 2 : 0, power ? sizeFactor(item) : 0);
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

// ---- area readers ----

namespace {

// Scans the features of an area file and hands each complete one to `done` with its
// lists in the buffer (count slot, then pairs, list after list).
template <typename Done>
void scanAreas(LineScanner& in, std::vector<PointPair>& pointBuffer, const std::string& start, const std::string& end,
               bool readName, std::string& type, std::string& name, int& level, Box& box, std::size_t& used,
               const std::function<void(long long&)>& listDone, Done done) {
  ListCollector list(pointBuffer, true);
  long long lists = 0;
  std::string_view line;
  // The caller reads the feature's pairs and box after `done`.
  auto publish = [&] {
    used = list.used;
    box = list.box;
  };
  while (in.next(line)) {
    if (list.takeCoordinateLine(line)) continue;
    if (contains(line, start)) list.startFeature();
    if (list.closeIfEnd(line)) listDone(lists);
    if (take(line, "<type>")) type = valueUpTo(line);
    if (take(line, "<orgGILvl>")) level = parseWhole(valueUpTo(line));
    if (readName && take(line, "<name>")) name = valueUpTo(line);
    if (contains(line, end)) {
      if (list.open()) list.close();
      publish();
      done();
      level = kStartLevel;
    }
    list.pairIfOpen(line);
    list.openIfStart(line);
  }
}

}  // namespace

struct GmlReaders::AreaFeature {
  std::string type, name;
  int level = kStartLevel;
  Box box;
  std::size_t used = 0;
};

int GmlReaders::outerRing(const AreaFeature& f, double minPerimeter, std::size_t& vertices) {
  const int k = route(f.type);
  if (k < 0 || f.level < rank_ || f.used == 0 || f.box.empty() ||
      !boxOverlaps(f.box.minLon, f.box.minLat, f.box.maxLon, f.box.maxLat))
    return -1;
  const PointPair* buf = ctx_.pointBuffer.data();
  const std::size_t v = std::min(static_cast<std::size_t>(buf[0].x), f.used - 1);
  const PointPair* ring = buf + 1;
  auto& c = ctx_.coordinates;
  ringX_.resize(v);
  ringY_.resize(v);
  double perimeter = 0;
  for (std::size_t i = 0; i < v; ++i) {
    c.bltoxy(ring[i].x, ring[i].y);
    ringX_[i] = c.planeX;
    ringY_[i] = c.planeY;
    if (i > 0) perimeter += std::hypot(ringX_[i] - ringX_[i - 1], ringY_[i] - ringY_[i - 1]);
  }
  if (v > 0) perimeter += std::hypot(ringX_[0] - ringX_[v - 1], ringY_[0] - ringY_[v - 1]);
  if (!(perimeter > minPerimeter)) return -1;
  vertices = v;
  return k;
}

void GmlReaders::GML512HatchEdge(const std::filesystem::path& file) {
  if (!ctx_.runContinue) return;
  guarded("GML512HatchEdge", file, true, [&] {
    LineScanner in(file);
    AreaFeature f;
    const double minPerimeter =
        (group_.featureStartMarker == "<BldL" ? ctx_.settings.minBuildingPerimeter : 0) * u_;
    const PointPair* buf = ctx_.pointBuffer.data();
    scanAreas(in, ctx_.pointBuffer, group_.featureStartMarker, group_.featureEndMarker, false, f.type, f.name, f.level,
              f.box, f.used, [this](long long& n) { listDone(n); }, [&] {
                std::size_t v = 0;
                const int k = outerRing(f, minPerimeter, v);
                if (k < 0) return;
                const PointPair* ring = buf + 1;
                auto& c = ctx_.coordinates;
                const std::string& lay = layer(static_cast<std::size_t>(k));
                const bool closed = ring[0].x == ring[v - 1].x && ring[0].y == ring[v - 1].y;
                const std::size_t n = closed ? v - 1 : v;
                head("LWPOLYLINE", lay, "AcDbPolyline");
                out_->integer(90, static_cast<long long>(n));
                out_->text(70, closed ? "1" : "0");
                out_->text(38, "0");
                PairBuffer pairs(out_);
                for (std::size_t i = 0; i < n; ++i) {
                  pairs.real(10, ringY_[i]);
                  pairs.real(20, ringX_[i]);
                }
                pairs.flush();
                vertices_ += static_cast<long long>(n);
                for (std::size_t at = v + 1; at < f.used;) {
                  const std::size_t count = std::min(static_cast<std::size_t>(buf[at].x), f.used - at - 1);
                  const PointPair* p = buf + at + 1;
                  at += count + 1;
                  if (count == 0) continue;
                  const std::size_t m = p[0].x == p[count - 1].x && p[0].y == p[count - 1].y ? count - 1 : count;
                  head("LWPOLYLINE", lay, "AcDbPolyline");
                  out_->integer(90, static_cast<long long>(m));
                  out_->text(70, "1");
                  out_->text(38, "0");
                  PairBuffer pairs(out_);
                  for (std::size_t i = 0; i < m; ++i) {
                    c.bltoxy(p[i].x, p[i].y);
                    pairs.real(10, c.planeY);
                    pairs.real(20, c.planeX);
                  }
                  pairs.flush();
                  vertices_ += static_cast<long long>(m);
                }
              });
  });
}

void GmlReaders::GML1024Hatch(const std::filesystem::path& file) {
  if (!ctx_.runContinue) return;
  guarded("GML1024Hatch", file, true, [&] {
    LineScanner in(file);
    AreaFeature f;
    const double minPerimeter =
        (group_.featureStartMarker == "<BldA" ? ctx_.settings.minBuildingPerimeter : 0) * u_;
    const bool administrative = settings::pathText(file).find("AdmArea") != std::string::npos;
    const PointPair* buf = ctx_.pointBuffer.data();
    std::vector<double> holeX, holeY;
    // Every vertex ends one edge and starts the next: its numbers are formatted once.
    std::vector<std::string> xText, yText;
    auto edges = [&](const std::vector<double>& xs, const std::vector<double>& ys, std::size_t n) {
      xText.resize(n);
      yText.resize(n);
      for (std::size_t i = 0; i < n; ++i) {
        xText[i].clear();
        yText[i].clear();
        appendReal(xText[i], xs[i]);
        appendReal(yText[i], ys[i]);
      }
      PairBuffer pairs(out_);
      for (std::size_t i = 0; i < n; ++i) {
        const std::size_t j = i + 1 == n ? 0 : i + 1;
        pairs.text(72, "1");
        pairs.text(10, yText[i]);
        pairs.text(20, xText[i]);
        pairs.text(11, yText[j]);
        pairs.text(21, xText[j]);
      }
      pairs.text(97, "0");
      pairs.flush();
      vertices_ += static_cast<long long>(n);
    };
    scanAreas(in, ctx_.pointBuffer, group_.featureStartMarker, group_.featureEndMarker, true, f.type, f.name, f.level,
              f.box, f.used, [this](long long& n) { listDone(n); }, [&] {
                std::size_t v = 0;
                const int k = outerRing(f, minPerimeter, v);
                if (k < 0) return;
                const PointPair* ring = buf + 1;
                auto& c = ctx_.coordinates;
                const std::string& lay = layer(static_cast<std::size_t>(k));
                long long rings = 0;
                for (std::size_t at = 0; at < f.used; at += std::min(static_cast<std::size_t>(buf[at].x), f.used - at - 1) + 1)
                  ++rings;
                out_->modelEntity("HATCH", lay);
                ++entities_;
                if (administrative) {
                  // The colour fragment starts with its own "62" line.
                  const std::string colour = geo::areacl(f.name, flavour_);
                  out_->fragment(62, std::string_view(colour).substr(4));
                }
                out_->record("100=AcDbHatch;10=0;20=0;30=0;210=0;220=0;230=1;2=SOLID;70=1;71=0");
                out_->integer(91, rings);
                const bool closed = ring[0].x == ring[v - 1].x && ring[0].y == ring[v - 1].y;
                const std::size_t n = closed ? v - 1 : v;
                out_->text(92, "1");
                out_->integer(93, static_cast<long long>(n));
                edges(ringX_, ringY_, n);
                for (std::size_t at = v + 1; at < f.used;) {
                  const std::size_t count = std::min(static_cast<std::size_t>(buf[at].x), f.used - at - 1);
                  const PointPair* p = buf + at + 1;
                  at += count + 1;
                  const std::size_t m =
                      count > 0 && p[0].x == p[count - 1].x && p[0].y == p[count - 1].y ? count - 1 : count;
                  holeX.resize(m);
                  holeY.resize(m);
                  for (std::size_t i = 0; i < m; ++i) {
                    c.bltoxy(p[i].x, p[i].y);
                    holeX[i] = c.planeX;
                    holeY[i] = c.planeY;
                  }
                  out_->text(92, "16");
                  out_->integer(93, static_cast<long long>(m));
                  edges(holeX, holeY, m);
                }
                out_->record("75=0;76=1;98=1;10=0;20=0");
              });
  });
}

}  // namespace fgd
