#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QTest>

#include "converter/settings/settings_file.h"
#include "converter/settings/sheet_labels.h"
#include "converter/settings/startup.h"
#include "converter/ui/fields.h"
#include "tests/ui/ui_fixture.h"

namespace {

namespace fs = std::filesystem;

using MainWindowRules = WindowTest;

TEST_F(MainWindowRules, AtMostOneElevationSourceOfEachSet) {
  open();
  auto box = [&](const char* set, int i) { return control<QCheckBox>(QString("%1%2").arg(set).arg(i).toUtf8()); };
  box("meshSource", 0)->click();
  box("contourSource", 3)->click();
  box("meshSource", 1)->click();  // 10 m while 5 m is on
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(box("meshSource", i)->isChecked(), i == 1) << i;
    EXPECT_EQ(box("contourSource", i)->isChecked(), i == 3) << i;
  }
  EXPECT_EQ(window->settings().meshSource, 1);
  box("meshSource", 1)->click();  // the only one off: the set is empty
  for (int i = 0; i < 5; ++i) EXPECT_FALSE(box("meshSource", i)->isChecked()) << i;
  EXPECT_EQ(window->settings().meshSource, settings::kNoChoice);
  EXPECT_EQ(window->settings().contourSource, 3);
  EXPECT_EQ(box("meshSource", 1)->text().toStdString(), window->settings().meshSourceCaptions[1]);
  EXPECT_FALSE(box("meshSource", 1)->text().isEmpty());
}

TEST_F(MainWindowRules, OverlapShownOnlyWithMoreThanOneSheet) {
  open();
  auto* columns = control<ui::CountSpinBox>("sheetColumns");
  auto* rows = control<ui::CountSpinBox>("sheetRows");
  auto* overlap = control<QSpinBox>("overlapPercent");
  struct Case {
    const char *columns, *rows;
    bool shown;
  };
  for (const Case& c : {Case{"1", "1", false}, Case{"2", "1", true}, Case{"1", "1", false}, Case{"1", "3", true},
                        Case{"", "", false}, Case{"256", "1", true}}) {
    columns->setText(c.columns);
    rows->setText(c.rows);
    EXPECT_EQ(!overlap->isHidden(), c.shown) << c.columns << " x " << c.rows;
  }
  // The arrows step within 1..255 and keep the text a number.
  columns->setText("255");
  columns->stepBy(1);
  EXPECT_EQ(columns->text(), "255");
  columns->setText("");
  columns->stepBy(1);
  EXPECT_EQ(columns->text(), "2");
}

TEST_F(MainWindowRules, FileFormatShortensAndRestoresTheLevelList) {
  open();
  auto* format = control<QComboBox>("fileFormat");
  auto* levels = control<QComboBox>("legendLevelChoice");
  auto* ramp = control<QSlider>("legendColourRamp");
  levels->setCurrentIndex(7);  // "129段階"
  struct Step {
    int format, count, selected;
    bool colours;
  };
  for (const Step& s : {Step{2, 3, 2, false}, Step{0, 8, 2, true}, Step{1, 5, 2, false}, Step{3, 8, 2, true}}) {
    format->setCurrentIndex(s.format);
    EXPECT_EQ(levels->count(), s.count) << "format " << s.format;
    EXPECT_EQ(levels->currentIndex(), s.selected) << "format " << s.format;
    EXPECT_EQ(levels->currentText(), "5段階");
    EXPECT_EQ(!ramp->isHidden(), s.colours) << "format " << s.format;
  }
  EXPECT_EQ(levels->itemText(7), "129段階");
  EXPECT_EQ(window->settings().legendLevelChoice, 2);
}

