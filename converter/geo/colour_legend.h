#pragma once
// DXF text of colours and lineweights, and the elevation legend labels. Each function
// returns the fragment a caller writes after its group code line; fragments that span
// several DXF lines carry CR LF inside.
//
// fileFormat is the output flavour: 0 "DXF 2004 TrueColor", 1 "DXF 2000  255色",
// 2 "DXF JW_CAD 8色", 3 "DXF Adobe Illustrator".
#include <cstdint>
#include <string>
#include <string_view>

namespace geo {

// R×65536 + G×256 + B in decimal (the value of a 420 group) of a 0x00BBGGRR colour.
std::string trueColourText(std::uint32_t bgr);

// The value after "62": the palette index of the colour, or "7\r\n420\r\n<true colour>"
// when no entry has it. The 255-colour flavour cannot hold a true colour, so there the
// miss also sets *stopRun (the caller then clears its runContinue); stopRun may be null.
std::string paletteColour(std::uint32_t bgr, int fileFormat, bool* stopRun);

// The value after "370" for a lineweight choice (0..24); any other index gives "5".
std::string lineweightCode(int index);

// The value after "62" for legend level i of n (i = 0..n). In the true-colour flavours
// it is followed by a 420 pair, the ramp blue→cyan→green→yellow→red starting from the
// base 32 × rampPosition (the "凡例色" position, 0..7).
std::string rgb(int i, int n, int fileFormat, int rampPosition);

// A complete colour fragment starting with "62": a pale colour that depends only on the
// area name, so an area keeps its colour from run to run.
std::string areacl(std::string_view nameUtf8, int fileFormat);

// The legend of one sheet.
struct SheetLegend {
  double interval;  // metres per level
  double bottom;    // metres
  int decimals;     // 0, 1 or 2
};

// The label of `value` (metres) on a legend of n levels: " <bottom>未満",
// "_<level>" or "_<top>以上", numbers right-aligned to a common width, the first "."
// replaced by `separator` (callers building layer names pass "_").
std::string legendLabel(const SheetLegend& legend, int n, std::string_view separator,
                        double value);

}  // namespace geo
