// The drawing model of small files: colours, blocks, MTEXT strings, fixed LWPOLYLINE
// positions, blanks around values, repeated sections, header variables, view records,
// layouts and the faults the reader mends or refuses.
#include <gtest/gtest.h>

#include "platform/text_codec.h"
#include "tests/viewer/dxf_fixture.h"

using namespace viewer_test;

namespace {

struct ModelCase {
  const char* name;
  std::string file;  // UTF-8, written in CP932
  const char* ops;   // model space, described
};

const std::string kTables = layerTable({"A|1", "Off|-3", "Green|3"});

std::string withBlocks(std::string_view blocks, std::string_view entities) {
  return kTables + pairs("0|SECTION|2|BLOCKS") + pairs(blocks) + pairs("0|ENDSEC") + entitiesSection(entities) + kEof;
}

std::string plain(std::string_view entities) { return kTables + entitiesSection(entities) + kEof; }

const ModelCase kCases[] = {
    {"a layer switched off keeps its colour", plain("0|LINE|8|Off|11|1"),
     "push; colour(0 1 0); lineStrip(0 0 0, 1 0 0); pop"},
    {"62 with 420 gives the true colour", plain("0|LINE|8|A|62|5|420|65280|11|1"),
     "push; colour(0 1 0); lineStrip(0 0 0, 1 0 0); pop"},
    {"62 alone gives the table entry", plain("0|LINE|8|A|62|5|11|1"),
     "push; colour(0 0 1); lineStrip(0 0 0, 1 0 0); pop"},
    {"420 without 62 is the layer's colour", plain("0|LINE|8|A|420|65280|11|1"),
     "push; colour(1 0 0); lineStrip(0 0 0, 1 0 0); pop"},
    {"62 by layer (256) is the layer's colour", plain("0|LINE|8|A|62|256|11|1"),
     "push; colour(1 0 0); lineStrip(0 0 0, 1 0 0); pop"},
    {"layer names compare without case", plain("0|LINE|8|green|11|1"),
     "push; colour(0 1 0); lineStrip(0 0 0, 1 0 0); pop"},
    {"anonymous blocks draw nothing, even inserted",
     withBlocks("0|BLOCK|2|*U1|70|1|0|LINE|11|1|0|ENDBLK|0|BLOCK|2|NoFlags|0|LINE|11|1|0|ENDBLK",
                "0|INSERT|8|A|2|*U1|0|INSERT|8|A|2|NoFlags"),
     ""},
    {"a font switch leaves the text between ; and }",
     plain("0|MTEXT|8|A|40|1|1|{\\fＭＳ ゴシック\\|b0\\|i0\\|c128\\|p49;地図}x"),
     "push; colour(1 0 0); translate(0 -1 0); scale(1 1 1); rotate(0 about 0 0 1); text(\"地図\"); pop"},
    {"a first ; at the start keeps the string whole", plain("0|MTEXT|8|A|40|1|1|;a}b"),
     "push; colour(1 0 0); translate(0 -1 0); scale(1 1 1); rotate(0 about 0 0 1); text(\";a}b\"); pop"},
    {"a ; without } leaves nothing", plain("0|MTEXT|8|A|40|1|1|{\\fA;abc"), ""},
    // Pairs from the first 10: 10 20 40 41 10 20 42 10 20 — vertex 1 finds 40 and 41 at
    // its places and keeps vertex 0's coordinates.
    {"lwpolyline vertices by fixed positions",
     plain("0|LWPOLYLINE|8|A|90|3|70|0|10|0|20|0|40|1|41|1|10|5|20|0|42|0.5|10|5|20|5"),
     "push; colour(1 0 0); lineStrip(0 0 1, 0 0 1, 5 0 1); pop"},
    {"leading blanks are removed from codes and values", plain("  0|  LINE|  8|A|  10|   2|11|  1"),
     "push; colour(1 0 0); lineStrip(2 0 0, 1 0 0); pop"},
    {"trailing blanks stay", plain("0|LINE |8|A|11|1|0 |LINE|8|A|11|1"), ""},
    {"a second ENTITIES section replaces the first",
     kTables + entitiesSection("0|LINE|8|A|11|1") + entitiesSection("0|LINE|8|A|11|2") + kEof,
     "push; colour(1 0 0); lineStrip(0 0 0, 2 0 0); pop"},
    {"a section with a trailing blank is passed over",
     kTables + pairs("0|SECTION|2|ENTITIES ") + pairs("0|LINE|8|A|11|1|0|ENDSEC") + kEof, ""},
    {"a block defined after the block inserting it",
     withBlocks("0|BLOCK|2|Outer|70|0|0|INSERT|2|Inner|0|ENDBLK|0|BLOCK|2|Inner|70|0|0|LINE|11|1|0|ENDBLK",
                "0|INSERT|8|A|2|OUTER"),
     "push; colour(1 0 0); translate(0 0 0); scale(1 1 1); rotate(0 about 0 0 1); callBlock(Outer); pop"},
    {"paper-space entities are left to their layout", plain("0|LINE|8|A|67|1|11|1|0|LINE|8|A|67|0|11|2"),
     "push; colour(1 0 0); lineStrip(0 0 0, 2 0 0); pop"},
    {"entities without sections around them are passed over", pairs("0|LINE|8|A|11|1") + kEof, ""},
};

TEST(DrawingModel, EdgeCasesOfTheModel) {
  TempFolder temp;
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    auto l = loadText(temp, platform::utf8ToCp932(c.file));
    ASSERT_TRUE(l.ok) << l.error.text;
    EXPECT_EQ(describe(l.drawing.modelSpace, l.drawing), c.ops);
  }
}

