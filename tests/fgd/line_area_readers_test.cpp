#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "tests/fgd/harness.h"

using fgd::GmlReaders;
using Points = std::vector<std::pair<double, double>>;

namespace {

// Mesh 503041: meridians at 130.125 and 130.25, parallels at 33.6666… and 33.75.
constexpr double kMeridian = 130.25;

std::vector<std::pair<double, double>> vertices(const Entity& e) {
  std::vector<std::pair<double, double>> out;
  for (std::size_t i = 0; i + 1 < e.pairs.size(); ++i)
    if (e.pairs[i].first == 10 && e.pairs[i + 1].first == 20)
      out.emplace_back(std::stod(e.pairs[i].second), std::stod(e.pairs[i + 1].second));
  return out;
}

}  // namespace

TEST(MeshLineReader, SeamsAlongMeshLinesAreRemoved) {
  Harness h;
  h.group("BldL", {{"001建物", "普通建物", ""}});
  // A building cut by the meridian: A and D on it, B and C east of it, closed back to A.
  const Points cShape = {
      {33.70, kMeridian}, {33.70, 130.2501}, {33.7001, 130.2501}, {33.7001, kMeridian}, {33.70, kMeridian}};
  const Points inner = {{33.70, 130.2}, {33.70, 130.2001}, {33.7001, 130.2001}, {33.70, 130.2}};
  const Points allOnLines = {{33.70, kMeridian}, {33.7001, kMeridian}, {33.75, 130.2}, {33.70, kMeridian}};
  const Points twoPoints = {{33.70, 130.2}, {33.7001, 130.2001}};
  // An open line that touches the meridian twice in a row in its middle: two runs.
  const Points broken = {{33.70, 130.2499}, {33.70, kMeridian}, {33.7001, kMeridian}, {33.7001, 130.2499}};
  struct Case {
    const char* what;
    Points points;
    std::vector<std::pair<std::string, std::size_t>> lines;  // 70 flag and vertex count of each polyline
  };
  const std::vector<Case> cases = {
      {"C-shaped", cShape, {{"0", 4}}},
      {"closed ring inside", inner, {{"1", 3}}},
      {"ring on mesh lines", allOnLines, {}},
      {"two points", twoPoints, {{"0", 2}}},
      {"broken at the seam", broken, {{"0", 2}, {"0", 2}}},
  };
  for (const auto& c : cases) {
    auto e =
        h.read(dataset(curveFeature("BldL", c.points, "<orgGILvl>2500</orgGILvl>\r\n", "<type>普通建物</type>\r\n")),
               &GmlReaders::GML32Poly);
    ASSERT_EQ(e.size(), c.lines.size()) << c.what;
    for (std::size_t i = 0; i < e.size(); ++i) {
      EXPECT_EQ(e[i].type, "LWPOLYLINE");
      EXPECT_EQ(e[i].value(70), c.lines[i].first) << c.what;
      EXPECT_EQ(e[i].value(90), std::to_string(c.lines[i].second)) << c.what;
      EXPECT_EQ(vertices(e[i]).size(), c.lines[i].second) << c.what;
      EXPECT_TRUE(e[i].record().starts_with(
          "330=13;100=AcDbEntity;8=001建物;100=AcDbPolyline;90=" + std::to_string(c.lines[i].second) +
          ";70=" + c.lines[i].first + ";38=0;10="))
          << c.what;
    }
  }
  // The first vertex of the C-shaped line is its point on the meridian.
  auto e = h.read(dataset(curveFeature("BldL", cShape, "", "<type>普通建物</type>\r\n")), &GmlReaders::GML32Poly);
  const auto [x, y] = h.xy(33.70, kMeridian);
  EXPECT_EQ(e[0].value(10), num(y));
  EXPECT_EQ(e[0].value(20), num(x));
}

