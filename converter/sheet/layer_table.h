#pragma once
// The layer set of a run: every layer a producer may draw on, fixed when a sheet's LAYER
// table is written.
#include <optional>
#include <string>
#include <vector>

#include "converter/geo/colour_legend.h"
#include "converter/settings/drawing_settings.h"
#include "converter/settings/run_values.h"

namespace sheet {

// One record of the LAYER table; a layer without lineweight writes no 370 pair.
struct LayerRecord {
  std::string name;
  geo::Colour colour;
  std::optional<int> lineweight;
};

// Layer records in table order after layer "0". `stopRun` is set when the 255-colour
// flavour meets a colour outside the palette.
std::vector<LayerRecord> sheetLayers(const settings::DrawingSettings& settings, const settings::RunValues& values,
                                     const geo::SheetLegend& legend, bool* stopRun);
// Number of LAYER records of a run, layer "0" included.
int layerCount(const settings::DrawingSettings& settings, const settings::RunValues& values);

}  // namespace sheet
