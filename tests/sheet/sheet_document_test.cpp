#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "converter/geo/plane_coordinates.h"
#include "converter/settings/check_settings.h"
#include "converter/sheet/sheet_document.h"
#include "platform/printer_catalogue.h"
#include "platform/text_codec.h"
#include "tests/settings/fixture.h"

using namespace settings;

namespace {

struct Sheet {
  std::filesystem::path file;
  std::string text;  // decoded
  sheet::SheetDocument::BeginResult begin;
  bool finished = false;
};

// Checked settings with every layer source active.
DrawingSettings fullSettings(const TempFolder& temp, int fileFormat) {
  auto s = validSettings(temp);
  s.fileFormat = fileFormat;
  s.applyFileFormatRules();
  s.meshGridOn = true;
  s.meshSource = 1;
  s.contourSource = 1;
  s.contourTarget = 1;  // the checks want all contours with a mesh
  s.contourWeightRule = 3;
  s.crossSectionsOn = true;
  s.legendColourRamp = 0;
  s.mlitLayers[0].on = true;
  if (fileFormat == 3) {
    s.textFont = 4;
    s.initialSpace = 1;
  }
  return s;
}

Sheet writeSheet(const TempFolder& temp, DrawingSettings& s, const char* name, int row = 0, int column = 0,
                 const std::function<void(DrawingSettings&)>& afterCheck = {}) {
  platform::PrinterCatalogue printers;
  geo::PlaneCoordinates coords;
  RunValues values;
  EXPECT_EQ(checkSettings(s, printers, coords, values), "");
  if (afterCheck) afterCheck(s);
  sheet::SheetContext context;
  context.row = row;
  context.column = column;
  context.legend = {10, 0, 0};
  context.title = "Terralinea 0.1.0";
  sheet::SheetDocument doc(s, values, context);
  Sheet sheet;
  sheet.file = temp / name;
  sheet.begin = doc.begin(sheet.file);
  if (sheet.begin == sheet::SheetDocument::BeginResult::Ok && doc.writeBlocks()) {
    doc.writeBorderAndViewports();
    sheet.finished = doc.finish();
  }
  sheet.text = platform::cp932ToUtf8(readBytes(sheet.file));
  return sheet;
}

int audit(const std::filesystem::path& file) {
  std::string command =
      "/usr/bin/python3 '" + std::string(TERRALINEA_SOURCE_DIR) + "/tests/tools/dxf_audit.py' '" + file.string() + "'";
  return std::system(command.c_str());
}

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

}  // namespace

TEST(SheetDocument, EmptySheetsOfEveryFlavourPassTheAudit) {
  for (int format = 0; format < 4; ++format) {
    TempFolder temp;
    auto s = fullSettings(temp, format);
    auto sheet = writeSheet(temp, s, "M.dxf");
    ASSERT_EQ(sheet.begin, sheet::SheetDocument::BeginResult::Ok) << format;
    ASSERT_TRUE(sheet.finished) << format;
    EXPECT_EQ(audit(sheet.file), 0) << "flavour " << format;
    EXPECT_TRUE(sheet.text.starts_with("999\r\nTerralinea 0.1.0   \r\n999\r\n  Made by Nelvarin\r\n0\r\nSECTION\r\n"));
    EXPECT_TRUE(
        has(sheet.text, format == 0 || format == 3 ? "$ACADVER\r\n1\r\nAC1018\r\n" : "$ACADVER\r\n1\r\nAC1015\r\n"));
    EXPECT_EQ(has(sheet.text, "ACDBDICTIONARYWDFLT\r\n2\r\nAcDbDictionaryWithDefault"), format == 0 || format == 3);
    EXPECT_TRUE(sheet.text.ends_with("0\r\nEOF\r\n"));
  }
}

