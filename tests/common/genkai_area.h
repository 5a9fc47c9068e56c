#pragma once
// One A3 sheet of the built-in printer over Genkai island (mesh 503041, 33.667–33.75 N,
// 130.125–130.25 E) in system II, millimetres, named "M".
#include <algorithm>

#include "converter/geo/plane_coordinates.h"
#include "converter/settings/choice_lists.h"
#include "converter/settings/drawing_settings.h"
#include "dxfio/dxf_writer.h"

inline void placeOverGenkai(settings::DrawingSettings& s) {
  s.printerName = "Terralinea Paper";
  s.paperSize = "A3";
  s.mapName = "M";
  const auto& zones = settings::coordinateSystemItems();
  s.coordinateSystem = static_cast<int>(std::find(zones.begin(), zones.end(), "第 2座標系 福岡県") - zones.begin());
  geo::PlaneCoordinates c;
  c.selectSystem(2);
  c.unitsPerMetre = 1000;
  c.bltoxy(130.2335, 33.6885);  // Genkai island
  s.northEdge = dxfio::formatReal(c.planeX + 1.2e6);
  s.southEdge = dxfio::formatReal(c.planeX - 1.2e6);
  s.westEdge = dxfio::formatReal(c.planeY - 1.7e6);
  s.eastEdge = dxfio::formatReal(c.planeY + 1.7e6);
}