TEST_F(MainWindowRules, SheetSizeLabel) {
  open();
  struct Case {
    const char *north, *south, *west, *east, *columns, *rows;
    int overlap;
    const char* label;
  };
  const Case cases[] = {
      {"1000", "0", "0", "2000", "2", "1", 0, "高:1000 幅:1000"},
      {"1000", "0", "0", "2000", "2", "1", 10, "高:1000 幅:1053"},  // 2000 / (0.1 + 2 × 0.9)
      {"-35000000", "-37000000", "-8000000", "-6000000", "2", "2", 10, "高:1052632 幅:1052632"},
      {"0", "0", "0", "2000", "1", "1", 0, ""},     // north not above south
      {"1000", "0", "0", "x", "1", "1", 0, ""},     // east does not parse
      {"1000", "0", "0", "2000", "", "1", 0, ""},   // count does not parse
      {"1000", "0", "2000", "0", "1", "1", 0, ""},  // east not beyond west
  };
  for (const Case& c : cases) {
    control<QLineEdit>("northEdge")->setText(c.north);
    control<QLineEdit>("southEdge")->setText(c.south);
    control<QLineEdit>("westEdge")->setText(c.west);
    control<QLineEdit>("eastEdge")->setText(c.east);
    control<ui::CountSpinBox>("sheetColumns")->setText(c.columns);
    control<ui::CountSpinBox>("sheetRows")->setText(c.rows);
    control<QSpinBox>("overlapPercent")->setValue(c.overlap);
    EXPECT_EQ(control<QLabel>("sheetSize")->text().toStdString(), c.label) << c.north << " " << c.east;
  }
}

TEST_F(MainWindowRules, FixedScaleDisablesNorthAndEastEdges) {
  open();
  auto* scale = control<QComboBox>("scaleChoice");
  struct Case {
    const char* item;
    bool editable;
  };
  for (const Case& c :
       {Case{"1/25000", false}, Case{"自動選択", true}, Case{"1/10", false}, Case{"用紙いっぱいに", true}}) {
    scale->setCurrentIndex(scale->findText(c.item));
    for (const char* edge : {"northEdge", "eastEdge"})
      EXPECT_EQ(control<QLineEdit>(edge)->isEnabled(), c.editable) << c.item << " " << edge;
    for (const char* edge : {"southEdge", "westEdge"}) EXPECT_TRUE(control<QLineEdit>(edge)->isEnabled()) << edge;
  }
}

TEST_F(MainWindowRules, AutomaticLegendSwapsSlidersForTableButtons) {
  open();
  auto* automatic = control<QCheckBox>("legendAuto");
  for (bool on : {false, true}) {
    automatic->setChecked(on);
    EXPECT_EQ(!control<QSlider>("legendIntervalBias")->isHidden(), on);
    EXPECT_EQ(!control<QSlider>("legendBottomBias")->isHidden(), on);
    EXPECT_EQ(control<QPushButton>("intervalTableButton")->isHidden(), on);
    EXPECT_EQ(control<QPushButton>("bottomTableButton")->isHidden(), on);
  }
  automatic->setChecked(false);
  control<QPushButton>("bottomTableButton")->click();
  EXPECT_EQ(window->tabs()->tabText(window->tabs()->currentIndex()), "標高凡例最下面 ");
}

TEST_F(MainWindowRules, NumericFieldsDiscardOtherCharactersAndTheAngleStepsByTenDegrees) {
  open();
  for (const char* name : {"northEdge", "southEdge", "westEdge", "eastEdge", "eastWestCorrection",
                           "northSouthCorrection", "datumCorrection", "elevationExaggeration", "symbolScale"}) {
    auto* edit = control<QLineEdit>(name);
    edit->clear();
    QTest::keyClicks(edit, "-12a,3.5 e9");
    QTest::keyClick(edit, Qt::Key_Backspace);
    EXPECT_EQ(edit->text(), "-123.5") << name;
  }
  EXPECT_EQ(window->settings().symbolScale, "-123.5");

  auto* angle = control<QSpinBox>("crossSectionAngle");
  EXPECT_EQ(angle->value(), -1234);
  angle->resize(80, 24);
  QTest::mouseClick(angle, Qt::RightButton, {}, QPoint(70, 4));
  EXPECT_EQ(angle->value(), -1134);
  QTest::mouseClick(angle, Qt::RightButton, {}, QPoint(70, 20));
  QTest::mouseClick(angle, Qt::RightButton, {}, QPoint(70, 20));
  EXPECT_EQ(window->settings().crossSectionAngle, -1334);
}

