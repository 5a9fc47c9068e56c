#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "converter/fgd/fgd_dispatch.h"
#include "converter/settings/item_files.h"
#include "converter/settings/sheet_labels.h"
#include "tests/fgd/harness.h"

using namespace fgd;

namespace {

settings::LayerGroup makeGroup(const std::string& key, int code,
                               const std::vector<std::tuple<std::string, std::string, bool, int>>& items) {
  settings::LayerGroup g;
  g.entry.key = key;
  g.entry.code = code;
  g.caption = key;
  for (const auto& [caption, value, on, size] : items) {
    settings::LayerItem item;
    item.caption = caption;
    item.entry.attributeValue = value;
    item.entry.sizeIndex = size;
    item.on = on;
    g.items.push_back(item);
  }
  return g;
}

std::string elevationPoint(double lat, double lon) {
  return dataset(pointFeature("ElevPt", lat, lon, "<orgGILvl>25000</orgGILvl>\r\n",
                              "<type>標高点（測点）</type>\r\n<alti>30</alti>\r\n"));
}

std::string boundary(double lat, double lon) {
  return dataset(curveFeature("AdmBdry", {{lat, lon}, {lat + 0.001, lon + 0.001}}, "<vis>表示</vis>\r\n",
                              "<type>都道府県界</type>\r\n"));
}

}  // namespace

TEST(Dispatch, WorkingListsHoldTheItemsThatAreOn) {
  auto g =
      makeGroup("BldA-2", 1024,
                {{"001a", "普通建物", true, 3}, {"002b", "堅ろう建物", false, 20}, {"003c", "普通無壁舎", true, 28}});
  g.items[2].entry.option = "2";
  const auto state = groupState(g);
  EXPECT_EQ(state.activeLayerNames, (std::vector<std::string>{"001a", "003c"}));
  EXPECT_EQ(state.activeAttributeValues, (std::vector<std::string>{"普通建物", "普通無壁舎"}));
  EXPECT_EQ(state.activeOptions, (std::vector<std::string>{"", "2"}));
  EXPECT_EQ(state.activeSizeIndexes, (std::vector<int>{3, 28}));
  // The suffix only tells groups apart: the tags are those of the element.
  EXPECT_EQ(state.featureElement, "BldA");
  EXPECT_EQ(state.featureStartMarker, "<BldA");
  EXPECT_EQ(state.featureEndMarker, "</BldA>");
}

TEST(Dispatch, MeshCodeOfAFileName) {
  struct Case {
    std::string path, element, code;
  };
  for (const auto& c : std::vector<Case>{
           {"/d/FG-GML-523846-BldA-20230101-0001.xml", "BldA", "-523846"},
           {"/d/FG-GML-503041-AdmBdry-20181001-0001.xml", "AdmBdry", "-503041"},
           // The element name in a folder name comes first.
           {"/data/BldA-files/FG-GML-523846-BldA-20230101-0001.xml", "BldA", "/data/B"},
           {"BldA.xml", "BldA", "BldA.xm"},
       })
    EXPECT_EQ(meshCodeOfPath(c.path, c.element), c.code) << c.path;
  EXPECT_EQ(elementOfKey("Cstline-10"), "Cstline");
  EXPECT_EQ(elementOfKey("AdmBdry"), "AdmBdry");
}

