// The same drawings whatever the form of the data and however many sheets are converted
// at once: published files extracted, as downloaded archives, and packed once more into
// one bulk archive; one sheet after the other and two at a time; and an abort that
// never leaves a cut sheet under a real name.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <functional>
#include <map>
#include <set>
#include <string>

#include "converter/settings/choice_lists.h"
#include "tests/common/temp_folder.h"
#include "tests/common/whole_run.h"
#include "tests/common/zip_writer.h"
#include "tests/elevation/elevation_fixture.h"
#include "tests/fgd/genkai_settings.h"
#include "tests/fgd/harness.h"
#include "tests/settings/fixture.h"

namespace {

namespace fs = std::filesystem;
using Outputs = std::map<std::string, std::string>;

const char* const kVectorArchive = "FG-GML-503041-ALL-20181001.zip";
const char* const kDemArchive = "FG-GML-543745-DEM10B-20161001.zip";

// The one archive in the three forms, each in a folder of its own under `root`.
struct DataForms {
  fs::path extracted, archive, bulk;
};

DataForms dataForms(const fs::path& root, const fs::path& published) {
  const std::string name = published.filename().string();
  DataForms f{root / "extracted", root / "archive", root / "bulk"};
  const fs::path into = f.extracted / published.stem();
  fs::create_directories(into);
  const std::string unzip = "unzip -q -o '" + published.string() + "' -d '" + into.string() + "'";
  EXPECT_EQ(std::system(unzip.c_str()), 0);
  fs::create_directories(f.archive);
  fs::copy_file(published, f.archive / name);
  EXPECT_TRUE(writeZip(f.bulk / "download.zip", {{"PackDLMap/" + name, readBytes(published)}}));
  return f;
}

struct Converted {
  WholeRun run;
  Outputs files;  // every file of the write folder, by name
};

Converted convert(settings::DrawingSettings s, const fs::path& out, int jobs, sheet::RunHost& host) {
  fs::remove_all(out);
  fs::create_directories(out);
  s.writeFolder = settings::pathText(out);
  Converted c;
  c.run = runConversion(s, host, jobs);
  for (const auto& entry : fs::directory_iterator(out)) c.files[entry.path().filename().string()] = readBytes(entry.path());
  return c;
}

Converted convert(const settings::DrawingSettings& s, const fs::path& out, int jobs = 1) {
  RecordingHost host;
  return convert(s, out, jobs, host);
}

void twoByTwo(settings::DrawingSettings& s) {
  s.sheetColumns = s.sheetRows = "2";
  s.resizeLegendTables();
}

// A 2 x 2 sheet drawing of the vector data around Genkai island.
settings::DrawingSettings vectorSettings(const TempFolder& temp, const fs::path& data) {
  auto s = genkaiSettings(temp);
  twoByTwo(s);
  fs::create_directories(temp / "empty");
  s.fgdFolder = settings::pathText(data);
  s.elevationFolder = s.mlitFolder = s.basicInfoFolder = settings::pathText(temp / "empty");
  return s;
}

// Mesh and contours of the 10 m DEM of mesh 5437-45, the legend computed for each sheet.
settings::DrawingSettings demSettings(const TempFolder& temp, const fs::path& data, double halfSide) {
  auto s = validSettings(temp);
  fs::create_directories(temp / "empty");
  for (auto* folder : {&s.fgdFolder, &s.mlitFolder, &s.basicInfoFolder}) *folder = settings::pathText(temp / "empty");
  s.elevationFolder = settings::pathText(data);
  const auto& zones = settings::coordinateSystemItems();
  for (std::size_t i = 0; i < zones.size(); ++i)
    if (settings::zoneFromItemText(zones[i]) == 7) s.coordinateSystem = static_cast<int>(i);
  geo::PlaneCoordinates c;
  c.selectSystem(7);
  c.unitsPerMetre = 1000;
  c.bltoxy(137.6875, 36.375);
  auto whole = [](double v) { return std::to_string(static_cast<long long>(std::floor(v))); };
  s.westEdge = whole(c.planeY - halfSide);
  s.eastEdge = whole(c.planeY + halfSide);
  s.southEdge = whole(c.planeX - halfSide);
  s.northEdge = whole(c.planeX + halfSide);
  s.meshSource = 1;
  s.contourSource = 1;
  s.legendAuto = true;
  return s;
}

void expectSameFiles(const Converted& a, const Converted& b, const std::string& what) {
  ASSERT_EQ(a.files.size(), b.files.size()) << what;
  for (const auto& [name, bytes] : a.files) {
    const auto other = b.files.find(name);
    ASSERT_NE(other, b.files.end()) << what << ": " << name;
    EXPECT_TRUE(other->second == bytes) << what << ": " << name << " differs";
  }
}

}  // namespace

