#include "converter/elevation/fgd_dem_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "converter/settings/sheet_labels.h"
#include "platform/text_codec.h"
#include "tests/common/temp_folder.h"
#include "tests/elevation/elevation_fixture.h"
#include "tests/elevation/zip_members.h"

using elevation::readFgdDemFile;

namespace {

constexpr double kOffset = 0.5;

struct DemReader : ::testing::Test {
  DemReader() {
    run.v.datumOffset = kOffset;
    run.layOut(kFixtureWest, fixtureNorth(), 10, 5);
  }
  void read(const std::string& name) { readFgdDemFile(run.ctx, elevationFixtures() / name); }
  double at(int row, int column) const { return run.grid().cell(row, column); }
  double missing() const { return run.grid().missingElevation(); }
  ElevationRun run;
};

}  // namespace

TEST_F(DemReader, TuplesLandInTheirCellsWithTheDatumOffset) {
  read("FG-GML-5235-40-DEM10B-placed.xml");
  EXPECT_EQ(run.ctx.anomalyMessage, "");
  struct Cell {
    int row, column;
    double value;
  };
  // The file starts at column 2; its no-data cell and the one-blank line take no value,
  // and the index still advances past the no-data line.
  const Cell cells[] = {{0, 2, 10.0}, {0, 3, 11.0}, {0, 5, 13.0}, {0, 6, 14.0}, {1, 2, 20.5}, {1, 3, 21.5},
                        {1, 4, 22.5}, {1, 5, 23.5}, {1, 6, 24.5}, {2, 2, 30.0}, {2, 3, 31.0}, {2, 4, 32.0}};
  for (const auto& c : cells) EXPECT_DOUBLE_EQ(at(c.row, c.column), c.value + kOffset) << c.row << "," << c.column;
  EXPECT_EQ(at(0, 4), missing());  // データなし
  EXPECT_EQ(at(2, 5), missing());  // the file stops two cells early
  EXPECT_EQ(at(0, 1), missing());
  EXPECT_EQ(at(3, 2), missing());
  EXPECT_EQ(run.storedCells(), 12);
  EXPECT_DOUBLE_EQ(run.grid().zMax, 32.0 + kOffset);
  EXPECT_DOUBLE_EQ(run.grid().zMin, 10.0 + kOffset);
  EXPECT_TRUE(run.host.showed(sheet::ProgressLine::Phase, "標高MESH"));
}

TEST_F(DemReader, StartPointSkipsLeadingCells) {
  // startPoint 2 1 and a byte-order mark; the last value shares its line with the list's end.
  read("FG-GML-5235-40-DEM10B-start.xml");
  EXPECT_EQ(run.ctx.anomalyMessage, "");
  EXPECT_DOUBLE_EQ(at(1, 4), 52.0 + kOffset);  // file column 2, row 1
  EXPECT_DOUBLE_EQ(at(1, 6), 54.0 + kOffset);
  EXPECT_DOUBLE_EQ(at(2, 2), 60.0 + kOffset);  // wraps to the next file row
  EXPECT_EQ(run.storedCells(), 4);
}

TEST_F(DemReader, LastFileWinsExceptWhereItHasNoData) {
  read("FG-GML-5235-40-DEM10B-placed.xml");
  read("FG-GML-5235-40-DEM10B-overlap.xml");
  EXPECT_DOUBLE_EQ(at(0, 3), 11.0 + kOffset);   // overlap has no data here
  EXPECT_DOUBLE_EQ(at(0, 4), 111.0 + kOffset);  // filled where the first had none
  EXPECT_DOUBLE_EQ(at(0, 5), 112.0 + kOffset);
  EXPECT_DOUBLE_EQ(at(0, 7), 114.0 + kOffset);
  EXPECT_DOUBLE_EQ(at(1, 5), 23.5 + kOffset);  // the second row is the first file's
}

TEST(DemReaderWindow, ExtremesComeFromTheInnerWindowOnly) {
  ElevationRun run;
  run.layOut(kFixtureWest, fixtureNorth(), 10, 5);
  // demBox starts at column 3: the file's first column (10, 20.5, 30) lies in the margin.
  run.ctx.elevationGrid.demBox.west = kFixtureWest + 3 * run.v.cellWidth;
  run.ctx.elevationGrid.innerWindow = geo::innerWindowOf(run.grid());
  ASSERT_EQ(run.grid().innerWindow.firstColumn, 3);
  readFgdDemFile(run.ctx, elevationFixtures() / "FG-GML-5235-40-DEM10B-placed.xml");
  EXPECT_DOUBLE_EQ(run.grid().cell(0, 2), 10.0);  // stored all the same
  EXPECT_DOUBLE_EQ(run.grid().zMin, 11.0);
  EXPECT_DOUBLE_EQ(run.grid().zMax, 32.0);
}

