#pragma once
// The coloured elevation mesh of a sheet, drawn from its elevation grid: a block insert
// per cell for the published DEM sources, a triangulated surface of 3DFACEs for the global
// grid. Each entity lies on the layer of its elevation class ("標高MESH" + label), so the
// layer table colours the mesh.
#include "converter/sheet/entity_writer.h"
#include "converter/sheet/run_context.h"

namespace elevation {

// Sources 0..3: an INSERT of the source's cell block at every cell with data.
void writeMeshBlocks(sheet::RunContext& ctx, sheet::EntityWriter& out);
// Source 4: two triangles at most per quad of neighbouring cell centres.
void writeMeshFaces(sheet::RunContext& ctx, sheet::EntityWriter& out);

}  // namespace elevation