TEST(SameOutput, ArchivesAndBulkArchiveDrawAsTheExtractedFiles) {
  if (!fs::exists(realVectorFolder() / kVectorArchive) || !fs::exists(realDemFolder() / kDemArchive))
    GTEST_SKIP() << "published archives not found beside the repository";
  TempFolder temp;
  struct Area {
    const char* name;
    fs::path published;
    std::function<settings::DrawingSettings(const fs::path&)> settingsFor;
    std::size_t files;  // sheets and run-level outputs
  };
  const Area areas[] = {
      {"vector 2 x 2", realVectorFolder() / kVectorArchive,
       [&](const fs::path& data) { return vectorSettings(temp, data); }, 4 + 2},
      {"DEM mesh and contours", realDemFolder() / kDemArchive,
       [&](const fs::path& data) { return demSettings(temp, data, 2.0e6); }, 1 + 1},
  };
  for (const Area& area : areas) {
    const DataForms data = dataForms(temp / area.published.stem().string(), area.published);
    const Converted extracted = convert(area.settingsFor(data.extracted), temp / "out");
    ASSERT_EQ(extracted.run.result, run::RunResult::Completed) << area.name << extracted.run.report;
    EXPECT_EQ(extracted.run.anomalies, "") << area.name;
    EXPECT_EQ(extracted.files.size(), area.files) << area.name;
    for (const auto& [form, folder] : {std::pair{"archive", data.archive}, std::pair{"bulk archive", data.bulk}}) {
      const Converted fromArchive = convert(area.settingsFor(folder), temp / "out");
      EXPECT_EQ(fromArchive.run.result, run::RunResult::Completed) << area.name << " " << form;
      EXPECT_EQ(fromArchive.run.anomalies, "") << area.name << " " << form;
      expectSameFiles(extracted, fromArchive, std::string(area.name) + " from the " + form);
    }
  }
}

TEST(SameOutput, ADamagedMemberIsReportedByArchiveAndMemberAndTheRunGoesOn) {
  if (!fs::exists(realVectorFolder() / kVectorArchive)) GTEST_SKIP() << "published archives not found";
  TempFolder temp;
  // Bytes in the middle of the deflated buildings (the fourth member) turned over.
  std::string bytes = readBytes(realVectorFolder() / kVectorArchive);
  for (std::size_t at = 132000; at < 132064; ++at) bytes[at] = static_cast<char>(~bytes[at]);
  writeBytes(temp / "data" / kVectorArchive, bytes);
  auto s = genkaiSettings(temp);
  s.fgdFolder = settings::pathText(temp / "data");
  const Converted c = convert(s, temp / "out");
  EXPECT_EQ(c.run.result, run::RunResult::Completed);
  // "GML1024Hatch(<folder>/FG-GML-503041-ALL-20181001.zip/FG-GML-503041-BldA-….xml)で異常 posi=…"
  const std::string member = (temp / "data" / kVectorArchive / "FG-GML-503041-BldA-20181001-0001.xml").string();
  EXPECT_NE(c.run.anomalies.find(member), std::string::npos) << c.run.anomalies;
  // Only the buildings: every other member was read.
  std::size_t lines = 0;
  for (std::size_t at = 0; (at = c.run.anomalies.find("\r\n", at)) != std::string::npos; at += 2) ++lines;
  EXPECT_EQ(lines, 1u) << c.run.anomalies;
  EXPECT_NE(c.files.at("M.dxf").find("\r\nHATCH\r\n"), std::string::npos);
}

