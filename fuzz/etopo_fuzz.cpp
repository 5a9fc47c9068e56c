// The global grid reader on the first rows of the file: the grid lies at 90 N 180 W, so
// its first row is the input's first bytes.
#include "converter/elevation/etopo_reader.h"
#include "fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto file = fuzz::writeInput("etopo1.flt", {reinterpret_cast<const char*>(data), size});
  constexpr int kColumns = 512, kRows = 2;
  fuzz::ReaderRun run(settings::DrawingSettings{}, kColumns * kRows);
  run.elevationGrid(4, -180, 90, kColumns, kRows);
  elevation::readEtopoFile(run.ctx, file);
  return 0;
}
