#include "converter/elevation/elevation_loader.h"

#include <gtest/gtest.h>

#include <cmath>

#include "converter/settings/sheet_labels.h"
#include "tests/common/temp_folder.h"
#include "tests/elevation/elevation_fixture.h"
#include "tests/elevation/zip_members.h"

using sheet::ProgressLine;

namespace {

// A sheet of the given size (metres) centred on a point, in system `zone`, millimetres.
void sheetAround(ElevationRun& run, int zone, double lon, double lat, double widthM, double heightM) {
  ASSERT_TRUE(run.coords.selectSystem(zone));
  run.coords.bltoxy(lon, lat);
  run.ctx.sheetWest = run.coords.planeY - widthM * 500;
  run.ctx.sheetEast = run.coords.planeY + widthM * 500;
  run.ctx.sheetSouth = run.coords.planeX - heightM * 500;
  run.ctx.sheetNorth = run.coords.planeX + heightM * 500;
}

void copyFixture(const std::string& name, const std::filesystem::path& to) {
  std::filesystem::create_directories(to.parent_path());
  std::filesystem::copy_file(elevationFixtures() / name, to);
}

}  // namespace

TEST(LoadElevationGrid, GridCoversTheSheetAndItsNorthernBulge) {
  ElevationRun run;
  // 40 km across the central meridian of system IX: the middle of the northern edge
  // lies north of its corners.
  ASSERT_TRUE(run.coords.selectSystem(9));
  run.ctx.sheetWest = -20000e3;
  run.ctx.sheetEast = 20000e3;
  run.ctx.sheetSouth = -50000e3;
  run.ctx.sheetNorth = -49000e3;
  run.s.elevationBufferCells = 4000000;
  run.ctx.pointBuffer.assign(4000000, geo::PointPair{0, 0});
  elevation::loadElevationGrid(run.ctx);
  ASSERT_TRUE(run.ctx.runContinue);
  const auto& g = run.grid();
  ASSERT_TRUE(run.coords.xytobl(0, -49000e3));
  const double middle = run.coords.lastLatitude;
  ASSERT_TRUE(run.coords.xytobl(-20000e3, -49000e3));
  const double corner = run.coords.lastLatitude;
  const double ch = g.cellHeight;
  EXPECT_DOUBLE_EQ(g.demBox.north, std::trunc(middle / ch + 2) * ch);
  EXPECT_GT(g.demBox.north, std::trunc(corner / ch + 2) * ch);
  // Without a depression margin the grid is demBox.
  EXPECT_EQ(g.gridWest, g.demBox.west);
  EXPECT_EQ(g.gridNorth, g.demBox.north);
  EXPECT_EQ(g.columnCount, static_cast<int>(std::floor((g.gridEast - g.gridWest) / g.cellWidth + 0.999)));
  EXPECT_EQ(g.innerWindow.firstColumn, 0);
  EXPECT_EQ(g.innerWindow.endRow, g.rowCount);
  EXPECT_EQ(run.storedCells(), 0);
  EXPECT_EQ(g.zMax, -1e308);
  EXPECT_TRUE(run.host.showed(ProgressLine::Phase, "標高値初期化処理 "));
  EXPECT_TRUE(run.host.showed(ProgressLine::Phase, "標高値読込処理 "));
  EXPECT_EQ(run.host.lines.back(), std::make_pair(ProgressLine::Phase, std::string()));
}

TEST(LoadElevationGrid, DepressionMarginFillsTheGridsShare) {
  for (int target : {0, 1, 2, 3}) {
    ElevationRun run;
    run.s.meshSource = -1;
    run.s.contourSource = 1;
    run.s.contourTarget = target;
    run.s.elevationBufferCells = 300000;
    run.s.contourShare = 6;
    run.ctx.pointBuffer.assign(300000, geo::PointPair{0, 0});
    sheetAround(run, 9, 139.8, 35.7, 1000, 800);
    elevation::loadElevationGrid(run.ctx);
    ASSERT_TRUE(run.ctx.runContinue) << target;
    const auto& g = run.grid();
    const long long cells = static_cast<long long>(g.columnCount) * g.rowCount;
    if (target == 1) {  // すべての等高線: no margin
      EXPECT_EQ(g.gridWest, g.demBox.west);
      EXPECT_LT(cells, 20000);
    } else {
      EXPECT_LE(cells, 180000) << target;
      EXPECT_GT(static_cast<long long>(g.columnCount + 2) * (g.rowCount + 2), 180000) << target;
      const int m = g.innerWindow.firstColumn;
      EXPECT_GT(m, 100);
      EXPECT_EQ(g.innerWindow.firstRow, m);
      EXPECT_EQ(g.columnCount - g.innerWindow.endColumn, m);
      EXPECT_NEAR(g.demBox.west - g.gridWest, m * g.cellWidth, 1e-9);
    }
  }
}