TEST(SheetDocument, LayerTableOfARunWithEverySource) {
  TempFolder temp;
  auto s = fullSettings(temp, 0);
  // The document does not repeat the start checks: depressions as areas add their layer.
  auto sheet = writeSheet(temp, s, "M.dxf", 0, 0, [](DrawingSettings& d) { d.contourTarget = 3; });
  ASSERT_TRUE(sheet.finished);
  EXPECT_EQ(audit(sheet.file), 0);
  // 1 (0) + 1 mesh grid + 6 tree items on + 1 national land + 3 basic + 17 mesh + 17 contour + 1 + 2.
  const auto& t = sheet.text;
  EXPECT_TRUE(has(t, "2\r\nLAYER\r\n5\r\n7\r\n330\r\n0\r\n100\r\nAcDbSymbolTable\r\n70\r\n"));
  EXPECT_TRUE(has(t, "2\r\n001標準地域メッシュ\r\n70\r\n0\r\n62\r\n"));
  EXPECT_TRUE(has(t, "2\r\n998hyoko\r\n70\r\n0\r\n62\r\n7\r\n6\r\nCONTINUOUS\r\n370\r\n5\r\n390\r\n22\r\n"));
  EXPECT_TRUE(has(t, "2\r\n窪地線\r\n70\r\n0\r\n62\r\n7\r\n6\r\nCONTINUOUS\r\n370\r\n0\r\n"));
  // Mesh layers: no 370; labels keep their blanks and use "_" for the point.
  EXPECT_TRUE(
      has(t, "2\r\n標高MESH   0未満\r\n70\r\n0\r\n62\r\n170\r\n420\r\n255\r\n6\r\nCONTINUOUS\r\n390\r\n22\r\n"));
  // With a mesh the contour layers are colour 7; 10 m steps are thick inside the legend.
  EXPECT_TRUE(has(t, "2\r\n等高線_ 10\r\n70\r\n0\r\n62\r\n7\r\n6\r\nCONTINUOUS\r\n370\r\n30\r\n"));
  EXPECT_TRUE(has(t, "2\r\n等高線   0未満\r\n70\r\n0\r\n62\r\n7\r\n6\r\nCONTINUOUS\r\n370\r\n0\r\n"));
}

TEST(SheetDocument, FlavourSpecificStylesAndTileMode) {
  TempFolder temp;
  auto jw = fullSettings(temp, 2);
  auto sheet = writeSheet(temp, jw, "J.dxf");
  EXPECT_TRUE(has(sheet.text,
                  "2\r\nTATEGAKI\r\n70\r\n4\r\n40\r\n30000\r\n41\r\n1.0\r\n50\r\n0.0\r\n71\r\n0\r\n42\r\n30000\r\n"
                  "3\r\ntxt.shx\r\n4\r\nbigfont.shx\r\n0\r\nENDTAB"));
  auto jp = fullSettings(temp, 1);
  jp.textFont = 2;
  sheet = writeSheet(temp, jp, "P.dxf");
  EXPECT_TRUE(has(sheet.text,
                  "2\r\nSTANDARD\r\n70\r\n0\r\n40\r\n30000\r\n41\r\n1\r\n50\r\n0\r\n71\r\n0\r\n42\r\n30000\r\n"
                  "3\r\n\r\n4\r\n\r\n1001\r\nACAD\r\n1000\r\nＭＳ ゴシック\r\n1071\r\n32817\r\n"));
  EXPECT_TRUE(has(sheet.text, "1000\r\n@ＭＳ ゴシック\r\n"));
  EXPECT_TRUE(has(sheet.text, "$TILEMODE\r\n70\r\n0\r\n"));
  jp.initialSpace = 1;
  sheet = writeSheet(temp, jp, "Q.dxf");
  EXPECT_TRUE(has(sheet.text, "$TILEMODE\r\n70\r\n1\r\n"));
}