TEST(MeshLineReader, RoutingRankAndSheetWindow) {
  Harness h;
  h.group("Cstline", {{"001海岸線", "海岸線", ""}});
  const Points line = {{33.70, 130.2}, {33.7001, 130.2001}};
  const auto [x, y] = h.xy(33.70, 130.2);
  struct Case {
    std::string type, level;
    int rank;
    double sheetWest;  // relative to the line's west end, mm
    std::size_t written;
  };
  const std::vector<Case> cases = {
      {"海岸線", "2500", 2500, -1, 1}, {"海岸線", "1000", 2500, -1, 0},
      {"防波堤", "2500", 0, -1, 0},    {"海岸線", "2500", 0, 20000, 0},  // the whole box east of... west of the sheet
      {"海岸線", "2500", 0, 1, 1},                                       // the box reaches into the sheet
  };
  for (const auto& c : cases) {
    h.ctx.rankThreshold = c.rank;
    h.ctx.sheetWest = y + c.sheetWest;
    auto e = h.read(dataset(curveFeature("Cstline", line, "<orgGILvl>" + c.level + "</orgGILvl>\r\n",
                                         "<type>" + c.type + "</type>\r\n")),
                    &GmlReaders::GML32Poly);
    EXPECT_EQ(e.size(), c.written) << c.type << " " << c.level << " " << c.sheetWest;
  }
  // The first item without a value takes every feature of the group.
  h.ctx.sheetWest = -1e12;
  h.group("Cstline", {{"001all", "", ""}, {"002x", "海岸線", ""}});
  EXPECT_EQ(h.read(dataset(curveFeature("Cstline", line, "", "<type>露岩</type>\r\n")), &GmlReaders::GML32Poly).size(),
            1u);
}

TEST(RoadReader, WidthClassesAgainstTheMinimum) {
  Harness h;
  h.group("RdCL", {{"001国道", "国道", ""}, {"002市", "市区町村道等", ""}});
  const Points line = {{33.70, 130.2}, {33.7001, 130.2001}};
  const Points loop = {{33.70, 130.2}, {33.70, 130.2001}, {33.7001, 130.2001}, {33.70, 130.2}};
  struct Case {
    std::string elements;  // after the curve
    double minimum;        // metres
    std::string width;     // 43 value, empty: dropped
  };
  const std::vector<Case> cases = {
      {"<rdCtg>国道</rdCtg>\r\n<rnkWidth>19.5m以上</rnkWidth>\r\n", 23, "23000"},
      {"<rdCtg>国道</rdCtg>\r\n<rnkWidth>19.5m以上</rnkWidth>\r\n", 24, ""},
      {"<rdCtg>国道</rdCtg>\r\n<rnkWidth>3m未満</rnkWidth>\r\n", 0, "2500"},
      {"<rdCtg>国道</rdCtg>\r\n<rnkWidth>3m-5.5m未満</rnkWidth>\r\n", 0, "4250"},
      {"<rdCtg>国道</rdCtg>\r\n<rnkWidth>5.5m-13m未満</rnkWidth>\r\n", 0, "9250"},
      {"<rdCtg>国道</rdCtg>\r\n<rnkWidth>13m-19.5m未満</rnkWidth>\r\n", 0, "16250"},
      {"<rdCtg>国道</rdCtg>\r\n<rnkWidth>不明</rnkWidth>\r\n", 0, "2500"},
      {"<rdCtg>国道</rdCtg>\r\n<rnkWidth>3m未満</rnkWidth>\r\n<Width>7.5</Width>\r\n", 0, "7500"},
      {"<rdCtg>高速自動車国道等</rdCtg>\r\n", 0, ""},
  };
  for (const auto& c : cases) {
    h.values.minRoadWidthUnits = c.minimum * 1000;
    auto e = h.read(dataset(curveFeature("RdCL", line, "<orgGILvl>25000</orgGILvl>\r\n", c.elements)),
                    &GmlReaders::GML64Poly_Road);
    ASSERT_EQ(e.size(), c.width.empty() ? 0u : 1u) << c.elements << c.minimum;
    if (c.width.empty()) continue;
    EXPECT_TRUE(e[0].record().starts_with(
        "330=13;100=AcDbEntity;8=001国道;370=0;100=AcDbPolyline;90=2;70=0;43=" + c.width + ";38=0;10="));
    EXPECT_EQ(e[0].value(43), c.width);
  }
  // A closed loop is written closed with its width; the width returns to 2.5 m after a feature.
  h.values.minRoadWidthUnits = 0;
  auto e = h.read(dataset(curveFeature("RdCL", loop, "", "<rdCtg>市区町村道等</rdCtg>\r\n<Width>6</Width>\r\n") +
                          curveFeature("RdCL", line, "", "<rdCtg>市区町村道等</rdCtg>\r\n")),
                  &GmlReaders::GML64Poly_Road);
  ASSERT_EQ(e.size(), 2u);
  EXPECT_EQ(e[0].value(70), "1");
  EXPECT_EQ(e[0].value(90), "3");
  EXPECT_EQ(e[0].value(43), "6000");
  EXPECT_EQ(e[1].value(43), "2500");
}

