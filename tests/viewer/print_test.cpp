// The point style and page setup dialogs, and a converter sheet printed to a vector PDF,
// on the offscreen platform (no GL needed). The PDF is checked with poppler's tools.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QFont>
#include <QFontMetricsF>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "converter/geo/plane_coordinates.h"
#include "converter/run/conversion_run.h"
#include "converter/settings/check_settings.h"
#include "converter/sheet/sheet_document.h"
#include "platform/printer_catalogue.h"
#include "platform/text_codec.h"
#include "tests/common/recording_host.h"
#include "tests/common/temp_folder.h"
#include "tests/settings/fixture.h"
#include "tests/viewer/converter_sheet.h"
#include "tests/viewer/dxf_fixture.h"
#include "viewer/ui/page_setup_dialog.h"
#include "viewer/ui/pdf_export.h"
#include "viewer/ui/point_style_dialog.h"

namespace {

using viewer::PageSetupDialog;
using viewer::PointStyleDialog;

std::filesystem::path screenshots() {
  const auto folder = std::filesystem::path(TERRALINEA_BIN_DIR) / ".." / "screenshots";
  std::filesystem::create_directories(folder);
  return folder;
}

TEST(PointStyle, OpensOnTheDrawingsStyle) {
  struct Case {
    int mode;
    double size;
    QPoint frame;
    const char* field;
    bool screen;
  };
  const Case cases[] = {
      {35, -5, {3 * 58 + 5, 35 + 3}, "5", true},
      {0, -8, {5, 3}, "8", true},
      {100, 2.5, {4 * 58 + 5, 3 * 35 + 3}, "2.5", false},
      {66, 0, {2 * 58 + 5, 2 * 35 + 3}, "0", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.mode);
    PointStyleDialog dialog(c.mode, c.size);
    EXPECT_EQ(dialog.windowTitle(), "点スタイル");
    EXPECT_EQ(dialog.picture()->frame(), c.frame);
    EXPECT_EQ(dialog.sizeField()->text(), c.field);
    EXPECT_EQ(dialog.screenChoice()->isChecked(), c.screen);
    EXPECT_EQ(dialog.modelChoice()->isChecked(), !c.screen);
    EXPECT_EQ(dialog.sizeLabel()->text(), c.screen ? "%" : "単位");
    // Confirmed unchanged, the style stays as it was: -8 stays -8.
    dialog.confirm();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.pointMode(), c.mode);
    EXPECT_EQ(dialog.pointSize(), c.size);
  }
}

TEST(PointStyle, ClicksPickTheCellUnderTheCursor) {
  struct Case {
    int x, y, mode;
  };
  const Case cases[] = {
      {289, 139, 100},    // the lower right corner
      {1000, 1000, 100},  // beyond it, kept on the picture
      {0, 0, 0},         {57, 34, 0}, {58, 35, 33}, {120, 80, 66}, {-3, 50, 32},
  };
  PointStyleDialog dialog(35, -5);
  for (const auto& c : cases) {
    dialog.picture()->select(c.x, c.y);
    EXPECT_EQ(PointStyleDialog::modeOf(dialog.picture()->frame()), c.mode) << c.x << ", " << c.y;
    const QPoint frame = dialog.picture()->frame();
    EXPECT_LE(frame.x(), 237);
    EXPECT_LE(frame.y(), 108);
  }
  // In model units now, with a new size.
  dialog.picture()->select(289, 139);
  dialog.modelChoice()->setChecked(true);
  EXPECT_EQ(dialog.sizeLabel()->text(), "単位");
  dialog.sizeField()->setText(" 12.5 ");
  dialog.confirm();
  EXPECT_EQ(dialog.pointMode(), 100);
  EXPECT_EQ(dialog.pointSize(), 12.5);
}

