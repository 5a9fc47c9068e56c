// The picker's area, view and sheet grid without a window: the edge cases of dragging,
// zooming, the buffer limit and confirming.
#include "converter/picker/area_editor.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>

#include "converter/settings/check_settings.h"

namespace {

using picker::Drag;

// Millimetres; a client area of 1000 x 500 pixels showing 100 m x 50 m from (0, 0), so
// one pixel is 100 mm.
struct Picker {
  settings::DrawingSettings s;
  settings::RunValues v;
  Picker() {
    v.unitsPerMetre = 1000;
    v.usableWidthMm = 180;
    v.usableHeightMm = 120;
    v.westEdge = 20000;
    v.eastEdge = 60000;
    v.southEdge = 10000;
    v.northEdge = 40000;
    v.meshCellWidth = v.meshCellHeight = 10000;  // 10 m cells
  }
  picker::AreaEditor editor() const {
    picker::AreaEditor e(s, v);
    e.view = {0, 100000, 0, 50000};
    e.setClientSize(1000, 500);
    return e;
  }
};

// West, east, south, north as confirming writes them.
void expectEdges(const settings::DrawingSettings& out, const std::array<const char*, 4>& edges) {
  EXPECT_EQ(out.westEdge, edges[0]);
  EXPECT_EQ(out.eastEdge, edges[1]);
  EXPECT_EQ(out.southEdge, edges[2]);
  EXPECT_EQ(out.northEdge, edges[3]);
}

TEST(AreaEditor, ViewFollowsTheClientShapeAndMapsPixels) {
  Picker fixture;
  auto e = fixture.editor();
  e.setClientSize(500, 500);  // narrower: the view grows upwards
  EXPECT_DOUBLE_EQ(e.view.top, 100000);
  e.setClientSize(1000, 250);  // wider: the view grows to the right
  EXPECT_DOUBLE_EQ(e.view.right, 400000);
  e.setClientSize(1000, 500);
  const auto p = e.toPlane(250, 100);
  EXPECT_DOUBLE_EQ(p.x, 100000);
  EXPECT_DOUBLE_EQ(p.y, 160000);
}

TEST(AreaEditor, ThreeWheelStepsInAndOutRestoreTheView) {
  Picker fixture;
  auto e = fixture.editor();
  const picker::PlaneRect before = e.view;
  for (bool in : {true, true, true}) e.zoom(137, 411, in);
  EXPECT_LT(e.view.right - e.view.left, 0.73 * 100000);
  for (bool in : {false, false, false}) e.zoom(137, 411, in);
  EXPECT_NEAR(e.view.left, before.left, 1e-6);
  EXPECT_NEAR(e.view.right, before.right, 1e-6);
  EXPECT_NEAR(e.view.bottom, before.bottom, 1e-6);
  EXPECT_NEAR(e.view.top, before.top, 1e-6);
}

TEST(AreaEditor, PanMovesTheMapWithTheMouse) {
  Picker fixture;
  auto e = fixture.editor();
  const auto under = e.toPlane(300, 200);
  e.pan(50, -20);  // 50 pixels right, 20 up
  const auto after = e.toPlane(350, 180);
  EXPECT_NEAR(after.x, under.x, 1e-9);
  EXPECT_NEAR(after.y, under.y, 1e-9);
}

TEST(AreaEditor, EdgesUnderTheMouseByTheirCursor) {
  Picker fixture;
  auto e = fixture.editor();  // area Y 20000..60000 (pixels 200..600), X 10000..40000 (y 400..100)
  struct Row {
    const char* name;
    double x, y;
    Drag edge;
  } rows[] = {
      {"on the west edge", 200, 250, Drag::west},      {"3 px right of the west edge", 197, 250, Drag::west},
      {"2 px left of the west edge", 202, 250, Drag::west},
      {"4 px away", 196, 250, Drag::idle},             {"east edge", 600, 250, Drag::east},
      {"south edge", 400, 400, Drag::south},           {"north edge", 400, 100, Drag::north},
      {"west edge beyond the north", 200, 90, Drag::idle}, {"inside", 400, 250, Drag::idle},
  };
  for (const auto& row : rows) EXPECT_EQ(e.edgeAt(row.x, row.y), row.edge) << row.name;
}

TEST(AreaEditor, ClickWithoutMovementConfirmsOneMetre) {
  Picker fixture;
  auto e = fixture.editor();
  e.press(300, 200, Drag::idle);
  e.release(300, 200);
  EXPECT_TRUE(e.areaEmpty());
  EXPECT_TRUE(e.gridStrokes().empty());
  settings::DrawingSettings out;
  e.confirm(out);
  expectEdges(out, {"30000", "31000", "30000", "31000"});
}

TEST(AreaEditor, NewAreaDraggedBackwardsIsSwappedOnRelease) {
  Picker fixture;
  auto e = fixture.editor();
  e.press(500, 100, Drag::idle);
  e.move(300, 300);
  EXPECT_DOUBLE_EQ(e.east, 30000);  // reversed while dragging
  e.release(250, 350);
  EXPECT_DOUBLE_EQ(e.west, 25000);
  EXPECT_DOUBLE_EQ(e.east, 50000);
  EXPECT_DOUBLE_EQ(e.south, 15000);
  EXPECT_DOUBLE_EQ(e.north, 40000);
}

TEST(AreaEditor, EastEdgeDraggedPastTheWestSwaps) {
  Picker fixture;
  auto e = fixture.editor();
  e.press(600, 250, e.edgeAt(600, 250));
  ASSERT_EQ(e.drag(), Drag::east);
  e.move(100, 250);
  EXPECT_DOUBLE_EQ(e.east, 10000);
  e.release(100, 250);
  EXPECT_EQ(e.drag(), Drag::idle);
  EXPECT_DOUBLE_EQ(e.west, 10000);
  EXPECT_DOUBLE_EQ(e.east, 20000);
  EXPECT_NEAR(e.values().sheetWidth, 10000, 1e-9);
}

TEST(AreaEditor, FixedScaleBlockKeepsItsSize) {
  Picker fixture;
  fixture.s.scaleChoice = 20;  // 1/25000: 180 x 120 mm of paper are 4500 x 3000 m
  fixture.v.sheetRows = 2;
  fixture.s.overlapPercent = 10;
  auto e = fixture.editor();
  const double width = 4500000, height = (2 - 1) * 0.9 * 3000000 + 3000000;
  EXPECT_DOUBLE_EQ(e.values().sheetWidth, width);
  EXPECT_DOUBLE_EQ(e.east - e.west, width);
  EXPECT_DOUBLE_EQ(e.north - e.south, height);
  // The north edge dragged: the south edge follows.
  e.press(400, 0, Drag::north);
  e.move(400, 50);
  EXPECT_DOUBLE_EQ(e.north, 45000);
  EXPECT_DOUBLE_EQ(e.north - e.south, height);
  e.release(400, 50);
  // The west edge dragged: the east edge follows.
  e.press(0, 0, Drag::west);
  e.move(10, 0);
  EXPECT_DOUBLE_EQ(e.west, 1000);
  EXPECT_DOUBLE_EQ(e.east - e.west, width);
  e.release(10, 0);
  // A new press places the block's south-west corner, size unchanged.
  e.press(100, 300, Drag::idle);
  e.move(120, 310);
  EXPECT_DOUBLE_EQ(e.west, 12000);
  EXPECT_DOUBLE_EQ(e.south, 19000);
  EXPECT_DOUBLE_EQ(e.east - e.west, width);
  EXPECT_DOUBLE_EQ(e.north - e.south, height);
}

TEST(AreaEditor, SheetsAtTheBufferLimitAreOutlinedRed) {
  // Contours with a share of 8: n cells fit while n < 0.8 x 0.97 x buffer.
  Picker fixture;
  fixture.s.contourSource = 1;
  fixture.s.contourShare = 8;
  fixture.s.elevationBufferCells = 1000000;
  const double limit = 0.8 * 0.97 * 1000000;  // 776000 cells
  struct Row {
    const char* name;
    double cells;
    bool fits;
  } rows[] = {{"just below", limit - 1, true}, {"at the limit", limit, false}, {"above", limit + 1, false}};
  for (const auto& row : rows) {
    // One sheet of 1 x `cells` cells of 10 x 10 m.
    fixture.v.westEdge = 0;
    fixture.v.eastEdge = 10000 * row.cells;
    fixture.v.southEdge = 0;
    fixture.v.northEdge = 10000;
    auto e = fixture.editor();
    EXPECT_EQ(e.sheetFits(), row.fits) << row.name;
    const auto strokes = e.gridStrokes();
    ASSERT_EQ(strokes.size(), 8u);  // two lines a column and a row, four sides in width 3
    EXPECT_EQ(strokes.back().width, 3);
    EXPECT_EQ(strokes.back().colour.r, row.fits ? 0 : 1) << row.name;
    EXPECT_EQ(strokes.back().colour.g, row.fits ? 1 : 0) << row.name;
  }
  // The same limit as the start checks use.
  EXPECT_DOUBLE_EQ(settings::elevationCellLimit(fixture.s) * 0.97, limit);
}

TEST(AreaEditor, GridOfTwoByTwoWithOverlap) {
  Picker fixture;
  fixture.s.overlapPercent = 10;
  fixture.v.sheetRows = fixture.v.sheetColumns = 2;
  auto e = fixture.editor();
  // 40 m wide = sheet width x (0.1 + 2 x 0.9).
  EXPECT_NEAR(e.values().sheetWidth, 40000 / 1.9, 1e-9);
  const auto strokes = e.gridStrokes();
  ASSERT_EQ(strokes.size(), 4u + 4 + 4);
  EXPECT_NEAR(strokes[2].from.x, 20000 + 0.9 * 40000 / 1.9, 1e-9);  // second column's west line
  EXPECT_NEAR(strokes[3].from.x, 60000, 1e-9);                      // second column's east line is the edge
}

TEST(AreaEditor, CrossSectionPreview) {
  Picker fixture;
  fixture.s.crossSectionsOn = true;
  fixture.s.crossSectionAngle = 0;
  fixture.s.crossSectionCount = 1;
  auto one = fixture.editor();
  auto strokes = one.sectionStrokes();
  ASSERT_EQ(strokes.size(), 2u);  // the line, and its first half in width 3
  EXPECT_DOUBLE_EQ(strokes[0].from.x, 20000);
  EXPECT_DOUBLE_EQ(strokes[0].to.x, 60000);
  EXPECT_DOUBLE_EQ(strokes[1].to.x, 40000);
  EXPECT_EQ(strokes[1].width, 3);
  EXPECT_EQ(strokes[0].colour.b, 1);

  fixture.s.crossSectionCount = 3;
  strokes = fixture.editor().sectionStrokes();
  ASSERT_EQ(strokes.size(), 3u + 3);  // three sections, three sides
  EXPECT_EQ(strokes[0].colour.b, 1);  // the first blue, the rest green
  EXPECT_EQ(strokes[1].colour.g, 1);

  fixture.s.crossSectionsOn = false;
  EXPECT_TRUE(fixture.editor().sectionStrokes().empty());
}

TEST(AreaEditor, ConfirmShrinksToWholeUnitsAndTakesTheWindowsValues) {
  Picker fixture;
  auto e = fixture.editor();
  e.west = 100.2;
  e.east = 5000.7;
  e.south = -300.5;
  e.north = 4000.9;
  e.setCounts(3, 2, 20);
  e.setAngle(450);
  e.setScale(1);
  settings::DrawingSettings out;
  e.confirm(out);
  expectEdges(out, {"101", "5000", "-300", "4000"});
  EXPECT_EQ(out.sheetRows, "3");
  EXPECT_EQ(out.sheetColumns, "2");
  EXPECT_EQ(out.overlapPercent, 20);
  EXPECT_EQ(out.crossSectionAngle, 450);
  EXPECT_EQ(out.scaleChoice, 1);
}

}  // namespace
