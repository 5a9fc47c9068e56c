#include "converter/sheet/symbol_blocks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <functional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "converter/sheet/entity_writer.h"
#include "dxfio/collecting_sink.h"
#include "platform/text_codec.h"
#include "tests/common/temp_folder.h"

using dxfio::DxfWriter;

namespace {

using Pair = std::pair<int, std::string>;
using Pairs = std::vector<Pair>;

// Runs `write` and returns the pairs it wrote.
Pairs written(const TempFolder&, const std::function<void(DxfWriter&)>& write) {
  dxfio::CollectingSink sink;
  DxfWriter w(sink, sheet::kFirstProducerHandle);
  write(w);
  Pairs pairs;
  for (const auto& g : sink.groups) pairs.emplace_back(g.code, g.value);
  return pairs;
}

// Pairs in the record notation "0=BLOCK;5=79;…".
std::string notation(Pairs::const_iterator from, Pairs::const_iterator to) {
  std::string s;
  for (auto it = from; it != to; ++it) s += (s.empty() ? "" : ";") + std::to_string(it->first) + "=" + it->second;
  return s;
}

double number(const std::string& text) {
  double v = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
  EXPECT_TRUE(ec == std::errc() && end == text.data() + text.size()) << text;
  return v;
}

struct Entity {
  std::string type;
  Pairs pairs;  // from 0=TYPE up to the next 0= pair
};

struct Block {
  std::string name;
  std::uint32_t record = 0, head = 0, end = 0;
  Pairs headPairs, endPairs;
  std::vector<Entity> entities;
};

std::uint32_t hex(const std::string& s) { return static_cast<std::uint32_t>(std::stoul(s, nullptr, 16)); }

std::string value(const Pairs& pairs, int code) {
  for (const auto& [c, v] : pairs)
    if (c == code) return v;
  return "<none>";
}

std::vector<Block> blocksOf(const Pairs& pairs) {
  std::vector<Block> blocks;
  std::size_t i = 0;
  auto next = [&](std::size_t from) {
    std::size_t j = from + 1;
    while (j < pairs.size() && pairs[j].first != 0) ++j;
    return j;
  };
  while (i < pairs.size()) {
    EXPECT_EQ(pairs[i], Pair(0, "BLOCK"));
    if (pairs[i] != Pair(0, "BLOCK")) break;
    Block b;
    std::size_t j = next(i);
    b.headPairs.assign(pairs.begin() + i, pairs.begin() + j);
    b.name = value(b.headPairs, 2);
    b.head = hex(value(b.headPairs, 5));
    b.record = hex(value(b.headPairs, 330));
    i = j;
    while (i < pairs.size() && pairs[i].second != "ENDBLK") {
      j = next(i);
      b.entities.push_back({pairs[i].second, Pairs(pairs.begin() + i, pairs.begin() + j)});
      i = j;
    }
    if (i >= pairs.size()) break;
    j = next(i);
    b.endPairs.assign(pairs.begin() + i, pairs.begin() + j);
    b.end = hex(value(b.endPairs, 5));
    i = j;
    blocks.push_back(std::move(b));
  }
  return blocks;
}

sheet::MeshCellHalfSizes millimetreCells() {
  sheet::MeshCellHalfSizes c;
  c.halfWidth = {2504.25, 5011.5, 22540.125, 112700.5, 999999};
  c.halfHeight = {3088.9, 6170, 23110.7, 115730, 888888};
  return c;
}

struct LibraryTest : ::testing::Test {
  TempFolder temp;
  Pairs pairs = written(temp, [](DxfWriter& w) { sheet::writeLibraryBlocks(w, millimetreCells()); });
  std::vector<Block> blocks = blocksOf(pairs);

