#include "converter/elevation/mesh_output.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "converter/elevation/fgd_dem_reader.h"
#include "tests/common/collected_sheet.h"
#include "tests/elevation/elevation_fixture.h"

namespace {

// A run with a legend of 16 levels of 10 m from 0 and a collected sheet.
struct MeshRun : ElevationRun, CollectedSheet {
  explicit MeshRun(int source) : ElevationRun(source) {
    coords.selectSystem(6);
    v.legendStepCount = 16;
    ctx.sheetLegendInterval = {10};
    ctx.sheetLegendBottom = {0};
    ctx.sheetLegendDecimals = {0};
  }
  // Entity types and layers, in order.
  std::vector<std::string> written() const {
    std::vector<std::string> out;
    for (std::size_t i = 0; i < sink.groups.size(); ++i)
      if (sink.groups[i].code == 0)
        out.push_back(sink.groups[i].value);
      else if (sink.groups[i].code == 8)
        out.back() += " " + sink.groups[i].value;
    return out;
  }
};

const std::string kLayer45 = "標高MESH_ 40";  // the class of 40 … 50 m

TEST(MeshBlocks, OneInsertPerCellWithDataAtItsCentreAndExaggeratedHeight) {
  MeshRun run(1);
  run.v.exaggeration = 2;
  run.layOut(kFixtureWest, fixtureNorth(), 3, 2);
  run.ctx.elevationGrid.setCell(0, 1, 100);
  run.ctx.elevationGrid.setCell(1, 2, 45);
  elevation::writeMeshBlocks(run.ctx, run.out);
  ASSERT_EQ(run.written(), (std::vector<std::string>{"INSERT 標高MESH_100", "INSERT " + kLayer45}));
  const auto& g = run.grid();
  run.coords.bltoxy(g.gridWest + 1.5 * g.cellWidth, g.gridNorth - 0.5 * g.cellHeight);
  EXPECT_EQ(run.sink.notation(0, 12),
            "0=INSERT;5=1D3;330=13;100=AcDbEntity;8=標高MESH_100;100=AcDbBlockReference;2=10M;10=" +
                dxfio::formatReal(run.coords.planeY) + ";20=" + dxfio::formatReal(run.coords.planeX) +
                ";30=200000;0=INSERT;5=1D4");
  EXPECT_TRUE(run.host.showed(sheet::ProgressLine::Phase, "標高Mesh描画中 "));
}

TEST(MeshFaces, QuadsSplitByTheCornersThatHoldData) {
  // Quad corners: A (0,0), B (1,0), C (0,1), D (1,1); "-" has no data.
  struct Case {
    const char* name;
    double a, b, c, d;
    std::vector<std::string> expected;
  };
  const double no = -1e9;  // replaced by the missing elevation
  const std::vector<Case> cases = {
      {"all four: two triangles of C's class", 5, 15, 45, 25, {"3DFACE " + kLayer45, "3DFACE " + kLayer45}},
      {"no D: A C B only", 5, 15, 45, no, {"3DFACE " + kLayer45}},
      {"no C: A D B of D's class", 5, 15, no, 45, {"3DFACE " + kLayer45}},
      {"no B: A C D of C's class", 5, no, 45, 25, {"3DFACE " + kLayer45}},
      {"diagonal B-C alone", no, 15, 45, no, {}},
      {"two corners", 5, no, no, 45, {}},
  };
  for (const auto& c : cases) {
    MeshRun run(4);
    run.layOut(kFixtureWest, fixtureNorth(), 2, 2);
    auto& g = run.ctx.elevationGrid;
    const double m = g.missingElevation();
    g.setCell(0, 0, c.a == no ? m : c.a);
    g.setCell(1, 0, c.b == no ? m : c.b);
    g.setCell(0, 1, c.c == no ? m : c.c);
    g.setCell(1, 1, c.d == no ? m : c.d);
    elevation::writeMeshFaces(run.ctx, run.out);
    EXPECT_EQ(run.written(), c.expected) << c.name;
  }
}

TEST(MeshFaces, TriangleCornersRepeatTheThirdAndOneRowOrColumnGivesNone) {
  MeshRun run(4);
  run.layOut(kFixtureWest, fixtureNorth(), 2, 2);
  auto& g = run.ctx.elevationGrid;
  g.setCell(0, 0, 5);
  g.setCell(1, 0, 15);
  g.setCell(0, 1, 45);
  elevation::writeMeshFaces(run.ctx, run.out);
  const auto& groups = run.sink.groups;
  ASSERT_EQ(groups.size(), 18u);
  // First corner A at 5 m, second C at 45 m, third and fourth B at 15 m.
  EXPECT_EQ(groups[8].value, dxfio::formatReal(5000));
  EXPECT_EQ(groups[11].value, dxfio::formatReal(45000));
  EXPECT_EQ(groups[14].value, "15000");
  EXPECT_EQ(groups[12].value, groups[15].value);
  EXPECT_EQ(groups[13].value, groups[16].value);
  for (auto [columns, rows] : {std::pair{1, 3}, std::pair{3, 1}}) {
    MeshRun line(4);
    line.layOut(kFixtureWest, fixtureNorth(), columns, rows);
    for (int r = 0; r < rows; ++r)
      for (int c = 0; c < columns; ++c) line.ctx.elevationGrid.setCell(r, c, 10);
    elevation::writeMeshFaces(line.ctx, line.out);
    EXPECT_TRUE(line.sink.groups.empty()) << columns << "x" << rows;
  }
}

TEST(MeshBlocks, APublishedFiveMetreFileGivesOneInsertPerCellWithData) {
  SKIP_WITHOUT_REAL_DEM();
  // 25 of the 901 cells of this 2016 edition hold data.
  MeshRun run(0);
  run.coords.selectSystem(12);
  run.v.datumOffset = 0;
  const auto cell = settings::elevationCellSize(0);
  run.layOut(143.025 - 2 * cell.width, 42.85 + 2 * cell.height, 229, 154);
  elevation::readFgdDemFile(run.ctx, realDemFolder() / "FG-GML-6443-20-DEM5A" / "FG-GML-6443-20-12-DEM5A-20161001.xml");
  ASSERT_EQ(run.storedCells(), 25);
  elevation::writeMeshBlocks(run.ctx, run.out);
  const auto& g = run.grid();
  int inserts = 0;
  std::size_t at = 0;
  for (int r = 0; r < g.rowCount; ++r)
    for (int c = 0; c < g.columnCount; ++c) {
      if (g.cell(r, c) == g.missingElevation()) continue;
      ++inserts;
      // 0, 5, 330, 100, 8, 100, 2, then the centre and height.
      while (at < run.sink.groups.size() && run.sink.groups[at].code != 2) ++at;
      ASSERT_LT(at + 3, run.sink.groups.size());
      EXPECT_EQ(run.sink.groups[at].value, "5M");
      run.coords.bltoxy(g.gridWest + (c + 0.5) * g.cellWidth, g.gridNorth - (r + 0.5) * g.cellHeight);
      EXPECT_EQ(run.sink.groups[at + 1].value, dxfio::formatReal(run.coords.planeY));
      EXPECT_EQ(run.sink.groups[at + 2].value, dxfio::formatReal(run.coords.planeX));
      EXPECT_EQ(run.sink.groups[at + 3].value, dxfio::formatReal(g.cell(r, c) * 1000));
      ++at;
    }
  EXPECT_EQ(run.written().size(), static_cast<std::size_t>(inserts));
}

}  // namespace
