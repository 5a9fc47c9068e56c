#pragma once
// A run context for the furniture producers: an A3 landscape page at 1:2500 in millimetres
// over one of 2 x 2 overlapping sheets in system IX, as the start checks compute them, the
// furniture placed as the run places it, and a collected sheet of the chosen flavour.
#include <string>

#include "converter/decor/decorations.h"
#include "converter/geo/plane_coordinates.h"
#include "converter/settings/drawing_settings.h"
#include "converter/settings/run_values.h"
#include "converter/sheet/run_context.h"
#include "tests/common/collected_sheet.h"
#include "tests/common/recording_host.h"

struct FurnitureRun : CollectedSheet {
  explicit FurnitureRun(geo::Flavour flavour = geo::Flavour::trueColour) : writer(dxf, flavour) {
    coords.unitsPerMetre = 1000;
    coords.selectSystem(9);
    s.fileFormat = static_cast<int>(flavour);
    s.mapName = "M";
    s.coordinateSystem = 33;  // "第 9座標系 東京都の本州部"
    v.unitsPerMetre = 1000;
    v.paperWidthMm = 419.989;
    v.paperHeightMm = 297.0106666666667;
    v.pageWidthMm = 411.52233333333334;
    v.pageHeightMm = 288.544;
    v.usableWidthMm = 350.5035045977011;
    v.usableHeightMm = 274.11679999999996;
    v.unitsPerPaperMillimetre = 2500;
    v.sheetWidth = 876258.7614942528;
    v.sheetHeight = 685291.9999999999;
    v.sheetStepWidth = 788632.8853448274;
    v.sheetStepHeight = 616762.7999999999;
    v.sheetRows = v.sheetColumns = 2;
    v.westEdge = -8000000;
    v.northEdge = -35697946;
    v.eastEdge = v.westEdge + v.sheetStepWidth + v.sheetWidth;
    v.southEdge = v.northEdge - v.sheetStepHeight - v.sheetHeight;
    ctx.sheetLegendInterval = {10};
    ctx.sheetLegendBottom = {0};
    ctx.sheetLegendDecimals = {0};
    sheetAt(0, 0);
    decor::placeFurniture(ctx);
  }
  void sheetAt(int row, int column) {
    ctx.sheetRow = row;
    ctx.sheetColumn = column;
    const auto r = v.sheetRect(row, column);
    ctx.sheetWest = r.west;
    ctx.sheetEast = r.east;
    ctx.sheetSouth = r.south;
    ctx.sheetNorth = r.north;
  }
  // The decorations alone, written afresh.
  std::vector<Entity> decorations() {
    clear();
    decor::writeDecorations(ctx, writer);
    return entities();
  }
  // The TEXT values of `entities`, in order.
  static std::vector<std::string> texts(const std::vector<Entity>& entities) {
    std::vector<std::string> out;
    for (const auto& e : entities)
      if (e.type == "TEXT") out.push_back(e.value(1));
    return out;
  }

  settings::DrawingSettings s;
  settings::RunValues v;
  geo::PlaneCoordinates coords;
  RecordingHost host;
  sheet::RunContext ctx{s, v, coords, host};
  sheet::EntityWriter writer;
};
