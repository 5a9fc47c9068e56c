#include <gtest/gtest.h>

#include "converter/settings/choice_lists.h"
#include "converter/settings/drawing_settings.h"
#include "converter/settings/layer_tree.h"
#include "tests/settings/fixture.h"

using namespace settings;

TEST(ChoiceLists, CoordinateSystemItemsAndZones) {
  const auto& items = coordinateSystemItems();
  ASSERT_EQ(items.size(), 56u);
  EXPECT_EQ(items[0], "第 1座標系 長崎県");
  EXPECT_EQ(items[33], "第 9座標系 東京都の本州部");
  EXPECT_EQ(items[55], "第19座標系 東京都 南鳥島");
  int last = 0;
  for (const auto& item : items) {
    int zone = zoneFromItemText(item);
    EXPECT_GE(zone, last) << item;
    EXPECT_LE(zone, 19);
    last = zone;
  }
  EXPECT_EQ(zoneFromItemText("第10座標系 青森県"), 10);
  EXPECT_EQ(zoneFromItemText("第 x座標系"), 0);
  EXPECT_EQ(zoneFromItemText(""), 0);
}

TEST(ChoiceLists, StyleListsAndScales) {
  EXPECT_EQ(kSizeItems[12], "1.00");
  EXPECT_EQ(kWeightCodes[0], -3);
  EXPECT_EQ(kWeightCodes[24], 211);
  EXPECT_EQ(kWeightItems[18], "1.00mm");
  EXPECT_EQ(kScaleItems[20], "1/25000");
  EXPECT_EQ(kScaleDenominators[20], 25000);
  EXPECT_EQ(kScaleDenominators[1], 1);
  EXPECT_EQ(styleCode(12, 1), 3073);
  EXPECT_EQ(kFileFormatItems[1], "DXF 2000  255色");
}

TEST(CouplingRules, ElevationSourcesAreExclusive) {
  DrawingSettings s;
  s.setMeshSource(0, true);
  s.setMeshSource(1, true);
  EXPECT_EQ(s.meshSource, 1);
  s.setMeshSource(0, false);  // another box off: no change
  EXPECT_EQ(s.meshSource, 1);
  s.setMeshSource(1, false);
  EXPECT_EQ(s.meshSource, kNoChoice);
  s.setContourSource(4, true);
  EXPECT_EQ(s.contourSource, 4);
  EXPECT_EQ(s.meshSource, kNoChoice);
}

TEST(CouplingRules, FileFormatShortensTheLegendLevelList) {
  DrawingSettings s;
  s.legendLevelChoice = 7;  // 129段階
  s.fileFormat = 2;
  s.applyFileFormatRules();
  EXPECT_EQ(s.legendLevelItemCount(), 3);
  EXPECT_EQ(s.legendLevelChoice, 2);  // 5段階
  EXPECT_FALSE(s.legendColourControlsVisible());
  s.fileFormat = 0;
  s.applyFileFormatRules();
  EXPECT_EQ(s.legendLevelItemCount(), 8);
  EXPECT_EQ(s.legendLevelChoice, 2);
  EXPECT_TRUE(s.legendColourControlsVisible());
  s.fileFormat = 1;
  s.legendLevelChoice = 6;
  s.applyFileFormatRules();
  EXPECT_EQ(s.legendLevelChoice, 4);
}

TEST(CouplingRules, SheetSizeText) {
  struct Case {
    const char *north, *south, *west, *east, *cols, *rows;
    int overlap;
    const char* expected;
  } cases[] = {
      {"1000", "0", "0", "3000", "1", "1", 0, "高:1000 幅:3000"},
      {"1000", "0", "0", "1900", "2", "1", 10, "高:1000 幅:1000"},
      {"0", "0", "0", "100", "1", "1", 0, ""},   // north not above south
      {"10", "0", "0", "abc", "1", "1", 0, ""},  // east does not parse
      {"10", "0", "0", "10", "", "1", 0, ""},    // count does not parse
  };
  for (const auto& c : cases) {
    DrawingSettings s;
    s.northEdge = c.north, s.southEdge = c.south, s.westEdge = c.west, s.eastEdge = c.east;
    s.sheetColumns = c.cols, s.sheetRows = c.rows, s.overlapPercent = c.overlap;
    EXPECT_EQ(s.sheetSizeText(), c.expected) << c.north << " " << c.east;
  }
}

TEST(CouplingRules, OverlapVisibilityScaleAndTyping) {
  DrawingSettings s;
  EXPECT_FALSE(s.overlapVisible());
  s.sheetRows = "2";
  EXPECT_TRUE(s.overlapVisible());
  s.scaleChoice = 20;
  EXPECT_FALSE(s.northEastEdgesEditable());
  s.scaleChoice = 1;
  EXPECT_TRUE(s.northEastEdgesEditable());
  EXPECT_EQ(filterTyped("-12a.5e3 "), "-12.53");
}

TEST(LayerTree, GroupsFollowTheirItems) {
  auto s = loadedSettings();
  auto& tree = s.fgdLayers;
  ASSERT_EQ(tree.groups.size(), 4u);
  auto& rail = tree.groups[2];
  EXPECT_EQ(rail.caption, "鉄道");
  EXPECT_FALSE(rail.on);        // all items start off
  EXPECT_FALSE(rail.expanded);  // and the group is collapsed
  toggleItem(tree, 2, 1);
  EXPECT_TRUE(rail.on);
  toggleGroup(tree, 2);
  EXPECT_FALSE(rail.on);
  EXPECT_FALSE(rail.items[1].on);

  auto& building = tree.groups[1];
  EXPECT_EQ(building.entry.colour, 0u);  // items differ
  restyleItem(tree, 1, 1, 0x808080, 2, 12);
  EXPECT_EQ(building.entry.colour, 0x808080u);
  EXPECT_EQ(building.entry.weightIndex, 2);
  restyleGroup(tree, 1, 0x123456, 9, 14);
  for (const auto& item : building.items) {
    EXPECT_EQ(item.entry.colour, 0x123456u);
    EXPECT_EQ(item.entry.weightIndex, 9);
    EXPECT_EQ(item.entry.sizeIndex, 14);
  }
}