TEST(DrawingModel, LayersBlocksAndLookups) {
  TempFolder temp;
  auto l = loadText(
      temp, withBlocks("0|BLOCK|330|1F|2|Mark|70|0|0|ENDBLK|0|BLOCK|2|*U1|70|1|0|ENDBLK|0|BLOCK|2|Late|70|2|0|ENDBLK",
                       "0|LINE|8|A|11|1"));
  ASSERT_TRUE(l.ok) << l.error.text;
  const auto& d = l.drawing;
  ASSERT_EQ(d.layers.size(), 3u);
  EXPECT_EQ(d.layers[1].name, "Off");
  EXPECT_EQ(d.layers[0].colour, (viewer::Rgb{1, 0, 0}));
  EXPECT_EQ(d.layerIndex("off"), 1);
  EXPECT_EQ(d.layerIndex("Nothing"), -1);
  ASSERT_EQ(d.blocks.size(), 3u);
  EXPECT_EQ(d.blockIndex("MARK"), 0);
  EXPECT_EQ(d.blockIndex("late"), 2);
  EXPECT_FALSE(d.blocks[1].compiled);
  EXPECT_TRUE(d.blocks[2].compiled);  // any 70 but "1"
  EXPECT_EQ(d.blockOfOwner(0x1F), 0);
  EXPECT_EQ(d.blockOfOwner(0x99), -1);
  EXPECT_EQ(d.entityCounts, (std::vector<std::pair<std::string, long long>>{{"LINE", 1}}));
}

TEST(DrawingModel, HeaderPointStyleAndTheModelView) {
  TempFolder temp;
  struct Case {
    const char* header;
    int mode;
    double size;
  } cases[] = {
      {"", 35, -5},
      {"9|$PDMODE|70|3|9|$PDSIZE|40|2.5", 3, 2.5},
      {"9|$PDSIZE|40|0|9|$PDMODE|70|66", 66, -5},  // a size of 0 is -5
      {"9|$PDMODE|40|3|9|$PDSIZE|70|2", 35, -5},   // values under other codes are not taken
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.header);
    const std::string header = *c.header ? pairs("0|SECTION|2|HEADER|" + std::string(c.header) + "|0|ENDSEC") : "";
    auto l = loadText(temp, header + entitiesSection("0|LINE|11|1") + kEof);
    ASSERT_TRUE(l.ok) << l.error.text;
    EXPECT_EQ(l.drawing.pointMode, c.mode);
    EXPECT_EQ(l.drawing.pointSize, c.size);
    EXPECT_FALSE(l.drawing.hasModelView);
    EXPECT_EQ(l.drawing.views.size(), 1u);
  }

  // The saved view: 40 high, 40 × 41 wide.
  auto l = loadText(temp, pairs("0|SECTION|2|TABLES|0|TABLE|2|VPORT|0|VPORT|2|*ACTIVE|330|8|10|0|20|0|12|150|22|"
                                "80|16|0|26|0|36|1|17|1|27|2|37|3|40|100|41|1.5|51|30|0|ENDTAB|0|ENDSEC") +
                              kEof);
  ASSERT_TRUE(l.ok) << l.error.text;
  const auto& v = l.drawing.views[0];
  EXPECT_TRUE(l.drawing.hasModelView);
  EXPECT_EQ(v.owner, 8u);
  EXPECT_EQ(v.width, 150);
  EXPECT_EQ(v.height, 100);
  EXPECT_EQ(v.viewCentreX, 150);
  EXPECT_EQ(v.viewCentreY, 80);
  EXPECT_EQ(vertex(v.direction), "0 0 1");
  EXPECT_EQ(vertex(v.target), "1 2 3");
  EXPECT_EQ(v.twist, 30);
}