TEST_F(MainWindowRules, ChoosingAPrinterRefillsThePapersAndClearsThePaper) {
  open();
  auto* printer = control<QComboBox>("printerName");
  auto* paper = control<QComboBox>("paperSize");
  paper->setEditText("A0");
  const int builtIn = printer->findText("Terralinea Paper");
  ASSERT_GE(builtIn, 0);
  printer->setCurrentIndex(builtIn);
  emit printer->activated(builtIn);
  EXPECT_EQ(paper->currentText(), "");
  EXPECT_GE(paper->findText("B4 (JIS)"), 0);
  EXPECT_EQ(paper->count(), 14);
  EXPECT_EQ(window->settings().printerName, "Terralinea Paper");
  EXPECT_EQ(window->settings().paperSize, "");
}

TEST_F(MainWindowRules, MapNameProposesTheSaveName) {
  open();
  // Typed, as an input method hands over Japanese text.
  QKeyEvent typed(QEvent::KeyPress, 0, Qt::NoModifier, "桜浦");
  QApplication::sendEvent(control<QLineEdit>("mapName"), &typed);
  EXPECT_EQ(window->proposedSaveName(), "桜浦.trl");
  EXPECT_EQ(window->settings().mapName, "桜浦");
}

TEST_F(MainWindowRules, MeshGridBoxCarriesItsRunningNumberAndColour) {
  open();
  auto* grid = control<QCheckBox>("meshGridOn");
  EXPECT_EQ(grid->text(), "001標準地域メッシュ");
  EXPECT_NE(grid->styleSheet().indexOf("background-color: #000000"), -1);
  EXPECT_NE(grid->styleSheet().indexOf("color: #ffffff"), -1);
  EXPECT_EQ(ui::captionColour(0x808080), 0xFFFFFFu);
  EXPECT_EQ(ui::captionColour(0x0000FF), 0xFFFF00u);
}

// ---------------------------------------------------------------------------------------
// Start-up and settings files

using MainWindowStart = WindowTest;

TEST_F(MainWindowStart, OpensWithTheNamedFileOrElseTheLastRunSettings) {
  {
    settings::DrawingSettings s;
    platform::PrinterCatalogue printers;
    settings::startUp(s, shippedData(), {std::nullopt, false, false}, printers);
    s.mapName = "前回";
    s.sheetColumns = "3";
    ASSERT_TRUE(settings::saveSettings(settings::lastRunSettingsFile(), s));
    s.mapName = "指定";
    ASSERT_TRUE(settings::saveSettings(temp / "指定.trl", s));
  }
  open();
  EXPECT_EQ(control<QLineEdit>("mapName")->text(), "前回");
  EXPECT_EQ(control<ui::CountSpinBox>("sheetColumns")->text(), "3");
  EXPECT_FALSE(control<QSpinBox>("overlapPercent")->isHidden());
  EXPECT_EQ(window->windowTitle(), "Terralinea 0.1.0");

  open(temp / "指定.trl");
  EXPECT_EQ(control<QLineEdit>("mapName")->text(), "指定");
  EXPECT_EQ(window->proposedSaveName(), "指定.trl");
  // The default folders under the user's folder root.
  EXPECT_EQ(control<QLineEdit>("elevationFolder")->text().toStdString(),
            settings::pathText(platform::defaultFolderRoot() / settings::utf8Path("標高データ")));
}

TEST_F(MainWindowStart, WithoutItemFilesTheFormDefaultsStay) {
  window = std::make_unique<ui::MainWindow>(host, platform::PrinterCatalogue());
  EXPECT_TRUE(window->startUp(temp / "nothing", std::nullopt));
  ASSERT_FALSE(host.shown.empty());
  EXPECT_EQ(control<QLineEdit>("writeFolder")->text(), "");
  EXPECT_EQ(control<QLineEdit>("northEdge")->text(), "0.01");
}

