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
// Building the tabs

QWidget* MainWindow::buildSettingsTab() {
  auto* page = new QWidget;
  auto* columns = new QHBoxLayout(page);
  columns->setSpacing(10);

  auto* basic = new QGroupBox(QStringLiteral("基本設定"));
  basic->setObjectName("basicGroup");
  buildBasicGroup(formGrid(basic));
  auto* left = new QVBoxLayout;
  left->addWidget(basic);
  left->addStretch();
  columns->addLayout(left, 10);

  auto* middle = new QVBoxLayout;
  middle->addWidget(buildAreaGroup());
  middle->addWidget(buildMeshGridGroup());
  middle->addWidget(buildControlGroup());
  middle->addStretch();
  columns->addLayout(middle, 11);

  auto* right = new QVBoxLayout;
  right->addWidget(buildElevationGroup());
  right->addWidget(buildLinksGroup());
  right->addStretch();
  columns->addLayout(right, 16);
  return page;
}

void MainWindow::buildBasicGroup(QGridLayout* grid) {
  writeFolder_ = new QLineEdit;
  writeFolder_->setObjectName("writeFolder");
  grid->addWidget(folderButton(QStringLiteral("書込フォルダ"), writeFolder_), 0, 0);
  grid->addWidget(writeFolder_, 0, 1);

  printer_ = new QComboBox;
  printer_->setObjectName("printerName");
  printer_->setEditable(true);
  printer_->setInsertPolicy(QComboBox::NoInsert);
  for (const auto& name : printers_.printerNames()) printer_->addItem(q(name));
  addRow(grid, 1, QStringLiteral("プリンタ"), printer_);
  processSubfolders_ = new QCheckBox(QStringLiteral("サブフォルダも処理する"));
  processSubfolders_->setObjectName("processSubfolders");
  parallelSheets_ = new QCheckBox(QStringLiteral("図葉を並列処理"));
  parallelSheets_->setObjectName("parallelSheets");
  parallelSheets_->setToolTip(QStringLiteral("複数の図葉をCPUのコア数だけ同時に作成します"));
  auto* boxes = new QHBoxLayout;
  boxes->addWidget(processSubfolders_);
  boxes->addWidget(parallelSheets_);
  boxes->addStretch();
  grid->addLayout(boxes, 2, 1);
  paperSize_ = new QComboBox;
  paperSize_->setObjectName("paperSize");
  paperSize_->setEditable(true);
  paperSize_->setInsertPolicy(QComboBox::NoInsert);
  addRow(grid, 3, QStringLiteral("用紙サイズ"), paperSize_);
  paperOrientation_ = choiceBox(settings::kOrientationItems, "paperOrientation");
  addRow(grid, 4, QStringLiteral("用紙方向"), paperOrientation_);
  penTable_ = choiceBox(settings::kPenTableItems, "penTable");
  penTable_->setEditable(true);
  penTable_->setInsertPolicy(QComboBox::NoInsert);
  addRow(grid, 5, QStringLiteral("ペン割当"), penTable_);
  textFont_ = choiceBox(settings::kTextFontItems, "textFont");
  addRow(grid, 6, QStringLiteral("フォント"), textFont_);
  drawingUnit_ = choiceBox(settings::kDrawingUnitItems, "drawingUnit");
  addRow(grid, 7, QStringLiteral("単位"), drawingUnit_);
  scale_ = choiceBox(settings::kScaleItems, "scaleChoice");
  scale_->setMaxVisibleItems(16);
  addRow(grid, 8, QStringLiteral("縮尺"), scale_);

  auto* marginButton = new QPushButton(QStringLiteral("余白"));
  marginButton->setObjectName("marginButton");
  connect(marginButton, &QPushButton::clicked, this, &MainWindow::chooseMargins);
  margins_ = caption(QString());
  margins_->setObjectName("margins");
  grid->addWidget(marginButton, 9, 0);
  grid->addWidget(margins_, 9, 1);
  fileFormat_ = choiceBox(settings::kFileFormatItems, "fileFormat");
  addRow(grid, 10, QStringLiteral("ファイル形式"), fileFormat_);
  initialSpace_ = choiceBox(settings::kInitialSpaceItems, "initialSpace");
  addRow(grid, 11, QStringLiteral("初期表示"), initialSpace_);
  viewer_ = choiceBox(settings::kViewerItems, "viewerChoice");
  addRow(grid, 12, QStringLiteral("閲覧ソフト"), viewer_);
  grid->setColumnStretch(1, 1);

  connect(writeFolder_, &QLineEdit::textChanged, this, &MainWindow::edited);
  connect(printer_, &QComboBox::activated, this, &MainWindow::printerChosen);
  connect(printer_, &QComboBox::editTextChanged, this, &MainWindow::edited);
  connect(processSubfolders_, &QCheckBox::toggled, this, &MainWindow::edited);
  connect(parallelSheets_, &QCheckBox::toggled, this, &MainWindow::edited);
  connect(paperSize_, &QComboBox::editTextChanged, this, &MainWindow::edited);
  connect(penTable_, &QComboBox::editTextChanged, this, &MainWindow::edited);
  for (auto* box : {paperOrientation_, textFont_, drawingUnit_, scale_, initialSpace_, viewer_})
    connect(box, &QComboBox::currentIndexChanged, this, &MainWindow::edited);
  connect(fileFormat_, &QComboBox::currentIndexChanged, this, &MainWindow::fileFormatChosen);
}

