#include "converter/elevation/elevation_source.h"

#include <array>

namespace elevation {

const SourceFiles& sourceFiles(int source) {
  static const std::array<SourceFiles, 5> table = {{
      {"*dem5*.xml", "<type>5mメッシュ", "<DEM5 ", 178, geo::MeshCodeKind::thirdLevelCompact,
       geo::MeshCodeKind::thirdLevelDashed, true, 10, -11},
      {"*dem10*.xml", "<type>10mメッシュ", "<DEM10 ", 184, geo::MeshCodeKind::secondLevelCompact,
       geo::MeshCodeKind::secondLevelDashed, true, 7, -8},
      {"*dem50*.xml", "<type>50mメッシュ", "<DEM50 ", 191, geo::MeshCodeKind::secondLevelCompact,
       geo::MeshCodeKind::secondLevelDashed, true, 7, -8},
      {"*dem250*.xml", "<type>250mメッシュ", "<DEM250 ", 198, geo::MeshCodeKind::firstLevel,
       geo::MeshCodeKind::firstLevel, false, 4, -5},
      {"*.flt", "", "", 0, geo::MeshCodeKind::firstLevel, geo::MeshCodeKind::firstLevel, false, 0, 0},
  }};
  return table[source >= 0 && source < 5 ? source : 0];
}

}  // namespace elevation
