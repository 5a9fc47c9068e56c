#pragma once
// Elevation cross sections of a sheet: straight section lines across the sheet, each with
// its profile diagram below the sheet (frame, profile, area, direction, vertical scale)
// and the sampled elevations written along the line on the map.
#include <vector>

#include "converter/geo/section_lines.h"
#include "converter/sheet/entity_writer.h"
#include "converter/sheet/run_context.h"

namespace elevation {

struct SectionLine {
  dxfio::Vertex from, to;  // A (behind the direction) and B
};

// The section lines of the current sheet, in drawing order.
std::vector<SectionLine> sectionLines(const sheet::RunContext& ctx);
using geo::nearHorizontal;

void writeCrossSections(sheet::RunContext& ctx, sheet::EntityWriter& out);

}  // namespace elevation
