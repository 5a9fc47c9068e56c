#include "converter/elevation/elevation_loader.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "converter/elevation/elevation_source.h"
#include "converter/elevation/etopo_reader.h"
#include "converter/elevation/fgd_dem_reader.h"
#include "converter/geo/geo_box.h"
#include "converter/settings/check_settings.h"
#include "converter/settings/sheet_labels.h"
#include "converter/sheet/data_files.h"
#include "converter/sheet/run_context.h"
#include "converter/sheet/sheet_mesh_codes.h"
#include "platform/dir_list.h"
#include "platform/text.h"

namespace elevation {

namespace {

using sheet::ProgressLine;

constexpr int kAllContours = 1;  // "すべての等高線"

void refuseSize(sheet::RunContext& ctx) {
  ctx.stop("標高メッシュ読込限度", "占有メモリーの拡大や描画範囲の分割が必要です");
}

void refuseRange(sheet::RunContext& ctx) {
  ctx.stop("描画範囲の異常", "単位、縮尺を選択してから描画範囲を設定してください");
}

// The sheet's corners and three more points of its northern edge, wherever the sheet lies.
constexpr geo::BoxSampling kSheetSampling{.corners = geo::BoxSampling::Corners::around,
                                          .northernEdge = geo::BoxSampling::NorthernEdge::quarterPoints};

// The slice of a file name that carries its mesh code, placed relative to the first "DEM".
std::string codeSlice(const std::string& upperName, const SourceFiles& files) {
  const auto p = upperName.find("DEM");
  if (p == std::string::npos) return {};
  const long long start = static_cast<long long>(p) + files.sliceStart;
  if (start < 0) return {};
  return upperName.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(files.sliceLength));
}

void readEtopoFiles(sheet::RunContext& ctx, const std::vector<std::filesystem::path>& files) {
  ctx.progress(ProgressLine::Phase, "ETOPO");
  for (const auto& file : files) {
    ctx.pump();
    if (!ctx.runContinue) return;
    ++ctx.fileCounter;
    ctx.progress(ProgressLine::Counter, std::to_string(ctx.fileCounter));
    ctx.progress(ProgressLine::File, settings::pathText(file.filename()));
    readEtopoFile(ctx, file);
  }
}

void readDemFiles(sheet::RunContext& ctx, const SourceFiles& source, const std::vector<std::filesystem::path>& files) {
  ctx.progress(ProgressLine::Phase, "DEMデータ");
  ctx.progress(ProgressLine::Counter, std::to_string(ctx.fileCounter));
  for (const auto& file : files) {
    ctx.pump();
    if (!ctx.runContinue) return;
    ++ctx.fileCounter;
    const std::string name = settings::pathText(file.filename());
    if (!geo::inMeshCodeList(ctx.meshCodeList, codeSlice(platform::upperAscii(name), source))) continue;
    ctx.progress(ProgressLine::Counter, std::to_string(ctx.fileCounter));
    ctx.progress(ProgressLine::File, name);
    readFgdDemFile(ctx, file);
  }
}

}  // namespace

void collectElevationFiles(sheet::RunContext& ctx, const std::filesystem::path& folder, bool load) {
  for (int s = dem5m; s <= etopo; ++s) {
    if (!sourceActive(ctx.settings, s)) continue;
    const SourceFiles& source = sourceFiles(s);
    // The global grid is read by seeking in it: from files only, never from an archive.
    const auto files = s == etopo ? platform::listFiles(folder, source.mask, ctx.settings.processSubfolders)
                                  : sheet::listDataFiles(ctx, folder, source.mask);
    if (!load) {
      ctx.fileCounter += static_cast<std::int64_t>(files.size());
      continue;
    }
    if (s == etopo) {
      readEtopoFiles(ctx, files);
      continue;
    }
    // Codes of the meshes that touch demBox: the depression margin takes data only from them.
    sheet::buildMeshCodeList(ctx, source.compactKind, sheet::MeshBox::grid);
    if (source.dashedToo) sheet::buildMeshCodeList(ctx, source.dashedKind, sheet::MeshBox::grid);
    readDemFiles(ctx, source, files);
  }
}

