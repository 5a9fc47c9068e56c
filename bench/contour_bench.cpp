// Contour tracing on a synthetic grid as large as the default point buffer allows:
// levels traced, converted to the plane and written to /dev/null, in vertices per second.
// And the two lookups of passed crossings on growing grids, to show the plain one's
// square growth against the edge marks' straight line.
//   build/bin/contour_bench [--benchmark_filter=...]
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "bench/null_host.h"
#include "converter/elevation/contours.h"
#include "converter/geo/elevation_grid.h"
#include "converter/geo/plane_coordinates.h"
#include "converter/settings/check_settings.h"
#include "converter/settings/drawing_settings.h"
#include "converter/settings/run_values.h"
#include "converter/sheet/entity_writer.h"
#include "converter/sheet/run_context.h"
#include "dxfio/dxf_writer.h"
#include "dxfio/file_sink.h"

namespace {

// A 10 m grid of `columns` x `rows` cells in system VII: ridges and hollows from a few
// crossed waves, 0 to about 2000 m, every cell with data, the window the whole grid.
struct SyntheticRun {
  SyntheticRun(int columns, int rows) {
    s.meshSource = 1;
    s.contourSource = 1;
    s.contourTarget = 1;
    const auto cell = settings::elevationCellSize(1);
    v.cellWidth = cell.width;
    v.cellHeight = cell.height;
    v.unitsPerMetre = 1000;
    v.legendStepCount = 16;
    coords.unitsPerMetre = 1000;
    coords.selectSystem(7);
    ctx.pointBuffer.assign(static_cast<std::size_t>(s.elevationBufferCells), geo::PointPair{0, 0});
    auto& g = ctx.elevationGrid;
    g.cellWidth = v.cellWidth;
    g.cellHeight = v.cellHeight;
    g.place(137.5, 36.5, columns, rows);
    bound = g.bind(ctx.pointBuffer);
    if (!bound) return;
    g.zMax = -1e308;
    g.zMin = 1e308;
    for (int r = 0; r < rows; ++r)
      for (int c = 0; c < columns; ++c) {
        const double z = 1000 + 500 * std::sin(c * 0.011) * std::cos(r * 0.017) + 300 * std::sin((c + r) * 0.005) +
                         150 * std::cos(c * 0.043 - r * 0.029);
        g.setCell(r, c, z);
        g.widenExtremes(z);
      }
    g.innerWindow = geo::innerWindowOf(g);
    ctx.sheetLegendInterval = {10};
    ctx.sheetLegendBottom = {0};
    ctx.sheetLegendDecimals = {0};
  }
  settings::DrawingSettings s;
  settings::RunValues v;
  geo::PlaneCoordinates coords;
  NullHost host;
  sheet::RunContext ctx{s, v, coords, host};
  bool bound = false;
};

// 1600 x 1040 cells: 1,664,000 of the 1,677,721 the grid may take with the default buffer
// and contour share; the rest of the buffer holds the lines of a level.
void ContoursNearTheBufferLimit(benchmark::State& state) {
  SyntheticRun run(1600, 1040);
  if (!run.bound) return state.SkipWithError("grid does not fit the buffer");
  std::int64_t vertices = 0;
  for (auto _ : state) {
    dxfio::FileSink sink;
    sink.open("/dev/null");
    dxfio::DxfWriter dxf{sink, sheet::kFirstProducerHandle};
    sheet::EntityWriter out{dxf, geo::Flavour::trueColour};
    run.ctx.runContinue = true;
    elevation::writeContours(run.ctx, out);
    if (!run.ctx.runContinue) return state.SkipWithError("the line store filled up");
    state.PauseTiming();
    vertices = 0;
    for (double L = 0; L <= run.ctx.elevationGrid.zMax; L += 10) {
      std::vector<elevation::TracedLine> lines;
      elevation::traceLevel(run.ctx, L, lines);
      for (const auto& line : lines) vertices += static_cast<std::int64_t>(line.vertices.size());
    }
    state.ResumeTiming();
  }
  state.counters["grid_cells"] = 1600.0 * 1040;
  state.counters["vertices"] = static_cast<double>(vertices);
  state.SetItemsProcessed(state.iterations() * vertices);
}
BENCHMARK(ContoursNearTheBufferLimit)->Unit(benchmark::kMillisecond)->Iterations(3);

// One level through a square grid of the given side, by either lookup.
void traceOneLevel(benchmark::State& state, elevation::CrossingLookup lookup) {
  const int side = static_cast<int>(state.range(0));
  SyntheticRun run(side, side);
  if (!run.bound) return state.SkipWithError("grid does not fit the buffer");
  std::int64_t vertices = 0;
  for (auto _ : state) {
    std::vector<elevation::TracedLine> lines;
    run.ctx.runContinue = true;
    elevation::traceLevel(run.ctx, 1000, lines, lookup);
    vertices = 0;
    for (const auto& line : lines) vertices += static_cast<std::int64_t>(line.vertices.size());
  }
  state.counters["vertices"] = static_cast<double>(vertices);
}
void TraceLevelByEdgeMarks(benchmark::State& state) { traceOneLevel(state, elevation::CrossingLookup::marks); }
void TraceLevelByPlainLookup(benchmark::State& state) { traceOneLevel(state, elevation::CrossingLookup::plain); }
BENCHMARK(TraceLevelByEdgeMarks)->Arg(200)->Arg(400)->Arg(800)->Arg(1200)->Unit(benchmark::kMillisecond);
BENCHMARK(TraceLevelByPlainLookup)->Arg(200)->Arg(400)->Arg(800)->Arg(1200)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
