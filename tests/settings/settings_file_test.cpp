#include <gtest/gtest.h>

#include "converter/settings/choice_lists.h"
#include "converter/settings/settings_file.h"
#include "converter/settings/sheet_labels.h"
#include "platform/printer_catalogue.h"
#include "platform/profile.h"
#include "platform/text_codec.h"
#include "tests/settings/fixture.h"

using namespace settings;

namespace {
const platform::PrinterCatalogue& printers() {
  static platform::PrinterCatalogue catalogue;
  return catalogue;
}
void writeCp932(const std::filesystem::path& file, const std::string& utf8) {
  writeBytes(file, platform::utf8ToCp932(utf8));
}
DrawingSettings edited() {
  auto s = loadedSettings();
  s.mapName = "東京駅";
  s.writeFolder = "地図/出力";
  s.printerName = "Terralinea Paper";
  s.paperSize = "A3";
  s.paperOrientation = 0;
  s.textFont = 2;
  s.scaleChoice = 15;
  s.marginLeft = -5;
  s.fileFormat = 3;
  s.coordinateSystem = 33;
  s.northEdge = "-35000000";
  s.sheetColumns = "2";
  s.sheetRows = "3";
  s.overlapPercent = 10;
  s.eastWestCorrection = "12.5";
  s.setMeshSource(1, true);
  s.setContourSource(1, true);
  s.contourTarget = 2;
  s.datumCorrection = "-3";
  s.legendAuto = false;
  s.crossSectionAngle = 900;
  s.meshGridOn = true;
  s.meshGridColour = 0x0000FF;
  s.objectRankFilter = 3;
  s.symbolScale = "1.5";
  s.minBuildingPerimeter = 20;
  s.parallelSheets = true;
  itemByKey(s.fgdLayers, "RailCL-1").on = true;
  itemByKey(s.fgdLayers, "BldA-1").entry.colour = 0x123456;
  itemByKey(s.fgdLayers, "GCP-3").entry.sizeIndex = 20;
  itemByKey(s.fgdLayers, "GCP-3").entry.weightIndex = 9;
  s.mlitLayers[1].on = true;
  s.mlitLayers[1].styleCode = styleCode(14, 7);
  s.resizeLegendTables();
  s.legendIntervals.setCell(2, 1, "5000");
  s.legendBottoms.setCell(0, 0, "-2000");
  return s;
}
}  // namespace

TEST(SettingsFile, SaveLoadSaveGivesTheSameBytes) {
  TempFolder temp;
  auto s = edited();
  ASSERT_TRUE(saveSettings(temp / "a.trl", s));
  auto t = loadedSettings();
  loadSettings(temp / "a.trl", t, printers());
  ASSERT_TRUE(saveSettings(temp / "b.trl", t));
  EXPECT_EQ(readBytes(temp / "a.trl"), readBytes(temp / "b.trl"));

  EXPECT_EQ(t.mapName, "東京駅");
  EXPECT_EQ(t.paperOrientation, 0);
  EXPECT_EQ(t.textFont, 2);
  EXPECT_EQ(t.meshSource, 1);
  EXPECT_EQ(t.contourTarget, 2);
  EXPECT_FALSE(t.legendAuto);
  EXPECT_EQ(t.crossSectionAngle, 900);
  EXPECT_EQ(t.meshGridColour, 0x0000FFu);
  EXPECT_EQ(t.legendIntervals.cell(2, 1), "5000");
  EXPECT_EQ(t.legendBottoms.cell(0, 0), "-2000");
  EXPECT_TRUE(itemByKey(t.fgdLayers, "RailCL-1").on);
  EXPECT_EQ(itemByKey(t.fgdLayers, "BldA-1").entry.colour, 0x123456u);
  EXPECT_EQ(itemByKey(t.fgdLayers, "GCP-3").entry.sizeIndex, 20);
  EXPECT_EQ(t.mlitLayers[1].styleCode, styleCode(14, 7));
  EXPECT_TRUE(t.fgdLayers.groups[2].on);  // derived from its item
  EXPECT_TRUE(t.parallelSheets);

  // The file is CP932 with CR LF and the keys of the current version.
  std::string bytes = readBytes(temp / "a.trl");
  std::string text = platform::cp932ToUtf8(bytes);
  EXPECT_EQ(text.find("\n"), text.find("\r\n") + 1);
  EXPECT_NE(text.find("[kihon]\r\nver=13\r\n"), std::string::npos);
  EXPECT_NE(text.find("size=2\r\n"), std::string::npos);
  EXPECT_NE(text.find("subfolder=1\r\nheiretsu=1\r\n"), std::string::npos);
  EXPECT_NE(text.find("[GSI--LineWeight]"), std::string::npos);
  EXPECT_NE(text.find("GCP-3=5129\r\n"), std::string::npos);
  EXPECT_NE(text.find("BldA-1=$123456\r\n"), std::string::npos);
  EXPECT_NE(text.find("cb=1\r\ncolor=$0000FF\r\n"), std::string::npos);
  EXPECT_NE(text.find("C1=5000\r\n"), std::string::npos);
}