// Two layouts: the active one's paper space lies in ENTITIES with 67 = 1, the other's in
// its block; a third layout whose block record has no block ends the layout pass.
TEST(DrawingModel, LayoutsDrawTheirPaperSpace) {
  TempFolder temp;
  const std::string file =
      kTables +
      pairs(
          "0|SECTION|2|BLOCKS|"
          "0|BLOCK|330|1F|2|*Model_Space|70|0|0|ENDBLK|330|1F|"
          "0|BLOCK|330|1E|2|*Paper_Space|70|0|0|ENDBLK|330|1E|"
          "0|BLOCK|330|2A|2|*Paper_Space0|70|0|0|LINE|330|2A|8|Green|11|7|0|POINT|330|2A|8|A|0|ENDBLK|330|2A|"
          "0|BLOCK|330|40|2|*Paper_Space1|70|0|0|LINE|330|40|8|A|11|9|0|ENDBLK|"
          "0|ENDSEC|"
          "0|SECTION|2|ENTITIES|"
          "0|VIEWPORT|330|1E|67|1|8|0|10|100|20|50|40|200|41|100|12|5|22|6|16|0|26|0|36|1|45|80|51|0|"
          "0|VIEWPORT|330|2A|67|1|8|0|10|1|20|2|40|3|41|4|45|5|"
          "0|LINE|330|1E|67|1|8|A|11|3|"
          "0|POLYLINE|330|1E|67|1|8|A|0|VERTEX|330|99|10|1|0|VERTEX|330|99|10|2|20|2|0|SEQEND|"
          "0|LINE|330|1F|8|A|11|1|"
          "0|ENDSEC|"
          "0|SECTION|2|OBJECTS|"
          "0|LAYOUT|330|1A|100|AcDbPlotSettings|1||2|Terralinea Paper|4|A3|41|5|42|7|44|420|45|297|142|1|143|"
          "2|147|0.5|100|AcDbLayout|1|ﾚｲｱｳﾄ1|70|1|71|1|10|-1|20|-2|11|400|21|280|330|1E|"
          "0|LAYOUT|330|1A|1|Second|71|2|330|2A|"
          "0|LAYOUT|330|1A|1|Model|71|0|330|1F|"
          "0|LAYOUT|330|1A|1|Lost|71|3|330|77|"
          "0|LAYOUT|330|1A|1|After|71|4|330|40|"
          "0|ENDSEC") +
      kEof;
  auto l = loadText(temp, platform::utf8ToCp932(file));
  ASSERT_TRUE(l.ok) << l.error.text;
  const auto& d = l.drawing;
  ASSERT_EQ(d.layouts.size(), 5u);
  const auto& a = d.layouts[1];
  EXPECT_TRUE(a.present);
  EXPECT_EQ(a.name, "ﾚｲｱｳﾄ1");  // the last group 1
  EXPECT_EQ(a.blockRecord, 0x1Eu);
  EXPECT_EQ(a.pageName, "Terralinea Paper");
  EXPECT_EQ(a.paperName, "A3");
  EXPECT_EQ(a.margin41, 5);
  EXPECT_EQ(a.margin42, 7);
  EXPECT_EQ(a.paperWidth, 420);
  EXPECT_EQ(a.paperHeight, 297);
  EXPECT_EQ(a.scaleDenominator, 2);
  EXPECT_EQ(a.scaleFactor, 0.5);
  EXPECT_EQ(a.limitsMinX, -1);
  EXPECT_EQ(a.limitsMaxY, 280);
  EXPECT_EQ(d.layouts[0].name, "Model");

  ASSERT_EQ(d.views.size(), 3u);
  EXPECT_EQ(d.views[1].owner, 0x1Eu);
  EXPECT_EQ(d.views[1].centreX, 100);
  EXPECT_EQ(d.views[1].width, 200);
  EXPECT_EQ(d.views[1].viewCentreY, 6);
  EXPECT_EQ(d.views[1].viewHeight, 80);
  EXPECT_EQ(d.views[2].owner, 0x2Au);

  EXPECT_EQ(describe(d.modelSpace, d), "push; colour(1 0 0); lineStrip(0 0 0, 1 0 0); pop");
  EXPECT_EQ(describe(d.blocks[1].program, d),
            "push; colour(1 0 0); lineStrip(0 0 0, 3 0 0); pop; push; colour(1 0 0); lineStrip(1 0 0, 2 2 0); pop");
  // The block's own entities, drawn again with their colours.
  EXPECT_EQ(describe(d.blocks[2].program, d), "push; colour(0 1 0); lineStrip(0 0 0, 7 0 0); pop");
  // Past the layout without a block the blocks keep what the blocks section gave them.
  EXPECT_EQ(describe(d.blocks[3].program, d), "push; lineStrip(0 0 0, 9 0 0); pop");
  EXPECT_TRUE(d.points.empty());  // a paper-space point is no model-space point
}