// The window shows every field of a loaded file and reads it back: saving then writes
// what saving the loaded record writes.
class SettingsRoundTrip : public WindowTest {
 protected:
  // Loaded into the window, then read from its controls into a record that has only
  // the parts the window does not show yet (trees, list, legend tables, margins, the
  // mesh grid's style) from the file.
  std::string throughWindow(const fs::path& file) {
    open();
    window->loadSettingsFrom(file);
    settings::DrawingSettings r = defaults();
    const auto& w = window->settings();
    r.fgdLayers = w.fgdLayers;
    r.basicInfoLayers = w.basicInfoLayers;
    r.mlitLayers = w.mlitLayers;
    r.legendIntervals = w.legendIntervals;
    r.legendBottoms = w.legendBottoms;
    r.marginLeft = w.marginLeft, r.marginTop = w.marginTop, r.marginRight = w.marginRight;
    r.marginBottom = w.marginBottom;
    r.meshGridColour = w.meshGridColour;
    r.meshGridStyle = w.meshGridStyle;
    window->readSettings(r);
    const fs::path out = temp / "window.trl";
    fs::remove(out);
    EXPECT_TRUE(settings::saveSettings(out, r));
    return readBytes(out);
  }
  static settings::DrawingSettings defaults() {
    settings::DrawingSettings s;
    platform::PrinterCatalogue printers;
    settings::startUp(s, shippedData(), {std::nullopt, false, false}, printers);
    return s;
  }
  std::string throughRecord(const fs::path& file) {
    settings::DrawingSettings s = defaults();
    settings::loadSettings(file, s, platform::PrinterCatalogue());
    const fs::path out = temp / "record.trl";
    fs::remove(out);
    EXPECT_TRUE(settings::saveSettings(out, s));
    return readBytes(out);
  }
};

TEST_F(SettingsRoundTrip, ShippedStandardFiles) {
  for (const char* name : {settings::kFgdStandardFile, settings::kMlitStandardColourFile,
                           settings::kBasicInfoStandardFile, settings::kCheckClearFile}) {
    const fs::path file = shippedData() / settings::utf8Path(name);
    ASSERT_TRUE(fs::exists(file)) << name;
    EXPECT_EQ(throughWindow(file), throughRecord(file)) << name;
  }
}

TEST_F(SettingsRoundTrip, EveryWindowFieldAwayFromItsDefault) {
  settings::DrawingSettings s;
  platform::PrinterCatalogue printers;
  settings::startUp(s, shippedData(), {std::nullopt, false, false}, printers);
  s.writeFolder = "地図/出力";
  s.printerName = "Terralinea Paper";
  s.processSubfolders = false;
  s.parallelSheets = true;
  s.paperSize = "B4 (JIS)";
  s.paperOrientation = 0;
  s.penTable = "monochrome.ctb";
  s.textFont = 2;
  s.drawingUnit = 1;
  s.scaleChoice = 20;
  s.marginLeft = 5, s.marginTop = -3, s.marginRight = 7, s.marginBottom = 11;
  s.fileFormat = 1;
  s.initialSpace = 1;
  s.viewerChoice = 1;
  s.mapName = "桜浦";
  s.coordinateSystem = 40;
  s.northEdge = "-1.5";
  s.southEdge = "-3e3";
  s.westEdge = "12";
  s.eastEdge = "abc";  // kept as typed; only the start checks judge it
  s.sheetColumns = "3";
  s.sheetRows = "700";
  s.overlapPercent = 25;
  s.eastWestCorrection = "1.25";
  s.northSouthCorrection = "-2";
  s.elevationFolder = "データ/標高";
  s.meshSource = 3;
  s.contourSource = 4;
  s.contourWeightRule = 5;
  s.contourTarget = 3;
  s.shortContourOmission = 13;
  s.datumCorrection = "-0.5";
  s.elevationExaggeration = "2.5";
  s.legendColourRamp = 2;
  s.legendLevelChoice = 3;
  s.legendAuto = false;
  s.legendIntervalBias = 9;
  s.legendBottomBias = 0;
  s.crossSectionsOn = true;
  s.crossSectionCount = 42;
  s.crossSectionAngle = 3599;
  s.meshGridOn = true;
  s.meshGridColour = 0x0000FF;
  s.meshCodeDigits = 2;
  s.symbolScale = "1.75";
  s.objectRankFilter = 4;
  s.minBuildingPerimeter = 999;
  s.minRoadWidth = "5.5";
  s.fgdFolder = "データ/基盤";
  s.mlitFolder = "データ/数値";
  s.basicInfoFolder = "データ/基本";
  const fs::path file = temp / "every.trl";
  ASSERT_TRUE(settings::saveSettings(file, s));
  const std::string viaWindow = throughWindow(file);
  EXPECT_EQ(viaWindow, throughRecord(file));
  EXPECT_NE(viaWindow.find("syukusyaku=20"), std::string::npos);
  // The save button's way over the file itself changes nothing.
  ASSERT_TRUE(window->saveSettingsTo(file));
  EXPECT_EQ(readBytes(file), viaWindow);
}

}  // namespace
