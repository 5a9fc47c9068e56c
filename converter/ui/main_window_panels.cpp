// The main window's data and legend tabs, the outside programs and pages, and the version
// button with its maintenance functions.
#include <QApplication>
#include <QCheckBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollArea>
#include <QTabWidget>
#include <QVBoxLayout>
#include <system_error>

#include "converter/elevation/elevation_source.h"
#include "converter/settings/choice_lists.h"
#include "converter/settings/settings_file.h"
#include "converter/settings/sheet_labels.h"
#include "converter/ui/form_widgets.h"
#include "converter/ui/layer_tree_view.h"
#include "converter/ui/legend_table_view.h"
#include "converter/ui/main_window.h"
#include "converter/ui/mlit_list_view.h"
#include "converter/ui/window_host.h"
#include "platform/user_folders.h"

namespace ui {

namespace fs = std::filesystem;

namespace {

constexpr std::int64_t kCellsPerFactor = 2097152;

// Calls `pressed` with the keys held when the left button goes down on the watched widget;
// the press goes no further when it returns true.
class PressWatcher : public QObject {
 public:
  using Action = std::function<bool(Qt::KeyboardModifiers)>;
  static void watch(QWidget* widget, Action pressed) { widget->installEventFilter(new PressWatcher(widget, std::move(pressed))); }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick) {
      auto* mouse = static_cast<QMouseEvent*>(event);
      if (mouse->button() == Qt::LeftButton)
        return pressed_(mouse->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier));
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  PressWatcher(QObject* parent, Action pressed) : QObject(parent), pressed_(std::move(pressed)) {}
  Action pressed_;
};

QPushButton* namedButton(const QString& text, const char* name) {
  auto* b = new QPushButton(text);
  b->setObjectName(name);
  return b;
}

}  // namespace

// ---------------------------------------------------------------------------------------
// Tabs

QPushButton* MainWindow::folderButton(const QString& text, QLineEdit* edit, bool listsFiles) {
  auto* button = new QPushButton(text);
  // Room around the caption: the fusion style draws it edge to edge.
  button->setMinimumWidth(button->sizeHint().width() + 12);
  if (listsFiles) {
    // With Ctrl held the click lists the folder's files instead of browsing.
    PressWatcher::watch(button, [this, edit, text](Qt::KeyboardModifiers keys) {
      if (!(keys & Qt::ControlModifier)) return false;
      readSettings();
      listFolder(text, edit->text());
      return true;
    });
  }
  connect(button, &QPushButton::clicked, this, [this, edit] {
    const QString start = edit->text().isEmpty() ? q(settings::pathText(platform::executableFolder())) : edit->text();
    const QString folder = QFileDialog::getExistingDirectory(this, QStringLiteral("フォルダを選択してください"), start,
                                                             QFileDialog::ShowDirsOnly);
    if (!folder.isEmpty()) edit->setText(folder);
  });
  return button;
}

QWidget* MainWindow::dataFolderRow(const QString& folderCaption, QLineEdit*& folderEdit, const char* objectName,
                                   const QString& standardCaption, const char* standardFile) {
  auto* bar = new QWidget;
  auto* row = new QHBoxLayout(bar);
  row->setContentsMargins(0, 0, 0, 0);
  folderEdit = new QLineEdit;
  folderEdit->setObjectName(objectName);
  row->addWidget(folderButton(folderCaption, folderEdit, true));
  row->addWidget(folderEdit, 1);
  QLineEdit* edit = folderEdit;
  auto* unpack = new QPushButton(QStringLiteral("解　凍"));
  unpack->setToolTip(QStringLiteral("データフォルダのzipファイルを展開します"));
  connect(unpack, &QPushButton::clicked, this,
          [this, edit] { unpackArchives(q(settings::archiveFolderFor(s8(edit->text())))); });
  row->addWidget(unpack);
  auto* standard = new QPushButton(standardCaption);
  connect(standard, &QPushButton::clicked, this, [this, standardFile] { loadStandardFile(standardFile); });
  row->addWidget(standard);
  connect(folderEdit, &QLineEdit::textChanged, this, &MainWindow::edited);
  return bar;
}

QWidget* MainWindow::treeTab(QWidget* folderRow, LayerTreeView* tree) {
  auto* page = new QWidget;
  auto* column = new QVBoxLayout(page);
  column->addWidget(folderRow);
  column->addWidget(tree, 1);
  auto* buttons = new QHBoxLayout;
  auto add = [&](const QString& text, void (LayerTreeView::*action)()) {
    auto* b = new QPushButton(text);
    b->setMinimumWidth(110);
    connect(b, &QPushButton::clicked, tree, action);
    buttons->addWidget(b);
  };
  add(QStringLiteral("ツリー展開"), &LayerTreeView::expandActive);
  add(QStringLiteral("ツリー全展開"), &LayerTreeView::expandEvery);
  add(QStringLiteral("ツリー格納"), &LayerTreeView::collapseEvery);
  buttons->addStretch();
  column->addLayout(buttons);
  return page;
}

