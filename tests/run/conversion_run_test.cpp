#include <gtest/gtest.h>

#include <cstdlib>

#include "converter/geo/plane_coordinates.h"
#include "converter/run/conversion_run.h"
#include "converter/run/run_outcome.h"
#include "converter/run/scripts.h"
#include "converter/settings/check_settings.h"
#include "platform/printer_catalogue.h"
#include "platform/text_codec.h"
#include "tests/common/recording_host.h"
#include "tests/common/whole_run.h"
#include "tests/settings/fixture.h"

using namespace settings;

namespace {

// Records the order in which files appear in the folder, by watching progress.
struct Run {
  run::RunResult result;
  std::string anomalies;
  std::vector<RecordingHost::Shown> shown;
};

class AbortingHost : public RecordingHost {
 public:
  int abortAtPump = -1;  // abort from this pump on
  bool abortRequested() const override { return abortAtPump >= 0 && pumps >= abortAtPump; }
};

Run runOnce(DrawingSettings& s, AbortingHost& host) {
  const WholeRun w = runConversion(s, host);
  EXPECT_EQ(w.report, "");
  return Run{w.result, w.anomalies, host.shown};
}

std::vector<std::string> lines(const std::filesystem::path& file) {
  std::string text = platform::cp932ToUtf8(readBytes(file));
  std::vector<std::string> out;
  for (std::size_t at = 0; at < text.size();) {
    auto end = text.find("\r\n", at);
    if (end == std::string::npos) {
      out.push_back(text.substr(at));
      break;
    }
    out.push_back(text.substr(at, end - at));
    at = end + 2;
  }
  return out;
}

}  // namespace

TEST(ConversionRun, ThreeRowsByTwoColumns) {
  TempFolder temp;
  auto s = validSettings(temp);
  s.sheetRows = "3";
  s.sheetColumns = "2";
  AbortingHost host;
  auto r = runOnce(s, host);
  ASSERT_EQ(r.result, run::RunResult::Completed);
  std::vector<std::string> names;
  for (const char* name : {"MA0", "MA1", "MB0", "MB1", "MC0", "MC1"}) {
    auto file = temp / (std::string(name) + ".dxf");
    EXPECT_TRUE(std::filesystem::exists(file)) << name;
  }
  // Written in run order: each later sheet is not older than the one before.
  auto script = lines(temp / "dxftodwg.scr");
  ASSERT_EQ(script.size(), 36u);
  EXPECT_EQ(script[0], "open");
  EXPECT_EQ(script[1], "\"" + pathText(temp / "MA0.dxf") + "\"");
  EXPECT_EQ(script[3], "\"" + pathText(temp / "MA0.dwg") + "\"");
  EXPECT_EQ(script[5], ";");
  EXPECT_EQ(script[7], "\"" + pathText(temp / "MA1.dxf") + "\"");
  EXPECT_EQ(script[31], "\"" + pathText(temp / "MC1.dxf") + "\"");
  EXPECT_FALSE(std::filesystem::exists(temp / "hyoko.scr"));
  // The index follows the script, with no problem to report (the data folder has no outlines).
  EXPECT_EQ(r.anomalies, "");
  std::string command = "/usr/bin/python3 '" + std::string(TERRALINEA_SOURCE_DIR) + "/tests/tools/dxf_audit.py'";
  for (const char* name : {"MA0", "MA1", "MB0", "MB1", "MC0", "MC1", "M#index"})
    command += " '" + (temp / name).string() + ".dxf'";
  EXPECT_EQ(std::system(command.c_str()), 0);
}

TEST(ConversionRun, OneSheetWritesTheElevationLayerScript) {
  TempFolder temp;
  auto s = validSettings(temp);
  s.legendLevelChoice = 2;  // 4 intervals
  AbortingHost host;
  ASSERT_EQ(runOnce(s, host).result, run::RunResult::Completed);
  EXPECT_TRUE(std::filesystem::exists(temp / "M.dxf"));
  EXPECT_FALSE(std::filesystem::exists(temp / "dxftodwg.scr"));
  EXPECT_FALSE(std::filesystem::exists(temp / "M#index.dxf"));
  auto script = lines(temp / "hyoko.scr");
  ASSERT_EQ(script.size(), 296u);
  EXPECT_EQ(script[0], "-layer");
  EXPECT_EQ(script[1], "OF");
  EXPECT_TRUE(script[2].ends_with("未満\"")) << script[2];
  EXPECT_EQ(script[3], "");
  EXPECT_EQ(script[4], "_redrawall");
  EXPECT_EQ(script.back(), ";");
  // Level 0 is the last layer switched on.
  EXPECT_EQ(script[296 - 1 - 30 - 2], script[2]);
  EXPECT_EQ(script[296 - 1 - 30 - 3], "ON");
}

TEST(ConversionRun, SheetsFollowTheOverlap) {
  TempFolder temp;
  auto s = validSettings(temp);
  s.sheetColumns = "2";
  s.overlapPercent = 10;
  platform::PrinterCatalogue printers;
  geo::PlaneCoordinates coords;
  RunValues v;
  ASSERT_EQ(checkSettings(s, printers, coords, v), "");
  EXPECT_DOUBLE_EQ(v.sheetRect(0, 1).west - v.sheetRect(0, 0).west, 0.9 * v.sheetWidth);
}

