#include "converter/elevation/contours.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "tests/common/collected_sheet.h"
#include "tests/elevation/elevation_fixture.h"

namespace {

using elevation::Closure;

// A 7 x 7 grid of 100 m, the whole grid inside the window, `shape` changing cells.
struct ContourRun : ElevationRun {
  explicit ContourRun(const std::function<void(geo::ElevationGrid&)>& shape, int target = 1) : ElevationRun(1) {
    coords.selectSystem(6);
    s.contourSource = 1;
    s.contourTarget = target;
    layOut(kFixtureWest, fixtureNorth(), 7, 7);
    auto& g = ctx.elevationGrid;
    for (int r = 0; r < 7; ++r)
      for (int c = 0; c < 7; ++c) g.setCell(r, c, 100);
    shape(g);
    g.zMax = -1e308;
    g.zMin = 1e308;
    for (int r = 0; r < 7; ++r)
      for (int c = 0; c < 7; ++c) g.widenExtremes(g.cell(r, c));
  }
  std::vector<elevation::TracedLine> level(double L) {
    std::vector<elevation::TracedLine> lines;
    EXPECT_TRUE(elevation::traceLevel(ctx, L, lines));
    return lines;
  }
};

TEST(Contours, PitsHillsAndSlopesByTheirClosure) {
  struct Case {
    const char* name;
    std::function<void(geo::ElevationGrid&)> shape;
    double level;
    int target;
    std::vector<Closure> expected;
  };
  auto pit = [](geo::ElevationGrid& g) { g.setCell(3, 3, 50); };
  auto hill = [](geo::ElevationGrid& g) { g.setCell(3, 3, 150); };
  auto slope = [](geo::ElevationGrid& g) {
    for (int r = 0; r < 7; ++r)
      for (int c = 0; c < 7; ++c) g.setCell(r, c, 10.0 * c);
  };
  const std::vector<Case> cases = {
      {"a pit is a depression", pit, 75, 1, {Closure::depression}},
      {"dropped without depressions", pit, 75, 0, {}},
      {"kept with depressions only", pit, 75, 2, {Closure::depression}},
      {"a hill closes toward higher ground", hill, 125, 1, {Closure::hill}},
      {"no line above the hill", hill, 155, 1, {}},
      {"a slope leaves the grid: open", slope, 25, 1, {Closure::open}},
      {"open lines are no depressions", slope, 25, 2, {}},
      {"a level equal to a sample counts it high", slope, 30, 1, {Closure::open}},
  };
  for (const auto& c : cases) {
    ContourRun run(c.shape, c.target);
    std::vector<Closure> closures;
    for (const auto& line : run.level(c.level)) closures.push_back(line.closure);
    EXPECT_EQ(closures, c.expected) << c.name;
  }
}

TEST(Contours, APitLineRunsAroundThePitThroughTheCrossings) {
  ContourRun run([](geo::ElevationGrid& g) { g.setCell(3, 3, 50); });
  const auto lines = run.level(75);
  ASSERT_EQ(lines.size(), 1u);
  // Halfway between the pit and each neighbour, not repeating the first vertex.
  std::vector<std::pair<double, double>> points;
  for (const auto& p : lines[0].vertices) points.emplace_back(p.x, p.y);
  EXPECT_EQ(points.size(), 4u);
  for (auto [x, y] : points) EXPECT_DOUBLE_EQ(std::abs(x - 3) + std::abs(y - 3), 0.5) << x << " " << y;
}

TEST(Contours, ShortLinesAreOmittedByTheirVertexCount) {
  // A pit line has 4 vertices: item 1 keeps 4 or more, item 2 wants 8.
  for (auto [item, kept] : {std::pair{1, 1u}, std::pair{2, 0u}}) {
    ContourRun run([](geo::ElevationGrid& g) { g.setCell(3, 3, 50); });
    run.s.shortContourOmission = item;
    EXPECT_EQ(run.level(75).size(), kept) << item;
  }
}

TEST(Contours, AFullLineStoreStopsTheRun) {
  ContourRun run([](geo::ElevationGrid& g) { g.setCell(3, 3, 50); });
  run.ctx.pointBuffer.resize(49 + 4);  // the grid and room for less than one line
  std::vector<elevation::TracedLine> lines;
  EXPECT_FALSE(elevation::traceLevel(run.ctx, 75, lines));
  EXPECT_FALSE(run.ctx.runContinue);
  ASSERT_FALSE(run.host.shown.empty());
  EXPECT_EQ(run.host.shown.back().text, "等高線処理で占有メモリ限界に達しました、占有メモリー調整が必要です");
}

TEST(Contours, WrittenAsPolylinesOrDepressionAreasAtTheirHeight) {
  for (int target : {1, 3}) {
    ContourRun run([](geo::ElevationGrid& g) { g.setCell(3, 3, 50); }, target);
    run.v.legendStepCount = 16;
    run.ctx.sheetLegendInterval = {25};
    run.ctx.sheetLegendBottom = {0};
    run.ctx.sheetLegendDecimals = {0};
    CollectedSheet sheet;
    elevation::writeContours(run.ctx, sheet.out);
    std::vector<std::string> kinds;
    for (const auto& g : sheet.sink.groups)
      if (g.code == 0) kinds.push_back(g.value);
    // Levels 100 and 75 ring the pit (100 through its neighbours, which count as high); at
    // 50 the pit itself counts as high and nothing is left to ring.
    if (target == 1) {
      EXPECT_EQ(kinds, (std::vector<std::string>{"LWPOLYLINE", "LWPOLYLINE"}));
      EXPECT_NE(sheet.sink.notation().find("8=等高線_ 75;100=AcDbPolyline;90=4;70=1;38=75000;"), std::string::npos);
    } else {
      EXPECT_EQ(kinds, (std::vector<std::string>{"HATCH", "LWPOLYLINE", "HATCH", "LWPOLYLINE"}));
      EXPECT_NE(sheet.sink.notation().find("100=AcDbHatch;10=0;20=0;30=75000;"), std::string::npos);
      EXPECT_NE(sheet.sink.notation().find("8=窪地線;100=AcDbPolyline;90=4;70=1;38=75000;"), std::string::npos);
    }
  }
}

}  // namespace