TEST(SameOutput, TwoSheetsAtATimeWriteWhatOneAtATimeWrites) {
  if (!fs::exists(realVectorFolder() / kVectorArchive) || !fs::exists(realDemFolder() / kDemArchive))
    GTEST_SKIP() << "published archives not found beside the repository";
  TempFolder temp;
  // A damaged archive beside the data: its line stands once in the problems, whatever
  // sheet met it first.
  fs::create_directories(temp / "vector");
  fs::copy_file(realVectorFolder() / kVectorArchive, temp / "vector" / kVectorArchive);
  writeBytes(temp / "vector" / "FG-GML-503041-BldA-cut.zip", "PK\x03\x04 cut short");
  fs::create_directories(temp / "dem");
  fs::copy_file(realDemFolder() / kDemArchive, temp / "dem" / kDemArchive);
  auto dem = demSettings(temp, temp / "dem", 2.0e6);
  twoByTwo(dem);
  struct Case {
    const char* name;
    settings::DrawingSettings settings;
  };
  const Case cases[] = {{"vector", vectorSettings(temp, temp / "vector")}, {"DEM with legends per sheet", dem}};
  for (const Case& c : cases) {
    auto inTurn = c.settings, atOnce = c.settings;
    const Converted one = convert(inTurn, temp / "out", 1);
    ASSERT_EQ(one.run.report, "") << c.name;
    EXPECT_EQ(one.files.size(), 4u + 2u) << c.name;
    const Converted two = convert(atOnce, temp / "out", 2);
    EXPECT_EQ(one.run.result, two.run.result) << c.name;
    EXPECT_EQ(one.run.anomalies, two.run.anomalies) << c.name;
    expectSameFiles(one, two, c.name);
    for (int r = 0; r < 2; ++r)
      for (int col = 0; col < 2; ++col)
        EXPECT_EQ(inTurn.legendIntervals.cell(r, col), atOnce.legendIntervals.cell(r, col)) << c.name;
  }
  EXPECT_NE(convert(cases[0].settings, temp / "out", 2).run.anomalies.find("FG-GML-503041-BldA-cut.zip"),
            std::string::npos);
}

// With more than one job a spare thread converts a sheet's large vector files ahead (a
// single sheet, or the last sheets of a run): the files stay those of one thread.
TEST(SameOutput, ConversionsAheadChangeNoByte) {
  if (!fs::exists(realVectorFolder() / kVectorArchive)) GTEST_SKIP() << "published archives not found";
  TempFolder temp;
  fs::create_directories(temp / "vector");
  fs::copy_file(realVectorFolder() / kVectorArchive, temp / "vector" / kVectorArchive);
  writeBytes(temp / "vector" / "FG-GML-503041-RdEdg-20181001-0002.xml", denseFgdFile(false, 2500000));
  writeBytes(temp / "vector" / "FG-GML-503041-BldA-20181001-0002.xml", denseFgdFile(true, 1500000));
  auto twoByTwoSheets = vectorSettings(temp, temp / "vector");
  auto oneSheet = twoByTwoSheets;
  oneSheet.sheetColumns = oneSheet.sheetRows = "1";
  oneSheet.resizeLegendTables();
  for (const auto* s : {&oneSheet, &twoByTwoSheets}) {
    const std::string name = s == &oneSheet ? "one sheet" : "2 x 2 sheets";
    const Converted one = convert(*s, temp / "out", 1);
    ASSERT_EQ(one.run.report, "") << name;
    for (int jobs : {2, 3}) {
      const Converted more = convert(*s, temp / "out", jobs);
      EXPECT_EQ(one.run.anomalies, more.run.anomalies) << name << " jobs " << jobs;
      expectSameFiles(one, more, name + " jobs " + std::to_string(jobs));
    }
  }
}

TEST(SameOutput, AbortDuringParallelSheetsLeavesOnlyCompleteSheets) {
  if (!fs::exists(realVectorFolder() / kVectorArchive)) GTEST_SKIP() << "published archives not found";
  TempFolder temp;
  const auto s = vectorSettings(temp, realVectorFolder());
  const Converted complete = convert(s, temp / "out", 1);
  ASSERT_EQ(complete.run.result, run::RunResult::Completed);
  const std::set<std::string> sheets = {"MA0.dxf", "MA1.dxf", "MB0.dxf", "MB1.dxf"};
  // Aborts at different moments of the run: before, between and inside sheets.
  for (int abortAt : {1, 6, 12, 24}) {
    ProgressHost host;
    host.abortAtPump = abortAt;
    const Converted stopped = convert(s, temp / "out", 2, host);
    if (stopped.run.result == run::RunResult::Completed) continue;  // finished before the abort
    EXPECT_EQ(stopped.run.result, run::RunResult::Stopped) << abortAt;
    // Every sheet there is a finished one, byte for byte, and no partial file is left. The
    // run-level outputs come only after all sheets (and an abort inside the index drawing
    // closes it early, as it does one sheet at a time).
    std::size_t sheetsThere = 0;
    for (const auto& [name, bytes] : stopped.files) {
      const auto whole = complete.files.find(name);
      ASSERT_NE(whole, complete.files.end()) << abortAt << ": " << name;
      if (!sheets.contains(name)) continue;
      ++sheetsThere;
      EXPECT_TRUE(whole->second == bytes) << abortAt << ": " << name << " is cut";
    }
    if (sheetsThere < sheets.size()) {
      EXPECT_EQ(stopped.files.size(), sheetsThere) << abortAt;
    }
  }
}