void MainWindow::buildDataTabs() {
  auto style = [this](const EntryStyle& start, const QString& caption) { return askStyle(start, caption); };
  fgdTree_ = new LayerTreeView(settings_.fgdLayers, style);
  fgdTree_->setObjectName("fgdTree");
  basicInfoTree_ = new LayerTreeView(settings_.basicInfoLayers, style);
  basicInfoTree_->setObjectName("basicInfoTree");
  mlitList_ = new MlitListView(settings_.mlitLayers, style);
  // The list's boxes are placed on the tab's own coordinates, below the folder row.
  mlitList_->setHeader(dataFolderRow(QStringLiteral("国土数値情報フォルダ"), mlitFolder_, "mlitFolder",
                                     QStringLiteral("標準色設定"), settings::kMlitStandardColourFile));
  auto* mlitScroll = new QScrollArea;
  mlitScroll->setWidget(mlitList_);
  mlitScroll->setWidgetResizable(false);
  mlitScroll->setFrameShape(QFrame::NoFrame);

  tabs_->addTab(treeTab(dataFolderRow(QStringLiteral("基盤地図情報フォルダ"), fgdFolder_, "fgdFolder",
                                      QStringLiteral("標準設定"), settings::kFgdStandardFile),
                        fgdTree_),
                QStringLiteral("基盤地図情報　（国土地理院）"));
  tabs_->addTab(mlitScroll, QStringLiteral("国土数値情報　（国土交通省）"));
  tabs_->addTab(treeTab(dataFolderRow(QStringLiteral("国土基本情報フォルダ"), basicInfoFolder_, "basicInfoFolder",
                                      QStringLiteral("標準設定"), settings::kBasicInfoStandardFile),
                        basicInfoTree_),
                QStringLiteral("国土基本情報　（国土地理院）"));

  auto switchAutoOff = [this] {
    legendAuto_->setChecked(false);
    edited();
  };
  intervalGrid_ = new LegendTableView(settings_.legendIntervals, QStringLiteral("間隔"), QColor(Qt::lightGray),
                                      switchAutoOff);
  intervalGrid_->setObjectName("intervalGrid");
  bottomGrid_ = new LegendTableView(settings_.legendBottoms, QStringLiteral("最下面"), QColor(Qt::cyan), switchAutoOff);
  bottomGrid_->setObjectName("bottomGrid");
  tabs_->addTab(intervalGrid_, QStringLiteral("標高凡例間隔 "));
  tabs_->addTab(bottomGrid_, QStringLiteral("標高凡例最下面 "));
  connect(tabs_, &QTabWidget::currentChanged, this, [this] { resizeLegendTables(); });
}

void MainWindow::showItemLists() {
  fgdTree_->showTree();
  basicInfoTree_->showTree();
  mlitList_->showList();
  intervalGrid_->legendModel()->reload();
  bottomGrid_->legendModel()->reload();
}

void MainWindow::resizeLegendTables() {
  readSettings();
  settings_.resizeLegendTables();
  const QString unit = q(settings::kDrawingUnitItems[std::size_t(std::clamp(settings_.drawingUnit, 0, 2))]);
  intervalGrid_->legendModel()->reload();
  bottomGrid_->legendModel()->reload();
  intervalGrid_->legendModel()->setCorner(QStringLiteral("間隔(") + unit + ")");
  bottomGrid_->legendModel()->setCorner(QStringLiteral("下面(") + unit + ")");
}

// ---------------------------------------------------------------------------------------
// Outside programs, pages, listings

QWidget* MainWindow::buildLinksGroup() {
  // The pages as a plain block of buttons: a titled group would not fit a 768-line screen.
  auto* group = new QWidget;
  group->setObjectName("linksGroup");
  auto* grid = new QGridLayout(group);
  grid->setSpacing(3);
  grid->setContentsMargins(0, 2, 0, 0);
  for (std::size_t i = 0; i < settings::kPageCount; ++i) {
    auto* b = new QPushButton(q(settings::kPageCaptions[i]));
    b->setObjectName(QStringLiteral("page%1").arg(i));
    b->setMaximumHeight(26);
    connect(b, &QPushButton::clicked, this, [this, i] { host_.openAddress(pageLinks_[i]); });
    grid->addWidget(b, int(i / 3), int(i % 3));
  }
  return group;
}