TEST(SheetDocument, HandleSeedAndBorderOfALaterSheet) {
  TempFolder temp;
  auto s = fullSettings(temp, 0);
  s.sheetRows = "2";
  s.sheetColumns = "2";
  s.overlapPercent = 10;
  auto sheet = writeSheet(temp, s, "MB1.dxf", 1, 1);
  ASSERT_TRUE(sheet.finished);
  EXPECT_EQ(audit(sheet.file), 0);
  auto at = sheet.text.find("$HANDSEED\r\n5\r\n");
  ASSERT_NE(at, std::string::npos);
  std::string seed = sheet.text.substr(at + 14, 8);
  EXPECT_EQ(seed.find_first_not_of("0123456789ABCDEF"), std::string::npos) << seed;
  EXPECT_EQ(seed.substr(0, 4), "0000");
  EXPECT_TRUE(has(sheet.text,
                  "0\r\nLWPOLYLINE\r\n5\r\n19\r\n330\r\n13\r\n100\r\nAcDbEntity\r\n8\r\n0\r\n100\r\nAcDbPolyline\r\n"
                  "90\r\n4\r\n70\r\n1\r\n43\r\n0\r\n10\r\n"));
}

TEST(SheetDocument, PaletteFlavourStopsOnATrueColourLayer) {
  TempFolder temp;
  auto s = fullSettings(temp, 1);
  itemByKey(s.fgdLayers, "BldA-1").entry.colour = 0x010203;
  auto sheet = writeSheet(temp, s, "T.dxf");
  EXPECT_EQ(sheet.begin, sheet::SheetDocument::BeginResult::PaletteStop);
}

TEST(SheetDocument, UncreatableFileIsReported) {
  TempFolder temp;
  auto s = fullSettings(temp, 0);
  platform::PrinterCatalogue printers;
  geo::PlaneCoordinates coords;
  RunValues values;
  ASSERT_EQ(checkSettings(s, printers, coords, values), "");
  sheet::SheetDocument doc(s, values, {});
  EXPECT_EQ(doc.begin(temp / "missing" / "M.dxf"), sheet::SheetDocument::BeginResult::CannotCreate);
}