TEST_F(DemReader, AnsiCodePageFileIsRecognised) {
  read("FG-GML-5235-40-DEM10B-sjis.xml");
  EXPECT_EQ(run.ctx.anomalyMessage, "");
  EXPECT_DOUBLE_EQ(at(0, 2), 5.25 + kOffset);
  EXPECT_DOUBLE_EQ(at(0, 3), -1.5 + kOffset);
}

TEST(DemReaderKind, OtherResolutionsAndVectorFilesAreSkippedSilently) {
  {
    ElevationRun run(0);  // 5 m active: the 10 m file under a 5 m name is not used
    run.layOut(kFixtureWest, fixtureNorth(), 10, 5);
    readFgdDemFile(run.ctx, elevationFixtures() / "FG-GML-5235-40-00-DEM5A-kind10m.xml");
    EXPECT_EQ(run.storedCells(), 0);
    EXPECT_EQ(run.ctx.anomalyMessage, "");
  }
  {
    ElevationRun run(1);
    run.layOut(kFixtureWest, fixtureNorth(), 10, 5);
    readFgdDemFile(run.ctx, elevationFixtures() / "FG-GML-5235-40-00-DEM5A-kind10m.xml");
    EXPECT_EQ(run.storedCells(), 1);
  }
}

TEST(DemReaderKind, KindLinePositions) {
  using elevation::kindPosition;
  EXPECT_EQ(kindPosition("\t\t<type>5mメッシュ（数値地形）</type>", true), 178);
  EXPECT_EQ(kindPosition("\t\t<type>10mメッシュ（標高）</type>", true), 184);
  EXPECT_EQ(kindPosition("<type>50mメッシュ（標高）</type>", true), 191);
  EXPECT_EQ(kindPosition("<type>250mメッシュ（標高）</type>", true), 198);
  EXPECT_EQ(kindPosition("<type>1mメッシュ（標高）</type>", true), 0);
  EXPECT_EQ(kindPosition("<BldA gml:id=\"K3_1\">", true), 109);
  EXPECT_EQ(kindPosition("\t<DEM gml:id=\"DEM001\">", true), 0);
  EXPECT_EQ(kindPosition("<fid>fgoid:10-00100-14-60502-392676</fid>", true), 0);  // no blank
}

TEST_F(DemReader, FaultsAreReportedAndReadingGoesOn) {
  struct Case {
    const char* file;
    const char* report;  // start of the anomaly line
    const char* where;   // end of the anomaly line
    int cellsKept;
  };
  const Case cases[] = {
      {"truncated-DEM10B.xml", "標高データが途中で終わっています ", "truncated-DEM10B.xml", 7},
      {"not-a-number-DEM10B.xml", "標高データの数値が異常です ", "not-a-number-DEM10B.xml 36行目", 4},
      {"no-tuple-list-DEM10B.xml", "標高データにgml:tupleListがありません ", "no-tuple-list-DEM10B.xml", 0},
      {"no-corners-DEM10B.xml", "標高データに範囲(gml:lowerCorner, gml:upperCorner)がありません ",
       "no-corners-DEM10B.xml", 0},
      {"absent-DEM10B.xml", "標高データファイルを開けません ", "absent-DEM10B.xml", 0},
      // A corner of 1e300 was cast to a cell count (undefined behaviour).
      {"corner-off-the-globe-DEM10B.xml", "標高データの範囲の数値が異常です ", "corner-off-the-globe-DEM10B.xml 14行目",
       0},
  };
  for (const auto& c : cases) {
    ElevationRun one;
    one.layOut(kFixtureWest, fixtureNorth(), 10, 5);
    readFgdDemFile(one.ctx, elevationFixtures() / c.file);
    const std::string& text = one.ctx.anomalyMessage;
    EXPECT_TRUE(text.starts_with(c.report)) << c.file << ": " << text;
    EXPECT_TRUE(text.ends_with(std::string(c.where) + "\r\n")) << c.file << ": " << text;
    EXPECT_EQ(one.storedCells(), c.cellsKept) << c.file;
    EXPECT_TRUE(one.ctx.runContinue);
    // The next file is read as usual, and a second sheet does not repeat the report.
    readFgdDemFile(one.ctx, elevationFixtures() / c.file);
    readFgdDemFile(one.ctx, elevationFixtures() / "FG-GML-5235-40-DEM10B-overlap.xml");
    EXPECT_EQ(one.ctx.anomalyMessage, text);
    EXPECT_DOUBLE_EQ(one.grid().cell(0, 7), 114.0);
  }
}

