// A sheet as the converter writes it: CP932 names and texts, the symbol library, the
// border, both viewports and both layouts, entities in model and paper space.
#include <gtest/gtest.h>

#include "platform/text.h"
#include "tests/viewer/converter_sheet.h"
#include "tests/viewer/dxf_fixture.h"

using namespace viewer_test;
using viewer::OpKind;

namespace {

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST(ConverterSheet, ReadWithItsLayoutsViewportsAndBlocks) {
  TempFolder temp;
  const auto file = temp / "M.dxf";
  settings::RunValues values;
  settings::RunValues::Rect r{};
  double cx = 0, cy = 0;  // the middle of the sheet
  writeConverterSheet(
      temp, file,
      [&](sheet::SheetDocument& doc) {
        auto& out = doc.entities();
        r = doc.rect();
        cx = (r.west + r.east) / 2;
        cy = (r.north + r.south) / 2;
        out.insert("0", "三角点", {cx, cy, 0}, 0.01);
        out.line("0", {cx, cy, 0}, {cx + 1000, cy, 0});
        sheet::MText t;
        t.x = cx;
        t.y = cy;
        t.height = 500;
        t.value = "富士山";
        out.mtext("0", t);
        const dxfio::Vertex ring[] = {{cx, cy}, {cx + 100, cy}, {cx + 100, cy + 100}};
        out.hatchStart("0", 1, geo::Colour{}, 5);
        out.hatchRing(sheet::HatchRing::outer, ring);
        out.hatchEnd();
        out.solid("0", {{0, 0, 0}, {10, 0, 0}, {0, 10, 0}, {10, 10, 0}}, true);
      },
      &values);
  if (HasFatalFailure()) return;

  viewer::Drawing d;
  viewer::LoadError error;
  ASSERT_TRUE(viewer::loadDrawing(file.string(), d, error)) << error.text;
  EXPECT_TRUE(d.notes.empty()) << notes(d);
  EXPECT_TRUE(d.hasModelView);

  // Model space: the insert of a library block, the line, the text, the hatch and the
  // border, closed, at the sheet's corners.
  const std::string model = describe(d.modelSpace, d);
  EXPECT_TRUE(has(model, "callBlock(三角点)")) << model;
  EXPECT_TRUE(has(model, "text(\"富士山\")")) << model;
  EXPECT_TRUE(has(model, "area(" + vertex({cx, cy, 5}))) << model;
  EXPECT_TRUE(has(model, "lineLoop(" + vertex({r.west, r.north, 0}) + ", " + vertex({r.west, r.south, 0}))) << model;
  const int symbol = d.blockIndex("三角点");
  ASSERT_GE(symbol, 0);
  EXPECT_TRUE(d.blocks[symbol].compiled);
  EXPECT_FALSE(d.blocks[symbol].program.empty());
  for (const auto& op : d.blocks[symbol].program.ops) EXPECT_NE(op.kind, OpKind::colour);

  // The paper layout and its two viewports, owned by the paper space's block record.
  ASSERT_EQ(d.layouts.size(), 2u);
  EXPECT_EQ(d.layouts[0].name, "Model");
  const auto& paper = d.layouts[1];
  EXPECT_EQ(paper.name, "ﾚｲｱｳﾄ1");
  EXPECT_EQ(paper.paperName, "A3");
  EXPECT_GT(paper.limitsMaxX, paper.limitsMinX);
  ASSERT_EQ(d.views.size(), 3u);
  EXPECT_EQ(d.views[1].owner, paper.blockRecord);
  EXPECT_EQ(d.views[2].owner, paper.blockRecord);
  EXPECT_EQ(d.views[2].viewCentreX, r.west + values.sheetWidth / 2);
  EXPECT_EQ(d.views[2].viewHeight, values.sheetHeight);
  // The paper-space SOLID is drawn into the paper space's block, not into model space.
  const int paperBlock = d.blockOfOwner(paper.blockRecord);
  ASSERT_GE(paperBlock, 0);
  EXPECT_TRUE(platform::equalsNoCase(d.blocks[paperBlock].name, "*Paper_Space"));
  EXPECT_TRUE(has(describe(d.blocks[paperBlock].program, d), "quad(0 0 0, 10 0 0, 10 10 0, 0 10 0)"));
  EXPECT_FALSE(has(model, "quad(0 0 0, 10 0 0, 10 10 0, 0 10 0)"));
  // The library's texts come first.
  EXPECT_TRUE(std::u32string(d.glyphs.begin(), d.glyphs.end()).ends_with(U"富士山"));
}

}  // namespace