TEST(ConversionRun, LegendDecimals) {
  struct Case {
    double interval, bottom;
    int decimals;
  } cases[] = {
      {2.5, 0, 1}, {2.25, 0, 2}, {5, 0, 0}, {5, 0.5, 1}, {5, 0.25, 2}, {2.5, 0.05, 2}, {2.5, 0.5, 1}, {1, 0, 0},
  };
  for (const auto& c : cases)
    EXPECT_EQ(run::legendDecimals(c.interval, c.bottom), c.decimals) << c.interval << " " << c.bottom;

  // Cells in a millimetre drawing: 2500 is 2.5 m; empty cells give 1 m and 0.
  TempFolder temp;
  auto s = validSettings(temp);
  s.legendAuto = false;
  s.resizeLegendTables();
  s.legendIntervals.setCell(0, 0, "2500");
  AbortingHost host;
  ASSERT_EQ(runOnce(s, host).result, run::RunResult::Completed);
  auto script = lines(temp / "hyoko.scr");
  EXPECT_EQ(script[2], "\"標高MESH  0_0未満\"");
}

TEST(ConversionRun, WorkersTheMemoryHolds) {
  constexpr unsigned long long kBuffer = 32ull << 20;
  struct Case {
    const char* name;
    int wanted;
    unsigned long long available;
    int workers;
  } cases[] = {
      {"memory unknown", 4, 0, 4},
      {"room for all", 2, 2 * kBuffer, 2},
      {"room for one more buffer", 4, kBuffer, 2},
      {"no room for another buffer", 2, kBuffer - 1, 1},
      {"the run's own buffer is always there", 3, 0 + 1, 1},
      {"one asked for", 1, 100 * kBuffer, 1},
  };
  for (const auto& c : cases) EXPECT_EQ(run::workersForMemory(c.wanted, c.available, kBuffer), c.workers) << c.name;
}

TEST(ConversionRun, AbortDuringTheCountingPass) {
  {
    // With an elevation source the run stops before the first sheet file exists.
    TempFolder temp;
    auto s = validSettings(temp);
    s.meshSource = 1;
    AbortingHost host;
    host.abortAtPump = 0;
    EXPECT_EQ(runOnce(s, host).result, run::RunResult::Stopped);
    EXPECT_FALSE(std::filesystem::exists(temp / "M.dxf"));
    EXPECT_FALSE(std::filesystem::exists(temp / "hyoko.scr"));
  }
  {
    // Without one it stops after the first sheet's LAYER table; the sheet begun is not
    // left under its name (nor as a partial file), and an earlier sheet of that name stays.
    TempFolder temp;
    auto s = validSettings(temp);
    writeBytes(temp / "M.dxf", "an earlier sheet");
    AbortingHost host;
    host.abortAtPump = 0;
    auto r = runOnce(s, host);
    EXPECT_EQ(r.result, run::RunResult::Stopped);
    EXPECT_EQ(readBytes(temp / "M.dxf"), "an earlier sheet");
    EXPECT_FALSE(std::filesystem::exists(temp / ".M.dxf.part"));
    EXPECT_TRUE(r.shown.empty());  // an abort shows nothing
  }
}

TEST(ConversionRun, PaletteFlavourStopsWithItsMessage) {
  TempFolder temp;
  auto s = validSettings(temp);
  s.fileFormat = 1;
  itemByKey(s.fgdLayers, "BldA-1").entry.colour = 0x010203;
  AbortingHost host;
  auto r = runOnce(s, host);
  EXPECT_EQ(r.result, run::RunResult::Stopped);
  ASSERT_EQ(r.shown.size(), 1u);
  EXPECT_EQ(r.shown[0].caption, "処理中断");
  EXPECT_EQ(r.shown[0].text, "TrueColorは使えません");
}

TEST(ConversionRun, SheetFileThatCannotBeCreatedStopsTheRun) {
  TempFolder temp;
  auto s = validSettings(temp);
  s.sheetColumns = "2";
  std::filesystem::create_directories(temp / "MA0.dxf");  // a folder where the first sheet goes
  AbortingHost host;
  auto r = runOnce(s, host);
  EXPECT_EQ(r.result, run::RunResult::Failed);
  ASSERT_EQ(r.shown.size(), 1u);
  EXPECT_EQ(r.shown[0].caption, "警告");
  EXPECT_EQ(r.shown[0].text, "ファイルを開けません、他のソフトで開いていませんか。");
  EXPECT_FALSE(std::filesystem::exists(temp / "MA1.dxf"));
  EXPECT_FALSE(std::filesystem::exists(temp / "dxftodwg.scr"));
  EXPECT_FALSE(std::filesystem::exists(temp / "M#index.dxf"));
}

TEST(ConversionRun, ScriptThatCannotBeWrittenIsReported) {
  TempFolder temp;
  auto s = validSettings(temp);
  std::filesystem::create_directories(temp / "hyoko.scr");
  AbortingHost host;
  auto r = runOnce(s, host);
  EXPECT_EQ(r.result, run::RunResult::Failed);
  ASSERT_EQ(r.shown.size(), 1u);
  EXPECT_NE(r.shown[0].text.find("hyoko.scr"), std::string::npos);
}

TEST(RunOutcome, ElapsedTime) {
  EXPECT_EQ(run::elapsedTimeText(5), "所要時間は 5秒でした。");
  EXPECT_EQ(run::elapsedTimeText(65), "所要時間は 1分5秒でした。");
  EXPECT_EQ(run::elapsedTimeText(3725), "所要時間は 1時間2分5秒でした。");
  EXPECT_EQ(
      run::completionText(5, true, "M"),
      "所要時間は 5秒でした。\r\n\r\n作成した地図を公表する場合は、測量法、国土情報利用約款に従ってください。\r\n\r\n"
      "地図のファイルを開きますか。");
  EXPECT_TRUE(run::completionText(5, false, "M").ends_with("目次ファイル(M#index.dxf)を開きますか。"));
}