void MainWindow::addProgramButtons(QHBoxLayout* row) {
  auto* unpack = namedButton(QStringLiteral("データの解凍"), "unpackButton");
  connect(unpack, &QPushButton::clicked, this, [this] {
    const QString folder = QFileDialog::getExistingDirectory(this, QStringLiteral("フォルダを選択してください"),
                                                             q(settings::pathText(platform::defaultFolderRoot())));
    if (!folder.isEmpty()) unpackArchives(folder);
  });
  row->addWidget(unpack);
  auto* mesh = namedButton(QStringLiteral("メッシュ変換"), "meshConvertButton");
  connect(mesh, &QPushButton::clicked, this, [this] { openBesideProgram("relievo", true); });
  row->addWidget(mesh);
  auto* controller = namedButton(QStringLiteral("標高コントローラ"), "controllerButton");
  connect(controller, &QPushButton::clicked, this, [this] { openBesideProgram("layer_ctrl.dwg", false); });
  row->addWidget(controller);
  auto* manual = namedButton(QStringLiteral("説明書"), "manualButton");
  connect(manual, &QPushButton::clicked, this, [this] { openBesideProgram("TerralineaManual.pdf", false); });
  row->addWidget(manual);
}

void MainWindow::openBesideProgram(const char* name, bool start) {
  for (const fs::path& folder : {platform::executableFolder(), dataFolder_}) {
    const fs::path file = folder / name;
    std::error_code error;
    if (!fs::exists(file, error)) continue;
    if (start)
      host_.startProgram(file, {}, folder);
    else
      host_.openDocument(file);
    return;
  }
  host_.message("警告", std::string(name) + " はインストールされていません。");
}

std::vector<std::string_view> MainWindow::listingPatterns(const QString& label) const {
  if (label == QStringLiteral("国土数値情報フォルダ")) return {"*.xml"};
  if (label == QStringLiteral("標高データフォルダ")) {
    std::vector<std::string_view> patterns;
    for (int source = 0; source < settings::kElevationSourceCount; ++source)
      if (elevation::sourceActive(settings_, source)) patterns.push_back(elevation::sourceFiles(source).mask);
    return patterns;
  }
  return {"*-AdmArea-*.xml", "*.zip"};
}

void MainWindow::listFolder(const QString& label, const QString& folder) {
  host_.setClipboard(settings::folderListing(s8(versionText()), s8(label), settings::utf8Path(s8(folder)),
                                             listingPatterns(label), settings_.processSubfolders));
}

void MainWindow::versionPressed(Qt::KeyboardModifiers keys) {
  if (keys == Qt::NoModifier) {
    showVersion();
  } else if (keys == Qt::ControlModifier) {
    readSettings();
    host_.setClipboard(settings::folderListing(s8(versionText()), "基盤地図情報フォルダ",
                                               settings::utf8Path(settings_.fgdFolder), {"*.xml", "*.zip"},
                                               settings_.processSubfolders));
  } else if (keys == (Qt::ControlModifier | Qt::AltModifier)) {
    const int factor = int(std::max<std::int64_t>(1, settings_.elevationBufferCells / kCellsPerFactor));
    if (const auto chosen = askMemory(factor, settings_.contourShare)) {
      settings_.elevationBufferCells = std::int64_t(chosen->first) * kCellsPerFactor;
      settings_.contourShare = chosen->second;
    }
  } else if (keys == (Qt::ShiftModifier | Qt::AltModifier)) {
    if (host_.ask("完全なアンインストール時に使います", "起動時設定ファイルを削除しますか", platform::Buttons::YesNo)) {
      std::error_code error;
      fs::remove_all(platform::settingsFolder(), error);
    }
  }
}

void MainWindow::chooseMargins() {
  readSettings();
  MarginDialog dialog(settings_.marginLeft, settings_.marginTop, settings_.marginRight, settings_.marginBottom, this);
  if (dialog.exec() != QDialog::Accepted) return;
  settings_.marginLeft = dialog.left();
  settings_.marginTop = dialog.top();
  settings_.marginRight = dialog.right();
  settings_.marginBottom = dialog.bottom();
  showSettings();
}

void MainWindow::installDialogs(QPushButton* versionButton) {
  askStyle = [this](const EntryStyle& start, const QString& caption) -> std::optional<EntryStyle> {
    StyleDialog dialog(start, settings_.fileFormat, caption, this);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.chosen();
  };
  askMemory = [this](int factor, int share) -> std::optional<std::pair<int, int>> {
    MemoryDialog dialog(factor, share, platform::availableMemoryBytes() / 1024, this);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return std::pair{dialog.factor(), dialog.contourShare()};
  };
  PressWatcher::watch(versionButton, [this](Qt::KeyboardModifiers keys) {
    versionPressed(keys);
    return true;
  });
}

}  // namespace ui
