// The boundary map: files, display levels by type text, the polylines in the shared store
// from our fixtures and from published files read in place (never copied here).
#include "converter/picker/boundary_map.h"

#include <gtest/gtest.h>

#include <array>
#include <map>
#include <string>

#include "converter/geo/plane_coordinates.h"
#include "tests/common/temp_folder.h"

namespace {

namespace fs = std::filesystem;
using picker::BoundaryMap;
using picker::LoadEnd;

fs::path realFolder() { return fs::path(TERRALINEA_SOURCE_DIR) / ".." / "shared" / "testdata" / "real" / "fgd-vector"; }

struct LevelRow {
  const char* name;
  const char* type;
  int level;
};
constexpr LevelRow kLevels[] = {
    {"prefecture boundary", "都道府県界", 0},
    {"prefecture area (no final 界)", "都道府県", 0},
    {"subprefecture area", "北海道の支庁", 1},
    {"city area", "郡市・東京都の区", 2},
    {"city boundary", "郡市・東京都の区界", 2},
    {"town boundary", "町村・指定都市の区界", 3},
    {"district boundary", "大字・町・丁目界", 4},
    {"other", "その他", 5},
    {"unknown: last entry, still level 5", "不明", 5},
    {"inside an entry, not its start", "区界", 5},
    {"not in the list", "海岸線", 5},
    {"no type text", "", 5},
};

TEST(DisplayLevel, ByTypeText) {
  for (const auto& row : kLevels) EXPECT_EQ(picker::displayLevel(row.type), row.level) << row.name;
}

// A feature of the published layout with its coordinate lists ("lat lon" lines).
std::string feature(const char* cls, const char* type, const std::vector<std::vector<std::array<double, 2>>>& lists) {
  std::string text = std::string("<") + cls + " gml:id=\"K1\">\r\n<area>\r\n";
  for (const auto& list : lists) {
    text += "<gml:posList>\r\n";
    for (const auto& p : list) text += std::to_string(p[0]) + " " + std::to_string(p[1]) + "\r\n";
    text += "</gml:posList>\r\n";
  }
  text += std::string("</area>\r\n<type>") + type + "</type>\r\n</" + cls + ">\r\n";
  return text;
}
std::string file(const std::string& features) {
  return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<Dataset>\r\n" + features + "</Dataset>\r\n";
}

struct Polyline {
  int level;
  std::size_t count;
};
std::vector<Polyline> polylines(const BoundaryMap& map) {
  std::vector<Polyline> out;
  map.forEachPolyline([&](int level, const geo::PointPair*, std::size_t n) { out.push_back({level, n}); });
  return out;
}

class BoundaryFixture : public ::testing::Test {
 protected:
  TempFolder temp;
  std::vector<geo::PointPair> store = std::vector<geo::PointPair>(1000);
  BoundaryMap map{store};
};

TEST_F(BoundaryFixture, BoundaryFilesServeWhenThereAreNoAreaFiles) {
  writeBytes(temp / "sub" / "FG-GML-533945-AdmBdry-20201001-0001.xml",
             file(feature("AdmBdry", "町村・指定都市の区界", {{{35.7, 139.7}, {35.71, 139.71}}})));
  writeBytes(temp / "FG-GML-533945-RdEdg-20201001-0001.xml", file(""));
  auto files = picker::listFiles(temp.path().string());
  EXPECT_TRUE(files.areas.empty());
  ASSERT_EQ(files.boundaryFiles().size(), 1u);  // found in the subfolder
  EXPECT_EQ(files.roads.size(), 1u);
  ASSERT_TRUE(map.loadBoundaries(files.boundaryFiles()).loaded());
  const auto lines = polylines(map);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].level, 3);
  EXPECT_EQ(lines[0].count, 2u);
  EXPECT_DOUBLE_EQ(map.dataBox().minLon, 139.7);
  EXPECT_DOUBLE_EQ(map.dataBox().maxLat, 35.71);

  writeBytes(temp / "FG-GML-533945-AdmArea-20201001-0001.xml", file(""));
  files = picker::listFiles(temp.path().string());
  EXPECT_EQ(files.boundaryFiles().size(), 1u);
  EXPECT_EQ(files.boundaryFiles()[0].filename(), "FG-GML-533945-AdmArea-20201001-0001.xml");
}

TEST_F(BoundaryFixture, EveryRingOfAFeatureTakesItsType) {
  // Lines before the first feature (a stray list in the header) are not read.
  const std::string header = "<gml:posList>\r\n35.0 139.0\r\n</gml:posList>\r\n";
  writeBytes(temp / "a-AdmArea-1.xml",
             file(header + feature("AdmArea", "都道府県", {{{35.7, 139.7}, {35.71, 139.7}, {35.71, 139.71}},
                                                           {{35.705, 139.705}, {35.706, 139.706}}}) +
                  feature("AdmArea", "", {{{35.72, 139.72}, {35.73, 139.73}}})));
  ASSERT_TRUE(map.loadBoundaries({temp / "a-AdmArea-1.xml"}).loaded());
  const auto lines = polylines(map);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0].level, 0);
  EXPECT_EQ(lines[1].level, 0);  // the hole as well as the outer ring
  EXPECT_EQ(lines[2].level, 5);
  EXPECT_EQ(map.used(), 3u + 3 + 2 + 2);
}