TEST(PointStyle, ASizeThatIsNotANumberIsRefused) {
  PointStyleDialog dialog(2, -5);
  std::vector<QString> messages;
  dialog.showMessage = [&](const QString& caption, const QString& text) { messages.push_back(caption + ": " + text); };
  dialog.sizeField()->setText("8a");
  dialog.confirm();
  EXPECT_NE(dialog.result(), QDialog::Accepted);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_TRUE(messages[0].startsWith("点スタイル: ")) << messages[0].toStdString();
}

// A layout on A4 across at 1:2500.
viewer::Layout a4Layout() {
  viewer::Layout layout;
  layout.present = true;
  layout.pageName = platform::PrinterCatalogue::builtInName();
  layout.paperName = "A4";
  layout.scaleNumerator = 1;
  layout.scaleDenominator = 2500;
  layout.paperWidth = 297;
  layout.paperHeight = 210;
  return layout;
}

class PageSetup : public ::testing::Test {
 protected:
  PageSetup() {
    dialog.showMessage = [this](const QString& caption, const QString& text) {
      messages.push_back(caption + ": " + text);
    };
  }
  platform::PrinterCatalogue printers;
  viewer::Layout layout = a4Layout();
  PageSetupDialog dialog{printers, layout};
  std::vector<QString> messages;
};

TEST_F(PageSetup, ShowsTheLayoutAndThePrintableSize) {
  EXPECT_EQ(dialog.printerField()->currentText().toStdString(), platform::PrinterCatalogue::builtInName());
  EXPECT_EQ(dialog.paperField()->currentText(), "A4");
  EXPECT_GE(dialog.paperField()->findText("B4 (JIS)"), 0);
  EXPECT_EQ(dialog.numeratorField()->text(), "1");
  EXPECT_EQ(dialog.denominatorField()->text(), "2500");
  EXPECT_TRUE(dialog.portraitChoice()->isChecked());  // the paper is wider than high
  // A4 at 600 dpi is 4961 x 7016 pixels, less 100 on every side.
  EXPECT_EQ(dialog.windowTitle(), "201.549 288.544");
  dialog.landscapeChoice()->setChecked(true);
  EXPECT_EQ(dialog.windowTitle(), "288.544 201.549");
  dialog.paperField()->setCurrentText("A3");
  EXPECT_EQ(dialog.windowTitle(), "411.522333333333 288.544");  // 9921 pixels less 200
  dialog.printerField()->setCurrentText("no such printer");
  EXPECT_EQ(dialog.printerField()->currentText(), "Printer未定");
}

TEST_F(PageSetup, OkWritesTheLayout) {
  dialog.paperField()->setCurrentText("B4 (JIS)");
  dialog.numeratorField()->setText("2");
  dialog.denominatorField()->setText("5000");
  dialog.confirm();
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_TRUE(messages.empty());
  EXPECT_EQ(layout.pageName, platform::PrinterCatalogue::builtInName());
  EXPECT_EQ(layout.paperName, "B4 (JIS)");
  EXPECT_EQ(layout.scaleNumerator, 2);
  EXPECT_EQ(layout.scaleDenominator, 5000);
}

TEST_F(PageSetup, AFieldThatIsNotANumberLeavesTheLayoutAlone) {
  struct Case {
    const char* numerator;
    const char* denominator;
    const char* named;
  };
  const Case cases[] = {{"1", "", "分母"}, {"x", "100", "分子"}, {"1", "1/2500", "分母"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.numerator) + " / " + c.denominator);
    messages.clear();
    dialog.paperField()->setCurrentText("A3");
    dialog.numeratorField()->setText(c.numerator);
    dialog.denominatorField()->setText(c.denominator);
    dialog.confirm();
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].startsWith("設定値を確認してください: ")) << messages[0].toStdString();
    EXPECT_TRUE(messages[0].contains(c.named)) << messages[0].toStdString();
    EXPECT_EQ(layout.paperName, "A4");
    EXPECT_EQ(layout.scaleNumerator, 1);
    EXPECT_EQ(layout.scaleDenominator, 2500);
  }
}