QWidget* MainWindow::buildAreaGroup() {
  auto* group = new QGroupBox(QStringLiteral("描画範囲設定"));
  group->setObjectName("areaGroup");
  auto* grid = formGrid(group);
  mapName_ = new QLineEdit;
  mapName_->setObjectName("mapName");
  // A right click brings the on-screen keyboard, for touch screens.
  mapName_->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(mapName_, &QLineEdit::customContextMenuRequested, this, [this] { openBesideProgram("osk", true); });
  addRow(grid, 0, QStringLiteral("地図名"), mapName_, 3);
  coordinateSystem_ = new QComboBox;
  coordinateSystem_->setObjectName("coordinateSystem");
  for (const auto& item : settings::coordinateSystemItems()) coordinateSystem_->addItem(q(item));
  coordinateSystem_->setMaxVisibleItems(20);
  addRow(grid, 1, QStringLiteral("座標系"), coordinateSystem_, 3);

  north_ = numberEdit("northEdge");
  south_ = numberEdit("southEdge");
  west_ = numberEdit("westEdge");
  east_ = numberEdit("eastEdge");
  addRow(grid, 2, QStringLiteral("北端"), north_);
  grid->addWidget(caption(QStringLiteral("南端")), 2, 2);
  grid->addWidget(south_, 2, 3);
  addRow(grid, 3, QStringLiteral("西端"), west_);
  grid->addWidget(caption(QStringLiteral("東端")), 3, 2);
  grid->addWidget(east_, 3, 3);

  columns_ = new CountSpinBox(1, 255);
  columns_->setObjectName("sheetColumns");
  rows_ = new CountSpinBox(1, 255);
  rows_->setObjectName("sheetRows");
  addRow(grid, 4, QStringLiteral("横分割数"), columns_);
  grid->addWidget(caption(QStringLiteral("縦分割数")), 4, 2);
  grid->addWidget(rows_, 4, 3);
  overlap_ = new QSpinBox;
  overlap_->setObjectName("overlapPercent");
  overlap_->setRange(0, 50);
  overlapLabel_ = caption(QStringLiteral("重ね(%)"));
  grid->addWidget(overlapLabel_, 5, 0);
  grid->addWidget(overlap_, 5, 1);
  sheetSize_ = caption(QString());
  sheetSize_->setObjectName("sheetSize");
  grid->addWidget(sheetSize_, 5, 2, 1, 2);
  eastWestCorrection_ = numberEdit("eastWestCorrection");
  northSouthCorrection_ = numberEdit("northSouthCorrection");
  addRow(grid, 6, QStringLiteral("東西補正"), eastWestCorrection_);
  grid->addWidget(caption(QStringLiteral("南北補正")), 6, 2);
  grid->addWidget(northSouthCorrection_, 6, 3);
  grid->setColumnStretch(1, 1);
  grid->setColumnStretch(3, 1);

  for (auto* edit : {mapName_, north_, south_, west_, east_, eastWestCorrection_, northSouthCorrection_})
    connect(edit, &QLineEdit::textChanged, this, &MainWindow::edited);
  connect(coordinateSystem_, &QComboBox::currentIndexChanged, this, &MainWindow::edited);
  for (auto* count : {columns_, rows_}) connect(count->editor(), &QLineEdit::textChanged, this, &MainWindow::edited);
  connect(overlap_, &QSpinBox::valueChanged, this, &MainWindow::edited);
  connect(mapName_, &QLineEdit::textEdited, this, [this](const QString& name) { saveName_ = name + ".trl"; });
  return group;
}

