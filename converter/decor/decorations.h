#pragma once
// The map furniture of a sheet: true-north arrows beside it in the drawing, and the
// printed sheet's north arrow, scale bar, elevation legend, title, information column,
// sheet name and datum and contour notes. The furniture lies on the paper of the layout
// (paper space) or, for the flavours whose readers lack layouts, beside the sheet in the
// drawing at the place the paper would put it.
#include <string>

#include "converter/sheet/entity_writer.h"
#include "converter/sheet/run_context.h"

namespace decor {

// The run's placement of the scale bar and the legend on the paper (before the first sheet).
void placeFurniture(sheet::RunContext& ctx);
// Two true-north arrows, west and east of the current sheet, along its meridians.
void writeTrueNorthArrows(sheet::RunContext& ctx, sheet::EntityWriter& out);
// Everything on the paper, after the border and the viewports.
void writeDecorations(sheet::RunContext& ctx, sheet::EntityWriter& out);

// Step between labelled legend levels and the format of their labels.
struct LegendLabels {
  double step;
  double first;  // the highest labelled value
  const char* format;
};
LegendLabels legendLabels(int levels, double interval, double bottom, int decimals);
// The length of the scale bar: "3km", "500m", "1000m".
std::string scaleBarText(double metres);
// The contour interval as a note writes it: 10 → "10", 2.5 → "2.5", 0.25 → "0.25".
std::string intervalText(double metres);

}  // namespace decor
