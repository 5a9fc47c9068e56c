#include "converter/geo/mesh_codes.h"

#include <gtest/gtest.h>

#include "converter/geo/plane_coordinates.h"
#include "converter/sheet/sheet_mesh_codes.h"
#include "tests/elevation/elevation_fixture.h"

using geo::GeoBox;
using geo::listMeshCodes;
using geo::MeshCodeKind;

namespace {

std::vector<std::string> codes(geo::MeshCodeKind kind, geo::GeoBox box) {
  std::vector<std::string> list;
  geo::listMeshCodes(list, kind, box);
  return list;
}

// A point of the third-level mesh 5339-45-12.
constexpr geo::GeoBox kPoint{139.65625, 139.65625, 35.679166, 35.679166};

}  // namespace

TEST(MeshCodes, EachKindSpellsItsCode) {
  const struct {
    geo::MeshCodeKind kind;
    const char* code;
  } cases[] = {{geo::MeshCodeKind::firstLevel, "5339"},
               {geo::MeshCodeKind::secondLevelCompact, "-533945"},
               {geo::MeshCodeKind::thirdLevelCompact, "L-53394512"},
               {geo::MeshCodeKind::secondLevelDashed, "5339-45"},
               {geo::MeshCodeKind::thirdLevelDashed, "5339-45-12"}};
  for (const auto& c : cases) EXPECT_EQ(codes(c.kind, kPoint), std::vector<std::string>{c.code}) << c.code;
}

TEST(MeshCodes, RowsSouthToNorthColumnsWestToEast) {
  // Second-level meshes 5339-45, -46 and 5339-55, -56.
  const geo::GeoBox box{139.70, 139.80, 35.70, 35.80};
  EXPECT_EQ(codes(geo::MeshCodeKind::secondLevelDashed, box),
            (std::vector<std::string>{"5339-45", "5339-46", "5339-55", "5339-56"}));
  // A box inside one first-level mesh gives that mesh alone.
  EXPECT_EQ(codes(geo::MeshCodeKind::firstLevel, box), std::vector<std::string>{"5339"});
}

TEST(MeshCodes, NorthEdgeOnABoundaryTakesTheRowBeyond) {
  // 36 N is the boundary between first-level rows 53 and 54.
  const geo::GeoBox box{139.5, 139.6, 35.9, 36.0};
  EXPECT_EQ(codes(geo::MeshCodeKind::firstLevel, box), (std::vector<std::string>{"5339", "5439"}));
}

TEST(MeshCodes, CompactThenDashedKeepsBothSpellings) {
  const geo::GeoBox box{139.70, 139.80, 35.70, 35.80};
  std::vector<std::string> list{"stale"};
  geo::listMeshCodes(list, geo::MeshCodeKind::secondLevelCompact, box);
  geo::listMeshCodes(list, geo::MeshCodeKind::secondLevelDashed, box);
  EXPECT_EQ(list, (std::vector<std::string>{"-533945", "-533946", "-533955", "-533956", "5339-45", "5339-46", "5339-55",
                                            "5339-56"}));
  geo::listMeshCodes(list, geo::MeshCodeKind::thirdLevelCompact, kPoint);
  EXPECT_EQ(list, std::vector<std::string>{"L-53394512"});
  geo::listMeshCodes(list, geo::MeshCodeKind::firstLevel, box);
  EXPECT_EQ(list, std::vector<std::string>{"5339"});
}

TEST(MeshCodes, SheetBoxBulgesNorthOverTheCentralMeridian) {
  geo::PlaneCoordinates coords;
  coords.unitsPerMetre = 1000;
  ASSERT_TRUE(coords.selectSystem(9));
  // 40 km wide across the meridian of system IX, 10 km tall.
  const double y0 = -20000e3, y1 = 20000e3, x0 = -50000e3, x1 = -40000e3;
  geo::GeoBox box;
  ASSERT_TRUE(geo::sheetGeoBox(coords, y0, y1, x0, x1, box));
  ASSERT_TRUE(coords.xytobl(0, x1));
  const double middle = coords.lastLatitude;
  ASSERT_TRUE(coords.xytobl(y0, x1));
  EXPECT_GT(middle, coords.lastLatitude);
  EXPECT_DOUBLE_EQ(box.north, middle);
  EXPECT_LT(box.west, 139.0 + 50.0 / 60);
  EXPECT_GT(box.east, 139.0 + 50.0 / 60);
}

TEST(MeshCodes, RunListForTheSheet) {
  ElevationRun run;
  ASSERT_TRUE(run.coords.selectSystem(9));
  run.ctx.sheetWest = -1000e3;
  run.ctx.sheetEast = 1000e3;
  run.ctx.sheetSouth = -1000e3;
  run.ctx.sheetNorth = 1000e3;
  sheet::buildMeshCodeList(run.ctx, geo::MeshCodeKind::secondLevelCompact, sheet::MeshBox::sheet);
  // The origin of system IX, 36 N 139 50' E, lies on the boundary of two second-level rows.
  EXPECT_EQ(run.ctx.meshCodeList, (std::vector<std::string>{"-533976", "-543906"}));
  // A sheet that has no latitude empties the list and says so.
  run.ctx.sheetWest = -1e15;
  sheet::buildMeshCodeList(run.ctx, geo::MeshCodeKind::secondLevelCompact, sheet::MeshBox::sheet);
  EXPECT_TRUE(run.ctx.meshCodeList.empty());
  EXPECT_NE(run.ctx.anomalyMessage, "");
}
