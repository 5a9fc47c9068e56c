#include "converter/geo/mesh_codes.h"

#include <cmath>
#include <cstdio>

namespace geo {

namespace {

// Integer part, truncating towards zero.
long long whole(double value) { return static_cast<long long>(std::trunc(value)); }

struct LevelIndex {
  long long row, column;
};

LevelIndex indexOf(MeshCodeKind kind, double latitude, double longitude) {
  switch (kind) {
    case MeshCodeKind::firstLevel: return {whole(latitude * 1.5), whole(longitude - 100)};
    case MeshCodeKind::secondLevelCompact:
    case MeshCodeKind::secondLevelDashed: return {whole(latitude * 1.5 * 8), whole((longitude - 100) * 8)};
    default: return {whole(latitude * 1.5 * 80), whole((longitude - 100) * 80)};
  }
}

std::string codeText(MeshCodeKind kind, long long r, long long c) {
  char buf[64];
  switch (kind) {
    case MeshCodeKind::firstLevel: std::snprintf(buf, sizeof buf, "%.2lld%.2lld", r, c); break;
    case MeshCodeKind::secondLevelCompact:
      std::snprintf(buf, sizeof buf, "-%.2lld%.2lld%.1lld%.1lld", r / 8, c / 8, r % 8, c % 8);
      break;
    case MeshCodeKind::thirdLevelCompact:
      std::snprintf(buf, sizeof buf, "L-%.2lld%.2lld%.1lld%.1lld%.1lld%.1lld", r / 80, c / 80, (r % 80) / 10,
                    (c % 80) / 10, r % 10, c % 10);
      break;
    case MeshCodeKind::secondLevelDashed:
      std::snprintf(buf, sizeof buf, "%.2lld%.2lld-%.1lld%.1lld", r / 8, c / 8, r % 8, c % 8);
      break;
    case MeshCodeKind::thirdLevelDashed:
      std::snprintf(buf, sizeof buf, "%.2lld%.2lld-%.1lld%.1lld-%.1lld%.1lld", r / 80, c / 80, (r % 80) / 10,
                    (c % 80) / 10, r % 10, c % 10);
      break;
  }
  return buf;
}

}  // namespace

bool clearsList(MeshCodeKind kind) {
  return kind == MeshCodeKind::firstLevel || kind == MeshCodeKind::secondLevelCompact ||
         kind == MeshCodeKind::thirdLevelCompact;
}

void listMeshCodes(std::vector<std::string>& list, MeshCodeKind kind, const GeoBox& box) {
  if (clearsList(kind)) list.clear();
  const LevelIndex low = indexOf(kind, box.south, box.west);
  const LevelIndex high = indexOf(kind, box.north, box.east);
  for (long long r = low.row; r <= high.row; ++r)
    for (long long c = low.column; c <= high.column; ++c) list.push_back(codeText(kind, r, c));
}

}  // namespace geo
