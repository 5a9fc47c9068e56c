#include <gtest/gtest.h>

#include <cstdlib>

#include "converter/geo/plane_coordinates.h"
#include "converter/run/sheet_document.h"
#include "converter/settings/check_settings.h"
#include "platform/printer_catalogue.h"
#include "platform/text_codec.h"
#include "tests/settings/fixture.h"

using namespace settings;

namespace {

struct Sheet {
  std::filesystem::path file;
  std::string text;  // decoded
  run::SheetDocument::BeginResult begin;
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
  run::SheetContext context;
  context.row = row;
  context.column = column;
  context.legend = {10, 0, 0};
  context.title = "Terralinea 0.1.0";
  run::SheetDocument doc(s, values, context);
  Sheet sheet;
  sheet.file = temp / name;
  sheet.begin = doc.begin(sheet.file);
  if (sheet.begin == run::SheetDocument::BeginResult::Ok) sheet.finished = doc.writeBlocks() && doc.finish();
  sheet.text = platform::cp932ToUtf8(readBytes(sheet.file));
  return sheet;
}

int audit(const std::filesystem::path& file) {
  std::string command = "/usr/bin/python3 '" + std::string(TERRALINEA_SOURCE_DIR) + "/tests/tools/dxf_audit.py' '" +
                        file.string() + "'";
  return std::system(command.c_str());
}

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

}  // namespace

TEST(SheetDocument, EmptySheetsOfEveryFlavourPassTheAudit) {
  for (int format = 0; format < 4; ++format) {
    TempFolder temp;
    auto s = fullSettings(temp, format);
    auto sheet = writeSheet(temp, s, "M.dxf");
    ASSERT_EQ(sheet.begin, run::SheetDocument::BeginResult::Ok) << format;
    ASSERT_TRUE(sheet.finished) << format;
    EXPECT_EQ(audit(sheet.file), 0) << "flavour " << format;
    EXPECT_TRUE(sheet.text.starts_with("999\r\nTerralinea 0.1.0   \r\n999\r\n  Made by Nelvarin\r\n0\r\nSECTION\r\n"));
    EXPECT_TRUE(has(sheet.text, format == 0 || format == 3 ? "$ACADVER\r\n1\r\nAC1018\r\n" : "$ACADVER\r\n1\r\nAC1015\r\n"));
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
  EXPECT_TRUE(has(t, "2\r\n標高MESH   0未満\r\n70\r\n0\r\n62\r\n170\r\n420\r\n255\r\n6\r\nCONTINUOUS\r\n390\r\n22\r\n"));
  // With a mesh the contour layers are colour 7; 10 m steps are thick inside the legend.
  EXPECT_TRUE(has(t, "2\r\n等高線_ 10\r\n70\r\n0\r\n62\r\n7\r\n6\r\nCONTINUOUS\r\n370\r\n30\r\n"));
  EXPECT_TRUE(has(t, "2\r\n等高線   0未満\r\n70\r\n0\r\n62\r\n7\r\n6\r\nCONTINUOUS\r\n370\r\n0\r\n"));
}

TEST(SheetDocument, FlavourSpecificStylesAndTileMode) {
  TempFolder temp;
  auto jw = fullSettings(temp, 2);
  auto sheet = writeSheet(temp, jw, "J.dxf");
  EXPECT_TRUE(has(sheet.text, "2\r\nTATEGAKI\r\n70\r\n4\r\n40\r\n30000\r\n41\r\n1.0\r\n50\r\n0.0\r\n71\r\n0\r\n42\r\n30000\r\n"
                              "3\r\ntxt.shx\r\n4\r\nbigfont.shx\r\n0\r\nENDTAB"));
  auto jp = fullSettings(temp, 1);
  jp.textFont = 2;
  sheet = writeSheet(temp, jp, "P.dxf");
  EXPECT_TRUE(has(sheet.text, "2\r\nSTANDARD\r\n70\r\n0\r\n40\r\n30000\r\n41\r\n1\r\n50\r\n0\r\n71\r\n0\r\n42\r\n30000\r\n"
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
  EXPECT_TRUE(has(sheet.text, "0\r\nLWPOLYLINE\r\n5\r\n19\r\n330\r\n13\r\n100\r\nAcDbEntity\r\n8\r\n0\r\n100\r\nAcDbPolyline\r\n"
                              "90\r\n4\r\n70\r\n1\r\n43\r\n0\r\n10\r\n"));
}

TEST(SheetDocument, PaletteFlavourStopsOnATrueColourLayer) {
  TempFolder temp;
  auto s = fullSettings(temp, 1);
  itemByKey(s.fgdLayers, "BldA-1").entry.colour = 0x010203;
  auto sheet = writeSheet(temp, s, "T.dxf");
  EXPECT_EQ(sheet.begin, run::SheetDocument::BeginResult::PaletteStop);
}

TEST(SheetDocument, UncreatableFileIsReported) {
  TempFolder temp;
  auto s = fullSettings(temp, 0);
  platform::PrinterCatalogue printers;
  geo::PlaneCoordinates coords;
  RunValues values;
  ASSERT_EQ(checkSettings(s, printers, coords, values), "");
  run::SheetDocument doc(s, values, {});
  EXPECT_EQ(doc.begin(temp / "missing" / "M.dxf"), run::SheetDocument::BeginResult::CannotCreate);
}
