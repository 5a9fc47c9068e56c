#pragma once
// The converter's main window: the drawing settings on their tabs, the coupling rules
// between them, settings files, and "処理開始" through the start command the command line
// uses too.
#include <QMainWindow>
#include <array>
#include <filesystem>
#include <functional>
#include <string_view>
#include <utility>
#include <vector>
#include <optional>

#include "converter/run/start_command.h"
#include "converter/settings/drawing_settings.h"
#include "converter/settings/outside_links.h"
#include "converter/ui/style_dialog.h"
#include "platform/printer_catalogue.h"

class QCheckBox;
class QComboBox;
class QGridLayout;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;
class QSpinBox;
class QTabWidget;
class QWidget;

namespace ui {

class AngleSpinBox;
class CountSpinBox;
class LayerTreeView;
class LegendTableView;
class MlitListView;
class RunWindow;
class WindowHost;

class MainWindow : public QMainWindow {
  Q_OBJECT

 public:
  MainWindow(WindowHost& host, platform::PrinterCatalogue printers, QWidget* parent = nullptr);
  ~MainWindow() override;

  // The start-up of the program: item files, default folders, then `settingsFile` or
  // else the last-run settings. False when an item file fault ends the program.
  bool startUp(const std::filesystem::path& dataFolder, const std::optional<std::filesystem::path>& settingsFile);

  // Record to controls (then the rules that follow a load), and controls to record.
  void showSettings();
  void readSettings() { readSettings(settings_); }
  // Every field the window shows, from its control.
  void readSettings(settings::DrawingSettings& into) const;
  settings::DrawingSettings& settings() { return settings_; }
  const platform::PrinterCatalogue& printers() const { return printers_; }

  // "設定値読込" and "設定値保存" once the file is chosen.
  void loadSettingsFrom(const std::filesystem::path& file);
  bool saveSettingsTo(const std::filesystem::path& file);
  // The name the save dialog proposes.
  QString proposedSaveName() const { return saveName_; }

  // "処理開始": checks, questions, the run in the run window, the outcome.
  run::RunOutcome startConversion();
  RunWindow* runWindow() const { return runWindow_; }
  // Seconds the run window shows its captions before the run starts.
  void setStartPause(double seconds) { startPause_ = seconds; }

  // The tab of the drawing settings and the others, for the buttons that switch to them.
  QTabWidget* tabs() const { return tabs_; }
  LayerTreeView* fgdTree() const { return fgdTree_; }
  LayerTreeView* basicInfoTree() const { return basicInfoTree_; }
  MlitListView* mlitList() const { return mlitList_; }
  LegendTableView* intervalGrid() const { return intervalGrid_; }
  LegendTableView* bottomGrid() const { return bottomGrid_; }
  const settings::PageLinks& pageLinks() const { return pageLinks_; }

  // Opens the style dialog (tests replace it); empty on Cancel.
  std::function<std::optional<EntryStyle>(const EntryStyle&, const QString& caption)> askStyle;
  // Opens the memory dialog with the free kilobytes (tests replace it); OK gives factor and share.
  std::function<std::optional<std::pair<int, int>>(int factor, int share)> askMemory;

  // Switching tabs: the legend tables follow the sheet counts, their corners the unit.
  void resizeLegendTables();
  // The four data-folder buttons with Ctrl held, and "バージョン情報" with Ctrl.
  void listFolder(const QString& label, const QString& folder);
  // "バージョン情報" pressed with the keys held.
  void versionPressed(Qt::KeyboardModifiers keys);
  // "解　凍" of a data folder, or "データの解凍" with a chosen folder: the zip archives there.
  void unpackArchives(const QString& folder);

 private:
  void buildBasicGroup(QGridLayout* into);
  QWidget* buildSettingsTab();
  QWidget* buildAreaGroup();
  QWidget* buildMeshGridGroup();
  QWidget* buildControlGroup();
  QWidget* buildElevationGroup();
  QWidget* dataFolderRow(const QString& folderCaption, QLineEdit*& folderEdit, const char* objectName,
                         const QString& standardCaption, const char* standardFile);
  QWidget* treeTab(QWidget* folderRow, LayerTreeView* tree);
  void buildDataTabs();
  QWidget* buildLinksGroup();
  void addProgramButtons(QHBoxLayout* row);
  QPushButton* folderButton(const QString& caption, QLineEdit* edit, bool listsFiles = false);
  std::vector<std::string_view> listingPatterns(const QString& label) const;
  void showItemLists();
  void openBesideProgram(const char* name, bool start);
  void chooseMargins();
  void installDialogs(QPushButton* versionButton);

  // Coupling rules.
  void edited();  // any field: record follows the controls, rules re-applied
  void applyRules();
  void sourceClicked(bool mesh, int source, bool on);
  void fileFormatChosen(int format);
  void printerChosen(int index);
  void fillPaperList(const std::string& printer);
  void fillLegendLevels();
  void paintLegendStrip();
  void showSources();

  void chooseSaveFile();
  void chooseLoadFile();
  void loadStandardFile(const char* name);
  void showVersion();
  void openResult(const std::filesystem::path& file);
  QString programTitle() const;

  WindowHost& host_;
  platform::PrinterCatalogue printers_;
  settings::DrawingSettings settings_;
  std::filesystem::path dataFolder_;
  QString saveName_, saveFolder_, openFolder_;
  double startPause_ = 1.0;
  bool showing_ = false;
  RunWindow* runWindow_;
  QTabWidget* tabs_;

  // 基本設定
  QLineEdit* writeFolder_;
  QComboBox *printer_, *paperSize_, *paperOrientation_, *penTable_, *textFont_, *drawingUnit_, *scale_;
  QCheckBox *processSubfolders_, *parallelSheets_;
  QLabel* margins_;
  QComboBox *fileFormat_, *initialSpace_, *viewer_;
  // 描画範囲設定
  QLineEdit *mapName_, *north_, *south_, *west_, *east_, *eastWestCorrection_, *northSouthCorrection_;
  QComboBox* coordinateSystem_;
  CountSpinBox *columns_, *rows_;
  QSpinBox* overlap_;
  QLabel *overlapLabel_, *sheetSize_;
  // 標高設定
  QLineEdit* elevationFolder_;
  std::array<QCheckBox*, settings::kElevationSourceCount> meshSources_{}, contourSources_{};
  QComboBox *contourWeight_, *contourTarget_, *shortContours_, *legendLevels_;
  QLineEdit *datumCorrection_, *exaggeration_;
  QLabel *rampLabel_, *rampStrip_;
  QSlider *ramp_, *intervalBias_, *bottomBias_;
  QCheckBox* legendAuto_;
  QWidget *intervalMarks_, *bottomMarks_;
  QPushButton *intervalTable_, *bottomTable_;
  QCheckBox* crossSections_;
  QSpinBox* crossSectionCount_;
  AngleSpinBox* crossSectionAngle_;
  // 標準地域メッシュ
  QCheckBox* meshGrid_;
  QComboBox* meshCodeDigits_;
  // 描画制御
  QLineEdit *symbolScale_, *minRoadWidth_;
  QComboBox* rankFilter_;
  QSpinBox* minBuilding_;
  // Data and legend tabs
  QLineEdit *fgdFolder_, *mlitFolder_, *basicInfoFolder_;
  LayerTreeView *fgdTree_, *basicInfoTree_;
  MlitListView* mlitList_;
  LegendTableView *intervalGrid_, *bottomGrid_;
  settings::PageLinks pageLinks_ = settings::builtInPageLinks();
};

// "Terralinea" and the version without a trailing ".0.0".
QString versionText();

}  // namespace ui