TEST(RailReader, UndergroundLinesRouteByTypeAndState) {
  Harness h;
  h.group("RailCL",
          {{"001単線", "普通鉄道（ＪＲ）単線", ""}, {"002地下", "普通鉄道（ＪＲ）地下", ""}, {"003索道", "索道", ""}});
  const Points line = {{33.70, 130.2}, {33.7001, 130.2001}};
  struct Case {
    std::string elements;
    std::string layer;
  };
  const std::vector<Case> cases = {
      {"<type>普通鉄道（ＪＲ）</type>\r\n<snglDbl>単線</snglDbl>\r\n", "001単線"},
      {"<type>普通鉄道（ＪＲ）</type>\r\n<snglDbl>単線</snglDbl>\r\n<railState>地下</railState>\r\n", "002地下"},
      {"<type>普通鉄道（ＪＲ）</type>\r\n<snglDbl>複線以上</snglDbl>\r\n<railState>地下</railState>\r\n", "002地下"},
      {"<type>普通鉄道（ＪＲ）</type>\r\n<snglDbl>複線以上</snglDbl>\r\n<railState>橋・高架</railState>\r\n", ""},
      {"<type>索道</type>\r\n", "003索道"},  // the published FGD rail lines have no snglDbl
  };
  for (const auto& c : cases) {
    auto e =
        h.read(dataset(curveFeature("RailCL", line, "<orgGILvl>2500</orgGILvl>\r\n<vis>表示</vis>\r\n", c.elements)),
               &GmlReaders::GML128Poly_Rail);
    ASSERT_EQ(e.size(), c.layer.empty() ? 0u : 1u) << c.elements;
    if (!c.layer.empty()) {
      EXPECT_EQ(e[0].value(8), c.layer);
    }
  }
  // Type and snglDbl do not carry over to the next feature.
  auto e =
      h.read(dataset(curveFeature("RailCL", line, "", "<type>索道</type>\r\n") + curveFeature("RailCL", line, "", "")),
             &GmlReaders::GML128Poly_Rail);
  EXPECT_EQ(e.size(), 1u);
}

TEST(VisibilityLineReader, VisibilityTunnelsAndPowerLines) {
  Harness h;
  h.group("RdEdg", {{"001真幅", "真幅道路", ""}, {"002トンネル", "トンネル内の道路", "", 20}});
  const Points line = {{33.70, 130.2}, {33.7001, 130.2001}};
  struct Case {
    std::string before, after;
    std::size_t written;
  };
  const std::vector<Case> cases = {
      {"<vis>表示</vis>\r\n", "<type>真幅道路</type>\r\n", 1},
      {"", "<type>真幅道路</type>\r\n", 1},  // no visibility element
      {"<vis>非表示</vis>\r\n", "<type>真幅道路</type>\r\n", 0},
      {"<vis>非表示</vis>\r\n", "<type>トンネル内の道路</type>\r\n", 1},
      {"<orgGILvl></orgGILvl>\r\n<vis>表示</vis>\r\n", "<type>真幅道路</type>\r\n", 1},  // empty level: 0
  };
  for (const auto& c : cases) {
    EXPECT_EQ(h.read(dataset(curveFeature("RdEdg", line, c.before, c.after)), &GmlReaders::GML256Poly).size(),
              c.written)
        << c.before << c.after;
  }
  h.ctx.rankThreshold = 1000;
  EXPECT_EQ(h.read(dataset(curveFeature("RdEdg", line, "<orgGILvl></orgGILvl>\r\n", "<type>真幅道路</type>\r\n")),
                   &GmlReaders::GML256Poly)
                .size(),
            0u);
  h.ctx.rankThreshold = 0;
  // Power lines carry the item's size as their linetype scale.
  h.group("PwrTrnsmL", {{"001送電線", "", "", 20}});
  auto e = h.read(dataset(curveFeature("PwrTrnsmL", line, "<vis>表示</vis>\r\n", "<type>送電線</type>\r\n")),
                  &GmlReaders::GML256Poly);
  ASSERT_EQ(e.size(), 1u);
  EXPECT_TRUE(e[0].record().starts_with("330=13;100=AcDbEntity;8=001送電線;48=2;100=AcDbPolyline;90=2;70=0;38=0;10="));
}