TEST(Dispatch, FilesOfTheSheetAndTheBoundaryException) {
  Harness h;
  const auto folder = h.temp / "fgd";
  writeBytes(folder / "FG-GML-503041-ElevPt-20181001-0001.xml", elevationPoint(33.70, 130.20));
  writeBytes(folder / "sub" / "FG-GML-503042-ElevPt-20181001-0001.xml", elevationPoint(33.70, 130.30));
  writeBytes(folder / "FG-GML-493107-AdmBdry-20201001-0001.xml", boundary(32.7, 131.9));  // inside its mesh
  writeBytes(folder / "FG-GML-503041-ElevPt-20181001-0001.txt", "not read");
  h.ctx.meshCodeList = {"-503041", "-503042"};
  auto& tree = h.settings.fgdLayers;
  tree.groups = {makeGroup("AdmBdry", 256, {{"001界", "都道府県界", true, 12}}),
                 makeGroup("ElevPt-1", 2, {{"002標高点", "", true, 12}}),
                 makeGroup("LUSbl", 16, {{"003記号", "", true, 12}})};
  const std::string text = settings::pathText(folder);

  struct Case {
    int mask;
    bool subfolders;
    std::vector<std::string> meshes;
    bool basicTree;
    std::int64_t counter;
    std::size_t entities;
  };
  const std::vector<Case> cases = {
      {kPointPassMask, true, {"-503041", "-503042"}, false, 2, 4},  // two elevation points, block and text each
      {kPointPassMask, false, {"-503041", "-503042"}, false, 1, 2},
      {kPointPassMask, true, {"-503041"}, false, 2, 2},  // the file of 503042 is counted, not read
      {kLinePassMask, true, {}, false, 1, 1},            // the boundary far away is read all the same
      {kLinePassMask, true, {}, true, 1, 0},             // but not in the basic tree
      {kFillPassMask, true, {"-503041"}, false, 0, 0},
  };
  for (const auto& c : cases) {
    h.settings.processSubfolders = c.subfolders;
    h.ctx.meshCodeList = c.meshes;
    h.settings.basicInfoLayers = tree;
    h.ctx.fileCounter = 0;
    auto e = h.readFile([&](GmlReaders&) {
      if (c.basicTree)
        drawBasicInfoFiles(h.ctx, h.out, text, c.mask);
      else
        drawFgdFiles(h.ctx, h.out, text, c.mask);
    });
    EXPECT_EQ(h.ctx.fileCounter, c.counter) << c.mask << " " << c.subfolders;
    EXPECT_EQ(e.size(), c.entities) << c.mask << " " << c.subfolders;
  }
  // The groups' files are counted whatever the sheet.
  h.settings.processSubfolders = true;
  h.ctx.fileCounter = 0;
  countFgdFiles(h.ctx, text);
  EXPECT_EQ(h.ctx.fileCounter, 3);
  // A group that is off is passed over; with the symbol group's code 16 and the line
  // pass, its file is listed but not read and the counter does not move.
  tree.groups[0].on = false;
  h.ctx.fileCounter = 0;
  auto e = h.readFile([&](GmlReaders&) { drawFgdFiles(h.ctx, h.out, text, kLinePassMask); });
  EXPECT_EQ(h.ctx.fileCounter, 0);
  EXPECT_TRUE(e.empty());
}

TEST(Dispatch, CancelStopsBeforeTheNextFile) {
  Harness h;
  const auto folder = h.temp / "fgd";
  writeBytes(folder / "FG-GML-503041-ElevPt-20181001-0001.xml", elevationPoint(33.70, 130.20));
  writeBytes(folder / "FG-GML-503041-ElevPt-20181001-0002.xml", elevationPoint(33.70, 130.21));
  h.ctx.meshCodeList = {"-503041"};
  h.settings.fgdLayers.groups = {makeGroup("ElevPt", 2, {{"001", "", true, 12}})};
  h.ctx.runContinue = false;
  auto e = h.readFile([&](GmlReaders&) { drawFgdFiles(h.ctx, h.out, settings::pathText(folder), kPointPassMask); });
  EXPECT_TRUE(e.empty());
  EXPECT_EQ(h.ctx.fileCounter, 0);
}