TEST(LoadElevationGrid, GridsThatCannotBeHeldAreRefused) {
  struct Case {
    const char* what;
    double widthM, heightM;
    int source, contourTarget;
    long long bufferCells;
    const char* caption;
  };
  const Case cases[] = {
      {"beyond the share of the buffer", 30000, 30000, 1, 1, 2097152, "標高メッシュ読込限度"},
      {"demBox alone beyond the share, margin asked", 15000, 15000, 1, 0, 2097152, "標高メッシュ読込限度"},
      // A narrow sheet along the central meridian: 68000 rows of 0.2", four columns.
      {"more than 65535 rows", 0.001, 420000, 0, 1, 1000000, "標高メッシュ読込限度"},
      {"a sheet without latitude", 1e12, 1e12, 1, 1, 2097152, "描画範囲の異常"},
  };
  for (const auto& c : cases) {
    ElevationRun run(c.source);
    if (c.contourTarget != 1) {
      run.s.meshSource = -1;
      run.s.contourSource = c.source;
    }
    run.s.contourTarget = c.contourTarget;
    run.s.elevationBufferCells = c.bufferCells;
    run.ctx.pointBuffer.assign(static_cast<std::size_t>(c.bufferCells), geo::PointPair{0, 0});
    sheetAround(run, 9, 139.0 + 50.0 / 60, 36.0, c.widthM, c.heightM);
    elevation::loadElevationGrid(run.ctx);
    EXPECT_FALSE(run.ctx.runContinue) << c.what;
    ASSERT_EQ(run.host.shown.size(), 1u) << c.what;
    EXPECT_EQ(run.host.shown[0].caption, c.caption) << c.what;
    EXPECT_EQ(run.host.shown[0].text, std::string(c.caption) == "描画範囲の異常"
                                          ? "単位、縮尺を選択してから描画範囲を設定してください"
                                          : "占有メモリーの拡大や描画範囲の分割が必要です")
        << c.what;
    EXPECT_EQ(run.grid().columnCount * run.grid().rowCount, 0) << c.what;
  }
}

TEST(LoadElevationGrid, CancelledRunBuildsNothing) {
  ElevationRun run;
  run.ctx.runContinue = false;
  sheetAround(run, 6, 135.0005, 35.0009, 50, 50);
  elevation::loadElevationGrid(run.ctx);
  EXPECT_TRUE(run.host.lines.empty());
  EXPECT_TRUE(run.host.shown.empty());
}

struct ElevationFolder : ::testing::Test {
  ElevationFolder() {
    // The fixtures' mesh 5235-40 in system VI, a sheet of 60 m around their cells.
    sheetAround(run, 6, 135.0005, 35.0009, 60, 60);
    run.s.elevationFolder = settings::pathText(temp.path());
    copyFixture("FG-GML-5235-40-DEM10B-placed.xml", temp / "FG-GML-5235-40-DEM10B-placed.xml");
    copyFixture("FG-GML-5235-40-DEM10B-overlap.xml", temp / "sub" / "FG-GML-5235-40-DEM10B-overlap.xml");
    // Same cells, but the name says a mesh that does not touch the sheet.
    copyFixture("FG-GML-5235-40-DEM10B-start.xml", temp / "FG-GML-5235-30-DEM10B-start.xml");
    // A 5 m name is not listed in a 10 m run.
    copyFixture("FG-GML-5235-40-00-DEM5A-kind10m.xml", temp / "FG-GML-5235-40-00-DEM5A-kind10m.xml");
  }
  // Grid cell of a fixture cell (row, column counted from 35 N + 10 cells, 135 E).
  double fixtureCell(int row, int column) const {
    const auto& g = run.grid();
    const int dc = static_cast<int>(std::floor((kFixtureWest - g.gridWest) / g.cellWidth + 0.00001));
    const int dr = static_cast<int>(std::floor((g.gridNorth - fixtureNorth()) / g.cellHeight + 0.00001));
    return g.cell(row + dr, column + dc);
  }
  TempFolder temp;
  ElevationRun run;
};