namespace {

TEST(Contours, EdgeMarksFindTheSameCrossingsAsThePlainLookup) {
  // Rough terrain of whole metres, so that many levels pass exactly through samples.
  std::size_t lines = 0;
  for (unsigned seed : {1u, 7u, 42u}) {
    ElevationRun run(1);
    run.s.contourTarget = 1;
    run.layOut(kFixtureWest, fixtureNorth(), 60, 45, 3);
    auto& g = run.ctx.elevationGrid;
    unsigned state = seed;
    for (int r = 0; r < 45; ++r)
      for (int c = 0; c < 60; ++c) {
        state = state * 1103515245u + 12345u;
        const double noise = static_cast<double>((state >> 16) % 7);
        g.setCell(r, c,
                  (state >> 8) % 97 == 0 ? g.missingElevation()
                                         : std::round(40 * std::sin(r * 0.21) * std::cos(c * 0.17) + noise));
      }
    for (double level = -40; level <= 45; level += 5) {
      std::vector<elevation::TracedLine> marks, plain;
      ASSERT_TRUE(elevation::traceLevel(run.ctx, level, marks, elevation::CrossingLookup::marks));
      ASSERT_TRUE(elevation::traceLevel(run.ctx, level, plain, elevation::CrossingLookup::plain));
      ASSERT_EQ(marks.size(), plain.size()) << seed << " " << level;
      lines += marks.size();
      for (std::size_t i = 0; i < marks.size(); ++i) {
        EXPECT_EQ(marks[i].closure, plain[i].closure);
        ASSERT_EQ(marks[i].vertices.size(), plain[i].vertices.size());
        for (std::size_t k = 0; k < marks[i].vertices.size(); ++k) {
          EXPECT_EQ(marks[i].vertices[k].x, plain[i].vertices[k].x);
          EXPECT_EQ(marks[i].vertices[k].y, plain[i].vertices[k].y);
        }
      }
    }
  }
  EXPECT_GT(lines, 300u);  // interior lines, gaps and samples on levels all occur
}

TEST(Contours, ThickOnlyOutsideTheLegendRangeOnTheStep) {
  // Legend of 16 steps of 10 m from 0 runs to 140; "10m台を太く" thickens 200, not 100.
  ContourRun run([](geo::ElevationGrid& g) {
    for (int r = 0; r < 7; ++r)
      for (int c = 0; c < 7; ++c) g.setCell(r, c, 30.0 * c + 20);
  });
  run.s.contourWeightRule = 3;
  run.ctx.thickContourStep = 10;
  run.v.legendStepCount = 16;
  run.ctx.sheetLegendInterval = {10};
  run.ctx.sheetLegendBottom = {0};
  run.ctx.sheetLegendDecimals = {0};
  CollectedSheet sheet;
  elevation::writeContours(run.ctx, sheet.out);
  const std::string all = sheet.sink.notation();
  EXPECT_NE(all.find("8=等高線_150以上;370=30;100=AcDbPolyline;90=7;70=0;38=200000;"), std::string::npos);
  EXPECT_NE(all.find("8=等高線_100;100=AcDbPolyline;90=7;70=0;38=100000;"), std::string::npos);
  EXPECT_EQ(all.find("38=100000;", all.find("370=30;100=AcDbPolyline;90=7;70=0;38=100000;")), std::string::npos);
}

TEST(Contours, ThirtyTwoNodeOmissionDropsFifteenVerticesKeepsSixteen) {
  // A slope along the columns: one open line down every row, one vertex a row. Item 3
  // keeps lines of 2^(3+1) = 16 vertices or more.
  for (auto [rows, kept] : {std::pair{15, 0u}, std::pair{16, 1u}}) {
    ElevationRun run(1);
    run.s.contourTarget = 1;
    run.s.shortContourOmission = 3;
    run.layOut(kFixtureWest, fixtureNorth(), 5, rows);
    for (int r = 0; r < rows; ++r)
      for (int c = 0; c < 5; ++c) run.ctx.elevationGrid.setCell(r, c, 10.0 * c);
    std::vector<elevation::TracedLine> lines;
    ASSERT_TRUE(elevation::traceLevel(run.ctx, 15, lines));
    EXPECT_EQ(lines.size(), kept) << rows;
  }
}

TEST(Contours, ARidgeAcrossTheWindowGivesAnOpenLineOnEachSide) {
  // A ridge along row 3 of a 9 x 7 grid whose window leaves out the outer ring: one line
  // enters the window from the west north of the ridge, one from the east south of it.
  ElevationRun run(1);
  run.s.contourTarget = 1;
  run.layOut(kFixtureWest, fixtureNorth(), 9, 7, 1);
  auto& g = run.ctx.elevationGrid;
  for (int r = 0; r < 7; ++r)
    for (int c = 0; c < 9; ++c) g.setCell(r, c, r == 3 ? 100 : 10);
  std::vector<elevation::TracedLine> lines;
  ASSERT_TRUE(elevation::traceLevel(run.ctx, 50, lines));
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].closure, Closure::open);
  EXPECT_EQ(lines[1].closure, Closure::open);
}

