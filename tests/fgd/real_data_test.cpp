// Published FGD files from ../shared/testdata/real, read in place (never copied here).
// Feature counts were taken once with GDAL's ogrinfo; each reader must write exactly
// those features, less the ones its filters drop (none drop here: every item is on, no
// rank filter, a sheet that holds the mesh).
#include <gtest/gtest.h>

#include <cstdlib>
#include <map>

#include "converter/fgd/fgd_dispatch.h"
#include "converter/run/conversion_run.h"
#include "converter/settings/check_settings.h"
#include "converter/settings/choice_lists.h"
#include "converter/settings/item_files.h"
#include "converter/settings/sheet_labels.h"
#include "converter/sheet/layer_table.h"
#include "converter/sheet/sheet_document.h"
#include "platform/printer_catalogue.h"
#include "tests/common/whole_run.h"
#include "tests/fgd/genkai_settings.h"
#include "tests/fgd/harness.h"

using namespace fgd;

namespace {

std::filesystem::path realFolder() { return realVectorFolder(); }

// The group of the shipped Fundamental Geospatial Data tree that reads `element` with
// `bit`, every item switched on.
settings::LayerGroup shippedGroup(const std::string& element, int bit) {
  settings::DrawingSettings s;
  settings::loadItemFiles(std::filesystem::path(TERRALINEA_SOURCE_DIR) / "data", s);
  for (auto g : s.fgdLayers.groups) {
    if (elementOfKey(g.entry.key) != element || !(g.entry.code & bit)) continue;
    for (auto& item : g.items) item.on = true;
    return g;
  }
  throw std::runtime_error("no group for " + element);
}

struct Expected {
  const char* file;  // under the real folder, or "zip:" + member of an unpacked zip
  int ogrFeatures;   // ogrinfo -so -al, Feature Count
  int seamOnly = 0;  // lines whose every point lies on a mesh line (the seam filter drops them)
};

// ogrinfo (GDAL 3.6) feature counts of the published files.
const std::vector<Expected> kOgrCounts = {
    {"FG-GML-503041-ALL-20181001/FG-GML-503041-AdmArea-20181001-0001.xml", 99},
    {"FG-GML-503041-ALL-20181001/FG-GML-503041-AdmBdry-20181001-0001.xml", 311},
    {"FG-GML-503041-ALL-20181001/FG-GML-503041-AdmPt-20181001-0001.xml", 3},
    {"FG-GML-503041-ALL-20181001/FG-GML-503041-BldA-20181001-0001.xml", 178},
    {"FG-GML-503041-ALL-20181001/FG-GML-503041-BldL-20181001-0001.xml", 203},
    {"FG-GML-503041-ALL-20181001/FG-GML-503041-Cntr-20181001-0001.xml", 136},
    {"FG-GML-503041-ALL-20181001/FG-GML-503041-CommBdry-20181001-0001.xml", 315},
    {"FG-GML-503041-ALL-20181001/FG-GML-503041-Cstline-20181001-0001.xml", 161},
    {"FG-GML-503041-ALL-20181001/FG-GML-503041-ElevPt-20181001-0001.xml", 6},
    {"FG-GML-503041-ALL-20181001/FG-GML-503041-GCP-20181001-0001.xml", 1},
    {"FG-GML-503041-ALL-20181001/FG-GML-503041-RailCL-20181001-0001.xml", 1},
    {"FG-GML-503041-ALL-20181001/FG-GML-503041-RdCompt-20181001-0001.xml", 414},
    {"FG-GML-503041-ALL-20181001/FG-GML-503041-RdEdg-20181001-0001.xml", 412},
    {"FG-GML-503041-ALL-20181001/FG-GML-503041-WA-20181001-0001.xml", 158},
    {"FG-GML-503041-ALL-20181001/FG-GML-503041-WL-20181001-0001.xml", 6},
    {"FG-GML-503041-ALL-20181001/FG-GML-503041-WStrA-20181001-0001.xml", 2},
    {"FG-GML-503041-ALL-20181001/FG-GML-503041-WStrL-20181001-0001.xml", 9},
    {"FG-GML-503032-ALL-20210701/FG-GML-503032-GCP-20210701-0001.xml", 8},
    {"FG-GML-503032-ALL-20210701/FG-GML-503032-RailCL-20210701-0001.xml", 224},
    {"FG-GML-503032-ALL-20210701/FG-GML-503032-SBAPt-20210701-0001.xml", 934},
    {"FG-GML-362442-AdmArea-20141001-0001.xml", 18},
    {"zip:FG-GML-493107-ALL-20201001/FG-GML-493107-AdmArea-20201001-0001.xml", 70},
    {"zip:FG-GML-493107-ALL-20201001/FG-GML-493107-AdmBdry-20201001-0001.xml", 6},
    {"zip:FG-GML-493107-ALL-20201001/FG-GML-493107-AdmPt-20201001-0001.xml", 3},
    {"zip:FG-GML-493107-ALL-20201001/FG-GML-493107-BldA-20201001-0001.xml", 47},
    {"zip:FG-GML-493107-ALL-20201001/FG-GML-493107-BldL-20201001-0001.xml", 47},
    {"zip:FG-GML-493107-ALL-20201001/FG-GML-493107-Cntr-20201001-0001.xml", 396},
    // K14_4747511787_6 and _7: two-point pieces from a mesh meridian to a mesh parallel.
    {"zip:FG-GML-493107-ALL-20201001/FG-GML-493107-Cstline-20201001-0001.xml", 118, 2},
    {"zip:FG-GML-493107-ALL-20201001/FG-GML-493107-ElevPt-20201001-0001.xml", 5},
    {"zip:FG-GML-493107-ALL-20201001/FG-GML-493107-GCP-20201001-0001.xml", 4},
    {"zip:FG-GML-493107-ALL-20201001/FG-GML-493107-RdEdg-20201001-0001.xml", 15},
    {"zip:FG-GML-493107-ALL-20201001/FG-GML-493107-WA-20201001-0001.xml", 161},
    {"zip:FG-GML-493107-ALL-20201001/FG-GML-493107-WL-20201001-0001.xml", 2},
    {"zip:FG-GML-503060-ALL-20170401/FG-GML-503060-AdmArea-20170401-0001.xml", 33},
    {"zip:FG-GML-503060-ALL-20170401/FG-GML-503060-AdmBdry-20170401-0001.xml", 278},
    {"zip:FG-GML-503060-ALL-20170401/FG-GML-503060-BldA-20170401-0001.xml", 180},
    {"zip:FG-GML-503060-ALL-20170401/FG-GML-503060-BldL-20170401-0001.xml", 210},
    {"zip:FG-GML-503060-ALL-20170401/FG-GML-503060-Cntr-20170401-0001.xml", 205},
    {"zip:FG-GML-503060-ALL-20170401/FG-GML-503060-CommBdry-20170401-0001.xml", 278},
    {"zip:FG-GML-503060-ALL-20170401/FG-GML-503060-Cstline-20170401-0001.xml", 58},
    {"zip:FG-GML-503060-ALL-20170401/FG-GML-503060-ElevPt-20170401-0001.xml", 4},
    {"zip:FG-GML-503060-ALL-20170401/FG-GML-503060-GCP-20170401-0001.xml", 2},
    {"zip:FG-GML-503060-ALL-20170401/FG-GML-503060-RdCompt-20170401-0001.xml", 69},
    {"zip:FG-GML-503060-ALL-20170401/FG-GML-503060-RdEdg-20170401-0001.xml", 72},
    {"zip:FG-GML-503060-ALL-20170401/FG-GML-503060-WA-20170401-0001.xml", 158},
    {"zip:FG-GML-503060-ALL-20170401/FG-GML-503060-WL-20170401-0001.xml", 6},
    {"zip:FG-GML-503060-ALL-20170401/FG-GML-503060-WStrL-20170401-0001.xml", 1},
};

std::string elementOfFile(const std::string& name) {
  // FG-GML-<mesh>-<element>-<date>-<n>.xml
  const auto a = name.find('-', 7) + 1;
  return name.substr(a, name.find('-', a) - a);
}

}  // namespace