TEST(SettingsFile, SavingKeepsOtherKeysAndSmallerGridsUseTheirOwnKeys) {
  TempFolder temp;
  writeCp932(temp / "x.trl", "[kihon]\r\nfuture=1\r\n[other]\r\nkeep=me\r\n");
  auto s = edited();  // 3 x 2 grid, C1 holds a value
  ASSERT_TRUE(saveSettings(temp / "x.trl", s));
  s.sheetRows = "1";
  ASSERT_TRUE(saveSettings(temp / "x.trl", s));
  auto ini = platform::IniProfile::load(temp / "x.trl");
  EXPECT_EQ(ini.getString("kihon", "future", ""), "1");
  EXPECT_EQ(ini.getString("other", "keep", ""), "me");
  EXPECT_EQ(ini.getString("kankaku", "C1", ""), "5000");  // left from the first save

  auto t = loadedSettings();
  loadSettings(temp / "x.trl", t, printers());
  EXPECT_EQ(t.legendIntervals.rows(), 1);
  EXPECT_EQ(t.legendIntervals.cell(2, 1), "");
}

// The largest grid the counts allow loads in bounded time and memory: only the legend
// keys present are read, in either letter case, the first of a repeated key winning.
TEST(SettingsFile, LegendKeysOfTheLargestGridAreReadAsPresent) {
  TempFolder temp;
  const std::string last = settings::legendKey(18276, 255, 18277);
  writeCp932(temp / "huge.trl", "[kihon]\r\nver=13\r\n[area]\r\ntatediv=18277\r\nyokodiv=256\r\n[kankaku]\r\nA0=5\r\n" +
                                    last + "=7\r\na0=6\r\nB01=9\r\nA256=1\r\n[kamen]\r\nc2=-3\r\n");
  auto s = loadedSettings();
  loadSettings(temp / "huge.trl", s, printers());
  EXPECT_EQ(s.legendIntervals.rows(), 18277);
  EXPECT_EQ(s.legendIntervals.cell(0, 0), "5");
  EXPECT_EQ(s.legendIntervals.cell(18276, 255), "7");
  EXPECT_EQ(s.legendIntervals.cell(1, 1), "");  // "B01" names no cell
  EXPECT_EQ(s.legendBottoms.cell(2, 2), "-3");
}

