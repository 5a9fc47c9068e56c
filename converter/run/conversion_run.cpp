#include "converter/run/conversion_run.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <memory>
#include <system_error>
#include <thread>

#include "converter/elevation/contours.h"
#include "converter/elevation/cross_sections.h"
#include "converter/elevation/mesh_output.h"
#include "converter/fgd/fgd_dispatch.h"
#include "converter/mlit/mlit_dispatch.h"
#include "converter/run/help_board.h"
#include "converter/run/scripts.h"
#include "converter/settings/choice_lists.h"
#include "converter/settings/sheet_labels.h"
#include "converter/sheet/layer_table.h"
#include "converter/sheet/sheet_document.h"
#include "platform/file_replace.h"
#include "platform/user_folders.h"

namespace run {

namespace {

using sheet::ProgressLine;

bool parseCell(const std::string& text, double& value) { return settings::parseReal(text, value); }

// Digits after the point of "%0.2f".
std::string twoDecimals(double value) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%0.2f", value);
  std::string s = buf;
  auto dot = s.find('.');
  return dot == std::string::npos ? "00" : s.substr(dot + 1, 2);
}

int decimalsOf(double value) {
  std::string d = twoDecimals(value);
  if (d == "00") return 0;
  if (d[1] == '0') return 1;
  return 2;
}

std::string clockText() {
  std::time_t now = std::time(nullptr);
  char buf[16];
  std::strftime(buf, sizeof buf, "%H:%M:%S", std::localtime(&now));
  return buf;
}

}  // namespace

int legendDecimals(double interval, double bottom) {
  int d = decimalsOf(interval);
  if (d == 0)
    d = decimalsOf(bottom);
  else if (d == 1 && twoDecimals(bottom)[1] != '0')
    d = 2;
  return d;
}

void ConversionRun::writeElevationProducts(sheet::EntityWriter& out) {
  const int source = ctx_.settings.meshSource;
  if (source >= 0 && source <= 3)
    elevation::writeMeshBlocks(ctx_, out);
  else if (source == 4)
    elevation::writeMeshFaces(ctx_, out);
  if (ctx_.settings.contourSource >= 0 && ctx_.runContinue) elevation::writeContours(ctx_, out);
  if (ctx_.settings.crossSectionsOn && ctx_.runContinue && (source >= 0 || ctx_.settings.contourSource >= 0))
    elevation::writeCrossSections(ctx_, out);
}

void ConversionRun::drawingPassesHelped(sheet::EntityWriter& out) {
  std::shared_ptr<sheet::SharedConversions> offer;
  if (helpBoard_ || options_.jobs > 1) offer = fgd::offerConversions(ctx_);
  if (!offer) {
    drawingPasses(out);
    return;
  }
  std::thread helper;
  if (helpBoard_) {
    helpBoard_->post(offer);
  } else {
    try {
      helper = std::thread([offer] { fgd::convertAhead(*offer); });
    } catch (const std::system_error&) {  // no thread to be had: the sheet converts alone
    }
  }
  ctx_.sharedConversions = offer.get();
  auto end = [&] {
    offer->stop = true;
    if (helpBoard_) helpBoard_->withdraw(offer.get());
    if (helper.joinable()) helper.join();
    ctx_.sharedConversions = nullptr;
  };
  try {
    drawingPasses(out);
  } catch (...) {
    end();
    throw;
  }
  end();
}

void ConversionRun::drawingPasses(sheet::EntityWriter& out) {
  // Fills first, then lines, then points, symbols and texts, so later entities lie on top.
  const auto& s = ctx_.settings;
  const bool basic = !s.basicInfoFolder.empty(), fgdOn = !s.fgdFolder.empty(), mlitOn = !s.mlitFolder.empty();
  // National Land Numerical Information takes its turn before each pass of the trees:
  // its areas, its lines, then its point labels and its area labels.
  struct Pass {
    int fgdMask;
    std::vector<int> mlitMasks;
  };
  const Pass passes[] = {{fgd::kFillPassMask, {mlit::kAreaPassMask}},
                         {fgd::kLinePassMask, {mlit::kLinePassMask}},
                         {fgd::kPointPassMask, {mlit::kPointPassMask, mlit::kLabelPassMask}}};
  for (const Pass& pass : passes) {
    for (int m : pass.mlitMasks) {
      if (!ctx_.runContinue) return;
      if (mlitOn) mlit::dispatchMlitFiles(ctx_, out, s.mlitFolder, m);
    }
    const int mask = pass.fgdMask;
    if (!ctx_.runContinue) return;
    if (basic) fgd::drawBasicInfoFiles(ctx_, out, s.basicInfoFolder, mask);
    if (!ctx_.runContinue) return;
    if (fgdOn) fgd::drawFgdFiles(ctx_, out, s.fgdFolder, mask);
  }
}

