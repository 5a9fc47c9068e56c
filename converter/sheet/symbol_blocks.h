#pragma once
// The block library every sheet carries in its BLOCKS section: the model and paper space
// blocks, five elevation mesh cells and 63 map symbols. Producers insert the cells and
// symbols by name. The library is the same in every sheet, so its handles are fixed:
// block records 26 … 69, then BLOCK, entity and ENDBLK records 6A … 1D2, which leaves
// 1D3 (kFirstProducerHandle) as the first handle of everything else.
#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

#include "dxfio/dxf_writer.h"

namespace sheet {

inline constexpr std::uint32_t kFirstLibraryRecord = 0x26;
inline constexpr std::uint32_t kFirstLibraryHandle = 0x6A;
inline constexpr std::uint32_t kLastLibraryHandle = 0x1D2;

// Half width and half height of the cell of each elevation source, in drawing units
// (unitsPerMetre × meshHalfWidths[i] and × meshHalfHeights[i]), in source order:
// 5 m, 10 m, 50 m, 250 m, one-arc-minute grid.
//
// The blocks "5M", "10M", "50M" and "250M" take entries 0 … 3 as they are. The "1500M"
// block is six 250 m cells across and down: writeLibraryBlocks applies the factor 6 to
// entry 3 itself, so entry 4 (the one-arc-minute cell proper, which is not 6 × 250 m) is
// not used by the blocks.
struct MeshCellHalfSizes {
  std::array<double, 5> halfWidth{}, halfHeight{};
};

// "5M", "10M", "50M", "250M", "1500M", in the order written.
const std::vector<std::string_view>& meshCellBlockNames();
// The 63 symbol names ("三角点" … "専門学校", UTF-8), in the order written.
const std::vector<std::string_view>& symbolBlockNames();
// Whether a block of that exact name is in the library (cells and symbols).
bool isLibraryBlock(std::string_view name);

// The BLOCK_RECORD table entries of the five cells and the 63 symbols (records 26 … 69),
// each with 340=0. The table head and the two space records are the caller's.
void writeLibraryBlockRecords(dxfio::DxfWriter& w);
// BLOCK/ENDBLK pairs of *Model_Space (15/16) and *Paper_Space (17/18, with 67=1).
void writeSpaceBlocks(dxfio::DxfWriter& w);
// The five cell blocks, then the 63 symbols, with the fixed handles 6A … 1D2. Writes no
// SECTION or ENDSEC and does not touch w.nextHandle.
void writeLibraryBlocks(dxfio::DxfWriter& w, const MeshCellHalfSizes& cells);

}  // namespace sheet
