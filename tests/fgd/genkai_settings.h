#pragma once
// Published FGD vector files beside the repository, and settings of a drawing over Genkai
// island (mesh 503041) that reads them with every item of the shipped tree on.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "converter/geo/plane_coordinates.h"
#include "converter/settings/choice_lists.h"
#include "converter/settings/drawing_settings.h"
#include "converter/settings/item_files.h"
#include "converter/settings/sheet_labels.h"
#include "dxfio/dxf_writer.h"
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
  s.printerName = "Terralinea Paper";
  s.paperSize = "A3";
  s.mapName = "M";
  const auto& zones = settings::coordinateSystemItems();
  s.coordinateSystem = static_cast<int>(std::find(zones.begin(), zones.end(), "第 2座標系 福岡県") - zones.begin());
  // Genkai island in mesh 503041 (33.667–33.75 N, 130.125–130.25 E), system II, millimetres.
  geo::PlaneCoordinates c;
  c.selectSystem(2);
  c.unitsPerMetre = 1000;
  c.bltoxy(130.2335, 33.6885);  // Genkai island
  const double cx = c.planeX, cy = c.planeY;
  s.northEdge = dxfio::formatReal(cx + 1.2e6);
  s.southEdge = dxfio::formatReal(cx - 1.2e6);
  s.westEdge = dxfio::formatReal(cy - 1.7e6);
  s.eastEdge = dxfio::formatReal(cy + 1.7e6);
  return s;
}