ConversionRun::ConversionRun(sheet::RunContext& context, RunOptions options)
    : ctx_(context), options_(std::move(options)) {}

void ConversionRun::countFiles() {
  // Each dispatcher adds the files it would read to fileCounter.
  const auto& settings = ctx_.settings;
  ctx_.fileCounter = 0;
  runTotal_ = 0;
  fgd::countFgdFiles(ctx_, settings.fgdFolder);
  runTotal_ += ctx_.fileCounter;
  ctx_.fileCounter = 0;
  if (!settings.mlitFolder.empty()) {
    mlit::dispatchMlitFiles(ctx_, settings.mlitFolder);
    runTotal_ += ctx_.fileCounter;
    ctx_.fileCounter = 0;
  }
  if (!settings.basicInfoFolder.empty()) {
    fgd::countBasicInfoFiles(ctx_, settings.basicInfoFolder);
    runTotal_ += ctx_.fileCounter;
    ctx_.fileCounter = 0;
  }
  if ((settings.meshSource >= 0 || settings.contourSource >= 0) && !settings.elevationFolder.empty()) {
    elevation::collectElevationFiles(ctx_, settings::utf8Path(settings.elevationFolder), false);
    runTotal_ += ctx_.fileCounter;
    ctx_.fileCounter = 0;
  }
  ctx_.pump();
  const auto& v = ctx_.values;
  ctx_.progress(ProgressLine::Total, std::to_string(static_cast<long long>(v.sheetColumns) * runTotal_ * v.sheetRows));
  ctx_.fileCounter = 0;
}

void ConversionRun::sheetLegend(int row, int column) {
  const auto& s = ctx_.settings;
  const double u = ctx_.values.unitsPerMetre;
  double interval = 1, bottom = 0, value;
  if (parseCell(s.legendIntervals.cell(row, column), value)) interval = value / u;
  if (parseCell(s.legendBottoms.cell(row, column), value)) bottom = value / u;
  ctx_.sheetLegendInterval[ctx_.sheetIndex] = interval;
  ctx_.sheetLegendBottom[ctx_.sheetIndex] = bottom;
  ctx_.sheetLegendDecimals[ctx_.sheetIndex] = legendDecimals(interval, bottom);
}

void ConversionRun::placeSheet(int row, int column) {
  const auto& v = ctx_.values;
  ctx_.sheetRow = row;
  ctx_.sheetColumn = column;
  ctx_.sheetIndex = row * v.sheetColumns + column;
  const auto rect = v.sheetRect(row, column);
  ctx_.sheetWest = rect.west;
  ctx_.sheetEast = rect.east;
  ctx_.sheetSouth = rect.south;
  ctx_.sheetNorth = rect.north;
}

void ConversionRun::stopOnWriteError(const std::filesystem::path& file, const std::string& error) {
  ctx_.stop("警告", "ファイルを書き込めません: " + settings::pathText(file) + " (" + error + ")");
  failed_ = true;
}

