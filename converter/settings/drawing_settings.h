#pragma once
// Every option of a conversion. Typed numeric fields are kept as text, exactly as typed;
// only the start checks parse them. Choice fields hold the item index, -1 for none.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "converter/geo/flavour.h"
#include "converter/settings/layer_tree.h"
#include "converter/settings/legend_table.h"

namespace settings {

inline constexpr int kNoChoice = -1;
inline constexpr int kElevationSourceCount = 5;  // 5 m, 10 m, 50 m, 250 m, one-arc-minute grid
inline constexpr std::int64_t kDefaultBufferCells = 2097152;
inline constexpr int kDefaultContourShare = 8;

struct DrawingSettings {
  // 基本設定
  std::string writeFolder;
  std::string printerName;  // empty: none chosen
  bool processSubfolders = true;
  // The main window converts several sheets at the same time (off unless switched on).
  bool parallelSheets = false;
  std::string paperSize;
  int paperOrientation = 1;  // 0 縦長, 1 横長
  std::string penTable = "none";
  int textFont = 4;
  int drawingUnit = 0;  // 0 mm, 1 cm, 2 m
  int scaleChoice = 0;
  int marginLeft = 0, marginTop = 0, marginRight = 0, marginBottom = 0;
  int fileFormat = 0;  // the flavour's number, as the form and the settings files hold it
  int initialSpace = 0;
  int viewerChoice = 0;

  // 描画範囲設定
  std::string mapName;
  int coordinateSystem = kNoChoice;  // index into the 56 items
  std::string northEdge = "0.01";
  std::string southEdge = "0";
  std::string westEdge = "0";
  std::string eastEdge = "0.01";
  std::string sheetColumns = "1";
  std::string sheetRows = "1";
  int overlapPercent = 0;
  std::string eastWestCorrection;
  std::string northSouthCorrection;

  // 標高設定
  std::string elevationFolder;
  int meshSource = kNoChoice;     // 0..4
  int contourSource = kNoChoice;  // 0..4
  int contourWeightRule = 0;
  int contourTarget = 1;
  int shortContourOmission = 0;
  std::string datumCorrection = "0";
  std::string elevationExaggeration = "1";
  int legendColourRamp = 6;
  int legendLevelChoice = 4;
  bool legendAuto = true;
  int legendIntervalBias = 5;
  int legendBottomBias = 2;
  bool crossSectionsOn = false;
  int crossSectionCount = 11;
  int crossSectionAngle = -1234;
  LegendTable legendIntervals;
  LegendTable legendBottoms;

  // 標準地域メッシュ
  bool meshGridOn = false;
  std::uint32_t meshGridColour = 0;
  int meshGridStyle = 3073;
  int meshCodeDigits = 1;
  std::string meshGridCaption;  // "001標準地域メッシュ"

  // 描画制御
  std::string symbolScale = "1.0";
  int objectRankFilter = 0;
  int minBuildingPerimeter = 0;
  std::string minRoadWidth = "0.0";

  // Data folders and layers
  std::string fgdFolder;
  LayerTree fgdLayers;
  std::string mlitFolder;
  std::vector<MlitLayerEntry> mlitLayers;
  std::string basicInfoFolder;
  LayerTree basicInfoLayers;
  // Captions of the five mesh and the five contour source boxes, from the tree file.
  std::array<std::string, kElevationSourceCount> meshSourceCaptions;
  std::array<std::string, kElevationSourceCount> contourSourceCaptions;

  // Held only while the program runs (memory dialog).
  std::int64_t elevationBufferCells = kDefaultBufferCells;
  int contourShare = kDefaultContourShare;

  // Coupling rules the window applies as the user edits.

  // At most one box of each set is on; switching a box on switches the others off.
  void setMeshSource(int source, bool on);
  void setContourSource(int source, bool on);
  // Items of the legend level list for the file format; a selection past the end moves
  // to the last item.
  void applyFileFormatRules();
  int legendLevelItemCount() const;
  geo::Flavour flavour() const { return static_cast<geo::Flavour>(fileFormat); }
  bool legendColourControlsVisible() const { return geo::hasTrueColour(flavour()); }
  bool trueColourButtonVisible() const { return legendColourControlsVisible(); }
  // The overlap field is shown only with more than one sheet.
  bool overlapVisible() const;
  // The north and east edges are computed for a fixed scale.
  bool northEastEdgesEditable() const { return scaleChoice == 0 || scaleChoice == 1; }
  bool biasSlidersVisible() const { return legendAuto; }
  // "高:" height " 幅:" width, or empty when the area does not parse.
  std::string sheetSizeText() const;
  // Legend tables sized to the typed sheet counts (an empty count is 1).
  void resizeLegendTables();
  // Sheet counts as the legend tables read them from their fields.
  int typedRows() const;
  int typedColumns() const;
};

// Characters a numeric field accepts while typing: digits, "-", "." (and backspace).
bool acceptsTypedCharacter(char32_t ch);
// What remains of a typed text after the filter.
std::string filterTyped(const std::string& text);

// Whole-text number parsing as the start checks do it: optional blanks, sign, digits,
// a full stop, an exponent. Empty or anything else fails.
bool parseReal(const std::string& text, double& value);
bool parseInteger(const std::string& text, long long& value);

}  // namespace settings
