#include "converter/decor/mesh_grid.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "tests/decor/furniture_fixture.h"

namespace {

TEST(MeshGrid, CodesOfTheThreeLevels) {
  struct Case {
    const char* name;
    double latitude, longitude;  // the cell's south-west corner
    int digits;
    const char* code;
  };
  const Case cases[] = {
      {"first level", 35 + 20.0 / 60, 139, 0, "5339"},
      {"third level", 35 + 40.5 / 60, 139.75, 2, "53394610"},
      {"second level", 35 + 35.0 / 60, 139.375, 1, "533933"},
      {"second level, last row and column", 35 + 55.0 / 60, 139.875, 1, "533977"},
      {"third level, last row and column", 35 + 39.5 / 60, 139 + 44.25 / 60, 2, "53393599"},
  };
  for (const auto& c : cases) EXPECT_EQ(decor::meshGridCode(c.latitude, c.longitude, c.digits), c.code) << c.name;
}

TEST(MeshGrid, CellsCoverTheBoxAndRaiseTheNorthEastEdge) {
  struct Case {
    const char* name;
    double south, west, north, east;
    int digits;
    decor::MeshCells cells;
  };
  const Case cases[] = {
      {"inside one first-level cell", 35.4, 139.2, 35.6, 139.8, 0, {35 + 1.0 / 3, 139, 1, 1}},
      {"north-east corner on grid lines: one cell more", 35.4, 139.2, 36, 140, 0, {35 + 1.0 / 3, 139, 2, 2}},
      {"second level", 35.909049142, 139.390161091, 36.044603741, 139.500384866, 1, {35 + 50.0 / 60, 139.375, 2, 3}},
  };
  for (const auto& c : cases) {
    const auto cells = decor::meshGridCells(c.south, c.west, c.north, c.east, decor::meshGridStep(c.digits));
    EXPECT_NEAR(cells.south, c.cells.south, 1e-12) << c.name;
    EXPECT_NEAR(cells.west, c.cells.west, 1e-12) << c.name;
    EXPECT_EQ(cells.columns, c.cells.columns) << c.name;
    EXPECT_EQ(cells.rows, c.cells.rows) << c.name;
  }
}

// A sheet in system IX from 40 to 30 km west and 10 km south to 5 km north of the origin,
// with the "6桁" grid: three meridians of four vertices, four parallels of three, six
// labels. The positions are PROJ's (EPSG:6668 to EPSG:6677), in millimetres.
TEST(MeshGrid, LinesAndLabelsWhereProjPutsThem) {
  FurnitureRun run;
  run.s.meshGridOn = true;
  run.s.meshCodeDigits = 1;
  run.s.meshGridCaption = "016標準地域メッシュ";
  run.ctx.sheetWest = -40000000;
  run.ctx.sheetEast = -30000000;
  run.ctx.sheetSouth = -10000000;
  run.ctx.sheetNorth = 5000000;
  decor::writeMeshGrid(run.ctx, run.writer);
  const auto entities = run.entities();
  // PROJ's points, rows from the south, columns from the west: DXF x (easting), y.
  const double proj[4][3][2] = {
      {{-41407801.0, -18394100.6}, {-30114716.4, -18439776.1}, {-18821677.2, -18471027.5}},
      {{-41364458.6, -9148541.3}, {-30083195.1, -9194260.9}, {-18801976.6, -9225542.3}},
      {{-41321028.5, 97145.8}, {-30051610.0, 51382.5}, {-18782236.1, 20071.2}},
      {{-41277510.8, 9342960.8}, {-30019961.2, 9297154.2}, {-18762455.8, 9265813.3}},
  };
  auto vertex = [](const Entity& e, int n) { return std::pair{std::stod(e.value(10, n)), std::stod(e.value(20, n))}; };
  ASSERT_EQ(entities.size(), 3u + 4u + 6u);
  for (int i = 0; i < 3; ++i) {
    const auto& meridian = entities[static_cast<std::size_t>(i)];
    ASSERT_EQ(meridian.type, "LWPOLYLINE");
    EXPECT_EQ(
        meridian.record().rfind("330=13;100=AcDbEntity;8=016標準地域メッシュ;100=AcDbPolyline;90=4;70=0;43=0;38=0;", 0),
        0u);
    for (int k = 0; k < 4; ++k) {
      const auto [x, y] = vertex(meridian, k);
      EXPECT_NEAR(x, proj[k][i][0], 1) << i << " " << k;
      EXPECT_NEAR(y, proj[k][i][1], 1) << i << " " << k;
    }
  }
  for (int k = 0; k < 4; ++k) {
    const auto& parallel = entities[static_cast<std::size_t>(3 + k)];
    EXPECT_EQ(parallel.value(90), "3");
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(vertex(parallel, i).first, proj[k][i][0], 1) << i << " " << k;
  }
  // Labels column by column, south to north, at each cell's south-west corner.
  const char* codes[2][3] = {{"533963", "533973", "543903"}, {"533964", "533974", "543904"}};
  std::size_t label = 7;
  for (int i = 0; i < 2; ++i)
    for (int k = 0; k < 3; ++k, ++label) {
      const auto& text = entities[label];
      ASSERT_EQ(text.type, "TEXT");
      EXPECT_EQ(text.value(1), codes[i][k]);
      EXPECT_NEAR(std::stod(text.value(10)), proj[k][i][0], 1);
      EXPECT_NEAR(std::stod(text.value(20)), proj[k][i][1], 1);
      EXPECT_NEAR(std::stod(text.value(40)), 1.0 / 12 * 5000 * 1000, 1e-6);
    }
}

TEST(MeshGrid, ThirdLevelLabelHeightAndAStoppedRun) {
  FurnitureRun run;
  run.s.meshCodeDigits = 2;
  run.s.meshGridCaption = "016標準地域メッシュ";
  run.ctx.sheetWest = -40000000;
  run.ctx.sheetEast = -39000000;
  run.ctx.sheetSouth = -10000000;
  run.ctx.sheetNorth = -9000000;
  decor::writeMeshGrid(run.ctx, run.writer);
  const auto entities = run.entities();
  ASSERT_FALSE(entities.empty());
  EXPECT_EQ(entities.back().type, "TEXT");
  EXPECT_EQ(entities.back().value(40), "41666.6666666667");
  run.clear();
  run.ctx.runContinue = false;
  decor::writeMeshGrid(run.ctx, run.writer);
  EXPECT_TRUE(run.entities().empty());
}

}  // namespace
