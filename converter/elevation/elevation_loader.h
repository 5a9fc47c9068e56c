#pragma once
// Builds the elevation grid of the current sheet from the files of the active source in
// the elevation folder.
#include <filesystem>

namespace sheet {
struct RunContext;
}

namespace elevation {

// Sizes the grid for the current sheet (with the depression margin when hollows are
// traced), fills it with missingElevation and reads the elevation folder into it. A grid
// that does not fit its share of the point buffer or that is empty is refused with a
// message and clears runContinue.
void loadElevationGrid(sheet::RunContext& ctx);

// Lists the files of the active source below `folder`. With load false their number is
// added to fileCounter; with load true those whose mesh code is in the grid's
// meshCodeList are read into the grid.
void collectElevationFiles(sheet::RunContext& ctx, const std::filesystem::path& folder, bool load);

}  // namespace elevation
