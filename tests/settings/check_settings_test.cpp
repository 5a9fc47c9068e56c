#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "converter/geo/plane_coordinates.h"
#include "converter/settings/check_settings.h"
#include "platform/printer_catalogue.h"
#include "tests/settings/fixture.h"

using namespace settings;

namespace {

struct Checked {
  std::string report;
  RunValues values;
  DrawingSettings settings;
};

Checked check(const TempFolder& temp, const std::function<void(DrawingSettings&)>& edit,
              const platform::PrinterCatalogue& printers = platform::PrinterCatalogue()) {
  Checked c{"", {}, validSettings(temp)};
  edit(c.settings);
  geo::PlaneCoordinates coords;
  c.report = checkSettings(c.settings, printers, coords, c.values);
  return c;
}

// A printer whose printable area is exactly `usableWidthMm` wide once the fixed factors
// are taken off, for checking scale arithmetic with round numbers.
platform::PrinterCatalogue printerWithPaper(double widthMm, double heightMm, int marginPx, int dpi = 600) {
  platform::PrinterCatalogue printers;
  platform::PrinterDescription d;
  d.name = "Test";
  d.dpi = dpi;
  d.marginPx = marginPx;
  d.papers = {{"P", 1, widthMm, heightMm}};
  printers.addPrinter(d);
  return printers;
}

}  // namespace

TEST(CheckSettings, ValidSettingsPass) {
  TempFolder temp;
  auto c = check(temp, [](DrawingSettings&) {});
  EXPECT_EQ(c.report, "");
  EXPECT_EQ(c.values.unitsPerMetre, 1000);
  EXPECT_EQ(c.values.zone, 9);
  EXPECT_EQ(c.values.legendStepCount, 16);
}