QWidget* MainWindow::buildMeshGridGroup() {
  auto* group = new QGroupBox(QStringLiteral("標準地域メッシュ"));
  group->setObjectName("meshGridGroup");
  auto* row = new QHBoxLayout(group);
  meshGrid_ = new QCheckBox;
  meshGrid_->setObjectName("meshGridOn");
  meshCodeDigits_ = choiceBox(settings::kMeshCodeDigitItems, "meshCodeDigits");
  row->addWidget(meshGrid_, 1);
  row->addWidget(meshCodeDigits_);
  connect(meshGrid_, &QCheckBox::toggled, this, &MainWindow::edited);
  meshGrid_->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(meshGrid_, &QCheckBox::customContextMenuRequested, this, [this] {
    const int code = settings_.meshGridStyle;
    const auto chosen = askStyle({settings_.meshGridColour, code % 256, code / 256}, meshGrid_->text());
    if (!chosen) return;
    settings_.meshGridColour = chosen->colour;
    settings_.meshGridStyle = settings::styleCode(chosen->sizeIndex, chosen->weightIndex);
    paintInColour(meshGrid_, settings_.meshGridColour);
  });
  connect(meshCodeDigits_, &QComboBox::currentIndexChanged, this, &MainWindow::edited);
  return group;
}

QWidget* MainWindow::buildControlGroup() {
  auto* group = new QGroupBox(QStringLiteral("描画制御"));
  group->setObjectName("controlGroup");
  auto* column = new QVBoxLayout(group);

  auto* shared = new QGroupBox(QStringLiteral("基盤地図情報・国土基本情報"));
  auto* grid = formGrid(shared);
  symbolScale_ = numberEdit("symbolScale");
  addRow(grid, 0, QStringLiteral("文字・地図記号の大きさ"), symbolScale_);
  rankFilter_ = choiceBox(settings::kRankFilterItems, "objectRankFilter");
  addRow(grid, 1, QStringLiteral("オブジェクトの描画ランク"), rankFilter_);
  minBuilding_ = new QSpinBox;
  minBuilding_->setObjectName("minBuildingPerimeter");
  minBuilding_->setRange(0, 1000);
  auto* building = new QHBoxLayout;
  building->addWidget(caption(QStringLiteral("外周")));
  building->addWidget(minBuilding_, 1);
  building->addWidget(caption(QStringLiteral("m以上")));
  grid->addWidget(caption(QStringLiteral("建築物の表示ランク")), 2, 0);
  grid->addLayout(building, 2, 1);
  grid->setColumnStretch(1, 1);
  column->addWidget(shared);

  auto* basic = new QGroupBox(QStringLiteral("国土基本情報"));
  auto* road = new QHBoxLayout(basic);
  minRoadWidth_ = new QLineEdit;
  minRoadWidth_->setObjectName("minRoadWidth");
  road->addWidget(caption(QStringLiteral("指定幅以上の道路中心線を描画")));
  road->addWidget(minRoadWidth_, 1);
  road->addWidget(caption(QStringLiteral("m 以上")));
  column->addWidget(basic);

  for (auto* edit : {symbolScale_, minRoadWidth_}) connect(edit, &QLineEdit::textChanged, this, &MainWindow::edited);
  connect(rankFilter_, &QComboBox::currentIndexChanged, this, &MainWindow::edited);
  connect(minBuilding_, &QSpinBox::valueChanged, this, &MainWindow::edited);
  return group;
}