  const Block& block(std::string_view name) const {
    for (const Block& b : blocks)
      if (b.name == name) return b;
    ADD_FAILURE() << "no block " << name;
    return blocks.front();
  }
  // Vertices of the LWPOLYLINE entity `index` of a block.
  std::vector<std::pair<std::string, std::string>> vertices(std::string_view name, std::size_t index) const {
    const Entity& e = block(name).entities.at(index);
    EXPECT_EQ(e.type, "LWPOLYLINE");
    std::vector<std::pair<std::string, std::string>> v;
    for (std::size_t k = 0; k + 1 < e.pairs.size(); ++k)
      if (e.pairs[k].first == 10 && e.pairs[k + 1].first == 20)
        v.emplace_back(e.pairs[k].second, e.pairs[k + 1].second);
    EXPECT_EQ(std::to_string(v.size()), value(e.pairs, 90));
    return v;
  }
};

struct Row {
  const char* name;
  std::uint32_t record, head, end;
  const char* kinds;  // L line, P polyline, C circle, H solid dot, S solid, E ellipse, T text
};

// Every library block: its record, its head and end handles and its entities in order.
const Row kLibrary[] = {
    {"5M", 0x26, 0x6A, 0x6C, "S"},
    {"10M", 0x27, 0x6D, 0x6F, "S"},
    {"50M", 0x28, 0x70, 0x72, "S"},
    {"250M", 0x29, 0x73, 0x75, "S"},
    {"1500M", 0x2A, 0x76, 0x78, "S"},
    {"三角点", 0x2B, 0x79, 0x7C, "PH"},
    {"水準点", 0x2C, 0x7D, 0x80, "HP"},
    {"電子基準点", 0x2D, 0x81, 0x84, "HP"},
    {"市役所", 0x2E, 0x85, 0x88, "CC"},
    {"町村役場", 0x2F, 0x89, 0x8B, "C"},
    {"官公署", 0x30, 0x8C, 0x91, "CLHH"},
    {"裁判所", 0x31, 0x92, 0x94, "P"},
    {"税務署", 0x32, 0x95, 0x98, "LP"},
    {"森林管理署", 0x33, 0x99, 0x9D, "LPP"},
    {"気象台", 0x34, 0x9E, 0xA3, "LLLL"},
    {"消防署", 0x35, 0xA4, 0xA7, "LP"},
    {"保健所", 0x36, 0xA8, 0xAC, "LLC"},
    {"警察署", 0x37, 0xAD, 0xB1, "CLL"},
    {"交番", 0x38, 0xB2, 0xB5, "LL"},
    {"郵便局", 0x39, 0xB6, 0xBB, "LLLC"},
    {"高等学校", 0x3A, 0xBC, 0xC2, "LLLLC"},
    {"博物館", 0x3B, 0xC3, 0xCC, "LLLLLLLL"},
    {"神社", 0x3C, 0xCD, 0xD2, "LLLL"},
    {"高塔", 0x3D, 0xD3, 0xD9, "PLLLL"},
    {"記念碑", 0x3E, 0xDA, 0xDC, "P"},
    {"煙突", 0x3F, 0xDD, 0xE5, "LLLLLLL"},
    {"油田", 0x40, 0xE6, 0xEB, "LLLL"},
    {"灯台", 0x41, 0xEC, 0xF7, "CLLLLLLLLH"},
    {"風車", 0x42, 0xF8, 0xFF, "LCLLLL"},
    {"フェリー", 0x43, 0x100, 0x103, "LP"},
    {"その他の旅客船", 0x44, 0x104, 0x106, "P"},
    {"墓地", 0x45, 0x107, 0x10A, "LL"},
    {"自衛隊", 0x46, 0x10B, 0x10F, "LPL"},
    {"工場", 0x47, 0x110, 0x11A, "CLLLLLLLL"},
    {"発電所", 0x48, 0x11B, 0x127, "CLLLLLLLLLL"},
    {"温泉", 0x49, 0x128, 0x12D, "EPPP"},
    {"噴火口", 0x4A, 0x12E, 0x136, "LLLLLLE"},
    {"採鉱地", 0x4B, 0x137, 0x13C, "LLSS"},
    {"城跡", 0x4C, 0x13D, 0x13F, "P"},
    {"重要港", 0x4D, 0x140, 0x148, "LCLLLLP"},
    {"地方港", 0x4E, 0x149, 0x150, "LCLLLP"},
    {"漁港", 0x4F, 0x151, 0x158, "LHLLLP"},
    {"史跡", 0x50, 0x159, 0x15D, "HHH"},
    {"国道番号", 0x51, 0x15E, 0x161, "SS"},
    {"電波塔", 0x52, 0x162, 0x165, "PC"},
    {"小学校", 0x53, 0x166, 0x16B, "LLLL"},
    {"病院", 0x54, 0x16C, 0x170, "PLL"},
    {"標高点", 0x55, 0x171, 0x173, "H"},
    {"田園", 0x56, 0x174, 0x177, "LL"},
    {"畑", 0x57, 0x178, 0x17A, "P"},
    {"桑畑", 0x58, 0x17B, 0x17E, "PP"},
    {"茶畑", 0x59, 0x17F, 0x183, "HHH"},
    {"ハイマツ地", 0x5A, 0x184, 0x187, "PL"},
    {"荒地", 0x5B, 0x188, 0x18C, "LLL"},
    {"図書館", 0x5C, 0x18D, 0x190, "LP"},
    {"笹地", 0x5D, 0x191, 0x195, "LLL"},
    {"果樹園", 0x5E, 0x196, 0x199, "LC"},
    {"その他の樹木畑", 0x5F, 0x19A, 0x19C, "C"},
    {"広葉樹林", 0x60, 0x19D, 0x1A0, "CL"},
    {"針葉樹林", 0x61, 0x1A1, 0x1A5, "LLL"},
    {"竹林", 0x62, 0x1A6, 0x1AA, "LLP"},
    {"ヤシ科樹林", 0x63, 0x1AB, 0x1AE, "PP"},
    {"寺院", 0x64, 0x1AF, 0x1B2, "PP"},
    {"老人ホーム", 0x65, 0x1B3, 0x1BA, "LLLLLP"},
    {"砂礫地", 0x66, 0x1BB, 0x1BD, "S"},
    {"大学", 0x67, 0x1BE, 0x1C4, "LLLLT"},
    {"短大", 0x68, 0x1C5, 0x1CB, "LLLLT"},
    {"専門学校", 0x69, 0x1CC, 0x1D2, "LLLLT"},
};

char kindOf(const std::string& type) {
  if (type == "LINE") return 'L';
  if (type == "LWPOLYLINE") return 'P';
  if (type == "CIRCLE") return 'C';
  if (type == "HATCH") return 'H';
  if (type == "SOLID") return 'S';
  if (type == "ELLIPSE") return 'E';
  if (type == "TEXT") return 'T';
  return '?';
}

}  // namespace