// Pictures of both dialogs for a person to look at.
TEST(Dialogs, Screenshots) {
  PointStyleDialog style(35, -5);
  style.show();
  QApplication::processEvents();
  EXPECT_TRUE(style.grab().save(QString::fromStdString((screenshots() / "orbiscope-point-style.png").string())));
  platform::PrinterCatalogue printers;
  viewer::Layout layout;
  layout.pageName = platform::PrinterCatalogue::builtInName();
  layout.paperName = "A3";
  layout.scaleDenominator = 2500;
  layout.paperWidth = 420;
  layout.paperHeight = 297;
  PageSetupDialog setup(printers, layout);
  setup.show();
  QApplication::processEvents();
  EXPECT_TRUE(setup.grab().save(QString::fromStdString((screenshots() / "orbiscope-page-setup.png").string())));
}

// --- The PDF of a converter sheet ---

std::string run(const std::string& command) {
  std::string out;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char buf[4096];
    std::size_t n;
    while ((n = fread(buf, 1, sizeof buf, pipe)) > 0) out.append(buf, n);
    pclose(pipe);
  }
  return out;
}

std::string quoted(const std::filesystem::path& p) { return "'" + p.string() + "'"; }

// The text of a PDF, NFKC-normalised: the CJK font maps 見 and the Kangxi radical ⾒ to one
// glyph, and the writer's text map names the radical.
std::string pdfText(const std::filesystem::path& pdf) {
  return run("pdftotext -layout " + quoted(pdf) +
             " - | python3 -c 'import sys, unicodedata; print(unicodedata.normalize(\"NFKC\", sys.stdin.read()))'");
}

// A binary PPM (P6) as written by pdftoppm.
struct Ppm {
  int width = 0, height = 0;
  std::vector<unsigned char> rgb;
  bool red(int x, int y) const {
    const auto* p = &rgb[(std::size_t(y) * width + x) * 3];
    return p[0] > 160 && p[1] < 100 && p[2] < 100;
  }
};

Ppm readPpm(const std::filesystem::path& path) {
  Ppm image;
  std::ifstream in(path, std::ios::binary);
  std::string magic;
  int maxValue = 0;
  in >> magic >> image.width >> image.height >> maxValue;
  in.get();
  image.rgb.resize(std::size_t(image.width) * image.height * 3);
  in.read(reinterpret_cast<char*>(image.rgb.data()), static_cast<std::streamsize>(image.rgb.size()));
  if (magic != "P6" || !in) image.width = image.height = 0;
  return image;
}

class SheetPdf : public ::testing::Test {
 protected:
  void SetUp() override {
    if (run("for t in pdftoppm pdftotext pdfinfo; do command -v $t; done | wc -l").find('3') == std::string::npos)
      GTEST_SKIP() << "poppler-utils are not installed";
    file = temp / "sheet.dxf";
    writeConverterSheet(temp, file);
    if (HasFatalFailure()) return;

    // Where the model shows on paper, from the sheet as written: its viewport's paper
    // height per model height, and the layout's plot scale.
    viewer::LoadError error;
    ASSERT_TRUE(viewer::loadDrawing(file.string(), drawing, error)) << error.text;
    ASSERT_GE(drawing.layouts.size(), 2u);
    const auto& layout = drawing.layouts[1];
    const viewer::ViewRecord* viewport = nullptr;
    int seen = 0;
    for (const auto& v : drawing.views)
      if (v.owner == layout.blockRecord && ++seen == 2) viewport = &v;
    ASSERT_NE(viewport, nullptr);
    mmPerModelUnit = viewport->height / viewport->viewHeight * layout.scaleNumerator / layout.scaleDenominator;
    centreX = viewport->viewCentreX;
    centreY = viewport->viewCentreY;

    // Again, now with a red bar of 100 mm on paper and a title, in model space.
    const double length = 100 / mmPerModelUnit, thick = 1 / mmPerModelUnit;
    const double x0 = centreX - length / 2, x1 = centreX + length / 2, y0 = centreY - thick / 2,
                 y1 = centreY + thick / 2;
    writeConverterSheet(temp, file, [&](sheet::SheetDocument& again) {
      again.entities().solid("0", {{x0, y0, 0}, {x1, y0, 0}, {x0, y1, 0}, {x1, y1, 0}}, false, geo::Colour{1, {}});
      sheet::MText title;
      title.x = centreX;
      title.y = centreY + 20 / mmPerModelUnit;
      title.height = 8 / mmPerModelUnit;
      title.value = "図葉見本 北部";
      again.entities().mtext("0", title);
    });
    if (HasFatalFailure()) return;
    drawing = {};
    ASSERT_TRUE(viewer::loadDrawing(file.string(), drawing, error)) << error.text;
  }

