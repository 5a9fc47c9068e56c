#pragma once
// A run context for the elevation input without a whole run: settings, run values and a
// point buffer of its own, a host that records progress, and helpers that lay out a grid
// in whole cells.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "converter/geo/elevation_grid.h"
#include "converter/geo/plane_coordinates.h"
#include "converter/settings/check_settings.h"
#include "converter/settings/drawing_settings.h"
#include "converter/settings/run_values.h"
#include "converter/sheet/run_context.h"
#include "tests/common/recording_host.h"

inline std::filesystem::path elevationFixtures() { return std::filesystem::path(TERRALINEA_TEST_DATA) / "elevation"; }
// Published DEM files beside the repository.
inline std::filesystem::path realDemFolder() {
  return std::filesystem::path(TERRALINEA_SOURCE_DIR) / ".." / "shared" / "testdata" / "real" / "fgd-dem";
}
#define SKIP_WITHOUT_REAL_DEM()                        \
  if (!std::filesystem::is_directory(realDemFolder())) \
  GTEST_SKIP() << "published DEM files not found in " << realDemFolder().string()

class ProgressHost : public RecordingHost {
 public:
  void progress(sheet::ProgressLine line, const std::string& text) override { lines.emplace_back(line, text); }
  bool abortRequested() const override { return abortAtPump >= 0 && pumps >= abortAtPump; }
  bool showed(sheet::ProgressLine line, const std::string& text) const {
    for (const auto& [l, t] : lines)
      if (l == line && t == text) return true;
    return false;
  }
  std::vector<std::pair<sheet::ProgressLine, std::string>> lines;
  int abortAtPump = -1;
};

struct ElevationRun {
  explicit ElevationRun(int source = 1, std::size_t bufferPairs = 1 << 20) {
    s.meshSource = source;
    const auto cell = settings::elevationCellSize(source);
    v.cellWidth = cell.width;
    v.cellHeight = cell.height;
    v.unitsPerMetre = 1000;
    coords.unitsPerMetre = 1000;
    ctx.pointBuffer.assign(bufferPairs, geo::PointPair{0, 0});
  }

  // A grid with its north-west corner at (north, west) and the given size in cells;
  // demBox leaves `margin` cells on every side. Every cell is missing.
  void layOut(double west, double north, int columns, int rows, int margin = 0) {
    auto& g = ctx.elevationGrid;
    g.cellWidth = v.cellWidth;
    g.cellHeight = v.cellHeight;
    g.datumOffset = v.datumOffset;
    g.gridWest = west;
    g.gridNorth = north;
    g.gridEast = west + columns * g.cellWidth;
    g.gridSouth = north - rows * g.cellHeight;
    g.demBox = {g.gridWest + margin * g.cellWidth, g.gridEast - margin * g.cellWidth,
                g.gridSouth + margin * g.cellHeight, g.gridNorth - margin * g.cellHeight};
    g.columnCount = columns;
    g.rowCount = rows;
    ASSERT_TRUE(g.bind(ctx.pointBuffer));
    g.fill(g.missingElevation());
    g.zMax = -1e308;
    g.zMin = 1e308;
    g.innerWindow = geo::innerWindowOf(g);
  }

  const geo::ElevationGrid& grid() const { return ctx.elevationGrid; }
  int storedCells() const {
    int n = 0;
    for (int r = 0; r < grid().rowCount; ++r)
      for (int c = 0; c < grid().columnCount; ++c) n += grid().cell(r, c) != grid().missingElevation();
    return n;
  }

  settings::DrawingSettings s;
  settings::RunValues v;
  geo::PlaneCoordinates coords;
  ProgressHost host;
  sheet::RunContext ctx{s, v, coords, host};
};

// 35 N 135 E, where the small fixtures lie: their cells count from there in 0.4" steps.
inline constexpr double kFixtureWest = 135.0;
inline double fixtureNorth() { return 35.0 + 10.0 / 9000; }
