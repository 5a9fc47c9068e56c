#include <gtest/gtest.h>

#include <cmath>

#include "tests/fgd/harness.h"

using fgd::GmlReaders;

namespace {

constexpr double kLat = 33.7, kLon = 130.2;

std::string namePoint(const std::string& name, const std::string& vis, const std::string& level = "25000",
                      double lat = kLat, double lon = kLon) {
  return pointFeature("AdmPt", lat, lon, "<orgGILvl>" + level + "</orgGILvl>\r\n<vis>" + vis + "</vis>\r\n",
                      "<type>町村・指定都市の区</type>\r\n<name>" + name + "</name>\r\n<admCode>40135</admCode>\r\n");
}

}  // namespace

TEST(NameReader, EntityOfEachFlavour) {
  Harness h;
  h.settings.textFont = 2;
  h.group("AdmPt", {{"001表示", "表示", ""}, {"002非表示", "非表示", "", 20}});
  const auto [x, y] = h.xy(kLat, kLon);
  const double s = 2.0;  // size index 20
  struct Case {
    int flavour;
    std::string record;
  };
  const std::vector<Case> cases = {
      {0, "330=13;100=AcDbEntity;8=002非表示;100=AcDbMText;10=" + num(y) + ";20=" + num(x) +
              ";30=0;40=" + num(30 * s * 1000) + ";1={\\fMS Gothic|b0|i0|c128|p18;福岡市西区}"},
      {1, "330=13;100=AcDbEntity;8=002非表示;100=AcDbText;10=" + num(y) + ";20=" + num(x) +
              ";30=0;40=" + num(30 * s * 1000) + ";1=福岡市西区;100=AcDbText"},
      {2, "330=13;100=AcDbEntity;8=002非表示;100=AcDbText;10=" + num(y) + ";20=" + num(x - 40 * s * 1000) +
              ";30=0;40=" + num(40 * s * 1000) + ";1=福岡市西区;100=AcDbText"},
      {3, "330=13;100=AcDbEntity;8=002非表示;100=AcDbMText;10=" + num(y) + ";20=" + num(x) +
              ";30=0;40=" + num(30 * s * 1000) + ";1={\\fMS Gothic|b0|i0|c128|p18;福岡市西区}"},
  };
  for (const auto& c : cases) {
    h.settings.fileFormat = c.flavour;
    auto e = h.read(dataset(namePoint("福岡市西区", "非表示")), &GmlReaders::GML1Name);
    ASSERT_EQ(e.size(), 1u) << c.flavour;
    EXPECT_EQ(e[0].type, c.flavour == 1 || c.flavour == 2 ? "TEXT" : "MTEXT");
    EXPECT_EQ(e[0].record(), c.record) << c.flavour;
    EXPECT_EQ(e[0].value(5), "1D3");
  }
}

TEST(NameReader, FiltersOfNamesLevelsAndTheWesternMargin) {
  Harness h;
  h.group("AdmPt", {{"001表示", "表示", ""}});
  const auto [x, y] = h.xy(kLat, kLon);
  h.ctx.sheetSouth = x - 1000;
  h.ctx.sheetNorth = x + 1000;
  struct Case {
    std::string feature;
    double sheetWest;  // relative to the point, mm
    int rank;
    std::size_t written;
  };
  const std::vector<Case> cases = {
      {namePoint("＿なし", "表示"), -1, 0, 0},
      {namePoint("＿未確認", "表示"), -1, 0, 0},
      {namePoint("＿なし地区", "表示"), -1, 0, 1},  // only begins with it
      {namePoint("玄界島", "非表示"), -1, 0, 0},    // no item for the category
      {namePoint("玄界島", "表示"), 299000, 0, 1},  // anchor 299 m west of the sheet
      {namePoint("玄界島", "表示"), 301000, 0, 0},
      {namePoint("玄界島", "表示", "1000"), -1, 2500, 0},
      {namePoint("玄界島", "表示", "2500"), -1, 2500, 1},
  };
  for (const auto& c : cases) {
    h.ctx.sheetWest = y + c.sheetWest;
    h.ctx.sheetEast = y + 1e6;
    h.ctx.rankThreshold = c.rank;
    EXPECT_EQ(h.read(dataset(c.feature), &GmlReaders::GML1Name).size(), c.written) << c.feature << " " << c.sheetWest;
  }
  // Without any level the feature passes the strictest filter; "<sbaNo>" names a block.
  h.ctx.sheetWest = -1e12;
  h.ctx.rankThreshold = 25000;
  auto e = h.read(dataset(pointFeature("SBAPt", kLat, kLon, "<vis>表示</vis>\r\n", "<sbaNo>12</sbaNo>\r\n")),
                  &GmlReaders::GML1Name);
  ASSERT_EQ(e.size(), 0u);  // the group is AdmPt: SBAPt features never end
  h.group("SBAPt", {{"001街区", "", ""}});
  e = h.read(dataset(pointFeature("SBAPt", kLat, kLon, "<vis>表示</vis>\r\n", "<sbaNo>12</sbaNo>\r\n")),
             &GmlReaders::GML1Name);
  ASSERT_EQ(e.size(), 1u);
  EXPECT_EQ(e[0].value(1), "{\\fMS PGothic|b0|i0|c128|p18;12}");
}