TEST(SymbolBlocks, NamesOfTheLibrary) {
  const auto& symbols = sheet::symbolBlockNames();
  const auto& cells = sheet::meshCellBlockNames();
  ASSERT_EQ(symbols.size(), 63u);
  ASSERT_EQ(cells.size(), 5u);
  EXPECT_EQ(std::vector<std::string_view>(cells.begin(), cells.end()),
            (std::vector<std::string_view>{"5M", "10M", "50M", "250M", "1500M"}));
  std::set<std::string_view> unique;
  for (std::size_t i = 0; i < symbols.size(); ++i) {
    EXPECT_EQ(symbols[i], kLibrary[5 + i].name) << i;
    EXPECT_TRUE(platform::representableInCp932(symbols[i])) << symbols[i];
    unique.insert(symbols[i]);
  }
  EXPECT_EQ(unique.size(), 63u);
}

TEST(SymbolBlocks, SpaceBlocks) {
  TempFolder temp;
  Pairs p = written(temp, sheet::writeSpaceBlocks);
  EXPECT_EQ(
      notation(p.begin(), p.end()),
      "0=BLOCK;5=15;330=13;100=AcDbEntity;8=0;100=AcDbBlockBegin;2=*Model_Space;70=0;10=0;20=0;30=0;3=*Model_Space;1=;"
      "0=ENDBLK;5=16;330=13;100=AcDbEntity;8=0;100=AcDbBlockEnd;"
      "0=BLOCK;5=17;330=14;100=AcDbEntity;67=1;8=0;100=AcDbBlockBegin;2=*Paper_Space;70=0;10=0;20=0;30=0;3=*Paper_"
      "Space;1=;"
      "0=ENDBLK;5=18;330=14;100=AcDbEntity;67=1;8=0;100=AcDbBlockEnd");
}

TEST_F(LibraryTest, BlockRecordsListTheLibraryInTheOrderOfTheBlocks) {
  Pairs records = written(temp, sheet::writeLibraryBlockRecords);
  ASSERT_EQ(records.size(), 68u * 7);
  EXPECT_EQ(notation(records.begin(), records.begin() + 7),
            "0=BLOCK_RECORD;5=26;330=12;100=AcDbSymbolTableRecord;100=AcDbBlockTableRecord;2=5M;340=0");
  EXPECT_EQ(notation(records.end() - 7, records.end()),
            "0=BLOCK_RECORD;5=69;330=12;100=AcDbSymbolTableRecord;100=AcDbBlockTableRecord;2=専門学校;340=0");
  ASSERT_EQ(blocks.size(), 68u);
  for (std::size_t i = 0; i < 68; ++i) {
    Pairs one(records.begin() + 7 * i, records.begin() + 7 * (i + 1));
    EXPECT_EQ(hex(value(one, 5)), kLibrary[i].record) << i;
    EXPECT_EQ(value(one, 2), blocks[i].name) << i;
    EXPECT_EQ(hex(value(one, 5)), blocks[i].record) << blocks[i].name;
  }
}

