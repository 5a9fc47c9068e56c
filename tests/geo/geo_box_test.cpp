#include "converter/geo/geo_box.h"

#include <gtest/gtest.h>

#include <cmath>

#include "converter/geo/plane_coordinates.h"

using geo::BoxSampling;
using Corners = BoxSampling::Corners;
using NorthernEdge = BoxSampling::NorthernEdge;

namespace {

// The samplings of the callers: the mesh codes of a sheet, the elevation grid of a sheet,
// the first sheet's grid estimate, and the building question over the whole area.
constexpr BoxSampling kMeshCodes{};
constexpr BoxSampling kElevationGrid{Corners::around, NorthernEdge::quarterPoints};
constexpr BoxSampling kFirstSheet{Corners::around, NorthernEdge::cornersOnly};
constexpr BoxSampling kWholeArea{Corners::around, NorthernEdge::cornersOnly, false};

struct Rectangle {
  int zone;
  double unitsPerMetre, west, east, south, north;
};

}  // namespace

// Every point starts from the one before, so the order of the corners shows in the last
// digits; these boxes were taken before the four samplings became one function.
TEST(GeoBox, ReferenceBoxes) {
  // 40 km across the meridian of system IX, 10 km tall, in millimetres.
  constexpr Rectangle kAcross{9, 1000, -20000e3, 20000e3, -50000e3, -40000e3};
  // The same across a quarter of its width: the meridian meets the edge at a quarter point.
  constexpr Rectangle kQuarter{9, 1000, -10000e3, 30000e3, -50000e3, -40000e3};
  // 20 km square east of the meridian of system II.
  constexpr Rectangle kEast{2, 1000, 10000e3, 30000e3, 5000e3, 25000e3};
  // 100 km square west of the meridian of system XIII, in metres.
  constexpr Rectangle kWest{13, 1, -150e3, -50e3, 0, 100e3};
  struct Case {
    Rectangle rectangle;
    BoxSampling sampling;
    geo::GeoBox box;
  };
  const Case cases[] = {
      {kAcross, kMeshCodes, {139.61249392511661, 140.05417274155852, 35.549119335010843, 35.639459590438037}},
      {kAcross, kElevationGrid, {139.61249392529652, 140.05417274154996, 35.549119334954888, 35.639459590438037}},
      {kAcross, kFirstSheet, {139.61249392529652, 140.05417274154996, 35.549119334954888, 35.639257152350972}},
      {kAcross, kWholeArea, {139.61249392529652, 140.05417274154996, 35.549119334954888, 35.639257152350972}},
      {kQuarter, kMeshCodes, {139.722913356574, 140.16459107193086, 35.548867125087881, 35.63945959043803}},
      {kQuarter, kElevationGrid, {139.72291335926377, 140.16459107192665, 35.54886712498255, 35.63945959043803}},
      {kQuarter, kFirstSheet, {139.72291335926377, 140.16459107192665, 35.54886712498255, 35.639408980727829}},
      {kEast, kMeshCodes, {131.10707052368525, 131.32186717904736, 33.044674691394576, 33.225391456175508}},
      {kEast, kElevationGrid, {131.10707052368525, 131.32186717907979, 33.044674691288861, 33.225391456214467}},
      {kEast, kFirstSheet, {131.10707052368525, 131.32186717907979, 33.044674691288861, 33.225391456214467}},
      {kWest, kMeshCodes, {142.35120957732477, 143.62656237389638, 43.984697479517607, 44.898254906425919}},
      {kWest, kElevationGrid, {142.35120950835892, 143.6265623082376, 43.984697479517607, 44.898254906220536}},
      {kWest, kWholeArea, {142.35120950835892, 143.6265623082376, 43.984697479517607, 44.898254906220536}},
  };
  for (const auto& c : cases) {
    const Rectangle& r = c.rectangle;
    geo::PlaneCoordinates coords;
    coords.unitsPerMetre = r.unitsPerMetre;
    ASSERT_TRUE(coords.selectSystem(r.zone));
    geo::GeoBox box;
    const auto where = testing::Message() << "zone " << r.zone << ", corners " << static_cast<int>(c.sampling.corners)
                                          << ", northern edge " << static_cast<int>(c.sampling.northernEdge);
    ASSERT_TRUE(geo::sheetGeoBox(coords, r.west, r.east, r.south, r.north, box, c.sampling)) << where;
    EXPECT_DOUBLE_EQ(box.west, c.box.west) << where;
    EXPECT_DOUBLE_EQ(box.east, c.box.east) << where;
    EXPECT_DOUBLE_EQ(box.south, c.box.south) << where;
    EXPECT_DOUBLE_EQ(box.north, c.box.north) << where;
  }
}