TEST(ElevationPointReader, BlockAndTextOfEachFlavour) {
  Harness h;
  h.values.datumOffset = 0.4;
  h.group("ElevPt", {{"001標高点", "標高点（測点）", ""}});
  const auto [x, y] = h.xy(kLat, kLon);
  const std::string feature = pointFeature("ElevPt", kLat, kLon, "<orgGILvl>25000</orgGILvl>\r\n<vis>表示</vis>\r\n",
                                           "<type>標高点（測点）</type>\r\n<alti>30</alti>\r\n");
  const std::string z = "30.4";
  const std::string insert = "330=13;100=AcDbEntity;8=001標高点;100=AcDbBlockReference;2=標高点;10=" + num(y) +
                             ";20=" + num(x) + ";30=" + z + ";41=1;42=1";
  struct Case {
    int flavour;
    std::string text;
  };
  const std::vector<Case> cases = {
      {0, "330=13;100=AcDbEntity;8=001標高点;100=AcDbMText;10=" + num(y + 10000) + ";20=" + num(x) + ";30=" + z +
              ";40=30000;71=4;72=5;1={\\fMS PGothic|b0|i0|c128|p18;30"},
      {1, "330=13;100=AcDbEntity;8=001標高点;100=AcDbText;10=" + num(y + 10000) + ";20=" + num(x) + ";30=" + z +
              ";40=30000;1=30;11=" + num(y + 10000) + ";21=" + num(x) + ";31=" + z + ";100=AcDbText;73=2"},
      {2, "330=13;100=AcDbEntity;8=001標高点;100=AcDbText;10=" + num(y + 10000) + ";20=" + num(x - 16000) + ";30=" + z +
              ";40=40000;1=30;11=" + num(y + 10000) + ";21=" + num(x) + ";31=" + z + ";100=AcDbText;73=2"},
  };
  for (const auto& c : cases) {
    h.settings.fileFormat = c.flavour;
    auto e = h.read(dataset(feature), &GmlReaders::GML2Elv);
    ASSERT_EQ(e.size(), 2u);
    EXPECT_EQ(e[0].record(), insert) << c.flavour;  // the block in every flavour
    EXPECT_EQ(e[1].record(), c.text) << c.flavour;
  }
}

