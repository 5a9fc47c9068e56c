// The same drawings whatever the form of the data and however many sheets are converted
// at once: published files extracted, as downloaded archives, and packed once more into
// one bulk archive; one sheet after the other and two at a time; and an abort that
// never leaves a cut sheet under a real name.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <functional>
#include <map>
#include <string>

#include "converter/settings/choice_lists.h"
#include "tests/common/temp_folder.h"
#include "tests/common/whole_run.h"
#include "tests/common/zip_writer.h"
#include "tests/elevation/elevation_fixture.h"
#include "tests/fgd/genkai_settings.h"
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
