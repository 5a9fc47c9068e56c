#pragma once
// The fonts of the two text styles of a sheet and of the inline font codes of MTEXT,
// chosen by the "フォント" setting (0 明朝, 1 P明朝, 2 ゴシック, 3 Pゴシック, 4 MS UI Gothic).
#include <string_view>

#include "converter/geo/flavour.h"
#include "dxfio/dxf_writer.h"

namespace sheet {

// The font group of the STANDARD style (3, 4, 1001, 1000, 1071).
void writeStandardFont(dxfio::DxfWriter& w, geo::Flavour flavour, int font);
// The font group of the vertical-writing style TATEGAKI.
void writeVerticalFont(dxfio::DxfWriter& w, geo::Flavour flavour, int font);
// The face name inside an MTEXT font code ("{\fMS Gothic|b0|…"); MS UI Gothic falls back
// to MS PGothic there.
std::string_view inlineFontFace(int font);

}  // namespace sheet
