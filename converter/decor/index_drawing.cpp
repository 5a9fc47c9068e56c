#include "converter/decor/index_drawing.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <exception>
#include <string>
#include <string_view>

#include "converter/gml/coordinate_lists.h"
#include "converter/gml/line_scanner.h"
#include "converter/settings/sheet_labels.h"
#include "dxfio/dxf_writer.h"
#include "dxfio/file_sink.h"
#include "converter/sheet/data_files.h"

namespace decor {

namespace {

using gml::contains;

constexpr const char* kAreaLayer = "行政区画";

// clang-format off
constexpr dxfio::Pair kViewportHead[] = {
    {0, "SECTION"}, {2, "TABLES"}, {0, "TABLE"}, {2, "VPORT"}, {70, "2"},
    {0, "VPORT"}, {2, "*ACTIVE"}, {70, "0"}, {10, "0"}, {20, "0"}, {11, "1"}, {21, "1"},
};
constexpr dxfio::Pair kViewportGrid[] = {
    {13, "0"}, {23, "0"}, {14, "10"}, {24, "10"}, {15, "10"}, {25, "10"},
    {16, "0"}, {26, "0"}, {36, "1"}, {17, "0"}, {27, "0"}, {37, "0"},
};
// The rest of the viewport, the other tables, the model space block and the entities' start.
constexpr dxfio::Pair kTablesTail[] = {
    {42, "50"}, {43, "0"}, {44, "0"}, {50, "0"}, {51, "0"}, {71, "0"}, {72, "1000"}, {73, "1"}, {74, "3"},
      {75, "0"}, {76, "0"}, {77, "0"}, {78, "0"},
    {0, "ENDTAB"},
    {0, "TABLE"}, {2, "LTYPE"}, {70, "1"},
    {0, "LTYPE"}, {2, "CONTINUOUS"}, {70, "0"}, {3, "Solid Line"}, {72, "65"}, {73, "0"}, {40, "0.0"},
    {0, "ENDTAB"},
    {0, "TABLE"}, {2, "LAYER"}, {70, "2"},
    {0, "LAYER"}, {2, "0"}, {70, "0"}, {62, "7"}, {6, "CONTINUOUS"},
    {0, "LAYER"}, {2, kAreaLayer}, {70, "0"}, {62, "1"}, {6, "CONTINUOUS"},
    {0, "ENDTAB"},
    {0, "TABLE"}, {2, "STYLE"}, {70, "2"},
    {0, "STYLE"}, {2, "STANDARD"}, {70, "0"}, {40, "0"}, {41, "1"}, {50, "0"}, {71, "0"}, {42, "0.2"},
      {3, "MS UI Gothic"}, {4, ""},
    {0, "STYLE"}, {2, "ANNOTATIVE"}, {70, "0"}, {40, "0"}, {41, "1"}, {50, "0"}, {71, "0"}, {42, "0.2"},
      {3, "MS UI Gothic"}, {4, ""},
    {0, "ENDTAB"},
    {0, "TABLE"}, {2, "APPID"}, {70, "3"},
    {0, "APPID"}, {2, "PE_URL"}, {70, "0"},
    {0, "ENDTAB"},
    {0, "ENDSEC"},
    {0, "SECTION"}, {2, "BLOCKS"},
    {0, "BLOCK"}, {8, "0"}, {2, "$MODEL_SPACE"}, {70, "0"}, {10, "0"}, {20, "0"}, {30, "0"}, {3, "*MODEL_SPACE"},
      {1, ""},
    {0, "ENDBLK"}, {8, "0"},
    {0, "ENDSEC"},
    {0, "SECTION"}, {2, "ENTITIES"},
};
// clang-format on

constexpr dxfio::Pair kPolylineHead[] = {{0, "POLYLINE"}, {8, kAreaLayer}, {66, "1"},
                                         {10, "0.0"},     {20, "0.0"},     {30, "0"}};
constexpr dxfio::Pair kVertexHead[] = {{0, "VERTEX"}, {8, kAreaLayer}};
constexpr dxfio::Pair kPolylineEnd[] = {{0, "SEQEND"}, {8, "0"}};

class IndexDrawing {
 public:
  IndexDrawing(sheet::RunContext& ctx, dxfio::DxfWriter& w, const dxfio::FileSink& sink)
      : ctx_(ctx), v_(ctx.values), w_(w), sink_(sink) {}