TEST(GeoBox, PointOutsideTheSystem) {
  for (const BoxSampling& sampling : {kMeshCodes, kElevationGrid, kFirstSheet, kWholeArea}) {
    geo::PlaneCoordinates coords;
    coords.unitsPerMetre = 1000;
    ASSERT_TRUE(coords.selectSystem(9));
    geo::GeoBox box;
    // The western corners lie far beyond the globe.
    EXPECT_FALSE(geo::sheetGeoBox(coords, -1e15, 20000e3, -50000e3, -40000e3, box, sampling));
    if (sampling.stopAtFailure) {
      // Stopped at the first corner: nothing was added to the empty box.
      EXPECT_EQ(box.west, 1e308);
      EXPECT_EQ(box.north, -1e308);
    } else {
      // The eastern corners still convert and count.
      EXPECT_NEAR(box.east, 140.054, 0.001);
      EXPECT_NEAR(box.south, 35.549, 0.001);
    }
  }
}

// Every point of the inner box, corners and a grid over it, converts into the rectangle:
// the readers let features inside it pass the sheet test unconverted.
TEST(GeoBox, InnerBoxConvertsInsideTheRectangle) {
  struct Case {
    const char* name;
    Rectangle r;
    bool found;
  };
  const Case cases[] = {
      {"A3 sheet at 1:25000, system 9", {9, 1000, -9000e3, 2300e3, -37000e3, -27700e3}, true},
      {"whole mesh at 1:2500 units, system 6", {6, 1000, -81000e3, -69600e3, 74300e3, 83400e3}, true},
      {"100 km far from the origin, system 2", {2, 1000, 150000e3, 250000e3, -120000e3, -20000e3}, true},
      {"one metre", {9, 1000, 1000, 2000, 3000, 4000}, true},
      {"metre units", {13, 1, -40000, 10000, 5000, 60000}, true},
      {"empty", {9, 1000, 10, 10, 0, 100}, false},
      {"beyond the globe", {9, 1000, -1e15, 20000e3, -50000e3, -40000e3}, false},
  };
  for (const auto& c : cases) {
    geo::PlaneCoordinates coords;
    coords.unitsPerMetre = static_cast<int>(c.r.unitsPerMetre);
    ASSERT_TRUE(coords.selectSystem(c.r.zone));
    const double lastLat = coords.lastLatitude, lastLon = coords.lastLongitude;
    geo::GeoBox box;
    ASSERT_EQ(geo::innerGeoBox(coords, c.r.west, c.r.east, c.r.south, c.r.north, box), c.found) << c.name;
    EXPECT_EQ(coords.lastLatitude, lastLat) << c.name;  // the caller's iteration start is kept
    EXPECT_EQ(coords.lastLongitude, lastLon) << c.name;
    if (!c.found) continue;
    EXPECT_LT(box.west, box.east) << c.name;
    EXPECT_LT(box.south, box.north) << c.name;
    constexpr int kSteps = 20;
    for (int i = 0; i <= kSteps; ++i) {
      for (int j = 0; j <= kSteps; ++j) {
        const double lon = box.west + (box.east - box.west) * i / kSteps;
        const double lat = box.south + (box.north - box.south) * j / kSteps;
        coords.bltoxy(lon, lat);
        EXPECT_TRUE(coords.planeX >= c.r.south && coords.planeX <= c.r.north && coords.planeY >= c.r.west &&
                    coords.planeY <= c.r.east)
            << c.name << " at " << lon << " " << lat;
      }
    }
  }
}