namespace {

Points square(double lat, double lon, double size) {
  return {{lat, lon}, {lat, lon + size}, {lat + size, lon + size}, {lat + size, lon}, {lat, lon}};
}

double perimeterOf(Harness& h, const Points& ring) {
  double p = 0;
  for (std::size_t i = 0; i + 1 < ring.size(); ++i) {
    auto a = h.xy(ring[i].first, ring[i].second), b = h.xy(ring[i + 1].first, ring[i + 1].second);
    p += std::hypot(a.first - b.first, a.second - b.second);
  }
  return p;
}

}  // namespace

TEST(AreaReaders, HatchWithTwoHolesAndItsOutlines) {
  Harness h;
  h.group("WA", {{"001海", "海", ""}});
  const Points outer = square(33.70, 130.20, 0.01);
  const Points hole1 = square(33.701, 130.201, 0.001), hole2 = square(33.705, 130.205, 0.001);
  const std::string file =
      dataset(surfaceFeature("WA", outer, {hole1, hole2}, "<orgGILvl>0</orgGILvl>\r\n", "<type>海</type>\r\n"));
  auto e = h.read(file, &GmlReaders::GML1024Hatch);
  ASSERT_EQ(e.size(), 1u);
  const auto& hatch = e[0];
  EXPECT_EQ(hatch.type, "HATCH");
  EXPECT_EQ(hatch.value(91), "3");
  EXPECT_EQ(hatch.value(92, 0), "1");
  EXPECT_EQ(hatch.value(92, 1), "16");
  EXPECT_EQ(hatch.value(92, 2), "16");
  // Stored closed: four edges per ring, the last back to the first point.
  EXPECT_EQ(hatch.value(93, 0), "4");
  EXPECT_EQ(hatch.count(72), 12);
  const auto [x0, y0] = h.xy(33.70, 130.20);
  const auto [x3, y3] = h.xy(33.71, 130.20);
  const std::string r = hatch.record();
  EXPECT_TRUE(
      r.starts_with("330=13;100=AcDbEntity;8=001海;100=AcDbHatch;10=0;20=0;30=0;210=0;220=0;230=1;2=SOLID;70=1;71=0;91="
                    "3;92=1;93=4;72=1;10=" +
                    num(y0) + ";20=" + num(x0)))
      << r;
  EXPECT_NE(r.find("11=" + num(y0) + ";21=" + num(x0) + ";97=0;92=16;93=4;"), std::string::npos)
      << "last edge closes at the first point";
  EXPECT_NE(r.find("72=1;10=" + num(y3) + ";20=" + num(x3) + ";11=" + num(y0)), std::string::npos);
  EXPECT_TRUE(r.ends_with("97=0;75=0;76=1;98=1;10=0;20=0"));

  auto outlines = h.read(file, &GmlReaders::GML512HatchEdge);
  ASSERT_EQ(outlines.size(), 3u);
  for (const auto& o : outlines) {
    EXPECT_EQ(o.value(70), "1");
    EXPECT_EQ(o.value(90), "4");
  }
  // An exterior ring that is not stored closed is an open outline of all its points.
  Points open = outer;
  open.pop_back();
  outlines = h.read(dataset(surfaceFeature("WA", open, {}, "", "<type>海</type>\r\n")), &GmlReaders::GML512HatchEdge);
  ASSERT_EQ(outlines.size(), 1u);
  EXPECT_EQ(outlines[0].value(70), "0");
  EXPECT_EQ(outlines[0].value(90), "4");
}

