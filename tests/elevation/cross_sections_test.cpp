#include "converter/elevation/cross_sections.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "tests/common/collected_sheet.h"
#include "tests/elevation/elevation_fixture.h"

namespace {

// A sheet 4000 x 2000 units with its north-west corner at (0, 0).
struct SectionRun : ElevationRun {
  SectionRun(int angle, int count) : ElevationRun(1) {
    s.crossSectionAngle = angle;
    s.crossSectionCount = count;
    v.sheetWidth = 4000;
    v.sheetHeight = 2000;
    ctx.sheetWest = 0;
    ctx.sheetEast = 4000;
    ctx.sheetNorth = 0;
    ctx.sheetSouth = -2000;
  }
};

TEST(CrossSections, OneSectionThroughTheCentreFromBehindItsDirection) {
  struct Case {
    int angle;
    double ax, ay, bx, by;
  };
  const Case cases[] = {
      {0, 0, -1000, 4000, -1000},     {900, 2000, -2000, 2000, 0},  {1800, 4000, -1000, 0, -1000},
      {-1800, 4000, -1000, 0, -1000}, {-900, 2000, 0, 2000, -2000},
  };
  for (const auto& c : cases) {
    SectionRun run(c.angle, 1);
    const auto lines = elevation::sectionLines(run.ctx);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NEAR(lines[0].from.x, c.ax, 1e-6) << c.angle;
    EXPECT_NEAR(lines[0].from.y, c.ay, 1e-6) << c.angle;
    EXPECT_NEAR(lines[0].to.x, c.bx, 1e-6) << c.angle;
    EXPECT_NEAR(lines[0].to.y, c.by, 1e-6) << c.angle;
  }
}

TEST(CrossSections, SeveralSectionsAreParallelEvenlySpacedAndInsideTheSheet) {
  SectionRun run(300, 5);
  const auto lines = elevation::sectionLines(run.ctx);
  ASSERT_EQ(lines.size(), 5u);
  const double length = std::hypot(lines[0].to.x - lines[0].from.x, lines[0].to.y - lines[0].from.y);
  for (const auto& l : lines) {
    EXPECT_NEAR(std::hypot(l.to.x - l.from.x, l.to.y - l.from.y), length, 1e-6);
    EXPECT_NEAR(std::atan2(l.to.y - l.from.y, l.to.x - l.from.x) * 180 / 3.14159265358979323846, 30, 1e-9);
    for (auto p : {l.from, l.to}) {
      EXPECT_GE(p.x, -1e-6);
      EXPECT_LE(p.x, 4000 + 1e-6);
      EXPECT_GE(p.y, -2000 - 1e-6);
      EXPECT_LE(p.y, 1e-6);
    }
  }
  const double gap = std::hypot(lines[1].from.x - lines[0].from.x, lines[1].from.y - lines[0].from.y);
  for (std::size_t k = 2; k < lines.size(); ++k)
    EXPECT_NEAR(std::hypot(lines[k].from.x - lines[k - 1].from.x, lines[k].from.y - lines[k - 1].from.y), gap, 1e-6);
}

TEST(CrossSections, NearHorizontalWithinFortyFiveDegreesOfEastOrWest) {
  for (int a : {-3600, -3151, -2250, -1351, -450, 0, 449, 1350, 2249, 3150, 3600})
    EXPECT_TRUE(elevation::nearHorizontal(a)) << a;
  for (int a : {-3150, -2251, -1350, -451, 450, 900, 1349, 2250, 3149}) EXPECT_FALSE(elevation::nearHorizontal(a)) << a;
}

TEST(CrossSections, ProfileHeightScaleAndLabels) {
  SectionRun run(0, 1);
  run.v.legendStepCount = 16;
  run.v.unitsPerMetre = 1000;
  run.v.sheetStepHeight = 2000;
  run.v.meshCellWidth = 1000;
  run.v.meshCellHeight = 1000;
  run.ctx.sheetLegendInterval = {10};
  run.ctx.sheetLegendBottom = {0};
  run.ctx.sheetLegendDecimals = {0};
  run.coords.selectSystem(6);
  // Samples fall outside any grid: they are missing, so no map label and no area.
  CollectedSheet sheet;
  elevation::writeCrossSections(run.ctx, sheet.out);
  const std::string all = sheet.sink.notation();
  // Q = 16 x 10 m x 1000: the frame is 160000 high; ticks every 20 m.
  EXPECT_NE(all.find("90=4;70=0;43=0;38=0;10=0;20=" +
                     dxfio::formatReal(std::trunc(0 - 2000 - 2 * 160000 * 1.1 - 200) + 160000)),
            std::string::npos);
  for (const char* tick : {"1=0;", "1=20;", "1=160;"}) EXPECT_NE(all.find(tick), std::string::npos) << tick;
  EXPECT_NE(all.find("1=0.0度　縦横比1;"), std::string::npos);
  EXPECT_NE(all.find("1=-1;"), std::string::npos);  // the northing of A, 1000 units
  EXPECT_EQ(all.find("998hyoko"), std::string::npos);
  EXPECT_EQ(all.find("㎡"), std::string::npos);
}

}  // namespace