bool ConversionRun::openSheet(sheet::SheetDocument& doc, const std::filesystem::path& file) {
  switch (doc.begin(file)) {
    case sheet::SheetDocument::BeginResult::Ok: break;
    case sheet::SheetDocument::BeginResult::CannotCreate:
      // A full disk or a read-only folder is said as such, not as a file held elsewhere.
      if (platform::isStorageReason(doc.errorNumber()))
        ctx_.stop("警告", "ファイルを作れません: " + settings::pathText(file) + " (" +
                              platform::systemReason(doc.errorNumber()) + ")");
      else
        ctx_.stop("警告", "ファイルを開けません、他のソフトで開いていませんか。");
      failed_ = true;
      return false;
    case sheet::SheetDocument::BeginResult::WriteFailed: stopOnWriteError(file, doc.error()); return false;
    case sheet::SheetDocument::BeginResult::PaletteStop: ctx_.stop("処理中断", "TrueColorは使えません"); return false;
  }
  // An abort pressed before the tables were complete stops here, without a palette message.
  if (!ctx_.runContinue) {
    doc.abandon();
    return false;
  }
  if (!doc.writeBlocks()) {
    doc.abandon();
    stopOnWriteError(file, doc.error());
    return false;
  }
  return true;
}

bool ConversionRun::sheet(int row, int column) {
  const auto& s = ctx_.settings;
  const auto& v = ctx_.values;
  ctx_.progress(ProgressLine::TotalCaption, "ファイル数");
  ctx_.progress(ProgressLine::Total, std::to_string(static_cast<long long>(v.sheetColumns) * runTotal_ * v.sheetRows));
  placeSheet(row, column);

  const auto file =
      settings::sheetFileName(settings::utf8Path(s.writeFolder), s.mapName, row, column, v.sheetRows, v.sheetColumns);
  const std::string sheetName = settings::pathText(file.filename());
  auto stage = [&](const char* text) { ctx_.host.sheetStage(sheetName, text); };

  // Elevation grid and legend.
  const bool elevation = s.meshSource >= 0 || s.contourSource >= 0;
  if (elevation) {
    stage("標高データ");
    loadElevationGrid();
    if (!ctx_.runContinue) return false;
  }
  if (s.legendAuto) analyseLegend();
  sheetLegend(row, column);

  sheet::SheetContext context;
  context.row = row;
  context.column = column;
  context.legend = ctx_.sheetLegend();
  context.title = options_.title;
  sheet::SheetDocument doc(s, v, context);
  if (!openSheet(doc, file)) return false;

  // The producers.
  if (elevation) stage("標高出力");
  writeElevationProducts(doc.entities());
  ctx_.progress(ProgressLine::Detail, "");
  buildMeshCodeList();
  stage("図形データ");
  drawingPassesHelped(doc.entities());
  if (s.meshGridOn) {
    stage("標準地域メッシュ");
    writeMeshGrid(doc.entities());
  }

  // True-north arrows, border, viewports, decorations, objects, handle seed.
  stage("整飾");
  decor::writeTrueNorthArrows(ctx_, doc.entities());
  doc.writeBorderAndViewports();
  decor::writeDecorations(ctx_, doc.entities());
  if (abandonCutSheets_ && !ctx_.runContinue) {
    doc.abandon();
    return false;
  }
  // Sheets converted in parallel stand under their names in sheet order, after the run:
  // a sheet after one that failed or stopped is not kept, as one after the other.
  if (!doc.finish(abandonCutSheets_ ? &handedOver_.emplace() : nullptr)) {
    handedOver_.reset();
    if (doc.writeFailed()) {
      stopOnWriteError(file, doc.error());
    } else {
      ctx_.stop("警告", "ファイルを開けません");
      failed_ = true;
    }
    return false;
  }
  if (!ctx_.runContinue) return false;
  for (auto line : {ProgressLine::Phase, ProgressLine::Detail, ProgressLine::Spare, ProgressLine::File})
    ctx_.progress(line, "");
  return true;
}

bool ConversionRun::sheetsInTurn() {
  // North to south, west to east.
  const auto& v = ctx_.values;
  for (int r = 0; r < v.sheetRows; ++r)
    for (int c = 0; c < v.sheetColumns; ++c)
      if (!sheet(r, c)) return false;
  return true;
}

int workersForMemory(int wanted, unsigned long long availableBytes, unsigned long long bufferBytes) {
  wanted = std::max(wanted, 1);
  if (availableBytes == 0 || bufferBytes == 0) return wanted;
  return static_cast<int>(std::min<unsigned long long>(static_cast<unsigned long long>(wanted),
                                                       availableBytes / bufferBytes + 1));
}

