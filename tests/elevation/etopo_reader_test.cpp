#include "converter/elevation/etopo_reader.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <limits>

#include "tests/common/temp_folder.h"
#include "tests/elevation/elevation_fixture.h"

using elevation::kEtopoColumns;
using elevation::kEtopoRows;

namespace {

constexpr int kEtopo = 4;

// A global grid of full size that holds values only where a test writes them.
class SparseEtopo {
 public:
  explicit SparseEtopo(std::filesystem::path path, long long bytes = kEtopoColumns * kEtopoRows * 4)
      : path_(std::move(path)) {
    { std::ofstream(path_, std::ios::binary); }
    std::filesystem::resize_file(path_, static_cast<std::uintmax_t>(bytes));
  }
  // Row and column of the file (0 = 90 N, 180 W).
  void put(long long row, long long column, float value) {
    std::fstream f(path_, std::ios::in | std::ios::out | std::ios::binary);
    f.seekp((row * kEtopoColumns + column) * 4);
    unsigned char bytes[4];
    std::uint32_t bits;
    std::memcpy(&bits, &value, 4);
    for (int i = 0; i < 4; ++i) bytes[i] = static_cast<unsigned char>(bits >> (8 * i));
    f.write(reinterpret_cast<const char*>(bytes), 4);
  }
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

// Edges in whole minutes, computed as the grid computes them.
double minutes(long long m) { return static_cast<double>(m) * (1.0 / 60); }

}  // namespace

TEST(EtopoReader, RowsAreReadAtTheirOffsets) {
  TempFolder temp;
  SparseEtopo file(temp / "etopo1.flt");
  ElevationRun run(kEtopo);
  run.v.datumOffset = 2;
  // 139 10' E is a west edge whose minute count rounds below the whole number.
  const long long west = 139 * 60 + 10, north = 36 * 60;
  run.layOut(minutes(west), minutes(north), 6, 4, 1);
  const long long r0 = 90 * 60 - north, c0 = west + 180 * 60;
  struct Put {
    int row, column;
    float value;
    bool stored;
  } puts[] = {{0, 0, 100.f, true}, {0, 5, 250.f, true},   {1, 1, -4.9f, true},
              {1, 2, -5.f, false}, {2, 3, -120.f, false}, {3, 4, std::numeric_limits<float>::quiet_NaN(), false},
              {3, 5, 3776.f, true}};
  for (const auto& p : puts) file.put(r0 + p.row, c0 + p.column, p.value);
  // A value just outside the grid must not appear in it.
  file.put(r0, c0 - 1, 9999.f);

  elevation::readEtopoFile(run.ctx, file.path());
  const auto& g = run.grid();
  for (const auto& p : puts) {
    if (p.stored)
      EXPECT_NEAR(g.cell(p.row, p.column), p.value + 2.0, 1e-4) << p.row << "," << p.column;
    else
      EXPECT_EQ(g.cell(p.row, p.column), g.missingElevation()) << p.row << "," << p.column;
  }
  // Zero is land: the rest of the rows read as 0 m.
  EXPECT_DOUBLE_EQ(g.cell(2, 0), 2.0);
  // The extremes cover the whole grid, the margin too.
  EXPECT_NEAR(g.zMax, 3778.0, 1e-3);
  EXPECT_NEAR(g.zMin, -2.9, 1e-4);
  EXPECT_EQ(run.ctx.anomalyMessage, "");
}

TEST(EtopoReader, ShortFileKeepsTheRowsReadSoFar) {
  TempFolder temp;
  const long long west = 139 * 60, north = 36 * 60;
  const long long r0 = 90 * 60 - north, c0 = west + 180 * 60;
  // The file ends in the middle of the grid's second row.
  SparseEtopo file(temp / "short.flt", ((r0 + 1) * kEtopoColumns + c0 + 2) * 4);
  file.put(r0, c0, 10.f);
  file.put(r0 + 1, c0, 20.f);
  ElevationRun run(kEtopo);
  run.layOut(minutes(west), minutes(north), 4, 3);
  elevation::readEtopoFile(run.ctx, file.path());
  EXPECT_DOUBLE_EQ(run.grid().cell(0, 0), 10.0);
  EXPECT_DOUBLE_EQ(run.grid().cell(1, 0), 20.0);
  EXPECT_EQ(run.grid().cell(1, 2), run.grid().missingElevation());
  EXPECT_EQ(run.grid().cell(2, 0), run.grid().missingElevation());
}

TEST(EtopoReader, OnlyTheGlobalGridSourceReadsIt) {
  TempFolder temp;
  SparseEtopo file(temp / "etopo1.flt");
  ElevationRun run(1);
  run.layOut(minutes(139 * 60), minutes(36 * 60), 4, 3);
  elevation::readEtopoFile(run.ctx, file.path());
  EXPECT_EQ(run.storedCells(), 0);
  // An unreadable file is reported.
  ElevationRun global(kEtopo);
  global.layOut(minutes(139 * 60), minutes(36 * 60), 4, 3);
  elevation::readEtopoFile(global.ctx, temp / "absent.flt");
  EXPECT_NE(global.ctx.anomalyMessage.find("absent.flt"), std::string::npos);
}
