#pragma once
// Published FGD vector files beside the repository, and settings of a drawing over Genkai
// island (mesh 503041) that reads them with every item of the shipped tree on.
#include <gtest/gtest.h>

#include <filesystem>

#include "converter/settings/drawing_settings.h"
#include "converter/settings/item_files.h"
#include "converter/settings/sheet_labels.h"
#include "tests/common/genkai_area.h"
#include "tests/common/temp_folder.h"

inline std::filesystem::path realVectorFolder() {
  return std::filesystem::path(TERRALINEA_SOURCE_DIR) / ".." / "shared" / "testdata" / "real" / "fgd-vector";
}

// One A3 sheet around the island.
inline settings::DrawingSettings genkaiSettings(const TempFolder& temp) {
  settings::DrawingSettings s;
  EXPECT_TRUE(settings::loadItemFiles(std::filesystem::path(TERRALINEA_SOURCE_DIR) / "data", s).complete);
  for (auto& g : s.fgdLayers.groups) {
    // Boundaries of the town blocks double the administrative ones; leave them off.
    if (g.entry.key.starts_with("CommBdry")) continue;
    for (auto& item : g.items) item.on = true;
  }
  settings::deriveGroups(s.fgdLayers);
  for (auto& g : s.basicInfoLayers.groups) {
    g.on = false;
    for (auto& item : g.items) item.on = false;
  }
  s.fgdFolder = settings::pathText(realVectorFolder());
  s.writeFolder = s.elevationFolder = s.mlitFolder = settings::pathText(temp.path());
  s.basicInfoFolder = s.writeFolder;
  placeOverGenkai(s);
  return s;
}