TEST_F(LibraryTest, EveryBlockHasTheFixedHandlesAndEntities) {
  ASSERT_EQ(blocks.size(), std::size(kLibrary));
  for (std::size_t i = 0; i < blocks.size(); ++i) {
    const Block& b = blocks[i];
    const Row& row = kLibrary[i];
    SCOPED_TRACE(row.name);
    EXPECT_EQ(b.name, row.name);
    EXPECT_EQ(value(b.headPairs, 3), row.name);
    EXPECT_EQ(b.record, row.record);
    EXPECT_EQ(b.head, row.head);
    EXPECT_EQ(b.end, row.end);
    std::string kinds;
    for (const Entity& e : b.entities) {
      kinds += kindOf(e.type);
      // Entities belong to their block record, sit on layer 0 and take every property
      // from the insert.
      EXPECT_EQ(notation(e.pairs.begin() + 2, e.pairs.begin() + 5),
                "330=" + dxfio::hexHandle(row.record) + ";100=AcDbEntity;8=0");
      for (int code : {6, 62, 370, 420}) EXPECT_EQ(value(e.pairs, code), "<none>") << e.type << " " << code;
    }
    EXPECT_EQ(kinds, row.kinds);
    // The cells carry the closing 1= pair, the symbols do not.
    EXPECT_EQ(b.headPairs.back() == Pair(1, ""), i < 5);
    EXPECT_EQ(notation(b.endPairs.begin(), b.endPairs.end()), "0=ENDBLK;5=" + dxfio::hexHandle(row.end) +
                                                                  ";330=" + dxfio::hexHandle(row.record) +
                                                                  ";100=AcDbEntity;8=0;100=AcDbBlockEnd");
  }
}

TEST_F(LibraryTest, HandlesRunWithoutGapFrom6ATo1D2) {
  std::vector<std::uint32_t> handles;
  for (const auto& [code, v] : pairs)
    if (code == 5) handles.push_back(hex(v));
  ASSERT_EQ(handles.size(), std::size_t{sheet::kLastLibraryHandle - sheet::kFirstLibraryHandle + 1});
  for (std::size_t i = 0; i < handles.size(); ++i) ASSERT_EQ(handles[i], sheet::kFirstLibraryHandle + i) << i;
  EXPECT_EQ(handles.back(), 0x1D2u);
  EXPECT_EQ(handles.back() + 1, sheet::kFirstProducerHandle);
}

TEST_F(LibraryTest, LibraryLeavesTheProducerHandleAlone) {
  dxfio::CollectingSink sink;
  DxfWriter w(sink, sheet::kFirstProducerHandle);
  sheet::writeSpaceBlocks(w);
  sheet::writeLibraryBlocks(w, millimetreCells());
  EXPECT_EQ(w.nextHandle, sheet::kFirstProducerHandle);
}

TEST_F(LibraryTest, FixedRecordsAsText) {
  // The block's records from its head to the end of its ENDBLK.
  auto text = [&](std::string_view name) {
    const Block& b = block(name);
    auto at = [&](std::uint32_t h) { return std::find(pairs.cbegin(), pairs.cend(), Pair(5, dxfio::hexHandle(h))); };
    return notation(at(b.head) - 1, at(b.end) + 5);
  };
  EXPECT_EQ(
      text("5M"),
      "0=BLOCK;5=6A;330=26;100=AcDbEntity;8=0;100=AcDbBlockBegin;2=5M;70=0;10=0;20=0;30=0;3=5M;1=;"
      "0=SOLID;5=6B;330=26;100=AcDbEntity;8=0;100=AcDbTrace;"
      "10=-2504.25;20=-3088.9;30=0;11=2504.25;21=-3088.9;31=0;12=-2504.25;22=3088.9;32=0;13=2504.25;23=3088.9;33=0;"
      "0=ENDBLK;5=6C;330=26;100=AcDbEntity;8=0;100=AcDbBlockEnd");
  EXPECT_EQ(
      text("三角点"),
      "0=BLOCK;5=79;330=2B;100=AcDbEntity;8=0;100=AcDbBlockBegin;2=三角点;70=0;10=0;20=0;30=0;3=三角点;"
      "0=LWPOLYLINE;5=7A;330=2B;100=AcDbEntity;8=0;100=AcDbPolyline;90=3;70=1;43=0.0;"
      "10=0;20=18000;10=-15588.457268;20=-9000;10=15588.457268;20=-9000;"
      "0=HATCH;5=7B;330=2B;100=AcDbEntity;8=0;100=AcDbHatch;10=0;20=0;30=0;210=0.0;220=0.0;230=1.0;2=SOLID;70=1;71=0;"
      "91=1;92=1;93=1;72=2;10=0;20=0;40=1440;50=0.0;51=360.0;73=1;97=0;75=0;76=1;98=1;10=0;20=-36000;"
      "1001=ACAD;1010=0.0;1020=0.0;1030=0.0;"
      "0=ENDBLK;5=7C;330=2B;100=AcDbEntity;8=0;100=AcDbBlockEnd");
}

