#pragma once
// One conversion run: the counting pass, the sheet loop with the producers in their fixed
// order, and the run-level outputs.
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "converter/decor/decorations.h"
#include "converter/decor/index_drawing.h"
#include "converter/decor/mesh_grid.h"
#include "converter/elevation/elevation_loader.h"
#include "converter/elevation/grid_analysis.h"
#include "converter/sheet/entity_writer.h"
#include "converter/sheet/run_context.h"
#include "converter/sheet/sheet_document.h"
#include "converter/sheet/sheet_mesh_codes.h"

namespace run {

class HelpBoard;

enum class RunResult {
  Completed = 1,  // every sheet written (problems, if any, in anomalyMessage)
  Stopped = 2,    // stopped by the user or by a producer
  Failed = 3,     // a sheet or script file could not be written; its message was shown
};

struct RunOptions {
  double startPauseSeconds = 0;  // the window shows its captions before the run starts
  std::string title = "Terralinea";
  // Sheets converted at the same time, each in its own thread with its own context,
  // point buffer and file; 1 converts them one after the other on the calling thread.
  int jobs = 1;
};

// Number of decimals of the legend labels from the interval and bottom (metres).
int legendDecimals(double interval, double bottom);

// Sheets that can be converted at the same time when `wanted` are asked for: the run
// holds one point buffer of `bufferBytes` already, each further worker needs one more out
// of `availableBytes` (0: unknown, no limit). At least 1.
int workersForMemory(int wanted, unsigned long long availableBytes, unsigned long long bufferBytes);

class ConversionRun {
 public:
  ConversionRun(sheet::RunContext& context, RunOptions options = {});
  RunResult execute();

 private:
  void countFiles();
  bool sheet(int row, int column);  // false: stop the loop
  // The sheet loop; false when a sheet stopped it.
  bool sheetsInTurn();
  bool sheetsInParallel(int workers);  // parallel_sheets.cpp
  int affordableWorkers(int wanted);
  void placeSheet(int row, int column);
  // Opens the file and writes everything up to the entities; false when the run ends.
  bool openSheet(sheet::SheetDocument& doc, const std::filesystem::path& file);
  void stopOnWriteError(const std::filesystem::path& file, const std::string& error);
  void sheetLegend(int row, int column);

  // Producers, in the order the sheet steps call them; those not built yet write nothing.
  void loadElevationGrid() { elevation::loadElevationGrid(ctx_); }
  void analyseLegend() { elevation::analyseLegend(ctx_); }
  void writeElevationProducts(sheet::EntityWriter& out);
  void buildMeshCodeList() {
    sheet::buildMeshCodeList(ctx_, geo::MeshCodeKind::secondLevelCompact, sheet::MeshBox::sheet);
  }
  void drawingPasses(sheet::EntityWriter& out);
  // The drawing passes with a helper converting the sheet's vector files ahead: a worker
  // of the help board, or with more than one job a thread of its own.
  void drawingPassesHelped(sheet::EntityWriter& out);
  void writeMeshGrid(sheet::EntityWriter& out) { decor::writeMeshGrid(ctx_, out); }
  // The index drawing: the one a parallel run made ahead when there is one, else drawn now.
  void writeIndexDrawing();

  sheet::RunContext& ctx_;
  RunOptions options_;
  std::int64_t runTotal_ = 0;
  bool failed_ = false;
  bool abandonCutSheets_ = false;  // a sheet cut by an abort is not kept (parallel sheets)
  HelpBoard* helpBoard_ = nullptr;  // where a parallel run's sheets offer their files
  // A parallel run's finished sheet, complete under its partial name until its turn.
  std::optional<dxfio::FileSink::Handover> handedOver_;
  // The index drawing an idle worker of a parallel run made while sheets were still being
  // drawn, complete under its partial name, and what it reported; removed unless it takes
  // its name after the sheets.
  struct IndexAhead {
    dxfio::FileSink::Handover file;
    std::vector<std::pair<std::string, bool>> reports;
    IndexAhead() = default;
    IndexAhead(const IndexAhead&) = delete;
    IndexAhead& operator=(const IndexAhead&) = delete;
    ~IndexAhead();
  };
  std::unique_ptr<IndexAhead> indexAhead_;
};

}  // namespace run
