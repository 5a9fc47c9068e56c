#include <gtest/gtest.h>

#include "converter/geo/plane_coordinates.h"
#include "converter/settings/check_settings.h"
#include "converter/settings/start_checks.h"
#include "platform/printer_catalogue.h"
#include "tests/common/recording_host.h"
#include "tests/settings/fixture.h"

using namespace settings;

namespace {
struct Prepared {
  StartOutcome outcome;
  RecordingHost host;
};
StartOutcome prepare(DrawingSettings& s, RecordingHost& host) {
  platform::PrinterCatalogue printers;
  geo::PlaneCoordinates coords;
  RunValues values;
  return prepareRun(s, values, printers, coords, host);
}
}  // namespace

TEST(StartChecks, ColourCheckFollowsTheFlavour) {
  auto s = loadedSettings();
  for (auto& g : s.fgdLayers.groups)
    for (auto& item : g.items) item.on = false;
  itemByKey(s.fgdLayers, "BldA-1").on = true;
  itemByKey(s.fgdLayers, "BldA-1").entry.colour = 0x808080;  // entry 8
  itemByKey(s.fgdLayers, "BldA-2").on = true;
  itemByKey(s.fgdLayers, "BldA-2").entry.colour = 0x0000A5;  // (165, 0, 0), entry 12 only
  itemByKey(s.fgdLayers, "GCP-3").entry.colour = 0x010203;   // off: not listed
  s.mlitLayers[0].on = true;
  s.mlitLayers[0].colour = 0x010203;  // in no entry
  for (auto& g : s.basicInfoLayers.groups)
    for (auto& item : g.items) item.on = false;

  s.fileFormat = 2;
  EXPECT_EQ(layersWithoutPaletteColour(s), (std::vector<std::string>{"005建物堅ろう建物", "009土地利用"}));
  s.fileFormat = 1;
  EXPECT_EQ(layersWithoutPaletteColour(s), (std::vector<std::string>{"009土地利用"}));
  s.fileFormat = 0;
  EXPECT_TRUE(layersWithoutPaletteColour(s).empty());
  s.fileFormat = 3;
  EXPECT_TRUE(layersWithoutPaletteColour(s).empty());

  s.fileFormat = 1;
  RecordingHost host;
  EXPECT_EQ(prepare(s, host), StartOutcome::Refused);
  ASSERT_EQ(host.shown.size(), 1u);
  EXPECT_EQ(host.shown[0].caption, "色を修正してください");
  EXPECT_EQ(host.shown[0].text,
            "レイヤーの色を修正してください。(リストはクリップボードにあります)\r\n009土地利用\r\n");
  EXPECT_EQ(host.clipboard, "009土地利用\r\n");
}

TEST(StartChecks, SettingsReportIsShownAndNothingStarts) {
  TempFolder temp;
  auto s = validSettings(temp);
  s.mapName.clear();
  RecordingHost host;
  EXPECT_EQ(prepare(s, host), StartOutcome::Refused);
  ASSERT_EQ(host.shown.size(), 1u);
  EXPECT_EQ(host.shown[0].caption, "設定値を確認してください");
  EXPECT_EQ(host.clipboard, "地図名を設定してください\r\n");
}

TEST(StartChecks, MemoryAndRange) {
  DrawingSettings s;
  RunValues v;
  v.columnCount = 2000;
  v.rowCount = 2000;  // 4,000,000 cells
  s.meshSource = 1;
  EXPECT_EQ(memoryProblem(s, v).caption, "標高メッシュ限度");
  s.elevationBufferCells = 2 * kDefaultBufferCells;
  EXPECT_FALSE(memoryProblem(s, v).any());
  s.meshSource = kNoChoice;
  s.contourSource = 1;  // 8/10 of 4,194,304 is below 4,000,000
  EXPECT_EQ(memoryProblem(s, v).caption, "等高線限度");
  EXPECT_EQ(memoryProblem(s, v).text, "占有メモリーの拡大や描画範囲の分割が必要です");

  v.unitsPerMetre = 1;
  v.sheetWidth = -1;
  v.sheetHeight = 1e6 + 1;
  auto p = rangeProblem(v);
  EXPECT_EQ(p.caption, "描画範囲エラー");
  EXPECT_EQ(p.text, "西端は東端より小さい値に\r\n描画範囲上下が広すぎます\r\n");
  v.sheetWidth = 555556;
  v.sheetHeight = 0;
  EXPECT_EQ(rangeProblem(v).text, "南端は北端より小さい値に\r\n描画範囲横幅が広すぎます\r\n");
}

TEST(StartChecks, BuildingWarningSpansMoreThanOneThirdLevelMesh) {
  TempFolder temp;
  auto s = validSettings(temp);
  s.fgdLayers.groups[1].on = true;  // 建物
  s.minBuildingPerimeter = 10;
  platform::PrinterCatalogue printers;
  geo::PlaneCoordinates coords;
  RunValues v;
  ASSERT_EQ(checkSettings(s, printers, coords, v), "");
  EXPECT_TRUE(buildingWarningNeeded(s, v, coords));  // 2 km square covers several meshes
  s.minBuildingPerimeter = 0;
  EXPECT_FALSE(buildingWarningNeeded(s, v, coords));

  s.minBuildingPerimeter = 10;
  RecordingHost no(false);
  EXPECT_EQ(prepare(s, no), StartOutcome::Declined);
  ASSERT_EQ(no.shown.size(), 1u);
  EXPECT_EQ(no.shown[0].caption, "警告");
}

TEST(StartChecks, ExistingSheetFilesAreRemovedOnlyWhenTheUserAgrees) {
  TempFolder temp;
  auto s = validSettings(temp);
  s.sheetRows = "3";
  s.sheetColumns = "2";
  writeBytes(temp / "MB1.dxf", "old");
  writeBytes(temp / "M#index.dxf", "old");

  RecordingHost no(false);
  EXPECT_EQ(prepare(s, no), StartOutcome::Declined);
  EXPECT_TRUE(std::filesystem::exists(temp / "MB1.dxf"));
  ASSERT_EQ(no.shown.size(), 1u);
  EXPECT_EQ(no.shown[0].caption, "既存ファイルがあります");
  EXPECT_EQ(no.shown[0].text, "上書きしますか");

  RecordingHost yes(true);
  EXPECT_EQ(prepare(s, yes), StartOutcome::Ready);
  EXPECT_FALSE(std::filesystem::exists(temp / "MB1.dxf"));
  EXPECT_FALSE(std::filesystem::exists(temp / "M#index.dxf"));

  platform::PrinterCatalogue printers;
  geo::PlaneCoordinates coords;
  RunValues v;
  ASSERT_EQ(checkSettings(s, printers, coords, v), "");
  auto files = sheetFiles(s, v);
  ASSERT_EQ(files.size(), 6u);
  EXPECT_EQ(files[0].filename(), "MA0.dxf");
  EXPECT_EQ(files[1].filename(), "MA1.dxf");
  EXPECT_EQ(files[5].filename(), "MC1.dxf");
  EXPECT_EQ(resultFile(s, v).filename(), "M#index.dxf");
}

TEST(StartChecks, SingleSheetAsksWithItsName) {
  TempFolder temp;
  auto s = validSettings(temp);
  writeBytes(temp / "M.dxf", "old");
  RecordingHost yes(true);
  EXPECT_EQ(prepare(s, yes), StartOutcome::Ready);
  ASSERT_EQ(yes.shown.size(), 1u);
  EXPECT_EQ(yes.shown[0].text, "M.dxf を上書きしますか。");
  EXPECT_FALSE(std::filesystem::exists(temp / "M.dxf"));
}
