#pragma once
// The five elevation sources: their file masks, the kind line of their XML files and the
// part of a file name that carries the mesh code.
#include <string_view>

#include "converter/geo/mesh_codes.h"
#include "converter/settings/drawing_settings.h"

namespace elevation {

enum ElevationSource { dem5m = 0, dem10m = 1, dem50m = 2, dem250m = 3, etopo = 4 };

struct SourceFiles {
  std::string_view mask;                      // listing pattern
  std::string_view typeLine;                  // UTF-8 start of the <type> element, empty for the global grid
  std::string_view kindTag;                   // what the kind line becomes
  int kindPosition;                           // position of kindTag in the element list (1-based)
  geo::MeshCodeKind compactKind, dashedKind;  // lists for this source, compact first
  bool dashedToo;                             // false: compactKind alone
  int sliceLength, sliceStart;                // code slice of a file name, start relative to "DEM"
};

const SourceFiles& sourceFiles(int source);

// A source is active when the mesh or the contour setting chooses it.
inline bool sourceActive(const settings::DrawingSettings& s, int source) {
  return s.meshSource == source || s.contourSource == source;
}

}  // namespace elevation
