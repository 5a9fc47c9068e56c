#pragma once
// Where the cross sections of a sheet run. One section crosses the sheet through its
// centre in the direction of the angle; several are parallel lines across the largest
// rectangle, turned by the angle, that fits the sheet. The run draws them and the area
// picker previews them, so both take them from here.
#include <vector>

#include "converter/geo/point_pair.h"

namespace geo {

// x easting, y northing; the sheet is width x height around `centre`.
struct SheetFrame {
  PointPair centre;
  double width, height;
};

struct SectionLine {
  PointPair from, to;  // A (behind the direction) and B
};

// The turned rectangle: the sections run from side c1-c2 to side c4-c3, the first from c1 to c4.
struct SectionCorners {
  PointPair c1, c2, c3, c4;
};

// True for angles (tenths of a degree) within 45 degrees of east or west.
bool nearHorizontal(int angleTenths);

SectionCorners sectionCorners(const SheetFrame& sheet, int angleTenths);
// `count` sections (at least one), first to last.
std::vector<SectionLine> sectionLines(const SheetFrame& sheet, int angleTenths, int count);

}  // namespace geo