TEST(AreaReaders, BuildingPerimeterThreshold) {
  Harness h;
  h.group("BldA", {{"001建物", "普通建物", ""}});
  const Points building = square(33.70, 130.20, 0.0001);
  const double perimeter = perimeterOf(h, building);  // mm
  const std::string file =
      dataset(surfaceFeature("BldA", building, {}, "<orgGILvl>2500</orgGILvl>\r\n", "<type>普通建物</type>\r\n"));
  struct Case {
    std::string element;
    int minimum;  // metres
    std::size_t written;
  };
  const int below = static_cast<int>(std::floor(perimeter / 1000)), above = below + 1;
  const std::vector<Case> cases = {
      {"BldA", 0, 1}, {"BldA", below, 1}, {"BldA", above, 0}, {"WA", above, 1},  // the threshold is for buildings only
  };
  for (const auto& c : cases) {
    h.group(c.element, {{"001", "", ""}});
    h.settings.minBuildingPerimeter = c.minimum;
    std::string f = file;
    if (c.element == "WA") {
      f = dataset(surfaceFeature("WA", building, {}, "", "<type>海</type>\r\n"));
    }
    EXPECT_EQ(h.read(f, &GmlReaders::GML1024Hatch).size(), c.written) << c.element << " " << c.minimum;
  }
  // The perimeter must be greater than the threshold: a ring of one repeated point has
  // perimeter 0 and is dropped even with the threshold 0.
  h.group("BldA", {{"001", "", ""}});
  h.settings.minBuildingPerimeter = 0;
  const Points point = {{33.70, 130.20}, {33.70, 130.20}, {33.70, 130.20}, {33.70, 130.20}};
  EXPECT_EQ(
      h.read(dataset(surfaceFeature("BldA", point, {}, "", "<type>普通建物</type>\r\n")), &GmlReaders::GML1024Hatch)
          .size(),
      0u);
  const Points tiny = square(33.70, 130.20, 0.00009);
  const double p = perimeterOf(h, tiny);
  // BldL outlines use the same threshold in the outline reader.
  h.group("BldL", {{"001", "", ""}});
  h.settings.minBuildingPerimeter = static_cast<int>(p / 1000) + 1;
  EXPECT_EQ(
      h.read(dataset(surfaceFeature("BldL", tiny, {}, "", "<type>普通建物</type>\r\n")), &GmlReaders::GML512HatchEdge)
          .size(),
      0u);
}

TEST(AreaReaders, AdministrativeAreasAreColouredByName) {
  Harness h;
  h.group("AdmArea", {{"001区", "町村・指定都市の区", ""}});
  const std::string feature =
      surfaceFeature("AdmArea", square(33.70, 130.20, 0.01), {}, "<orgGILvl>25000</orgGILvl>\r\n",
                     "<name>福岡市西区</name>\r\n<type>町村・指定都市の区</type>\r\n");
  for (int flavour : {0, 1}) {
    h.settings.fileFormat = flavour;
    auto e = h.read(dataset(feature), &GmlReaders::GML1024Hatch, "FG-GML-503041-AdmArea-20181001-0001.xml");
    ASSERT_EQ(e.size(), 1u);
    const geo::Colour colour = geo::areacl("福岡市西区", static_cast<geo::Flavour>(flavour));
    const std::string expected = "62=" + std::to_string(colour.index) +
                                 (colour.trueColour ? ";420=" + std::to_string(*colour.trueColour) : std::string());
    EXPECT_EQ(colour.trueColour.has_value(), flavour == 0);
    EXPECT_TRUE(e[0].record().starts_with("330=13;100=AcDbEntity;8=001区;" + expected + ";100=AcDbHatch;")) << flavour;
  }
  // Other files leave the colour to the layer.
  h.group("WA", {{"001", "", ""}});
  auto e = h.read(
      dataset(surfaceFeature("WA", square(33.70, 130.20, 0.01), {}, "", "<name>博多湾</name>\r\n<type>海</type>\r\n")),
      &GmlReaders::GML1024Hatch);
  ASSERT_EQ(e.size(), 1u);
  EXPECT_EQ(e[0].count(62), 0);
}

