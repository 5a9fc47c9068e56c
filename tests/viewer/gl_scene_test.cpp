// The display lists of a drawing, looked at in pixels of offscreen frames. One drawing
// unit is one pixel; coordinates ending in .5 fall on pixel centres.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/viewer/gl_frame.h"
#include "viewer/gl/glyphs.h"

namespace {

using viewer::OpKind;
using viewer::Vec3;

constexpr viewer::Rgb kRedRgb{1, 0, 0}, kBlueRgb{0, 0, 1}, kGreenRgb{0, 1, 0};

TEST_F(GlFrame, LinesAreDrawnInTheirColourWhereTheProjectionPutsThem) {
  const auto image =
      frame(drawingOf(ProgramBuilder()
                          .colour(kRedRgb)
                          .vertices(OpKind::lineStrip, {{10.5, 80.5, 0}, {90.5, 80.5, 0}})
                          .colour(kBlueRgb)
                          .vertices(OpKind::lineLoop, {{20.5, 20.5, 0}, {40.5, 20.5, 0}, {40.5, 40.5, 0}})
                          .done()));
  EXPECT_EQ(image.at(50, 80), kRed);
  EXPECT_EQ(image.at(50, 19), kWhite);  // the row mirrored: the image is read top row first
  EXPECT_EQ(image.at(5, 80), kWhite);
  EXPECT_EQ(image.at(95, 80), kWhite);
  EXPECT_EQ(image.count(kRed), 80);
  // The loop closes back from its last point to its first.
  EXPECT_EQ(image.at(30, 20), kBlue);
  EXPECT_EQ(image.at(40, 30), kBlue);
  EXPECT_EQ(image.at(30, 30), kBlue);  // on the closing diagonal
  EXPECT_EQ(image.at(25, 35), kWhite);
}

// A filled shape in red, with points that must be red and points that must stay white.
struct FillCase {
  const char* name;
  viewer::Program program;
  std::vector<std::pair<int, int>> inside, outside;
};

TEST_F(GlFrame, FilledShapesCoverTheirInsideOnly) {
  const std::vector<Vec3> outer{{10, 10, 0}, {90, 10, 0}, {90, 90, 0}, {10, 90, 0}};
  const std::vector<Vec3> holeSameWay{{40, 40, 0}, {60, 40, 0}, {60, 60, 0}, {40, 60, 0}};
  const std::vector<Vec3> holeOtherWay{{40, 40, 0}, {40, 60, 0}, {60, 60, 0}, {60, 40, 0}};
  const std::vector<Vec3> left{{10, 10, 0}, {60, 10, 0}, {60, 60, 0}, {10, 60, 0}};
  const std::vector<Vec3> right{{40, 40, 0}, {90, 40, 0}, {90, 90, 0}, {40, 90, 0}};
  const std::vector<FillCase> cases = {
      {"quad in drawing order",
       ProgramBuilder()
           .colour(kRedRgb)
           .vertices(OpKind::quad, {{10, 10, 0}, {90, 10, 0}, {90, 50, 0}, {10, 50, 0}})
           .done(),
       {{15, 15}, {85, 45}},
       {{50, 55}, {5, 5}}},
      {"triangles",
       ProgramBuilder()
           .colour(kRedRgb)
           .vertices(OpKind::triangles, {{10, 10, 0}, {40, 10, 0}, {10, 40, 0}, {60, 60, 0}, {90, 60, 0}, {60, 90, 0}})
           .done(),
       {{15, 15}, {65, 65}},
       {{35, 35}, {85, 85}, {50, 50}}},
      {"hole running the same way as the outline",
       ProgramBuilder().colour(kRedRgb).area({outer, holeSameWay}).done(),
       {{20, 20}, {50, 80}},
       {{50, 50}, {5, 50}}},
      {"hole running the other way",
       ProgramBuilder().colour(kRedRgb).area({outer, holeOtherWay}).done(),
       {{20, 20}, {80, 50}},
       {{50, 50}}},
      {"overlapping contours",
       ProgramBuilder().colour(kRedRgb).area({left, right}).done(),
       {{20, 20}, {80, 80}},
       {{50, 50}, {80, 20}, {20, 80}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const auto image = frame(drawingOf(c.program));
    for (auto [x, y] : c.inside) EXPECT_EQ(image.at(x, y), kRed) << x << ", " << y;
    for (auto [x, y] : c.outside) EXPECT_EQ(image.at(x, y), kWhite) << x << ", " << y;
    EXPECT_TRUE(scene.notes().empty());
  }
}

TEST_F(GlFrame, TextCallsItsGlyphsOneAfterAnother) {
  // "日A日" at an em of 30 units from (5, 40): each glyph moves the next one on by its advance.
  auto d = drawingOf(ProgramBuilder()
                         .colour(kGreenRgb)
                         .op(OpKind::push)
                         .op(OpKind::translate, 5, 40)
                         .op(OpKind::scale, 30, 30, 30)
                         .text({0, 1, 0})
                         .op(OpKind::pop)
                         .colour(kRedRgb)
                         .vertices(OpKind::lineStrip, {{0.5, 10.5, 0}, {99.5, 10.5, 0}})
                         .done());
  d.glyphs = {U'日', U'A'};
  const float advanceA = viewer::glyphShape(U'A').advance;
  const auto image = frame(d);
  const int firstEnd = 5 + 30, secondEnd = firstEnd + int(30 * advanceA), thirdEnd = secondEnd + 30;
  EXPECT_GT(image.count(kGreen, 5, 35, firstEnd - 1, 75), 60);
  EXPECT_GT(image.count(kGreen, firstEnd + 1, 35, secondEnd - 1, 75), 40);
  EXPECT_GT(image.count(kGreen, secondEnd + 1, 35, thirdEnd, 75), 60);
  EXPECT_EQ(image.count(kGreen, thirdEnd + 2, 0, 99, 99), 0);
  EXPECT_EQ(image.count(kGreen, 0, 0, 99, 36), 0);  // nothing much below the baseline
  // The text leaves the transformation as it found it.
  EXPECT_EQ(image.count(kRed, 0, 10, 99, 10), 99);

  // A TEXT's alignment is for print: the screen still draws from the first point.
  for (auto& op : d.modelSpace.ops)
    if (op.kind == OpKind::text) op.first2 = 2, op.count2 = 3, op.x = -3, op.y = 1, op.z = 0.5;
  EXPECT_EQ(frame(d).rgb, image.rgb);
}

TEST_F(GlFrame, SplineIsTessellatedAlongItsCurve) {
  // A cubic Bezier arch: from (10, 10) up to (50, 70) at its middle and down to (90, 10).
  const double knots[] = {0, 0, 0, 0, 1, 1, 1, 1};
  for (const double offset : {0.0, 3.0e7}) {
    SCOPED_TRACE(offset);  // plane coordinates in millimetres: the curve keeps its shape
    auto d = drawingOf(ProgramBuilder()
                           .op(OpKind::translate, -offset, -offset)
                           .colour(kRedRgb)
                           .spline({{10 + offset, 10 + offset, 0},
                                    {10 + offset, 90 + offset, 0},
                                    {90 + offset, 90 + offset, 0},
                                    {90 + offset, 10 + offset, 0}},
                                   {knots[0], knots[1], knots[2], knots[3], knots[4], knots[5], knots[6], knots[7]})
                           .done());
    const auto image = frame(d);
    EXPECT_TRUE(scene.notes().empty());
    EXPECT_GT(image.count(kRed, 49, 68, 51, 71), 0);  // the middle of the curve
    EXPECT_GT(image.count(kRed, 8, 8, 12, 13), 0);    // its ends
    EXPECT_GT(image.count(kRed, 88, 8, 92, 13), 0);
    EXPECT_EQ(image.at(50, 89), kWhite);  // not the control polygon
    EXPECT_EQ(image.at(11, 80), kWhite);
    EXPECT_GT(image.count(kRed), 120);  // a connected curve, not a few dots
  }
}

TEST_F(GlFrame, FaultySplineBecomesANoteAndTheRestDraws) {
  auto d = drawingOf(
      ProgramBuilder()
          .colour(kRedRgb)
          .spline({{10, 10, 0}, {10, 90, 0}, {90, 90, 0}, {90, 10, 0}}, {0, 0, 0, 1, 1, 1})        // too few knots
          .spline({{10, 10, 0}, {10, 90, 0}, {90, 90, 0}, {90, 10, 0}}, {1, 1, 1, 1, 0, 0, 0, 0})  // decreasing
          .vertices(OpKind::lineStrip, {{10.5, 50.5, 0}, {90.5, 50.5, 0}})
          .done());
  d.modelSpace.ops.push_back({OpKind::spline, 0, 4, 100, 8});  // knots outside the program
  const auto image = frame(d);
  EXPECT_EQ(scene.notes().size(), 3u);
  for (const auto& note : scene.notes()) EXPECT_EQ(note.rfind("curve not drawn: ", 0), 0u) << note;
  EXPECT_EQ(image.count(kRed), 80);
}

TEST_F(GlFrame, BlocksDrawWhereAndInTheColourTheyAreCalled) {
  viewer::Drawing d;
  // Block 0 calls block 1, compiled after it; block 2 is not compiled (anonymous).
  d.blocks.resize(3);
  d.blocks[0] = {"outer", 0, true, ProgramBuilder().call(1).done()};
  d.blocks[1] = {"square", 0, true,
                 ProgramBuilder().vertices(OpKind::quad, {{0, 0, 0}, {10, 0, 0}, {10, 10, 0}, {0, 10, 0}}).done()};
  d.blocks[2] = {"*U1", 0, false,
                 ProgramBuilder().vertices(OpKind::quad, {{0, 0, 0}, {10, 0, 0}, {10, 10, 0}, {0, 10, 0}}).done()};
  d.modelSpace = ProgramBuilder()
                     .colour(kRedRgb)
                     .op(OpKind::push)
                     .op(OpKind::translate, 10, 10)
                     .call(0)
                     .op(OpKind::pop)
                     .colour(kBlueRgb)
                     .op(OpKind::push)
                     .op(OpKind::translate, 60, 70)
                     .op(OpKind::rotate, 0, 0, 1, 90)
                     .op(OpKind::scale, 2, 1, 1)
                     .call(0)
                     .op(OpKind::pop)
                     .op(OpKind::push)
                     .op(OpKind::translate, 40, 40)
                     .call(2)
                     .call(99)
                     .op(OpKind::pop)
                     .done();
  const auto image = frame(d);
  EXPECT_EQ(image.count(kRed), 100);
  EXPECT_EQ(image.count(kRed, 10, 10, 19, 19), 100);
  // Turned a quarter and stretched along its own x: 10 wide (-x) and 20 high from (60, 70).
  EXPECT_EQ(image.count(kBlue), 200);
  EXPECT_EQ(image.count(kBlue, 50, 70, 59, 89), 200);
  EXPECT_EQ(image.count(kWhite, 40, 40, 49, 49), 100);
}

TEST_F(GlFrame, PlanAndIsometricViewsSeeAVerticalLineDifferently) {
  // A red post 40 high at (50, 50) and a blue line east from its foot.
  const auto d = drawingOf(ProgramBuilder()
                               .colour(kRedRgb)
                               .vertices(OpKind::lineStrip, {{50, 50, 0}, {50, 50, 40}})
                               .colour(kBlueRgb)
                               .vertices(OpKind::lineStrip, {{50, 50, 0}, {90, 50, 0}})
                               .done());
  auto view = [&](Vec3 eye, Vec3 up) {
    return frame(d, [&](viewer::GlBackend& b) {
      b.ortho(-50, 50, -50, 50, -999999999, 999999999);
      b.identity();
      b.lookAt(eye, {0, 0, 0}, up);
      b.translate({-50, -50, 0});
      b.callModelSpace();
    });
  };
  const auto plan = view({0, 0, 1}, {0, 1, 0});
  EXPECT_LE(plan.count(kRed), 2);  // seen end on
  EXPECT_GE(plan.count(kBlue, 51, 49, 90, 50), 38);
  // From the south-west, above: the post stands up the middle, east runs right and away.
  const auto southWest = view({-1, -1, 1}, {0, 0, 1});
  EXPECT_GE(southWest.count(kRed, 48, 52, 52, 99), 25);
  EXPECT_EQ(southWest.count(kRed, 0, 0, 99, 47), 0);
  EXPECT_GT(southWest.count(kBlue, 55, 51, 99, 99), 20);
  EXPECT_EQ(southWest.count(kBlue, 0, 0, 99, 47), 0);
}

}  // namespace
