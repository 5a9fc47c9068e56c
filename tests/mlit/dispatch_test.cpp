// Which files each item reads, in which order, in which pass; and a whole sheet drawn from
// the fixtures through the run.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string_view>

#include "converter/mlit/mlit_dispatch.h"
#include "converter/run/conversion_run.h"
#include "converter/settings/check_settings.h"
#include "converter/settings/choice_lists.h"
#include "converter/settings/sheet_labels.h"
#include "platform/dir_list.h"
#include "platform/printer_catalogue.h"
#include "platform/text_codec.h"
#include "tests/common/genkai_area.h"
#include "tests/common/whole_run.h"
#include "tests/mlit/harness.h"

namespace {

using namespace mlit;

void allOff(settings::DrawingSettings& s) {
  for (auto& m : s.mlitLayers) m.on = false;
}

TEST(MlitDispatch, AnItemListsTheFilesOfItsFirstFourCharacters) {
  TempFolder t;
  for (const char* name : {"A29-11_40.xml", "A29-x.xml", "A2911.xml", "xA29-1.xml", "N03-20.xml", "A29-1.txt"})
    writeBytes(t / name, "x");
  struct Case {
    const char* key;
    std::size_t files;
  };
  for (const Case c : {Case{"A29-3", 2}, Case{"A29-99", 2}, Case{"N03-L", 1}, Case{"A30a5", 0}}) {
    EXPECT_EQ(platform::listFiles(t.path(), mlitFilePattern(c.key), false).size(), c.files) << c.key;
  }
}

TEST(MlitDispatch, LaterItemsFirstAndEveryFileForEverySheet) {
  MlitHarness h;
  allOff(h.settings);
  std::filesystem::copy_file(fixture("N02-20.xml"), h.temp / "N02-20.xml");
  std::filesystem::copy_file(fixture("N02-20.xml"), h.temp / "W05-20.xml");
  h.settings.mlitLayers[h.index("N02-")].on = true;
  h.settings.mlitLayers[h.index("W05-")].on = true;
  const std::string folder = settings::pathText(h.temp.path());

  dispatchMlitFiles(h.ctx, folder);
  EXPECT_EQ(h.ctx.fileCounter, 2);
  h.ctx.fileCounter = 0;

  h.clear();
  dispatchMlitFiles(h.ctx, h.out, folder, kLinePassMask);
  auto e = h.entities();
  ASSERT_EQ(e.size(), 6u);
  EXPECT_EQ(e.front().value(8), h.layer("W05-"));  // the later item of the list
  EXPECT_EQ(e.back().value(8), h.layer("N02-"));
  // The next sheet reads the files again; a pass without their reader leaves them alone.
  dispatchMlitFiles(h.ctx, h.out, folder, kLinePassMask);
  dispatchMlitFiles(h.ctx, h.out, folder, kAreaPassMask);
  EXPECT_EQ(h.entities().size(), 12u);
  EXPECT_EQ(h.ctx.fileCounter, 4);
}

TEST(MlitDispatch, AZoneWhoseItemIsOffIsNotDrawn) {
  MlitHarness h;
  allOff(h.settings);
  std::filesystem::copy_file(fixture("A29-11_40.xml"), h.temp / "A29-11_40.xml");
  h.settings.mlitLayers[h.index("A29-9")].on = true;
  h.clear();
  dispatchMlitFiles(h.ctx, h.out, settings::pathText(h.temp.path()), kLinePassMask);
  auto e = h.entities();
  ASSERT_EQ(e.size(), 1u);
  EXPECT_EQ(e[0].value(8), h.layer("A29-9"));
}

// One sheet over the fixtures with every data set of them on.
TEST(MlitSheet, FixturesDrawnThroughTheRunPassTheAudit) {
  TempFolder temp;
  settings::DrawingSettings s;
  ASSERT_TRUE(settings::loadItemFiles(std::filesystem::path(TERRALINEA_SOURCE_DIR) / "data", s).complete);
  for (auto& g : s.fgdLayers.groups) {
    g.on = false;
    for (auto& item : g.items) item.on = false;
  }
  for (auto& g : s.basicInfoLayers.groups) {
    g.on = false;
    for (auto& item : g.items) item.on = false;
  }
  for (auto& m : s.mlitLayers)
    m.on = m.key == "A29-1" || m.key == "A29-9" || m.key == "A31-12" || m.key == "A26-" || m.key == "W09-" ||
           m.key == "N02-" || m.key == "P11-" || m.key == "C28-" || m.key == "A30a5" || m.key == "N03-" ||
           m.key == "N03-L";
  s.mlitFolder = settings::pathText(std::filesystem::path(TERRALINEA_TEST_DATA) / "mlit");
  s.fgdFolder = s.writeFolder = s.elevationFolder = s.basicInfoFolder = settings::pathText(temp.path());
  placeOverGenkai(s);

  RecordingHost host;
  const WholeRun run = runConversion(s, host);
  ASSERT_EQ(run.report, "");
  ASSERT_EQ(run.result, run::RunResult::Completed);
  // The fixtures' deliberate faults, and nothing else.
  EXPECT_NE(run.anomalies.find("用途地域コード(第一種)を読めません"), std::string::npos);
  EXPECT_NE(run.anomalies.find("mlitjpgis(code = 3:"), std::string::npos);
  EXPECT_EQ(std::count(run.anomalies.begin(), run.anomalies.end(), '\n'), 2) << run.anomalies;

  const auto file = temp / "M.dxf";
  const std::string text = platform::cp932ToUtf8(readBytes(file));
  // On the data set layers: areas under lines, texts on top.
  std::vector<std::string> kinds;  // entity type of each entity on a data set layer, in file order
  {
    std::string_view rest = text, type;
    bool code0 = false, code8 = false;
    while (!rest.empty()) {
      const auto end = rest.find("\r\n");
      const std::string_view v = rest.substr(0, end);
      rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 2);
      if (code0) type = v;
      if (code8) {
        const bool ours = std::any_of(s.mlitLayers.begin(), s.mlitLayers.end(),
                                      [&](const auto& m) { return m.on && m.caption == v; });
        if (ours) kinds.emplace_back(type);
      }
      code0 = v == "0";
      code8 = v == "8";
    }
  }
  const auto firstLine = std::find(kinds.begin(), kinds.end(), "LWPOLYLINE");
  const auto firstText = std::find(kinds.begin(), kinds.end(), "TEXT");
  const auto lastHatch = std::find(kinds.rbegin(), kinds.rend(), "HATCH").base();
  ASSERT_NE(firstLine, kinds.end());
  ASSERT_NE(firstText, kinds.end());
  EXPECT_LE(lastHatch, firstText);
  EXPECT_EQ(std::count(kinds.begin(), kinds.end(), "HATCH"), 2 + 4 + 4 + 1 + 2);  // zones, two depths, lake, wards
  for (const char* word : {"玄界島", "玄界空港", "F1", "福岡市西区"})
    EXPECT_NE(text.find(word), std::string::npos) << word;
  const std::string audit =
      "/usr/bin/python3 '" + std::string(TERRALINEA_SOURCE_DIR) + "/tests/tools/dxf_audit.py' '" + file.string() + "'";
  EXPECT_EQ(std::system(audit.c_str()), 0);
  if (const char* keep = std::getenv("TERRALINEA_KEEP_SHEET"))
    std::filesystem::copy_file(file, keep, std::filesystem::copy_options::overwrite_existing);
}

}  // namespace