  TempFolder temp;
  std::filesystem::path file;
  viewer::Drawing drawing;
  double mmPerModelUnit = 0, centreX = 0, centreY = 0;
};

TEST_F(SheetPdf, LayoutPrintsOnItsPaperAtItsScale) {
  const auto pdf = temp / "sheet.pdf";
  std::string error;
  const auto views = drawing.views;
  ASSERT_TRUE(viewer::writePdf(drawing, 1, pdf.string(), error)) << error;
  EXPECT_EQ(drawing.views[1].height, views[1].height);  // the window's view is left alone

  // The page is the layout's paper.
  const auto& layout = drawing.layouts[1];
  const std::string info = run("pdfinfo " + quoted(pdf));
  double w = 0, h = 0;
  const auto at = info.find("Page size:");
  ASSERT_NE(at, std::string::npos) << info;
  ASSERT_EQ(std::sscanf(info.c_str() + at, "Page size: %lf x %lf", &w, &h), 2) << info;
  // Qt's writer gives pages in whole points: within half a point (0.18 mm).
  EXPECT_NEAR(w, layout.paperWidth * 72 / 25.4, 0.5);
  EXPECT_NEAR(h, layout.paperHeight * 72 / 25.4, 0.5);

  // The bar measures 100 mm: found on a coarse picture, measured on a fine strip.
  run("pdftoppm -r 50 -singlefile " + quoted(pdf) + " " + quoted(temp / "coarse"));
  const Ppm coarse = readPpm(temp / "coarse.ppm");
  ASSERT_GT(coarse.width, 0);
  int row = -1;
  for (int y = 0; y < coarse.height && row < 0; ++y)
    for (int x = 0; x < coarse.width; ++x)
      if (coarse.red(x, y)) {
        row = y;
        break;
      }
  ASSERT_GE(row, 0) << "no red bar on the page";
  constexpr int kFine = 1200;
  const int top = (row - 2) * kFine / 50, band = 5 * kFine / 50;
  run("pdftoppm -r " + std::to_string(kFine) + " -x 0 -y " + std::to_string(top) + " -W " +
      std::to_string(static_cast<int>(w / 72 * kFine) + 1) + " -H " + std::to_string(band) + " -singlefile " +
      quoted(pdf) + " " + quoted(temp / "fine"));
  const Ppm fine = readPpm(temp / "fine.ppm");
  ASSERT_GT(fine.width, 0);
  int first = fine.width, last = -1;
  for (int y = 0; y < fine.height; ++y)
    for (int x = 0; x < fine.width; ++x)
      if (fine.red(x, y)) first = std::min(first, x), last = std::max(last, x);
  ASSERT_GE(last, first);
  const double measured = (last - first + 1) * 25.4 / kFine;
  std::printf("bar on paper: %.3f mm\n", measured);
  EXPECT_NEAR(measured, 100, 0.2);

  // Texts are text: the title comes back out of the page.
  const std::string text = pdfText(pdf);
  EXPECT_NE(text.find("図葉見本"), std::string::npos) << text;
  run("pdftoppm -r 60 -png -singlefile " + quoted(pdf) + " " + quoted(screenshots() / "orbiscope-sheet-pdf"));
}

