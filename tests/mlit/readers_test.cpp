// The eight readers on fixtures in the published layout and on small broken files.
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/mlit/harness.h"

namespace {

using namespace mlit;

bool reported(const MlitHarness& h, const std::string& text) {
  return h.ctx.anomalyMessage.find(text) != std::string::npos;
}

// --- lines -------------------------------------------------------------------------------

TEST(MlitLines, OpenAndClosedListsAndTheSheetBox) {
  MlitHarness h;
  auto e = h.read("N02-", fixture("N02-20.xml"), kLines);
  ASSERT_EQ(e.size(), 3u);
  EXPECT_EQ(e[0].type, "LWPOLYLINE");
  EXPECT_EQ(e[0].value(8), h.layer("N02-"));
  EXPECT_EQ(e[0].value(90), "3");
  EXPECT_EQ(e[0].value(70), "0");
  EXPECT_EQ(e[0].value(43), "0");
  const auto [x, y] = h.xy(33.681, 130.220);
  EXPECT_EQ(e[0].value(10), num(y));
  EXPECT_EQ(e[0].value(20), num(x));
  // A ring stored closed: its repeated point is left out.
  EXPECT_EQ(e[1].value(90), "4");
  EXPECT_EQ(e[1].value(70), "1");
  EXPECT_EQ(h.ctx.anomalyMessage, "");

  // A sheet around the first line only.
  h.ctx.sheetSouth = x - 100;
  h.ctx.sheetNorth = x + 100;
  h.ctx.sheetWest = y - 100;
  h.ctx.sheetEast = y + 100;
  EXPECT_EQ(h.read("N02-", fixture("N02-20.xml"), kLines).size(), 1u);
}

TEST(MlitLines, BrokenFilesAreReportedAndTheRunGoesOn) {
  struct Case {
    const char* what;
    std::string body;
    const char* message;
    std::size_t written;
  };
  const std::string good = "<gml:posList>\r\n33.1 130.1\r\n33.2 130.2\r\n</gml:posList>\r\n";
  const Case cases[] = {
      {"one point", good + "<gml:posList>\r\n33.1 130.1\r\n</gml:posList>\r\n", "mlitjpgis(", 1},
      {"garbled pair", good + "<gml:posList>\r\n33.1 abc\r\n</gml:posList>\r\n", ":33.1 abc)で異常", 1},
      {"ends inside a list", good + "<gml:posList>\r\n33.1 130.1\r\n33.2 130.2\r\n", "を処理できませんでした", 1},
  };
  for (const auto& c : cases) {
    MlitHarness h;
    const std::string bytes = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n" + c.body;
    EXPECT_EQ(h.readBytes("N02-", "N02-x.xml", bytes, kLines).size(), c.written) << c.what;
    EXPECT_TRUE(reported(h, c.message)) << c.what << ": " << h.ctx.anomalyMessage;
  }
  // The list count and the line stand in the message.
  MlitHarness h;
  h.readBytes("N02-", "N02-x.xml", "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n" + cases[1].body, kLines);
  EXPECT_TRUE(reported(h, "N02-x.xml1:33.1 abc)で異常")) << h.ctx.anomalyMessage;

  // A cut download reads without a fault: its missing end is reported with its last line.
  const std::string whole = readBytes(fixture("N02-20.xml"));
  const std::string cut = whole.substr(0, whole.rfind("</ksj:RailroadSection>"));
  MlitHarness g;
  g.readBytes("N02-", "N02-cut.xml", cut, kLines);
  const auto lines = std::count(cut.begin(), cut.end(), '\n') + (cut.ends_with('\n') ? 0 : 1);
  EXPECT_TRUE(reported(g, "GMLファイルが途中で終わっています ")) << g.ctx.anomalyMessage;
  EXPECT_TRUE(g.ctx.anomalyMessage.ends_with("N02-cut.xml " + std::to_string(lines) + "行目\r\n"))
      << g.ctx.anomalyMessage;
}

TEST(MlitLines, AListLargerThanTheBufferIsReported) {
  MlitHarness h;
  h.ctx.pointBuffer.resize(3);
  std::string body = "<gml:posList>\r\n";
  for (int i = 0; i < 5; ++i) body += "33.1 130." + std::to_string(i) + "\r\n";
  h.readBytes("N02-", "N02-x.xml", "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n" + body + "</gml:posList>\r\n",
              kLines);
  EXPECT_EQ(h.ctx.anomalyMessage, h.layer("N02-") + " でxylimitを超えました\r\n");
}

// --- areas -------------------------------------------------------------------------------

TEST(MlitAreas, OneHatchPerAreaWithItsHolesAndTheFirstEdgeRepeated) {
  MlitHarness h;
  const auto [x, y] = h.xy(33.693, 130.236);
  // A sheet of 10 km around the first lake; the second lies far outside.
  h.ctx.sheetSouth = x - 5e6;
  h.ctx.sheetNorth = x + 5e6;
  h.ctx.sheetWest = y - 5e6;
  h.ctx.sheetEast = y + 5e6;
  auto e = h.read("W09-", fixture("W09-05_40.xml"), kAreas);
  ASSERT_EQ(e.size(), 1u);
  const Entity& a = e[0];
  EXPECT_EQ(a.type, "HATCH");
  EXPECT_EQ(a.value(8), h.layer("W09-"));
  EXPECT_EQ(a.count(62), 0);
  EXPECT_EQ(a.value(91), "2");
  EXPECT_EQ(a.value(92, 0), "1");
  EXPECT_EQ(a.value(92, 1), "16");
  // Four points after the closing one is dropped, written from P1 to itself first.
  EXPECT_EQ(a.value(93, 0), "5");
  EXPECT_EQ(a.value(10, 1), num(y));
  EXPECT_EQ(a.value(11, 0), num(y));
  EXPECT_EQ(a.value(21, 0), num(x));
  EXPECT_EQ(h.ctx.anomalyMessage, "");
  // Only files whose name holds the whole key.
  std::filesystem::copy_file(fixture("W09-05_40.xml"), h.temp / "W0905.xml");
  EXPECT_TRUE(h.read("W09-", h.temp / "W0905.xml", kAreas).empty());
}

TEST(MlitZoningAreas, EachZoneItemDrawsItsOwnAreas) {
  MlitHarness h;
  // Zone 1: one area with a hole; zone 9: one area stored open; zone 21 has no item.
  auto zone1 = h.read("A29-1", fixture("A29-11_40.xml"), kZoningAreas);
  ASSERT_EQ(zone1.size(), 1u);
  EXPECT_EQ(zone1[0].value(8), h.layer("A29-1"));
  EXPECT_EQ(zone1[0].value(91), "2");
  EXPECT_EQ(zone1[0].value(93, 0), "4");  // closed ring: its repeated point dropped
  EXPECT_EQ(zone1[0].value(92, 1), "16");
  EXPECT_EQ(zone1[0].count(72), 8);
  auto zone9 = h.read("A29-9", fixture("A29-11_40.xml"), kZoningAreas);
  ASSERT_EQ(zone9.size(), 1u);
  EXPECT_EQ(zone9[0].value(8), h.layer("A29-9"));
  EXPECT_EQ(zone9[0].value(93, 0), "4");
  EXPECT_TRUE(h.read("A29-3", fixture("A29-11_40.xml"), kZoningAreas).empty());
  // The fourth area's zone code does not parse: reported once, the file read on.
  EXPECT_TRUE(reported(h, "用途地域コード(第一種)を読めません")) << h.ctx.anomalyMessage;
  EXPECT_EQ(h.ctx.anomalyMessage.find("\r\n"), h.ctx.anomalyMessage.size() - 2) << h.ctx.anomalyMessage;
}

TEST(MlitZoningAreas, EveryZoneCodeHasItsOwnItem) {
  // One area of the zone code; the item of that code draws it, the item of code 1 (or of
  // 2 for code 1) does not. Codes without an item are drawn by none.
  const auto file = [](const std::string& code) {
    return ksjFile(
        "<gml:Curve gml:id=\"cv1_0\">\r\n<gml:posList>\r\n33.1 130.1\r\n33.2 130.2\r\n33.2 130.1\r\n"
        "</gml:posList>\r\n</gml:Curve>\r\n<ksj:UseDistrict gml:id=\"a1\">\r\n<ksj:bounds xlink:href=\"#sf1\"/>\r\n"
        "<ksj:dac>" +
        code + "</ksj:dac>\r\n</ksj:UseDistrict>\r\n");
  };
  for (int code : {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 99}) {
    MlitHarness h;
    const std::string key = "A29-" + std::to_string(code);
    auto e = h.readBytes(key, "A29-x.xml", file(std::to_string(code)), kZoningAreas);
    ASSERT_EQ(e.size(), 1u) << key;
    EXPECT_EQ(e[0].value(8), h.layer(key));
    EXPECT_TRUE(h.read(code == 1 ? "A29-2" : "A29-1", h.temp / "A29-x.xml", kZoningAreas).empty()) << key;
  }
  for (const char* code : {"0", "16", "21", "98"}) {
    MlitHarness h;
    for (const auto& m : h.settings.mlitLayers) {
      if (!m.key.starts_with("A29-")) continue;
      EXPECT_TRUE(h.readBytes(m.key, "A29-x.xml", file(code), kZoningAreas).empty()) << code << " " << m.key;
    }
  }
}

TEST(MlitZoningAreas, BrokenFilesNameTheirPass) {
  MlitHarness h;
  const std::string pass1 = "<ksj:bounds xlink:href=\"#sfX\"/>\r\n";
  h.readBytes("A29-1", "A29-x.xml", ksjFile(pass1), kZoningAreas);
  EXPECT_TRUE(reported(h, "mlitjpgis(")) << h.ctx.anomalyMessage;
  MlitHarness g;
  const std::string pass2 =
      "<gml:Curve gml:id=\"cv1_0\">\r\n<gml:posList>\r\n33.1 x\r\n</gml:posList>\r\n"
      "<ksj:bounds xlink:href=\"#sf1\"/>\r\n<ksj:dac>1</ksj:dac>\r\n";
  g.readBytes("A29-1", "A29-x.xml", ksjFile(pass2), kZoningAreas);
  EXPECT_TRUE(reported(g, "用途地域(")) << g.ctx.anomalyMessage;
  EXPECT_TRUE(reported(g, ":1:33.1 x)で異常")) << g.ctx.anomalyMessage;
}

TEST(MlitDepthAreas, DepthGivesColourAndElevation) {
  MlitHarness h;
  auto e = h.read("A31-12", fixture("A31-12_40.xml"), kDepthAreas);
  ASSERT_EQ(e.size(), 4u);
  // 2 m: colour from the item colour, elevation -2 m.
  EXPECT_EQ(e[0].value(62), "7");
  EXPECT_EQ(e[0].value(30), "-2000");
  // 0 m, an unreadable depth and a missing attribute: no colour, elevation 0.
  for (int k : {1, 2, 3}) {
    EXPECT_EQ(e[static_cast<std::size_t>(k)].count(62), 0) << k;
    EXPECT_EQ(e[static_cast<std::size_t>(k)].value(30), "0") << k;
  }
  EXPECT_TRUE(reported(h, "mlitjpgis(code = 3:<ksj:waterDepth>不明</ksj:waterDepth>)で異常")) << h.ctx.anomalyMessage;
}

TEST(MlitDepthAreas, SedimentHazardClassesByTheirFiveDigitAttributeIds) {
  // The attribute objects carry the area number in five digits in their own id ("sdh00012">),
  // unlike the flood depths that refer to it ("#a00001"/>). The class code is the depth.
  MlitHarness h;
  auto e = h.read("A26-", fixture("A26-10_40.xml"), kDepthAreas);
  ASSERT_EQ(e.size(), 4u);
  struct Expect {
    const char* area;
    const char* rings;
    const char* elevation;
    const char* colour;  // item colour (165, 82, 0) scaled by 1 − 0.25 × class at the standard biases
  };
  const Expect expect[] = {
      {"1, with a hole", "2", "-1000", "8076544"},  // (123, 61, 0)
      {"2", "1", "-3000", "2692096"},               // (41, 20, 0)
      {"12", "1", "-2000", "5384448"},              // (82, 41, 0)
  };
  for (std::size_t i = 0; i < std::size(expect); ++i) {
    EXPECT_EQ(e[i].value(8), h.layer("A26-")) << expect[i].area;
    EXPECT_EQ(e[i].value(91), expect[i].rings) << expect[i].area;
    EXPECT_EQ(e[i].value(62), "7") << expect[i].area;
    EXPECT_EQ(e[i].value(30), expect[i].elevation) << expect[i].area;
    EXPECT_EQ(e[i].value(420), expect[i].colour) << expect[i].area;
  }
  // Area 13 has no attribute object: no colour, elevation 0, no message.
  EXPECT_EQ(e[3].count(62), 0);
  EXPECT_EQ(e[3].value(30), "0");
  EXPECT_EQ(h.ctx.anomalyMessage, "");
}

TEST(MlitDepthAreas, DepthColourFollowsTheLegendBiases) {
  // Item colour 0xA50000 (blue 165) at 2 m: each channel gains (−2 − bottom + 2) ×
  // interval × 0.05 of itself, cut to 0 … 255.
  struct Expect {
    int intervalBias, bottomBias;
    long long blue;
  };
  const Expect expect[] = {{0, 2, 165}, {5, 2, 82}, {5, 0, 165}, {10, -4, 255}, {10, 6, 0}};
  for (const auto& c : expect) {
    MlitHarness h;
    h.settings.legendIntervalBias = c.intervalBias;
    h.settings.legendBottomBias = c.bottomBias;
    h.settings.mlitLayers[h.index("A31-12")].colour = 0xA50000;
    auto e = h.read("A31-12", fixture("A31-12_40.xml"), kDepthAreas);
    ASSERT_FALSE(e.empty());
    EXPECT_EQ(e[0].value(420), std::to_string(c.blue)) << c.intervalBias << " " << c.bottomBias;
  }
}

TEST(MlitDepthAreas, ClassTextsOfTsunamiAndStormSurge) {
  struct Case {
    const char* value;
    const char* elevation;
  };
  const Case cases[] = {
      {"0.3m未満", "-300"},               // after the tag
      {"0.5m以上 ～ 1.0m未満", "-1000"},  // the upper bound
      {"5.0m以上", "0"},                  // nothing after "以上": no depth
      {"不明", "0"},                      // no "m": no depth, no message
  };
  for (const auto& c : cases) {
    MlitHarness h;
    const std::string body =
        "<gml:Curve gml:id=\"cv1_0\">\r\n<gml:posList>\r\n33.1 130.1\r\n33.2 130.2\r\n"
        "33.2 130.1\r\n</gml:posList>\r\n<ksj:bounds xlink:href=\"#sf1\"/>\r\n"
        "<ksj:classificationOfWaterDepth>" +
        std::string(c.value) + "</ksj:classificationOfWaterDepth>\r\n";
    auto e = h.readBytes("A40-", "A40-x.xml", ksjFile(body), kDepthAreas);
    ASSERT_EQ(e.size(), 1u) << c.value;
    EXPECT_EQ(e[0].value(30), c.elevation) << c.value;
    EXPECT_EQ(h.ctx.anomalyMessage, "") << c.value;
  }
}

// --- labels ------------------------------------------------------------------------------

TEST(MlitPointLabels, ShiftJisFileJoinsPointsAndNames) {
  MlitHarness h;
  auto e = h.read("P11-", fixture("P11-10_40.xml"), kPointLabels);
  ASSERT_EQ(e.size(), 3u);  // the empty name is not written
  EXPECT_EQ(e[0].type, "TEXT");
  EXPECT_EQ(e[0].value(1), "玄界島");
  EXPECT_EQ(e[1].value(1), "小田");
  EXPECT_EQ(e[2].value(1), "遠方");
  const double s = 1.0;
  const auto [x, y] = h.xy(33.688, 130.233);
  EXPECT_EQ(e[1].value(10), num(y));
  EXPECT_EQ(e[1].value(20), num(x - 39 * s * 1000));
  EXPECT_EQ(e[1].value(40), num(30 * s * 1000));
  EXPECT_EQ(e[1].value(8), h.layer("P11-"));
  // Outside the sheet: skipped, the streams still advance past it.
  h.ctx.sheetNorth = x + 1;
  h.ctx.sheetSouth = x - 1e6;
  h.ctx.sheetEast = y + 1;
  h.ctx.sheetWest = y - 1e6;
  EXPECT_EQ(h.read("P11-", fixture("P11-10_40.xml"), kPointLabels).size(), 2u);
  EXPECT_EQ(h.ctx.anomalyMessage, "");
}

TEST(MlitPointLabels, MissingPartsAreReported) {
  MlitHarness h;
  h.readBytes("P11-", "P11-x.xml", ksjFile("<gml:Point gml:id=\"n1\">\r\n<gml:pos>33 130</gml:pos>\r\n"), kPointLabels);
  EXPECT_EQ(h.ctx.anomalyMessage,
            h.layer("P11-") + " は \r\n" + (h.temp / "P11-x.xml").string() + "\r\nを処理できませんでした\r\n\r\n");
  MlitHarness g;
  g.readBytes("P11-", "P11-x.xml", ksjFile("<ksj:position xlink:href=\"#n1\"/>\r\n"), kPointLabels);
  EXPECT_TRUE(reported(g, " (fi) ファイル終端まで読込")) << g.ctx.anomalyMessage;
}

TEST(MlitAirportPoints, NamesAtTheirAirportsReferencePoints) {
  MlitHarness h;
  auto e = h.read("C28-", fixture("C28-20.xml"), kAirportPoints);
  ASSERT_EQ(e.size(), 2u);
  // Airport 1 refers to point 2.
  const auto [x, y] = h.xy(33.695, 130.230);
  EXPECT_EQ(e[0].value(1), "玄界空港");
  EXPECT_EQ(e[0].value(10), num(y));
  EXPECT_EQ(e[0].value(20), num(x));
  EXPECT_EQ(e[0].value(40), num(7000.0 / 70));
  EXPECT_EQ(h.ctx.anomalyMessage, "");
}

TEST(MlitAirportPoints, ForeignFilesAndPointsOutsideTheTable) {
  MlitHarness h;
  const std::string body =
      "<gml:Point gml:id=\"pt_h_1\">\r\n<gml:pos>33.69 130.22</gml:pos>\r\n</gml:Point>\r\n"
      "<ksj:AirportReferencePoint gml:id=\"1\">\r\n<ksj:position xlink:href=\"#pt_h_1\"/>\r\n"
      "<ksj:Airport gml:id=\"1_ap\">\r\n<ksj:airportName>A</ksj:airportName>\r\n";
  EXPECT_EQ(h.readBytes("C28-", "C28-x.xml", ksjFile(body), kAirportPoints).size(), 1u);
  // The eighth line does not name the data family: nothing, and no message.
  EXPECT_TRUE(h.readBytes("C28-", "C28-x.xml", ksjFile(body, "other"), kAirportPoints).empty());
  EXPECT_EQ(h.ctx.anomalyMessage, "");
  // Point numbers 500 and beyond do not fit the table: reported, the file ends.
  std::string far = body;
  far.replace(far.find("#pt_h_1"), 7, "#pt_h_500");
  EXPECT_TRUE(h.readBytes("C28-", "C28-x.xml", ksjFile(far), kAirportPoints).empty());
  EXPECT_TRUE(reported(h, "空港参照点番号 500 が表(0～499)の外です")) << h.ctx.anomalyMessage;
}

TEST(MlitTornadoTracks, ScaleAtTheStartAndTrackToTheEnd) {
  MlitHarness h;
  auto e = h.read("A30a5", fixture("A30a5-20.xml"), kTornadoTracks);
  ASSERT_EQ(e.size(), 3u);
  EXPECT_EQ(e[0].type, "TEXT");
  EXPECT_EQ(e[0].value(1), "F1");
  EXPECT_EQ(e[1].type, "LINE");
  EXPECT_EQ(e[1].value(6), "Continuous");
  const auto [x1, y1] = h.xy(33.686, 130.248);
  EXPECT_EQ(e[1].value(11), num(y1));
  EXPECT_EQ(e[1].value(21), num(x1));
  // Without a disappearance point: the scale, no track.
  EXPECT_EQ(e[2].type, "TEXT");
  EXPECT_EQ(e[2].value(1), "F0");
  EXPECT_EQ(h.ctx.anomalyMessage, "");
}

TEST(MlitTornadoTracks, PointsBeyondTwoThirdsOfTheBuffer) {
  MlitHarness h;
  h.ctx.pointBuffer.resize(9);  // points 0 … 5, records above
  EXPECT_EQ(h.read("A30a5", fixture("A30a5-20.xml"), kTornadoTracks).size(), 3u);
  h.ctx.pointBuffer.resize(4);  // points 0 and 1
  EXPECT_TRUE(h.read("A30a5", fixture("A30a5-20.xml"), kTornadoTracks).empty());
  EXPECT_EQ(h.ctx.anomalyMessage, h.layer("A30a5") + " でbiaslimitを超えました\r\n");
}

TEST(MlitAreaLabels, NameAtAThirdOfTheRingsBox) {
  MlitHarness h;
  auto e = h.read("N03-L", fixture("N03-20_40.xml"), kAreaLabels);
  ASSERT_EQ(e.size(), 1u);  // the empty name is not written
  EXPECT_EQ(e[0].value(1), "福岡市西区");
  EXPECT_EQ(e[0].value(8), h.layer("N03-L"));
  const auto [x, y] = h.xy((33.681 + 33.685) / 2, (2 * 130.246 + 130.250) / 3);
  EXPECT_EQ(e[0].value(10), num(y));
  EXPECT_EQ(e[0].value(20), num(x - 39000));
  EXPECT_EQ(h.ctx.anomalyMessage, "");
}

TEST(MlitAreaLabels, AReferenceNeverFoundStopsTheFileAndKeepsEarlierTexts) {
  MlitHarness h;
  const std::string body =
      "<gml:Curve gml:id=\"cv1_0\">\r\n<gml:posList>\r\n33.1 130.1\r\n33.2 130.2\r\n</gml:posList>\r\n"
      "<ksj:AdministrativeBoundary gml:id=\"gy1\">\r\n<ksj:cityName>A</ksj:cityName>\r\n"
      "<ksj:AdministrativeBoundary gml:id=\"gy7\">\r\n<ksj:cityName>B</ksj:cityName>\r\n"
      "<ksj:AdministrativeBoundary gml:id=\"gy8\">\r\n<ksj:cityName>C</ksj:cityName>\r\n";
  auto e = h.readBytes("N03-L", "N03-x.xml", ksjFile(body), kAreaLabels);
  ASSERT_EQ(e.size(), 1u);
  EXPECT_EQ(e[0].value(1), "A");
  EXPECT_TRUE(reported(h, "を処理できませんでした")) << h.ctx.anomalyMessage;
}

}  // namespace