TEST_F(LibraryTest, EntitiesAsText) {
  struct Case {
    const char* block;
    std::size_t index;
    const char* text;  // from the subclass marker on
  } cases[] = {
      {"市役所", 1, "100=AcDbCircle;10=0;20=0;30=0;40=22500"},
      {"官公署", 1, "100=AcDbLine;10=0;20=30000;30=0;11=0;21=15000;31=0"},
      {"官公署", 3,
       "100=AcDbHatch;10=0;20=0;30=0;210=0.0;220=0.0;230=1.0;2=SOLID;70=1;71=0;91=1;92=1;93=1;72=2;"
       "10=-10781.083613;20=22459.786835;40=2400;50=180.0;51=540.0;73=0;97=0;75=0;76=1;98=1;10=-10781.083613;20=-37540."
       "213165;"
       "1001=ACAD;1010=0.0;1020=0.0;1030=0.0"},
      {"漁港", 1,
       "100=AcDbHatch;10=0;20=0;30=0;210=0.0;220=0.0;230=1.0;2=SOLID;70=1;71=0;91=1;92=1;93=1;72=2;"
       "10=0;20=24000;40=6000;50=0.0;51=360.0;73=1;97=0;75=0;76=1;98=1;10=0;20=-540000;1001=ACAD;1010=0.0;1020=0.0;"
       "1030=0.0"},
      {"温泉", 0,
       "100=AcDbEllipse;10=0;20=-17322.805484;30=0;11=30000;21=0;31=0;210=0.0;220=0.0;230=1.0;40=0.422573;"
       "41=-4.041673279788041;42=0.9000806261982523"},
      {"国道番号", 0,
       "100=AcDbTrace;10=41618.557393;20=22994.331345;30=0;11=-41618.557391;21=22994.331349;31=0;"
       "12=50498.94241538536;22=7613.053295790116;32=0;13=-50498.94241756063;23=7613.053292566532;33=0"},
      {"国道番号", 1,
       "100=AcDbTrace;10=50498.942415;20=7613.053296;30=0;11=-50498.942418;21=7613.053293;31=0;"
       "12=8880.385022442075;22=-64472.40264650923;32=0;13=-8880.385026321528;23=-64472.40264678107;33=0"},
      {"砂礫地", 0,
       "100=AcDbTrace;10=-212.132034;20=-212.132034;30=0;11=212.132034;21=-212.132034;31=0;"
       "12=-212.132034;22=212.132034;32=0;13=212.132034;23=212.132034;33=0"},
      {"灯台", 2, "100=AcDbLine;10=10182.337649;20=10182.337649;30=0;11=16970.562748;21=16970.562748;31=0"},
      {"工場", 3, "100=AcDbLine;10=0;20=10800;30=0;11=0;21=18000;31=0"},
      {"発電所", 5, "100=AcDbLine;10=-10800;20=0;30=0;11=-21600;21=0;31=0"},
      {"高等学校", 0, "100=AcDbLine;10=-12727.922061;20=-12727.922061;30=0;11=10904.176505;21=10904.176505;31=0"},
      {"大学", 4,
       "100=AcDbText;10=-33094.133697;20=3522.510232;30=0;40=24000;1=（大）;72=4;11=0;21=14000;31=0;100=AcDbText"},
      {"短大", 4,
       "100=AcDbText;10=-49637.107776;20=3522.510232;30=0;40=24000;1=（短大）;72=4;11=0;21=14000;31=0;100=AcDbText"},
      {"専門学校", 4,
       "100=AcDbText;10=-33094.133697;20=3522.510232;30=0;40=24000;1=（専）;72=4;11=0;21=14000;31=0;100=AcDbText"},
      {"自衛隊", 1,
       "100=AcDbPolyline;90=4;70=1;43=0.0;10=-10800;20=18000;10=-10800;20=-4805.434279;10=18000;20=-4805.434279;10="
       "18000;20=18000"},
  };
  for (const auto& c : cases) {
    const Pairs& p = block(c.block).entities.at(c.index).pairs;
    EXPECT_EQ(notation(p.begin() + 5, p.end()), c.text) << c.block << " " << c.index;
  }
}

