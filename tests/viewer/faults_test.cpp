// Faults of a file: what the reader mends with a note, and what refuses the file and leaves
// the loaded drawing as it was.
#include <gtest/gtest.h>

#include <functional>
#include <set>

#include "tests/viewer/dxf_fixture.h"

using namespace viewer_test;
using viewer::OpKind;

namespace {

const std::string kTables = layerTable({"A|1"});

std::string withBlocks(std::string_view blocks, std::string_view entities) {
  return kTables + pairs("0|SECTION|2|BLOCKS") + pairs(blocks) + pairs("0|ENDSEC") + entitiesSection(entities) + kEof;
}

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// True when some block reaches itself through its calls.
bool callsCycle(const viewer::Drawing& d) {
  std::vector<int> state(d.blocks.size(), 0);
  std::function<bool(std::size_t)> visit = [&](std::size_t b) {
    if (state[b] == 1) return true;
    if (state[b] == 2) return false;
    state[b] = 1;
    for (const auto& op : d.blocks[b].program.ops)
      if (op.kind == OpKind::callBlock && (op.first >= d.blocks.size() || visit(op.first))) return true;
    state[b] = 2;
    return false;
  };
  for (std::size_t b = 0; b < d.blocks.size(); ++b)
    if (visit(b)) return true;
  return false;
}

TEST(Faults, MendedWithANote) {
  struct Case {
    const char* name;
    std::string file;
    const char* ops;   // model space
    const char* note;  // part of the notes, "" for none
  } cases[] = {
      {"an INSERT of a block that is not there draws nothing", withBlocks("", "0|INSERT|8|A|2|Nowhere|0|LINE|8|A|11|1"),
       "push; colour(1 0 0); lineStrip(0 0 0, 1 0 0); pop", "ブロック「Nowhere」は定義がない"},
      {"a layer that is not in the table is black", withBlocks("", "0|LINE|8|Lost|11|1"),
       "push; colour(0 0 0); lineStrip(0 0 0, 1 0 0); pop", "画層「Lost」は画層テーブルにない"},
      {"an entity without 8 is on layer 0", withBlocks("", "0|LINE|11|1"),
       "push; colour(0 0 0); lineStrip(0 0 0, 1 0 0); pop", "画層「0」"},
      {"a colour index past 256 keeps the layer's colour", withBlocks("", "0|LINE|8|A|62|300|11|1"),
       "push; colour(1 0 0); lineStrip(0 0 0, 1 0 0); pop", "色番号 300 は範囲外"},
      {"a negative colour index on an entity", withBlocks("", "0|LINE|8|A|62|-2|11|1"),
       "push; colour(1 0 0); lineStrip(0 0 0, 1 0 0); pop", "色番号 -2 は範囲外"},
      {"a layer colour past 255 is black", layerTable({"Odd|999"}) + entitiesSection("0|LINE|8|Odd|11|1") + kEof,
       "push; colour(0 0 0); lineStrip(0 0 0, 1 0 0); pop", "画層「Odd」の色番号 999 は範囲外"},
      {"a spline whose knots do not fit draws nothing",
       withBlocks("", "0|SPLINE|8|A|72|5|40|0|40|0|40|0|40|1|40|1|10|0|20|0|10|1|20|1|10|2|20|0|10|3|20|1"), "",
       "SPLINE のノット数"},
      {"a negative layout tab order is passed over",
       kTables + pairs("0|SECTION|2|OBJECTS|0|LAYOUT|1|Neg|71|-1|0|ENDSEC") + kEof, "", "タブ順 -1 は負"},
  };
  TempFolder temp;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto l = loadText(temp, c.file);
    ASSERT_TRUE(l.ok) << l.error.text;
    EXPECT_EQ(describe(l.drawing.modelSpace, l.drawing), c.ops);
    EXPECT_TRUE(has(notes(l.drawing), c.note)) << notes(l.drawing);
  }
}