TEST_F(BoundaryFixture, FullStoreKeepsThePolylinesBeforeAndSaysSo) {
  std::vector<std::array<double, 2>> small(10, {35.7, 139.7}), large(995, {35.8, 139.8});
  writeBytes(temp / "a-AdmArea-1.xml",
             file(feature("AdmArea", "その他", {small}) + feature("AdmArea", "その他", {large})));
  const LoadEnd end = map.loadBoundaries({temp / "a-AdmArea-1.xml"});
  EXPECT_EQ(end.kind, LoadEnd::Kind::storeFull);
  EXPECT_EQ(end.caption, "占有メモリー限界に達しました");
  EXPECT_EQ(end.text, "地理院データフォルダ　の指定範囲を限定してください。");
  ASSERT_EQ(polylines(map).size(), 1u);
  EXPECT_EQ(map.used(), 11u);
  EXPECT_DOUBLE_EQ(map.dataBox().maxLat, 35.7);  // the dropped polyline's points are not in the box
}

TEST_F(BoundaryFixture, ACoordinateThatIsNoNumberEndsTheLoadWithFileAndLine) {
  writeBytes(temp / "a-AdmArea-1.xml", file(feature("AdmArea", "その他", {{{35.7, 139.7}}}) +
                                            "<AdmArea gml:id=\"K2\">\r\n<gml:posList>\r\n35.7 東\r\n"));
  const LoadEnd end = map.loadBoundaries({temp / "a-AdmArea-1.xml"});
  EXPECT_EQ(end.kind, LoadEnd::Kind::failed);
  EXPECT_NE(end.text.find("a-AdmArea-1.xml 13行目"), std::string::npos) << end.text;
  EXPECT_EQ(polylines(map).size(), 1u);
}

TEST(DrawnPieces, SegmentsAlongTileCutsAreLeftOut) {
  // 139.625 is a multiple of 1/8 degree, 35.75 of 1/12 degree.
  struct Row {
    const char* name;
    std::vector<geo::PointPair> points;
    std::vector<std::pair<std::size_t, std::size_t>> pieces;
  } rows[] = {
      {"all on the meridian cut", {{139.625, 35.70}, {139.625, 35.71}, {139.625, 35.72}}, {}},
      {"crossing the cut", {{139.62, 35.70}, {139.625, 35.71}, {139.63, 35.72}}, {{0, 3}}},
      {"along the parallel cut in the middle",
       {{139.60, 35.74}, {139.61, 35.75}, {139.62, 35.75}, {139.621, 35.749}},
       {{0, 2}, {2, 2}}},
      {"within 1e-8 of the cut counts as on it", {{139.625 + 1e-10, 35.7}, {139.625 - 1e-9, 35.71}}, {}},
      {"1e-6 off the cut does not", {{139.625 + 1e-6, 35.7}, {139.625, 35.71}}, {{0, 2}}},
  };
  for (const auto& row : rows) {
    std::vector<std::pair<std::size_t, std::size_t>> got;
    for (const auto& p : picker::drawnPieces(row.points.data(), row.points.size())) got.emplace_back(p.first, p.count);
    EXPECT_EQ(got, row.pieces) << row.name;
  }
}

TEST(SecondLevelCodes, CoverTheBox) {
  EXPECT_EQ(picker::secondLevelCodes(139.70, 139.80, 35.70, 35.70),
            (std::vector<std::string>{"533945", "533946"}));
  EXPECT_EQ(picker::secondLevelCodes(139.70, 139.70, 35.66, 35.70), (std::vector<std::string>{"533935", "533945"}));
}

// A plane window in system IX around a point, `half` drawing units (mm) each way.
picker::PlaneRect windowAround(geo::PlaneCoordinates& c, double lon, double lat, double half) {
  c.bltoxy(lon, lat);
  return {c.planeY - half, c.planeY + half, c.planeX - half, c.planeX + half};
}

