#include "converter/sheet/sheet_mesh_codes.h"

namespace sheet {

void buildMeshCodeList(RunContext& ctx, geo::MeshCodeKind kind, MeshBox choice) {
  geo::GeoBox box = ctx.elevationGrid.demBox;
  if (choice == MeshBox::sheet &&
      !geo::sheetGeoBox(ctx.coordinates, ctx.sheetWest, ctx.sheetEast, ctx.sheetSouth, ctx.sheetNorth, box)) {
    // Without a box no mesh belongs to the sheet.
    if (geo::clearsList(kind)) ctx.meshCodeList.clear();
    ctx.reportOnce("図郭の緯度経度を求められません");
    return;
  }
  geo::listMeshCodes(ctx.meshCodeList, kind, box);
}

}  // namespace sheet