TEST(ReaderFailures, ReportAndReturn) {
  Harness h;
  h.group("BldA", {{"001建物", "", ""}});
  const std::string good = surfaceFeature("BldA", square(33.70, 130.20, 0.001), {}, "", "<type>普通建物</type>\r\n");
  std::string missingLongitude = good;
  missingLongitude.replace(missingLongitude.find("130.201000000"), 13, "");
  missingLongitude.replace(missingLongitude.find(" \r\n"), 3, "\r\n");
  const std::string full = dataset(good + good);
  // Cut inside the second pair of the second feature: "33.70" with no longitude.
  const std::size_t second = full.find("<gml:posList>\r\n", full.find("<gml:posList>\r\n") + 1) + 15;
  const std::string truncated = full.substr(0, second + 28 + 5);
  static const char garbage[] = "\x89PNG\r\n\x1a\n\0\0\0\rIHDR\xff\xfe<gml:posList>\n\x01\x02 \x03\n";
  struct Case {
    const char* what;
    std::string bytes;
    void (GmlReaders::*reader)(const std::filesystem::path&);
    std::size_t written;
    std::string message;  // after the path
  };
  const std::string name = "FG-GML-503041-X-20181001-0001.xml";
  const std::vector<Case> cases = {
      {"truncated", truncated, &GmlReaders::GML1024Hatch, 1, "GML1024Hatch(%)で異常 posi=1\r\n"},
      {"missing longitude", dataset(good + missingLongitude), &GmlReaders::GML1024Hatch, 1,
       "GML1024Hatch(%)で異常 posi=1\r\n"},
      {"binary garbage", std::string(garbage, sizeof garbage - 1), &GmlReaders::GML32Poly, 0,
       "GML32Poly(%)で異常 posi=0\r\n"},
      {"level not a number",
       dataset(curveFeature("BldA", square(33.7, 130.2, 0.001), "<orgGILvl>KJ12</orgGILvl>\r\n", "")),
       &GmlReaders::GML256Poly, 0, "GML256Poly(%)で異常 posi=0\r\n"},
      {"alti not a number", dataset(pointFeature("BldA", 33.7, 130.2, "", "<alti>高い</alti>\r\n")),
       &GmlReaders::GML2Elv, 0, "GML2Elv(%)で異常\r\n"},
  };
  for (const auto& c : cases) {
    h.ctx.anomalyMessage.clear();
    auto e = h.read(c.bytes, c.reader, name);
    EXPECT_EQ(e.size(), c.written) << c.what;
    std::string expected = c.message;
    if (auto at = expected.find('%'); at != std::string::npos) expected.replace(at, 1, (h.temp / name).string());
    EXPECT_EQ(h.ctx.anomalyMessage, expected) << c.what;
  }
  // The rail reader reports under the road reader's name.
  h.group("RailCL", {{"001", "", ""}});
  h.ctx.anomalyMessage.clear();
  h.read(dataset(curveFeature("RailCL", {{33.7, 130.2}}, "<orgGILvl>x</orgGILvl>\r\n", "")),
         &GmlReaders::GML128Poly_Rail, name);
  EXPECT_EQ(h.ctx.anomalyMessage, "GML64Poly_Road(" + (h.temp / name).string() + ")で異常 posi=0\r\n");
}