QWidget* MainWindow::buildElevationGroup() {
  auto* group = new QGroupBox(QStringLiteral("標高設定"));
  group->setObjectName("elevationGroup");
  auto* outer = new QVBoxLayout(group);

  auto* folderRow = new QHBoxLayout;
  elevationFolder_ = new QLineEdit;
  elevationFolder_->setObjectName("elevationFolder");
  folderRow->addWidget(folderButton(QStringLiteral("標高データフォルダ"), elevationFolder_, true));
  folderRow->addWidget(elevationFolder_, 1);
  outer->addLayout(folderRow);

  auto* top = new QHBoxLayout;
  auto sourceGroup = [&](const QString& title, auto& boxes, const char* prefix, bool mesh) {
    auto* box = new QGroupBox(title);
    auto* list = new QVBoxLayout(box);
    list->setSpacing(2);
    for (int i = 0; i < settings::kElevationSourceCount; ++i) {
      boxes[i] = new QCheckBox;
      boxes[i]->setObjectName(QString("%1%2").arg(prefix).arg(i));
      list->addWidget(boxes[i]);
      connect(boxes[i], &QCheckBox::clicked, this, [this, mesh, i](bool on) { sourceClicked(mesh, i, on); });
    }
    return box;
  };
  top->addWidget(sourceGroup(QStringLiteral("標高メッシュ"), meshSources_, "meshSource", true));
  top->addWidget(sourceGroup(QStringLiteral("等高線"), contourSources_, "contourSource", false));

  auto* contours = new QWidget;
  auto* grid = formGrid(contours);
  grid->setContentsMargins(4, 0, 0, 0);
  contourWeight_ = choiceBox(settings::kContourWeightItems, "contourWeightRule");
  addRow(grid, 0, QStringLiteral("線の太さ"), contourWeight_);
  contourTarget_ = choiceBox(settings::kContourTargetItems, "contourTarget");
  addRow(grid, 1, QStringLiteral("描画対象"), contourTarget_);
  shortContours_ = choiceBox(settings::kShortContourItems, "shortContourOmission");
  addRow(grid, 2, QStringLiteral("短い線の省略"), shortContours_);
  datumCorrection_ = numberEdit("datumCorrection");
  addRow(grid, 3, QStringLiteral("基準面補正"), datumCorrection_);
  exaggeration_ = numberEdit("elevationExaggeration");
  addRow(grid, 4, QStringLiteral("標高強調倍率"), exaggeration_);
  grid->setColumnStretch(1, 1);
  grid->setRowStretch(5, 1);
  top->addWidget(contours, 1);
  outer->addLayout(top);

  // Legend: colour ramp, levels, automatic interval and bottom.
  auto* legend = new QGroupBox(QStringLiteral("凡例"));
  auto* lg = formGrid(legend);
  rampLabel_ = caption(QStringLiteral("凡例色"));
  ramp_ = biasSlider("legendColourRamp", 7);
  rampStrip_ = new QLabel;
  rampStrip_->setObjectName("legendColourStrip");
  rampStrip_->setFixedHeight(14);
  rampStrip_->setMinimumWidth(129);
  rampStrip_->setScaledContents(true);
  lg->addWidget(rampLabel_, 0, 0);
  lg->addWidget(ramp_, 0, 1);
  lg->addWidget(rampStrip_, 0, 2);
  legendLevels_ = new QComboBox;
  legendLevels_->setObjectName("legendLevelChoice");
  lg->addWidget(caption(QStringLiteral("凡例数")), 1, 0);
  lg->addWidget(legendLevels_, 1, 1);
  legendAuto_ = new QCheckBox(QStringLiteral("間隔・最下面自動設定"));
  legendAuto_->setObjectName("legendAuto");
  lg->addWidget(legendAuto_, 1, 2);

  intervalBias_ = biasSlider("legendIntervalBias", 10);
  intervalMarks_ = sliderMarks(QStringLiteral("狭い"), QStringLiteral("標準"), QStringLiteral("広い"));
  intervalTable_ = new QPushButton(QStringLiteral("設　定"));
  intervalTable_->setObjectName("intervalTableButton");
  bottomBias_ = biasSlider("legendBottomBias", 10);
  bottomMarks_ = sliderMarks(QStringLiteral("低い"), QStringLiteral("標準"), QStringLiteral("高い"));
  bottomTable_ = new QPushButton(QStringLiteral("設　定"));
  bottomTable_->setObjectName("bottomTableButton");
  auto biasColumn = [](QSlider* slider, QWidget* marks, QPushButton* button) {
    auto* w = new QWidget;
    auto* v = new QVBoxLayout(w);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(0);
    v->addWidget(slider);
    v->addWidget(marks);
    v->addWidget(button, 0, Qt::AlignLeft);
    return w;
  };
  lg->addWidget(caption(QStringLiteral("凡例間隔")), 2, 0, Qt::AlignTop);
  lg->addWidget(biasColumn(intervalBias_, intervalMarks_, intervalTable_), 2, 1, 1, 2);
  lg->addWidget(caption(QStringLiteral("凡例最下面")), 3, 0, Qt::AlignTop);
  lg->addWidget(biasColumn(bottomBias_, bottomMarks_, bottomTable_), 3, 1, 1, 2);
  lg->setColumnStretch(1, 1);
  lg->setColumnStretch(2, 1);
  outer->addWidget(legend);

  auto* sections = new QHBoxLayout;
  crossSections_ = new QCheckBox(QStringLiteral("断面図"));
  crossSections_->setObjectName("crossSectionsOn");
  crossSectionCount_ = new QSpinBox;
  crossSectionCount_->setObjectName("crossSectionCount");
  crossSectionCount_->setRange(1, 100);
  crossSectionAngle_ = new AngleSpinBox;
  crossSectionAngle_->setObjectName("crossSectionAngle");
  crossSectionAngle_->setRange(-3600, 3600);
  sections->addWidget(crossSections_);
  sections->addSpacing(12);
  sections->addWidget(caption(QStringLiteral("断面数")));
  sections->addWidget(crossSectionCount_);
  sections->addSpacing(12);
  sections->addWidget(caption(QStringLiteral("角度(12度なら120)")));
  sections->addWidget(crossSectionAngle_);
  sections->addStretch();
  outer->addLayout(sections);

  for (auto* box : {contourWeight_, contourTarget_, shortContours_, legendLevels_})
    connect(box, &QComboBox::currentIndexChanged, this, &MainWindow::edited);
  for (auto* edit : {elevationFolder_, datumCorrection_, exaggeration_})
    connect(edit, &QLineEdit::textChanged, this, &MainWindow::edited);
  for (auto* slider : {ramp_, intervalBias_, bottomBias_})
    connect(slider, &QSlider::valueChanged, this, &MainWindow::edited);
  for (auto* box : {legendAuto_, crossSections_}) connect(box, &QCheckBox::toggled, this, &MainWindow::edited);
  for (auto* spin : {crossSectionCount_, static_cast<QSpinBox*>(crossSectionAngle_)})
    connect(spin, &QSpinBox::valueChanged, this, &MainWindow::edited);
  connect(intervalTable_, &QPushButton::clicked, this, [this] { tabs_->setCurrentIndex(4); });
  connect(bottomTable_, &QPushButton::clicked, this, [this] { tabs_->setCurrentIndex(5); });
  return group;
}

}  // namespace ui
