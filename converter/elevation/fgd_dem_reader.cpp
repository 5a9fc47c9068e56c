#include "converter/elevation/fgd_dem_reader.h"

#include <array>
#include <cmath>
#include <cstring>
#include <optional>
#include <string>

#include "converter/elevation/elevation_source.h"
#include "converter/elevation/line_reader.h"
#include "converter/gml/line_scanner.h"
#include "converter/settings/sheet_labels.h"
#include "converter/sheet/run_context.h"
#include "platform/host.h"
#include "platform/text.h"
#include "platform/text_codec.h"

namespace elevation {

namespace {

using platform::contains;

constexpr std::string_view kElementList =
    " <AdmArea <AdmBdry <CommBdry <Cstline <WL <WA <LeveeEdgeType <RvrMgtBdry <RdEdg <RdCompt <RdMgtBdry <RailCL "
    "<BldA <BldL <Cntr <SBArea <SBBdry <SBAPt <AdmPt <CommPt <ElevPt <GCP <DEM5 <DEM10 <DEM50 <DEM250 ";

constexpr std::string_view kLowerCorner = "<gml:lowerCorner>";
constexpr std::string_view kUpperCorner = "<gml:upperCorner>";
constexpr std::string_view kHigh = "<gml:high>";
constexpr std::string_view kStartPoint = "<gml:startPoint>";
constexpr std::string_view kTupleList = "<gml:tupleList>";
constexpr std::string_view kTupleListEnd = "</gml:tupleList>";

// The kind lines of the four DEM sources in both encodings a file may use.
struct TypeLines {
  std::array<std::string, 4> utf8, cp932;
};
const TypeLines& typeLines() {
  static const TypeLines lines = [] {
    TypeLines t;
    for (int s = 0; s < 4; ++s) {
      t.utf8[s] = std::string(sourceFiles(s).typeLine);
      t.cp932[s] = platform::utf8ToCp932(t.utf8[s]);
    }
    return t;
  }();
  return lines;
}

struct DemExtent {
  bool lower = false, upper = false, tupleList = false;
  double south = 0, west = 0, north = 0, east = 0;
  std::int64_t fileColumns = 225, fileRows = 150;
  std::int64_t sx = 0, sy = 0;
  // Corners that can place a grid: finite degrees on the globe, south of north, west of east.
  bool cornersAgree() const {
    return south >= -90 && north <= 90 && west >= -180 && east <= 180 && south < north && west < east;
  }
};

class DemFile {
 public:
  DemFile(sheet::RunContext& ctx, const std::filesystem::path& path, gml::LineScanner& in)
      : ctx_(ctx), path_(path), in_(in) {}
  void read();

 private:
  int source();
  bool scanExtent(DemExtent& e);
  bool scanExtentLine(std::string_view line, DemExtent& e);
  bool skipToTupleList();
  void readTuples(const DemExtent& e);
  void report(std::string_view what) { ctx_.reportOnce(std::string(what) + " " + settings::pathText(path_)); }
  void reportLine(std::string_view what) {
    ctx_.reportOnce(std::string(what) + " " + settings::pathText(path_) + " " + std::to_string(in_.lineNumber()) +
                    "行目");
  }