TEST(ReaderFailures, FeaturesLargerThanTheBufferAndItemsOutsideTheLists) {
  Harness h;
  h.group("BldA", {{"001建物", "", ""}});
  const std::string small = surfaceFeature("BldA", square(33.70, 130.20, 0.001), {}, "", "<type>普通建物</type>\r\n");
  Points many;
  for (int i = 0; i < 40; ++i) many.emplace_back(33.70 + i * 1e-5, 130.2 + (i % 2) * 1e-5);
  many.push_back(many.front());
  const std::string big = surfaceFeature("BldA", many, {}, "", "<type>普通建物</type>\r\n");
  h.ctx.pointBuffer.assign(12, geo::PointPair{0, 0});
  const std::string name = "FG-GML-503041-BldA-20181001-0001.xml";
  for (auto reader : {&GmlReaders::GML1024Hatch, &GmlReaders::GML512HatchEdge, &GmlReaders::GML32Poly,
                      &GmlReaders::GML64Poly_Road, &GmlReaders::GML128Poly_Rail, &GmlReaders::GML256Poly}) {
    h.ctx.anomalyMessage.clear();
    auto e = h.read(dataset(small + big + small), reader, name);
    // The small ring before it is written; the reader stops at the large one.
    EXPECT_EQ(e.size(), 1u);
    EXPECT_EQ(h.ctx.anomalyMessage, name + " でxylimitを超えました\r\n");
  }
  EXPECT_EQ(h.ctx.pointBuffer.size(), 12u);
  // A size index outside the size list ends the reader's work with its message.
  h.ctx.pointBuffer.assign(1000, geo::PointPair{0, 0});
  h.group("BldSbl", {{"001", "", "", 40}});
  h.ctx.anomalyMessage.clear();
  h.read(dataset(pointFeature("BldSbl", 33.7, 130.2, "", "<type>郵便局</type>\r\n")), &GmlReaders::GML16Symbol, name);
  EXPECT_EQ(h.ctx.anomalyMessage, "GML16Symbol(" + (h.temp / name).string() + ")で異常\r\n");
  // A symbol group with no item on cannot look up its size.
  h.group("BldSbl", {});
  h.ctx.anomalyMessage.clear();
  h.read(dataset(pointFeature("BldSbl", 33.7, 130.2, "", "<type>郵便局</type>\r\n")), &GmlReaders::GML16Symbol, name);
  EXPECT_EQ(h.ctx.anomalyMessage, "GML16Symbol(" + (h.temp / name).string() + ")で異常\r\n");
}

TEST(ReaderFailures, CancelledRunsReadNoLines) {
  Harness h;
  h.group("BldA", {{"001建物", "", ""}});
  h.ctx.runContinue = false;
  const std::string file =
      dataset(surfaceFeature("BldA", square(33.70, 130.20, 0.001), {}, "", "<type>普通建物</type>\r\n"));
  for (auto reader : {&GmlReaders::GML1024Hatch, &GmlReaders::GML512HatchEdge, &GmlReaders::GML32Poly,
                      &GmlReaders::GML64Poly_Road, &GmlReaders::GML128Poly_Rail, &GmlReaders::GML256Poly})
    EXPECT_TRUE(h.read(file, reader).empty());
}

TEST(ReaderFailures, CancelAtTheProgressStepEveryTenThousandLists) {
  class AbortingHost : public RecordingHost {
   public:
    bool abortRequested() const override { return pumps > 0; }
    void progress(sheet::ProgressLine line, const std::string& text) override {
      if (line == sheet::ProgressLine::Detail) details.push_back(text);
    }
    std::vector<std::string> details;
  } host;
  Harness h;
  sheet::RunContext ctx(h.settings, h.values, h.coords, host);
  ctx.pointBuffer.assign(1000, geo::PointPair{0, 0});
  ctx.sheetWest = ctx.sheetSouth = -1e12;
  ctx.sheetEast = ctx.sheetNorth = 1e12;
  h.group("RdEdg", {{"001", "", ""}});
  std::string features;
  const std::string one = curveFeature("RdEdg", {{33.70, 130.2}, {33.7001, 130.2001}}, "", "<type>真幅道路</type>\r\n");
  for (int i = 0; i < 10050; ++i) features += one;
  const auto file = h.temp / "FG-GML-503041-RdEdg-20181001-0001.xml";
  writeBytes(file, dataset(features));
  fgd::GmlReaders(ctx, h.state, h.out).GML256Poly(file);
  // The 10,000th list ends before its feature does: 9,999 lines, no problem reported.
  EXPECT_EQ(h.entities().size(), 9999u);
  EXPECT_EQ(host.details, (std::vector<std::string>{"10000"}));
  EXPECT_FALSE(ctx.runContinue);
  EXPECT_EQ(ctx.anomalyMessage, "");
}

