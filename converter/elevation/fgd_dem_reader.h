#pragma once
// The digital elevation models of the Fundamental Geospatial Data: one XML file per
// standard area mesh, its cells as a tuple list, read as text line by line.
#include <filesystem>
#include <string_view>

namespace sheet {
struct RunContext;
}

namespace elevation {

// Reads the file into the run's grid when its kind is the active source and it overlaps
// the grid. A file that cannot be opened or holds a broken number, corner or tuple list
// is reported in anomalyMessage; what was stored before the fault stays.
void readFgdDemFile(sheet::RunContext& ctx, const std::filesystem::path& path);

// Position of a line's kind text in the element list (0: none); a DEM kind line counts
// as its tag. Lines are bytes of UTF-8 or, with utf8 false, of CP932.
int kindPosition(std::string_view line, bool utf8);

}  // namespace elevation
