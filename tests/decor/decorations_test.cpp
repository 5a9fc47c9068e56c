#include "converter/decor/decorations.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/numbers.h"
#include "tests/decor/furniture_fixture.h"

namespace {

bool has(const std::vector<std::string>& texts, const std::string& text) {
  return std::find(texts.begin(), texts.end(), text) != texts.end();
}

TEST(Decorations, PaperSpaceOrBesideTheSheetByFlavour) {
  struct Case {
    const char* name;
    geo::Flavour flavour;
    const char* owner;
    bool paper;
  };
  const Case cases[] = {
      {"2004 true colour: on the paper", geo::Flavour::trueColour, "14", true},
      {"2000 palette: on the paper", geo::Flavour::palette255, "14", true},
      {"JW_CAD: in the drawing", geo::Flavour::jwCad, "13", false},
      {"Illustrator: in the drawing", geo::Flavour::illustrator, "13", false},
  };
  for (const auto& c : cases) {
    FurnitureRun run(c.flavour);
    run.s.meshSource = 1;
    run.s.contourSource = 1;
    const auto entities = run.decorations();
    ASSERT_GT(entities.size(), 40u) << c.name;
    for (const auto& e : entities) {
      EXPECT_EQ(e.value(330), c.owner) << c.name << " " << e.type;
      EXPECT_EQ(e.count(67), c.paper ? 1 : 0) << c.name << " " << e.type;
    }
    // Beside the sheet, the furniture keeps its place on the page: the title sits left of
    // the sheet by the page's left part, level with its top.
    const auto title =
        std::find_if(entities.begin(), entities.end(), [](const Entity& e) { return e.value(1) == "MA0"; });
    ASSERT_NE(title, entities.end()) << c.name;
    // Aligned at its top: the alignment point places it.
    const double x = std::stod(title->value(11)), y = std::stod(title->value(21));
    if (c.paper) {
      EXPECT_GT(x, 0) << c.name;
      EXPECT_LT(y, run.v.pageHeightMm * 2500) << c.name;
    } else {
      EXPECT_LT(x, run.ctx.sheetWest) << c.name;
      EXPECT_GT(y, run.ctx.sheetNorth - run.v.sheetHeight / 2) << c.name;
      EXPECT_LT(y, run.ctx.sheetNorth + 20 * run.ctx.legendGridUnit) << c.name;
    }
  }
}

TEST(Decorations, ScaleBarLabels) {
  struct Case {
    double metres;
    const char* text;
  };
  for (const auto& c : {Case{3000, "3km"}, Case{500, "500m"}, Case{1000, "1000m"}, Case{1200, "1km"}})
    EXPECT_EQ(decor::scaleBarText(c.metres), c.text) << c.metres;
  // The page of the fixture: 4 bars of 40 mm on paper, 100 m each at 1:2500.
  FurnitureRun run;
  EXPECT_EQ(run.ctx.scaleBarUnit, 100000);
  EXPECT_EQ(run.ctx.scaleBarCount, 4);
  EXPECT_TRUE(has(FurnitureRun::texts(run.decorations()), "400m"));
}

TEST(Decorations, LegendLabelStep) {
  struct Case {
    const char* name;
    int levels;
    double interval, bottom;
    int decimals;
    double step, first;
    const char* format;
  };
  const Case cases[] = {
      {"128 levels of 1 m: 8 raised to 10", 128, 1, 0, 0, 10, 120, "%1.0f"},
      {"8 levels: every level", 8, 25, 0, 0, 25, 175, "%1.0f"},
      {"16 levels with decimals", 16, 0.5, 100, 1, 0.5, 107.5, "%1.1f"},
      {"32 levels of 0.1 m: 0.2", 32, 0.1, 0, 1, 0.2, 3, "%1.1f"},
      {"64 levels of 0.01 m: 0.05", 64, 0.01, 0, 2, 0.05, 0.6, "%1.2f"},
      {"a sixteenth of exactly 1 stays 1", 160, 0.1, 0, 1, 1, 15, "%1.0f"},
  };
  for (const auto& c : cases) {
    const auto labels = decor::legendLabels(c.levels, c.interval, c.bottom, c.decimals);
    EXPECT_DOUBLE_EQ(labels.step, c.step) << c.name;
    EXPECT_NEAR(labels.first, c.first, 1e-9) << c.name;
    EXPECT_STREQ(labels.format, c.format) << c.name;
  }
}

TEST(Decorations, LegendMarksAndTheDatumMark) {
  struct Case {
    const char* name;
    int levels;
    double interval, datum;
    std::size_t markers;
    bool datumMark;
  };
  const Case cases[] = {
      {"8 levels, datum 0 inside", 8, 25, 0, 8, true},
      {"128 levels of 1 m: labels every 10 m", 128, 1, 0, 13, true},
      {"datum above the legend: no mark", 16, 10, 500, 16, false},
      {"datum one step below the bottom: marked", 16, 10, -10, 16, true},
  };
  for (const auto& c : cases) {
    FurnitureRun run;
    run.s.contourSource = 1;
    run.v.legendStepCount = c.levels;
    run.v.datumOffset = c.datum;
    run.ctx.sheetLegendInterval = {c.interval};
    const auto entities = run.decorations();
    std::size_t solids = 0, markers = 0;
    for (const auto& e : entities) {
      if (e.type != "SOLID") continue;
      ++solids;
      EXPECT_EQ(e.value(8).rfind("等高線", 0), 0u) << c.name;
      markers += e.value(12) == e.value(13);  // a marker repeats its last corner
    }
    EXPECT_EQ(solids, static_cast<std::size_t>(c.levels) + 1 + c.markers) << c.name;
    EXPECT_EQ(markers, c.markers) << c.name;
    const auto texts = FurnitureRun::texts(entities);
    EXPECT_EQ(has(texts, "T.P"), c.datumMark) << c.name;
    // The datum text stays whatever the legend.
    EXPECT_TRUE(has(texts, "T.P=" + platform::formatNumber("%0.2fm", c.datum))) << c.name;
    const bool line = std::any_of(entities.begin(), entities.end(),
                                  [](const Entity& e) { return e.type == "LINE" && e.value(30) == "0.0"; });
    EXPECT_EQ(line, c.datumMark) << c.name;
  }
}

TEST(Decorations, InformationColumnAndNotes) {
  struct Case {
    const char* name;
    double eastWest, northSouth;
    int target, omission;
    std::vector<std::string> present, absent;
  };
  const Case cases[] = {
      {"no correction: ends with the north edge",
       0,
       0,
       1,
       0,
       {"世界測地系", "第 9座標系", "西 -8,000,000", "南 -36,383,238", "東 -7,123,741", "北 -35,697,946", "T.P=0.00m",
        "等高線間隔 10m"},
       {"東西補正0", "南北補正0", "8節未満省略"}},
      {"a correction adds both lines", -5, 0, 1, 0, {"東西補正-5", "南北補正0"}, {}},
      {"a target names itself before the datum", 0, 0, 0, 1, {"窪地以外  T.P=0.00m", "8節未満省略"}, {"T.P=0.00m"}},
  };
  for (const auto& c : cases) {
    FurnitureRun run;
    run.s.contourSource = 1;
    run.s.contourTarget = c.target;
    run.s.shortContourOmission = c.omission;
    run.v.eastWestCorrection = c.eastWest;
    run.v.northSouthCorrection = c.northSouth;
    const auto texts = FurnitureRun::texts(run.decorations());
    for (const auto& t : c.present) EXPECT_TRUE(has(texts, t)) << c.name << ": " << t;
    for (const auto& t : c.absent) EXPECT_FALSE(has(texts, t)) << c.name << ": " << t;
  }
  // Without elevation there is neither a legend nor a contour note.
  FurnitureRun plain;
  const auto entities = plain.decorations();
  EXPECT_FALSE(std::any_of(entities.begin(), entities.end(), [](const Entity& e) { return e.type == "SOLID"; }));
  EXPECT_FALSE(has(FurnitureRun::texts(entities), "等高線間隔 10m"));
}

TEST(Decorations, SheetTitles) {
  FurnitureRun run;
  run.sheetAt(1, 1);
  auto texts = FurnitureRun::texts(run.decorations());
  EXPECT_EQ(std::count(texts.begin(), texts.end(), "MB1"), 2);  // title and sheet name
  run.v.sheetRows = run.v.sheetColumns = 1;
  run.sheetAt(0, 0);
  texts = FurnitureRun::texts(run.decorations());
  EXPECT_EQ(std::count(texts.begin(), texts.end(), "M"), 2);
}

TEST(Decorations, NumberTexts) {
  struct Case {
    double value;
    const char* grouped;
    const char* interval;
  };
  const Case cases[] = {{10, "10", "10"},        {2.5, "3", "2.5"},
                        {0.25, "0", "0.25"},     {-12345.6, "-12,346", "-12345.6"},
                        {1000, "1,000", "1000"}, {-0.4, "0", "-0.4"}};
  for (const auto& c : cases) {
    EXPECT_EQ(platform::formatGrouped(c.value), c.grouped) << c.value;
    EXPECT_EQ(decor::intervalText(c.value), c.interval) << c.value;
  }
}

TEST(Decorations, TrueNorthArrowsBesideTheSheet) {
  FurnitureRun run;
  decor::writeTrueNorthArrows(run.ctx, run.writer);
  const auto entities = run.entities();
  ASSERT_EQ(entities.size(), 10u);
  std::vector<double> textX;
  for (const auto& e : entities) {
    EXPECT_EQ(e.value(330), "13");
    if (e.type != "TEXT") continue;
    EXPECT_EQ(e.value(1), "真北");
    EXPECT_EQ(e.value(50), "270");
    EXPECT_EQ(e.value(7), "TATEGAKI");
    EXPECT_EQ(e.value(73), "2");
    textX.push_back(std::stod(e.value(10)));
  }
  ASSERT_EQ(textX.size(), 2u);
  EXPECT_LT(textX[0], run.ctx.sheetWest);
  EXPECT_GT(textX[1], run.ctx.sheetEast);
}

}  // namespace
