#include "converter/settings/check_settings.h"

#include <cmath>
#include <filesystem>
#include <limits>
#include <numbers>

#include "converter/geo/geo_box.h"
#include "converter/geo/plane_coordinates.h"
#include "converter/settings/choice_lists.h"
#include "converter/settings/sheet_labels.h"
#include "platform/printer_catalogue.h"
#include "platform/text.h"
#include "platform/text_codec.h"

namespace settings {

namespace {

using platform::isBlank;

constexpr const char* kEol = "\r\n";
constexpr long long kMaxSheets = 256 * 256;

bool folderExists(const std::string& text) {
  if (text.empty()) return false;
  std::error_code ec;
  return std::filesystem::is_directory(utf8Path(text), ec);
}

// Optional real: empty gives `empty`, a parse failure false.
bool parseOptional(const std::string& text, double empty, double& value) {
  if (isBlank(text)) {
    value = empty;
    return true;
  }
  return parseReal(text, value);
}

struct SourceRow {
  double lonStep;  // degrees
  double k;
  double halfHeight;  // metres
};
constexpr std::array<SourceRow, kElevationSourceCount> kSourceRows = {{
    {0.0125 / 225, 1.0028, 3.0889},
    {0.125 / 1125, 1.027, 6.17},
    {0.125 / 200, 1.0023, 23.1107},
    {1.0 / 320, 1.0028, 115.73},
    {1.0 / 60, 1.0028, 25000.0 / 27},
}};

void paperGeometry(const DrawingSettings& s, const platform::PrinterGeometry& g, RunValues& v) {
  v.printerLandscape = g.landscape;
  const double mm = 25.4;
  if ((g.landscape ? 1 : 0) == s.paperOrientation) {
    v.paperWidthMm = g.physicalWidth * mm / g.dpiX;
    v.paperHeightMm = g.physicalHeight * mm / g.dpiY;
    v.pageWidthMm = g.printableWidth * mm / g.dpiX;
    v.pageHeightMm = g.printableHeight * mm / g.dpiY;
    v.pageOffsetXMm = g.offsetX * mm / g.dpiX;
    v.pageOffsetYMm = g.offsetY * mm / g.dpiY;
  } else {
    v.paperHeightMm = g.physicalWidth * mm / g.dpiY;
    v.paperWidthMm = g.physicalHeight * mm / g.dpiX;
    v.pageHeightMm = g.printableWidth * mm / g.dpiY;
    v.pageWidthMm = g.printableHeight * mm / g.dpiX;
    v.pageOffsetYMm = g.offsetX * mm / g.dpiY;
    v.pageOffsetXMm = g.offsetY * mm / g.dpiX;
  }
  v.pageRightGapMm = v.paperWidthMm - v.pageOffsetXMm - v.pageWidthMm;
  v.pageBottomGapMm = v.paperHeightMm - v.pageOffsetYMm - v.pageHeightMm;
  if (v.pageOffsetXMm < 3.175) {
    v.pageOffsetXMm = v.pageRightGapMm = 3.175;
    v.pageWidthMm = v.paperWidthMm - 6.35;
  }
  if (v.pageOffsetYMm < 3.175) {
    v.pageOffsetYMm = v.pageBottomGapMm = 3.175;
    v.pageHeightMm = v.paperHeightMm - 6.35;
  }
  v.usableWidthMm = v.pageWidthMm * 0.95 * 260 / 290 - s.marginLeft - s.marginRight;
  v.usableHeightMm = v.pageHeightMm * 0.95 - s.marginBottom - s.marginTop;
}

std::string wholeNumberText(double value) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.0f", std::floor(value));
  return buf;
}

void sheetLayout(DrawingSettings& s, RunValues& v) {
  layOutSheets(s.scaleChoice, s.overlapPercent, v);
  if (s.scaleChoice >= 2) {
    double east = v.blockWidth() + v.westEdge;
    double north = v.blockHeight() + v.southEdge;
    if (std::isfinite(east) && std::isfinite(north)) {
      v.eastEdge = std::floor(east);
      v.northEdge = std::floor(north);
      s.eastEdge = wholeNumberText(east);
      s.northEdge = wholeNumberText(north);
    }
  }
}


void elevationCells(const DrawingSettings& s, RunValues& v) {
  const double phi0 = v.originLatitude;
  const double south = v.southEdge + v.northSouthCorrection;
  const double u = v.unitsPerMetre;
  for (int i = 0; i < kElevationSourceCount; ++i) {
    const auto& row = kSourceRows[i];
    v.meshHalfWidths[i] =
        (4e7 * std::cos(phi0) - std::sin(phi0) * 2 * std::numbers::pi * south / u) * row.lonStep / 360 / 2 * row.k;
    v.meshHalfHeights[i] = row.halfHeight;
  }
  int active = activeElevationSource(s);
  v.meshCellWidth = 2 * u * v.meshHalfWidths[active];
  v.meshCellHeight = 2 * u * v.meshHalfHeights[active];
}

// Provisional grid of the north-west sheet; false when a corner does not convert.
bool firstSheetGrid(geo::PlaneCoordinates& coords, RunValues& v) {
  constexpr geo::BoxSampling corners{.corners = geo::BoxSampling::Corners::around,
                                     .northernEdge = geo::BoxSampling::NorthernEdge::cornersOnly};
  const double n = v.northEdge, w = v.westEdge;
  geo::GeoBox sheet;
  if (!geo::sheetGeoBox(coords, w, w + v.sheetWidth, n - v.sheetHeight, n, sheet, corners)) return false;
  const SnappedBox box = snapElevationBox(sheet.west, sheet.east, sheet.south, sheet.north, v.cellWidth, v.cellHeight);
  v.gridWest = box.west;
  v.gridEast = box.east;
  v.gridSouth = box.south;
  v.gridNorth = box.north;
  v.columnCount = box.columnCount;
  v.rowCount = box.rowCount;
  return true;
}

}  // namespace

