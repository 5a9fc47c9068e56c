#pragma once
// Colours and lineweights as DXF values, and the elevation legend labels.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "converter/geo/flavour.h"

namespace geo {

// The colour of an entity or layer: the index (group 62) and, where the flavour takes
// one, the true colour R×65536 + G×256 + B (group 420).
struct Colour {
  int index;
  std::optional<long long> trueColour;
  bool operator==(const Colour&) const = default;
};

// R×65536 + G×256 + B of a 0x00BBGGRR colour.
long long trueColourValue(std::uint32_t bgr);

// The palette index of the colour, or index 7 with the true colour when no entry has it.
// The 255-colour flavour cannot hold a true colour, so there the miss also sets *stopRun
// (the caller then clears its runContinue); stopRun may be null.
Colour paletteColour(std::uint32_t bgr, Flavour flavour, bool* stopRun);

// The lineweights of the 25 weight choices (hundredths of a millimetre; -3 the default).
inline constexpr std::array<int, 25> kLineweights = {-3, 0,  5,  9,  13, 15,  18,  20,  25,  30,  35,  40, 50,
                                                     53, 60, 70, 80, 90, 100, 106, 120, 140, 158, 200, 211};
// The value of 370 for a lineweight choice (0..24); any other index gives 5.
int lineweightCode(int index);

// The colour of legend level i of n (i = 0..n). In the true-colour flavours the true
// colour follows the ramp blue→cyan→green→yellow→red from the base 32 × rampPosition
// (the "凡例色" position, 0..7).
Colour rgb(int i, int n, Flavour flavour, int rampPosition);

// A pale colour that depends only on the area name, so an area keeps its colour from run
// to run.
Colour areacl(std::string_view nameUtf8, Flavour flavour);

// The legend of one sheet.
struct SheetLegend {
  double interval;  // metres per level
  double bottom;    // metres
  int decimals;     // 0, 1 or 2
};

// The label of `value` (metres) on a legend of n levels: " <bottom>未満",
// "_<level>" or "_<top>以上", numbers right-aligned to a common width, the first "."
// replaced by `separator` (callers building layer names pass "_").
std::string legendLabel(const SheetLegend& legend, int n, std::string_view separator, double value);

}  // namespace geo