TEST(DrawingModel, TextsInTheFilesCodePage) {
  TempFolder temp;
  struct Case {
    const char* name;
    std::string header;
    std::string text;  // bytes of the TEXT's group 1
    std::u32string glyphs;
  } cases[] = {
      {"no code page is CP932", "", platform::utf8ToCp932("地図～"), U"地図～"},
      {"ANSI_932", "9|$DWGCODEPAGE|3|ansi_932", platform::utf8ToCp932("髙"), U"髙"},
      {"escapes", "9|$DWGCODEPAGE|3|ANSI_1252", "\\U+5730\\U+56F3 \\U+zz", U"地図 \\U+z"},
      {"Windows-1252", "9|$DWGCODEPAGE|3|ANSI_1252", "caf\xE9 \x80", U"caf\u00e9 \u20ac"},
      {"release 2007 on is UTF-8", "9|$ACADVER|1|AC1024|9|$DWGCODEPAGE|3|ANSI_1252", "地図", U"地図"},
      {"invalid UTF-8 bytes", "9|$ACADVER|1|AC1027", "a\xFF", U"a\uFFFD"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string header = c.header.empty() ? "" : pairs("0|SECTION|2|HEADER|" + c.header + "|0|ENDSEC");
    auto l = loadText(temp, header + entitiesSection("0|TEXT|40|1|1|" + c.text) + kEof);
    ASSERT_TRUE(l.ok) << l.error.text;
    EXPECT_EQ(std::u32string(l.drawing.glyphs.begin(), l.drawing.glyphs.end()), c.glyphs);
  }
}

TEST(DrawingModel, GlyphSetHoldsEachCharacterOnceInOrderOfFirstUse) {
  TempFolder temp;
  auto l = loadText(
      temp, platform::utf8ToCp932(pairs("0|SECTION|2|BLOCKS|0|BLOCK|2|*U9|70|1|0|TEXT|1|zz|0|ENDBLK|0|ENDSEC") +
                                  entitiesSection("0|TEXT|40|1|1|abca|0|MTEXT|40|1|1|{\\fA;dz}b|0|TEXT|1|地a") + kEof));
  ASSERT_TRUE(l.ok) << l.error.text;
  // Texts of blocks that are never drawn count too; the MTEXT gives "dz" only.
  EXPECT_EQ(std::u32string(l.drawing.glyphs.begin(), l.drawing.glyphs.end()), U"zabcd地");
  EXPECT_EQ(describe(l.drawing.modelSpace, l.drawing),
            "push; colour(0 0 0); translate(0 0 0); scale(1 1 1); rotate(0 about 0 0 1); text(\"abca\"); pop; "
            "push; colour(0 0 0); translate(0 -1 0); scale(1 1 1); rotate(0 about 0 0 1); text(\"dz\"); pop; "
            "push; colour(0 0 0); translate(0 0 0); scale(0 0 0); rotate(0 about 0 0 1); text(\"地a\"); pop");
}

}  // namespace

TEST(DrawingModel, LineEndsAndFilesOfEntitiesOnly) {
  TempFolder temp;
  const std::string body = "0|SECTION|2|ENTITIES|0|LINE|8|A|10|1|20|2|11|3|21|4|0|TEXT|1|ab|40|2|0|ENDSEC|0|EOF";
  const std::string expected =
      "push; colour(0 0 0); lineStrip(1 2 0, 3 4 0); pop; "
      "push; colour(0 0 0); translate(0 0 0); scale(2 2 2); rotate(0 about 0 0 1); text(\"ab\"); pop";
  std::string noLastLineEnd = pairs(body);
  noLastLineEnd.resize(noLastLineEnd.size() - 2);
  for (const auto& file : {pairs(body), pairs(body, "\n"), noLastLineEnd}) {
    auto l = loadText(temp, file);
    ASSERT_TRUE(l.ok) << l.error.text;
    EXPECT_EQ(describe(l.drawing.modelSpace, l.drawing), expected);
    EXPECT_TRUE(l.drawing.layers.empty());
    EXPECT_EQ(l.drawing.entityCounts, (std::vector<std::pair<std::string, long long>>{{"LINE", 1}, {"TEXT", 1}}));
  }
}
