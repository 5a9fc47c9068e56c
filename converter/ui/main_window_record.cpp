#include "converter/ui/main_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

#include "converter/geo/colour_legend.h"
#include "converter/run/run_outcome.h"
#include "converter/settings/choice_lists.h"
#include "converter/settings/settings_file.h"
#include "converter/settings/sheet_labels.h"
#include "converter/settings/startup.h"
#include "converter/ui/fields.h"
#include "converter/ui/form_widgets.h"
#include "converter/ui/run_window.h"
#include "converter/ui/window_host.h"
#include "platform/user_folders.h"

namespace ui {

namespace fs = std::filesystem;

// ---------------------------------------------------------------------------------------
// Record and controls

void MainWindow::showSettings() {
  const bool wasShowing = showing_;
  showing_ = true;
  const auto& s = settings_;
  fgdFolder_->setText(q(s.fgdFolder));
  mlitFolder_->setText(q(s.mlitFolder));
  basicInfoFolder_->setText(q(s.basicInfoFolder));

  writeFolder_->setText(q(s.writeFolder));
  showText(printer_, s.printerName);
  fillPaperList(s.printerName);
  showText(paperSize_, s.paperSize);
  processSubfolders_->setChecked(s.processSubfolders);
  parallelSheets_->setChecked(s.parallelSheets);
  showChoice(paperOrientation_, s.paperOrientation);
  showText(penTable_, s.penTable);
  showChoice(textFont_, s.textFont);
  showChoice(drawingUnit_, s.drawingUnit);
  showChoice(scale_, s.scaleChoice);
  margins_->setText(QStringLiteral("左 %1　上 %2　右 %3　下 %4 mm")
                        .arg(s.marginLeft)
                        .arg(s.marginTop)
                        .arg(s.marginRight)
                        .arg(s.marginBottom));
  showChoice(fileFormat_, s.fileFormat);
  showChoice(initialSpace_, s.initialSpace);
  showChoice(viewer_, s.viewerChoice);

  mapName_->setText(q(s.mapName));
  showChoice(coordinateSystem_, s.coordinateSystem);
  north_->setText(q(s.northEdge));
  south_->setText(q(s.southEdge));
  west_->setText(q(s.westEdge));
  east_->setText(q(s.eastEdge));
  columns_->setText(q(s.sheetColumns));
  rows_->setText(q(s.sheetRows));
  overlap_->setValue(s.overlapPercent);
  eastWestCorrection_->setText(q(s.eastWestCorrection));
  northSouthCorrection_->setText(q(s.northSouthCorrection));

  elevationFolder_->setText(q(s.elevationFolder));
  for (int i = 0; i < settings::kElevationSourceCount; ++i) {
    meshSources_[i]->setText(q(s.meshSourceCaptions[i]));
    contourSources_[i]->setText(q(s.contourSourceCaptions[i]));
  }
  showSources();
  showChoice(contourWeight_, s.contourWeightRule);
  showChoice(contourTarget_, s.contourTarget);
  showChoice(shortContours_, s.shortContourOmission);
  datumCorrection_->setText(q(s.datumCorrection));
  exaggeration_->setText(q(s.elevationExaggeration));
  ramp_->setValue(s.legendColourRamp);
  fillLegendLevels();
  legendAuto_->setChecked(s.legendAuto);
  intervalBias_->setValue(s.legendIntervalBias);
  bottomBias_->setValue(s.legendBottomBias);
  crossSections_->setChecked(s.crossSectionsOn);
  crossSectionCount_->setValue(s.crossSectionCount);
  crossSectionAngle_->setValue(s.crossSectionAngle);

  meshGrid_->setText(q(s.meshGridCaption));
  meshGrid_->setChecked(s.meshGridOn);
  paintInColour(meshGrid_, s.meshGridColour);
  showChoice(meshCodeDigits_, s.meshCodeDigits);

  symbolScale_->setText(q(s.symbolScale));
  showChoice(rankFilter_, s.objectRankFilter);
  minBuilding_->setValue(s.minBuildingPerimeter);
  minRoadWidth_->setText(q(s.minRoadWidth));
  showItemLists();
  showing_ = wasShowing;
  if (!showing_) {
    // Fields whose controls cannot hold the stored value (a clamped spin) keep the control's.
    readSettings();
    applyRules();
  }
}

void MainWindow::readSettings(settings::DrawingSettings& s) const {
  s.fgdFolder = s8(fgdFolder_->text());
  s.mlitFolder = s8(mlitFolder_->text());
  s.basicInfoFolder = s8(basicInfoFolder_->text());

  s.writeFolder = s8(writeFolder_->text());
  s.printerName = s8(printer_->currentText());
  s.processSubfolders = processSubfolders_->isChecked();
  s.parallelSheets = parallelSheets_->isChecked();
  s.paperSize = s8(paperSize_->currentText());
  s.paperOrientation = paperOrientation_->currentIndex();
  s.penTable = s8(penTable_->currentText());
  s.textFont = textFont_->currentIndex();
  s.drawingUnit = drawingUnit_->currentIndex();
  s.scaleChoice = scale_->currentIndex();
  s.fileFormat = fileFormat_->currentIndex();
  s.initialSpace = initialSpace_->currentIndex();
  s.viewerChoice = viewer_->currentIndex();

  s.mapName = s8(mapName_->text());
  s.coordinateSystem = coordinateSystem_->currentIndex();
  s.northEdge = s8(north_->text());
  s.southEdge = s8(south_->text());
  s.westEdge = s8(west_->text());
  s.eastEdge = s8(east_->text());
  s.sheetColumns = s8(columns_->text());
  s.sheetRows = s8(rows_->text());
  s.overlapPercent = overlap_->value();
  s.eastWestCorrection = s8(eastWestCorrection_->text());
  s.northSouthCorrection = s8(northSouthCorrection_->text());

  s.elevationFolder = s8(elevationFolder_->text());
  s.meshSource = s.contourSource = settings::kNoChoice;
  for (int i = settings::kElevationSourceCount - 1; i >= 0; --i) {
    if (meshSources_[i]->isChecked()) s.meshSource = i;
    if (contourSources_[i]->isChecked()) s.contourSource = i;
  }
  s.contourWeightRule = contourWeight_->currentIndex();
  s.contourTarget = contourTarget_->currentIndex();
  s.shortContourOmission = shortContours_->currentIndex();
  s.datumCorrection = s8(datumCorrection_->text());
  s.elevationExaggeration = s8(exaggeration_->text());
  s.legendColourRamp = ramp_->value();
  s.legendLevelChoice = legendLevels_->currentIndex();
  s.legendAuto = legendAuto_->isChecked();
  s.legendIntervalBias = intervalBias_->value();
  s.legendBottomBias = bottomBias_->value();
  s.crossSectionsOn = crossSections_->isChecked();
  s.crossSectionCount = crossSectionCount_->value();
  s.crossSectionAngle = crossSectionAngle_->value();

  s.meshGridOn = meshGrid_->isChecked();
  s.meshCodeDigits = meshCodeDigits_->currentIndex();

  s.symbolScale = s8(symbolScale_->text());
  s.objectRankFilter = rankFilter_->currentIndex();
  s.minBuildingPerimeter = minBuilding_->value();
  s.minRoadWidth = s8(minRoadWidth_->text());

  // What the trees, lists, tables and dialogs edit in the window's own record.
  if (&s != &settings_) {
    s.fgdLayers = settings_.fgdLayers;
    s.basicInfoLayers = settings_.basicInfoLayers;
    s.mlitLayers = settings_.mlitLayers;
    s.legendIntervals = settings_.legendIntervals;
    s.legendBottoms = settings_.legendBottoms;
    s.meshGridColour = settings_.meshGridColour;
    s.meshGridStyle = settings_.meshGridStyle;
    s.marginLeft = settings_.marginLeft;
    s.marginTop = settings_.marginTop;
    s.marginRight = settings_.marginRight;
    s.marginBottom = settings_.marginBottom;
    s.elevationBufferCells = settings_.elevationBufferCells;
    s.contourShare = settings_.contourShare;
  }
}

// ---------------------------------------------------------------------------------------
// Coupling rules

void MainWindow::edited() {
  if (showing_) return;
  readSettings();
  applyRules();
}

void MainWindow::applyRules() {
  const auto& s = settings_;
  const bool overlap = s.overlapVisible();
  overlap_->setVisible(overlap);
  overlapLabel_->setVisible(overlap);
  north_->setEnabled(s.northEastEdgesEditable());
  east_->setEnabled(s.northEastEdgesEditable());
  sheetSize_->setText(q(s.sheetSizeText()));

  const bool colours = s.legendColourControlsVisible();
  rampLabel_->setVisible(colours);
  ramp_->setVisible(colours);
  rampStrip_->setVisible(colours);
  paintLegendStrip();

  const bool bias = s.biasSlidersVisible();
  for (QWidget* w : std::initializer_list<QWidget*>{intervalBias_, intervalMarks_, bottomBias_, bottomMarks_})
    w->setVisible(bias);
  intervalTable_->setVisible(!bias);
  bottomTable_->setVisible(!bias);
}

void MainWindow::showSources() {
  const bool wasShowing = showing_;
  showing_ = true;
  for (int i = 0; i < settings::kElevationSourceCount; ++i) {
    meshSources_[i]->setChecked(settings_.meshSource == i);
    contourSources_[i]->setChecked(settings_.contourSource == i);
  }
  showing_ = wasShowing;
}

void MainWindow::sourceClicked(bool mesh, int source, bool on) {
  if (showing_) return;
  if (mesh)
    settings_.setMeshSource(source, on);
  else
    settings_.setContourSource(source, on);
  showSources();
}

void MainWindow::fileFormatChosen(int format) {
  if (showing_) return;
  settings_.fileFormat = format;
  settings_.applyFileFormatRules();
  showing_ = true;
  fillLegendLevels();
  showing_ = false;
  edited();
}

void MainWindow::fillLegendLevels() {
  // Shortened lists lose their tail; a lengthened list gets the missing items in order.
  const int count = settings_.legendLevelItemCount();
  const bool wasShowing = showing_;
  showing_ = true;
  while (legendLevels_->count() > count) legendLevels_->removeItem(legendLevels_->count() - 1);
  while (legendLevels_->count() < count)
    legendLevels_->addItem(q(settings::kLegendLevelItems[static_cast<std::size_t>(legendLevels_->count())]));
  showChoice(legendLevels_, settings_.legendLevelChoice);
  showing_ = wasShowing;
}

void MainWindow::paintLegendStrip() {
  constexpr int steps = 129;
  QImage strip(steps, 1, QImage::Format_RGB32);
  for (int i = 0; i < steps; ++i) {
    const auto colour = geo::rgb(i, steps - 1, geo::Flavour::trueColour, settings_.legendColourRamp);
    const long long rgb = colour.trueColour.value_or(0);
    strip.setPixel(i, 0, qRgb(int(rgb >> 16) & 0xFF, int(rgb >> 8) & 0xFF, int(rgb) & 0xFF));
  }
  rampStrip_->setPixmap(QPixmap::fromImage(strip));
}

void MainWindow::fillPaperList(const std::string& printer) {
  const auto papers = printers_.papers(printer);
  if (!papers) return;  // an unknown printer leaves the list as it is
  const bool wasShowing = showing_;
  showing_ = true;
  paperSize_->clear();
  for (const auto& paper : *papers) paperSize_->addItem(q(paper.name));
  showing_ = wasShowing;
}

void MainWindow::printerChosen(int index) {
  const std::string name = s8(printer_->itemText(index));
  if (!printers_.papers(name)) {
    host_.message("Printer.GetPrinter エラー", "Printer.GetPrinter エラー");
    return;
  }
  fillPaperList(name);
  paperSize_->setEditText(QString());
  edited();
}

}  // namespace ui