  void head(const std::string& title);
  void outlines();
  void frames();
  void labels();

 private:
  void readAreaFile(const std::filesystem::path& file);
  void examine(std::string_view line, std::int64_t number);
  void addPair(std::string_view line, std::int64_t number);
  void endList();
  void drawList();
  void polyline(std::size_t from, std::size_t to);
  void reportAt(std::string_view what, std::int64_t number) {
    ctx_.report(std::string(what) + " " + settings::pathText(*file_) + " " + std::to_string(number) + "行目");
  }
  double labelHeight() const { return std::min(v_.sheetWidth / 5, v_.sheetHeight); }

  sheet::RunContext& ctx_;
  const settings::RunValues& v_;
  dxfio::DxfWriter& w_;
  const dxfio::FileSink& sink_;

  // The list being read.
  const std::filesystem::path* file_ = nullptr;
  bool collecting_ = false;
  bool dropped_ = false;  // a bad or oversized list: read to its end, never drawn
  std::size_t n_ = 0;
  double minLon_ = 0, minLat_ = 0, maxLon_ = 0, maxLat_ = 0;
};

void IndexDrawing::head(const std::string& title) {
  auto& w = w_;
  const double n = v_.northEdge, s = v_.southEdge, west = v_.westEdge, e = v_.eastEdge;
  w.pair(999, title);
  w.pair(999, "  Programed Nelvarin.");
  // The code page is named, as in the sheets: without it a reader takes the file for
  // Windows-1252 and garbles the Japanese layer name and note.
  w.pairs({{0, "SECTION"},
           {2, "HEADER"},
           {9, "$ACADVER"},
           {1, "AC1009"},
           {9, "$DWGCODEPAGE"},
           {3, "ANSI_932"},
           {9, "$MEASUREMENT"},
           {70, "1"}});
  w.pair(9, "$INSUNITS");
  w.pair(70, ctx_.settings.drawingUnit == 0 ? 4 : ctx_.settings.drawingUnit == 1 ? 5 : 6);
  // The area grown by its own width and height on every side.
  w.pair(9, "$EXTMIN");
  w.pair(10, west - (e - west));
  w.pair(20, s - (n - s));
  w.pair(9, "$EXTMAX");
  w.pair(10, e + (e - west));
  w.pair(20, n + (n - s));
  w.pairs({{0, "ENDSEC"}});

  w.pairs(kViewportHead);
  w.pair(12, (west + e) / 2);
  w.pair(22, (s + n) / 2);
  w.pairs(kViewportGrid);
  w.pair(40, (n - s) * 1.3);
  w.pair(41, (e - west) / (n - s));
  w.pairs(kTablesTail);
}

void IndexDrawing::outlines() {
  const auto files = sheet::listDataFiles(ctx_, settings::utf8Path(ctx_.settings.fgdFolder), "*-AdmArea*.xml");
  for (const auto& file : files) {
    ctx_.pump();
    // An abort or a failed write leaves the outlines; the frames and labels still close the file.
    if (!ctx_.runContinue || sink_.failed()) return;
    readAreaFile(file);
  }
}

void IndexDrawing::readAreaFile(const std::filesystem::path& file) {
  file_ = &file;
  collecting_ = dropped_ = false;
  n_ = 0;
  std::int64_t number = 0;
  try {
    // The tags and numbers are ASCII in either encoding, so CP932 lines need no conversion.
    gml::ScanOptions options;
    options.cp932Lines = gml::ScanOptions::Cp932Lines::asRead;
    gml::LineScanner in(file, options);
    // From the first line on: the declaration is a line like any other here.
    if (!in.rewind()) throw gml::ReadError("rewind failed");
    // A line is examined once the next one is read: the last line of the file is not.
    std::string current;
    std::string_view line;
    bool have = false;
    while (in.next(line)) {
      if (have) examine(current, number);
      current.assign(line);
      number = in.lineNumber();
      have = true;
    }
  } catch (const gml::OpenError&) {
    ctx_.report("行政区画ファイルを読めません " + settings::pathText(file));
    return;
  } catch (const std::exception&) {
    reportAt("行政区画ファイルを読めません", number + 1);
    return;
  }
  if (collecting_) ctx_.report("行政区画ファイルが途中で終わっています " + settings::pathText(file));
}

void IndexDrawing::examine(std::string_view line, std::int64_t number) {
  if (contains(line, gml::kPosListEnd)) {
    if (collecting_ && !dropped_) endList();
    collecting_ = false;
  }
  if (collecting_ && !dropped_) addPair(line, number);
  if (contains(line, gml::kPosListStart)) {
    collecting_ = true;
    dropped_ = false;
    n_ = 0;
    minLon_ = minLat_ = 1e308;
    maxLon_ = maxLat_ = -1e308;
  }
}

void IndexDrawing::addPair(std::string_view line, std::int64_t number) {
  double lat, lon;
  try {
    gml::parsePair(line, lat, lon);
  } catch (const gml::ReadError&) {
    reportAt("行政区画の座標が異常です", number);
    dropped_ = true;
    return;
  }
  // A list the buffer cannot hold is left out whole: whether it meets the area is known
  // only from all of its pairs.
  if (n_ >= ctx_.pointBuffer.size()) {
    reportAt("行政区画の座標がxylimitを超えました", number);
    dropped_ = true;
    return;
  }
  ctx_.pointBuffer[n_++] = {lon, lat};
  minLon_ = std::min(minLon_, lon);
  maxLon_ = std::max(maxLon_, lon);
  minLat_ = std::min(minLat_, lat);
  maxLat_ = std::max(maxLat_, lat);
}

void IndexDrawing::endList() {
  if (n_ < 3) return;
  auto& c = ctx_.coordinates;
  c.bltoxy(minLon_, minLat_);
  const double xMin = c.planeX, yMin = c.planeY;
  c.bltoxy(maxLon_, maxLat_);
  const double xMax = c.planeX, yMax = c.planeY;
  if (xMax >= v_.southEdge && v_.northEdge >= xMin && yMax > v_.westEdge && v_.eastEdge > yMin) drawList();
}

// One polyline per run of points off the tile edges, with the point before the run and the
// first point after it; pieces between two edge points belong to a neighbouring file's
// outline too and are left out.
void IndexDrawing::drawList() {
  const geo::PointPair* p = ctx_.pointBuffer.data();
  const std::size_t last = n_ - 1;
  std::size_t j = 1;
  while (j < last) {
    while (j < last && gml::onTileEdge(p[j])) ++j;
    if (j >= last) return;
    std::size_t i = j + 1;
    while (i < last && !gml::onTileEdge(p[i])) ++i;
    polyline(j - 1, i);
    j = i;
  }
}

void IndexDrawing::polyline(std::size_t from, std::size_t to) {
  auto& c = ctx_.coordinates;
  w_.pairs(kPolylineHead);
  for (std::size_t k = from; k <= to; ++k) {
    const auto& q = ctx_.pointBuffer[k];
    c.bltoxy(q.x, q.y);
    w_.pairs(kVertexHead);
    w_.pair(10, c.planeY);
    w_.pair(20, c.planeX);
    w_.pair(30, "0");
  }
  w_.pairs(kPolylineEnd);
}

// Both edges of every sheet: with overlap, neighbouring sheets keep distinct lines.
void IndexDrawing::frames() {
  auto line = [this](double x1, double y1, double x2, double y2) {
    w_.pairs({{0, "LINE"}, {8, "0"}, {6, "CONTINUOUS"}});
    w_.pair(10, x1);
    w_.pair(20, y1);
    w_.pair(30, "0");
    w_.pair(11, x2);
    w_.pair(21, y2);
    w_.pair(31, "0");
  };
  const double n = v_.northEdge, s = v_.southEdge, west = v_.westEdge, e = v_.eastEdge;
  for (int r = 0; r < v_.sheetRows; ++r) {
    const double y = s + r * v_.sheetStepHeight;
    line(west, y, e, y);
    line(west, y + v_.sheetHeight, e, y + v_.sheetHeight);
  }
  for (int c = 0; c < v_.sheetColumns; ++c) {
    const double x = west + c * v_.sheetStepWidth;
    line(x, s, x, n);
    line(x + v_.sheetWidth, s, x + v_.sheetWidth, n);
  }
}

// Each label links to its sheet by a path relative to the index, so the folder can move.
void IndexDrawing::labels() {
  const double h = labelHeight();
  const int rows = v_.sheetRows, columns = v_.sheetColumns;
  std::string here = ".";
  here += static_cast<char>(std::filesystem::path::preferred_separator);
  for (int r = 0; r < rows; ++r)
    for (int c = 0; c < columns; ++c) {
      w_.pairs({{0, "TEXT"}, {8, "0"}});
      w_.pair(10, v_.westEdge + c * v_.sheetStepWidth + h / 4);
      w_.pair(20, v_.northEdge - (r + 0.5) * v_.sheetStepHeight - h / 2);
      w_.pair(30, "0.0");
      w_.pair(40, h);
      w_.pair(1, settings::rowst(r, " ", rows) + settings::colst(c, columns));
      w_.pair(1001, "PE_URL");
      w_.pair(1000, here + settings::sheetName(ctx_.settings.mapName, r, c, rows, columns, ".dxf"));
    }
  w_.pairs({{0, "TEXT"}, {8, "0"}});
  w_.pair(10, v_.westEdge);
  w_.pair(20, v_.northEdge);
  w_.pair(30, "0");
  w_.pair(40, h / 5);
  w_.pair(1, "AutoCADなら、Ctrlを押しながら地図ナンバーのクリックで地図が開きます。");
  w_.pairs({{0, "ENDSEC"}, {0, "EOF"}});
}

void drawIndex(sheet::RunContext& ctx, const std::string& title, dxfio::FileSink& sink) {
  dxfio::DxfWriter w(sink);
  IndexDrawing index(ctx, w, sink);
  index.head(title);
  index.outlines();
  index.frames();
  index.labels();
}

std::filesystem::path indexFile(const sheet::RunContext& ctx) {
  return settings::indexFileName(settings::utf8Path(ctx.settings.writeFolder), ctx.settings.mapName);
}

}  // namespace

void writeIndexDrawing(sheet::RunContext& ctx, const std::string& title, const std::filesystem::path& file) {
  dxfio::FileSink sink;
  if (!sink.open(file)) {
    ctx.host.message("警告", "indexファイルを開けません、他のソフトで開いていませんか。");
    return;
  }
  drawIndex(ctx, title, sink);
  if (!sink.close() || !sink.commit())
    ctx.report("indexファイルを書き込めません: " + settings::pathText(file) + " (" + sink.error() + ")");
}

void writeIndexDrawing(sheet::RunContext& ctx, const std::string& title) {
  writeIndexDrawing(ctx, title, indexFile(ctx));
}

bool drawIndexAhead(sheet::RunContext& ctx, const std::string& title, dxfio::FileSink::Handover& to) {
  dxfio::FileSink sink;  // removes its partial file unless handed over
  if (!sink.open(indexFile(ctx))) return false;
  drawIndex(ctx, title, sink);
  return ctx.runContinue && sink.close() && sink.handOver(to);
}

}  // namespace decor