// A grid that contradicts itself places nothing, and values beyond the file's own cells
// never reach the neighbouring mesh.
TEST(DemReaderFaults, GridThatDoesNotFitIsReported) {
  struct Case {
    const char* name;
    const char* from;
    const char* to;
    const char* report;
    const char* lineOf;  // the line the report names, or nullptr for none
    int cellsKept;
  };
  const Case cases[] = {
      // Three more values: two fill the file's last row, the third would start a fourth.
      {"surplus", "地表面,32.0\r\n", "地表面,32.0\r\n地表面,33.0\r\n地表面,34.0\r\n地表面,35.0\r\n",
       "標高データの値の数がgml:highの格子を超えています ", "地表面,35.0", 14},
      {"swapped", "<gml:lowerCorner>35.000777777778", "<gml:lowerCorner>35.2", 
       "標高データの範囲(gml:lowerCorner, gml:upperCorner)が矛盾しています ", nullptr, 0},
      // Off the globe: the corner line itself is reported before any cell count is made.
      {"huge", "<gml:lowerCorner>35.000777777778 135.000222222222", "<gml:lowerCorner>-1e308 -1e308",
       "標高データの範囲の数値が異常です ", "<gml:lowerCorner>-1e308", 0},
      {"cells", "<gml:upperCorner>35.001111111111 135.000777777778", "<gml:upperCorner>35.001111111111 135.001333333333",
       "標高データの範囲とgml:highの格子が合いません ", nullptr, 0},
      {"start", "<gml:startPoint>0 0", "<gml:startPoint>5 0", "標高データのgml:startPointがgml:highの格子の外です ",
       nullptr, 0},
  };
  TempFolder temp;
  const std::string placed = readBytes(elevationFixtures() / "FG-GML-5235-40-DEM10B-placed.xml");
  for (const auto& c : cases) {
    std::string bytes = placed;
    bytes.replace(bytes.find(c.from), std::strlen(c.from), c.to);
    const auto file = temp / (std::string(c.name) + "-DEM10B.xml");
    writeBytes(file, bytes);
    ElevationRun run;
    run.layOut(kFixtureWest, fixtureNorth(), 10, 5);
    readFgdDemFile(run.ctx, file);
    std::string where = settings::pathText(file);
    if (c.lineOf) {
      const auto at = bytes.find(c.lineOf);
      where += " " + std::to_string(std::count(bytes.begin(), bytes.begin() + static_cast<long>(at), '\n') + 1) + "行目";
    }
    EXPECT_EQ(run.ctx.anomalyMessage, c.report + where + "\r\n") << c.name;
    EXPECT_EQ(run.storedCells(), c.cellsKept) << c.name;
    EXPECT_EQ(run.grid().cell(3, 2), run.grid().missingElevation()) << c.name;  // the row below the file
  }
}

TEST(DemReaderFaults, LineNumbersAreTheFileLinesInEitherEncoding) {
  TempFolder temp;
  const std::string utf8 = readBytes(elevationFixtures() / "not-a-number-DEM10B.xml");
  std::string cp932 = utf8;
  cp932.replace(cp932.find("UTF-8"), 5, "Shift_JIS");
  writeBytes(temp / "sjis-DEM10B.xml", platform::utf8ToCp932(cp932));
  for (const auto& file : {elevationFixtures() / "not-a-number-DEM10B.xml", temp / "sjis-DEM10B.xml"}) {
    ElevationRun run;
    run.layOut(kFixtureWest, fixtureNorth(), 10, 5);
    readFgdDemFile(run.ctx, file);
    EXPECT_TRUE(run.ctx.anomalyMessage.ends_with(".xml 36行目\r\n")) << run.ctx.anomalyMessage;
    EXPECT_EQ(run.storedCells(), 4) << file;
  }
}

TEST_F(DemReader, FileOutsideTheGridIsSkipped) {
  run.layOut(kFixtureWest + 100 * run.v.cellWidth, fixtureNorth(), 10, 5);
  read("FG-GML-5235-40-DEM10B-placed.xml");
  EXPECT_EQ(run.storedCells(), 0);
  EXPECT_EQ(run.ctx.anomalyMessage, "");
}