TEST(SymbolBlocks, CellSizesScaleWithTheDrawingUnit) {
  // The same cells in metres (u = 1) and millimetres (u = 1000): every corner of the
  // millimetre drawing is 1000 times that of the metre drawing. The 1500M cell is six
  // 250M cells whatever the fifth entry holds.
  const std::array<double, 5> widths{2.50425, 5.0115, 22.540125, 112.7005, 1234};
  const std::array<double, 5> heights{3.0889, 6.17, 23.1107, 115.73, 25000.0 / 27};
  std::vector<std::vector<double>> corners[2];
  int k = 0;
  for (int u : {1, 1000}) {
    sheet::MeshCellHalfSizes cells;
    for (int i = 0; i < 5; ++i) {
      cells.halfWidth[i] = u * widths[i];
      cells.halfHeight[i] = u * heights[i];
    }
    TempFolder temp;
    auto blocks = blocksOf(written(temp, [&](DxfWriter& w) { sheet::writeLibraryBlocks(w, cells); }));
    for (int i = 0; i < 5; ++i) {
      std::vector<double> c;
      for (const auto& [code, v] : blocks.at(i).entities.at(0).pairs)
        if (code >= 10 && code <= 23) c.push_back(number(v));
      corners[k].push_back(c);
    }
    ++k;
  }
  for (int i = 0; i < 5; ++i) {
    ASSERT_EQ(corners[0][i].size(), 8u);
    for (std::size_t j = 0; j < 8; ++j)
      EXPECT_NEAR(corners[1][i][j], 1000 * corners[0][i][j], 1e-9 * std::fabs(corners[1][i][j]));
  }
  // 10=−w;20=−h;11=w;21=−h;12=−w;22=h;13=w;23=h
  const double w = 6 * 112.7005, h = 6 * 115.73;
  const double expected[] = {-w, -h, w, -h, -w, h, w, h};
  for (std::size_t j = 0; j < 8; ++j) EXPECT_NEAR(corners[0][4][j], expected[j], 1e-9) << j;
  EXPECT_DOUBLE_EQ(corners[0][0][7], 3.0889);
}

namespace {

struct Circle {
  double x, y, r;
};

Circle circleThrough(double ax, double ay, double bx, double by, double cx, double cy) {
  const double d = 2 * (ax * (by - cy) + bx * (cy - ay) + cx * (ay - by));
  const double qa = ax * ax + ay * ay, qb = bx * bx + by * by, qc = cx * cx + cy * cy;
  const double x = (qa * (by - cy) + qb * (cy - ay) + qc * (ay - by)) / d;
  const double y = (qa * (cx - bx) + qb * (ax - cx) + qc * (bx - ax)) / d;
  return {x, y, std::hypot(ax - x, ay - y)};
}

// All vertices on `c` (within the six decimals they are written with) and evenly spaced
// along it: equal chords.
void expectEvenArc(const std::vector<std::pair<double, double>>& v, const Circle& c, const std::string& what) {
  ASSERT_GE(v.size(), 3u) << what;
  for (const auto& [x, y] : v)
    EXPECT_NEAR(std::hypot(x - c.x, y - c.y), c.r, 2e-6) << what << " (" << x << ", " << y << ")";
  const double chord = std::hypot(v[1].first - v[0].first, v[1].second - v[0].second);
  for (std::size_t i = 1; i < v.size(); ++i)
    EXPECT_NEAR(std::hypot(v[i].first - v[i - 1].first, v[i].second - v[i - 1].second), chord, 4e-6)
        << what << " " << i;
}

std::vector<std::pair<double, double>> numbers(const std::vector<std::pair<std::string, std::string>>& v,
                                               std::size_t from, std::size_t to) {
  std::vector<std::pair<double, double>> out;
  for (std::size_t i = from; i < to; ++i) out.emplace_back(number(v[i].first), number(v[i].second));
  return out;
}

}  // namespace