TEST_F(ElevationFolder, CountsListedFilesAndReadsThoseOfTheSheet) {
  elevation::collectElevationFiles(run.ctx, temp.path(), false);
  EXPECT_EQ(run.ctx.fileCounter, 3);  // three *dem10*.xml, the subfolder's too
  run.ctx.fileCounter = 0;
  run.s.processSubfolders = false;
  elevation::collectElevationFiles(run.ctx, temp.path(), false);
  EXPECT_EQ(run.ctx.fileCounter, 2);
  run.s.processSubfolders = true;
  run.ctx.fileCounter = 0;

  elevation::loadElevationGrid(run.ctx);
  ASSERT_TRUE(run.ctx.runContinue);
  EXPECT_EQ(run.ctx.meshCodeList, (std::vector<std::string>{"-523540", "5235-40"}));
  EXPECT_EQ(run.ctx.fileCounter, 3);           // every listed file is counted, read or not
  EXPECT_DOUBLE_EQ(fixtureCell(1, 3), 21.5);   // placed
  EXPECT_DOUBLE_EQ(fixtureCell(0, 7), 114.0);  // overlap, from the subfolder
  // The start fixture (52 at row 1, column 4) was passed over for its name.
  EXPECT_DOUBLE_EQ(fixtureCell(1, 4), 22.5);
  EXPECT_EQ(run.ctx.anomalyMessage, "");
  EXPECT_TRUE(run.host.showed(ProgressLine::Phase, "DEMデータ"));
  EXPECT_TRUE(run.host.showed(ProgressLine::File, "FG-GML-5235-40-DEM10B-placed.xml"));
  EXPECT_FALSE(run.host.showed(ProgressLine::File, "FG-GML-5235-30-DEM10B-start.xml"));
}

TEST_F(ElevationFolder, MarginCellsTakeDataOnlyFromMeshesOfTheSheet) {
  // Hollows traced: the grid widens far beyond mesh 5235-40, the list stays that mesh's.
  run.s.meshSource = -1;
  run.s.contourSource = 1;
  run.s.contourTarget = 0;
  run.s.elevationBufferCells = 1 << 20;
  elevation::loadElevationGrid(run.ctx);
  ASSERT_TRUE(run.ctx.runContinue);
  EXPECT_LT(run.grid().gridSouth, 35.0);  // reaches into mesh 5235-30
  EXPECT_EQ(run.ctx.meshCodeList, (std::vector<std::string>{"-523540", "5235-40"}));
  EXPECT_EQ(run.storedCells(), 14);  // placed (12) and the two cells overlap adds
}

TEST_F(ElevationFolder, AbortStopsBeforeTheNextFile) {
  run.host.abortAtPump = 0;
  elevation::loadElevationGrid(run.ctx);
  EXPECT_FALSE(run.ctx.runContinue);
  EXPECT_EQ(run.storedCells(), 0);
  EXPECT_TRUE(run.host.shown.empty());
}

// The published 10 m file of mesh 5437-45 is zipped; the run reads unpacked files only.
TEST(ElevationFolderReal, LowerCaseNameInTheNorthernAlps) {
  SKIP_WITHOUT_REAL_DEM();
  TempFolder temp;
  const auto zip = realDemFolder() / "FG-GML-543745-DEM10B-20161001.zip";
  std::filesystem::copy_file(zip, temp.path() / zip.filename());
  ElevationRun run;
  run.s.elevationFolder = settings::pathText(temp.path());
  elevation::collectElevationFiles(run.ctx, temp.path(), false);
  EXPECT_EQ(run.ctx.fileCounter, 1);  // the member of the downloaded archive

  // Extracted beside its archive, the file is still one file.
  ASSERT_TRUE(extractZipMember(zip, "FG-GML-5437-45-dem10b-20161001.xml", temp.path()));
  run.ctx.fileCounter = 0;
  elevation::collectElevationFiles(run.ctx, temp.path(), false);
  EXPECT_EQ(run.ctx.fileCounter, 1);
  // 6 km x 8 km inside the mesh (36.33-36.42 N, 137.625-137.75 E), system VII.
  sheetAround(run, 7, 137.6875, 36.375, 6000, 8000);
  run.ctx.fileCounter = 0;
  elevation::loadElevationGrid(run.ctx);
  ASSERT_TRUE(run.ctx.runContinue);
  EXPECT_EQ(run.ctx.anomalyMessage, "");
  EXPECT_EQ(run.ctx.fileCounter, 1);
  const auto& g = run.grid();
  // Every cell of the grid lies in the mesh, and every tuple of the file has data.
  EXPECT_EQ(run.storedCells(), g.columnCount * g.rowCount);
  EXPECT_GT(g.zMin, 700);
  EXPECT_LT(g.zMax, 3200);
  EXPECT_GT(g.zMax - g.zMin, 1000);
}
