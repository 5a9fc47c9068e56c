#include "viewer/draw/view.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "viewer/draw/recording_backend.h"

namespace {

using viewer::Drawing;
using viewer::RecordingBackend;

// A drawing with a model view centred at (100, 50), 40 high, looking down, and one layout
// (tab 1) whose paper view (owner 0x1E) holds one viewport.
Drawing twoTabs() {
  Drawing d;
  viewer::ViewRecord model;
  model.viewCentreX = 100;
  model.viewCentreY = 50;
  model.height = 40;
  model.width = 80;
  model.direction = {0, 0, 1};
  d.views.push_back(model);
  viewer::ViewRecord paper;
  paper.owner = 0x1E;
  paper.viewCentreX = 210;
  paper.viewCentreY = 148.5;
  paper.height = 300;
  paper.viewHeight = 300;
  d.views.push_back(paper);
  viewer::ViewRecord port;
  port.owner = 0x1E;
  port.centreX = 210;
  port.centreY = 148.5;
  port.width = 200;
  port.height = 100;
  port.viewCentreX = 1000;
  port.viewCentreY = 2000;
  port.viewHeight = 50;
  port.direction = {0, 0, 1};
  d.views.push_back(port);
  d.layouts.resize(2);
  d.layouts[1].present = true;
  d.layouts[1].name = "Layout1";
  d.layouts[1].blockRecord = 0x1E;
  d.layouts[1].limitsMaxX = 420;
  d.layouts[1].limitsMaxY = 297;
  d.layouts[1].margin41 = 10;
  d.layouts[1].margin42 = 20;
  viewer::Block paperSpace;
  paperSpace.name = "*Paper_Space";
  paperSpace.owner = 0x1E;
  paperSpace.compiled = true;
  d.blocks.push_back(paperSpace);
  return d;
}

bool has(const std::vector<std::string>& calls, const std::string& call) {
  return std::find(calls.begin(), calls.end(), call) != calls.end();
}

TEST(View, ModelFrameFollowsTheImageProportions) {
  auto d = twoTabs();
  RecordingBackend out;
  ASSERT_EQ(viewer::renderView(d, 0, 402, 200, 0, out), viewer::FrameResult::drawn);
  // 400 usable pixels by 200: twice as wide as high.
  EXPECT_DOUBLE_EQ(d.views[0].width, 80);
  const std::vector<std::string> expected = {"identity",
                                             "clear (1,1,1)",
                                             "viewport 2 0 400 200",
                                             "ortho 60 140 30 70 -999999999 999999999",
                                             "identity",
                                             "lookAt (0,0,1) (0,0,0) (0,1,0)",
                                             "rotate 0 (0,0,1)",
                                             "rotate 0 (0,0,1)",
                                             "translate (-0,-0,-0)",
                                             "lineWidth 1",
                                             "stipple off",
                                             "colour (0,0,0)",
                                             "callModelSpace",
                                             "finish"};
  EXPECT_EQ(out.calls, expected);
}

TEST(View, LayoutFramePaperPrintableAreaAndViewport) {
  auto d = twoTabs();
  RecordingBackend out;
  // 402 x 300 pixels: the paper view becomes 400 units wide, one unit per pixel.
  ASSERT_EQ(viewer::renderView(d, 1, 402, 300, 0, out), viewer::FrameResult::drawn);
  const auto& c = out.calls;
  EXPECT_TRUE(has(c, "clear (0.8000000119,0.8000000119,0.8000000119)"));
  EXPECT_TRUE(has(c, "viewport 1 0 400 300"));
  EXPECT_TRUE(has(c, "ortho 10 410 -1.5 298.5 -1e+15 1e+15"));
  EXPECT_TRUE(has(c, "filledRectangle 0 0 420 297"));
  EXPECT_TRUE(has(c, "stipple 1 FF0F"));
  EXPECT_TRUE(has(c, "lineLoop (0,0,0) (0,277,0) (410,277,0) (410,0,0)"));
  EXPECT_TRUE(has(c, "callBlock 0"));
  // The viewport: 200 x 100 paper units centred at (210, 148.5) on a 400 x 300 view of
  // the paper from (10, -1.5): pixels from (102, 100), 200 x 100.
  EXPECT_TRUE(has(c, "viewport 102 100 200 100"));
  EXPECT_TRUE(has(c, "ortho 950 1050 1975 2025 -1e+15 1e+15"));
  EXPECT_EQ(std::count(c.begin(), c.end(), "callModelSpace"), 1);
}

TEST(View, ALayoutWithoutAPaperViewIsRefused) {
  auto d = twoTabs();
  d.layouts[1].blockRecord = 0x99;
  RecordingBackend out;
  EXPECT_EQ(viewer::renderView(d, 1, 402, 300, 0, out), viewer::FrameResult::noPaperView);
  EXPECT_TRUE(out.calls.empty());
  EXPECT_EQ(viewer::currentViewOf(d, 1), -1);
  EXPECT_EQ(viewer::currentViewOf(d, 0), 0);
}

TEST(View, PointSymbolsScaleByModelUnitsOrByViewHeight) {
  struct Case {
    const char* name;
    double pointSize;
    const char* scale;
  };
  const Case cases[] = {
      {"10 drawing units at every zoom", 10, "scale 10"},
      {"-5: 5 % of the 40 high view for a symbol from -1 to 1", -5, "scale 1"},
  };
  for (const auto& c : cases) {
    auto d = twoTabs();
    d.pointSize = c.pointSize;
    d.points.push_back({{5, 6, 7}, 0x0000FF});
    RecordingBackend out;
    viewer::renderView(d, 0, 402, 200, 0, out);
    EXPECT_TRUE(has(out.calls, c.scale)) << c.name;
    EXPECT_TRUE(has(out.calls, "colour (1,0,0)")) << c.name;
    EXPECT_TRUE(has(out.calls, "translate (5,6,7)")) << c.name;
  }
}

TEST(View, PointSymbolsByMode) {
  struct Case {
    int mode;
    std::size_t ops, vertices;
  };
  const Case cases[] = {{0, 1, 1}, {1, 0, 0}, {2, 2, 4}, {3, 2, 4}, {4, 1, 2}, {35, 3, 20}, {66, 3, 8}, {98, 4, 24}};
  for (const auto& c : cases) {
    const auto p = viewer::pointSymbol(c.mode);
    EXPECT_EQ(p.ops.size(), c.ops) << c.mode;
    EXPECT_EQ(p.vertices.size(), c.vertices) << c.mode;
  }
  // The plus of mode 2 spans -1 to 1.
  const auto plus = viewer::pointSymbol(2);
  EXPECT_EQ(plus.vertices[0].x, -1);
  EXPECT_EQ(plus.vertices[1].x, 1);
}

TEST(View, DirectionsPanAndZoom) {
  auto d = twoTabs();
  viewer::setViewDirection(d, viewer::ViewDirection::bottom);
  viewer::setViewDirection(d, viewer::ViewDirection::plan);
  // The plan item does not mirror the centre back.
  EXPECT_EQ(d.views[0].viewCentreX, -100);
  EXPECT_EQ(d.views[0].direction.z, 1);
  viewer::setViewDirection(d, viewer::ViewDirection::southWest);
  EXPECT_EQ(d.views[0].direction.x, -1);
  EXPECT_EQ(d.views[0].direction.y, -1);

  // Dragging 100 pixels right and 50 down over a 400 x 200 client moves the view left
  // by a quarter of its width and up by a quarter of its height.
  auto p = viewer::beginPan(d, 0, 10, 10);
  viewer::movePan(d, p, 110, 60, 400, 200);
  EXPECT_DOUBLE_EQ(d.views[0].viewCentreX, -100 - 20);
  EXPECT_DOUBLE_EQ(d.views[0].viewCentreY, 50 + 10);

  // In at the centre of the client, then out: the size comes back.
  const auto before = d.views[0];
  viewer::wheelZoom(d, 0, true, 200, 100, 400, 200);
  EXPECT_DOUBLE_EQ(d.views[0].height, 36);
  viewer::wheelZoom(d, 0, false, 199, 100, 400, 200);
  EXPECT_NEAR(d.views[0].height, before.height, 1e-12);
  EXPECT_NEAR(d.views[0].width, before.width, 1e-12);
  EXPECT_NEAR(d.views[0].viewCentreX, before.viewCentreX, 1e-9);
  EXPECT_NEAR(d.views[0].viewCentreY, before.viewCentreY, 1e-9);
}

TEST(View, OrbitAndFitting) {
  auto d = twoTabs();
  d.views[0].direction = {1, 1, 1};
  RecordingBackend out;
  viewer::renderView(d, 0, 402, 200, 180, out);
  EXPECT_TRUE(has(out.calls, "rotate 180 (0,0,1)"));
  EXPECT_TRUE(has(out.calls, "lookAt (1,1,1) (0,0,0) (0,0,1)"));
  viewer::endOrbit(d);
  EXPECT_NEAR(d.views[0].direction.x, 1 / std::sqrt(3.0), 1e-15);

  // Without a saved view: the extents of model space, through a block insert.
  Drawing plain;
  viewer::Block b;
  b.name = "B";
  b.compiled = true;
  b.program.vertices = {{0, 0, 0}, {10, 20, 0}};
  b.program.ops.push_back({viewer::OpKind::lineStrip, 0, 2});
  plain.blocks.push_back(b);
  plain.modelSpace.ops.push_back({viewer::OpKind::push});
  plain.modelSpace.ops.push_back({viewer::OpKind::translate, 0, 0, 0, 0, 100, 200, 0});
  plain.modelSpace.ops.push_back({viewer::OpKind::callBlock, 0});
  plain.modelSpace.ops.push_back({viewer::OpKind::pop});
  viewer::fitModelView(plain, 402, 400);
  EXPECT_DOUBLE_EQ(plain.views[0].viewCentreX, 105);
  EXPECT_DOUBLE_EQ(plain.views[0].viewCentreY, 210);
  EXPECT_DOUBLE_EQ(plain.views[0].height, 21);
  EXPECT_EQ(plain.views[0].direction.z, 1);
}

}  // namespace