TEST(CheckSettings, ReportLines) {
  struct Case {
    const char* what;
    std::function<void(DrawingSettings&)> edit;
    const char* expected;
  } cases[] = {
      {"folders",
       [](DrawingSettings& s) {
         s.fgdFolder = "/nonexistent-x";
         s.basicInfoFolder.clear();
       },
       "基盤地図情報フォルダが見つかりません\r\n国土基本情報フォルダが見つかりません\r\n"},
      {"map name", [](DrawingSettings& s) { s.mapName = "a/b/c|d"; },
       "地図名に / は使えません\r\n地図名に / は使えません\r\n地図名に | は使えません\r\n"},
      {"empty name", [](DrawingSettings& s) { s.mapName.clear(); }, "地図名を設定してください\r\n"},
      // Blanks and Japanese are file names like any other; what CP932 cannot spell is not.
      {"name outside CP932", [](DrawingSettings& s) { s.mapName = "東京 1😀😀"; },
       "地図名に 😀 は使えません(シフトJISにない文字)\r\n"},
      {"printer",
       [](DrawingSettings& s) {
         s.printerName = "Nowhere";
         s.paperSize.clear();
         s.paperOrientation = -1;
       },
       "プリンタを選択してください\r\n用紙サイズを選択してください。\r\n用紙方向を選択してください。\r\n"},
      {"paper not offered", [](DrawingSettings& s) { s.paperSize = "B4"; }, "用紙サイズを選択してください。\r\n"},
      {"unit stops the checks",
       [](DrawingSettings& s) {
         s.drawingUnit = -1;
         s.mapName.clear();
         s.fileFormat = -1;
       },
       "地図名を設定してください\r\n単位を設定してください\r\n"},
      {"format and zone",
       [](DrawingSettings& s) {
         s.fileFormat = -1;
         s.coordinateSystem = -1;
       },
       "ファイル形式を選択してください\r\n座標系を選択してください\r\n"},
      {"edges",
       [](DrawingSettings& s) {
         s.southEdge = "1e";
         s.eastEdge = "x";
       },
       "描画範囲値が異常です\r\n"},
      {"counts", [](DrawingSettings& s) { s.sheetRows = "2x"; }, "分割数が異常です\r\n"},
      {"zero columns", [](DrawingSettings& s) { s.sheetColumns = "0"; }, "分割数が異常です\r\n"},
      {"257 columns stop the checks",
       [](DrawingSettings& s) {
         s.sheetColumns = "257";
         s.datumCorrection = "x";
       },
       "横分割数は256以下に\r\n"},
      {"18278 rows", [](DrawingSettings& s) { s.sheetRows = "18278"; }, "縦分割数は18277以下に\r\n"},
      {"every sheet the counts allow",
       [](DrawingSettings& s) {
         s.sheetRows = "18277";
         s.sheetColumns = "256";
       },
       "分割数が多すぎます(横分割数×縦分割数は65536以下に)\r\n"},
      {"margins leave no paper",
       [](DrawingSettings& s) {
         s.marginLeft = 500;
         s.marginRight = 500;
       },
       "余白が大きすぎて描画する幅がありません\r\n"},
      {"margins leave no height", [](DrawingSettings& s) { s.marginTop = 1000; },
       "余白が大きすぎて描画する幅がありません\r\n"},
      {"corrections",
       [](DrawingSettings& s) {
         s.eastWestCorrection = "a";
         s.northSouthCorrection = "b";
         s.datumCorrection = "c";
         s.elevationExaggeration = "d";
       },
       "座標東西補正値が異常です\r\n座標南北補正値が異常です\r\n基準面補値が異常です\r\n標高強調倍率が異常です\r\n"},
      {"levels", [](DrawingSettings& s) { s.legendLevelChoice = -1; }, "メッシュ凡例数\r\n"},
      {"first legend cells",
       [](DrawingSettings& s) {
         s.resizeLegendTables();
         s.legendIntervals.setCell(0, 0, "x");
         s.legendBottoms.setCell(0, 0, "y");
       },
       "標高点凡例間隔が異常です\r\n等高線凡例間隔が異常です\r\n標高点凡例最下面が異常です\r\n等高線凡例最下面が異常で"
       "す\r\n"},
      {"typed legends",
       [](DrawingSettings& s) {
         s.legendAuto = false;
         s.sheetRows = "2";
         s.sheetColumns = "2";
         s.resizeLegendTables();
         s.legendIntervals.setCell(0, 1, "5");
         s.legendIntervals.setCell(1, 0, "q");
         s.legendIntervals.setCell(1, 1, "1");
         s.legendBottoms.setCell(0, 1, "-20000");
         s.legendBottoms.setCell(1, 1, "z");
       },
       "標高凡例間隔が異常です A1\r\n最下面が低すぎます\r\nメッシュ凡例間隔\r\nメッシュ凡例最下面が異常です\r\n"},
      {"sources differ",
       [](DrawingSettings& s) {
         s.meshSource = 1;
         s.contourSource = 2;
       },
       "標高メッシュと等高線は同じサイズを選んでください\r\n"},
      {"mesh and depressions",
       [](DrawingSettings& s) {
         s.meshSource = 1;
         s.contourSource = 1;
         s.contourTarget = 0;
       },
       "標高メッシュと窪地は同時に指定できません\r\n"},
      {"sections need elevation", [](DrawingSettings& s) { s.crossSectionsOn = true; },
       "断面図には標高Meshか等高線が必要です\r\n"},
      {"road width", [](DrawingSettings& s) { s.minRoadWidth = "wide"; }, "描画する道路の幅員設定が異常です\r\n"},
      {"illustration flavour",
       [](DrawingSettings& s) {
         s.fileFormat = 3;
         s.textFont = 2;
         s.initialSpace = 0;
       },
       "ファイル形式DXF Adobe Illustratorでは、他のフォントを選択してください\r\n"
       "ファイル形式DXF Adobe Illustratorでは、初期表示でモデルを選択してください\r\n"},
      {"scale out of the list", [](DrawingSettings& s) { s.scaleChoice = -1; }, "縮尺を選択してください\r\n"},
  };
  for (const auto& c : cases) {
    TempFolder temp;
    EXPECT_EQ(check(temp, c.edit).report, c.expected) << c.what;
  }
}

TEST(CheckSettings, WriteFolderMustBeSpeltInCp932) {
  TempFolder temp;
  const auto folder = temp / "地図 🗾";
  std::filesystem::create_directories(folder);
  auto c = check(temp, [&](DrawingSettings& s) { s.writeFolder = folder.string(); });
  EXPECT_EQ(c.report, "書込フォルダ名に 🗾 は使えません(シフトJISにない文字)\r\n");
}

TEST(CheckSettings, BothTenMetreSourcesPassOnlyWithAllContours) {
  TempFolder temp;
  EXPECT_EQ(check(temp,
                  [](DrawingSettings& s) {
                    s.meshSource = 1;
                    s.contourSource = 1;
                    s.contourTarget = 1;
                  })
                .report,
            "");
}

TEST(CheckSettings, EmptyEdgesAndCounts) {
  TempFolder temp;
  auto c = check(temp, [](DrawingSettings& s) {
    s.drawingUnit = 2;
    s.northEdge.clear();
    s.southEdge.clear();
    s.westEdge.clear();
    s.eastEdge.clear();
    s.sheetRows.clear();
  });
  EXPECT_NEAR(c.values.northEdge, 444444.444444, 1e-5);
  EXPECT_NEAR(c.values.southEdge, -444444.444444, 1e-5);
  EXPECT_NEAR(c.values.westEdge, -222222.222222, 1e-5);
  EXPECT_NEAR(c.values.eastEdge, 222222.222222, 1e-5);
  EXPECT_EQ(c.values.sheetRows, 1);
}