TEST(ControlPointReader, AppendedMarksBenchmarksAndFlavourTwo) {
  Harness h;
  const double lat = 121282.5755 / 3600, lon = 468833.8945 / 3600;
  const auto [x, y] = h.xy(lat, lon);
  auto gcp = [](const std::string& type, const std::string& cls, const std::string& name) {
    return pointFeature("GCP", 33.689604306, 130.231637361, "<orgGILvl>KJ12</orgGILvl>\r\n<vis>表示</vis>\r\n",
                        "<orgName>国土地理院</orgName>\r\n<type>" + type + "</type>\r\n<gcpClass>" + cls +
                            "</gcpClass>\r\n<name>" + name +
                            "</name>\r\n<B>121282.5755</B>\r\n<L>468833.8945</L>\r\n<alti>217.88</alti>\r\n");
  };
  h.group("GCP",
          {{"001二等三角点", "二等三角点", ""}, {"002一等水準点", "一等水準点", ""}, {"003付属標", "outofdata", ""}});
  h.ctx.rankThreshold = 25000;  // no rank filter here ("KJ12" is not even read)
  h.settings.fileFormat = 0;
  auto e = h.read(dataset(gcp("三角点", "二等三角点", "玄界島")), &GmlReaders::GML4GCP);
  ASSERT_EQ(e.size(), 2u);
  EXPECT_EQ(e[0].record(), "330=13;100=AcDbEntity;8=001二等三角点;100=AcDbBlockReference;2=三角点;10=" + num(y) +
                               ";20=" + num(x) + ";30=217.88;41=1;42=1");
  EXPECT_EQ(e[1].record(), "330=13;100=AcDbEntity;8=001二等三角点;100=AcDbMText;10=" + num(y + 20000) +
                               ";20=" + num(x) + ";30=217.88;40=30000;71=4;72=5;1={\\fMS PGothic|b0|i0|c128|p18;217.9");
  // "（付）" in the name routes to "outofdata", or drops the point when no item has it.
  e = h.read(dataset(gcp("三角点", "二等三角点", "玄界島（付）")), &GmlReaders::GML4GCP);
  ASSERT_EQ(e.size(), 2u);
  EXPECT_EQ(e[0].value(8), "003付属標");
  h.group("GCP", {{"001二等三角点", "二等三角点", ""}});
  EXPECT_TRUE(h.read(dataset(gcp("三角点", "二等三角点", "玄界島（付）")), &GmlReaders::GML4GCP).empty());

  h.group("GCP", {{"001二等三角点", "二等三角点", ""}, {"002一等水準点", "一等水準点", ""}});
  h.settings.fileFormat = 2;
  for (const auto& [type, cls, mark] : std::vector<std::tuple<std::string, std::string, std::string>>{
           {"水準点", "一等水準点", "□217.9"}, {"三角点", "二等三角点", "△217.9"}}) {
    e = h.read(dataset(gcp(type, cls, "x")), &GmlReaders::GML4GCP);
    ASSERT_EQ(e.size(), 1u);
    EXPECT_EQ(e[0].type, "TEXT");
    EXPECT_EQ(e[0].record(),
              "330=13;100=AcDbEntity;8=" + std::string(cls == "一等水準点" ? "002一等水準点" : "001二等三角点") +
                  ";100=AcDbText;10=" + num(y - 21000) + ";20=" + num(x - 17000) + ";30=217.88;40=37000;1=" + mark +
                  ";100=AcDbText");
  }
  // The text reading "1" shows the control point's own position.
  h.settings.fileFormat = 1;
  e = h.read(dataset(gcp("三角点", "二等三角点", "x")), &GmlReaders::GML4GCP);
  ASSERT_EQ(e.size(), 2u);
  EXPECT_EQ(e[1].value(11), num(y + 17800));
}

namespace {

std::string annotation(const std::string& category, const std::string& text, int arrangement, double angle) {
  return pointFeature("Anno", kLat, kLon, "<orgGILvl>25000</orgGILvl>\r\n",
                      "<annoCtg>" + category + "</annoCtg>\r\n<knj>" + text + "</knj>\r\n<arrng>" +
                          std::to_string(arrangement) + "</arrng>\r\n<arrngAgl>" + num(angle) + "</arrngAgl>\r\n");
}

}  // namespace

TEST(AnnotationReader, RoutingByContainmentAndOptions) {
  Harness h;
  h.group("Anno", {{"001市", "110", "1"}, {"002市縦", "110", "2"}, {"003駅", "422", "1"}, {"004駅名", "42", "1"}});
  struct Case {
    std::string category;
    int arrangement;
    std::string layer;  // empty: nothing written
  };
  const std::vector<Case> cases = {
      {"110", 1, ""},                                // the later item of the two is vertical: nothing horizontal
      {"110", 2, "002市縦"}, {"422", 1, "004駅名"},  // "42" occurs in "422" and comes later
      {"999", 1, ""},        {"110", 3, ""},
  };
  for (const auto& c : cases) {
    auto e = h.read(dataset(annotation(c.category, "福岡", c.arrangement, 0)), &GmlReaders::GML8LayoutStr);
    ASSERT_EQ(e.size(), c.layer.empty() ? 0u : 1u) << c.category << " " << c.arrangement;
    if (!c.layer.empty()) {
      EXPECT_EQ(e[0].value(8), c.layer);
    }
  }
  // A vertical annotation whose item is horizontal is not written.
  h.group("Anno", {{"001市", "110", "1"}});
  EXPECT_TRUE(h.read(dataset(annotation("110", "福岡", 2, 0)), &GmlReaders::GML8LayoutStr).empty());
}

