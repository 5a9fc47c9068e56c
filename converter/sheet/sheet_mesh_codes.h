#pragma once
// The mesh code list of the current sheet, which the readers keep their files by.
#include "converter/geo/mesh_codes.h"
#include "converter/sheet/run_context.h"

namespace sheet {

enum class MeshBox { grid, sheet };

// Fills the run's meshCodeList for the current grid's demBox or the current sheet.
void buildMeshCodeList(RunContext& ctx, geo::MeshCodeKind kind, MeshBox box);

}  // namespace sheet
