#include "converter/elevation/etopo_reader.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#include "converter/elevation/elevation_source.h"
#include "converter/settings/sheet_labels.h"
#include "converter/sheet/run_context.h"

namespace elevation {

namespace {

float littleEndianFloat(const unsigned char* bytes) {
  std::uint32_t bits = static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
                       static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
  return std::bit_cast<float>(bits);
}

struct File {
  std::FILE* f;
  ~File() {
    if (f) std::fclose(f);
  }
};

}  // namespace

void readEtopoFile(sheet::RunContext& ctx, const std::filesystem::path& path) {
  if (!sourceActive(ctx.settings, etopo)) return;
  auto& g = ctx.elevationGrid;
  g.innerWindow = geo::innerWindowOf(g);
  // The grid edges are whole minutes up to rounding; near 19000 minutes that rounding
  // exceeds 1e-12, so the tolerance is a millionth of a cell.
  const long long r0 = static_cast<long long>(std::floor((90 - g.gridNorth) * 60 + 1e-6));
  const long long c0 = static_cast<long long>(std::floor((g.gridWest + 180) * 60 + 1e-6));

  File file{std::fopen(path.c_str(), "rb")};
  if (!file.f) {
    ctx.reportOnce("標高データファイルを開けません " + settings::pathText(path));
    return;
  }
  const double offset = g.datumOffset, missing = g.missingElevation();
  std::vector<unsigned char> row(static_cast<std::size_t>(g.columnCount) * 4);
  for (int r = 0; r < g.rowCount; ++r) {
    const long long at = ((r0 + r) * kEtopoColumns + c0) * 4;
    if (at < 0 || fseeko(file.f, static_cast<off_t>(at), SEEK_SET) != 0) return;
    const std::size_t got = std::fread(row.data(), 4, static_cast<std::size_t>(g.columnCount), file.f);
    for (std::size_t c = 0; c < got; ++c) {
      const float value = littleEndianFloat(row.data() + 4 * c);
      // NaN fails the comparison and is missing too.
      if (value > -5.0f) {
        const double z = static_cast<double>(value) + offset;
        g.setCell(r, static_cast<int>(c), z);
        g.widenExtremes(z);
      } else {
        g.setCell(r, static_cast<int>(c), missing);
      }
    }
    if (got < static_cast<std::size_t>(g.columnCount)) return;
  }
}

}  // namespace elevation