TEST_F(SheetPdf, ModelTabIsFittedToThePaperAndTheCommandLineWritesIt) {
  const auto pdf = temp / "model.pdf";
  const std::string command = "env -u DISPLAY -u WAYLAND_DISPLAY " +
                              quoted(std::filesystem::path(TERRALINEA_BIN_DIR) / "orbiscope") + " --export " +
                              quoted(pdf) + " --tab 0 " + quoted(file) + " 2>&1; echo status $?";
  const std::string out = run(command);
  EXPECT_NE(out.find("status 0"), std::string::npos) << out;
  const std::string text = pdfText(pdf);
  EXPECT_NE(text.find("図葉見本"), std::string::npos) << text;
  const std::string info = run("pdfinfo " + quoted(pdf));
  int pages = 0;
  const auto at = info.find("Pages:");
  ASSERT_NE(at, std::string::npos) << info;
  EXPECT_EQ(std::sscanf(info.c_str() + at, "Pages: %d", &pages), 1);
  EXPECT_EQ(pages, 1);

  // A layout without a view of its own, and a tab that is not there.
  std::string error;
  EXPECT_FALSE(viewer::exportPdf(file.string(), (temp / "none.pdf").string(), 7, error));
  EXPECT_FALSE(error.empty());
}

// --- Texts of a small drawing, placed by the boxes the PDF's reader gives them ---

struct Word {
  std::string text;
  double xMin = 0, yMin = 0, xMax = 0, yMax = 0;  // points from the page's top left
};

std::vector<Word> pdfWords(const std::filesystem::path& pdf) {
  std::vector<Word> out;
  std::istringstream lines(run("pdftotext -bbox " + quoted(pdf) + " -"));
  for (std::string line; std::getline(lines, line);) {
    Word w;
    char text[256] = {};
    if (std::sscanf(line.c_str(), " <word xMin=\"%lf\" yMin=\"%lf\" xMax=\"%lf\" yMax=\"%lf\">%255[^<]", &w.xMin,
                    &w.yMin, &w.xMax, &w.yMax, text) == 5) {
      w.text = text;
      out.push_back(w);
    }
  }
  return out;
}

const Word* findWord(const std::vector<Word>& words, const std::string& text) {
  for (const auto& w : words)
    if (w.text == text) return &w;
  return nullptr;
}

class DrawingPdf : public ::testing::Test {
 protected:
  void SetUp() override {
    if (run("command -v pdftotext").empty()) GTEST_SKIP() << "poppler-utils are not installed";
  }
  // The model tab of a drawing of `entities` (pairs text) on A4 upright. A line from (-70, 0)
  // to (70, 200) sets the extents, as long as the texts start within its box: the page shows
  // 210 units of height, with (0, 100) at its centre.
  std::vector<Word> printed(const std::string& entities) {
    const auto dxf = temp / "drawing.dxf", pdf = temp / "drawing.pdf";
    // A file that names no code page is CP932.
    writeBytes(dxf,
               platform::utf8ToCp932(viewer_test::layerTable({"0|7"}) +
                                     viewer_test::entitiesSection("0|LINE|8|0|10|-70|20|0|11|70|21|200|" + entities) +
                                     viewer_test::kEof));
    std::string error;
    EXPECT_TRUE(viewer::exportPdf(dxf.string(), pdf.string(), 0, error)) << error;
    return pdfWords(pdf);
  }
  TempFolder temp;
};

TEST_F(DrawingPdf, EveryCharacterComesBackOut) {
  // The CJK font gives a zero after Latin letters a glyph of its own; it must read as "0".
  const auto words = printed(
      "0|TEXT|8|0|10|0|20|0|40|5|1|demoA0|0|TEXT|8|0|10|0|20|10|40|5|1|T.P=0.00m|0|TEXT|8|0|10|0|20|20|40|5|1|"
      "地図A0");
  for (const char* text : {"demoA0", "T.P=0.00m", "地図A0"}) EXPECT_NE(findWord(words, text), nullptr) << text;
}