void layOutSheets(int scaleChoice, int overlapPercent, RunValues& v) {
  const double p = overlapPercent / 100.0;
  const double u = v.unitsPerMetre;
  const auto& den = kScaleDenominators;
  auto fitToArea = [&] {
    v.sheetWidth = (v.eastEdge - v.westEdge) / (p + v.sheetColumns * (1 - p));
    v.sheetHeight = (v.northEdge - v.southEdge) / (p + v.sheetRows * (1 - p));
  };
  if (scaleChoice == 0) {
    fitToArea();
    v.unitsPerPaperMillimetre = v.sheetWidth / v.sheetHeight > v.usableWidthMm / v.usableHeightMm
                                    ? v.sheetWidth / v.usableWidthMm
                                    : v.sheetHeight / v.usableHeightMm;
  } else if (scaleChoice == 1) {
    fitToArea();
    std::size_t i = 2;
    while (i + 1 < den.size() && v.usableWidthMm < v.sheetWidth / den[i] * 1000 / u - 0.1) ++i;
    while (i + 1 < den.size() && v.usableHeightMm < v.sheetHeight / den[i] * 1000 / u - 0.1) ++i;
    v.unitsPerPaperMillimetre = den[i] / 1000 * u;
  } else if (scaleChoice >= 2 && scaleChoice < static_cast<int>(den.size())) {
    v.unitsPerPaperMillimetre = den[scaleChoice] / 1000 * u;
    v.sheetWidth = v.usableWidthMm * v.unitsPerPaperMillimetre;
    v.sheetHeight = v.usableHeightMm * v.unitsPerPaperMillimetre;
  }
  v.sheetStepWidth = (100 - overlapPercent) * v.sheetWidth / 100;
  v.sheetStepHeight = (100 - overlapPercent) * v.sheetHeight / 100;
}

double meshCellLimit(const DrawingSettings& s) { return static_cast<double>(s.elevationBufferCells); }
double contourCellLimit(const DrawingSettings& s) { return s.contourShare * meshCellLimit(s) / 10; }

double elevationCellLimit(const DrawingSettings& s) {
  if (s.contourSource >= 0) return contourCellLimit(s);
  if (s.meshSource >= 0) return meshCellLimit(s);
  return std::numeric_limits<double>::infinity();
}


CellSize elevationCellSize(int source) {
  static constexpr std::array<CellSize, kElevationSourceCount> sizes = {{{0.2 / 3600, 0.2 / 3600},
                                                                         {0.4 / 3600, 0.4 / 3600},
                                                                         {2.25 / 3600, 1.5 / 3600},
                                                                         {11.25 / 3600, 7.5 / 3600},
                                                                         {60.0 / 3600, 60.0 / 3600}}};
  return sizes[source >= 0 && source < kElevationSourceCount ? source : 0];
}

