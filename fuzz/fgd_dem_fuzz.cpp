// The DEM reader with each of the four DEM sources active. The grid (256 x 256 cells) is
// laid over the south-west corner the input names, so that its tuples land in cells.
#include <cmath>
#include <cstdlib>
#include <string>

#include "converter/elevation/fgd_dem_reader.h"
#include "converter/settings/check_settings.h"
#include "fuzz/fuzz_input.h"

namespace {

constexpr int kCells = 256;

// Latitude and longitude after the first "<gml:lowerCorner>"; 35 N 135 E without one.
void lowerCorner(std::string_view bytes, double& lat, double& lon) {
  lat = 35;
  lon = 135;
  constexpr std::string_view tag = "<gml:lowerCorner>";
  const auto at = bytes.find(tag);
  if (at == std::string_view::npos) return;
  const std::string text(bytes.substr(at + tag.size(), 64));
  char* end = nullptr;
  const double a = std::strtod(text.c_str(), &end);
  const double b = std::strtod(end, nullptr);
  if (std::isfinite(a) && std::isfinite(b) && std::fabs(a) < 90 && std::fabs(b) < 180) {
    lat = a;
    lon = b;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const auto file = fuzz::writeInput("FG-GML-5235-40-DEM10B-20161001.xml", bytes);
  double lat, lon;
  lowerCorner(bytes, lat, lon);
  for (int source = 0; source < 4; ++source) {
    fuzz::ReaderRun run(settings::DrawingSettings{}, kCells * kCells);
    const auto cell = settings::elevationCellSize(source);
    run.elevationGrid(source, lon - 2 * cell.width, lat + (kCells - 2) * cell.height, kCells, kCells);
    elevation::readFgdDemFile(run.ctx, file);
  }
  return 0;
}
