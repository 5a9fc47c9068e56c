// Reading DEM XML into the grid of a sheet: MB/s of XML and cells per second.
//   build/bin/elevation_bench [--benchmark_filter=...]
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "bench/null_host.h"
#include "converter/elevation/elevation_loader.h"
#include "converter/elevation/fgd_dem_reader.h"
#include "converter/elevation/line_reader.h"
#include "converter/geo/plane_coordinates.h"
#include "converter/settings/check_settings.h"
#include "converter/settings/sheet_labels.h"
#include "converter/sheet/run_context.h"
#include "tests/elevation/zip_members.h"

namespace fs = std::filesystem;

namespace {

fs::path realDem() { return fs::path(TERRALINEA_SOURCE_DIR) / ".." / "shared" / "testdata" / "real" / "fgd-dem"; }

// The 16 MB 10 m file of mesh 5437-45 (Northern Alps, every cell with data), unpacked once.
class AlpsFolder {
 public:
  AlpsFolder() : folder_(fs::temp_directory_path() / ("terralinea-bench-" + std::to_string(::getpid()))) {
    fs::create_directories(folder_);
    ok_ = extractZipMember(realDem() / "FG-GML-543745-DEM10B-20161001.zip", "FG-GML-5437-45-dem10b-20161001.xml",
                           folder_);
  }
  ~AlpsFolder() {
    std::error_code ec;
    fs::remove_all(folder_, ec);
  }
  bool ok() const { return ok_; }
  const fs::path& folder() const { return folder_; }
  fs::path file() const { return folder_ / "FG-GML-5437-45-dem10b-20161001.xml"; }

 private:
  fs::path folder_;
  bool ok_ = false;
};

AlpsFolder& alps() {
  static AlpsFolder folder;
  return folder;
}

// A 10 m run in system VII whose one sheet covers mesh 5437-45 and a little more.
struct AlpsRun {
  AlpsRun() {
    s.meshSource = 1;
    s.elevationFolder = settings::pathText(alps().folder());
    const auto cell = settings::elevationCellSize(1);
    v.cellWidth = cell.width;
    v.cellHeight = cell.height;
    coords.unitsPerMetre = 1000;
    coords.selectSystem(7);
    double west = 1e300, east = -1e300, south = 1e300, north = -1e300;
    for (double lon : {137.625, 137.75})
      for (double lat : {36.0 + 20.0 / 60, 36.0 + 25.0 / 60}) {
        coords.bltoxy(lon, lat);
        west = std::min(west, coords.planeY);
        east = std::max(east, coords.planeY);
        south = std::min(south, coords.planeX);
        north = std::max(north, coords.planeX);
      }
    ctx.sheetWest = west;
    ctx.sheetEast = east;
    ctx.sheetSouth = south;
    ctx.sheetNorth = north;
    ctx.pointBuffer.assign(static_cast<std::size_t>(s.elevationBufferCells), geo::PointPair{0, 0});
  }
  settings::DrawingSettings s;
  settings::RunValues v;
  geo::PlaneCoordinates coords;
  NullHost host;
  sheet::RunContext ctx{s, v, coords, host};
};

constexpr std::int64_t kAlpsTuples = 1125 * 750;

void LoadSheetGrid(benchmark::State& state) {
  if (!alps().ok()) return state.SkipWithError("published DEM zip not found");
  AlpsRun run;
  const auto bytes = static_cast<std::int64_t>(fs::file_size(alps().file()));
  for (auto _ : state) {
    run.ctx.runContinue = true;
    elevation::loadElevationGrid(run.ctx);
    if (!run.ctx.runContinue || !run.ctx.anomalyMessage.empty()) return state.SkipWithError("grid not loaded");
    benchmark::DoNotOptimize(run.ctx.elevationGrid.zMax);
  }
  const auto& g = run.ctx.elevationGrid;
  state.counters["grid_cells"] = static_cast<double>(g.columnCount) * g.rowCount;
  state.SetBytesProcessed(state.iterations() * bytes);
  state.SetItemsProcessed(state.iterations() * kAlpsTuples);
}
BENCHMARK(LoadSheetGrid)->Unit(benchmark::kMillisecond)->MinTime(3);

// The reader alone, on a grid already laid out.
void ReadDemFile(benchmark::State& state) {
  if (!alps().ok()) return state.SkipWithError("published DEM zip not found");
  AlpsRun run;
  run.s.elevationFolder.clear();
  elevation::loadElevationGrid(run.ctx);
  const auto bytes = static_cast<std::int64_t>(fs::file_size(alps().file()));
  for (auto _ : state) {
    elevation::readFgdDemFile(run.ctx, alps().file());
    benchmark::DoNotOptimize(run.ctx.elevationGrid.zMax);
  }
  state.SetBytesProcessed(state.iterations() * bytes);
  state.SetItemsProcessed(state.iterations() * kAlpsTuples);
}
BENCHMARK(ReadDemFile)->Unit(benchmark::kMillisecond)->MinTime(3);

// One line pass over the same file, the floor under every pass of the reader.
void LineScan(benchmark::State& state) {
  if (!alps().ok()) return state.SkipWithError("published DEM zip not found");
  const auto bytes = static_cast<std::int64_t>(fs::file_size(alps().file()));
  elevation::LineReader in;
  for (auto _ : state) {
    in.open(alps().file());
    std::string_view line;
    std::size_t n = 0;
    while (in.next(line)) n += line.size();
    benchmark::DoNotOptimize(n);
  }
  state.SetBytesProcessed(state.iterations() * bytes);
}
BENCHMARK(LineScan)->Unit(benchmark::kMillisecond)->MinTime(2);

void ParseDecimal(benchmark::State& state) {
  const std::string_view values[] = {"1234.56", "0.00", "-12.5", "3776.24", "987.1", "15.03"};
  double sum = 0, v;
  for (auto _ : state) {
    for (auto text : values) {
      elevation::parseDecimal(text, v);
      sum += v;
    }
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * 6);
}
BENCHMARK(ParseDecimal);

}  // namespace

BENCHMARK_MAIN();
