#include "converter/run/start_command.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "converter/settings/settings_file.h"
#include "platform/printer_catalogue.h"
#include "platform/user_folders.h"
#include "tests/common/recording_host.h"
#include "tests/settings/fixture.h"

// clang says it through __has_feature, gcc through __SANITIZE_ADDRESS__.
#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ADDRESS_SANITIZED 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__) && !defined(ADDRESS_SANITIZED)
#define ADDRESS_SANITIZED 1
#endif

namespace {

using Status = run::RunOutcome::Status;

// Last-run settings go to a folder of the test, not the user's.
class StartCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* old = std::getenv("XDG_CONFIG_HOME");
    if (old) saved_ = old;
    hadValue_ = old != nullptr;
    ::setenv("XDG_CONFIG_HOME", (temp.path() / "config").c_str(), 1);
    ASSERT_TRUE(platform::ensureSettingsFolder());  // as the program's start-up does
  }
  void TearDown() override {
    if (hadValue_)
      ::setenv("XDG_CONFIG_HOME", saved_.c_str(), 1);
    else
      ::unsetenv("XDG_CONFIG_HOME");
  }
  run::RunOutcome start(settings::DrawingSettings& s) { return run::startRun(s, printers, host); }

  TempFolder temp;
  platform::PrinterCatalogue printers;
  RecordingHost host;

 private:
  std::string saved_;
  bool hadValue_ = false;
};

TEST_F(StartCommand, CleanRunSavesTheLastRunSettingsAndNamesTheSheet) {
  auto s = validSettings(temp);
  const auto outcome = start(s);
  EXPECT_EQ(outcome.status, Status::completed);
  EXPECT_EQ(outcome.resultFile, temp.path() / "M.dxf");
  EXPECT_EQ(outcome.lastRunError, "");
  EXPECT_TRUE(std::filesystem::exists(settings::lastRunSettingsFile()));
  EXPECT_TRUE(host.shown.empty());
}

TEST_F(StartCommand, RefusedSettingsStartNothing) {
  auto s = validSettings(temp);
  s.mapName = "";
  const auto outcome = start(s);
  EXPECT_EQ(outcome.status, Status::notStarted);
  ASSERT_EQ(host.shown.size(), 1u);
  EXPECT_EQ(host.shown[0].caption, "設定値を確認してください");
  EXPECT_FALSE(std::filesystem::exists(temp.path() / "M.dxf"));
}

TEST_F(StartCommand, ABufferThatCannotBeHadFailsTheRunNotTheProgram) {
#ifdef ADDRESS_SANITIZED
  GTEST_SKIP() << "AddressSanitizer ends the process where operator new would throw bad_alloc";
#endif
  auto s = validSettings(temp);
  s.elevationBufferCells = std::int64_t{1} << 44;  // 256 TiB of pairs
  const auto outcome = start(s);
  EXPECT_EQ(outcome.status, Status::failed);
  ASSERT_FALSE(host.shown.empty());
  EXPECT_EQ(host.shown.back().caption, "障害発生");
  // The memory values hold for one run, whatever its end.
  EXPECT_EQ(s.elevationBufferCells, settings::kDefaultBufferCells);
  EXPECT_FALSE(std::filesystem::exists(settings::lastRunSettingsFile()));
}

}  // namespace