TEST(CheckSettings, PaperGeometryOfTheBuiltInPrinter) {
  TempFolder temp;
  // A3 is 297 x 420 mm = 7016 x 9921 px portrait; the printer is portrait, the sheet landscape.
  auto c = check(temp, [](DrawingSettings& s) { s.paperOrientation = 1; });
  const auto& v = c.values;
  EXPECT_FALSE(v.printerLandscape);
  EXPECT_DOUBLE_EQ(v.paperWidthMm, 9921 * 25.4 / 600);
  EXPECT_DOUBLE_EQ(v.paperHeightMm, 7016 * 25.4 / 600);
  EXPECT_DOUBLE_EQ(v.pageWidthMm, 9721 * 25.4 / 600);
  EXPECT_DOUBLE_EQ(v.pageOffsetXMm, 100 * 25.4 / 600);
  EXPECT_DOUBLE_EQ(v.pageRightGapMm, v.paperWidthMm - v.pageOffsetXMm - v.pageWidthMm);
  EXPECT_DOUBLE_EQ(v.usableWidthMm, v.pageWidthMm * 0.95 * 260 / 290);
  EXPECT_DOUBLE_EQ(v.usableHeightMm, v.pageHeightMm * 0.95);

  auto portrait = check(temp, [](DrawingSettings& s) {
    s.paperOrientation = 0;
    s.marginLeft = 5;
    s.marginTop = 7;
  });
  EXPECT_DOUBLE_EQ(portrait.values.paperWidthMm, 7016 * 25.4 / 600);
  EXPECT_DOUBLE_EQ(portrait.values.usableWidthMm, portrait.values.pageWidthMm * 0.95 * 260 / 290 - 5);
  EXPECT_DOUBLE_EQ(portrait.values.usableHeightMm, portrait.values.pageHeightMm * 0.95 - 7);
}

TEST(CheckSettings, SmallPrintableOffsetGetsTheMinimumGaps) {
  TempFolder temp;
  auto printers = printerWithPaper(200, 300, 47);  // 47 px at 600 dpi is about 2 mm
  auto c = check(
      temp,
      [](DrawingSettings& s) {
        s.printerName = "Test";
        s.paperSize = "P";
        s.paperOrientation = 0;
      },
      printers);
  ASSERT_EQ(c.report, "");
  EXPECT_DOUBLE_EQ(c.values.pageOffsetXMm, 3.175);
  EXPECT_DOUBLE_EQ(c.values.pageRightGapMm, 3.175);
  EXPECT_DOUBLE_EQ(c.values.pageWidthMm, c.values.paperWidthMm - 6.35);
  EXPECT_DOUBLE_EQ(c.values.pageBottomGapMm, 3.175);
}

TEST(CheckSettings, SheetLayoutFitToPaper) {
  TempFolder temp;
  auto c = check(temp, [](DrawingSettings& s) {
    s.sheetColumns = "2";
    s.sheetRows = "3";
    s.overlapPercent = 10;
  });
  const auto& v = c.values;
  // 2000000 wide over 2 columns with 10 % overlap: 0.1 + 2 * 0.9 = 1.9 sheets.
  EXPECT_DOUBLE_EQ(v.sheetWidth, 2000000 / 1.9);
  EXPECT_DOUBLE_EQ(v.sheetHeight, 2000000 / 2.8);
  EXPECT_DOUBLE_EQ(v.sheetStepWidth, 90 * v.sheetWidth / 100);
  double expected = v.sheetWidth / v.sheetHeight > v.usableWidthMm / v.usableHeightMm
                        ? v.sheetWidth / v.usableWidthMm
                        : v.sheetHeight / v.usableHeightMm;
  EXPECT_DOUBLE_EQ(v.unitsPerPaperMillimetre, expected);
  auto r = v.sheetRect(2, 1);
  EXPECT_DOUBLE_EQ(r.west, v.westEdge + 0.9 * v.sheetWidth);
  EXPECT_DOUBLE_EQ(r.north, v.northEdge - 2 * v.sheetStepHeight);
}

