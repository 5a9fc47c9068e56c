#pragma once
// The output flavour of a run ("ファイル形式"). Settings files store its number.
namespace geo {

enum class Flavour : int {
  trueColour = 0,   // "DXF 2004 TrueColor"
  palette255 = 1,   // "DXF 2000  255色"
  jwCad = 2,        // "DXF JW_CAD 8色"
  illustrator = 3,  // "DXF Adobe Illustrator"
};

// Release 2004 files whose colours may carry a 420 true colour.
constexpr bool hasTrueColour(Flavour f) { return f == Flavour::trueColour || f == Flavour::illustrator; }
// Release 2000 files that know only the colour index.
constexpr bool paletteOnly(Flavour f) { return f == Flavour::palette255 || f == Flavour::jwCad; }
// Single-line TEXT entities instead of MTEXT, for readers that lack the latter's formats.
constexpr bool plainText(Flavour f) { return paletteOnly(f); }

}  // namespace geo
