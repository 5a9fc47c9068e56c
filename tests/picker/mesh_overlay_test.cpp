// The standard area mesh over the picker's map: level by visible height, codes, colours.
#include "converter/picker/mesh_overlay.h"

#include <gtest/gtest.h>

#include "converter/geo/plane_coordinates.h"

namespace {

TEST(MeshOverlay, CodesOfCells) {
  struct Row {
    const char* name;
    double latitude, longitude;
    int digits;
    const char* code;
  } rows[] = {
      {"Tokyo station, third level", 35.681236, 139.767125, 8, "53394611"},
      {"Tokyo station, second level", 35.681236, 139.767125, 6, "533946"},
      {"Tokyo station, first level", 35.681236, 139.767125, 4, "5339"},
      {"35 N lies halfway up a first-level cell", 35.0, 139.0, 8, "52394000"},
      {"second-level corner as a sum of steps", 35 + 3 * (1.0 / 12), 139 + 5 * 0.125, 6, "523975"},
      {"first-level corner", 36.0, 140.0, 4, "5440"},
  };
  for (const auto& row : rows) EXPECT_EQ(picker::meshCode(row.latitude, row.longitude, row.digits), row.code) << row.name;
}

TEST(MeshOverlay, LevelAndColourRules) {
  EXPECT_EQ(picker::meshLevelFor(120001).digits, 4);
  EXPECT_EQ(picker::meshLevelFor(120000).digits, 6);
  EXPECT_EQ(picker::meshLevelFor(11001).digits, 6);
  EXPECT_EQ(picker::meshLevelFor(11000).digits, 8);
  EXPECT_EQ(picker::meshColour(80 * 139).b, 1);    // whole degree
  EXPECT_EQ(picker::meshColour(10 * 13).g, 0.8f);  // every tenth line
  EXPECT_EQ(picker::meshColour(13).r, 0.4f);
}

TEST(MeshOverlay, FirstLevelBoxAndCellsInView) {
  gml::Box data;
  data.add(139.62, 35.68);
  data.add(139.88, 35.74);
  const gml::Box box = picker::firstLevelBox(data);
  EXPECT_DOUBLE_EQ(box.minLon, 139);
  EXPECT_DOUBLE_EQ(box.maxLon, 140);
  EXPECT_NEAR(box.minLat, 35 + 1.0 / 3, 1e-12);
  EXPECT_NEAR(box.maxLat, 36, 1e-12);

  geo::PlaneCoordinates c;
  c.selectSystem(9);
  // 8 km high around Tokyo station (mm): third level, cells of 45" x 30".
  c.bltoxy(139.767125, 35.681236);
  const picker::PlaneRect view{c.planeY - 6e6, c.planeY + 6e6, c.planeX - 4e6, c.planeX + 4e6};
  const auto overlay = picker::meshOverlay(view, 1000, box, c);
  ASSERT_FALSE(overlay.labels.empty());
  EXPECT_EQ(overlay.lines.size(), overlay.lineColours.size());
  bool station = false;
  for (const auto& label : overlay.labels) {
    EXPECT_EQ(label.code.size(), 8u);
    station = station || label.code == "53394611";
  }
  EXPECT_TRUE(station);
  // Cut to the data's box: nothing without data.
  EXPECT_TRUE(picker::meshOverlay(view, 1000, gml::Box(), c).labels.empty());
}

}  // namespace
