#include "converter/sheet/symbol_blocks.h"

#include <algorithm>
#include <cmath>
#include <span>
#include <string>
#include <utility>

#include "converter/sheet/entity_writer.h"
#include "converter/sheet/symbol_geometry.h"

namespace sheet {

namespace {

using namespace symbol_geometry;

struct Symbol {
  std::string_view name;
  std::vector<Entity> entities;
};

// ---------------------------------------------------------------------------------------
// The symbols in the order of their blocks and records.

std::vector<Symbol> buildSymbols() {
  std::vector<Symbol> s;
  auto add = [&](std::string_view name, std::vector<Entity> e) { s.push_back({name, std::move(e)}); };

  add("三角点", {polyline({{0, 18000}, {-15588.457268, -9000}, {15588.457268, -9000}}, true), dot({0, 0}, 1440)});
  add("水準点",
      {dot({0, 0}, 1920), polyline({{-12000, -12000}, {12000, -12000}, {12000, 12000}, {-12000, 12000}}, true)});
  add("電子基準点", {dot({0, 0}, 2400), polyline({{0, 14400},
                                                  {-12470.765814, -7200},
                                                  {12470.765814, -7200},
                                                  {0, 14400},
                                                  {0, 36000},
                                                  {5760, 30240},
                                                  {11520, 36000},
                                                  {17280, 30240},
                                                  {23040, 36000}},
                                                 false)});
  add("市役所", {circle(15000), circle(22500)});
  add("町村役場", {circle(18000)});
  add("官公署", {circle(15000), line({0, 30000}, {0, 15000}), dot({10781.083613, 22459.786835}, 2400),
                 dot({-10781.083613, 22459.786835}, 2400, 22459.786835 - 25 * 2400, /*clockwise=*/true)});
  add("裁判所",
      {polyline(
          {{0, -18000}, {0, -688.32}, {-10789.706583, -688.32}, {0, 18000}, {10789.706583, -688.32}, {0, -688.32}},
          false)});
  add("税務署",
      {line({0, -7149.09888}, {0, -17872.7472}),
       polyline(
           {{0, 17872.7472}, {0, 7149.09888}, {-17872.7472, 0}, {0, -7149.09888}, {17872.7472, 0}, {0, 7149.09888}},
           false)});
  add("森林管理署", forestOffice());
  add("気象台", {line({-14400, 14400}, {14400, 14400}), line({0, 14400}, {0, -18000}),
                 line({14400, 16358.4}, {14400, 12441.6}), line({-14400, 16358.4}, {-14400, 12441.6})});
  add("消防署",
      {line({0, -18000}, {0, 3985.6}),
       polyline(arcThrough({-13999.99994, 17984.301349}, {0, 3985.6}, {13999.99994, 17984.301349}, 17), false)});
  add("保健所", {line({-14400, 0}, {14400, 0}), line({0, 14400}, {0, -14400}), circle(18000)});
  add("警察署", {circle(18000), line({-12727.922061, -12727.922061}, {12727.922061, 12727.922061}),
                 line({-12727.922061, 12727.922061}, {12727.922061, -12727.922061})});
  add("交番", {line({-9743.573719, 18000}, {9743.573719, -18000}), line({9743.573719, 18000}, {-9743.573719, -18000})});
  add("郵便局", {line({-18000, 0}, {18000, 0}), line({0, 0}, {0, -18000}),
                 line({15588.457268, 9000}, {-15588.457268, 9000}), circle(18000)});
  {
    auto e = schoolLines(12727.922061, -12727.922061, 10904.176505, 14321.275598, 10904.176505, 18000);
    e.push_back(circle(18000));
    add("高等学校", std::move(e));
  }
  add("博物館", {line({-18000, -10800}, {18000, -10800}), line({-18000, 10800}, {18000, 10800}),
                 line({-16200, 10800}, {0, 20000}), line({0, 20000}, {16200, 10800}),
                 line({-16200, -10800}, {-16200, 10800}), line({-5400, -10800}, {-5400, 10800}),
                 line({5400, -10800}, {5400, 10800}), line({16200, -10800}, {16200, 10800})});
  add("神社", {line({12990.381057, 15000}, {-12990.381057, 15000}), line({8400, 15000}, {8400, -15000}),
               line({-8400, 15000}, {-8400, -15000}), line({-8400, 5791.341655}, {8400, 5791.341655})});
  {
    const double a = 10182.337649;
    std::vector<Entity> e{polyline({{-a, -a}, {a, -a}, {a, a}, {-a, a}}, true)};
    for (Pt c : {Pt{1, 1}, Pt{-1, 1}, Pt{-1, -1}, Pt{1, -1}})
      e.push_back(line({c.x * a, c.y * a}, {c.x * 18000, c.y * 18000}));
    add("高塔", std::move(e));
  }
  add("記念碑", {polyline(monumentOutline(), false)});
  add("煙突",
      {line({0, 3806.511989}, {0, -18000}), line({-5040, 3806.511989}, {-5040, -18000}),
       line({-5040, 3806.511989}, {0, 3806.511989}), line({-1800, 6600}, {3600, 9600}), line({0, 11400}, {6600, 14400}),
       line({2400, 16200}, {10200, 19200}), line({-11407.47081, -18000}, {11407.47081, -18000})});
  add("油田",
      {line({-12727.922061, 18000}, {-12727.922061, -18000}), line({12727.922061, 18000}, {12727.922061, -18000}),
       line({-18000, 12727.922061}, {18000, 12727.922061}), line({-18000, -12727.922061}, {18000, -12727.922061})});
  {
    std::vector<Entity> e{circle(14400)};
    for (int k = 0; k < 8; ++k) e.push_back(ray(45.0 * k, 14400, 24000));
    e.push_back(dot({0, 0}, 1920));
    add("灯台", std::move(e));
  }
  {
    std::vector<Entity> e{line({0, 0}, {0, -30000}), circle(6000, {0, 6000})};
    for (double deg : {90.0, 210.0, 330.0}) {
      const double a = rad(deg);
      e.push_back(
          line({6000 * std::cos(a), 6000 + 6000 * std::sin(a)}, {24000 * std::cos(a), 6000 + 24000 * std::sin(a)}));
    }
    e.push_back(line({-6000, -30000}, {6000, -30000}));
    add("風車", std::move(e));
  }
  add("フェリー", {line({-10392.305071, -14627.85973}, {10392.30462, -14627.85973}), polyline(boatOutline(), true)});
  add("その他の旅客船", {polyline(boatOutline(), true)});
  add("墓地", {line({0, 18000}, {0, -18000}), line({-7200, -18000}, {7200, -18000})});
  add("自衛隊", {line({-10800, -18000}, {-10800, 18000}),
                 polyline({{-10800, 18000}, {-10800, -4805.434279}, {18000, -4805.434279}, {18000, 18000}}, true),
                 line({18000, 6597.282861}, {-10800, 6597.282861})});
  add("工場", gear(18000));
  {
    auto e = gear(21600);
    e.push_back(line({21600, 0}, {21600, 18000}));
    e.push_back(line({-21600, -18000}, {-21600, 0}));
    add("発電所", std::move(e));
  }
  add("温泉", {bowl(), polyline(steam(-12000, -2400, 24000, 23), false),
               polyline(steam(12000, -2400, 24000, 23), false), polyline(steam(0, -2400, 28800, 24), false)});
  {
    // The crater floor: six lines across the bowl, each 80 % of the bowl's width at its
    // height (semi-axes 30000 and 12677.19 about (0, −17322.805484)).
    std::vector<Entity> e;
    const double cy = -17322.805484, a = 30000, b = 30000 * 0.422573;
    for (int k = 0; k < 6; ++k) {
      const double y = -27000 + 3800 * k, t = (y - cy) / b;
      const double half = std::round(0.8 * a * std::sqrt(1 - t * t));
      e.push_back(line({-half, y}, {half, y}));
    }
    e.push_back(bowl());
    add("噴火口", std::move(e));
  }
  {
    const Pt a0{12991.431626, 24000}, a1{-12991.431626, -24000};
    const Pt b0{-12991.431626, 24000}, b1{12991.431626, -24000};
    add("採鉱地", {line(a0, a1), line(b0, b1), pickHead(a1, a0), pickHead(b1, b0)});
  }
  add("城跡", {polyline({{-18000, -18000},
                         {-18000, 7200},
                         {-7200, 7200},
                         {-7200, 18000},
                         {7200, 18000},
                         {7200, 7200},
                         {18000, 7200},
                         {18000, -18000}},
                        false)});
  add("重要港", anchor(Stocks::two, Ring::open));
  add("地方港", anchor(Stocks::one, Ring::open));
  add("漁港", anchor(Stocks::one, Ring::solid));
  add("史跡", {dot({0, 19200}, 3840), dot({16627.687753, -9600}, 3840), dot({-16627.687753, -9600}, 3840)});
  add("国道番号", {solid({{{"41618.557393", "22994.331345"},
                           {"-41618.557391", "22994.331349"},
                           {"50498.94241538536", "7613.053295790116"},
                           {"-50498.94241756063", "7613.053292566532"}}}),
                   solid({{{"50498.942415", "7613.053296"},
                           {"-50498.942418", "7613.053293"},
                           {"8880.385022442075", "-64472.40264650923"},
                           {"-8880.385026321528", "-64472.40264678107"}}})});
  // Mast with a zigzag aerial on top of the circle.
  add("電波塔", {polyline({{0, 11760}, {0, 22000}, {-6000, 26000}, {6000, 30000}, {-6000, 34000}, {0, 36000}}, false),
                 circle(11760)});
  add("小学校", schoolLines(14677.370266, -13363.497298, 11354.740533, 14623.091074, 10338.299142, 15282.434799));
  add("病院",
      {polyline({{-12000, 18000}, {-12000, -6014.4}, {0, -18014.4}, {12000, -6014.4}, {11986.907562, 17986.907562}},
                true),
       line({-6.243549, 14776.702627}, {0, -8860.537041}),
       line({-9524.981851, 2958.082793}, {9515.315891, 2958.082793})});
  add("標高点", {dot({0, 0}, 1920)});
  add("田園", {line({5000, -7500}, {5000, 7500}), line({-5000, -7500}, {-5000, 7500})});
  add("畑", {polyline({{-10800, 5400}, {0, -5400}, {10800, 5400}}, false)});
  add("桑畑", {polyline({{-10800, 10800}, {0, 0}, {10800, 10800}}, false),
               polyline({{0, 0}, {0, -10800}, {10800, -10800}}, false)});
  add("茶畑", {dot({0, 9720}, 864), dot({8417.766925, -4860}, 864), dot({-8417.766925, -4860}, 864)});
  add("ハイマツ地", {polyline({{-10800, 2700}, {0, -8100}, {10800, 2700}}, false), line({0, 8100}, {0, -8100})});
  add("荒地", {line({0, 10761.300433}, {0, -10761.300433}), line({8553.6, -10761.300433}, {8553.6, 2356.480293}),
               line({-8553.6, -10761.300433}, {-8553.6, 2356.480293})});
  add("図書館", {line({-2953.35496, 16550.532384}, {2953.35496, -16550.532384}), polyline(bookOutline(), false)});
  add("笹地",
      {line({2969.125068, 8152.500328}, {9927.779208, 1193.846188}),
       line({-9927.779208, 1193.846188}, {-2969.125068, 8152.500328}), line({0, 8152.500328}, {0, -8152.500328})});
  add("果樹園", {line({0, 20000}, {0, 12500}), circle(12500)});
  add("その他の樹木畑", {circle(12500)});
  add("広葉樹林", {circle(12500), line({0, -12500}, {15000, -12500})});
  add("針葉樹林", {line({7297.818522, -15422.4}, {0, 15422.4}), line({-7297.818522, -15422.4}, {0, 15422.4}),
                   line({3380.047247, -15422.4}, {15009.018522, -15422.4})});
  add("竹林", {line({-10905.283622, 4517.116378}, {-3261.46969, 12160.93031}),
               line({3261.46969, 12160.93031}, {10905.283622, 4517.116378}), polyline(palmTrunk(), false)});
  // The crown: one arc from the given right tip over the top of the trunk to the mirrored tip.
  add("ヤシ科樹林",
      {polyline(palmTrunk(), false),
       polyline(arcThrough({15213.588056, 10959.405803}, {0, 12160.93031}, {-15213.588056, 10959.405803}, 11), false)});
  add("寺院", {polyline({{-13000, -13000}, {-13000, 0}, {13000, 0}, {13000, 13000}}, false),
               polyline({{13000, -13000}, {0, -13000}, {0, 13000}, {-13000, 13000}}, false)});
  add("老人ホーム", {line({0, 18202.860005}, {16200, 11002.860005}), line({0, 18202.860005}, {-16200, 11002.860005}),
                     line({14400, -14400}, {14400, 11802.860005}), line({-14400, -14400}, {-14400, 11802.860005}),
                     line({18000, -14400}, {-18000, -14400}), polyline(caneOutline(), false)});
  {
    const double a = 212.132034;
    add("砂礫地", {solid({-a, -a}, {a, -a}, {-a, a}, {a, a})});
  }
  const auto university = [] {
    return schoolLines(18000, -29400.196386, 11354.740533, 14623.091074, -5698.399946, -754.264289);
  };
  {
    auto e = university();
    e.push_back(schoolText("-33094.133697", "（大）"));
    add("大学", std::move(e));
  }
  {
    auto e = university();
    e.push_back(schoolText("-49637.107776", "（短大）"));
    add("短大", std::move(e));
  }
  {
    auto e = university();
    e.push_back(schoolText("-33094.133697", "（専）"));
    add("専門学校", std::move(e));
  }
  return s;
}

const std::vector<Symbol>& symbols() {
  static const std::vector<Symbol> s = buildSymbols();
  return s;
}

void blockHead(dxfio::DxfWriter& w, std::uint32_t handle, std::uint32_t record, std::string_view name) {
  w.pair(0, "BLOCK");
  w.handle(5, handle);
  w.handle(330, record);
  w.pairs({{100, "AcDbEntity"}, {8, "0"}, {100, "AcDbBlockBegin"}});
  w.pair(2, name);
  w.pairs({{70, "0"}, {10, "0"}, {20, "0"}, {30, "0"}});
  w.pair(3, name);
}

void blockEnd(dxfio::DxfWriter& w, std::uint32_t handle, std::uint32_t record) {
  w.pair(0, "ENDBLK");
  w.handle(5, handle);
  w.handle(330, record);
  w.pairs({{100, "AcDbEntity"}, {8, "0"}, {100, "AcDbBlockEnd"}});
}

// A block with its entities on layer 0, taking handles from `handle` on. The cells carry an
// empty 1= after the head, the symbols do not.
void writeBlock(dxfio::DxfWriter& w, std::uint32_t& handle, std::uint32_t record, std::string_view name,
                std::span<const Entity> entities, bool cell) {
  blockHead(w, handle++, record, name);
  if (cell) w.pairs({{1, ""}});
  for (const Entity& e : entities) {
    entityHead(w, e.type, handle++, record, "0");
    for (const dxfio::Group& g : e.body) w.pair(g.code, g.value);
  }
  blockEnd(w, handle++, record);
}

}  // namespace

const std::vector<std::string_view>& meshCellBlockNames() {
  static const std::vector<std::string_view> names{"5M", "10M", "50M", "250M", "1500M"};
  return names;
}

const std::vector<std::string_view>& symbolBlockNames() {
  static const std::vector<std::string_view> names = [] {
    std::vector<std::string_view> n;
    for (const Symbol& s : symbols()) n.push_back(s.name);
    return n;
  }();
  return names;
}

bool isLibraryBlock(std::string_view name) {
  const auto& cells = meshCellBlockNames();
  const auto& symbols = symbolBlockNames();
  return std::find(cells.begin(), cells.end(), name) != cells.end() ||
         std::find(symbols.begin(), symbols.end(), name) != symbols.end();
}

void writeLibraryBlockRecords(dxfio::DxfWriter& w) {
  std::uint32_t record = kFirstLibraryRecord;
  auto write = [&](std::string_view name) {
    w.pair(0, "BLOCK_RECORD");
    w.handle(5, record++);
    w.pairs({{330, "12"}, {100, "AcDbSymbolTableRecord"}, {100, "AcDbBlockTableRecord"}});
    w.pair(2, name);
    w.pairs({{340, "0"}});
  };
  for (std::string_view name : meshCellBlockNames()) write(name);
  for (std::string_view name : symbolBlockNames()) write(name);
}

namespace {

// Fixed records, one a line.
// clang-format off
// BLOCK/ENDBLK pairs of *Model_Space (15/16) and *Paper_Space (17/18).
constexpr dxfio::Pair kSpaceBlocks[] = {
    {0, "BLOCK"}, {5, "15"}, {330, "13"}, {100, "AcDbEntity"}, {8, "0"}, {100, "AcDbBlockBegin"},
      {2, "*Model_Space"}, {70, "0"}, {10, "0"}, {20, "0"}, {30, "0"}, {3, "*Model_Space"}, {1, ""},
    {0, "ENDBLK"}, {5, "16"}, {330, "13"}, {100, "AcDbEntity"}, {8, "0"}, {100, "AcDbBlockEnd"},
    {0, "BLOCK"}, {5, "17"}, {330, "14"}, {100, "AcDbEntity"}, {67, "1"}, {8, "0"}, {100, "AcDbBlockBegin"},
      {2, "*Paper_Space"}, {70, "0"}, {10, "0"}, {20, "0"}, {30, "0"}, {3, "*Paper_Space"}, {1, ""},
    {0, "ENDBLK"}, {5, "18"}, {330, "14"}, {100, "AcDbEntity"}, {67, "1"}, {8, "0"}, {100, "AcDbBlockEnd"},
};
// clang-format on

}  // namespace

void writeSpaceBlocks(dxfio::DxfWriter& w) { w.pairs(kSpaceBlocks); }

void writeLibraryBlocks(dxfio::DxfWriter& w, const MeshCellHalfSizes& cells) {
  std::uint32_t record = kFirstLibraryRecord;
  std::uint32_t handle = kFirstLibraryHandle;

  const auto& meshNames = meshCellBlockNames();
  for (std::size_t i = 0; i < meshNames.size(); ++i) {
    const double factor = i == 4 ? 6 : 1;
    const std::size_t source = i == 4 ? 3 : i;
    // The cell sizes are in drawing units, not block units: written in full, not to num's
    // six decimals.
    const std::string hw = dxfio::formatReal(factor * cells.halfWidth[source]),
                      mw = dxfio::formatReal(-factor * cells.halfWidth[source]);
    const std::string hh = dxfio::formatReal(factor * cells.halfHeight[source]),
                      mh = dxfio::formatReal(-factor * cells.halfHeight[source]);
    const Entity cell = solid({{{mw, mh}, {hw, mh}, {mw, hh}, {hw, hh}}});
    writeBlock(w, handle, record++, meshNames[i], {&cell, 1}, true);
  }
  for (const Symbol& s : symbols()) writeBlock(w, handle, record++, s.name, s.entities, false);
}

}  // namespace sheet
