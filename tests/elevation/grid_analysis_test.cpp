#include "converter/elevation/grid_analysis.h"

#include <gtest/gtest.h>

#include "tests/elevation/elevation_fixture.h"

using elevation::LegendLadder;
using elevation::snapLegendInterval;

TEST(LegendInterval, LaddersRoundToTheirSteps) {
  struct Case {
    double raw;
    LegendLadder ladder;
    double expected;
  };
  const Case cases[] = {
      // The two examples: 1.9 m with thick tens and with thick fives.
      {1.9, LegendLadder::tens, 2},
      {1.9, LegendLadder::fives, 5.0 / 3},
      // Band edges in centimetres.
      {2.08, LegendLadder::fives, 5.0 / 3},
      {2.09, LegendLadder::fives, 2.5},
      {1.83, LegendLadder::tens, 5.0 / 3},
      {1.84, LegendLadder::tens, 2},
      {0.015, LegendLadder::tens, 0.01},
      {0.02, LegendLadder::fives, 1.0 / 60},
      {75.005, LegendLadder::fives, 50},
      {75.01, LegendLadder::tens, 100},
      {7500.01, LegendLadder::fives, 7500},  // v = 750001: beyond the table
      {8000, LegendLadder::tens, 8000},      // beyond the table: whole metres
      // Thin contours: cut down to a multiple of a step that grows with the interval.
      {1.9, LegendLadder::thinOnly, 1.8},
      {0.057, LegendLadder::thinOnly, 0.05},
      {0.139, LegendLadder::thinOnly, 0.12},
      {7.9, LegendLadder::thinOnly, 7},  // 5 to 10: whole metres
      {123, LegendLadder::thinOnly, 120},
      {2990, LegendLadder::thinOnly, 2500},
      {2999.9, LegendLadder::thinOnly, 3000},  // within 0.01 step of 3000
      {60000.7, LegendLadder::thinOnly, 60000},
      {0.03995, LegendLadder::thinOnly, 0.04},
  };
  for (const auto& c : cases)
    EXPECT_NEAR(snapLegendInterval(c.raw, c.ladder), c.expected, 1e-9)
        << c.raw << " ladder " << static_cast<int>(c.ladder);
}

TEST(LegendInterval, LadderFollowsTheContourSettings) {
  using elevation::legendLadder;
  EXPECT_EQ(legendLadder(-1, 3), LegendLadder::thinOnly);  // no contours
  EXPECT_EQ(legendLadder(1, 0), LegendLadder::thinOnly);   // すべて細く
  for (int rule : {1, 3, 5, 7}) EXPECT_EQ(legendLadder(1, rule), LegendLadder::tens) << rule;
  for (int rule : {2, 4, 6}) EXPECT_EQ(legendLadder(1, rule), LegendLadder::fives) << rule;
}

namespace {

// A grid of 14 x 14 cells whose inner window is all of it: 12 x 12 samples.
struct Legend : ::testing::Test {
  Legend() {
    run.v.legendStepCount = 16;
    run.layOut(135.0, 35.0, 14, 14);
    run.s.legendIntervals.setCell(0, 0, "777");
    run.s.legendBottoms.setCell(0, 0, "888");
  }
  void fill(double value) {
    for (int r = 0; r < 14; ++r)
      for (int c = 0; c < 14; ++c) run.ctx.elevationGrid.setCell(r, c, value);
  }
  std::string interval() const { return run.s.legendIntervals.cell(0, 0); }
  std::string bottom() const { return run.s.legendBottoms.cell(0, 0); }
  ElevationRun run;
};

}  // namespace

TEST_F(Legend, FlatGrid) {
  fill(100);
  run.ctx.elevationGrid.setCell(0, 0, 5000);  // border cells are no samples
  elevation::analyseLegend(run.ctx);
  // hi = lo + 1.5, every sample in bin 0: the bottom is bin 1 above lo, the interval the least.
  EXPECT_EQ(interval(), "10");    // 0.01 m in millimetres
  EXPECT_EQ(bottom(), "100010");  // 100.015 cut to the interval
  EXPECT_TRUE(run.host.showed(sheet::ProgressLine::Phase, "最高最低標高値解析 "));
}