TEST(SheetDocument, HeaderAndLineTypesByteForByte) {
  TempFolder temp;
  auto s = validSettings(temp);
  s.drawingUnit = 2;  // metres
  s.northEdge = "-35000";
  s.southEdge = "-37000";
  s.westEdge = "-8000";
  s.eastEdge = "-6000";
  s.scaleChoice = 15;  // 1/2500
  auto sheet = writeSheet(temp, s, "H.dxf");
  ASSERT_TRUE(sheet.finished);
  platform::PrinterCatalogue printers;
  geo::PlaneCoordinates coords;
  RunValues v;
  ASSERT_EQ(checkSettings(s, printers, coords, v), "");
  using dxfio::formatReal;
  const double sc = v.unitsPerPaperMillimetre, pw = v.pageWidthMm, ph = v.pageHeightMm;
  const double cx = 0.5 * v.sheetStepWidth + v.westEdge, cy = v.northEdge - 0.5 * v.sheetStepHeight;
  auto seedAt = sheet.text.find("$HANDSEED\r\n5\r\n") + 14;
  std::string expected =
      "0\r\nSECTION\r\n2\r\nHEADER\r\n9\r\n$ACADVER\r\n1\r\nAC1018\r\n9\r\n$DWGCODEPAGE\r\n3\r\nANSI_932\r\n"
      "9\r\n$HANDSEED\r\n5\r\n" +
      sheet.text.substr(seedAt, 8) +
      "\r\n"
      "9\r\n$MEASUREMENT\r\n70\r\n1\r\n9\r\n$LWDISPLAY\r\n290\r\n1\r\n9\r\n$PDMODE\r\n70\r\n0\r\n9\r\n$"
      "PDSIZE\r\n40\r\n-5.0\r\n"
      "9\r\n$INSUNITS\r\n70\r\n6\r\n"
      "9\r\n$EXTMIN\r\n10\r\n" +
      formatReal(cx - 0.65 * pw * sc) + "\r\n20\r\n" + formatReal(cy - ph * sc / 2) +
      "\r\n"
      "9\r\n$EXTMAX\r\n10\r\n" +
      formatReal(cx + 0.55 * pw * sc) + "\r\n20\r\n" + formatReal(cy + ph * sc / 2) +
      "\r\n"
      "9\r\n$CMLSTYLE\r\n2\r\nStandard\r\n9\r\n$TILEMODE\r\n70\r\n0\r\n0\r\nENDSEC\r\n"
      "0\r\nSECTION\r\n2\r\nCLASSES\r\n"
      "0\r\nCLASS\r\n1\r\nACDBDICTIONARYWDFLT\r\n2\r\nAcDbDictionaryWithDefault\r\n3\r\nObjectDBX "
      "Classes\r\n90\r\n0\r\n91\r\n1\r\n280\r\n0\r\n281\r\n0\r\n"
      "0\r\nCLASS\r\n1\r\nLAYOUT\r\n2\r\nAcDbLayout\r\n3\r\nAutoCAD "
      "2000\r\n90\r\n0\r\n280\r\n0\r\n281\r\n0\r\n0\r\nENDSEC\r\n";
  auto start = sheet.text.find("0\r\nSECTION\r\n2\r\nHEADER");
  EXPECT_EQ(sheet.text.substr(start, expected.size()), expected);

  const double k = std::sqrt(sc / 25 / 1) * 1;
  std::string lineTypes =
      "0\r\nLTYPE\r\n5\r\n1D3\r\n330\r\n3\r\n100\r\nAcDbSymbolTableRecord\r\n100\r\nAcDbLinetypeTableRecord\r\n2\r\nPow"
      "er Line\r\n"
      "70\r\n0\r\n3\r\n送電線 --:----:--\r\n72\r\n65\r\n73\r\n2\r\n40\r\n" +
      formatReal(100 * k) + "\r\n49\r\n" + formatReal(50 * k) + "\r\n74\r\n2\r\n75\r\n0\r\n340\r\nA\r\n46\r\n" +
      formatReal(18 * k) + "\r\n50\r\n0\r\n44\r\n0\r\n45\r\n" + formatReal(-6 * k) + "\r\n9\r\n:\r\n49\r\n" +
      formatReal(50 * k) +
      "\r\n74\r\n0\r\n"
      "0\r\nLTYPE\r\n5\r\n1D4\r\n330\r\n3\r\n100\r\nAcDbSymbolTableRecord\r\n100\r\nAcDbLinetypeTableRecord\r\n2\r\nDas"
      "h Line\r\n"
      "70\r\n0\r\n3\r\n点線 - - - - - - "
      "\r\n72\r\n65\r\n73\r\n2\r\n40\r\n28.5\r\n49\r\n22.8\r\n74\r\n0\r\n49\r\n-5.7\r\n74\r\n0\r\n"
      "0\r\nLTYPE\r\n5\r\n1D5\r\n";
  EXPECT_NE(sheet.text.find(lineTypes), std::string::npos);
  EXPECT_NE(sheet.text.find(
                "2\r\nDouble Dash\r\n70\r\n0\r\n3\r\n2点鎖線-- ･･ ---- ･･ --\r\n72\r\n65\r\n73\r\n6\r\n40\r\n99\r\n"
                "49\r\n73.5\r\n74\r\n0\r\n49\r\n-7.5\r\n74\r\n0\r\n49\r\n1.5\r\n"),
            std::string::npos);
  // The first layer after "0" takes the next handle after the line types.
  EXPECT_NE(sheet.text.find("0\r\nLAYER\r\n5\r\n1D6\r\n330\r\n7\r\n"), std::string::npos);
  // The paper layout names the printer, the paper and the plot scale.
  EXPECT_NE(sheet.text.find("100\r\nAcDbPlotSettings\r\n1\r\n\r\n2\r\nTerralinea Paper\r\n4\r\nA3\r\n6\r\n\r\n40\r\n"),
            std::string::npos);
  EXPECT_NE(sheet.text.find("143\r\n2.5\r\n70\r\n672\r\n72\r\n1\r\n73\r\n1\r\n74\r\n5\r\n7\r\nnone\r\n"),
            std::string::npos);
}
