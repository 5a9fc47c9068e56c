#include <gtest/gtest.h>

#include "converter/fgd/fgd_dispatch.h"
#include "converter/settings/sheet_labels.h"
#include "tests/fgd/harness.h"

using namespace fgd;

namespace {

settings::LayerGroup makeGroup(const std::string& key, int code, const std::vector<std::tuple<std::string, std::string, bool, int>>& items) {
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
  return dataset(pointFeature("ElevPt", lat, lon, "<orgGILvl>25000</orgGILvl>\r\n", "<type>標高点（測点）</type>\r\n<alti>30</alti>\r\n"));
}

std::string boundary(double lat, double lon) {
  return dataset(curveFeature("AdmBdry", {{lat, lon}, {lat + 0.001, lon + 0.001}}, "<vis>表示</vis>\r\n", "<type>都道府県界</type>\r\n"));
}

}  // namespace

TEST(Dispatch, WorkingListsHoldTheItemsThatAreOn) {
  auto g = makeGroup("BldA-2", 1024, {{"001a", "普通建物", true, 3}, {"002b", "堅ろう建物", false, 20}, {"003c", "普通無壁舎", true, 28}});
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
  writeBytes(folder / "FG-GML-493107-AdmBdry-20201001-0001.xml", boundary(33.0, 130.0));
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
    auto e = h.readFile(folder, [&](GmlReaders&) {
      if (c.basicTree) dispatchBasicInfoFiles(h.ctx, text, false, c.mask);
      else dispatchFgdFiles(h.ctx, text, false, c.mask);
    });
    EXPECT_EQ(h.ctx.fileCounter, c.counter) << c.mask << " " << c.subfolders;
    EXPECT_EQ(e.size(), c.entities) << c.mask << " " << c.subfolders;
  }
  // The groups' files are counted whatever the sheet.
  h.settings.processSubfolders = true;
  h.ctx.fileCounter = 0;
  dispatchFgdFiles(h.ctx, text, true, kCountPassMask);
  EXPECT_EQ(h.ctx.fileCounter, 3);
  // A group that is off is passed over; with the symbol group's code 16 and the line
  // pass, its file is listed but not read and the counter does not move.
  tree.groups[0].on = false;
  h.ctx.fileCounter = 0;
  auto e = h.readFile(folder, [&](GmlReaders&) { dispatchFgdFiles(h.ctx, text, false, kLinePassMask); });
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
  auto e = h.readFile(folder, [&](GmlReaders&) { dispatchFgdFiles(h.ctx, settings::pathText(folder), false, kPointPassMask); });
  EXPECT_TRUE(e.empty());
  EXPECT_EQ(h.ctx.fileCounter, 0);
}
