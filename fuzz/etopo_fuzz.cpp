// The global grid reader on the first rows of the file: the grid lies at 90 N 180 W, so
// its first row is the input's first bytes.
#include "converter/elevation/etopo_reader.h"
#include "converter/settings/check_settings.h"
#include "fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto file = fuzz::writeInput("etopo1.flt", {reinterpret_cast<const char*>(data), size});
  constexpr int kColumns = 512, kRows = 2;
  fuzz::ReaderRun run(settings::DrawingSettings{}, kColumns * kRows);
  run.settings.meshSource = 4;
  const auto cell = settings::elevationCellSize(4);
  auto& g = run.ctx.elevationGrid;
  g.cellWidth = cell.width;
  g.cellHeight = cell.height;
  g.gridWest = -180;
  g.gridNorth = 90;
  g.gridEast = g.gridWest + kColumns * cell.width;
  g.gridSouth = g.gridNorth - kRows * cell.height;
  g.demBox = {g.gridWest, g.gridEast, g.gridSouth, g.gridNorth};
  g.columnCount = kColumns;
  g.rowCount = kRows;
  g.bind(run.ctx.pointBuffer);
  elevation::readEtopoFile(run.ctx, file);
  return 0;
}
