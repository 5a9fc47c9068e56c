#pragma once
// Command scripts for the CAD program, written beside the sheets at the end of a run.
#include <filesystem>
#include <string>

#include "converter/geo/colour_legend.h"

namespace run {

// "dxftodwg.scr": opens every sheet in run order and saves it as DWG.
bool writeConversionScript(const std::filesystem::path& folder, const std::string& mapName, int rows, int columns,
                           std::string* error);
// "hyoko.scr": switches the elevation mesh layers off from the lowest level up, then on
// again from the highest down.
bool writeElevationLayerScript(const std::filesystem::path& folder, const geo::SheetLegend& legend, int levelCount,
                               std::string* error);

}  // namespace run