void loadElevationGrid(sheet::RunContext& ctx) {
  if (!ctx.runContinue) return;
  const auto& s = ctx.settings;
  const auto& v = ctx.values;
  auto& g = ctx.elevationGrid;
  g.unbind();
  g.cellWidth = v.cellWidth;
  g.cellHeight = v.cellHeight;
  g.datumOffset = v.datumOffset;

  geo::GeoBox box;
  const bool converted = geo::sheetGeoBox(ctx.coordinates, ctx.sheetWest, ctx.sheetEast, ctx.sheetSouth, ctx.sheetNorth,
                                          box, kSheetSampling);
  const auto snapped = settings::snapElevationBox(box.west, box.east, box.south, box.north, g.cellWidth, g.cellHeight);
  g.demBox = {snapped.west, snapped.east, snapped.south, snapped.north};
  const double columns = static_cast<double>(snapped.columnCount), rows = static_cast<double>(snapped.rowCount);

  // The grid's share of the point buffer; hollows are traced in a grid that fills it.
  const double share = static_cast<double>(s.elevationBufferCells) * s.contourShare / 10;
  const bool margin = s.contourSource >= 0 && s.contourTarget != kAllContours;
  double m = 0;
  if (margin) {
    m = std::floor((std::sqrt(4 * share + (columns + rows) * (columns + rows) - 4 * columns * rows) - columns - rows) /
                   4);
  }
  g.gridWest = g.demBox.west - m * g.cellWidth;
  g.gridEast = g.demBox.east + m * g.cellWidth;
  g.gridSouth = g.demBox.south - m * g.cellHeight;
  g.gridNorth = g.demBox.north + m * g.cellHeight;
  const double columnCount = std::floor((g.gridEast - g.gridWest) / g.cellWidth + 0.999);
  const double rowCount = std::floor((g.gridNorth - g.gridSouth) / g.cellHeight + 0.999);

  ctx.progress(ProgressLine::Phase, "標高値初期化処理 ");
  ctx.progress(ProgressLine::Detail, "");
  // A sheet whose corners have no latitude lies outside its coordinate system.
  if (!converted || !std::isfinite(columnCount) || !std::isfinite(rowCount)) {
    g.columnCount = g.rowCount = 0;
    refuseRange(ctx);
    return;
  }
  // Beyond the share, beyond the 16-bit counts, or demBox alone larger than the share
  // (a negative margin) cannot be held.
  if (columnCount * rowCount > share || m < 0 || columnCount > geo::kMaxGridDimension ||
      rowCount > geo::kMaxGridDimension || columnCount * rowCount > static_cast<double>(ctx.pointBuffer.size())) {
    g.columnCount = g.rowCount = 0;
    refuseSize(ctx);
    return;
  }
  g.columnCount = static_cast<int>(std::max(columnCount, 0.0));
  g.rowCount = static_cast<int>(std::max(rowCount, 0.0));
  if (columnCount <= 0 || rowCount <= 0 || !g.bind(ctx.pointBuffer)) {
    g.columnCount = g.rowCount = 0;
    refuseRange(ctx);
    return;
  }

  g.fill(g.missingElevation());
  g.zMax = -1e308;
  g.zMin = 1e308;
  g.innerWindow = geo::innerWindowOf(g);

  ctx.progress(ProgressLine::Phase, "標高値読込処理 ");
  if (!s.elevationFolder.empty()) collectElevationFiles(ctx, settings::utf8Path(s.elevationFolder), true);
  for (auto line : {ProgressLine::Detail, ProgressLine::File, ProgressLine::Phase}) ctx.progress(line, "");
}

}  // namespace elevation