TEST(Dispatch, ShippedBasicTreeReadsEveryFixtureClass) {
  Harness h;
  ASSERT_TRUE(settings::loadItemFiles(std::filesystem::path(TERRALINEA_SOURCE_DIR) / "data", h.settings).complete);
  for (auto& g : h.settings.basicInfoLayers.groups) {
    g.on = true;
    for (auto& item : g.items) item.on = true;
  }
  h.ctx.meshCodeList = {"-503041"};
  const std::string folder = settings::pathText(std::filesystem::path(TERRALINEA_TEST_DATA) / "fgd");
  auto e = h.readFile([&](GmlReaders&) {
    for (int mask : {kFillPassMask, kLinePassMask, kPointPassMask}) drawBasicInfoFiles(h.ctx, h.out, folder, mask);
  });
  EXPECT_EQ(h.ctx.anomalyMessage, "");
  std::map<std::string, int> byLayer;
  for (const auto& entity : e) ++byLayer[entity.type + " " + entity.value(8)];
  auto count = [&](const std::string& type, const std::string& layerPart) {
    int n = 0;
    for (const auto& [k, v] : byLayer)
      if (k.starts_with(type + " ") && k.find(layerPart) != std::string::npos) n += v;
    return n;
  };
  // Six road classes, five railway kinds (the underground one on its own layer), a power line.
  EXPECT_EQ(count("LWPOLYLINE", "道路中心線"), 6);
  EXPECT_EQ(count("LWPOLYLINE", "道路中心線市区町村道等"), 1);
  EXPECT_EQ(count("LWPOLYLINE", "鉄道中心線"), 5);
  EXPECT_EQ(count("LWPOLYLINE", "鉄道中心線普通鉄道（ＪＲ以外）地下"), 1);
  EXPECT_EQ(count("LWPOLYLINE", "送電線"), 1);
  // Three horizontal and two vertical annotations, each in its own group.
  EXPECT_EQ(count("MTEXT", "注記（横書き）"), 3);
  EXPECT_EQ(count("MTEXT", "注記（縦書き）"), 2);
  // Symbols: "指示点" draws nothing; power plants and radio towers have no type element.
  EXPECT_EQ(count("INSERT", "建物記号"), 4);
  EXPECT_EQ(count("INSERT", "土地利用記号"), 3);
  EXPECT_EQ(count("INSERT", "発電所"), 1);
  EXPECT_EQ(count("INSERT", "電波塔"), 1);
  EXPECT_EQ(count("INSERT", "記念碑"), 1);
  EXPECT_EQ(e.size(), 27u);
}

TEST(Dispatch, ABrokenFileIsReportedAndTheOthersAreRead) {
  Harness h;
  const auto folder = h.temp / "fgd";
  std::string truncated = elevationPoint(33.70, 130.20);
  truncated = truncated.substr(0, truncated.find("<alti>") + 7);  // "<alti>3" and the end of the file
  writeBytes(folder / "FG-GML-503041-ElevPt-20181001-0001.xml",
             std::string("\x89PNG\r\n\x1a\n\0\0<gml:pos>\xff\xfe 1\n", 20));
  writeBytes(folder / "FG-GML-503041-ElevPt-20181001-0002.xml", elevationPoint(33.70, 130.21));
  writeBytes(folder / "FG-GML-503041-ElevPt-20181001-0003.xml", truncated);
  h.ctx.meshCodeList = {"-503041"};
  h.settings.fgdLayers.groups = {makeGroup("ElevPt", 2, {{"001", "", true, 12}})};
  auto e = h.readFile([&](GmlReaders&) { drawFgdFiles(h.ctx, h.out, settings::pathText(folder), kPointPassMask); });
  EXPECT_EQ(e.size(), 2u);  // the good file's block and text
  EXPECT_EQ(h.ctx.fileCounter, 3);
  // The cut file's feature is lost, and said so.
  const std::string cut = "GMLファイルが図形の途中で終わっています " +
                          settings::pathText(folder / "FG-GML-503041-ElevPt-20181001-0003.xml") + " " +
                          std::to_string(std::count(truncated.begin(), truncated.end(), '\n') + 1) + "行目\r\n";
  const std::string broken =
      "GML2Elv(" + settings::pathText(folder / "FG-GML-503041-ElevPt-20181001-0001.xml") + ")で異常\r\n";
  EXPECT_EQ(h.ctx.anomalyMessage.size(), cut.size() + broken.size()) << h.ctx.anomalyMessage;
  EXPECT_NE(h.ctx.anomalyMessage.find(cut), std::string::npos) << h.ctx.anomalyMessage;
  EXPECT_NE(h.ctx.anomalyMessage.find(broken), std::string::npos) << h.ctx.anomalyMessage;
}