TEST_F(LibraryTest, PolylineOutlinesKeepTheirCountsAndEnds) {
  using V = std::pair<std::string, std::string>;
  struct Case {
    const char* block;
    std::size_t index;
    std::size_t count;
    const char* closed;
    V first;
    V last;  // empty: not fixed
  } cases[] = {
      {"電子基準点", 1, 9, "0", {"0", "14400"}, {"23040", "36000"}},
      {"裁判所", 0, 6, "0", {"0", "-18000"}, {"0", "-688.32"}},
      {"税務署", 1, 6, "0", {"0", "17872.7472"}, {"0", "7149.09888"}},
      {"森林管理署", 1, 13, "0", {"-14400", "5241.6"}, {"14400", "5241.6"}},
      {"森林管理署", 2, 13, "0", {"-14400", "-5241.6"}, {"14400", "-5241.6"}},
      {"消防署", 1, 17, "0", {"-13999.99994", "17984.301349"}, {"13999.99994", "17984.301349"}},
      {"記念碑", 0, 12, "0", {"11407.470507", "-18000.000032"}, {"5039.999697", "-18000.000032"}},
      {"フェリー", 1, 13, "1", {"-10392.305071", "-30000.000088"}, {"10392.305071", "-30000.000088"}},
      {"その他の旅客船", 0, 13, "1", {"-10392.305071", "-30000.000088"}, {"10392.305071", "-30000.000088"}},
      {"温泉", 1, 23, "0", {}, {}},
      {"温泉", 2, 23, "0", {}, {}},
      {"温泉", 3, 24, "0", {}, {}},
      {"城跡", 0, 8, "0", {"-18000", "-18000"}, {"18000", "-18000"}},
      {"重要港", 6, 15, "0", {}, {}},
      {"地方港", 5, 15, "0", {}, {}},
      {"漁港", 5, 15, "0", {}, {}},
      {"電波塔", 0, 6, "0", {"0", "11760"}, {}},
      {"病院", 0, 5, "1", {"-12000", "18000"}, {"11986.907562", "17986.907562"}},
      {"畑", 0, 3, "0", {"-10800", "5400"}, {}},
      {"桑畑", 0, 3, "0", {"-10800", "10800"}, {}},
      {"桑畑", 1, 3, "0", {"0", "0"}, {}},
      {"ハイマツ地", 0, 3, "0", {"-10800", "2700"}, {"10800", "2700"}},
      {"図書館", 1, 35, "0", {"19066.691249", "20479.893155"}, {}},
      {"竹林", 2, 3, "0", {"0", "12160.93031"}, {"15422.4", "-15422.4"}},
      {"ヤシ科樹林", 0, 3, "0", {"0", "12160.93031"}, {"15422.4", "-15422.4"}},
      {"ヤシ科樹林", 1, 11, "0", {"15213.588056", "10959.405803"}, {}},
      {"寺院", 0, 4, "0", {"-13000", "-13000"}, {"13000", "13000"}},
      {"寺院", 1, 4, "0", {"13000", "-13000"}, {"-13000", "13000"}},
      {"老人ホーム", 5, 11, "0", {"5255.100645", "-14338.978803"}, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.block) + " " + std::to_string(c.index));
    auto v = vertices(c.block, c.index);
    ASSERT_EQ(v.size(), c.count);
    EXPECT_EQ(value(block(c.block).entities[c.index].pairs, 70), c.closed);
    if (!c.first.first.empty()) {
      EXPECT_EQ(v.front(), c.first);
    }
    if (!c.last.first.empty()) {
      EXPECT_EQ(v.back(), c.last);
    }
  }
}

