#include "converter/geo/mesh_codes.h"

#include <cmath>
#include <cstdio>
#include <string_view>

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

std::optional<GeoBox> meshBoxOfFileName(std::string_view name) {
  auto digits = [](std::string_view t) {
    return !t.empty() && t.find_first_not_of("0123456789") == std::string_view::npos;
  };
  auto value = [](std::string_view t) {
    int v = 0;
    for (char c : t) v = v * 10 + (c - '0');
    return v;
  };
  // The tokens between dashes, up to the first one that starts a mesh code.
  std::vector<std::string_view> tokens;
  for (std::size_t at = 0; at <= name.size();) {
    std::size_t end = name.find_first_of("-_.", at);
    if (end == std::string_view::npos) end = name.size();
    tokens.push_back(name.substr(at, end - at));
    at = end + 1;
  }
  for (std::size_t i = 0; i < tokens.size(); ++i) {
    const std::string_view t = tokens[i];
    if (!digits(t) || (t.size() != 4 && t.size() != 6)) continue;
    // First-level codes of Japan only: a sequence number ("-0001") is no mesh.
    const int row = value(t.substr(0, 2)), column = value(t.substr(2, 2));
    if (row < 30 || row > 68 || column < 22 || column > 54) continue;
    GeoBox box;
    box.south = row / 1.5;
    box.west = column + 100;
    double height = 1 / 1.5, width = 1;
    // The second level: from six digits, or a two-digit token after the dash.
    std::string_view second = t.size() == 6 ? t.substr(4) : std::string_view();
    if (second.empty() && i + 1 < tokens.size() && tokens[i + 1].size() == 2 && digits(tokens[i + 1]))
      second = tokens[i + 1];
    if (!second.empty()) {
      if (second[0] > '7' || second[1] > '7') return std::nullopt;
      height /= 8;
      width /= 8;
      box.south += (second[0] - '0') * height;
      box.west += (second[1] - '0') * width;
    }
    box.north = box.south + height;
    box.east = box.west + width;
    return box;
  }
  return std::nullopt;
}

}  // namespace geo
