#pragma once
// The fixed lists behind the choice fields of the drawing settings.
#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "converter/geo/colour_legend.h"

namespace settings {

extern const std::array<std::string_view, 2> kOrientationItems;  // "縦長", "横長"
extern const std::array<std::string_view, 5> kPenTableItems;
extern const std::array<std::string_view, 5> kTextFontItems;
extern const std::array<std::string_view, 3> kDrawingUnitItems;  // "mm", "cm", "m"
extern const std::array<std::string_view, 32> kScaleItems;
extern const std::array<double, 32> kScaleDenominators;
extern const std::array<std::string_view, 4> kFileFormatItems;
extern const std::array<std::string_view, 2> kInitialSpaceItems;
extern const std::array<std::string_view, 2> kViewerItems;
extern const std::array<std::string_view, 8> kContourWeightItems;
extern const std::array<std::string_view, 4> kContourTargetItems;
extern const std::array<std::string_view, 14> kShortContourItems;
extern const std::array<std::string_view, 8> kLegendLevelItems;
extern const std::array<std::string_view, 5> kRankFilterItems;
extern const std::array<int, 5> kRankThresholds;
extern const std::array<std::string_view, 3> kMeshCodeDigitItems;
extern const std::array<std::string_view, 29> kSizeItems;
extern const std::array<double, 29> kSizeFactors;

// Metres of the legend step whose multiples the contour weight rule draws thick (rules
// 1 "1m台を太く" … 7 "1000m台を太く"); none for rule 0 and unknown rules.
std::optional<double> thickContourStep(int rule);
extern const std::array<std::string_view, 25> kWeightItems;
// The 370 value of each weight item.
inline constexpr const std::array<int, 25>& kWeightCodes = geo::kLineweights;

// The 56 coordinate system items, e.g. "第 1座標系 長崎県".
const std::vector<std::string>& coordinateSystemItems();
// Zone number taken back from an item text: the third character when the second is a
// blank, else the second and third. 0 when the text yields no number.
int zoneFromItemText(std::string_view itemText);

// Number of items of the legend level list for a file format (8, 5 or 3).
int legendLevelItemCount(int fileFormat);

inline constexpr int kDefaultStyleCode = 3074;  // size 12, weight 2
inline constexpr int styleCode(int sizeIndex, int weightIndex) { return sizeIndex * 256 + weightIndex; }

}  // namespace settings