// A TEXT's alignment places it on the page as a CAD print does; the screen keeps drawing it
// from its first point, which here lies off to the side.
TEST_F(DrawingPdf, TextsStandWhereTheirAlignmentPutsThem) {
  struct Case {
    const char* text;
    int horizontal, vertical;  // 72, 73
    double x, y;               // the alignment point; the first point lies 7 left and 3 up
  };
  const Case cases[] = {
      {"Centre0", 1, 0, 0, 190}, {"Right0", 2, 0, 0, 175},   {"Middle0", 4, 0, 0, 160},
      {"Bottom0", 0, 1, 0, 145}, {"Halfway0", 0, 2, 0, 130}, {"Top0", 0, 3, 0, 115},
      {"Corner0", 2, 1, 0, 100}, {"Centred0", 1, 2, 0, 85},  {"TopRight0", 2, 3, 0, 70},
  };
  const double height = 5;
  std::string entities = "0|TEXT|8|0|10|0|20|55|40|5|1|Plain0";  // the same font, unaligned
  for (const auto& c : cases) {
    char pairs[256];
    std::snprintf(pairs, sizeof pairs, "|0|TEXT|8|0|10|%g|20|%g|40|%g|1|%s|72|%d|11|%g|21|%g|73|%d", c.x - 7, c.y + 3,
                  height, c.text, c.horizontal, c.x, c.y, c.vertical);
    entities += pairs;
  }
  // Fitted and aligned run from the first point to the alignment point.
  entities += "|0|TEXT|8|0|10|-20|20|40|40|5|1|Fitted0|72|5|11|20|21|40|73|0";
  entities += "|0|TEXT|8|0|10|-10|20|25|40|5|1|Aligned0|72|3|11|10|21|25|73|0";
  // Turned a quarter, right aligned: it ends at the alignment point.
  entities += "|0|TEXT|8|0|10|50|20|10|40|5|50|90|1|Turned0|72|2|11|50|21|40";
  const auto words = printed(entities);

  // Drawing units to points from the page's top left.
  const double pointsPerUnit = 297.0 / 210 * 72 / 25.4, em = height * pointsPerUnit;
  auto pageX = [&](double x) { return 105 * 72 / 25.4 + x * pointsPerUnit; };
  auto pageY = [&](double y) { return 148.5 * 72 / 25.4 - (y - 100) * pointsPerUnit; };
  QFont font;
  font.setFamilies({"Noto Sans CJK JP", "IPAGothic"});
  font.setPixelSize(100);
  font.setKerning(false);
  font.setStyleStrategy(QFont::PreferNoShaping);
  const QFontMetricsF metrics(font);
  const double descent = metrics.descent() / 100 * em, capital = metrics.capHeight() / 100 * em;
  constexpr double kNear = 0.3;  // points

  // The reader's box reaches the font's descent below the baseline.
  const Word* plain = findWord(words, "Plain0");
  ASSERT_NE(plain, nullptr);
  EXPECT_NEAR(plain->xMin, pageX(0), kNear);
  EXPECT_NEAR(plain->yMax, pageY(55) + descent, kNear);
  const double boxHeight = plain->yMax - plain->yMin;

  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    const Word* w = findWord(words, c.text);
    ASSERT_NE(w, nullptr);
    const double share = c.horizontal == 2 ? 1 : c.horizontal == 1 || c.horizontal == 4 ? 0.5 : 0;
    EXPECT_NEAR(w->xMin + share * (w->xMax - w->xMin), pageX(c.x), kNear);
    const int vertical = c.horizontal == 4 ? 2 : c.vertical;
    const double baseline = pageY(c.y) + (vertical == 1   ? -descent
                                          : vertical == 2 ? capital / 2
                                          : vertical == 3 ? capital
                                                          : 0);
    EXPECT_NEAR(w->yMax, baseline + descent, kNear);
    EXPECT_NEAR(w->yMax - w->yMin, boxHeight, kNear);
  }

  const Word* fitted = findWord(words, "Fitted0");
  ASSERT_NE(fitted, nullptr);
  EXPECT_NEAR(fitted->xMin, pageX(-20), kNear);
  EXPECT_NEAR(fitted->xMax, pageX(20), kNear);
  EXPECT_NEAR(fitted->yMax, pageY(40) + descent, kNear);
  EXPECT_NEAR(fitted->yMax - fitted->yMin, boxHeight, kNear);  // the height stays

  const Word* aligned = findWord(words, "Aligned0");
  ASSERT_NE(aligned, nullptr);
  EXPECT_NEAR(aligned->xMin, pageX(-10), kNear);
  EXPECT_NEAR(aligned->xMax, pageX(10), kNear);
  // The height follows the width.
  const double stretch = 20 * pointsPerUnit / (metrics.horizontalAdvance("Aligned0") / 100 * em);
  EXPECT_NEAR(aligned->yMax - aligned->yMin, boxHeight * stretch, kNear);
  EXPECT_NEAR(aligned->yMax, pageY(25) + descent * stretch, kNear);

  const Word* turned = findWord(words, "Turned0");
  ASSERT_NE(turned, nullptr);
  EXPECT_NEAR(turned->yMin, pageY(40), kNear);
  EXPECT_NEAR(turned->xMax - descent, pageX(50), kNear);
}