TEST(SettingsFile, MissingFileAndGsiOnlyFileChangeNothingElse) {
  TempFolder temp;
  auto s = edited();
  auto before = s;
  loadSettings(temp / "none.trl", s, printers());
  EXPECT_EQ(s.mapName, before.mapName);
  EXPECT_EQ(s.sheetRows, before.sheetRows);

  writeCp932(temp / "gsi.trl", "[kihon]\r\nver=13\r\n[GSI-OnOff]\r\nBldA-1=0\r\n[GSI-Color]\r\nBldA-1=$00FF00\r\n");
  auto t = loadedSettings();
  t.mapName = "keep";
  t.paperSize = "A4";
  t.legendAuto = true;
  loadSettings(temp / "gsi.trl", t, printers());
  EXPECT_EQ(t.mapName, "keep");
  EXPECT_EQ(t.paperSize, "A4");
  EXPECT_FALSE(itemByKey(t.fgdLayers, "BldA-1").on);
  EXPECT_EQ(itemByKey(t.fgdLayers, "BldA-1").entry.colour, 0x00FF00u);
  EXPECT_TRUE(itemByKey(t.fgdLayers, "AdmArea-12").on);
  EXPECT_FALSE(t.parallelSheets);  // a file without the key: the main window stays sequential
}

TEST(SettingsFile, ValuesAreNormalisedOnLoad) {
  struct Case {
    const char* file;
    const char* text;
    int weight;
  } cases[] = {
      {"w18.trl", "[kihon]\r\nver=13\r\n[GSI--LineWeight]\r\nBldA-1=3090\r\n", 2},  // 1.00mm does not survive
      {"w0.trl", "[kihon]\r\nver=13\r\n[GSI--LineWeight]\r\nBldA-1=3072\r\n", 2},   // 既定値
      {"w15.trl", "[kihon]\r\nver=13\r\n[GSI--LineWeight]\r\nBldA-1=3087\r\n", 15},
      {"x.pvk", "[kihon]\r\nver=13\r\n[GSI--LineWeight]\r\nBldA-1=3075\r\n", 10},  // 4 x 3 - 2
  };
  for (const auto& c : cases) {
    TempFolder temp;
    writeCp932(temp / c.file, c.text);
    auto s = loadedSettings();
    loadSettings(temp / c.file, s, printers());
    EXPECT_EQ(itemByKey(s.fgdLayers, "BldA-1").entry.weightIndex, c.weight) << c.file;
    EXPECT_EQ(itemByKey(s.fgdLayers, "BldA-1").entry.sizeIndex, 12) << c.file;
  }
  TempFolder temp;
  writeCp932(temp / "big.trl",
             "[kihon]\r\nver=13\r\n[GSI--LineWeight]\r\nBldA-1=7682\r\n[tiikimesh]\r\nlineweight=3090\r\n");
  auto s = loadedSettings();
  loadSettings(temp / "big.trl", s, printers());
  EXPECT_EQ(itemByKey(s.fgdLayers, "BldA-1").entry.sizeIndex, 12);  // 30 is past the list
  EXPECT_EQ(s.meshGridStyle, 3073);                                 // an invalid mesh weight becomes 1
}

TEST(SettingsFile, KihonKeysOfOlderVersions) {
  struct Case {
    const char* text;
    int orientation;
    int font;
  } cases[] = {
      {"[kihon]\r\nver=13\r\nsize=4\r\nfont=2\r\n", 1, 2},
      {"[kihon]\r\nver=13\r\nsize=3\r\nfont=0\r\n", 0, 0},
      {"[kihon]\r\nver=9\r\nsize=6\r\nfont=5\r\n", 1, 2},  // before 10 the fonts were three further on
      {"[kihon]\r\nver=9\r\nsize=2\r\nfont=1\r\n", 0, 3},  // below 0 becomes 3
  };
  for (const auto& c : cases) {
    TempFolder temp;
    writeCp932(temp / "k.trl", c.text);
    auto s = loadedSettings();
    loadSettings(temp / "k.trl", s, printers());
    EXPECT_EQ(s.paperOrientation, c.orientation) << c.text;
    EXPECT_EQ(s.textFont, c.font) << c.text;
  }
}