  sheet::RunContext& ctx_;
  const std::filesystem::path& path_;
  gml::LineScanner& in_;
};

void DemFile::read() {
  const int s = source();
  // Vector files and DEMs of another resolution end here, without a message.
  if (s < 0 || !sourceActive(ctx_.settings, s)) return;
  ctx_.progress(sheet::ProgressLine::Phase, "標高MESH");

  DemExtent e;
  if (!scanExtent(e)) return;
  if (!e.lower || !e.upper) {
    report("標高データに範囲(gml:lowerCorner, gml:upperCorner)がありません");
    return;
  }
  if (!e.cornersAgree()) {
    report("標高データの範囲(gml:lowerCorner, gml:upperCorner)が矛盾しています");
    return;
  }
  if (e.sx >= e.fileColumns || e.sy >= e.fileRows) {
    report("標高データのgml:startPointがgml:highの格子の外です");
    return;
  }
  const auto& g = ctx_.elevationGrid;
  // The corners must span the grid's cells at the source's cell size, or every value lands
  // in a cell of another place.
  auto fits = [](double span, std::int64_t count, double cell) {
    return std::abs(span / static_cast<double>(count) - cell) <= 0.01 * cell;
  };
  if (!fits(e.east - e.west, e.fileColumns, g.cellWidth) || !fits(e.north - e.south, e.fileRows, g.cellHeight)) {
    report("標高データの範囲とgml:highの格子が合いません");
    return;
  }
  if (g.gridWest > e.east || g.gridSouth > e.north || g.gridEast < e.west || g.gridNorth < e.south) return;
  if (!e.tupleList) {
    report("標高データにgml:tupleListがありません");
    return;
  }
  readTuples(e);
}

// The DEM source the file's first kind line names, -1 for none. The declaration names no
// kind, in either encoding; a file that cannot be read names none either.
int DemFile::source() {
  int k = 0;
  try {
    std::string_view line;
    while (in_.next(line)) {
      if (in_.lineNumber() == 1) continue;
      k = kindPosition(line, in_.utf8());
      if (k > 1) break;
    }
  } catch (const gml::ReadError&) {
    return -1;
  }
  for (int s = 0; s < 4; ++s)
    if (k == sourceFiles(s).kindPosition) return s;
  return -1;
}

// Corners, column count and start point, wherever they stand; a later one wins.
bool DemFile::scanExtent(DemExtent& e) {
  if (in_.rewind()) {
    try {
      std::string_view line;
      while (in_.next(line))
        if (!gml::tagFree(line) && !scanExtentLine(line, e)) return false;  // tuples and blank lines hold no tag
      return true;
    } catch (const gml::ReadError&) {
    }
  }
  report("標高データファイルを読めません");
  return false;
}

// False when a number of the line is broken (reported).
bool DemFile::scanExtentLine(std::string_view line, DemExtent& e) {
  std::string_view a, b;
  if (contains(line, kLowerCorner) || contains(line, kUpperCorner)) {
    const bool lower = gml::take(line, kLowerCorner);
    if (!lower) gml::take(line, kUpperCorner);
    double lat, lon;
    // A corner off the globe would place the file's cells beyond any integer count.
    if (!gml::splitPosition(line, a, b) || !parseDecimal(a, lat) || !parseDecimal(b, lon) || std::fabs(lat) > 90 ||
        std::fabs(lon) > 180) {
      reportLine("標高データの範囲の数値が異常です");
      return false;
    }
    if (lower) {
      e.lower = true;
      e.south = lat;
      e.west = lon;
    } else {
      e.upper = true;
      e.north = lat;
      e.east = lon;
    }
  } else if (gml::take(line, kHigh)) {
    // Both dimensions: the rows bound the cells the tuples may fill.
    std::int64_t high, highRow;
    constexpr std::int64_t limit = std::int64_t{1} << 31;
    if (!gml::splitPosition(line, a, b) || !parseWhole(a, high) || !parseWhole(b, highRow) || high < 0 ||
        highRow < 0 || high >= limit || highRow >= limit) {
      reportLine("標高データのgml:highの数値が異常です");
      return false;
    }
    e.fileColumns = high + 1;
    e.fileRows = highRow + 1;
  } else if (gml::take(line, kStartPoint)) {
    std::int64_t sx, sy;
    constexpr std::int64_t limit = std::int64_t{1} << 31;
    if (!gml::splitPosition(line, a, b) || !parseWhole(a, sx) || !parseWhole(b, sy) || sx < 0 || sy < 0 ||
        sx >= limit || sy >= limit) {
      reportLine("標高データのgml:startPointの数値が異常です");
      return false;
    }
    e.sx = sx;
    e.sy = sy;
  } else if (contains(line, kTupleList)) {
    e.tupleList = true;
  }
  return true;
}

// To the line after "<gml:tupleList>"; false when it is gone (the file changed since the
// scan) or the file can no longer be read.
bool DemFile::skipToTupleList() {
  try {
    std::string_view line;
    while (in_.next(line))
      if (contains(line, kTupleList)) return true;
  } catch (const gml::ReadError&) {
  }
  return false;
}

void DemFile::readTuples(const DemExtent& e) {
  auto& g = ctx_.elevationGrid;
  const std::int64_t columns = e.fileColumns;
  const std::int64_t dc = static_cast<std::int64_t>(std::floor((e.west - g.gridWest) / g.cellWidth + 0.00001));
  const std::int64_t dr = static_cast<std::int64_t>(std::floor((g.gridNorth - e.north) / g.cellHeight + 0.00001));
  g.innerWindow = geo::innerWindowOf(g);
  const geo::CellWindow inner = g.innerWindow;
  const double offset = g.datumOffset;

  if (!in_.rewind()) {
    report("標高データファイルを読めません");
    return;
  }
  if (!skipToTupleList()) return;

  // The cell of the next value, file row and column, stepped without dividing.
  const std::int64_t first = e.sy * columns + e.sx;
  // Published files may end before the last cell; values beyond it would land in the
  // neighbouring mesh's cells.
  const std::int64_t cells = columns * e.fileRows;
  std::int64_t fileRow = first / columns, fileColumn = first % columns;
  std::int64_t index = first;
  auto step = [&] {
    ++index;
    if (++fileColumn == columns) {
      fileColumn = 0;
      ++fileRow;
    }
  };
  bool closed = false;
  try {
    std::string_view line;
    while (!closed && in_.next(line)) {
      if (!gml::tagFree(line)) {
        const auto end = line.find(kTupleListEnd);
        if (end != std::string_view::npos) {
          closed = true;
          line = line.substr(0, end);
        }
      }
      if (index >= cells && !platform::isBlank(line)) {
        reportLine("標高データの値の数がgml:highの格子を超えています");
        return;
      }
      const char* comma = static_cast<const char*>(std::memchr(line.data(), ',', line.size()));
      std::string_view value;
      if (comma) {
        const std::string_view rest = line.substr(static_cast<std::size_t>(comma - line.data()));
        if (rest.starts_with(",-9999") || rest.find(",-9999", 1) != std::string_view::npos) {
          step();  // a cell without data
          continue;
        }
        value = rest.substr(1, 99);
      } else {
        if (platform::isBlank(line)) continue;  // a blank line holds no cell
        value = line.substr(0, 99);
      }
      double v;
      if (!parseDecimal(value, v)) {
        reportLine("標高データの数値が異常です");
        return;
      }
      const std::int64_t c = fileColumn + dc;
      const std::int64_t r = fileRow + dr;
      if (c >= 0 && c < g.columnCount && r >= 0 && r < g.rowCount) {
        const double z = v + offset;
        g.setCell(static_cast<int>(r), static_cast<int>(c), z);
        if (inner.contains(static_cast<int>(r), static_cast<int>(c))) g.widenExtremes(z);
      }
      step();
    }
  } catch (const gml::ReadError&) {
    report("標高データファイルを読めません");
    return;
  }
  if (!closed) report("標高データが途中で終わっています");
}

}  // namespace

int kindPosition(std::string_view line, bool utf8) {
  std::string_view text = line;
  const auto& types = utf8 ? typeLines().utf8 : typeLines().cp932;
  for (int s = 0; s < 4; ++s) {
    if (contains(line, types[s])) {
      text = sourceFiles(s).kindTag;
      break;
    }
  }
  const auto blank = text.find(' ');
  if (blank == std::string_view::npos) return 0;
  const auto at = kElementList.find(text.substr(0, blank + 1));
  return at == std::string_view::npos ? 0 : static_cast<int>(at) + 1;
}

void readFgdDemFile(sheet::RunContext& ctx, const std::filesystem::path& path) {
  if (!ctx.runContinue) return;
  // DEM lines are short; a runaway line is cut like any other, its values sit at its start.
  // Tags and tuples are ASCII, so the lines of a CP932 file need no conversion.
  constexpr gml::ScanOptions kDemLines{.maxLine = platform::LineFile::kBufferSize,
                                       .longLines = gml::ScanOptions::LongLines::cut,
                                       .cp932Lines = gml::ScanOptions::Cp932Lines::asRead};
  std::optional<gml::LineScanner> in;
  try {
    in.emplace(path, kDemLines);
  } catch (const gml::OpenError&) {
    ctx.reportOnce("標高データファイルを開けません " + settings::pathText(path));
    return;
  } catch (const gml::ReadError&) {
    return;  // an unreadable first line names no kind: nothing to say
  }
  DemFile(ctx, path, *in).read();
}

}  // namespace elevation