// Damage that used to pass as success: a cut download and vertices far off the file's mesh
// (503041: 33.667-33.75 N, 130.125-130.25 E). The good feature before the damage stays.
TEST(ReaderFailures, DamageIsReportedWithFileAndLine) {
  Harness h;
  h.group("BldA", {{"001建物", "", ""}});
  const Points good = square(33.70, 130.20, 0.001);
  auto area = [](const Points& p) { return surfaceFeature("BldA", p, {}, "", "<type>普通建物</type>\r\n"); };
  auto line = [](const Points& p) { return curveFeature("BldA", p, "", "<type>普通建物</type>\r\n"); };
  auto point = [](double lat, double lon) { return pointFeature("BldA", lat, lon, "", "<alti>12.5</alti>\r\n"); };
  const std::string two = dataset(area(good) + area(good));
  // Cut after a whole pair line of the second feature's list.
  const std::string cut = two.substr(0, two.find("\r\n", two.rfind("<gml:posList>") + 15) + 2);
  // The overhang of published data (a few seconds past the edge) is no damage.
  const Points overhang = {{33.6660, 130.1245}, {33.7505, 130.2505}, {33.70, 130.2}};
  const char* const offMesh = "ファイルの区画から外れた座標の図形を描画しません ";
  struct Case {
    const char* what;
    std::string bytes;
    void (GmlReaders::*reader)(const std::filesystem::path&);
    std::size_t written;
    const char* message;  // before the path; nullptr for none
    const char* lineOf;   // the report names the line of this text's last occurrence
  };
  const std::vector<Case> cases = {
      {"cut inside a feature", cut, &GmlReaders::GML1024Hatch, 1, "GMLファイルが図形の途中で終わっています ", nullptr},
      {"cut, outline reader", cut, &GmlReaders::GML512HatchEdge, 1, "GMLファイルが図形の途中で終わっています ",
       nullptr},
      {"cut between features", two.substr(0, two.find("</BldA>\r\n") + 9), &GmlReaders::GML1024Hatch, 1,
       "GMLファイルが途中で終わっています ", nullptr},
      {"latitude lost a digit", dataset(area(good) + area({{33.70, 130.2}, {3.37, 130.2}, {33.70, 130.2001}})),
       &GmlReaders::GML1024Hatch, 1, offMesh, "</BldA>"},
      {"latitude 0 in a line", dataset(line(good) + line({{33.70, 130.2}, {0, 130.2}})), &GmlReaders::GML256Poly, 1,
       offMesh, "</BldA>"},
      {"latitude 90 at a point", dataset(point(33.7, 130.2) + point(90, 130.2)), &GmlReaders::GML2Elv, 2, offMesh,
       "<gml:pos>"},
      {"latitude 400 at a point", dataset(point(33.7, 130.2) + point(400, 130.2)), &GmlReaders::GML2Elv, 2, offMesh,
       "<gml:pos>"},
      {"longitude lost a digit", dataset(line(good) + line({{33.70, 13.02}, {33.70, 13.021}})),
       &GmlReaders::GML32Poly, 1, offMesh, "</BldA>"},
      {"overhang", dataset(area(overhang)), &GmlReaders::GML1024Hatch, 1, nullptr, nullptr},
  };
  const std::string name = "FG-GML-503041-BldA-20181001-0001.xml";
  for (const auto& c : cases) {
    h.ctx.anomalyMessage.clear();
    auto e = h.read(c.bytes, c.reader, name);
    EXPECT_EQ(e.size(), c.written) << c.what;
    std::string expected;
    if (c.message) {
      // The cut file is reported at its last line, the others where the damage was seen.
      const std::size_t end = c.lineOf ? c.bytes.rfind(c.lineOf) : c.bytes.size() - 1;
      const auto number = std::count(c.bytes.begin(), c.bytes.begin() + static_cast<long>(end), '\n') + 1;
      expected = c.message + (h.temp / name).string() + " " + std::to_string(number) + "行目\r\n";
    }
    EXPECT_EQ(h.ctx.anomalyMessage, expected) << c.what;
  }
}
