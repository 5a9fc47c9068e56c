#pragma once
// The standard area mesh over a sheet: meridians and parallels of its cells at the chosen
// level (first, second or third), and the mesh code of every cell at its south-west corner.
#include "converter/sheet/entity_writer.h"
#include "converter/sheet/run_context.h"

namespace decor {

// Cell size in degrees of a "標準地域メッシュ" digits item: 0 "4桁", 2 "8桁", any other "6桁".
struct MeshStep {
  double latitude, longitude;
};
MeshStep meshGridStep(int meshCodeDigits);

// The cells over a geographic box: the south-west corner rounded down to a grid line, the
// north-east one raised by a whole cell (an edge on a grid line gets the line beyond it).
struct MeshCells {
  double south, west;  // degrees, the first cell's south-west corner
  long long columns, rows;
};
MeshCells meshGridCells(double south, double west, double north, double east, MeshStep step);

// The code of the cell whose south-west corner is (latitude, longitude), in degrees.
std::string meshGridCode(double latitude, double longitude, int meshCodeDigits);

// Grid and codes on the layer of the mesh grid check box, over the current sheet.
void writeMeshGrid(sheet::RunContext& ctx, sheet::EntityWriter& out);

}  // namespace decor