TEST(AnnotationReader, HorizontalAndVerticalEntities) {
  Harness h;
  h.group("Anno", {{"001h", "110", "1"}, {"002v", "210", "2"}});
  const auto [x, y] = h.xy(kLat, kLon);
  const double a = 30, c = std::cos(a * M_PI / 180), d = std::sin(a * M_PI / 180);
  const std::string text = "一二三四五六七八九十";  // 10 characters: width (48·10 + 48)·1000
  struct Case {
    int flavour;
    bool vertical;
    std::string record;
  };
  const std::string head = "330=13;100=AcDbEntity;8=";
  const std::vector<Case> cases = {
      {0, false,
       head + "001h;100=AcDbMText;10=" + num(y + 7000) + ";20=" + num(x) +
           ";30=0;40=33000;41=528000;71=4;72=5;1={\\fMS PGothic|b0|i0|c128|p50;" + text + ";11=" + num(c) +
           ";21=" + num(d) + ";31=0;73=1;44=1"},
      {3, false,
       head + "001h;100=AcDbMText;10=" + num(y + 7000) + ";20=" + num(x + 2000) +
           ";30=0;40=33000;41=528000;71=4;72=5;1={\\fMS PGothic|b0|i0|c128|p50;" + text + ";11=" + num(c) +
           ";21=" + num(d) + ";31=0;73=1;44=1"},
      {1, false,
       head + "001h;100=AcDbText;10=" + num(y + 7000) + ";20=" + num(x) + ";30=0;40=33000;72=0;50=30;1=" + text +
           ";11=" + num(y + 7000) + ";21=" + num(x) + ";31=0;100=AcDbText;73=2"},
      {2, false,
       head + "001h;100=AcDbText;10=" + num(y + 7000) + ";20=" + num(x - 16000) +
           ";30=0;40=44000;41=1;50=30;1=" + text + ";100=AcDbText"},
      {0, true,
       head + "002v;100=AcDbMText;10=" + num(y + (8 * d + 5) * 1000) + ";20=" + num(x - 5000) +
           ";30=0;40=33000;41=528000;71=4;72=5;1={\\f@MS PGothic|b0|i0|c128|p18;" + text +
           ";11=" + num(std::cos(300 * M_PI / 180)) + ";21=" + num(std::sin(300 * M_PI / 180)) + ";31=0;73=1;44=1"},
      {3, true,
       head + "002v;100=AcDbMText;10=" + num(y + (8 * d + 5) * 1000) + ";20=" + num(x + (8 * c + 5) * 1000) +
           ";30=0;40=33000;41=528000;71=4;72=5;1={\\fMS PGothic|b0|i0|c128|p18;" + text + ";11=" + num(c) +
           ";21=" + num(d) + ";31=0;73=1;44=1"},
      {1, true,
       head + "002v;100=AcDbText;10=" + num(y + (8 * d + 5) * 1000) + ";20=" + num(x - 5000) +
           ";30=0;40=33000;1=" + text + ";50=300;7=TATEGAKI;11=" + num(y + (8 * d + 5) * 1000) +
           ";21=" + num(x - 5000) + ";31=0;100=AcDbText;73=2"},
      {2, true,
       head + "002v;100=AcDbText;10=" + num(y + (8 * d + 5) * 1000) + ";20=" + num(x - 5000) +
           ";30=0;40=44000;1=" + text + ";50=30;7=TATEGAKI;100=AcDbText;73=0"},
  };
  for (const auto& k : cases) {
    h.settings.fileFormat = k.flavour;
    auto e = h.read(dataset(annotation(k.vertical ? "210" : "110", text, k.vertical ? 2 : 1, a)),
                    &GmlReaders::GML8LayoutStr);
    ASSERT_EQ(e.size(), 1u);
    EXPECT_EQ(e[0].record(), k.record) << k.flavour << (k.vertical ? " vertical" : " horizontal");
  }
  // With a = 0 a vertical flavour-3 text sits 5·u east and 13·u north of its point.
  h.settings.fileFormat = 3;
  auto e = h.read(dataset(annotation("210", "福岡", 2, 0)), &GmlReaders::GML8LayoutStr);
  ASSERT_EQ(e.size(), 1u);
  EXPECT_EQ(e[0].value(10), num(y + 5000));
  EXPECT_EQ(e[0].value(20), num(x + 13000));
  // Vertical texts keep a 300 m margin north of the sheet, horizontal ones do not.
  h.ctx.sheetNorth = x - 299000;
  h.ctx.sheetSouth = x - 400000;
  EXPECT_EQ(h.read(dataset(annotation("210", "福岡", 2, 0)), &GmlReaders::GML8LayoutStr).size(), 1u);
  EXPECT_EQ(h.read(dataset(annotation("110", "福岡", 1, 0)), &GmlReaders::GML8LayoutStr).size(), 0u);
}

