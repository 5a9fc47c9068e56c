#pragma once
// The standard area mesh codes that cover a box, spelled as data file names spell them,
// so that a reader can keep a file by a slice of its name.
#include <string>
#include <vector>

#include "converter/elevation/elevation_grid.h"

namespace geo {
class PlaneCoordinates;
}
namespace run {
struct RunContext;
}

namespace elevation {

enum class MeshCodeKind {
  firstLevel,          // 5339
  secondLevelCompact,  // -533945
  thirdLevelCompact,   // L-53394512
  secondLevelDashed,   // 5339-45
  thirdLevelDashed,    // 5339-45-12
};

// Adds the codes of every mesh of the kind's level that the box touches, south to north
// and west to east within a row. The first-level and compact kinds empty the list first,
// so a compact kind followed by a dashed kind leaves both spellings.
void listMeshCodes(std::vector<std::string>& list, MeshCodeKind kind, const GeoBox& box);

// Latitude/longitude box of a plane rectangle (drawing units): its corners, and the
// middle of the northern edge when the rectangle straddles the central meridian.
// False when a point does not convert.
bool sheetGeoBox(geo::PlaneCoordinates& coordinates, double west, double east, double south, double north,
                 GeoBox& box);

enum class MeshBox { grid, sheet };

// Fills the run's meshCodeList for the current grid's demBox or the current sheet.
void buildMeshCodeList(run::RunContext& ctx, MeshCodeKind kind, MeshBox box);

inline bool inMeshCodeList(const std::vector<std::string>& list, std::string_view code) {
  for (const auto& entry : list)
    if (entry == code) return true;
  return false;
}

}  // namespace elevation
