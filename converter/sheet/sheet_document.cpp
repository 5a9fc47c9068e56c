#include "converter/sheet/sheet_document.h"

#include <algorithm>
#include <cmath>

#include "converter/sheet/layer_table.h"
#include "converter/sheet/symbol_blocks.h"
#include "converter/sheet/text_fonts.h"

namespace sheet {

namespace {

using settings::DrawingSettings;
using settings::RunValues;

std::string integerText(double value) { return std::to_string(static_cast<long long>(value)); }

// Fixed records, one a line.
// clang-format off
// The class the 2004 flavours add before LAYOUT.
constexpr dxfio::Pair kDictionaryWithDefaultClass[] = {
    {0, "CLASS"}, {1, "ACDBDICTIONARYWDFLT"}, {2, "AcDbDictionaryWithDefault"}, {3, "ObjectDBX Classes"}, {90, "0"},
      {91, "1"}, {280, "0"}, {281, "0"},
};

// VPORT table and its *Active record up to the view centre.
constexpr dxfio::Pair kViewportTableHead[] = {
    {0, "TABLE"}, {2, "VPORT"}, {5, "1"}, {330, "0"}, {100, "AcDbSymbolTable"}, {70, "1"},
    {0, "VPORT"}, {5, "2"}, {330, "1"}, {100, "AcDbSymbolTableRecord"}, {100, "AcDbViewportTableRecord"},
      {2, "*Active"}, {70, "0"}, {10, "0"}, {20, "0"}, {11, "1"}, {21, "1"},
};

// The *Active record after its view size, and the end of the table.
constexpr dxfio::Pair kActiveViewportTail[] = {
    {42, "50"}, {43, "0"}, {44, "0"}, {50, "0"}, {51, "0"}, {71, "0"}, {72, "1000"}, {73, "1"}, {74, "3"}, {75, "0"},
      {76, "0"}, {77, "0"}, {78, "0"}, {281, "0"}, {65, "0"}, {110, "0"}, {120, "0"}, {130, "0"}, {111, "1"},
      {121, "0"}, {131, "0"}, {112, "0"}, {122, "1"}, {132, "0"}, {79, "0"}, {146, "0"},
    {0, "ENDTAB"},
};

// LTYPE table with its three fixed records.
constexpr dxfio::Pair kFixedLineTypes[] = {
    {0, "TABLE"}, {2, "LTYPE"}, {5, "3"}, {330, "0"}, {100, "AcDbSymbolTable"}, {70, "3"},
    {0, "LTYPE"}, {5, "4"}, {330, "3"}, {100, "AcDbSymbolTableRecord"}, {100, "AcDbLinetypeTableRecord"},
      {2, "ByBlock"}, {70, "0"}, {3, ""}, {72, "65"}, {73, "0"}, {40, "0"},
    {0, "LTYPE"}, {5, "5"}, {330, "3"}, {100, "AcDbSymbolTableRecord"}, {100, "AcDbLinetypeTableRecord"},
      {2, "ByLayer"}, {70, "0"}, {3, ""}, {72, "65"}, {73, "0"}, {40, "0"},
    {0, "LTYPE"}, {5, "6"}, {330, "3"}, {100, "AcDbSymbolTableRecord"}, {100, "AcDbLinetypeTableRecord"},
      {2, "CONTINUOUS"}, {70, "0"}, {3, "Solid Line"}, {72, "65"}, {73, "0"}, {40, "0"},
};

// Layer "0".
constexpr dxfio::Pair kLayerZero[] = {
    {0, "LAYER"}, {5, "8"}, {330, "7"}, {100, "AcDbSymbolTableRecord"}, {100, "AcDbLayerTableRecord"}, {2, "0"},
      {70, "0"}, {62, "7"}, {6, "CONTINUOUS"}, {370, "0"}, {390, "22"},
};

// STYLE table and the STANDARD record up to its height.
constexpr dxfio::Pair kStyleTableHead[] = {
    {0, "TABLE"}, {2, "STYLE"}, {5, "9"}, {330, "0"}, {100, "AcDbSymbolTable"}, {70, "2"}, {3, "4"}, {1001, "ACAD"},
      {1000, "ＭＳ Ｐ明朝"}, {1071, "32786"},
    {0, "STYLE"}, {5, "A"}, {330, "9"}, {100, "AcDbSymbolTableRecord"}, {100, "AcDbTextStyleTableRecord"},
      {2, "STANDARD"}, {70, "0"},
};

// VIEW, UCS, APPID and DIMSTYLE tables.
constexpr dxfio::Pair kEmptyTables[] = {
    {0, "TABLE"}, {2, "VIEW"}, {5, "C"}, {330, "0"}, {100, "AcDbSymbolTable"}, {70, "0"},
    {0, "ENDTAB"},
    {0, "TABLE"}, {2, "UCS"}, {5, "D"}, {330, "0"}, {100, "AcDbSymbolTable"}, {70, "0"},
    {0, "ENDTAB"},
    {0, "TABLE"}, {2, "APPID"}, {5, "E"}, {330, "0"}, {100, "AcDbSymbolTable"}, {70, "1"},
    {0, "APPID"}, {5, "F"}, {330, "E"}, {100, "AcDbSymbolTableRecord"}, {100, "AcDbRegAppTableRecord"}, {2, "ACAD"},
      {70, "0"},
    {0, "ENDTAB"},
    {0, "TABLE"}, {2, "DIMSTYLE"}, {5, "10"}, {330, "0"}, {100, "AcDbSymbolTable"}, {70, "1"},
      {100, "AcDbDimStyleTable"}, {71, "0"},
    {0, "DIMSTYLE"}, {105, "11"}, {330, "10"}, {100, "AcDbSymbolTableRecord"}, {100, "AcDbDimStyleTableRecord"},
      {2, "Standard"}, {70, "0"}, {340, "A"},
    {0, "ENDTAB"},
};

// BLOCK_RECORD table and the two space records.
constexpr dxfio::Pair kBlockRecordTableHead[] = {
    {0, "TABLE"}, {2, "BLOCK_RECORD"}, {5, "12"}, {330, "0"}, {100, "AcDbSymbolTable"}, {70, "65"},
    {0, "BLOCK_RECORD"}, {5, "13"}, {330, "12"}, {100, "AcDbSymbolTableRecord"}, {100, "AcDbBlockTableRecord"},
      {2, "*Model_Space"}, {340, "25"},
    {0, "BLOCK_RECORD"}, {5, "14"}, {330, "12"}, {100, "AcDbSymbolTableRecord"}, {100, "AcDbBlockTableRecord"},
      {2, "*Paper_Space"}, {340, "24"},
};

// The paper layout after its paper size.
constexpr dxfio::Pair kPaperLayoutTail[] = {
    {35, "0"}, {146, "0"}, {13, "0"}, {23, "0"}, {33, "0"}, {16, "1"}, {26, "0"}, {36, "0"}, {17, "0"}, {27, "1"},
      {37, "0"}, {76, "0"}, {330, "14"}, {331, "1A"},
};

// The model layout after its rotation.
constexpr dxfio::Pair kModelLayoutTail[] = {
    {74, "0"}, {7, ""}, {75, "0"}, {147, "1"}, {76, "0"}, {77, "2"}, {78, "300"}, {148, "0"}, {149, "0"},
      {100, "AcDbLayout"}, {1, "Model"}, {70, "1"}, {71, "0"}, {10, "0"}, {20, "0"}, {11, "12"}, {21, "9"},
      {12, "0"}, {22, "0"}, {32, "0"}, {14, "0"}, {24, "0"}, {34, "0"}, {15, "0"}, {25, "0"}, {35, "0"}, {146, "0"},
      {13, "0"}, {23, "0"}, {33, "0"}, {16, "1"}, {26, "0"}, {36, "0"}, {17, "0"}, {27, "1"}, {37, "0"}, {76, "0"},
      {330, "13"},
};

// OBJECTS section: dictionaries, placeholder and MLINESTYLE.
constexpr dxfio::Pair kObjectsHead[] = {
    {0, "SECTION"}, {2, "OBJECTS"},
    {0, "DICTIONARY"}, {5, "1C"}, {330, "0"}, {100, "AcDbDictionary"}, {281, "1"}, {3, "ACAD_GROUP"}, {350, "1D"},
      {3, "ACAD_PLOTSTYLENAME"}, {350, "1E"}, {3, "ACAD_MLINESTYLE"}, {350, "1F"}, {3, "ACAD_PLOTSETTINGS"},
      {350, "20"}, {3, "ACAD_LAYOUT"}, {350, "21"},
    {0, "DICTIONARY"}, {5, "1D"}, {102, "{ACAD_REACTORS"}, {330, "1C"}, {102, "}"}, {330, "1C"},
      {100, "AcDbDictionary"}, {281, "1"},
    {0, "ACDBDICTIONARYWDFLT"}, {5, "1E"}, {102, "{ACAD_REACTORS"}, {330, "1C"}, {102, "}"}, {330, "1C"},
      {100, "AcDbDictionary"}, {281, "1"}, {3, "Normal"}, {350, "22"}, {100, "AcDbDictionaryWithDefault"},
      {340, "22"},
    {0, "DICTIONARY"}, {5, "1F"}, {102, "{ACAD_REACTORS"}, {330, "1C"}, {102, "}"}, {330, "1C"},
      {100, "AcDbDictionary"}, {281, "1"}, {3, "Standard"}, {350, "23"},
    {0, "DICTIONARY"}, {5, "20"}, {102, "{ACAD_REACTORS"}, {330, "1C"}, {102, "}"}, {330, "1C"},
      {100, "AcDbDictionary"}, {281, "1"},
    {0, "DICTIONARY"}, {5, "21"}, {102, "{ACAD_REACTORS"}, {330, "1C"}, {102, "}"}, {330, "1C"},
      {100, "AcDbDictionary"}, {281, "1"}, {3, "ﾚｲｱｳﾄ1"}, {350, "24"}, {3, "Model"}, {350, "25"},
    {0, "ACDBPLACEHOLDER"}, {5, "22"}, {102, "{ACAD_REACTORS"}, {330, "1E"}, {102, "}"}, {330, "1E"},
    {0, "MLINESTYLE"}, {5, "23"}, {102, "{ACAD_REACTORS"}, {330, "1F"}, {102, "}"}, {330, "1F"},
      {100, "AcDbMlineStyle"}, {2, "STANDARD"}, {70, "0"}, {3, ""}, {62, "256"}, {51, "90"}, {52, "90"}, {71, "1"},
      {49, "0.5"}, {62, "0"}, {6, "BYLAYER"},
};
// clang-format on

// The view's corners, snap and grid, as every viewport here has them.
constexpr dxfio::Pair kViewGrid[] = {{13, "0"}, {23, "0"}, {14, "10"}, {24, "10"}, {15, "10"}, {25, "10"},
                                     {16, "0"}, {26, "0"}, {36, "1"},  {17, "0"},  {27, "0"},  {37, "0"}};
constexpr dxfio::Pair kViewportLens[] = {{42, "50"}, {43, "0"}, {44, "0"}};
constexpr dxfio::Pair kViewportEnd[] = {{50, "0"},  {51, "0"},  {72, "100"}, {90, "32864"}, {1, ""},
                                        {281, "0"}, {71, "0"},  {74, "0"},   {110, "0"},    {120, "0"},
                                        {130, "0"}, {111, "1"}, {121, "0"},  {131, "0"},    {112, "0"},
                                        {122, "1"}, {132, "0"}, {79, "0"},   {146, "0"}};

}  // namespace

SheetDocument::SheetDocument(const DrawingSettings& settings, const RunValues& values, SheetContext context)
    : s_(settings), values_(values), context_(std::move(context)), entities_(writer_, settings.flavour()) {}

SheetDocument::BeginResult SheetDocument::begin(const std::filesystem::path& file) {
  file_ = file;
  writer_.nextHandle = kFirstProducerHandle;
  if (!sink_.open(file)) {
    error_ = sink_.error();
    return BeginResult::CannotCreate;
  }
  std::string title = context_.title + "   ";
  // Every character before the handle seed is single-byte, so cutting bytes is safe.
  writer_.pair(999, title.substr(0, 21));
  writer_.pair(999, "  Made by Nelvarin");
  header();
  classes();
  bool stop = false;
  tables(&stop);
  if (stop) {
    sink_.close();
    return BeginResult::PaletteStop;
  }
  if (sink_.failed()) {
    error_ = sink_.error();
    sink_.close();
    return BeginResult::WriteFailed;
  }
  return BeginResult::Ok;
}

bool SheetDocument::writeBlocks() {
  blocks();
  writer_.pairs({{0, "SECTION"}, {2, "ENTITIES"}});
  if (sink_.failed()) {
    error_ = sink_.error();
    return false;
  }
  return true;
}

void SheetDocument::header() {
  auto& w = writer_;
  const auto& v = values_;
  w.pairs({{0, "SECTION"}, {2, "HEADER"}});
  w.pair(9, "$ACADVER");
  w.pair(1, geo::hasTrueColour(s_.flavour()) ? "AC1018" : "AC1015");
  w.pairs({{9, "$DWGCODEPAGE"}, {3, "ANSI_932"}, {9, "$HANDSEED"}});
  w.handleSeedPlaceholder();
  w.pairs({{9, "$MEASUREMENT"},
           {70, "1"},
           {9, "$LWDISPLAY"},
           {290, "1"},
           {9, "$PDMODE"},
           {70, "0"},
           {9, "$PDSIZE"},
           {40, "-5.0"},
           {9, "$INSUNITS"}});
  w.pair(70, s_.drawingUnit == 0 ? 4 : s_.drawingUnit == 1 ? 5 : 6);
  const double s = v.unitsPerPaperMillimetre, pw = v.pageWidthMm, ph = v.pageHeightMm;
  const double cx = (context_.column + 0.5) * v.sheetStepWidth + v.westEdge;
  const double cy = v.northEdge - (context_.row + 0.5) * v.sheetStepHeight;
  const bool landscape = s_.paperOrientation == 1;
  w.pair(9, "$EXTMIN");
  w.pair(10, landscape ? cx - 0.65 * pw * s : cx - pw * s);
  w.pair(20, cy - ph * s / 2);
  w.pair(9, "$EXTMAX");
  w.pair(10, landscape ? cx + 0.55 * pw * s : cx + pw * s);
  w.pair(20, cy + ph * s / 2);
  w.pairs({{9, "$CMLSTYLE"}, {2, "Standard"}, {9, "$TILEMODE"}});
  w.pair(70, s_.initialSpace == 0 ? 0 : 1);
  w.pairs({{0, "ENDSEC"}});
}

void SheetDocument::classes() {
  writer_.pairs({{0, "SECTION"}, {2, "CLASSES"}});
  if (geo::hasTrueColour(s_.flavour())) writer_.pairs(kDictionaryWithDefaultClass);
  writer_.pairs({{0, "CLASS"},
                 {1, "LAYOUT"},
                 {2, "AcDbLayout"},
                 {3, "AutoCAD 2000"},
                 {90, "0"},
                 {280, "0"},
                 {281, "0"},
                 {0, "ENDSEC"}});
}

void SheetDocument::tables(bool* stop) {
  writer_.pairs({{0, "SECTION"}, {2, "TABLES"}});
  viewportTable();
  lineTypeTable();
  layerTable(stop);
  if (*stop) return;
  styleTable();
  writer_.pairs(kEmptyTables);
  writer_.pairs(kBlockRecordTableHead);
  writeLibraryBlockRecords(writer_);
  writer_.pairs({{0, "ENDTAB"}, {0, "ENDSEC"}});
}

void SheetDocument::viewportTable() {
  auto& w = writer_;
  const auto& v = values_;
  const auto r = rect();
  w.pairs(kViewportTableHead);
  w.pair(12, r.west + v.sheetWidth / 2);
  w.pair(22, r.north - v.sheetHeight / 2);
  w.pairs(kViewGrid);
  w.pair(40, 1.1 * std::max(v.sheetWidth, v.sheetHeight));
  w.pair(41, v.sheetWidth / v.sheetHeight);
  w.pairs(kActiveViewportTail);
}

void SheetDocument::lineTypeTable() {
  auto& w = writer_;
  const double u = values_.unitsPerMetre;
  w.pairs(kFixedLineTypes);
  auto lineType = [&](const char* name, const char* description, int elements) {
    w.pair(0, "LTYPE");
    w.handle(5, w.takeHandle());
    w.pairs({{330, "3"}, {100, "AcDbSymbolTableRecord"}, {100, "AcDbLinetypeTableRecord"}});
    w.pair(2, name);
    w.pair(70, 0);
    w.pair(3, description);
    w.pair(72, 65);
    w.pair(73, elements);
  };
  const double k = std::sqrt(values_.unitsPerPaperMillimetre / 25 / u) * u;
  lineType("Power Line", "送電線 --:----:--", 2);
  w.pair(40, 100 * k);
  w.pair(49, 50 * k);
  w.pairs({{74, "2"}, {75, "0"}, {340, "A"}});
  w.pair(46, 18 * k);
  w.pairs({{50, "0"}, {44, "0"}});
  w.pair(45, -6 * k);
  w.pair(9, ":");
  w.pair(49, 50 * k);
  w.pair(74, 0);
  lineType("Dash Line", "点線 - - - - - - ", 2);
  w.pair(40, 28.5 * u);
  for (double len : {22.8, -5.7}) {
    w.pair(49, len * u);
    w.pair(74, 0);
  }
  lineType("Double Dash", "2点鎖線-- ･･ ---- ･･ --", 6);
  w.pair(40, 99 * u);
  for (double len : {73.5, -7.5, 1.5, -7.5, 1.5, -7.5}) {
    w.pair(49, len * u);
    w.pair(74, 0);
  }
  w.pairs({{0, "ENDTAB"}});
}

void SheetDocument::layerTable(bool* stop) {
  auto& w = writer_;
  w.pairs({{0, "TABLE"}, {2, "LAYER"}, {5, "7"}, {330, "0"}, {100, "AcDbSymbolTable"}});
  w.pair(70, layerCount(s_, values_));
  w.pairs(kLayerZero);
  for (const auto& layer : sheetLayers(s_, values_, context_.legend, stop)) {
    w.pair(0, "LAYER");
    w.handle(5, w.takeHandle());
    w.pairs({{330, "7"}, {100, "AcDbSymbolTableRecord"}, {100, "AcDbLayerTableRecord"}});
    w.pair(2, layer.name);
    w.pair(70, 0);
    w.pair(62, layer.colour.index);
    if (layer.colour.trueColour) w.pair(420, *layer.colour.trueColour);
    w.pair(6, "CONTINUOUS");
    if (layer.lineweight) w.pair(370, *layer.lineweight);
    w.pair(390, "22");
  }
  w.pairs({{0, "ENDTAB"}});
}

void SheetDocument::styleTable() {
  auto& w = writer_;
  const std::string height = integerText(30 * values_.unitsPerMetre);
  w.pairs(kStyleTableHead);
  w.pair(40, height);
  w.pairs({{41, "1"}, {50, "0"}, {71, "0"}});
  w.pair(42, height);
  writeStandardFont(w, s_.flavour(), s_.textFont);
  w.pairs({{0, "STYLE"},
           {5, "B"},
           {330, "9"},
           {100, "AcDbSymbolTableRecord"},
           {100, "AcDbTextStyleTableRecord"},
           {2, "TATEGAKI"}});
  w.pair(70, s_.flavour() == geo::Flavour::jwCad ? 4 : 0);
  w.pair(40, height);
  w.pairs({{41, "1.0"}, {50, "0.0"}, {71, "0"}});
  w.pair(42, height);
  writeVerticalFont(w, s_.flavour(), s_.textFont);
  w.pairs({{0, "ENDTAB"}});
}

void SheetDocument::blocks() {
  writer_.pairs({{0, "SECTION"}, {2, "BLOCKS"}});
  writeSpaceBlocks(writer_);
  MeshCellHalfSizes cells;
  for (int i = 0; i < 5; ++i) {
    cells.halfWidth[i] = values_.unitsPerMetre * values_.meshHalfWidths[i];
    cells.halfHeight[i] = values_.unitsPerMetre * values_.meshHalfHeights[i];
  }
  writeLibraryBlocks(writer_, cells);
  writer_.pairs({{0, "ENDSEC"}});
}

void SheetDocument::border() {
  auto& w = writer_;
  const auto r = rect();
  entityHead(w, "LWPOLYLINE", 0x19, kModelSpaceRecord, "0");
  w.pairs({{100, "AcDbPolyline"}, {90, "4"}, {70, "1"}, {43, "0"}});
  const dxfio::Vertex corners[] = {{r.west, r.north}, {r.west, r.south}, {r.east, r.south}, {r.east, r.north}};
  w.vertices(corners);
}

namespace {

// A paper-space VIEWPORT with its fixed handle, up to its subclass marker.
void viewportHead(dxfio::DxfWriter& w, std::string_view handle) {
  w.pairs({{0, "VIEWPORT"},
           {5, handle},
           {330, "14"},
           {100, "AcDbEntity"},
           {67, "1"},
           {8, "0"},
           {6, "Continuous"},
           {100, "AcDbViewport"}});
}

}  // namespace

void SheetDocument::viewports() {
  auto& w = writer_;
  const auto& v = values_;
  const auto r = rect();
  const double s = v.unitsPerPaperMillimetre;
  const double g = legendGridUnit();
  viewportHead(w, "1A");
  w.pair(10, (v.paperWidthMm - 2 * v.pageRightGapMm) / 2 * s);
  w.pair(20, (v.paperHeightMm - 2 * v.pageBottomGapMm) / 2 * s);
  w.pair(30, 0);
  w.pair(40, v.pageHeightMm * s * 1.5);
  w.pair(41, v.pageHeightMm * s * 1.1);
  w.pairs({{68, "1"}, {69, "1"}});
  w.pair(12, (v.pageWidthMm - v.pageRightGapMm - v.pageOffsetXMm) * s * 0.5);
  w.pair(22, (v.pageHeightMm - v.pageOffsetYMm - v.pageBottomGapMm) * s * 0.5);
  w.pairs(kViewGrid);
  w.pairs(kViewportLens);
  w.pair(45, v.pageHeightMm * s * 1.1);
  w.pairs(kViewportEnd);

  viewportHead(w, "1B");
  w.pair(10, (s_.marginLeft + 7.25 + 30) * g + v.usableWidthMm / 2 * s);
  w.pair(20, (s_.marginBottom + 5.25) * g + v.usableHeightMm / 2 * s);
  w.pair(30, 0);
  w.pair(40, v.sheetWidth);
  w.pair(41, v.sheetHeight);
  w.pairs({{68, "2"}, {69, "2"}});
  w.pair(12, r.west + v.sheetWidth / 2);
  w.pair(22, r.north - v.sheetHeight / 2);
  w.pairs(kViewGrid);
  w.pairs(kViewportLens);
  w.pair(45, v.sheetHeight);
  w.pairs(kViewportEnd);
}

void SheetDocument::layout(bool paper) {
  auto& w = writer_;
  const auto& v = values_;
  const double s = v.unitsPerPaperMillimetre;
  const bool sameOrientation = (v.printerLandscape ? 1 : 0) == s_.paperOrientation;
  w.pair(0, "LAYOUT");
  w.pair(5, paper ? "24" : "25");
  w.pairs({{102, "{ACAD_REACTORS"}, {330, "21"}, {102, "}"}, {330, "21"}, {100, "AcDbPlotSettings"}, {1, ""}});
  w.pair(2, s_.printerName);
  w.pair(4, s_.paperSize);
  w.pair(6, "");
  w.pair(40, v.pageOffsetXMm);
  w.pair(41, v.pageBottomGapMm);
  w.pair(42, v.pageRightGapMm);
  w.pair(43, v.pageOffsetYMm);
  w.pair(44, v.paperWidthMm);
  w.pair(45, v.paperHeightMm);
  w.pairs({{46, "0"}, {47, "0"}, {48, "0"}, {49, "0"}, {140, "0"}, {141, "0"}, {142, "1"}});
  if (paper) {
    w.pair(143, s);
    w.pairs({{70, "672"}, {72, "1"}});
    w.pair(73, sameOrientation ? 0 : 1);
    w.pair(74, 5);
    w.pair(7, s_.penTable);
    w.pair(75, 0);
    w.pair(147, s);
    w.pairs({{76, "0"},
             {77, "2"},
             {78, "300"},
             {148, "0"},
             {149, "0"},
             {100, "AcDbLayout"},
             {1, "ﾚｲｱｳﾄ1"},
             {70, "1"},
             {71, "1"}});
    w.pair(10, -v.pageRightGapMm * s);
    w.pair(20, -v.pageBottomGapMm * s);
    w.pair(11, (v.paperWidthMm - v.pageRightGapMm) * s);
    w.pair(21, (v.paperHeightMm - v.pageBottomGapMm) * s);
    w.pairs({{12, "0"}, {22, "0"}, {32, "0"}, {14, "0"}, {24, "0"}, {34, "0"}});
    w.pair(15, v.paperWidthMm * s);
    w.pair(25, v.paperHeightMm * s);
    w.pairs(kPaperLayoutTail);
  } else {
    w.pairs({{143, "1"}, {70, "1712"}, {72, "1"}});
    w.pair(73, v.printerLandscape ? 0 : 1);
    w.pairs(kModelLayoutTail);
  }
}

void SheetDocument::objects() {
  writer_.pairs(kObjectsHead);
  layout(true);
  layout(false);
  writer_.pairs({{0, "ENDSEC"}});
}

void SheetDocument::writeBorderAndViewports() {
  border();
  viewports();
}

bool SheetDocument::finish(dxfio::FileSink::Handover* later) {
  writer_.pairs({{0, "ENDSEC"}});
  objects();
  writer_.pairs({{0, "EOF"}});
  const std::uint32_t seed = writer_.nextHandle;
  if (!sink_.close()) {
    error_ = sink_.error();
    return false;
  }
  if (!sink_.patchHandleSeed(seed) || !(later ? sink_.handOver(*later) : sink_.commit())) {
    error_ = sink_.error();
    return false;
  }
  return true;
}

}  // namespace sheet