// A sheet as the converter writes it: the title hangs from its top alignment point below the
// page's top edge, the sheet name from its bottom right one; both print whole on the page.
TEST(ConvertedSheetPdf, TitleAndSheetNamePrintWholeOnThePage) {
  if (run("for t in pdftotext pdfinfo; do command -v $t; done | wc -l").find('2') == std::string::npos)
    GTEST_SKIP() << "poppler-utils are not installed";
  TempFolder temp;
  auto s = validSettings(temp);
  s.mapName = "demo";
  s.sheetRows = s.sheetColumns = "2";
  platform::PrinterCatalogue printers;
  geo::PlaneCoordinates coords;
  settings::RunValues values;
  ASSERT_EQ(settings::checkSettings(s, printers, coords, values), "");
  RecordingHost host;
  sheet::RunContext context(s, values, coords, host);
  ASSERT_EQ(run::ConversionRun(context).execute(), run::RunResult::Completed);

  const auto pdf = temp / "demoA0.pdf";
  std::string error;
  ASSERT_TRUE(viewer::exportPdf((temp / "demoA0.dxf").string(), pdf.string(), 1, error)) << error;
  const std::string info = run("pdfinfo " + quoted(pdf));
  double width = 0, height = 0;
  const auto at = info.find("Page size:");
  ASSERT_NE(at, std::string::npos) << info;
  ASSERT_EQ(std::sscanf(info.c_str() + at, "Page size: %lf x %lf", &width, &height), 2) << info;

  std::vector<Word> names;
  for (const auto& w : pdfWords(pdf))
    if (w.text == "demoA0") names.push_back(w);
  ASSERT_EQ(names.size(), 2u);
  for (const auto& w : names) {
    EXPECT_GE(w.xMin, 0);
    EXPECT_GE(w.yMin, 0);
    EXPECT_LE(w.xMax, width);
    EXPECT_LE(w.yMax, height);
  }
  // The title at the top left, the sheet name at the bottom right.
  const auto& title = names[0].yMin < names[1].yMin ? names[0] : names[1];
  const auto& name = names[0].yMin < names[1].yMin ? names[1] : names[0];
  EXPECT_LT(title.xMax, width / 4);
  EXPECT_LT(title.yMax, height / 8);
  EXPECT_GT(name.xMin, width * 3 / 4);
  EXPECT_GT(name.yMin, height * 7 / 8);
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  QApplication::setFont(QFont("Noto Sans CJK JP", 10));
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
