#pragma once
// Services on the elevation grid of a sheet: the automatic legend (interval and bottom)
// and the elevation at a drawing position.
#include <string>

namespace sheet {
struct RunContext;
}

namespace elevation {

// How an interval is rounded: down to a step that grows with it when every contour is
// thin, or to a value that divides the thick-contour steps of the chosen family.
enum class LegendLadder { thinOnly, fives, tens };

// The ladder the settings choose (contour weight rule, contour source).
LegendLadder legendLadder(int contourSource, int contourWeightRule);
double snapLegendInterval(double interval, LegendLadder ladder);

// Computes the sheet's legend from the grid's samples and writes it into the sheet's
// cells of the legend tables, in drawing units. A grid without samples leaves them.
void analyseLegend(sheet::RunContext& ctx);

// Elevation (metres) of the nearest cell at drawing easting xxx, northing yyy. Outside
// the grid the anomaly text is set and datumOffset - 99999 returned.
double xytoz(sheet::RunContext& ctx, double xxx, double yyy);

// Text of a legend value as the tables hold it: at most 15 significant digits, no
// trailing zeros.
std::string legendValueText(double value);

}  // namespace elevation