TEST(Faults, BlocksInsertingThemselvesLoseTheInsertThatClosesTheCycle) {
  TempFolder temp;
  auto l = loadText(temp, withBlocks("0|BLOCK|2|Self|70|0|0|LINE|11|1|0|INSERT|2|self|0|ENDBLK|"
                                     "0|BLOCK|2|A|70|0|0|INSERT|2|B|0|ENDBLK|"
                                     "0|BLOCK|2|B|70|0|0|INSERT|2|C|0|LINE|11|2|0|ENDBLK|"
                                     "0|BLOCK|2|C|70|0|0|INSERT|2|A|0|INSERT|2|Self|0|ENDBLK",
                                     "0|INSERT|8|A|2|A|0|INSERT|8|A|2|Self"));
  ASSERT_TRUE(l.ok) << l.error.text;
  const auto& d = l.drawing;
  EXPECT_FALSE(callsCycle(d));
  EXPECT_EQ(describe(d.blocks[0].program, d), "push; lineStrip(0 0 0, 1 0 0); pop");
  // A → B → C, and C's call back to A is the one left out; C still inserts Self.
  EXPECT_EQ(describe(d.blocks[1].program, d),
            "push; translate(0 0 0); scale(1 1 1); rotate(0 about 0 0 1); callBlock(B); pop");
  EXPECT_EQ(describe(d.blocks[3].program, d),
            "push; translate(0 0 0); scale(1 1 1); rotate(0 about 0 0 1); callBlock(Self); pop");
  EXPECT_EQ(describe(d.modelSpace, d),
            "push; colour(1 0 0); translate(0 0 0); scale(1 1 1); rotate(0 about 0 0 1); callBlock(A); pop; "
            "push; colour(1 0 0); translate(0 0 0); scale(1 1 1); rotate(0 about 0 0 1); callBlock(Self); pop");
  EXPECT_TRUE(has(notes(d), "ブロック「Self」は自身を挿入する")) << notes(d);
  EXPECT_TRUE(has(notes(d), "ブロック「A」は自身を挿入する")) << notes(d);
}

TEST(Faults, RefusedFilesLeaveTheDrawingAsItWas) {
  struct Case {
    const char* name;
    std::string file;
    const char* caption;
    const char* text;
  } cases[] = {
      {"a coordinate that is no number", entitiesSection("0|LINE|8|A|10|1,5|11|1") + kEof, "障害発生",
       "10行目の値 \"1,5\"（グループコード 10）は数値ではありません"},
      {"an empty number", entitiesSection("0|CIRCLE|8|A|40|") + kEof, "障害発生", "グループコード 40）は数値"},
      {"a whole number with a fraction", entitiesSection("0|LWPOLYLINE|90|2.5|10|0|20|0") + kEof, "障害発生",
       "（グループコード 90）は整数ではありません"},
      {"a handle that is no hexadecimal", pairs("0|SECTION|2|BLOCKS|0|BLOCK|330|XYZ|2|B|0|ENDBLK|0|ENDSEC") + kEof,
       "障害発生", "\"XYZ\"（グループコード 330）はハンドルではありません"},
      {"a header number", pairs("0|SECTION|2|HEADER|9|$PDSIZE|40|big|0|ENDSEC") + kEof, "障害発生",
       "（グループコード 40）は数値ではありません"},
      {"a layer colour", layerTable({"A|red"}) + kEof, "障害発生", "（グループコード 62）は整数ではありません"},
      {"a layout tab order of 64", pairs("0|SECTION|2|OBJECTS|0|LAYOUT|1|L|71|64|0|ENDSEC") + kEof, "障害発生",
       "レイアウト数が容量を超えました"},
  };
  TempFolder temp;
  viewer::Drawing before;
  viewer::LoadError error;
  writeBytes(temp / "good.dxf", kTables + entitiesSection("0|LINE|8|A|11|1") + kEof);
  ASSERT_TRUE(viewer::loadDrawing((temp / "good.dxf").string(), before, error));
  const std::string shown = describe(before.modelSpace, before);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    writeBytes(temp / "bad.dxf", c.file);
    viewer::Drawing d = before;
    ASSERT_FALSE(viewer::loadDrawing((temp / "bad.dxf").string(), d, error));
    EXPECT_EQ(error.caption, c.caption);
    EXPECT_TRUE(has(error.text, c.text)) << error.text;
    EXPECT_EQ(describe(d.modelSpace, d), shown);
    EXPECT_EQ(d.path, before.path);
    EXPECT_EQ(d.layers.size(), 1u);
  }
  viewer::Drawing d = before;
  EXPECT_FALSE(viewer::loadDrawing((temp / "missing.dxf").string(), d, error));
  EXPECT_EQ(error.caption, "警告");
  EXPECT_EQ(error.text, "ファイルが見つかりません");
  EXPECT_FALSE(viewer::loadDrawing(temp.path().string(), d, error));
  EXPECT_EQ(error.text, "ファイルを開けません");
  EXPECT_EQ(describe(d.modelSpace, d), shown);
}

