#include "platform/user_folders.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <system_error>

namespace platform {
namespace {

namespace fs = std::filesystem;

const char* nonEmptyEnv(const char* name) {
  const char* value = std::getenv(name);
  return (value && *value) ? value : nullptr;
}

fs::path homeFolder() {
  if (const char* home = nonEmptyEnv("HOME")) return fs::path(home);
  if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir && *pw->pw_dir) {
    return fs::path(pw->pw_dir);
  }
  std::error_code ec;
  return fs::current_path(ec);
}

bool isFolder(const fs::path& p) {
  std::error_code ec;
  return fs::is_directory(p, ec);
}

}  // namespace

fs::path executableFolder() {
  std::error_code ec;
  const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  if (!ec && !exe.empty()) return exe.parent_path();
  return fs::current_path(ec);
}

fs::path dataFolder() {
  if (const char* overridden = nonEmptyEnv("TERRALINEA_DATA")) return fs::path(overridden);
  const fs::path bin = executableFolder();
  const fs::path beside = bin / "data";
  if (isFolder(beside)) return beside;
  const fs::path installed = (bin / ".." / "share" / "terralinea").lexically_normal();
  if (isFolder(installed)) return installed;
  return beside;
}

fs::path settingsFolder() {
  if (const char* config = nonEmptyEnv("XDG_CONFIG_HOME")) return fs::path(config) / "Terralinea";
  return homeFolder() / ".config" / "Terralinea";
}

bool ensureSettingsFolder() {
  const fs::path folder = settingsFolder();
  std::error_code ec;
  fs::create_directories(folder, ec);
  return !ec && isFolder(folder);
}

fs::path defaultFolderRoot() { return homeFolder() / "Terralinea"; }

unsigned long long availableMemoryBytes() {
  std::ifstream in("/proc/meminfo");
  std::string line;
  while (std::getline(in, line)) {
    if (line.rfind("MemAvailable:", 0) != 0) continue;
    std::istringstream fields(line.substr(13));
    unsigned long long kb = 0;
    std::string unit;
    if (!(fields >> kb)) return 0;
    fields >> unit;
    return unit == "kB" || unit.empty() ? kb * 1024ull : kb;
  }
  return 0;
}

}  // namespace platform
