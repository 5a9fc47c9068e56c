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
#include "converter/ui/run_window.h"
#include "converter/ui/window_host.h"
#include "platform/user_folders.h"

namespace ui {

namespace {

namespace fs = std::filesystem;

QString q(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }
std::string s8(const QString& text) { return text.toStdString(); }

template <typename Items>
QComboBox* choiceBox(const Items& items, const char* name) {
  auto* box = new QComboBox;
  box->setObjectName(name);
  for (const auto& item : items) box->addItem(q(item));
  return box;
}

// An index outside the list leaves the box without a selection (the start checks report it).
void showChoice(QComboBox* box, int index) { box->setCurrentIndex(index >= 0 && index < box->count() ? index : -1); }

// An editable box whose text may be a name the list lacks.
void showText(QComboBox* box, const std::string& text) {
  const int i = box->findText(q(text));
  if (i >= 0) box->setCurrentIndex(i);
  box->setEditText(q(text));
}

QLineEdit* numberEdit(const char* name) {
  auto* edit = new QLineEdit;
  edit->setObjectName(name);
  NumberTypingFilter::install(edit);
  return edit;
}

QLabel* caption(const QString& text) {
  auto* label = new QLabel(text);
  label->setTextFormat(Qt::PlainText);
  return label;
}

// Label and control on one row of a form grid.
void addRow(QGridLayout* grid, int row, const QString& text, QWidget* control, int span = 1) {
  grid->addWidget(caption(text), row, 0);
  grid->addWidget(control, row, 1, 1, span);
}

QGridLayout* formGrid(QWidget* on) {
  auto* grid = new QGridLayout(on);
  grid->setHorizontalSpacing(8);
  grid->setVerticalSpacing(5);
  return grid;
}

// The three marks under a bias slider.
QWidget* sliderMarks(const QString& low, const QString& mid, const QString& high) {
  auto* marks = new QWidget;
  auto* row = new QHBoxLayout(marks);
  row->setContentsMargins(0, 0, 0, 0);
  row->addWidget(caption(low));
  row->addStretch();
  row->addWidget(caption(mid));
  row->addStretch();
  row->addWidget(caption(high));
  return marks;
}

QSlider* biasSlider(const char* name, int high) {
  auto* slider = new QSlider(Qt::Horizontal);
  slider->setObjectName(name);
  slider->setRange(0, high);
  slider->setPageStep(1);
  slider->setTickPosition(QSlider::TicksBelow);
  slider->setTickInterval(1);
  return slider;
}

}  // namespace

QString versionText() { return q(run::programTitle(TERRALINEA_VERSION)); }

MainWindow::MainWindow(WindowHost& host, platform::PrinterCatalogue printers, QWidget* parent)
    : QMainWindow(parent), host_(host), printers_(std::move(printers)) {
  setObjectName("MainWindow");
  setWindowTitle(versionText());
  auto* central = new QWidget;
  auto* column = new QVBoxLayout(central);
  column->setContentsMargins(8, 8, 8, 8);
  tabs_ = new QTabWidget;
  tabs_->setObjectName("tabs");
  tabs_->addTab(buildSettingsTab(), QStringLiteral(" 描画設定 "));
  tabs_->addTab(buildDataTab(QStringLiteral("基盤地図情報フォルダ"), fgdFolder_, QStringLiteral("標準設定"),
                             settings::kFgdStandardFile,
                             QStringLiteral("基盤地図情報のレイヤーツリー（描画する項目、色、線の太さ、文字の大きさ）を"
                                            "このタブに置きます。")),
                QStringLiteral("基盤地図情報　（国土地理院）"));
  tabs_->addTab(
      buildDataTab(QStringLiteral("国土数値情報フォルダ"), mlitFolder_, QStringLiteral("標準色設定"),
                   settings::kMlitStandardColourFile,
                   QStringLiteral("国土数値情報の項目一覧（25項目ごとの列、項目の色）をこのタブに置きます。")),
      QStringLiteral("国土数値情報　（国土交通省）"));
  tabs_->addTab(buildDataTab(QStringLiteral("国土基本情報フォルダ"), basicInfoFolder_, QStringLiteral("標準設定"),
                             settings::kBasicInfoStandardFile,
                             QStringLiteral("国土基本情報のレイヤーツリーをこのタブに置きます。")),
                QStringLiteral("国土基本情報　（国土地理院）"));
  tabs_->addTab(buildLegendTab(QStringLiteral("図葉ごとの標高凡例間隔の表をこのタブに置きます。")),
                QStringLiteral("標高凡例間隔 "));
  tabs_->addTab(buildLegendTab(QStringLiteral("図葉ごとの標高凡例最下面の表をこのタブに置きます。")),
                QStringLiteral("標高凡例最下面 "));
  column->addWidget(tabs_, 1);

  auto* buttons = new QHBoxLayout;
  auto addButton = [&](const QString& text, const char* name) {
    auto* b = new QPushButton(text);
    b->setObjectName(name);
    b->setMinimumWidth(120);
    buttons->addWidget(b);
    return b;
  };
  auto* start = addButton(QStringLiteral("処理開始"), "startButton");
  start->setDefault(true);
  connect(start, &QPushButton::clicked, this, [this] { startConversion(); });
  buttons->addSpacing(24);
  connect(addButton(QStringLiteral("設定値保存"), "saveButton"), &QPushButton::clicked, this,
          &MainWindow::chooseSaveFile);
  connect(addButton(QStringLiteral("設定値読込"), "loadButton"), &QPushButton::clicked, this,
          &MainWindow::chooseLoadFile);
  buttons->addStretch();
  connect(addButton(QStringLiteral("バージョン情報"), "versionButton"), &QPushButton::clicked, this,
          &MainWindow::showVersion);
  column->addLayout(buttons);
  setCentralWidget(central);

  runWindow_ = new RunWindow(host_, this);
  const QString home = q(settings::pathText(platform::defaultFolderRoot()));
  saveFolder_ = openFolder_ = home;
  showSettings();
}

MainWindow::~MainWindow() = default;

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
  right->addStretch();
  columns->addLayout(right, 16);
  return page;
}

