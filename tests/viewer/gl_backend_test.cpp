// What the frame backend draws by itself, besides the compiled lists.
#include <gtest/gtest.h>

#include <vector>

#include "tests/viewer/gl_frame.h"

namespace {

using viewer::OpKind;
using viewer::Vec3;

TEST_F(GlFrame, RectanglesFillAndStippledLoopsBreak) {
  const std::vector<Vec3> loop{{10.5, 60.5, 0}, {89.5, 60.5, 0}, {89.5, 90.5, 0}, {10.5, 90.5, 0}};
  const auto image = frame({}, [&](viewer::GlBackend& b) {
    b.colour({1, 0, 0});
    b.filledRectangle(10, 10, 30, 20);
    b.colour({0, 0, 1});
    b.stipple(true, 1, 0xFF0F);
    b.lineLoop(loop);
    b.stipple(false, 1, 0xFFFF);
    b.colour({0, 1, 0});
    b.lineLoop(std::vector<Vec3>{{50.5, 30.5, 0}, {89.5, 30.5, 0}, {89.5, 50.5, 0}});
  });
  EXPECT_EQ(image.count(kRed), 200);
  EXPECT_EQ(image.count(kRed, 10, 10, 29, 19), 200);
  // 0xFF0F: twelve pixels on, four off, along the whole loop.
  const int bottomEdge = image.count(kBlue, 10, 60, 88, 60);
  EXPECT_GT(bottomEdge, 79 * 12 / 16 - 4);
  EXPECT_LT(bottomEdge, 79 * 12 / 16 + 4);
  EXPECT_GT(image.count(kGreen, 50, 30, 88, 30), 37);  // solid again once stippling is off
}

TEST_F(GlFrame, PointSymbolDrawsAtEachPlaceItIsCalled) {
  // A plus of unit arms, as point mode 2 gives, placed at two points and scaled.
  const auto plus = ProgramBuilder()
                        .vertices(OpKind::lineStrip, {{-1, 0, 0}, {1, 0, 0}})
                        .vertices(OpKind::lineStrip, {{0, -1, 0}, {0, 1, 0}})
                        .done();
  const auto image = frame(
      {},
      [](viewer::GlBackend& b) {
        for (const Vec3 at : {Vec3{20.5, 20.5, 0}, Vec3{70.5, 60.5, 0}}) {
          b.push();
          b.colour({1, 0, 0});
          b.translate(at);
          b.scale(10);
          b.callPointSymbol();
          b.pop();
        }
      },
      plus);
  EXPECT_EQ(image.count(kRed, 10, 20, 29, 20), 20);
  EXPECT_EQ(image.count(kRed, 20, 10, 20, 29), 20);
  EXPECT_EQ(image.count(kRed, 60, 60, 79, 60), 20);
  EXPECT_EQ(image.count(kRed, 70, 50, 70, 69), 20);
  EXPECT_LE(image.count(kRed), 80);
}

}  // namespace