TEST_F(LibraryTest, ArcsLieOnTheCircleThroughTheirGivenPoints) {
  // Fire station: from (−13999.99994, 17984.301349) through (0, 3985.6) to the mirror point.
  {
    auto v = vertices("消防署", 1);
    ASSERT_EQ(v.size(), 17u);
    EXPECT_EQ(v[8], (std::pair<std::string, std::string>{"0", "3985.6"}));
    Circle c = circleThrough(-13999.99994, 17984.301349, 0, 3985.6, 13999.99994, 17984.301349);
    EXPECT_NEAR(c.x, 0, 1e-9);
    EXPECT_NEAR(c.r, 14000, 1e-3);
    expectEvenArc(numbers(v, 0, 17), c, "消防署");
  }
  // Forest office: the cap and the cup of radius 18000 over and under the stroke ±12441.6.
  for (std::size_t index : {1, 2}) {
    auto v = vertices("森林管理署", index);
    const double s = index == 1 ? 1 : -1;
    EXPECT_EQ(number(v[6].second), s * 12441.6);
    Circle c = circleThrough(-14400, s * 5241.6, 0, s * 12441.6, 14400, s * 5241.6);
    EXPECT_NEAR(c.r, 18000, 1e-6);
    expectEvenArc(numbers(v, 0, 13), c, "森林管理署");
  }
  // Anchor arms: through the foot of the shank (0, −30000).
  for (const char* name : {"重要港", "地方港", "漁港"}) {
    const auto& e = block(name).entities;
    auto v = vertices(name, e.size() - 1);
    auto n = numbers(v, 0, v.size());
    EXPECT_EQ(v[7], (std::pair<std::string, std::string>{"0", "-30000"})) << name;
    expectEvenArc(n, circleThrough(n[0].first, n[0].second, 0, -30000, n.back().first, n.back().second), name);
  }
  // Palm crown: from the given tip over the top of the trunk (0, 12160.93031) to the mirror tip.
  {
    auto v = vertices("ヤシ科樹林", 1);
    EXPECT_EQ(v[5], (std::pair<std::string, std::string>{"0", "12160.93031"}));
    EXPECT_EQ(v[10], (std::pair<std::string, std::string>{"-15213.588056", "10959.405803"}));
    expectEvenArc(numbers(v, 0, 11),
                  circleThrough(15213.588056, 10959.405803, 0, 12160.93031, -15213.588056, 10959.405803), "ヤシ科樹林");
  }
  // Boat: the bow arcs leave the sides at the cross line and meet at (0, 30000).
  {
    auto v = vertices("フェリー", 1);
    const auto& line = block("フェリー").entities[0].pairs;
    EXPECT_EQ(v[1].second, value(line, 20));
    EXPECT_EQ(v[6], (std::pair<std::string, std::string>{"0", "30000"}));
    auto n = numbers(v, 1, 7);
    // Centre on the cross line, so the side is tangent to the arc where it meets it.
    const double waist = number(value(line, 20));
    Circle c = circleThrough(n[0].first, n[0].second, n[2].first, n[2].second, n[5].first, n[5].second);
    EXPECT_NEAR(c.y, waist, 1e-3);
    expectEvenArc(n, c, "フェリー left bow");
    for (std::size_t i = 0; i < 13; ++i) {
      EXPECT_EQ(number(v[i].first), -number(v[12 - i].first)) << i;
      EXPECT_EQ(v[i].second, v[12 - i].second) << i;
    }
  }
  // Monument: a semicircular top between the stone's sides at x = ±5039.999697.
  {
    auto v = vertices("記念碑", 0);
    auto n = numbers(v, 3, 11);
    EXPECT_EQ(v[2].first, "-5039.999697");
    EXPECT_EQ(v[3].first, "-5039.999697");
    EXPECT_EQ(v[10].first, "5039.999697");
    expectEvenArc(n, circleThrough(n[0].first, n[0].second, n[3].first, n[3].second, n[7].first, n[7].second),
                  "記念碑");
    EXPECT_NEAR(n[0].second, n[7].second, 1e-9);
  }
  // Book: the first vertex is the top corner of the right page; the outline closes on it
  // and every page edge across is one 9-vertex arc.
  {
    auto v = vertices("図書館", 1);
    EXPECT_EQ(v.back(), v.front());
    auto n = numbers(v, 0, v.size());
    for (std::size_t start : {0, 8, 17, 25}) {
      std::vector<std::pair<double, double>> edge(n.begin() + start, n.begin() + start + 9);
      expectEvenArc(
          edge,
          circleThrough(edge[0].first, edge[0].second, edge[4].first, edge[4].second, edge[8].first, edge[8].second),
          "図書館 edge " + std::to_string(start));
    }
    // The pages meet at the ends of the spine line.
    const auto& spine = block("図書館").entities[0].pairs;
    EXPECT_EQ(v[8], (std::pair<std::string, std::string>{value(spine, 10), value(spine, 20)}));
    EXPECT_EQ(v[25], (std::pair<std::string, std::string>{value(spine, 11), value(spine, 21)}));
  }
}