TEST(SettingsFile, OutOfRangeAndJunkValuesLeaveChoicesUnselected) {
  TempFolder temp;
  writeCp932(temp / "bad.trl",
             "[kihon]\r\nver=13\r\ntanni=7\r\ntype=x\r\nsyukusyaku=-4\r\n[area]\r\nzahyokei=99\r\n"
             "[alti]\r\nhanreisu=12\r\n");
  auto s = loadedSettings();
  loadSettings(temp / "bad.trl", s, printers());
  EXPECT_EQ(s.drawingUnit, kNoChoice);
  EXPECT_EQ(s.fileFormat, 0);  // not an integer: the current value stays
  EXPECT_EQ(s.scaleChoice, kNoChoice);
  EXPECT_EQ(s.coordinateSystem, kNoChoice);
  EXPECT_EQ(s.legendLevelChoice, kNoChoice);

  // Binary junk and a truncated file load without harm.
  std::string junk;
  for (int i = 0; i < 4096; ++i) junk += static_cast<char>((i * 7919) & 0xFF);
  writeBytes(temp / "junk.trl", junk);
  auto t = loadedSettings();
  loadSettings(temp / "junk.trl", t, printers());
  writeBytes(temp / "cut.trl", platform::utf8ToCp932("[kihon]\r\nver=13\r\n[area]\r\nnamae=途中"));
  loadSettings(temp / "cut.trl", t, printers());
  EXPECT_EQ(t.mapName, "途中");
}

TEST(SettingsFile, Utf16FilesLoad) {
  TempFolder temp;
  auto s = edited();
  ASSERT_TRUE(saveSettings(temp / "a.trl", s));
  std::string utf8 = platform::cp932ToUtf8(readBytes(temp / "a.trl"));
  writeBytes(temp / "u.trl", platform::encodeText(utf8, platform::TextEncoding::Utf16Le));
  auto t = loadedSettings();
  loadSettings(temp / "u.trl", t, printers());
  EXPECT_EQ(t.mapName, "東京駅");
  EXPECT_EQ(t.legendIntervals.cell(2, 1), "5000");
  // Saving into it keeps its encoding.
  ASSERT_TRUE(saveSettings(temp / "u.trl", t));
  EXPECT_EQ(readBytes(temp / "u.trl").substr(0, 2), "\xFF\xFE");
}

TEST(SettingsFile, LegacyLayerKeys) {
  TempFolder temp;
  // Version 5: numbered keys in section gml; size becomes 12.
  writeCp932(temp / "v5.trl",
             "[kihon]\r\nver=5\r\n[gml]\r\ncb11=1\r\ncolor11=$0000FF\r\nlineweight11=7\r\ncb13=1\r\ncolor13=255\r\n"
             "cb1=1\r\ncolor1=$00FF00\r\n");
  auto s = loadedSettings();
  itemByKey(s.fgdLayers, "GCP-3").on = true;
  loadSettings(temp / "v5.trl", s, printers());
  EXPECT_TRUE(itemByKey(s.fgdLayers, "RailCL-1").on);
  EXPECT_EQ(itemByKey(s.fgdLayers, "RailCL-2").entry.colour, 0x0000FFu);
  EXPECT_EQ(itemByKey(s.fgdLayers, "RailCL-2").entry.weightIndex, 7);
  EXPECT_TRUE(itemByKey(s.fgdLayers, "BldA-2").on);
  EXPECT_EQ(itemByKey(s.fgdLayers, "AdmArea-23").entry.colour, 0x00FF00u);
  EXPECT_FALSE(itemByKey(s.fgdLayers, "GCP-3").on);  // legacy on/off defaults to off
  // Before version 8 the basic tree is reset.
  for (const auto& g : s.basicInfoLayers.groups)
    for (const auto& item : g.items) EXPECT_FALSE(item.on);
  EXPECT_EQ(s.symbolScale, "1.0");

  // Version 9: one entry for every item whose key contains "RailCL".
  writeCp932(temp / "v9.trl",
             "[kihon]\r\nver=9\r\n[GSI-OnOff]\r\nRailCL=1\r\n[GSI-Color]\r\nRailCL=$00A0FF\r\n[KKJ-Color]\r\nAdmArea=$"
             "FF0000\r\n");
  auto t = loadedSettings();
  loadSettings(temp / "v9.trl", t, printers());
  EXPECT_EQ(itemByKey(t.fgdLayers, "RailCL-1").entry.colour, 0x00A0FFu);
  EXPECT_EQ(itemByKey(t.fgdLayers, "RailCL-2").entry.colour, 0x00A0FFu);
  EXPECT_TRUE(itemByKey(t.fgdLayers, "RailCL-2").on);
  EXPECT_EQ(itemByKey(t.basicInfoLayers, "AdmArea-12").entry.colour, 0xFF0000u);

  // Version 10: the basic tree's RailCL-9 was RailCL-8.
  writeCp932(temp / "v10.trl", "[kihon]\r\nver=10\r\n[KKJ-OnOff]\r\nRailCL-8=1\r\n[KKJ-Color]\r\nRailCL-8=$0000AA\r\n");
  auto u = loadedSettings();
  loadSettings(temp / "v10.trl", u, printers());
  EXPECT_TRUE(itemByKey(u.basicInfoLayers, "RailCL-9").on);
  EXPECT_EQ(itemByKey(u.basicInfoLayers, "RailCL-9").entry.colour, 0x0000AAu);
}