TEST_F(Legend, RawIntervalOnTheLadders) {
  // One step, bias 0, interval bias 5: I = m / 99 x (hi - lo) x 1.2 with all samples but
  // one at lo, so m = 1 and I = 1.9 m for a range of 156.75 m.
  run.v.legendStepCount = 1;
  run.s.legendBottomBias = 0;
  fill(100);
  run.ctx.elevationGrid.setCell(5, 5, 100 + 1.9 * 99 / 1.2);
  run.s.contourSource = 1;
  struct Case {
    int rule;
    const char* interval;
  } cases[] = {{3, "2000"}, {2, "1666.66666666667"}, {0, "1800"}};
  for (const auto& c : cases) {
    run.s.contourWeightRule = c.rule;
    elevation::analyseLegend(run.ctx);
    EXPECT_EQ(interval(), c.interval) << c.rule;
    EXPECT_EQ(bottom(), "100000") << c.rule;  // bias 0: the lowest sample
  }
}

TEST_F(Legend, BottomBiasZeroGivesTheLowestSample) {
  run.v.legendStepCount = 1;
  run.v.unitsPerMetre = 1;
  run.s.legendBottomBias = 0;
  for (int r = 0; r < 14; ++r)
    for (int c = 0; c < 14; ++c) run.ctx.elevationGrid.setCell(r, c, 12.345 + r * 3 + c);
  elevation::analyseLegend(run.ctx);
  EXPECT_EQ(bottom(), "16.34");  // row 1, column 1 holds 12.345 + 4: cut to centimetres
}

TEST_F(Legend, TopLevelIsKeptBelowTheHighestSample) {
  // 16 steps of the least interval would reach above hi: the bottom comes down.
  run.s.legendBottomBias = 10;
  for (int r = 0; r < 14; ++r)
    for (int c = 0; c < 14; ++c) run.ctx.elevationGrid.setCell(r, c, c < 7 ? 0.0 : 0.1);
  elevation::analyseLegend(run.ctx);
  // Without the lowering the bottom would be 0.1 (bin 101); it is hi - 15 x 0.01, cut.
  EXPECT_EQ(interval(), "10");
  const double b = std::stod(bottom()) / 1000;
  EXPECT_GE(b, -0.05 - 1e-9);
  EXPECT_LE(b, -0.04 + 1e-9);
}

TEST_F(Legend, EmptyGridLeavesTheTables) {
  elevation::analyseLegend(run.ctx);
  EXPECT_EQ(interval(), "777");
  EXPECT_EQ(bottom(), "888");
}

TEST(ElevationAt, NearestCellAndTheEdges) {
  ElevationRun run;
  ASSERT_TRUE(run.coords.selectSystem(6));
  run.v.datumOffset = 0.25;
  run.layOut(135.0, 35.0, 20, 10);
  auto& g = run.ctx.elevationGrid;
  for (int r = 0; r < 10; ++r)
    for (int c = 0; c < 20; ++c) g.setCell(r, c, r * 100 + c);
  auto planeAt = [&](double lon, double lat) {
    run.coords.bltoxy(lon, lat);
    return std::make_pair(run.coords.planeY, run.coords.planeX);
  };
  // On the west edge, half a cell down: column 0, row 0.
  auto [y, x] = planeAt(135.0, 35.0 - 0.5 * g.cellHeight);
  EXPECT_EQ(elevation::xytoz(run.ctx, y, x), 0);
  std::tie(y, x) = planeAt(135.0 + 7.5 * g.cellWidth, 35.0 - 3.5 * g.cellHeight);
  EXPECT_EQ(elevation::xytoz(run.ctx, y, x), 307);
  EXPECT_EQ(run.ctx.anomalyMessage, "");
  // Beyond the east edge.
  std::tie(y, x) = planeAt(135.0 + 20.5 * g.cellWidth, 35.0 - 3.5 * g.cellHeight);
  EXPECT_DOUBLE_EQ(elevation::xytoz(run.ctx, y, x), 0.25 - 99999);
  const std::string text =
      "標高位置解析で異常値が検出されました。\r\n設定値を保存し、作者にご連絡いただけると幸いです。\r\n";
  EXPECT_EQ(run.ctx.anomalyMessage, text);
  elevation::xytoz(run.ctx, y, x);
  EXPECT_EQ(run.ctx.anomalyMessage, text);  // once, however often
}
