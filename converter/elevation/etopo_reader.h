#pragma once
// The one-arc-minute global relief grid: a raw file of 21600 x 10800 little-endian
// 32-bit floats, rows from 90 N southwards, columns from 180 W eastwards, no header.
#include <filesystem>

namespace sheet {
struct RunContext;
}

namespace elevation {

inline constexpr long long kEtopoColumns = 21600;
inline constexpr long long kEtopoRows = 10800;

// Rewrites the whole grid from the file, row by row; land above -5 m is stored, the sea
// floor and values that are not numbers are missing. A seek or read failure ends the
// file and leaves the rows read so far.
void readEtopoFile(sheet::RunContext& ctx, const std::filesystem::path& path);

}  // namespace elevation