SnappedBox snapElevationBox(double west, double east, double south, double north, double cw, double ch) {
  SnappedBox box;
  box.west = std::trunc(west / cw - 1) * cw;
  box.east = std::trunc(east / cw + 2) * cw;
  box.south = std::trunc(south / ch - 1) * ch;
  box.north = std::trunc(north / ch + 2) * ch;
  // A box off the globe (no latitude, inf) has no countable cells: 0, which callers refuse.
  auto cells = [](double n) { return std::fabs(n) < 9e18 ? static_cast<std::int64_t>(n) : 0; };
  box.columnCount = cells(std::floor((box.east - box.west) / cw + 0.999));
  box.rowCount = cells(std::floor((box.north - box.south) / ch + 0.999));
  return box;
}

int activeElevationSource(const DrawingSettings& s) {
  if (s.meshSource >= 0 && s.meshSource < kElevationSourceCount) return s.meshSource;
  if (s.contourSource >= 0 && s.contourSource < kElevationSourceCount) return s.contourSource;
  return 0;
}

namespace {

// The report under construction: one line, ending CR LF, per problem.
struct Report {
  void add(std::string_view line) {
    text += line;
    text += kEol;
  }
  std::string text;
};

void checkFolders(const DrawingSettings& s, Report& report) {
  if (!folderExists(s.fgdFolder)) report.add("基盤地図情報フォルダが見つかりません");
  if (!folderExists(s.elevationFolder)) report.add("標高データフォルダが見つかりません");
  if (!folderExists(s.writeFolder)) report.add("書込フォルダが見つかりません");
  if (!folderExists(s.mlitFolder)) report.add("国土数値情報フォルダが見つかりません");
  if (!folderExists(s.basicInfoFolder)) report.add("国土基本情報フォルダが見つかりません");
}

// Sheets, scripts and links are written in CP932: a name they cannot spell would point at
// no file. Each such character is told once.
void checkCp932Characters(std::string_view text, const char* what, Report& report) {
  std::string told;
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t n = platform::characterLength(text, at);
    const std::string_view ch = text.substr(at, n);
    at += n;
    if (n > 1 && !platform::representableInCp932(ch) && told.find(ch) == std::string::npos) {
      told += ch;
      report.add(std::string(what) + "に " + std::string(ch) + " は使えません(シフトJISにない文字)");
    }
  }
}

// The map name becomes a file name.
void checkMapName(const std::string& mapName, Report& report) {
  for (char ch : mapName) {
    if (std::string_view("\\/:*?\"<>|").find(ch) != std::string_view::npos)
      report.add(std::string("地図名に ") + ch + " は使えません");
  }
  checkCp932Characters(mapName, "地図名", report);
  if (mapName.empty()) report.add("地図名を設定してください");
}

// The printer's page for the chosen paper, when printer, paper and orientation are set.
std::optional<platform::PrinterGeometry> chosenPaper(const DrawingSettings& s,
                                                     const platform::PrinterCatalogue& printers, Report& report) {
  std::optional<platform::PrinterGeometry> geometry;
  const bool printerChosen = printers.hasPrinter(s.printerName);
  if (!printerChosen) report.add("プリンタを選択してください");
  if (s.paperSize.empty()) report.add("用紙サイズを選択してください。");
  if (s.paperOrientation != 0 && s.paperOrientation != 1) report.add("用紙方向を選択してください。");
  if (printerChosen && !s.paperSize.empty()) {
    geometry = printers.geometry(s.printerName, s.paperSize);
    // A paper the printer does not offer cannot size the sheets.
    if (!geometry) report.add("用紙サイズを選択してください。");
  }
  return geometry;
}

// False when no unit is chosen: nothing after it can be checked.
bool setDrawingUnit(const DrawingSettings& s, geo::PlaneCoordinates& coords, RunValues& v, Report& report) {
  if (s.drawingUnit < 0 || s.drawingUnit > 2) {
    report.add("単位を設定してください");
    return false;
  }
  v.unitsPerMetre = s.drawingUnit == 0 ? 1000 : s.drawingUnit == 1 ? 100 : 1;
  coords.unitsPerMetre = v.unitsPerMetre;
  return true;
}

// True when the chosen plane rectangular system is selected in `coords`.
bool selectCoordinateSystem(const DrawingSettings& s, geo::PlaneCoordinates& coords, RunValues& v, Report& report) {
  bool selected = false;
  if (s.coordinateSystem < 0 || s.coordinateSystem >= static_cast<int>(coordinateSystemItems().size())) {
    report.add("座標系を選択してください");
    coords.lastLatitude = coords.lastLongitude = 0;
  } else {
    int zone = zoneFromItemText(coordinateSystemItems()[s.coordinateSystem]);
    if (coords.selectSystem(zone)) {
      selected = true;
      v.zone = zone;
    } else {
      report.add("座標系が異常です");
    }
  }
  v.originLatitude = coords.originLatitude;
  v.originLongitude = coords.originLongitude;
  v.originArc = coords.originArc;
  return selected;
}