TEST(CheckSettings, FixedScaleWritesTheEdgesBack) {
  TempFolder temp;
  // Usable width = page * 0.95 * 260 / 290; choose the paper so that it is 180 mm.
  const double page = 180 / (0.95 * 260 / 290);
  auto printers = printerWithPaper(page + 20, 400, 236, 600);  // 236 px = 9.99 mm offset each side
  auto c = check(
      temp,
      [](DrawingSettings& s) {
        s.printerName = "Test";
        s.paperSize = "P";
        s.paperOrientation = 0;
        s.scaleChoice = 20;  // 1/25000
        s.sheetColumns = "2";
        s.overlapPercent = 10;
      },
      printers);
  ASSERT_EQ(c.report, "");
  const auto& v = c.values;
  EXPECT_DOUBLE_EQ(v.unitsPerPaperMillimetre, 25000);
  EXPECT_NEAR(v.usableWidthMm, 180, 0.05);
  EXPECT_DOUBLE_EQ(v.sheetWidth, v.usableWidthMm * 25000);
  double east = std::floor(v.sheetStepWidth + v.sheetWidth + -8000000);
  EXPECT_DOUBLE_EQ(v.eastEdge, east);
  EXPECT_EQ(c.settings.eastEdge, std::to_string(static_cast<long long>(east)));
  EXPECT_EQ(c.settings.northEdge, std::to_string(static_cast<long long>(std::floor(v.sheetHeight - 37000000))));
}

TEST(CheckSettings, AutomaticScaleTakesTheLargerOfWidthAndHeight) {
  TempFolder temp;
  // A sheet 400 m wide and 1000 m tall on an A3 landscape page (usable about 320 x 268 mm):
  // 1/1500 is enough across (267 mm) but the height needs 1/5000 (200 mm).
  auto c = check(temp, [](DrawingSettings& s) {
    s.scaleChoice = 1;
    s.northEdge = "-36000000";
    s.southEdge = "-37000000";
    s.westEdge = "-8000000";
    s.eastEdge = "-7600000";
  });
  ASSERT_EQ(c.report, "");
  EXPECT_DOUBLE_EQ(c.values.unitsPerPaperMillimetre, 5000);
}

TEST(CheckSettings, ElevationCellsAndFirstSheetGrid) {
  TempFolder temp;
  auto c = check(temp, [](DrawingSettings& s) { s.meshSource = 1; });
  const auto& v = c.values;
  EXPECT_DOUBLE_EQ(v.cellWidth, 0.4 / 3600);
  const double phi0 = 36.0 * M_PI / 180;
  const double south = -37000000;
  double half = (4e7 * std::cos(phi0) - std::sin(phi0) * 2 * M_PI * south / 1000) * (0.125 / 1125) / 360 / 2 * 1.027;
  EXPECT_DOUBLE_EQ(v.meshHalfWidths[1], half);
  EXPECT_DOUBLE_EQ(v.meshHalfHeights[1], 6.17);
  EXPECT_DOUBLE_EQ(v.meshCellWidth, 2 * 1000 * half);
  EXPECT_DOUBLE_EQ(v.meshCellHeight, 2 * 1000 * 6.17);
  // The first sheet is the whole 2 km square; at 0.4" cells that is about 200 x 170 cells
  // plus the outward snapping.
  EXPECT_GT(v.columnCount, 190);
  EXPECT_LT(v.columnCount, 215);
  EXPECT_GT(v.rowCount, 155);
  EXPECT_LT(v.rowCount, 175);
  EXPECT_LT(v.gridWest, v.gridEast);
  EXPECT_NEAR(std::remainder(v.gridWest, v.cellWidth), 0, 1e-12);
}

// A box off the globe has no cells to count: its counts are 0 and never an integer cast
// of an infinite or undefined number of cells.
TEST(CheckSettings, BoxWithoutFiniteEdgesHasNoCells) {
  const double inf = HUGE_VAL, cell = 0.4 / 3600;
  struct Case {
    const char* what;
    double west, east, south, north;
  };
  const Case cases[] = {
      {"no latitude", 139, 139.1, -inf, inf},
      {"not a number", NAN, 139.1, 36, 36.1},
      {"beyond the counts", -1e300, 1e300, 36, 36.1},
  };
  for (const auto& c : cases) {
    const auto box = settings::snapElevationBox(c.west, c.east, c.south, c.north, cell, cell);
    EXPECT_EQ(box.columnCount * box.rowCount, 0) << c.what;
  }
  const auto sound = settings::snapElevationBox(139, 139 + 100 * cell, 36, 36 + 50 * cell, cell, cell);
  // The snapping adds a cell or two on each side, as rounding falls.
  EXPECT_NEAR(static_cast<double>(sound.columnCount), 103, 1);
  EXPECT_NEAR(static_cast<double>(sound.rowCount), 53, 1);
}