namespace {

std::string symbol(const std::string& element, const std::string& type, const std::string& extra = "") {
  return pointFeature(element, kLat, kLon, "<orgGILvl>25000</orgGILvl>\r\n",
                      (type.empty() ? "" : "<type>" + type + "</type>\r\n") + extra);
}

}  // namespace

TEST(SymbolReader, KnownAndUnknownTypes) {
  Harness h;
  const auto [x, y] = h.xy(kLat, kLon);
  struct Case {
    std::string element, type;
    std::string block;    // empty: no INSERT
    std::string anomaly;  // added to anomalyMessage
  };
  const std::vector<Case> cases = {
      {"PwrPlnt", "", "発電所", ""},
      {"Monument", "", "記念碑", ""},
      {"RTwr", "", "電波塔", ""},
      {"BldSbl", "小中学校", "小学校", ""},
      {"BldSbl", "中学校", "小学校", ""},
      {"BldSbl", "高等学校・中等教育学校", "高等学校", ""},
      {"LUSbl", "田", "田園", ""},
      {"LUSbl", "噴火口・噴気口", "噴火口", ""},
      {"LUSbl", "ガス田", "油田", ""},
      {"BldSbl", "地", "", "図式ブロックがないため描画しません: 地\r\n"},  // a piece of a known name
      {"BldSbl", "旅客船", "", "図式ブロックがないため描画しません: 旅客船\r\n"},
      {"BldSbl", "指示点", "", ""},
      {"BldSbl", "踏切", "", ""},
      {"BldSbl", "雨裂（下部）", "", ""},
      {"BldSbl", "灯標", "", "灯標"},
  };
  for (const auto& c : cases) {
    h.group(c.element, {{"001記号", "", "", 20}, {"002other", "", ""}});
    h.ctx.anomalyMessage.clear();
    auto e = h.read(dataset(symbol(c.element, c.type)), &GmlReaders::GML16Symbol);
    EXPECT_EQ(h.ctx.anomalyMessage, c.anomaly) << c.type;
    ASSERT_EQ(e.size(), c.block.empty() ? 0u : 1u) << c.type;
    if (!c.block.empty()) {
      EXPECT_EQ(e[0].record(), "330=13;100=AcDbEntity;8=001記号;100=AcDbBlockReference;2=" + c.block + ";10=" + num(y) +
                                   ";20=" + num(x) + ";30=0;41=2;42=2");
    }
  }
}

TEST(SymbolReader, NationalRoadNumbers) {
  Harness h;
  h.group("BldSbl", {{"001記号", "", ""}});
  const auto [x, y] = h.xy(kLat, kLon);
  struct Case {
    int flavour;
    std::string colour, text;
  };
  const std::vector<Case> cases = {
      {0, "62=7;420=16711422", "{\\fMS PGothic|b1|i0|c128|p50;202"},
      {1, "62=130", "{\\fMS UI Gothic|b1|i0|c128|p50;202"},
      {2, "62=7;420=16711422", "202"},
      {3, "62=7;420=16711422", "{\\fMS PGothic|b1|i0|c128|p50;202"},
  };
  for (const auto& c : cases) {
    h.settings.fileFormat = c.flavour;
    auto e = h.read(dataset(symbol("BldSbl", "国道番号", "<nRNo>202</nRNo>\r\n")), &GmlReaders::GML16Symbol);
    ASSERT_EQ(e.size(), 2u);
    EXPECT_EQ(e[0].value(2), "国道番号");
    EXPECT_EQ(e[1].type, "MTEXT");
    EXPECT_EQ(e[1].record(), "330=13;100=AcDbEntity;8=001記号;" + c.colour + ";100=AcDbMText;10=" + num(y) +
                                 ";20=" + num(x) + ";30=0;40=35000;41=100000;71=5;72=5;1=" + c.text +
                                 ";11=1;21=0;31=0;73=1;44=1")
        << c.flavour;
  }
}