TEST(Faults, ViewportsUpTo127) {
  TempFolder temp;
  for (int count : {127, 128}) {
    SCOPED_TRACE(count);
    std::string entities;
    for (int i = 0; i < count; ++i) entities += "0|VIEWPORT|330|1E|67|1|10|" + std::to_string(i) + "|";
    auto l = loadText(temp, entitiesSection(entities + "0|LINE|11|1") + kEof);
    EXPECT_EQ(l.ok, count == 127);
    if (l.ok) {
      EXPECT_EQ(l.drawing.views.size(), 128u);
      EXPECT_EQ(l.drawing.views[127].centreX, 126);
    } else {
      EXPECT_EQ(l.error.caption, "障害発生");
      EXPECT_EQ(l.error.text, "Viewport数が容量を超えました");
    }
  }
  auto l = loadText(temp, pairs("0|SECTION|2|OBJECTS|0|LAYOUT|1|L|71|63|0|ENDSEC") + kEof);
  ASSERT_TRUE(l.ok);
  EXPECT_EQ(l.drawing.layouts.size(), 64u);
  EXPECT_TRUE(l.drawing.layouts[63].present);
  EXPECT_FALSE(l.drawing.layouts[1].present);
}

TEST(Faults, NoFixedTablesForLayersBlocksAndPoints) {
  TempFolder temp;
  std::string layers, blocks, entities;
  for (int i = 0; i < 300; ++i) {
    layers += "0|LAYER|2|L" + std::to_string(i) + "|62|" + std::to_string(i % 255 + 1) + "|";
    blocks += "0|BLOCK|2|B" + std::to_string(i) + "|70|0|0|LINE|11|" + std::to_string(i) + "|0|ENDBLK|";
  }
  for (int i = 0; i < 2000; ++i) entities += "0|POINT|8|L299|10|" + std::to_string(i) + "|";
  entities += "0|INSERT|8|L299|2|B299";
  auto l = loadText(temp, pairs("0|SECTION|2|TABLES|0|TABLE|2|LAYER|" + layers + "0|ENDTAB|0|ENDSEC") +
                              pairs("0|SECTION|2|BLOCKS|" + blocks + "0|ENDSEC") + entitiesSection(entities) + kEof);
  ASSERT_TRUE(l.ok) << l.error.text;
  const auto& d = l.drawing;
  EXPECT_EQ(d.layers.size(), 300u);
  EXPECT_EQ(d.blocks.size(), 300u);
  ASSERT_EQ(d.points.size(), 2000u);
  EXPECT_EQ(d.points[1999].position.x, 1999);
  EXPECT_EQ(d.points[1999].colour, viewer::kColourTable[299 % 255 + 1]);
  EXPECT_EQ(describe(d.blocks[299].program, d), "push; lineStrip(0 0 0, 299 0 0); pop");
  EXPECT_TRUE(has(describe(d.modelSpace, d), "callBlock(B299)"));
  EXPECT_TRUE(d.notes.empty()) << notes(d);
}

}  // namespace
