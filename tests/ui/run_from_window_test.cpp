// "処理開始" runs the same start command as `terralinea run`: on the demo area both write
// the same files, byte for byte.
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <cstdlib>

#include "converter/settings/settings_file.h"
#include "converter/settings/sheet_labels.h"
#include "converter/ui/run_window.h"
#include "tests/ui/ui_fixture.h"

namespace {

namespace fs = std::filesystem;
using Status = run::RunOutcome::Status;

std::string quoted(const fs::path& p) { return "'" + p.string() + "'"; }

// The demo area (generated) and its settings, once per test.
class RunFromWindow : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    area = temp / "demo";
    const fs::path source = TERRALINEA_SOURCE_DIR;
    for (const char* folder : {"地図", "国土数値情報", "国土基本情報"}) fs::create_directories(area / folder);
    settingsFile = area / "demo.trl";
    const std::string make = "/usr/bin/python3 " + quoted(source / "tools/make_demo_data.py") + " " + quoted(area) +
                             " > /dev/null && " + quoted(program()) + " init " + quoted(settingsFile) +
                             " --force > /dev/null && /usr/bin/python3 " + quoted(source / "tools/demo_settings.py") +
                             " " + quoted(settingsFile) + " " + quoted(area);
    ASSERT_EQ(std::system(make.c_str()), 0) << make;
  }
  static fs::path program() { return fs::path(TERRALINEA_BIN_DIR) / "terralinea"; }
  static std::vector<fs::path> filesOf(const fs::path& folder) {
    std::vector<fs::path> names;
    for (const auto& e : fs::directory_iterator(folder)) names.push_back(e.path().filename());
    std::sort(names.begin(), names.end());
    return names;
  }

  fs::path area, settingsFile;
};

TEST_F(RunFromWindow, WritesWhatTheCommandLineWritesAndOffersTheIndex) {
  const fs::path maps = area / "地図";
  const std::string cli = quoted(program()) + " run " + quoted(settingsFile) + " --yes --quiet > /dev/null";
  ASSERT_EQ(std::system(cli.c_str()), 0);
  const fs::path byCli = area / "by-cli";
  fs::rename(maps, byCli);
  fs::create_directories(maps);
  fs::remove(settings::lastRunSettingsFile());

  open();
  window->loadSettingsFrom(settingsFile);
  const auto outcome = window->startConversion();
  ASSERT_EQ(outcome.status, Status::completed) << outcome.problems;

  const auto names = filesOf(byCli);
  ASSERT_EQ(filesOf(maps), names);
  EXPECT_EQ(names.size(), 6u);  // four sheets, the index, the script
  for (const auto& name : names)
    EXPECT_TRUE(readBytes(maps / name) == readBytes(byCli / name)) << name.string() << " differs";

  // The elapsed time and the question for the index, then the desktop opens it.
  ASSERT_EQ(host.shown.size(), 1u);
  EXPECT_EQ(host.shown[0].caption, "正常終了");
  EXPECT_TRUE(host.shown[0].text.starts_with("所要時間は ")) << host.shown[0].text;
  EXPECT_TRUE(host.shown[0].text.ends_with("目次ファイル(demo#index.dxf)を開きますか。"));
  EXPECT_EQ(host.asked.at(0), platform::Buttons::YesNo);
  ASSERT_EQ(host.opened.size(), 1u);
  EXPECT_EQ(host.opened[0], maps / "demo#index.dxf");
  EXPECT_TRUE(fs::exists(settings::lastRunSettingsFile()));

  // The run window opened with its start time and was put away.
  auto* runWindow = window->runWindow();
  EXPECT_TRUE(runWindow->windowTitle().startsWith("処理開始時刻 ")) << runWindow->windowTitle().toStdString();
  EXPECT_EQ(runWindow->size(), QSize(790, 142));
  EXPECT_FALSE(runWindow->isVisible());
  EXPECT_EQ(runWindow->line(sheet::ProgressLine::TotalCaption)->text(), "ファイル数");
  EXPECT_EQ(runWindow->abortButton()->text(), "中　断");

  // Again: the question about the existing files comes first; the viewer this time.
  host.shown.clear();
  window->settings().viewerChoice = 1;
  window->showSettings();
  ASSERT_EQ(window->startConversion().status, Status::completed);
  ASSERT_EQ(host.shown.size(), 2u);
  EXPECT_EQ(host.shown[0].caption, "既存ファイルがあります");
  EXPECT_EQ(host.shown[0].text, "上書きしますか");
  ASSERT_EQ(host.started.size(), 1u);
  EXPECT_EQ(host.started[0].filename(), "orbiscope");
  EXPECT_EQ(host.startedArguments, std::vector<std::string>{settings::pathText(maps / "demo#index.dxf")});
}

TEST_F(RunFromWindow, TheAbortButtonStopsTheRunAndNothingIsAskedOrSaved) {
  open();
  window->loadSettingsFrom(settingsFile);
  // Pressed as soon as the run lets events run.
  QTimer::singleShot(0, window.get(), [this] { window->runWindow()->abortButton()->click(); });
  const auto outcome = window->startConversion();
  EXPECT_EQ(outcome.status, Status::stopped);
  EXPECT_TRUE(host.shown.empty());
  EXPECT_TRUE(host.opened.empty());
  EXPECT_FALSE(fs::exists(settings::lastRunSettingsFile()));
}

TEST_F(RunFromWindow, RefusedSettingsShowTheReportAndStartNothing) {
  open();
  window->loadSettingsFrom(settingsFile);
  window->findChild<QLineEdit*>("mapName")->setText("a/b/c");
  const auto outcome = window->startConversion();
  EXPECT_EQ(outcome.status, Status::notStarted);
  ASSERT_EQ(host.shown.size(), 1u);
  EXPECT_EQ(host.shown[0].caption, "設定値を確認してください");
  EXPECT_EQ(host.shown[0].text, "地図名に / は使えません\r\n地図名に / は使えません\r\n");
  EXPECT_EQ(host.clipboard, host.shown[0].text);
  EXPECT_FALSE(window->runWindow()->isVisible());
  EXPECT_TRUE(filesOf(area / "地図").empty());
}

}  // namespace