TEST(RealData, EveryPublishedFeatureIsWrittenOnce) {
  if (!std::filesystem::exists(realFolder())) GTEST_SKIP() << "no published data at " << realFolder();
  Harness h;
  h.ctx.pointBuffer.assign(settings::kDefaultBufferCells, geo::PointPair{0, 0});
  for (const char* zip : {"FG-GML-493107-ALL-20201001", "FG-GML-503060-ALL-20170401"}) {
    const std::string command = "unzip -q -o '" + (realFolder() / (std::string(zip) + ".zip")).string() + "' -d '" +
                                (h.temp / zip).string() + "'";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
  }
  // Which reader each class reaches in the shipped tree, and entities per feature.
  struct Route {
    int bit;
    int entitiesPerFeature;  // 0: pieces of lines, counted by feature
  };
  const std::map<std::string, Route> routes = {
      {"AdmArea", {kAreaFill, 1}},     {"AdmBdry", {kVisibleLine, 1}}, {"AdmPt", {kName, 1}},
      {"BldA", {kAreaFill, 1}},        {"BldL", {kMeshLine, 0}},       {"Cntr", {kMeshLine, 0}},
      {"CommBdry", {kVisibleLine, 1}}, {"Cstline", {kMeshLine, 0}},    {"ElevPt", {kElevationPoint, 2}},
      {"GCP", {kControlPoint, 2}},     {"RailCL", {kRail, 1}},         {"RdCompt", {kVisibleLine, 1}},
      {"RdEdg", {kVisibleLine, 1}},    {"WA", {kAreaFill, 1}},         {"WL", {kMeshLine, 0}},
      {"WStrA", {kAreaFill, 1}},       {"WStrL", {kVisibleLine, 1}},   {"SBAPt", {kName, 1}},
  };
  long long total = 0;
  for (const auto& c : kOgrCounts) {
    std::string rel = c.file;
    const auto file = rel.starts_with("zip:") ? h.temp / rel.substr(4) : realFolder() / rel;
    const std::string element = elementOfFile(file.filename().string());
    const auto route = routes.at(element);
    const auto group = shippedGroup(element, route.bit);
    h.state = groupState(group);
    h.ctx.anomalyMessage.clear();
    long long lineFeatures = 0;
    auto e = h.readFile([&](GmlReaders& r) {
      r.readFile(file, route.bit);
      lineFeatures = r.lineFeaturesWritten();
    });
    EXPECT_EQ(h.ctx.anomalyMessage, "") << rel;
    if (route.entitiesPerFeature == 0) {
      EXPECT_EQ(lineFeatures, c.ogrFeatures - c.seamOnly) << rel;
      EXPECT_GE(static_cast<long long>(e.size()), lineFeatures) << rel;
    } else {
      EXPECT_EQ(static_cast<long long>(e.size()), static_cast<long long>(c.ogrFeatures) * route.entitiesPerFeature)
          << rel;
    }
    total += static_cast<long long>(e.size());
  }
  EXPECT_GT(total, 5000);
}