TEST_F(BoundaryFixture, RoadsOutsideTheWindowLeaveNoGap) {
  geo::PlaneCoordinates c;
  c.selectSystem(9);
  // Mesh 533945: 35.6667..35.75 N, 139.625..139.75 E.
  writeBytes(temp / "FG-GML-533945-RdEdg-20201001-0001.xml",
             file(feature("RdEdg", "真幅道路", {{{35.70, 139.70}, {35.701, 139.701}}}) +
                  feature("RdEdg", "真幅道路", {{{35.74, 139.74}, {35.741, 139.741}}}) +
                  feature("RdEdg", "真幅道路", {{{35.7001, 139.7001}, {35.7002, 139.7002}, {35.7003, 139.7}}})));
  writeBytes(temp / "FG-GML-523945-RdEdg-20201001-0001.xml",
             file(feature("RdEdg", "真幅道路", {{{35.70, 139.70}, {35.701, 139.701}}})));
  // 200 m each way, widened by half: the second road (4 km away) is outside; the second
  // file's mesh code is far from the window and is not read at all.
  const auto view = windowAround(c, 139.7, 35.7, 200000);
  std::vector<std::pair<int, int>> progress;
  const LoadEnd end = map.loadRoads({temp / "FG-GML-533945-RdEdg-20201001-0001.xml",
                                     temp / "FG-GML-523945-RdEdg-20201001-0001.xml"},
                                    c, view, [&](int done, int total) { progress.emplace_back(done, total); });
  ASSERT_TRUE(end.loaded()) << end.text;
  EXPECT_EQ(progress, (std::vector<std::pair<int, int>>{{1, 4}, {2, 4}}));
  const auto lines = polylines(map);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].count, 2u);
  EXPECT_EQ(lines[1].count, 3u);
  EXPECT_EQ(map.used(), 3u + 4u);
  c.bltoxy(139.7003 - 0.0003, 35.7003);
  map.forEachPolyline([&](int level, const geo::PointPair* p, std::size_t n) {
    EXPECT_EQ(level, picker::kRoadLevel);
    if (n == 3) {  // plane (Y, X) in place of (longitude, latitude)
      EXPECT_NEAR(p[2].x, c.planeY, 1e-6);
      EXPECT_NEAR(p[2].y, c.planeX, 1e-6);
    }
  });
}

TEST_F(BoundaryFixture, FullStoreOfRoadsSaysSoWithoutCaption) {
  geo::PlaneCoordinates c;
  c.selectSystem(9);
  std::vector<std::array<double, 2>> many(1200, {35.70, 139.70});
  writeBytes(temp / "FG-GML-533945-RdEdg-1.xml", file(feature("RdEdg", "真幅道路", {many})));
  const LoadEnd end = map.loadRoads({temp / "FG-GML-533945-RdEdg-1.xml"}, c, windowAround(c, 139.7, 35.7, 1e6));
  EXPECT_EQ(end.kind, LoadEnd::Kind::storeFull);
  EXPECT_EQ(end.caption, "");
  EXPECT_EQ(end.text, "データが多すぎます、表示範囲を狭めてください");
  EXPECT_EQ(map.used(), 0u);
}

// Published files: the levels by type and the lists per level.
TEST(RealBoundaryMap, AreaFilesByLevel) {
  if (!fs::exists(realFolder())) GTEST_SKIP() << "no published data at " << realFolder();
  struct Row {
    const char* file;
    std::map<int, int> perLevel;
  } rows[] = {
      {"FG-GML-362442-AdmArea-20141001-0001.xml", {{2, 18}}},  // 郡市・東京都の区
      {"FG-GML-503041-ALL-20181001/FG-GML-503041-AdmArea-20181001-0001.xml", {{3, 86}, {5, 13}}},  // 町村…, 不明
      {"FG-GML-503041-ALL-20181001/FG-GML-503041-AdmBdry-20181001-0001.xml", {{0, 311}}},
  };
  std::vector<geo::PointPair> store(2097152);
  BoundaryMap map(store);
  for (const auto& row : rows) {
    ASSERT_TRUE(map.loadBoundaries({realFolder() / row.file}).loaded()) << row.file;
    std::map<int, int> got;
    std::size_t points = 0;
    map.forEachPolyline([&](int level, const geo::PointPair* p, std::size_t n) {
      ++got[level];
      points += n;
      for (std::size_t i = 0; i < n; ++i) {
        EXPECT_GE(p[i].x, map.dataBox().minLon);
        EXPECT_LE(p[i].y, map.dataBox().maxLat);
      }
    });
    EXPECT_EQ(got, row.perLevel) << row.file;
    EXPECT_EQ(map.used(), points + polylines(map).size()) << row.file;
  }
}

TEST(RealBoundaryMap, RoadEdgesOfTheMeshInView) {
  if (!fs::exists(realFolder())) GTEST_SKIP() << "no published data at " << realFolder();
  const fs::path roads = realFolder() / "FG-GML-503041-ALL-20181001/FG-GML-503041-RdEdg-20181001-0001.xml";
  geo::PlaneCoordinates c;
  c.selectSystem(2);
  std::vector<geo::PointPair> store(2097152);
  BoundaryMap map(store);
  // Mesh 503041: 33.3333..33.4167 N, 130.125..130.25 E; the whole mesh in a wide view.
  ASSERT_TRUE(map.loadRoads({roads}, c, windowAround(c, 130.19, 33.375, 3e7)).loaded());
  EXPECT_EQ(polylines(map).size(), 412u);  // every coordinate list of the file
  // A view 100 km away lists other meshes only: the file is passed over.
  ASSERT_TRUE(map.loadRoads({roads}, c, windowAround(c, 131.3, 33.375, 1e6)).loaded());
  EXPECT_EQ(map.used(), 0u);
}

}  // namespace