int ConversionRun::affordableWorkers(int wanted) {
  const int workers = workersForMemory(wanted, platform::availableMemoryBytes(),
                                       ctx_.pointBuffer.size() * sizeof(geo::PointPair));
  if (workers >= wanted) return wanted;
  ctx_.host.notice("メモリーが足りないため、同時に変換する図面を" + std::to_string(wanted) + "枚から" +
                   std::to_string(workers) + "枚にしました");
  return workers;
}

RunResult ConversionRun::execute() {
  const auto& s = ctx_.settings;
  const auto& v = ctx_.values;
  ctx_.progress(ProgressLine::Caption, "処理開始時刻 " + clockText());
  for (auto line : {ProgressLine::Total, ProgressLine::Counter, ProgressLine::Detail, ProgressLine::File})
    ctx_.progress(line, "");
  ctx_.progress(ProgressLine::Phase, "ファイル数カウント中");

  // Captions, then a moment for the window to paint.
  ctx_.progress(ProgressLine::TotalCaption, "ファイル数");
  ctx_.progress(ProgressLine::Spare, "");
  ctx_.pump();
  if (options_.startPauseSeconds > 0)
    std::this_thread::sleep_for(std::chrono::duration<double>(options_.startPauseSeconds));

  // Per-run values.
  ctx_.thickContourStep =
      s.contourWeightRule == 0 ? 0.01 : settings::thickContourStep(s.contourWeightRule).value_or(10);
  ctx_.rankThreshold =
      s.objectRankFilter >= 0 && s.objectRankFilter <= 4 ? settings::kRankThresholds[s.objectRankFilter] : 0;

  countFiles();
  decor::placeFurniture(ctx_);
  ctx_.layerCount = sheet::layerCount(s, v);

  // A fresh buffer each run: zero where read before written, paid for where used.
  ctx_.pointBuffer = geo::PointBuffer(static_cast<std::size_t>(std::max<std::int64_t>(s.elevationBufferCells, 1)));

  // The legend tables hold one entry per sheet of this run.
  const std::size_t sheets = static_cast<std::size_t>(v.sheetRows) * v.sheetColumns;
  ctx_.sheetLegendInterval.assign(sheets, 1);
  ctx_.sheetLegendBottom.assign(sheets, 0);
  ctx_.sheetLegendDecimals.assign(sheets, 0);

  const int workers = sheets > 1 ? affordableWorkers(static_cast<int>(std::min<std::size_t>(
                                       static_cast<std::size_t>(std::max(options_.jobs, 1)), sheets)))
                                 : 1;
  const bool stopped = workers > 1 ? !sheetsInParallel(workers) : !sheetsInTurn();
  if (failed_) return RunResult::Failed;
  if (stopped || !ctx_.runContinue) return RunResult::Stopped;

  // Run-level outputs.
  std::string error;
  const auto folder = settings::utf8Path(s.writeFolder);
  bool written = true;
  if (sheets > 1) {
    written = writeConversionScript(folder, s.mapName, v.sheetRows, v.sheetColumns, &error);
    if (written) writeIndexDrawing();
  } else {
    written = writeElevationLayerScript(folder, ctx_.sheetLegend(), v.legendStepCount, &error);
  }
  if (!written) {
    ctx_.host.message("警告", "スクリプトを書き込めません: " + error);
    return RunResult::Failed;
  }
  ctx_.pump();
  return ctx_.runContinue ? RunResult::Completed : RunResult::Stopped;
}

ConversionRun::IndexAhead::~IndexAhead() {
  if (!file.partial.empty()) file.discard();
}

void ConversionRun::writeIndexDrawing() {
  if (!indexAhead_) {
    decor::writeIndexDrawing(ctx_, options_.title);
    return;
  }
  // What drawing it reported comes after the sheets' problems, as when it is drawn now.
  for (const auto& [line, once] : indexAhead_->reports) once ? ctx_.reportOnce(line) : ctx_.report(line);
  std::string error;
  auto& f = indexAhead_->file;
  if (f.commit(error))
    f.partial.clear();
  else
    ctx_.report("indexファイルを書き込めません: " + settings::pathText(f.file) + " (" + error + ")");
  indexAhead_.reset();
}

}  // namespace run
