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
#include "converter/ui/area_picker.h"
#include "converter/ui/fields.h"
#include "converter/ui/form_widgets.h"
#include "converter/ui/run_window.h"
#include "converter/ui/window_host.h"
#include "platform/user_folders.h"

namespace ui {

namespace fs = std::filesystem;

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
  buildDataTabs();
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
  connect(addButton(QStringLiteral("地図で指定"), "pickAreaButton"), &QPushButton::clicked, this, [this] {
    readSettings();
    pickAreaOnMap(this, settings_, printers_, host_);
    showSettings();
  });
  buttons->addSpacing(24);
  connect(addButton(QStringLiteral("設定値保存"), "saveButton"), &QPushButton::clicked, this,
          &MainWindow::chooseSaveFile);
  connect(addButton(QStringLiteral("設定値読込"), "loadButton"), &QPushButton::clicked, this,
          &MainWindow::chooseLoadFile);
  buttons->addStretch();
  addProgramButtons(buttons);
  auto* version = addButton(QStringLiteral("バージョン情報"), "versionButton");
  connect(version, &QPushButton::clicked, this, &MainWindow::showVersion);
  installDialogs(version);
  column->addLayout(buttons);
  setCentralWidget(central);

  runWindow_ = new RunWindow(host_, this);
  const QString home = q(settings::pathText(platform::defaultFolderRoot()));
  saveFolder_ = openFolder_ = home;
  showSettings();
}

MainWindow::~MainWindow() = default;

// ---------------------------------------------------------------------------------------
// Start-up, files, buttons

bool MainWindow::startUp(const fs::path& dataFolder, const std::optional<fs::path>& settingsFile) {
  dataFolder_ = dataFolder;
  settings::StartupOptions options;
  options.settingsFile = settingsFile;
  const auto result = settings::startUp(settings_, dataFolder, options, printers_);
  for (const auto& m : result.items.messages) host_.message(m.caption, m.text);
  if (result.items.programEnds) return false;
  if (result.items.complete && !settings::readMapLinks(dataFolder / settings::kMapLinkFile, pageLinks_))
    host_.message("警告", std::string("/") + settings::kMapLinkFile + "が見つかりません");
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
  options.jobs = run::sheetJobs(settings_);
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
