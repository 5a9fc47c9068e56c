// The elevation input inside a whole run: counted in the counting pass, loaded and
// analysed for the sheet, the legend written back into the tables.
#include <gtest/gtest.h>

#include <cmath>

#include "converter/geo/plane_coordinates.h"
#include "converter/run/conversion_run.h"
#include "converter/settings/check_settings.h"
#include "converter/settings/choice_lists.h"
#include "platform/printer_catalogue.h"
#include "tests/common/temp_folder.h"
#include "tests/elevation/elevation_fixture.h"
#include "tests/settings/fixture.h"

namespace {

int itemOfZone(int zone) {
  const auto& items = settings::coordinateSystemItems();
  for (std::size_t i = 0; i < items.size(); ++i)
    if (settings::zoneFromItemText(items[i]) == zone) return static_cast<int>(i);
  return -1;
}

std::string wholeText(double value) { return std::to_string(static_cast<long long>(std::floor(value))); }

}  // namespace

TEST(ElevationInTheRun, LegendOfTheSheetComesFromItsGrid) {
  TempFolder temp;
  auto s = validSettings(temp);
  // Other data folders empty; the elevation folder holds the two fixtures of mesh 5235-40.
  std::filesystem::create_directories(temp / "empty");
  for (auto* folder : {&s.fgdFolder, &s.mlitFolder, &s.basicInfoFolder}) *folder = settings::pathText(temp / "empty");
  s.elevationFolder = settings::pathText(temp / "dem");
  for (const char* name : {"FG-GML-5235-40-DEM10B-placed.xml", "FG-GML-5235-40-DEM10B-overlap.xml"}) {
    std::filesystem::create_directories(temp / "dem");
    std::filesystem::copy_file(elevationFixtures() / name, temp / "dem" / name);
  }
  s.coordinateSystem = itemOfZone(6);
  ASSERT_GE(s.coordinateSystem, 0);
  geo::PlaneCoordinates coords;
  coords.unitsPerMetre = 1000;
  ASSERT_TRUE(coords.selectSystem(6));
  coords.bltoxy(135.0005, 35.0009);
  s.westEdge = wholeText(coords.planeY - 30000);
  s.eastEdge = wholeText(coords.planeY + 30000);
  s.southEdge = wholeText(coords.planeX - 30000);
  s.northEdge = wholeText(coords.planeX + 30000);
  s.meshSource = 1;
  s.legendAuto = true;
  s.legendBottomBias = 0;
  s.legendIntervals.setCell(0, 0, "");
  s.legendBottoms.setCell(0, 0, "");

  platform::PrinterCatalogue printers;
  settings::RunValues values;
  ASSERT_EQ(settings::checkSettings(s, printers, coords, values), "");
  ProgressHost host;
  sheet::RunContext context(s, values, coords, host);
  const auto result = run::ConversionRun(context).execute();
  EXPECT_EQ(result, run::RunResult::Completed);
  EXPECT_EQ(context.anomalyMessage, "");
  EXPECT_TRUE(host.showed(sheet::ProgressLine::Total, "2"));  // the two elevation files
  EXPECT_TRUE(host.showed(sheet::ProgressLine::File, "FG-GML-5235-40-DEM10B-overlap.xml"));
  // The sheet's cells hold the computed legend in millimetres, and the sheet uses it.
  ASSERT_NE(s.legendIntervals.cell(0, 0), "");
  ASSERT_NE(s.legendBottoms.cell(0, 0), "");
  const double interval = std::stod(s.legendIntervals.cell(0, 0)) / 1000;
  const double bottom = std::stod(s.legendBottoms.cell(0, 0)) / 1000;
  EXPECT_DOUBLE_EQ(context.sheetLegendInterval[0], interval);
  EXPECT_DOUBLE_EQ(context.sheetLegendBottom[0], bottom);
  // Bias 0 puts the bottom at the lowest sample (10 m and up), lowered so that the top
  // of the 16 levels does not pass the highest one (114 m).
  EXPECT_GE(interval, 0.01);
  EXPECT_LE(bottom, 11.0);
  EXPECT_LE(bottom + 15 * interval, 114.0 + 1e-9);
  EXPECT_GT(bottom + 16 * interval, 114.0 - interval);
  EXPECT_TRUE(std::filesystem::exists(temp / "M.dxf"));
}