TEST_F(DemReader, CancelledRunReadsNothing) {
  run.ctx.runContinue = false;
  read("FG-GML-5235-40-DEM10B-placed.xml");
  EXPECT_EQ(run.storedCells(), 0);
}

// Published files: byte-order marks, start points far from 0 0, lists that stop early.
TEST(DemReaderReal, PublishedFilesLandWhereTheirStartPointSays) {
  SKIP_WITHOUT_REAL_DEM();
  struct Case {
    int source;
    const char* file;
    double west, north;  // the file's corner
    int startColumn, startRow;
    double firstValue;
    int stored;  // tuples with data
  };
  const Case cases[] = {
      // A single tuple "地表面,0.00" at startPoint 1 94.
      {0, "FG-GML-3624-30-DEM5B/FG-GML-3624-30-98-DEM5B-20170202.xml", 124.1, 24.333333333, 1, 94, 0.0, 1},
      // Open sea: 36777 no-data lines and 297 values from startPoint 743 639.
      {1, "FG-GML-3926-76-DEM10B-20161001.xml", 126.75, 26.666666667, 743, 639, 1.2, 297},
      // 2016 edition without a byte-order mark: 901 of 33750 cells, 25 of them with data.
      {0, "FG-GML-6443-20-DEM5A/FG-GML-6443-20-12-DEM5A-20161001.xml", 143.025, 42.85, 0, 0, 140.51, 25},
  };
  for (const auto& c : cases) {
    ElevationRun run(c.source);
    run.v.datumOffset = 0;
    // The file's own grid with two cells around it.
    const auto cell = settings::elevationCellSize(c.source);
    const int columns = c.source == 0 ? 225 : 1125, rows = c.source == 0 ? 150 : 750;
    run.layOut(c.west - 2 * cell.width, c.north + 2 * cell.height, columns + 4, rows + 4);
    readFgdDemFile(run.ctx, realDemFolder() / c.file);
    EXPECT_EQ(run.ctx.anomalyMessage, "") << c.file;
    EXPECT_DOUBLE_EQ(run.grid().cell(c.startRow + 2, c.startColumn + 2), c.firstValue) << c.file;
    EXPECT_EQ(run.grid().cell(c.startRow + 2, c.startColumn + 1), run.grid().missingElevation()) << c.file;
    EXPECT_EQ(run.storedCells(), c.stored) << c.file;
    // Nothing lands in the border around the file.
    for (int col = 0; col < columns + 4; ++col) {
      EXPECT_EQ(run.grid().cell(0, col), run.grid().missingElevation());
      EXPECT_EQ(run.grid().cell(rows + 3, col), run.grid().missingElevation());
    }
  }
}

TEST(DemReaderReal, OneMetreFileIsNoSourceOfThisSystem) {
  SKIP_WITHOUT_REAL_DEM();
  for (int source : {0, 1}) {
    ElevationRun run(source);
    run.layOut(130.9375 - 0.01, 30.591666667 + 0.01, 200, 200);
    readFgdDemFile(run.ctx, realDemFolder() / "FG-GML-4530-77-05-DEM1A-20260522.xml");
    EXPECT_EQ(run.storedCells(), 0);
    EXPECT_EQ(run.ctx.anomalyMessage, "");
  }
}

TEST(DemReaderReal, ByteOrderMarkEditionOfAThreeEditionZip) {
  SKIP_WITHOUT_REAL_DEM();
  TempFolder temp;
  // The unpacked 2019 member beside the zip, and the same member taken out of the zip.
  const auto unpacked = realDemFolder() / "FG-GML-6443-20-DEM5A" / "FG-GML-6443-20-00-DEM5A-20190130.xml";
  ASSERT_TRUE(extractZipMember(realDemFolder() / "FG-GML-6443-20-DEM5A.zip", "FG-GML-6443-20-00-DEM5A-20190130.xml",
                               temp.path()));
  std::vector<int> counts;
  for (const auto& file : {unpacked, temp / "FG-GML-6443-20-00-DEM5A-20190130.xml"}) {
    ElevationRun run(0);
    run.layOut(143.0, 42.841666667, 225, 150);
    readFgdDemFile(run.ctx, file);
    EXPECT_EQ(run.ctx.anomalyMessage, "");
    counts.push_back(run.storedCells());
    EXPECT_GT(run.grid().zMax, run.grid().zMin);
  }
  EXPECT_EQ(counts[0], counts[1]);
  EXPECT_GT(counts[0], 0);
}
