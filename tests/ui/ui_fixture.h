#pragma once
// A main window on the offscreen platform with the shipped item files, a host that
// records what the window shows and answers its questions, and the per-user settings in
// a folder of the test.
#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "converter/ui/main_window.h"
#include "converter/ui/window_host.h"
#include "platform/user_folders.h"
#include "tests/common/temp_folder.h"

class RecordingWindowHost : public ui::WindowHost {
 public:
  struct Shown {
    std::string caption, text;
    bool question;
  };
  void message(const std::string& caption, const std::string& text) override {
    shown.push_back({caption, text, false});
  }
  bool ask(const std::string& caption, const std::string& text, platform::Buttons buttons) override {
    shown.push_back({caption, text, true});
    asked.push_back(buttons);
    return answer;
  }
  void setClipboard(const std::string& text) override { clipboard = text; }
  void openDocument(const std::filesystem::path& file) override { opened.push_back(file); }
  void openAddress(const std::string& address) override { addresses.push_back(address); }
  bool startProgram(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                    const std::filesystem::path&) override {
    started.push_back(program);
    startedArguments = arguments;
    return true;
  }

  bool answer = true;
  std::vector<Shown> shown;
  std::vector<platform::Buttons> asked;
  std::string clipboard;
  std::vector<std::filesystem::path> opened, started;
  std::vector<std::string> startedArguments, addresses;
};

inline std::filesystem::path shippedData() { return std::filesystem::path(TERRALINEA_BIN_DIR) / "data"; }

class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* old = std::getenv("XDG_CONFIG_HOME");
    hadConfig_ = old != nullptr;
    if (old) savedConfig_ = old;
    ::setenv("XDG_CONFIG_HOME", (temp.path() / "config").c_str(), 1);
    platform::ensureSettingsFolder();
  }
  void TearDown() override {
    window.reset();
    if (hadConfig_)
      ::setenv("XDG_CONFIG_HOME", savedConfig_.c_str(), 1);
    else
      ::unsetenv("XDG_CONFIG_HOME");
  }
  // The window after the program's start-up (without a settings file: the last-run one).
  ui::MainWindow& open(const std::optional<std::filesystem::path>& settingsFile = std::nullopt) {
    window = std::make_unique<ui::MainWindow>(host, platform::PrinterCatalogue());
    EXPECT_TRUE(window->startUp(shippedData(), settingsFile));
    window->setStartPause(0);
    return *window;
  }
  template <typename W>
  W* control(const char* name) {
    W* w = window->findChild<W*>(name);
    EXPECT_NE(w, nullptr) << name;
    return w;
  }

  TempFolder temp;
  RecordingWindowHost host;
  std::unique_ptr<ui::MainWindow> window;

 private:
  std::string savedConfig_;
  bool hadConfig_ = false;
};