QPushButton* MainWindow::folderButton(const QString& text, QLineEdit* edit) {
  auto* button = new QPushButton(text);
  // Room around the caption: the fusion style draws it edge to edge.
  button->setMinimumWidth(button->sizeHint().width() + 12);
  connect(button, &QPushButton::clicked, this, [this, edit, text] {
    const QString folder = QFileDialog::getExistingDirectory(this, text, edit->text());
    if (!folder.isEmpty()) edit->setText(folder);
  });
  return button;
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
  grid->addWidget(processSubfolders_, 2, 1);
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

  // The margin dialog is still to come: the button shows the values it would edit.
  auto* marginButton = new QPushButton(QStringLiteral("余白"));
  marginButton->setEnabled(false);
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
  folderRow->addWidget(folderButton(QStringLiteral("標高データフォルダ"), elevationFolder_));
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

QWidget* MainWindow::buildDataTab(const QString& folderCaption, QLineEdit*& folderEdit, const QString& standardCaption,
                                  const char* standardFile, const QString& whatComes) {
  auto* page = new QWidget;
  auto* column = new QVBoxLayout(page);
  auto* row = new QHBoxLayout;
  folderEdit = new QLineEdit;
  row->addWidget(folderButton(folderCaption, folderEdit));
  row->addWidget(folderEdit, 1);
  auto* standard = new QPushButton(standardCaption);
  connect(standard, &QPushButton::clicked, this, [this, standardFile] { loadStandardFile(standardFile); });
  row->addWidget(standard);
  column->addLayout(row);
  auto* note = caption(whatComes);
  note->setAlignment(Qt::AlignCenter);
  note->setEnabled(false);
  column->addWidget(note, 1);
  connect(folderEdit, &QLineEdit::textChanged, this, &MainWindow::edited);
  return page;
}

QWidget* MainWindow::buildLegendTab(const QString& whatComes) {
  auto* page = new QWidget;
  auto* column = new QVBoxLayout(page);
  auto* note = caption(whatComes);
  note->setAlignment(Qt::AlignCenter);
  note->setEnabled(false);
  column->addWidget(note);
  return page;
}

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

// ---------------------------------------------------------------------------------------
// Start-up, files, buttons

bool MainWindow::startUp(const fs::path& dataFolder, const std::optional<fs::path>& settingsFile) {
  dataFolder_ = dataFolder;
  settings::StartupOptions options;
  options.settingsFile = settingsFile;
  const auto result = settings::startUp(settings_, dataFolder, options, printers_);
  for (const auto& m : result.items.messages) host_.message(m.caption, m.text);
  if (result.items.programEnds) return false;
  if (settingsFile) saveName_ = q(settings::pathText(settingsFile->filename()));
  showSettings();

  // No larger than the screen.
  if (const QScreen* screen = QApplication::primaryScreen()) {
    const QSize room = screen->availableGeometry().size();
    resize(std::min(width(), room.width()), std::min(height(), room.height()));
  }
  return true;
}

void MainWindow::loadSettingsFrom(const fs::path& file) {
  settings::loadSettings(file, settings_, printers_);
  if (const auto name = settings::proposedSaveName(file)) {
    saveName_ = q(*name);
    saveFolder_ = q(settings::pathText(platform::defaultFolderRoot()));
  }
  showSettings();
  setWindowTitle("Terralinea - " + saveName_);
}

bool MainWindow::saveSettingsTo(const fs::path& file) {
  readSettings();
  std::string error;
  if (!settings::saveSettings(file, settings_, &error)) {
    host_.message("警告", "設定ファイルを書き込めません: " + settings::pathText(file) + "\r\n" + error);
    return false;
  }
  openFolder_ = q(settings::pathText(file.parent_path()));
  setWindowTitle("Terralinea - " + q(settings::pathText(file.filename())));
  return true;
}

void MainWindow::chooseSaveFile() {
  QFileDialog dialog(this, QStringLiteral("設定値保存"), saveFolder_);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setNameFilters({QStringLiteral("*.trl"), QStringLiteral("*.*")});
  dialog.setDefaultSuffix("trl");
  dialog.selectFile(saveName_.isEmpty() ? q(settings_.mapName) + ".trl" : saveName_);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
  saveSettingsTo(settings::utf8Path(s8(dialog.selectedFiles().first())));
}

void MainWindow::chooseLoadFile() {
  QFileDialog dialog(this, QStringLiteral("設定ファイル選択"), openFolder_);
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setNameFilters({QStringLiteral("*.trl,*pvk,*.zdn (*.trl *.pvk *.zdn)"), QStringLiteral("*.trl"),
                         QStringLiteral("*.pvk"), QStringLiteral("*.zdn"), QStringLiteral("*.*")});
  dialog.setDefaultSuffix("trl");
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
  loadSettingsFrom(settings::utf8Path(s8(dialog.selectedFiles().first())));
}

void MainWindow::loadStandardFile(const char* name) {
  // A standard file holds only its own sections: the rest of the record stays.
  readSettings();
  settings::loadSettings(dataFolder_ / settings::utf8Path(name), settings_, printers_);
  showSettings();
}

void MainWindow::showVersion() {
  host_.message(s8(versionText()),
                "基盤地図情報・国土数値情報などの地理空間データから、用紙に合わせた図葉のDXFファイルを作成します。");
}

QString MainWindow::programTitle() const { return versionText(); }

run::RunOutcome MainWindow::startConversion() {
  readSettings();
  runWindow_->reset();
  run::StartOptions options;
  options.title = s8(programTitle());
  options.startPauseSeconds = startPause_;
  const run::RunOutcome outcome = run::startRun(settings_, printers_, *runWindow_, options);
  runWindow_->hide();
  QApplication::processEvents();
  // The checks write the computed edges back; the memory values were reset.
  showSettings();

  using Status = run::RunOutcome::Status;
  if (outcome.status == Status::completedWithProblems && !outcome.resultFile.empty()) {
    openResult(outcome.resultFile);
  } else if (outcome.status == Status::completed) {
    const std::string text = run::completionText(outcome.seconds, outcome.values.singleSheet(), settings_.mapName);
    if (host_.ask("正常終了", text, platform::Buttons::YesNo) && !outcome.resultFile.empty())
      openResult(outcome.resultFile);
    if (!outcome.lastRunError.empty()) host_.message("警告", "前回の設定を保存できません: " + outcome.lastRunError);
  }
  return outcome;
}

void MainWindow::openResult(const fs::path& file) {
  if (settings_.viewerChoice == 1) {
    const fs::path folder = platform::executableFolder();
    host_.startProgram(folder / "orbiscope", {settings::pathText(file)}, folder);
  } else {
    host_.openDocument(file);
  }
}

}  // namespace ui
