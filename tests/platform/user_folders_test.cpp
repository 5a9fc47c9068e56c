#include "platform/user_folders.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "tests/common/temp_folder.h"

using namespace platform;
namespace fs = std::filesystem;

namespace {

// Sets (or clears, with nullopt) an environment variable for the life of the object.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, std::optional<std::string> value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    if (value) {
      setenv(name, value->c_str(), 1);
    } else {
      unsetenv(name);
    }
  }
  ~ScopedEnv() {
    if (old_) {
      setenv(name_, old_->c_str(), 1);
    } else {
      unsetenv(name_);
    }
  }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

}  // namespace

TEST(UserFolders, SettingsFolderHonoursXdgConfigHome) {
  TempFolder tmp;
  {
    ScopedEnv xdg("XDG_CONFIG_HOME", (tmp / "config").string());
    EXPECT_EQ(settingsFolder(), tmp / "config" / "Terralinea");
    ASSERT_TRUE(ensureSettingsFolder());
    EXPECT_TRUE(fs::is_directory(tmp / "config" / "Terralinea"));
    EXPECT_TRUE(ensureSettingsFolder());  // already there
  }
  for (std::optional<std::string> unset : {std::optional<std::string>(), std::optional<std::string>("")}) {
    ScopedEnv xdg("XDG_CONFIG_HOME", unset);
    ScopedEnv home("HOME", (tmp / "home").string());
    EXPECT_EQ(settingsFolder(), tmp / "home" / ".config" / "Terralinea");
    EXPECT_EQ(defaultFolderRoot(), tmp / "home" / "Terralinea");
  }
}

TEST(UserFolders, EnsureSettingsFolderFailsWhereNoFolderCanBe) {
  TempFolder tmp;
  writeBytes(tmp / "file", "x");
  ScopedEnv xdg("XDG_CONFIG_HOME", (tmp / "file").string());
  EXPECT_FALSE(ensureSettingsFolder());
}

TEST(UserFolders, DataFolderIsOverriddenOrFoundBesideTheProgram) {
  TempFolder tmp;
  EXPECT_TRUE(fs::equivalent(executableFolder(), TERRALINEA_BIN_DIR));
  {
    // Taken as it is, even before it exists.
    ScopedEnv data("TERRALINEA_DATA", (tmp / "other-data").string());
    EXPECT_EQ(dataFolder(), tmp / "other-data");
  }
  ScopedEnv data("TERRALINEA_DATA", "");
  // The build copies the data files to <bin>/data.
  EXPECT_EQ(dataFolder(), executableFolder() / "data");
}

TEST(UserFolders, AvailableMemoryIsKnown) { EXPECT_GT(availableMemoryBytes(), 1024ull * 1024ull); }