// Edges left empty reach to the limits of a system.
void readAreaEdges(const DrawingSettings& s, RunValues& v, Report& report) {
  struct Edge {
    const std::string& text;
    double empty;
    double& value;
  };
  const double u = v.unitsPerMetre;
  const double third = 4.0 / 9.0;  // 0.444...
  Edge edges[] = {{s.northEdge, 1e6 * third * u, v.northEdge},
                  {s.southEdge, -1e6 * third * u, v.southEdge},
                  {s.westEdge, -5e5 * third * u, v.westEdge},
                  {s.eastEdge, 5e5 * third * u, v.eastEdge}};
  for (auto& e : edges) {
    double value;
    if (!parseOptional(e.text, e.empty, value)) {
      report.add("描画範囲値が異常です");
      break;
    }
    e.value = value;
  }
}

// False when a count is beyond what the sheet labels can name: nothing after it is checked.
bool readSheetCounts(const DrawingSettings& s, RunValues& v, Report& report) {
  long long rows = 1, cols = 1;
  bool ok = (isBlank(s.sheetRows) || parseInteger(s.sheetRows, rows)) &&
            (isBlank(s.sheetColumns) || parseInteger(s.sheetColumns, cols));
  // A count below one lays out no sheet at all.
  if (!ok || rows < 1 || cols < 1) {
    report.add("分割数が異常です");
    rows = std::max(rows, 1LL);
    cols = std::max(cols, 1LL);
  }
  if (cols > 256) {
    report.add("横分割数は256以下に");
    return false;
  }
  if (rows > 18277) {
    report.add("縦分割数は18277以下に");
    return false;
  }
  // Each sheet is a file and a pass over the data: more than a full grid of 256 columns
  // by 256 rows is no drawing anyone can run.
  if (rows * cols > kMaxSheets) {
    report.add("分割数が多すぎます(横分割数×縦分割数は" + std::to_string(kMaxSheets) + "以下に)");
    return false;
  }
  v.sheetRows = static_cast<int>(rows);
  v.sheetColumns = static_cast<int>(cols);
  return true;
}

void readCorrections(const DrawingSettings& s, geo::PlaneCoordinates& coords, RunValues& v, Report& report) {
  const double u = v.unitsPerMetre;
  double value;
  if (parseOptional(s.eastWestCorrection, 0, value))
    v.eastWestCorrection = value;
  else
    report.add("座標東西補正値が異常です");
  if (parseOptional(s.northSouthCorrection, 0, value))
    v.northSouthCorrection = value;
  else
    report.add("座標南北補正値が異常です");
  if (parseOptional(s.datumCorrection, 0, value))
    v.datumOffset = value / u;
  else
    report.add("基準面補値が異常です");
  if (parseOptional(s.elevationExaggeration, 1, value))
    v.exaggeration = value;
  else
    report.add("標高強調倍率が異常です");
  coords.eastWestCorrection = v.eastWestCorrection;
  coords.northSouthCorrection = v.northSouthCorrection;
}

// The first sheet's legend cells serve the elevation points and the contours alike.
void checkFirstLegendCells(const DrawingSettings& s, Report& report) {
  double value;
  const std::string& interval = s.legendIntervals.cell(0, 0);
  const std::string& bottom = s.legendBottoms.cell(0, 0);
  bool intervalBad = !isBlank(interval) && !parseReal(interval, value);
  bool bottomBad = !isBlank(bottom) && !parseReal(bottom, value);
  if (intervalBad) report.add("標高点凡例間隔が異常です");
  if (intervalBad) report.add("等高線凡例間隔が異常です");
  if (bottomBad) report.add("標高点凡例最下面が異常です");
  if (bottomBad) report.add("等高線凡例最下面が異常です");
}