TEST(RealData, SheetOfMesh503041PassesTheAudit) {
  if (!std::filesystem::exists(realFolder())) GTEST_SKIP() << "no published data at " << realFolder();
  TempFolder temp;
  auto s = genkaiSettings(temp);
  platform::PrinterCatalogue printers;
  geo::PlaneCoordinates coords;
  settings::RunValues values;
  ASSERT_EQ(settings::checkSettings(s, printers, coords, values), "");
  RecordingHost host;
  sheet::RunContext ctx(s, values, coords, host);
  ctx.pointBuffer.assign(settings::kDefaultBufferCells, geo::PointPair{0, 0});
  ctx.meshCodeList = {"-503041"};
  ctx.sheetLegendInterval.assign(1, 1);
  ctx.sheetLegendBottom.assign(1, 0);
  ctx.sheetLegendDecimals.assign(1, 0);
  ctx.layerCount = sheet::layerCount(s, values);
  const auto rect = values.sheetRect(0, 0);
  ctx.sheetWest = rect.west;
  ctx.sheetEast = rect.east;
  ctx.sheetSouth = rect.south;
  ctx.sheetNorth = rect.north;
  sheet::SheetContext sheet;
  sheet.legend = {10, 0, 0};
  sheet.title = "Terralinea 0.1.0";
  sheet::SheetDocument doc(s, values, sheet);
  const auto file = temp / "M.dxf";
  ASSERT_EQ(doc.begin(file), sheet::SheetDocument::BeginResult::Ok);
  ASSERT_TRUE(doc.writeBlocks());
  for (int mask : {kFillPassMask, kLinePassMask, kPointPassMask}) drawFgdFiles(ctx, doc.entities(), s.fgdFolder, mask);
  doc.writeBorderAndViewports();
  ASSERT_TRUE(doc.finish());
  EXPECT_EQ(ctx.anomalyMessage, "");
  const std::string text = platform::cp932ToUtf8(readBytes(file));
  for (const char* kind : {"0\r\nHATCH\r\n", "0\r\nLWPOLYLINE\r\n", "0\r\nINSERT\r\n", "0\r\nMTEXT\r\n"})
    EXPECT_NE(text.find(kind), std::string::npos) << kind;
  const std::string audit =
      "/usr/bin/python3 '" + std::string(TERRALINEA_SOURCE_DIR) + "/tests/tools/dxf_audit.py' '" + file.string() + "'";
  EXPECT_EQ(std::system(audit.c_str()), 0);
  // Kept for a look at the rendering when asked for.
  if (const char* keep = std::getenv("TERRALINEA_KEEP_SHEET"))
    std::filesystem::copy_file(file, keep, std::filesystem::copy_options::overwrite_existing);
}

TEST(RealData, ConversionRunDrawsTheTreeInItsPasses) {
  if (!std::filesystem::exists(realFolder())) GTEST_SKIP() << "no published data at " << realFolder();
  TempFolder temp;
  auto s = genkaiSettings(temp);
  RecordingHost host;
  const WholeRun run = runConversion(s, host);
  ASSERT_EQ(run.report, "");
  ASSERT_EQ(run.result, run::RunResult::Completed);
  EXPECT_EQ(run.anomalies, "");
  const auto file = temp / "M.dxf";
  const std::string text = platform::cp932ToUtf8(readBytes(file));
  // Fills come first, then lines, then points: the first HATCH precedes the first
  // LWPOLYLINE of a tree layer, which precedes the first MTEXT.
  const auto hatch = text.find("0\r\nHATCH\r\n"), line = text.find("\r\n8\r\n002行政区画界線"),
             mtext = text.find("0\r\nMTEXT\r\n");
  ASSERT_NE(hatch, std::string::npos);
  ASSERT_NE(line, std::string::npos);
  ASSERT_NE(mtext, std::string::npos);
  EXPECT_LT(hatch, line);
  EXPECT_LT(line, mtext);
  const std::string audit =
      "/usr/bin/python3 '" + std::string(TERRALINEA_SOURCE_DIR) + "/tests/tools/dxf_audit.py' '" + file.string() + "'";
  EXPECT_EQ(std::system(audit.c_str()), 0);
}
