#pragma once
// Contour lines of a sheet, traced through its elevation grid at every legend level by a
// marching-squares walk that keeps the higher ground on its right. Closed lines that turn
// toward lower ground are depressions. Lines are filtered by the contour target, their
// length and the sheet, then written as polylines, or as filled areas with outlines when
// only depressions are drawn as areas.
#include <cstddef>
#include <vector>

#include "converter/sheet/entity_writer.h"
#include "converter/sheet/run_context.h"

namespace elevation {

// Closure of a traced line.
enum class Closure { open = 0, hill = 1, depression = -1 };

void writeContours(sheet::RunContext& ctx, sheet::EntityWriter& out);

// One traced line in grid coordinates (x = column, y = row), for tests.
struct TracedLine {
  Closure closure;
  std::vector<geo::PointPair> vertices;
};
// How an interior crossing is found to be passed already: by marks on the grid edges
// (constant cost), or by comparing it with every vertex kept at the level (the plain
// lookup, whose cost grows with the square of the contour length; kept for comparison).
enum class CrossingLookup { marks, plain };
// Every line kept at `level`, in the order they were found; false when the line store ran
// out of room (the run has been stopped).
bool traceLevel(sheet::RunContext& ctx, double level, std::vector<TracedLine>& lines,
                CrossingLookup lookup = CrossingLookup::marks);

}  // namespace elevation
