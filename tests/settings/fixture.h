#pragma once
// Settings loaded from the small item files of tests/data/items, and a complete valid
// set of settings in a temporary folder.
#include <gtest/gtest.h>

#include <filesystem>

#include "converter/settings/drawing_settings.h"
#include "converter/settings/item_files.h"
#include "converter/settings/sheet_labels.h"
#include "tests/common/temp_folder.h"

inline std::filesystem::path itemFixtureFolder() { return std::filesystem::path(TERRALINEA_TEST_DATA) / "items"; }

inline settings::DrawingSettings loadedSettings() {
  settings::DrawingSettings s;
  auto result = settings::loadItemFiles(itemFixtureFolder(), s);
  EXPECT_TRUE(result.complete);
  return s;
}

// Folders that exist, the built-in printer, a map name and a zone: checks pass.
inline settings::DrawingSettings validSettings(const TempFolder& temp) {
  auto s = loadedSettings();
  for (auto* folder : {&s.fgdFolder, &s.elevationFolder, &s.writeFolder, &s.mlitFolder, &s.basicInfoFolder}) {
    *folder = settings::pathText(temp.path());
  }
  s.printerName = "Terralinea Paper";
  s.paperSize = "A3";
  s.mapName = "M";
  s.coordinateSystem = 33;  // 第 9座標系 東京都の本州部
  s.northEdge = "-35000000";
  s.southEdge = "-37000000";
  s.westEdge = "-8000000";
  s.eastEdge = "-6000000";
  return s;
}

inline const settings::LayerItem& itemByKey(const settings::LayerTree& tree, const std::string& key) {
  for (const auto& g : tree.groups)
    for (const auto& item : g.items)
      if (item.entry.key == key) return item;
  throw std::runtime_error("no item " + key);
}
inline settings::LayerItem& itemByKey(settings::LayerTree& tree, const std::string& key) {
  return const_cast<settings::LayerItem&>(itemByKey(static_cast<const settings::LayerTree&>(tree), key));
}