TEST(SettingsFile, ElevationSourcesOfOlderVersions) {
  struct Case {
    const char* text;
    int mesh, contour;
  } cases[] = {
      {"[kihon]\r\nver=6\r\n[alti]\r\ncb17=1\r\ncb22=1\r\n", 1, 2},
      {"[kihon]\r\nver=7\r\n[alti]\r\ncb16=1\r\ncb24=1\r\ncb25=1\r\n", 4, 4},  // the last "on" wins
      {"[kihon]\r\nver=13\r\n[alti]\r\nalti50=1\r\ncont250=1\r\n", 2, 3},
      {"[kihon]\r\nver=13\r\n[alti]\r\nalti5=0\r\n", 1, -1},  // absent keys keep the current box
  };
  for (const auto& c : cases) {
    TempFolder temp;
    writeCp932(temp / "e.trl", c.text);
    auto s = loadedSettings();
    s.meshSource = 1;
    loadSettings(temp / "e.trl", s, printers());
    EXPECT_EQ(s.meshSource, c.mesh) << c.text;
    EXPECT_EQ(s.contourSource, c.contour) << c.text;
  }
}

TEST(SettingsFile, NationalLandItemsOfOlderVersions) {
  TempFolder temp;
  writeCp932(temp / "v5.trl", "[kihon]\r\nver=5\r\n[JPGIS]\r\ncb1=1\r\ncolor1=$00FFFF\r\nlineweight1=4\r\n");
  auto s = loadedSettings();
  loadSettings(temp / "v5.trl", s, printers());
  EXPECT_FALSE(s.mlitLayers[0].on);
  EXPECT_EQ(s.mlitLayers[0].styleCode, 3073);  // 1 + 3072
  EXPECT_TRUE(s.mlitLayers[1].on);
  EXPECT_EQ(s.mlitLayers[1].colour, 0x00FFFFu);
  EXPECT_EQ(s.mlitLayers[1].styleCode, 3076);
}

TEST(SettingsFile, ProposedSaveNames) {
  EXPECT_EQ(proposedSaveName("dir/x.pvk"), std::optional<std::string>("x.trl"));
  EXPECT_EQ(proposedSaveName(utf8Path("dir/Checkclear.trl")), std::nullopt);
  EXPECT_EQ(proposedSaveName(utf8Path("基盤地図情報標準.trl")), std::nullopt);
  EXPECT_EQ(colourText(0x0000FF), "$0000FF");
}

TEST(SettingsFile, SaveIntoMissingFolderFails) {
  TempFolder temp;
  auto s = edited();
  std::string error;
  EXPECT_FALSE(saveSettings(temp / "no" / "such" / "x.trl", s, &error));
  EXPECT_FALSE(error.empty());
}