TEST(Contours, ALineEnteringTheWindowTwiceIsWrittenTwice) {
  // A ridge along row 1, outside the window (the outer two rings are left out), with two
  // arms reaching down into it: the line below the ridge enters the window's top edge on
  // the east side of each arm, and is traced once from each entry.
  ElevationRun run(1);
  run.s.contourTarget = 1;
  run.layOut(kFixtureWest, fixtureNorth(), 9, 9, 2);
  auto& g = run.ctx.elevationGrid;
  for (int r = 0; r < 9; ++r)
    for (int c = 0; c < 9; ++c) g.setCell(r, c, r == 1 || ((c == 3 || c == 5) && r >= 1 && r <= 4) ? 100 : 10);
  std::vector<elevation::TracedLine> lines;
  ASSERT_TRUE(elevation::traceLevel(run.ctx, 50, lines));
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].closure, Closure::open);
  EXPECT_EQ(lines[1].closure, Closure::open);
  // The line runs west with the ridge on its right: traced from the western arm it is the
  // tail of the trace from the eastern arm, which is found second.
  const auto& tail = lines[0].vertices;
  const auto& whole = lines[1].vertices;
  ASSERT_LT(tail.size(), whole.size());
  const std::size_t offset = whole.size() - tail.size();
  for (std::size_t i = 0; i < tail.size(); ++i) {
    EXPECT_EQ(whole[offset + i].x, tail[i].x) << i;
    EXPECT_EQ(whole[offset + i].y, tail[i].y) << i;
  }
}

}  // namespace
