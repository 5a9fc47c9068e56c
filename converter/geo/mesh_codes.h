#pragma once
// The standard area mesh codes that cover a box, spelled as data file names spell them,
// so that a reader can keep a file by a slice of its name.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "converter/geo/geo_box.h"

namespace geo {

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
// True for the kinds whose listing empties the list first.
bool clearsList(MeshCodeKind kind);

// The box of the standard area mesh a data file's name starts with ("FG-GML-533946-...",
// "FG-GML-5339-45-...", "5339"); nothing when the name holds no mesh code.
std::optional<GeoBox> meshBoxOfFileName(std::string_view name);

inline bool inMeshCodeList(const std::vector<std::string>& list, std::string_view code) {
  for (const auto& entry : list)
    if (entry == code) return true;
  return false;
}

}  // namespace geo
