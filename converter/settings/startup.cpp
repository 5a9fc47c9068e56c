#include "converter/settings/startup.h"

#include "converter/settings/settings_file.h"
#include "converter/settings/sheet_labels.h"
#include "platform/user_folders.h"

namespace settings {

StartupResult startUp(DrawingSettings& s, const std::filesystem::path& dataFolder, const StartupOptions& options,
                      const platform::PrinterCatalogue& printers) {
  StartupResult result;
  s.elevationBufferCells = kDefaultBufferCells;
  s.contourShare = kDefaultContourShare;
  result.items = loadItemFiles(dataFolder, s);
  if (!result.items.complete) return result;

  s.legendColourRamp = 6;
  const auto root = platform::defaultFolderRoot();
  s.fgdFolder = pathText(root / utf8Path("基盤地図情報"));
  s.elevationFolder = pathText(root / utf8Path("標高データ"));
  s.mlitFolder = pathText(root / utf8Path("国土数値情報"));
  s.basicInfoFolder = pathText(root / utf8Path("国土基本情報"));
  s.writeFolder = pathText(root / utf8Path("地図"));

  if (options.createSettingsFolder) platform::ensureSettingsFolder();
  std::optional<std::filesystem::path> file = options.settingsFile;
  std::error_code ec;
  if (!file && options.loadLastRun && std::filesystem::exists(lastRunSettingsFile(), ec)) file = lastRunSettingsFile();
  if (file) {
    loadSettings(*file, s, printers);
    result.settingsLoaded = true;
    result.loadedFile = *file;
  }
  return result;
}

}  // namespace settings