// Every sheet's typed legend values; a value that does not parse is reported once.
void checkTypedLegends(const DrawingSettings& s, const RunValues& v, Report& report) {
  const double u = v.unitsPerMetre;
  bool intervalDone = false, bottomDone = false;
  for (int r = 0; r < v.sheetRows; ++r)
    for (int c = 0; c < v.sheetColumns; ++c) {
      double value;
      const std::string& interval = s.legendIntervals.cell(r, c);
      if (!intervalDone && !isBlank(interval)) {
        if (!parseReal(interval, value)) {
          report.add("メッシュ凡例間隔");
          intervalDone = true;
        } else if (value / u < 0.01) {
          report.add("標高凡例間隔が異常です " + rowst(r, "", v.sheetRows) + std::to_string(c));
        }
      }
      const std::string& bottom = s.legendBottoms.cell(r, c);
      if (!bottomDone && !isBlank(bottom)) {
        if (!parseReal(bottom, value)) {
          report.add("メッシュ凡例最下面が異常です");
          bottomDone = true;
        } else if (value / u < v.datumOffset - 10) {
          report.add("最下面が低すぎます");
        }
      }
    }
}

void checkElevationSources(const DrawingSettings& s, Report& report) {
  const bool mesh = s.meshSource >= 0, contour = s.contourSource >= 0;
  if (mesh && contour && s.meshSource != s.contourSource)
    report.add("標高メッシュと等高線は同じサイズを選んでください");
  if (mesh && contour && s.contourTarget != 1) report.add("標高メッシュと窪地は同時に指定できません");
  if (!mesh && !contour && s.crossSectionsOn) report.add("断面図には標高Meshか等高線が必要です");
}

void checkIllustrationFlavour(const DrawingSettings& s, Report& report) {
  if (s.fileFormat != 3) return;
  if (s.textFont < 3) report.add("ファイル形式DXF Adobe Illustratorでは、他のフォントを選択してください");
  if (s.initialSpace == 0) report.add("ファイル形式DXF Adobe Illustratorでは、初期表示でモデルを選択してください");
}

}  // namespace

std::string checkSettings(DrawingSettings& s, const platform::PrinterCatalogue& printers, geo::PlaneCoordinates& coords,
                          RunValues& v) {
  Report report;
  checkFolders(s, report);
  checkMapName(s.mapName, report);
  checkCp932Characters(s.writeFolder, "書込フォルダ名", report);
  const auto geometry = chosenPaper(s, printers, report);
  if (!setDrawingUnit(s, coords, v, report)) return report.text;
  if (s.fileFormat < 0 || s.fileFormat > 3) report.add("ファイル形式を選択してください");
  const bool zoneSelected = selectCoordinateSystem(s, coords, v, report);
  readAreaEdges(s, v, report);
  if (!readSheetCounts(s, v, report)) return report.text;

  // Legend tables follow the sheet grid.
  s.legendIntervals.resize(v.sheetRows, v.sheetColumns);
  s.legendBottoms.resize(v.sheetRows, v.sheetColumns);
  readCorrections(s, coords, v, report);
  if (s.legendLevelChoice < 0 || s.legendLevelChoice >= s.legendLevelItemCount())
    report.add("メッシュ凡例数");
  else
    v.legendStepCount = 1 << s.legendLevelChoice;
  checkFirstLegendCells(s, report);
  if (!s.legendAuto) checkTypedLegends(s, v, report);

  // Elevation cells, paper and sheets.
  const CellSize cell = elevationCellSize(activeElevationSource(s));
  v.cellWidth = cell.width;
  v.cellHeight = cell.height;
  elevationCells(s, v);
  if (geometry) paperGeometry(s, *geometry, v);
  // Margins that leave no paper give a sheet of no size, and no scale can follow from it.
  const bool paperLeft = geometry && v.usableWidthMm > 0 && v.usableHeightMm > 0;
  if (geometry && !paperLeft) report.add("余白が大きすぎて描画する幅がありません");
  if (s.scaleChoice < 0 || s.scaleChoice >= static_cast<int>(kScaleDenominators.size()))
    report.add("縮尺を選択してください");
  if (paperLeft) sheetLayout(s, v);
  checkElevationSources(s, report);

  // Grid of the first sheet, with the cell size set above.
  v.columnCount = v.rowCount = 0;
  if (zoneSelected && paperLeft && std::isfinite(v.sheetWidth) && std::isfinite(v.sheetHeight)) {
    if (!firstSheetGrid(coords, v)) report.add("描画範囲値が異常です");
  }

  double roadWidth;
  if (parseReal(s.minRoadWidth, roadWidth))
    v.minRoadWidthUnits = roadWidth * v.unitsPerMetre;
  else
    report.add("描画する道路の幅員設定が異常です");
  checkIllustrationFlavour(s, report);
  return report.text;
}

}  // namespace settings
